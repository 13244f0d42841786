#pragma once
// frmMandStamm: the modal, tabbed client master-data dialog. Its controls are built from the
// field table; object names are the control names, so tests and tools find every control.

#include <QComboBox>
#include <QDialog>
#include <QHash>
#include <QSet>
#include <array>
#include <functional>
#include <optional>

#include "form/Pruefungen.h"

class QFrame;
class QLabel;
class QPushButton;
class QStackedWidget;
class QTableView;
class InputFeld;
class TabStrip;
class Waehrungsseite;

namespace xov {
class Datenquelle;
class Fehler;
}

// The data-bound list of tax offices: shows FaName, stores FaNummer, and keeps the bound value
// also while its rows are not loaded yet.
class DbListe : public QComboBox {
public:
    explicit DbListe(QWidget* parent = nullptr);
    void zeilenLaden(xov::Datenquelle* quelle, const QString& anzeige, const QString& gebunden);
    void wertAnzeigen(const QVariant& wert);
    QVariant wert() const { return m_wert; }
    bool geaendert() const { return m_geaendert; }  // the user chose another office
private:
    void auswaehlen();
    QVariant m_wert;
    bool m_geaendert = false;
};

class frmMandStamm : public QDialog {
    Q_OBJECT
public:
    explicit frmMandStamm(QWidget* parent = nullptr);
    ~frmMandStamm() override;

    // Data sources (in the hidden frame fraDataFrame).
    xov::Datenquelle* MAData;
    xov::Datenquelle* FAData;
    xov::Datenquelle* KKData;

    TabStrip* TabStrip1;
    std::array<QFrame*, 8> Frame1{};
    QFrame* fraUntererTeil;
    QPushButton* cmdNeuerKurs;
    QPushButton* cmdBeenden;
    QPushButton* cmdHilfe;
    QLabel* lblAuswahlMonStatusText;
    QLabel* lblAuswahlMonStatus;
    DbListe* cmbFaNr;

    QWidget* steuerelement(const QString& name) const { return m_steuer.value(name); }
    InputFeld* feld(const QString& name) const;
    QComboBox* liste(const QString& name) const;

    // Lifecycle.
    void Form_Load();
    void MaSelect();
    bool Form_QueryUnload();   // true: cancel closing
    void HilfeKontext();

    // Field checks; the outcome is modul().FehlerFlag and modul().FehlerFeld.
    void Fehlerprüfungen_0();   // the checks of the selected page
    void PlzPrüfen();
    void OrtPrüfen();
    void AnschriftPrüfen();
    void NamePrüfen();
    void BuchjahrPrüfen();
    void MonStatusDatumPrüfen();
    void KorrPunktePrüfen();

    // Option lists.
    void ListenFuellen();
    void VoranmPeriodeAbgleichen();
    void SteuerFelderFreigeben();
    void SteuerFelderSperren();
    // Sets the list's position and runs its selection handler, as a program step does.
    void listeSetzen(const QString& liste, int position);
    void listenSeite4Abgleichen();

    // Tab pages.
    void Seite1Vorbereiten();
    void Seite2Vorbereiten();
    void Seite3Vorbereiten();
    void Seite4Vorbereiten();
    void Seite5Vorbereiten();
    void Seite6Vorbereiten();
    void Seite7Vorbereiten();
    void Seite8Vorbereiten();
    void seiteZeigen(int seite);  // brings the page's frame to the front

    // Account assignment (page 6).
    void SammelkontoPrüfen();
    void KontoSuchen();
    void KontoFeldFokus();
    void KontoFeldLeeren();
    void KontoUngueltig();
    void KontoNameZeigen();
    void AlleKontenPruefen();
    bool KontenDerSeitePruefen();  // the page's checks in table order, stopping at the first failure
    void kontenAuswahl();          // cmdKontenAuswahl
    bool SammelpruefungAktiv = false;
    QString AktivesKontoFeld;
    QString KontoNrEingabe;        // up to six characters, padded with blanks
    QString KontoFeldName;
    QString KontoNrSuche;

    // Currencies (page 8): the page's own unit.
    void WährungenLaden();
    void KursHistorieLaden(qint16 zeile);
    Waehrungsseite* waehrungsseite() const { return m_waehrungsseite; }

    static int twipsNachPixel(int twips);

protected:
    void closeEvent(QCloseEvent* e) override;
    bool eventFilter(QObject* o, QEvent* e) override;
    void reject() override;

private:
    void aufbauen();
    void binden();
    void hilfeOeffnen();
    void nachSeitenwechsel();
    void seitenWechselAusfuehren(int seite);
    void seiteVorbereiten(int seite, const QStringList& gesperrt, const QStringList& reihenfolge, const QString& fokus);
    void ersteFeldFokus(int seite);
    void listenVerbinden();
    void kontenVerbinden();
    void pruefungenVerbinden();
    void auswahlUebernehmen(const QString& liste);
    // Runs a check on the field's text; shows the message and keeps the focus when it fails.
    void feldPruefen(const QString& feld, std::optional<xov::pruefung::Befund> (*pruefung)(const QString&));
    // The leave gate: after the field lost the focus, its check runs unless another field's
    // failure is pending.
    void beimVerlassen(const QString& feld, std::function<void()> pruefung);
    int m_pruefungLaeuft = 0;  // checks speaking at the moment
    // Whether the user can change the control now: enabled and shown within its page.
    bool bearbeitbar(const QWidget* w) const;
    // Every numeric field of the page holds a complete number or nothing; true at the first that does not.
    bool ZahlenDerSeitePruefen(int seite);
    QHash<QString, int> m_seiteVon;  // control name -> page
    // The client row is loaded and current.
    bool zeileGeladen() const;
    // Locks a control for the life of the form; no page preparation frees it again.
    void dauerhaftSperren(const QString& name);
    // Without a client row every control of the record pages is locked.
    void ohneZeileSperren();
    void strukturHinweis(int nummer);
    QSet<QString> m_dauerhaftGesperrt;
    bool m_ohneZeile = false;
    bool m_strukturGemeldet = false;
    void kontoPruefen(const QString& name);  // SammelkontoPrüfen for one account field
    bool m_kontenstammUnlesbar = false;      // the chart failed in the current attempt

    Waehrungsseite* m_waehrungsseite = nullptr;
    QStackedWidget* m_seiten = nullptr;
    QHash<QString, QWidget*> m_steuer;
    bool m_entladen = false;
    bool m_geradeGeprueft = false;  // closing ran the page's checks a moment ago
};
