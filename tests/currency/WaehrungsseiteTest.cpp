// The currency page in the real dialog on a real shared database, driven by mouse and keyboard
// with message boxes answered for real: the wiring of rows, rates, grid and frame. What the page
// decides is tested without a window (WaehrungsentscheidungTest.cpp).
//
// Every way out of the currency page, and "Neuer Kurs", finishes what is being typed there as
// leaving the field does: a code or rate is stored, or refused with its message while the dialog
// stays open on the page with the field and its text; mended, the same way out then stores it.

#include "currency/Kursverlauf.h"
#include "currency/Waehrungsentscheidung.h"
#include "currency/WaehrungsseiteHilfen.h"
#include "form/InputFeld.h"
#include "form/TabStrip.h"

#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

using test::stand;

namespace {

// The day the grid highlights, "" when none.
QString hervorgehoben(const test::Seite& s) {
    const QModelIndex i = s.raster()->currentIndex();
    return i.isValid() && s.raster()->selectionModel()->isRowSelected(i.row(), {}) ? s.rasterZeile(i.row()).first() : QString();
}

}  // namespace

// Each currency once, also when the page is selected again; a code goes into every record of the
// currency (name and country code likewise, and a code another row uses refused: the exit tests);
// passing through the code of a stored currency without a name stores the German name filled in;
// a wildcard matches no other row's code; the hint on an unknown code shows whole under the rows
// and nothing moves.
TEST(Waehrungszeilen, LadenAendernF6ErsterKursUndLangerVerlauf) {
    test::Datenbanken db;
    test::waehrungen(db);
    test::waehrung(db, 4, "CHF", "Franken", "CH", {{QDate(2024, 3, 1), 0.94, 1.0638}});  // a code a second time: shown once
    QMessageBox::StandardButton antwort = QMessageBox::No;
    test::Meldungen m([&](const QString&) { return antwort; });
    test::Seite s(db);
    auto* hinweis = s->findChild<QLabel*>(QStringLiteral("lblWährungscodeHinweis"));
    const QPoint raster = s.raster()->mapTo(s->window(), QPoint()), datum = s.datum()->mapTo(s->window(), QPoint());
    const QSize groesse = s->size();
    test::tabKlicken(*s.d, 1);
    EXPECT_FALSE(s->findChild<QPushButton*>(QStringLiteral("cmdKursgrafik"))->isVisible());  // "Kursgrafik…" on this page only
    test::tabKlicken(*s.d, 8);
    EXPECT_EQ(s.zeile(1), QStringList({"Schweizer Franken", "CHF", "CH"}));
    EXPECT_EQ(s.zeile(3), QStringList({"", "", ""}));
    s.tippen(s.kurz(0), "usn");
    EXPECT_EQ(stand(db, "SELECT Waehrungscode FROM AllgWaehrung WHERE WID = 1"), "'USN' ; 'USN' ; 'USN'");
    EXPECT_EQ(s->findChild<QLabel*>(QStringLiteral("lblFremd"))->text(), "1 USN =\nxxx EUR");
    test::Seite::klick(s.kurz(2));
    test::Seite::weiter();
    EXPECT_EQ(stand(db, "SELECT DISTINCT WaehrungscodeBezeichnung FROM AllgWaehrung WHERE WID = 3"), "'Japanischer Yen'");
    s.tippen(s.kurz(6), "U_N");
    EXPECT_TRUE(m.texte.isEmpty()) << m.alle();
    s.tippen(s.kurz(7), "QQQ");
    ASSERT_TRUE(hinweis->isVisible());
    EXPECT_EQ(hinweis->text(), "QQQ ist kein bekannter ISO-Währungscode");
    EXPECT_GE(hinweis->width(), hinweis->sizeHint().width());
    EXPECT_EQ(s->size(), groesse);
    EXPECT_EQ(s.raster()->mapTo(s->window(), QPoint()), raster);
    EXPECT_EQ(s.datum()->mapTo(s->window(), QPoint()), datum);
    // Keyboard only: F6 from any currency's row to its rate date and back; a rate entered there is
    // that currency's. F6 and "Neuer Kurs" in a row without a code say why nothing starts, and a
    // rate field clicked without a date says why the focus goes back to the date.
    test::aktivieren(s.d->form.get());
    test::Seite::klick(s.land(2));  // the yen's row
    test::Seite::taste(Qt::Key_F6);
    ASSERT_TRUE(test::fokusAuf(s.datum()));
    EXPECT_EQ(s.datum()->text(), "04.03.2024");
    test::Seite::taste(Qt::Key_Tab);
    s.eif()->selectAll();
    QTest::keyClicks(s.eif(), "162");
    test::Seite::taste(Qt::Key_F6);
    EXPECT_TRUE(test::fokusAuf(s.lang(2)));
    EXPECT_EQ(stand(db, "SELECT EuroinFremd FROM AllgWaehrung WHERE WID = 3 AND AenderDatum = '2024-03-04'"), "162.0");
    test::Seite::klick(s.lang(5));
    test::Seite::taste(Qt::Key_F6);
    test::aktivieren(s.d->form.get());
    test::Seite::klick(s->cmdNeuerKurs);
    EXPECT_TRUE(s.aktiv(s.kurz(5)));
    test::Seite::klick(s.lang(0));
    test::Seite::klick(s->cmdNeuerKurs);
    test::Seite::klick(s.eif());
    EXPECT_EQ(m.texte, QStringList({xov::waehrung::KeinCode, xov::waehrung::KeinCode, xov::waehrung::NurDatum}));
    EXPECT_TRUE(s.aktiv(s.datum()));
    m.texte.clear();
    // The first rate of a new row creates the currency with its row's name, code and country code;
    // leaving EuroinFremd puts the reciprocal to ten places, Enter ("umrechnen") to four. After a
    // save of an older day and after a change the grid highlights the frame's day. Then the
    // first currency's rates.
    s.tippen(s.lang(4), "Polnischer Zloty");
    s.tippen(s.kurz(4), "pln");
    s.tippen(s.land(4), "pl", false);
    s.tippen(s.datum(), "01.03.2024");
    s.tippen(s.eif(), "4,32");
    ASSERT_TRUE(test::fokusAuf(s.fie()));
    s.weiter();
    EXPECT_EQ(stand(db, "SELECT WID, Waehrungscode, WaehrungscodeBezeichnung, Laenderkennzeichen, AenderDatum, EuroinFremd, FremdinEuro "
                        "FROM AllgWaehrung WHERE WID = 5"),
              "5|'PLN'|'Polnischer Zloty'|'PL'|'2024-03-01'|4.32|0.2314814815");
    EXPECT_EQ(s.rasterZeile(0), QStringList({"01.03.2024", "4,32", "0,2314814815"}));
    s.neuerKurs("15.02.2024");
    s.tippen(s.eif(), "4,3");
    s.weiter();
    EXPECT_EQ(hervorgehoben(s), "15.02.2024");
    s.rasterKlicken(0);  // 01.03., 15.02.2024
    s.tippen(s.eif(), "4,28");
    EXPECT_EQ(hervorgehoben(s), "01.03.2024");
    EXPECT_EQ(stand(db, "SELECT EuroinFremd, FremdinEuro FROM AllgWaehrung WHERE WID = 5 AND AenderDatum = '2024-03-01'"), "4.28|0.2336448598");
    s.tippen(s.eif(), "3", false);
    test::Seite::taste(Qt::Key_Return);
    EXPECT_EQ(s.fie()->text(), "0,3333");
    s.weiter();
    EXPECT_EQ(stand(db, "SELECT EuroinFremd, FremdinEuro FROM AllgWaehrung WHERE WID = 5 AND AenderDatum = '2024-03-01'"), "3.0|0.3333");
    EXPECT_EQ(hervorgehoben(s), "01.03.2024");
    EXPECT_EQ(s.datum()->text(), "01.03.2024");
    // A rate left unfinished gets back the rate the frame was filled with. Both rates 0: the
    // question with Yes, No and Cancel; only Yes deletes, the frame and the grid then show no day.
    test::Seite::klick(s.land(0));
    s.rasterKlicken(1);  // 01.02.2024
    s.tippen(s.eif(), ",");
    EXPECT_EQ(m.texte, QStringList(xov::waehrung::keineZahlIn("EuroinFremd")));
    EXPECT_EQ(s.eif()->text(), "1,08");
    EXPECT_TRUE(s.aktiv(s.eif()));
    s.tippen(s.eif(), "0", false);
    s.tippen(s.fie(), "0");
    ASSERT_EQ(m.texte.value(1), "Wollen Sie den WährungsKurs für \"USN\" vom 01.02.2024 löschen?");
    EXPECT_TRUE(s.aktiv(s.eif()));
    antwort = QMessageBox::Cancel;
    s.weiter();
    EXPECT_TRUE(s.aktiv(s.datum()));
    EXPECT_EQ(db.faWert("SELECT count(*) FROM AllgWaehrung WHERE WID = 1").toInt(), 3);
    antwort = QMessageBox::Yes;
    s.weiter();
    EXPECT_EQ(m.texte.size(), 4);
    EXPECT_EQ(stand(db, "SELECT AenderDatum FROM AllgWaehrung WHERE WID = 1 ORDER BY AenderDatum"), "'2024-01-02' ; '2024-03-01'");
    EXPECT_EQ(s.datum()->text() + hervorgehoben(s), "");
    // A long history is read page by page: the day asked for is found however deep it lies.
    auto v = xov::verbindungOeffnen(db.fa, xov::DbPasswort);
    xov::Transaktion t(*v);
    for (int i = 0; i < 250; ++i)
        v->ausfuehren("INSERT INTO AllgWaehrung (WID, Waehrungscode, AenderDatum, EuroinFremd, FremdinEuro) VALUES (9, 'NOK', ?, ?, 0.1)",
                      {QDate(2020, 1, 1).addDays(i), 10.0 + i});
    t.bestaetigen();
    Kursverlauf verlauf;
    verlauf.laden(v, 9);
    ASSERT_EQ(verlauf.zeileVon(QDate(2020, 1, 1)), 249);
    EXPECT_EQ(verlauf.zeileVon(QDate(2019, 1, 1)), -1);
}

