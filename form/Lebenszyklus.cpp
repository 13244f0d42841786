// Loading the dialog, the client record and the tax offices; help; the checks before closing.

#include "form/Feldtabelle.h"
#include "form/InputFeld.h"
#include "form/DbListe.h"
#include "form/Seite.h"
#include "form/TabStrip.h"
#include "form/frmMandStamm.h"
#include "platform/Datenquelle.h"
#include "platform/Fehler.h"
#include "platform/Meldung.h"
#include "platform/Variant.h"
#include "services/Aufruf.h"
#include "services/DbVerbindung.h"
#include "services/Fehlerbericht.h"
#include "services/Skalierung.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QUrl>

using namespace xov;

// Loading runs in groups of steps. A failing step is reported (a missing column as the one
// structure hint, which also restricts the dialog) and loading goes on with the next step.
void frmMandStamm::Form_Load() {
    bool stumm = false;  // while the host's help ids are taken over: a malformed list is no failure
    const Fehlerbehandlung falle = [&](const Fehler& f) {
        if (stumm) return Fortsetzung::NaechsterSchritt;
        if (f.nummer() == FehlerNr::SpalteFehlt) {
            strukturHinweis(f.nummer());
            m_aufruf.Eingeschraenkt = true;
        } else {
            m_aufruf.KomponentenName = QStringLiteral("XovMandStamm, in Form_Load");
            FehlerAufruf(f, m_aufruf);
        }
        return Fortsetzung::NaechsterSchritt;
    };
    aufrufVorbereiten(falle, stumm);
    datenbankenBinden(falle);
    if (seitenAnlegen(falle)) {
        // Started for the currencies: no client record, no tax offices, no scaling, nothing of
        // the record can be typed.
        ohneZeileSperren();
        return;
    }
    zeileLaden(falle);
    finanzaemterLaden(falle);
}

// The host's help ids, and restricted mode when the host asked for it.
void frmMandStamm::aufrufVorbereiten(const Fehlerbehandlung& falle, bool& stumm) {
    Aufruf& m = m_aufruf;
    mitFehlerfalle(
        {
            [&] { m.FormBereit = false; },
            [&] { m.HilfeIds = QVector<qint16>(201, 0); },
            [&] { stumm = true; },
            [&] { m.HilfeIds = alsInt16Feld(m.AufrufInfo.value(60)); },
            [&] { stumm = false; },
            [&] {
                if (m.eingeschraenktAufgerufen()) {
                    m.Eingeschraenkt = true;
                    seite(1)->vorbereiten();
                    feld(QStringLiteral("InputFeld1"))->setEnabled(false);
                }
            },
            [&] { m.FormBereit = false; },
        },
        falle);
}

// The data sources bound to the two databases; the lists filled; place and month status.
void frmMandStamm::datenbankenBinden(const Fehlerbehandlung& falle) {
    Aufruf& m = m_aufruf;
    mitFehlerfalle(
        {
            [&] {
                MAData->setDatabaseName(m.MandDbPfad);
                FAData->setDatabaseName(m.FaDbPfad);
                KKData->setDatabaseName(m.MandDbPfad);
                Set_DBConnect(this, m);
            },
            [&] { listenFuellen(); },
            [&] { move(twipsNachPixel(120), twipsNachPixel(745)); },
            [&] {
                const QColor farbe = palette().color(QPalette::Window);
                for (QWidget* w : {static_cast<QWidget*>(lblAuswahlMonStatusText), static_cast<QWidget*>(lblAuswahlMonStatus)}) {
                    QPalette p = w->palette();
                    p.setColor(QPalette::Window, farbe);
                    w->setPalette(p);
                }
                lblAuswahlMonStatus->setText(m.AuswahlMonStatus.toString(QStringLiteral("MM.yyyy")));
            },
        },
        falle);
}

