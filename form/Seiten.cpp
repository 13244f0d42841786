// Preparing the tab pages: only the current page is enabled; in restricted mode a page locks
// its fields, otherwise it sets their keyboard order and focus.

#include "component/Modul.h"
#include "currency/Waehrungsseite.h"
#include "form/InputFeld.h"
#include "form/TabStrip.h"
#include "form/frmMandStamm.h"
#include "platform/Fehler.h"
#include "platform/Meldung.h"
#include "platform/Variant.h"

#include <QApplication>
#include <QFrame>
#include <QPushButton>
#include <QTableView>

using namespace xov;

namespace {
QStringList reihe(const QString& muster, int von, int bis) {
    QStringList n;
    for (int i = von; i <= bis; ++i) n << muster.arg(i);
    return n;
}
QStringList abwechselnd(const QString& a, const QString& b, int anzahl) {
    QStringList n;
    for (int i = 0; i < anzahl; ++i) n << a.arg(i) << b.arg(i);
    return n;
}
}  // namespace

void frmMandStamm::nachSeitenwechsel() {
    const int seite = TabStrip1->aktuelleSeite();
    seiteZeigen(seite);
    if (!modul().FormBereit && modul().TabStripNr != 7) return;  // tabs being added while loading
    seitenWechselAusfuehren(seite);
    // The focus belongs to the page now shown: where its preparation put it, otherwise on its
    // first field. Never on a button below the pages, where Space would close the dialog.
    if (seite < 1 || seite > 8) return;
    QWidget* f = QApplication::focusWidget();
    if (!f || !Frame1[seite - 1]->isAncestorOf(f) || !f->isVisible() || !f->isEnabled()) ersteFeldFokus(seite);
}

void frmMandStamm::seitenWechselAusfuehren(int n) {
    // The switch's own trap: number and description in a plain box, then the next statement.
    const Fehlerbehandlung falle = [](const Fehler& f) {
        Meldung(QString::number(f.nummer()) + f.beschreibung());
        return Fortsetzung::NaechsterSchritt;
    };
    switch (n) {
    case 1: mitFehlerfalle({[&] { Seite1Vorbereiten(); }}, falle); break;
    case 2: mitFehlerfalle({[&] { Seite2Vorbereiten(); }}, falle); break;
    case 3:
        mitFehlerfalle({[&] { Seite3Vorbereiten(); },
                        [&] {
                            if (feld(QStringLiteral("inpMandBuchjahr"))->isEnabled()) feld(QStringLiteral("inpMandBuchjahr"))->setFocus();
                        }},
                       falle);
        break;
    case 4:
        mitFehlerfalle({[&] {
                            // "0,0000" counts as zero: a numeric comparison.
                            InputFeld* kurs = feld(QStringLiteral("inpEurKurs"));
                            if (kurs->zahl().value_or(0) == 0) kurs->setzeZahl(13.7603);
                        },
                        [&] { Seite4Vorbereiten(); }, [&] { listenSeite4Abgleichen(); }},
                       falle);
        break;
    case 5: mitFehlerfalle({[&] { Seite5Vorbereiten(); }}, falle); break;
    case 6:
        mitFehlerfalle({[&] { Seite6Vorbereiten(); }, [&] { SammelpruefungAktiv = true; }, [&] { AlleKontenPruefen(); },
                        [&] { SammelpruefungAktiv = false; }},
                       falle);
        break;
    case 7: mitFehlerfalle({[&] { Seite7Vorbereiten(); }}, falle); break;
    case 8: mitFehlerfalle({[&] { WährungenLaden(); }, [&] { Seite8Vorbereiten(); }}, falle); break;
    default: break;
    }
}

void frmMandStamm::ersteFeldFokus(int seite) {
    if (seite < 1 || seite > 8) return;
    QWidget* w = Frame1[seite - 1];
    for (QWidget* n = w->nextInFocusChain(); n && n != w; n = n->nextInFocusChain()) {
        if (w->isAncestorOf(n) && n->isVisible() && n->isEnabled() && (n->focusPolicy() & Qt::TabFocus)) {
            n->setFocus(Qt::OtherFocusReason);
            return;
        }
    }
    // A page without a field the user can reach (page 4, or everything locked): the tab strip.
    TabStrip1->setFocus(Qt::OtherFocusReason);
}

