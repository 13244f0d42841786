#pragma once
// The small interfaces through which the dialog talks to the separate components of the suite.
// Header only: a plugin implements them without linking any layer of the component.

#include <QObject>
#include <QString>
#include <QVariant>
#include <QVariantList>
#include <QtPlugin>

namespace xov {

// Root object of every component plugin; a new object per call of erzeugen().
class KomponentenFabrik {
public:
    virtual ~KomponentenFabrik() = default;
    virtual QObject* erzeugen(const QString& progId) = 0;
};

// The common error-message component xovAllgError, members in the order of its interface.
class AllgFehlerSchnittstelle {
public:
    virtual ~AllgFehlerSchnittstelle() = default;
    virtual void FehlerAnzeigen() = 0;                       // 11: shows, returns when closed
    virtual void setFehlerNr(qint32 nummer) = 0;             // 12
    virtual void setBeschreibung(const QString& text) = 0;   // 13
    virtual void setHilfeDatei(const QString& text) = 0;     // 14
    virtual void setHilfeKontext(const QString& text) = 0;   // 15
    virtual void setAufrufProgramm(const QString& text) = 0; // 16
    virtual void setKomponentenName(const QString& text) = 0;// 17
    virtual qint16 Antwort() const = 0;                      // 20
    virtual void setModus(qint32 wert) = 0;                  // 21
    virtual void setZusatz1(const QVariant& wert) = 0;       // 22
    virtual void setZusatz2(const QVariant& wert) = 0;       // 23
};

// The account picker dllSachkontenListe.
class SachkontenListeSchnittstelle {
public:
    virtual ~SachkontenListeSchnittstelle() = default;
    virtual void KontenAufruf(QVariantList& info) = 0;       // modal; returns when the user chose
    virtual QString GewaehltesKonto() const = 0;             // "" when none
};

}  // namespace xov

#define XovKomponentenFabrik_iid "de.xov.KomponentenFabrik/1.0"
Q_DECLARE_INTERFACE(xov::KomponentenFabrik, XovKomponentenFabrik_iid)
#define XovAllgFehler_iid "de.xov.AllgFehler/1.0"
Q_DECLARE_INTERFACE(xov::AllgFehlerSchnittstelle, XovAllgFehler_iid)
#define XovSachkontenListe_iid "de.xov.SachkontenListe/1.0"
Q_DECLARE_INTERFACE(xov::SachkontenListeSchnittstelle, XovSachkontenListe_iid)
