#pragma once
// frmMandStamm: the modal, tabbed client master-data dialog. Its controls are built from the
// pages' tables; object names are the control names, so tests and tools find every control of a
// page built (steuerelement() and feld() build the page when needed).
// The dialog holds the tab strip, the pages and the data sources and dispatches to the page
// units; what a page does of its own lives in its unit (form/seiten/). A page's controls are
// built when the page is first shown or when code asks for one of them (Seitenaufbau.cpp).

#include <QDialog>
#include <QHash>
#include <QSet>
#include <QVariant>
#include <array>
#include <functional>
#include <memory>
#include <optional>

#include "form/Feldtabelle.h"
#include "form/Pruefungen.h"
#include "platform/Fehler.h"

class QComboBox;
class QFrame;
class QLabel;
class QPushButton;
class QStackedWidget;
class DbListe;
class InputFeld;
class TabStrip;

namespace xov {
class Datenquelle;
class Seite;
struct Aufruf;
struct Bindung;
}  // namespace xov

class frmMandStamm : public QDialog {
    Q_OBJECT
public:
    // The dialog of one call; it reads and updates the call's state.
    explicit frmMandStamm(xov::Aufruf& aufruf, QWidget* parent = nullptr);
    ~frmMandStamm() override;
    xov::Aufruf& aufruf() const { return m_aufruf; }

    // Data sources (in the hidden frame fraDataFrame).
    xov::Datenquelle* MAData = nullptr;
    xov::Datenquelle* FAData = nullptr;
    xov::Datenquelle* KKData = nullptr;

    TabStrip* TabStrip1 = nullptr;
    std::array<QFrame*, 8> Frame1{};
    QFrame* fraUntererTeil = nullptr;
    QPushButton* cmdNeuerKurs = nullptr;
    QPushButton* cmdBeenden = nullptr;
    QPushButton* cmdHilfe = nullptr;
    QLabel* lblAuswahlMonStatusText = nullptr;
    QLabel* lblAuswahlMonStatus = nullptr;
    DbListe* cmbFaNr = nullptr;

    // Controls by name. A name that does not exist is a programmer's error: it is logged with
    // file and line, and the caller gets a detached stand-in instead of a null pointer.
    QWidget* steuerelement(const QString& name) const;
    InputFeld* feld(const QString& name) const;
    QComboBox* liste(const QString& name) const;
    xov::Seite* seite(int nummer) const;
    // Builds the page's controls, connects them and gives them the values loaded for them; once.
    void seiteBauen(int nummer);
    bool seiteGebaut(int nummer) const { return xov::Seitennr::gueltig(nummer) && m_gebaut[nummer - 1]; }

    // Lifecycle (Lebenszyklus.cpp).
    void Form_Load();
    void MaSelect();
    bool Form_QueryUnload();   // true: cancel closing
    void HilfeKontext();

    // The checks of the selected page; true when a field the user can edit failed its check.
    // The failing field then holds the focus and is remembered for the leave gate.
    bool Fehlerprüfungen_0();
    const QString& FehlerFeld() const { return m_fehlerFeld; }
    void fehlerFeldLeeren() { m_fehlerFeld.clear(); }

    // Option lists (Listen.cpp): sets the list's position and runs its selection handler, as a
    // program step does.
    void listeSetzen(const QString& liste, int position);
    // Hides the buttons below the pages that belong to one page only (the currency page's).
    void seitenknoepfeVerbergen();

    // What the page units use.
    bool bearbeitbar(const QWidget* w) const;          // enabled and shown within its page
    bool zeileGeladen() const;                         // the client row is loaded and current
    bool dauerhaftGesperrt(const QString& name) const { return m_dauerhaftGesperrt.contains(name); }
    void tabReihenfolgeSetzen(const xov::SeitenDef& seite);
    // Checks one field: a changed number must be complete, then (with `eigene`) its own check.
    // A failure is shown, the field keeps the focus and the leave gate waits for it; true then.
    bool feldPruefen(const xov::FeldDef& def, bool eigene);
    // Shows a check's message and holds the focus on the field; the outcome for the callers.
    void befundZeigen(const QString& feld, const xov::pruefung::Befund& befund, bool fokus = true);
    // The leave gate: after the field lost the focus its check runs, unless another field's
    // failure is pending or the field's page is no longer shown.
    void beimVerlassen(const QString& feld, std::function<void()> pruefung);
    void fehlerMelden(const QString& stelle);          // the current exception to the error report

    static int twipsNachPixel(int twips);

protected:
    void closeEvent(QCloseEvent* e) override;
    bool eventFilter(QObject* o, QEvent* e) override;
    void reject() override;

private:
    // The groups of loading steps (Lebenszyklus.cpp), each with the loading's error trap.
    void aufrufVorbereiten(const xov::Fehlerbehandlung& falle, bool& stumm);
    void datenbankenBinden(const xov::Fehlerbehandlung& falle);
    bool seitenAnlegen(const xov::Fehlerbehandlung& falle);
    void zeileLaden(const xov::Fehlerbehandlung& falle);
    void finanzaemterLaden(const xov::Fehlerbehandlung& falle);

    void aufbauen();                   // Aufbau.cpp
    QWidget* seiteAufbauen(const xov::SeitenDef& seite);  // the last control of its keyboard order
    void untenAufbauen();
    void tastenVerbinden();
    void binden();                     // the columns of every page, also of pages not yet built
    void seiteBinden(const xov::SeitenDef& seite);        // Seitenaufbau.cpp
    void geladeneWerteZeigen(const xov::SeitenDef& seite);
    QWidget* gesucht(const QString& name) const;         // builds the control's page when needed
    void pruefungenVerbinden(const xov::SeitenDef& seite);
    void listenFuellen(int seite = 0);                   // 0: the lists of every page built
    void listenVerbinden(const xov::SeitenDef& seite);
    void auswahlUebernehmen(const QString& liste);
    QString listeVon(const QString& feld) const;       // the list that writes its code into the field
    void hilfeOeffnen();
    void nachSeitenwechsel();
    void ersteFeldFokus(int seite);
    void seiteZeigen(int seite);       // brings the page's frame to the front
    void dauerhaftSperren(const QString& name);
    void ohneZeileSperren();
    void strukturHinweis(int nummer);
    // Writing the client row when closing (Speichern.cpp): false when the dialog stays open.
    bool zeileSpeichern();
    // The row was changed by another workstation: settles it with the user; false on cancel.
    bool zeileAbgleichen();

    xov::Aufruf& m_aufruf;
    std::array<std::unique_ptr<xov::Seite>, 8> m_seite;
    QStackedWidget* m_seiten = nullptr;
    QHash<QString, QWidget*> m_steuer;
    std::array<bool, 8> m_gebaut{};
    // The bindings of the controls built; the values loaded for controls whose page is not built.
    QHash<QString, std::shared_ptr<xov::Bindung>> m_feldbindung;
    QHash<QString, QVariant> m_geladen;
    QSet<QString> m_dauerhaftGesperrt;
    QString m_fehlerFeld;              // the field whose failed check holds the focus
    int m_pruefungLaeuft = 0;          // checks speaking at the moment
    bool m_strukturGemeldet = false;
    bool m_entladen = false;
    bool m_geradeGeprueft = false;     // closing ran the page's checks a moment ago
};