void frmMandStamm::seiteVorbereiten(int seite, const QStringList& gesperrt, const QStringList& reihenfolge, const QString& fokus) {
    for (int k = 0; k < 8; ++k) Frame1[k]->setEnabled(k == seite - 1);
    if (modul().Eingeschraenkt) {
        for (const QString& n : gesperrt) m_steuer.value(n)->setEnabled(false);
    } else {
        for (int i = 1; i < reihenfolge.size(); ++i)
            QWidget::setTabOrder(m_steuer.value(reihenfolge.at(i - 1)), m_steuer.value(reihenfolge.at(i)));
        if (!fokus.isEmpty()) m_steuer.value(fokus)->setFocus(Qt::OtherFocusReason);
    }
    cmdNeuerKurs->setVisible(seite == 8);
}

void frmMandStamm::Seite1Vorbereiten() {
    seiteVorbereiten(1,
                     {"inpMandAnschrift", "inpMandName", "inpMandName2", "inpMandName3", "inpMandNation", "inpMandOrt",
                      "inpMandPlz", "inpMandTelefonNr", "inpMandFaxNr", "inpMandDvr", "cmbVoranmPeriode", "inpSteuerNr",
                      "inpReferat", "cmbFaNr", "inpMandBagatellBetrag", "inpMandMahnspesen", "inpMandUID"},
                     {"inpMandName", "inpMandName2", "inpMandName3", "inpMandAnschrift", "inpMandPlz", "inpMandNation",
                      "inpMandOrt", "inpMandTelefonNr", "inpMandFaxNr", "cmbVoranmPeriode", "inpSteuerNr", "inpReferat",
                      "cmbFaNr", "inpMandDvr", "inpMandBagatellBetrag", "inpMandMahnspesen", "inpMandUID"},
                     {});
}

void frmMandStamm::Seite2Vorbereiten() {
    for (int k = 0; k < 8; ++k) Frame1[k]->setEnabled(k == 1);
    cmdNeuerKurs->setVisible(false);
}

void frmMandStamm::Seite3Vorbereiten() {
    seiteVorbereiten(3, {"inpMandBuchjahr", "inpMandMonStatusDatum"}, {"inpMandBuchjahr", "inpMandMonStatusDatum"}, {});
}

void frmMandStamm::Seite4Vorbereiten() {
    const QStringList felder = {"cmbAnwNummer", "inpZahlschKorrPunkte", "cmbMahnFixText", "cmbAnzMahnStu", "inpEurKurs", "cmbEur2Fach"};
    seiteVorbereiten(4, felder, felder, {});
}

void frmMandStamm::Seite5Vorbereiten() {
    const QStringList felder = reihe(QStringLiteral("inpMaAnr(%1)"), 0, 20) + reihe(QStringLiteral("inpMaAnrKurz(%1)"), 0, 20);
    seiteVorbereiten(5, felder, felder, QStringLiteral("inpMaAnr(0)"));
}

void frmMandStamm::Seite6Vorbereiten() {
    seiteVorbereiten(6,
                     {"inpDebitSammelKoNr", "inpKreditSammelKoNr", "inpMandKonto30", "inpMandKonto8", "inpMandKonto11",
                      "inpMandKonto12", "inpMandKonto13", "inpMandKonto7", "cmdKontenAuswahl"},
                     {"inpDebitSammelKoNr", "inpKreditSammelKoNr", "inpMandKonto30", "inpMandKonto12", "inpMandKonto13",
                      "inpMandKonto7", "inpMandKonto8", "inpMandKonto11", "cmdKontenAuswahl"},
                     {});
    if (!modul().Eingeschraenkt && !m_ohneZeile) steuerelement(QStringLiteral("cmdKontenAuswahl"))->setEnabled(true);
}

void frmMandStamm::Seite7Vorbereiten() {
    const QStringList felder = abwechselnd(QStringLiteral("inpIndBezLang(%1)"), QStringLiteral("inpIndBezKurz(%1)"), 20);
    for (int k = 0; k < 8; ++k) Frame1[k]->setEnabled(k == 6);
    if (modul().Eingeschraenkt) {
        for (const QString& n : felder) steuerelement(n)->setEnabled(false);
    } else {
        steuerelement(QStringLiteral("inpIndBezLang(0)"))->setFocus(Qt::OtherFocusReason);
    }
    cmdNeuerKurs->setVisible(false);
}

void frmMandStamm::Seite8Vorbereiten() {
    for (int k = 0; k < 8; ++k) Frame1[k]->setEnabled(k == 7);
    m_waehrungsseite->SeiteVorbereiten();
    cmdNeuerKurs->setVisible(true);
}

void frmMandStamm::WährungenLaden() { m_waehrungsseite->WährungenLaden(); }
void frmMandStamm::KursHistorieLaden(qint16 zeile) { m_waehrungsseite->KursHistorieLaden(zeile); }