// In a namespace of its own: its names meet those of other tests in one unity batch.
namespace seite8 {

enum Ausgang { Escape, Beenden, Schliessfeld, Tabklick, StrgTab, AndereZeile, NeuerKurs, AltN };
const char* const Ausgaenge[] = {"Escape", "Beenden", "Schliessfeld", "Tabklick", "StrgTab", "AndereZeile", "NeuerKurs", "AltN"};

// What is typed into which field of the first currency (USD), or as the rate of a new day (of the
// stored day `tag`): first `abgewiesen` (refused; with `erstTab` by Tab once before the way out),
// then `gut`.
struct Fall {
    const char* name;
    Ausgang ausgang;
    const char *feld, *abgewiesen, *gut, *gespeichert;
    bool erstTab = false;
    const char* tag = nullptr;
};
void PrintTo(const Fall& f, std::ostream* os) { *os << f.name << " mit " << Ausgaenge[f.ausgang]; }

class Seite8Ausgang : public ::testing::TestWithParam<Fall> {};

// Leaves the page (or the dialog) the way the case says; the row clicked is the second currency.
// Done once the page's handlers have run.
void verlassen(test::Seite& s, Ausgang a) {
    switch (a) {
    case Escape: s.d->escape(); break;
    case Beenden: QTest::mouseClick(s->cmdBeenden, Qt::LeftButton); break;
    case Schliessfeld: s.d->schliessen(); break;
    case Tabklick: test::tabKlicken(*s.d, 1); break;
    case StrgTab: QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ControlModifier); break;
    case AndereZeile: QTest::mouseClick(s.land(1), Qt::LeftButton); break;
    case NeuerKurs: QTest::mouseClick(s->cmdNeuerKurs, Qt::LeftButton); break;
    case AltN: QTest::keyClick(QApplication::focusWidget(), Qt::Key_N, Qt::AltModifier); break;
    }
    test::Seite::ruhe();
}