// The tabs the call asks for; true when the dialog starts on the currency page alone.
bool frmMandStamm::seitenAnlegen(const Fehlerbehandlung& falle) {
    Aufruf& m = m_aufruf;
    const int n = m.OhneIndexBez != 0 ? 6 : 7;
    bool waehrungsstart = false;
    mitFehlerfalle(
        {
            [&] { for (int i = 0; i <= n; ++i) Frame1[i]->setWindowTitle(QString()); },
            [&] { TabStrip1->seiteHinzufuegen(1, seitentabelle(1).titel); },
            [&] { for (int s = 2; s <= 6; ++s) TabStrip1->seiteHinzufuegen(s, seitentabelle(s).titel); },
            [&] { if (m.OhneIndexBez == 0) TabStrip1->seiteHinzufuegen(7, seitentabelle(7).titel); },
            // The currency tab follows the last one, also when the index page is left out.
            [&] { if (gleichZahl(m.AufrufInfo.value(61), 1)) TabStrip1->seiteHinzufuegen(8, seitentabelle(8).titel); },
            [&] {
                if (m.TabStripNr != 7) return;
                waehrungsstart = true;
                fraUntererTeil->hide();
                const int tab = TabStrip1->indexVon(8);
                if (tab < 0) fehlerWerfen(FehlerNr::IndexAusserhalb, QStringLiteral("TabStrip1: Fremdwährung"));
                TabStrip1->setCurrentIndex(tab);
            },
            [&] {
                if (!waehrungsstart) return;
                m.FormBereit = true;
                QApplication::restoreOverrideCursor();
                m.TabStripNr = 0;
            },
        },
        falle);
    return waehrungsstart;
}

// The client row, shown on page 1; what it lacks stays locked.
void frmMandStamm::zeileLaden(const Fehlerbehandlung& falle) {
    mitFehlerfalle(
        {
            [&] { seiteZeigen(1); },
            [&] { MaSelect(); },
            // Without a row nothing typed could be stored: every field stays locked.
            [&] { if (!zeileGeladen()) ohneZeileSperren(); },
            // Every bound column must exist, or what the user types into its field would vanish;
            // a database without the fax column is an old one. A null fax number is no failure.
            [&] {
                if (!zeileGeladen()) return;
                const QStringList fehlend = MAData->fehlendeSpalten();
                for (const FeldDef& f : feldtabelle()) {
                    if (!fehlend.contains(f.spalte, Qt::CaseInsensitive)) continue;
                    dauerhaftSperren(f.name);
                    if (const QString l = listeVon(f.name); !l.isEmpty()) dauerhaftSperren(l);
                }
                if (!fehlend.isEmpty()) fehlerWerfen(FehlerNr::SpalteFehlt, fehlend.join(QStringLiteral(", ")));
                MAData->Recordset()->Fields(QStringLiteral("MandFaxNr")).Value();
            },
        },
        falle);
}

// The tax offices in name order, with the placeholder office 0; then the dialog is ready.
void frmMandStamm::finanzaemterLaden(const Fehlerbehandlung& falle) {
    mitFehlerfalle(
        {
            [&] {
                FAData->setRecordSource(QStringLiteral("SELECT *  FROM AllgFaDaten  ORDER BY Faname"), {},
                                         Schreibziel{QStringLiteral("AllgFaDaten"), {QStringLiteral("FaNummer")}});
                FAData->Refresh();
            },
            [&] {
                // Without the shared database there is no office to choose: reported once, above.
                if (!FAData->hatRecordset()) return dauerhaftSperren(QStringLiteral("cmbFaNr"));
                Recordset* rs = FAData->Recordset();
                if (rs->RecordCount() == 0) return;
                rs->FindFirst(QStringLiteral("FaNummer"), 0);
                if (!rs->NoMatch()) return;
                rs->AddNew();
                rs->Fields(QStringLiteral("FaNummer")).setValue(0);
                rs->Fields(QStringLiteral("FaName")).setValue(QStringLiteral(" keine Definition"));
                rs->Fields(QStringLiteral("FaNummerAlt")).setValue(0);
                rs->Fields(QStringLiteral("FaAnschrift")).setValue(QString());
                rs->Fields(QStringLiteral("FaPlz")).setValue(0);
                rs->Fields(QStringLiteral("FaOrt")).setValue(QString());
                rs->Update();
                FAData->Refresh();  // so that the list shows the placeholder first, in name order
            },
            [&] {
                if (FAData->hatRecordset()) cmbFaNr->zeilenLaden(FAData, QStringLiteral("Faname"), QStringLiteral("FaNummer"));
            },
            [&] {
                m_aufruf.FormBereit = true;
                QApplication::restoreOverrideCursor();
            },
            // Scaling goes through every control: the pages not yet built are built first.
            [&] { FormSkalieren(this, true, true, [this] { for (int n = 1; n <= Seitennr::Anzahl; ++n) seiteBauen(n); }); },
        },
        falle);
}