TEST_P(Seite8Ausgang, BeendetDieEingabeWieDasVerlassenDesFeldes) {
    const Fall& fall = GetParam();
    test::Datenbanken db;
    test::waehrungen(db);
    test::Meldungen m;
    test::Seite s(db);
    InputFeld* feld = QLatin1String(fall.feld) == "Code" ? s.kurz(0) : s.eif();
    if (feld == s.eif() && fall.tag) s.tippen(s.datum(), fall.tag);
    else if (feld == s.eif()) s.neuerKurs("04.03.2024");
    const QString usdSql = "SELECT DISTINCT WaehrungscodeBezeichnung, Waehrungscode, Laenderkennzeichen FROM AllgWaehrung WHERE WID = 1";
    const QString kursSql = QStringLiteral("SELECT EuroinFremd, FremdinEuro FROM AllgWaehrung WHERE WID = 1 AND AenderDatum = '%1'")
                                .arg(QDate::fromString(fall.tag ? fall.tag : "04.03.2024", "dd.MM.yyyy").toString(Qt::ISODate));
    if (fall.abgewiesen) {
        s.tippen(feld, fall.abgewiesen, fall.erstTab);
        if (fall.erstTab) ASSERT_TRUE(s.aktiv(feld));
        verlassen(s, fall.ausgang);
        const QString gezeigt = feld == s.eif() ? xov::waehrung::keineZahlIn("EuroinFremd")
                                                : QString(xov::waehrung::doppelterCode("CHF", 2)).replace(QChar(13), QChar(10));
        EXPECT_EQ(m.texte, QStringList(gezeigt) << (fall.erstTab ? QStringList(gezeigt) : QStringList()));
        EXPECT_TRUE(s->isVisible());
        EXPECT_EQ(s->TabStrip1->aktuelleSeite(), 8);
        EXPECT_TRUE(s.aktiv(feld));
        EXPECT_EQ(test::stand(db, usdSql) + test::stand(db, kursSql), "'US-Dollar'|'USD'|'USA'");
        // The refused text stays for the user to mend; a code used elsewhere returns to the stored one.
        EXPECT_EQ(feld->text(), feld == s.eif() ? QString(",") : QString("USD"));
        m.texte.clear();
    }
    s.tippen(feld, fall.gut, false);
    verlassen(s, fall.ausgang);
    EXPECT_TRUE(m.texte.isEmpty()) << m.alle();
    EXPECT_EQ(s->isVisible(), fall.ausgang > Schliessfeld);
    EXPECT_EQ(s->TabStrip1->aktuelleSeite(), fall.ausgang == Tabklick || fall.ausgang == StrgTab ? 1 : 8);
    EXPECT_EQ(test::stand(db, feld == s.eif() ? kursSql : usdSql), fall.gespeichert);
}