void frmMandStamm::MaSelect() {
    Aufruf& m = m_aufruf;
    mitFehlerfalle(
        {
            [&] {
                MAData->setRecordSource(QStringLiteral("SELECT * FROM AllgMandDaten "), {},
                                        Schreibziel{QStringLiteral("AllgMandDaten"), {}});
                MAData->Refresh();
            },
            [&] {
                Recordset* rs = MAData->Recordset();
                if (rs->RecordCount() != 0) return;
                Meldung(QStringLiteral("Der MandantenDatenbestand ist komplett leer"), Stil::Ok,
                        QStringLiteral("Hinweis auf leeren Datdenbestand"));
                rs->AddNew();
                rs->Update();
                rs->setBookmark(rs->LastModified());
            },
            [&] {
                if (istNull(MAData->Recordset()->Fields(QStringLiteral("MandDvr")).Value()))
                    feld(QStringLiteral("inpMandDvr"))->setzeText(QStringLiteral("0"));
            },
            [&] { MAData->Recordset()->Fields(QStringLiteral("MandEur2fach")); },
        },
        [&](const Fehler& f) {
            if (f.nummer() == FehlerNr::SpalteFehlt) {
                strukturHinweis(f.nummer());
                return Fortsetzung::Verlassen;
            }
            // The record could not be read at all (file missing, no database, no table): the
            // cause is reported once; the steps that follow would only repeat it.
            m.KomponentenName = QStringLiteral("dllMandStamm, in MaSelect");
            FehlerAufruf(f, m);
            m.KomponentenName.clear();
            return MAData->hatRecordset() ? Fortsetzung::NaechsterSchritt : Fortsetzung::Verlassen;
        });
}

bool frmMandStamm::zeileGeladen() const {
    if (!MAData->hatRecordset()) return false;
    const Recordset* rs = MAData->Recordset();
    return !rs->Eof() && !rs->Bof();
}

void frmMandStamm::dauerhaftSperren(const QString& name) {
    m_dauerhaftGesperrt.insert(name);
    // A control of a page not yet built is locked when its page is built.
    if (const FeldDef* f = felddef(name); f && Seitennr::gueltig(f->seite) && !seiteGebaut(f->seite)) return;
    steuerelement(name)->setEnabled(false);
}

void frmMandStamm::ohneZeileSperren() {
    // Every control of the record pages; the currency page works on its own tables.
    for (const FeldDef& f : feldtabelle())
        if (f.seite >= 1 && f.seite <= 7 && f.art != Art::Anzeige && f.art != Art::Beschriftung) dauerhaftSperren(f.name);
}

void frmMandStamm::strukturHinweis(int nummer) {
    // One message for one database, however many steps find a column missing.
    if (m_strukturGemeldet) return;
    m_strukturGemeldet = true;
    DbStrukturHinweis(nummer);
}

bool frmMandStamm::Form_QueryUnload() { return Fehlerprüfungen_0(); }

void frmMandStamm::reject() { close(); }  // Escape closes like the close box

void frmMandStamm::HilfeKontext() {
    if (!m_aufruf.FormBereit) return;
    if (QWidget* w = QApplication::focusWidget())
        w->setProperty("HelpContextID", static_cast<int>(m_aufruf.HilfeIds.value(15)));
}

void frmMandStamm::hilfeOeffnen() {
    QUrl url = QUrl::fromLocalFile(m_aufruf.Hilfedatei);
    QWidget* w = QApplication::focusWidget();
    const int kontext = w ? w->property("HelpContextID").toInt() : 0;
    if (kontext != 0) url.setFragment(QString::number(kontext));
    QDesktopServices::openUrl(url);
}