// Each way out finishes the focus field through one function that tells the fields apart: every
// way out with a rate refused and then stored; a head field (a code refused, then stored: the same
// leave as for name and country code), a rate refused by Tab before and a stored day's rate
// changed, on Escape.
std::vector<Fall> alleFaelle() {
    std::vector<Fall> f;
    for (int a = Escape; a <= AltN; ++a) f.push_back({"Kurs", Ausgang(a), "Kurs", ",", "1,7", "1.7|0.5882352941"});
    f.push_back({"DoppelterCode", Escape, "Code", "CHF", "usn", "'US-Dollar'|'USN'|'USA'"});
    f.push_back({"KursNachAbweisung", Escape, "Kurs", ",", "1,7", "1.7|0.5882352941", true});
    // A stored day's changed rate: its reciprocal stored to 10 places, as shown, not to 4.
    f.push_back({"GespeicherterTag", Escape, "Kurs", nullptr, "1,3", "1.3|0.7692307692", false, "01.03.2024"});
    return f;
}

INSTANTIATE_TEST_SUITE_P(Alle, Seite8Ausgang, ::testing::ValuesIn(alleFaelle()), [](const ::testing::TestParamInfo<Fall>& i) {
    return std::string(i.param.name) + "_" + Ausgaenge[i.param.ausgang];
});

}  // namespace seite8
