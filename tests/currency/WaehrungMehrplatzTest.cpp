// Currencies on two workstations: the page holds what it read while a second connection (the
// other workstation) creates, recodes or changes a currency. No currency is recoded, renamed or
// deleted in silence, and records this dialog never saw are never recoded.

#include "currency/WaehrungsseiteHilfen.h"
#include "platform/Datenbank.h"

#include <QTest>
#include <gtest/gtest.h>

using test::Seite;
using test::waehrung;

namespace {

const QDate Maerz1(2024, 3, 1), Juni1(2024, 6, 1);

void usd(test::Datenbanken& db) {
    db.faSql("DELETE FROM AllgWaehrung");
    waehrung(db, 1, "USD", "US-Dollar", "USA", {{QDate(2024, 1, 2), 1.1, 0.9091}, {Maerz1, 1.085, 0.9217}});
}

void andererArbeitsplatz(const test::Datenbanken& db, const QString& sql, const QVariantList& p = {}) {
    xov::verbindungOeffnen(db.fa, QStringLiteral("lagerbestand4"))->ausfuehren(sql, p);
}

// Workstation A creates the zloty in row 6 with its first rate.
void zlotyAnlegen(const test::Datenbanken& db) {
    andererArbeitsplatz(db,
                        "INSERT INTO AllgWaehrung (WID, Waehrungscode, WaehrungscodeBezeichnung, Laenderkennzeichen, AenderDatum, "
                        "EuroinFremd, FremdinEuro) VALUES (6, 'PLN', 'Polnischer Zloty', 'PL', ?, 4.3, 0.2326)",
                        {Juni1});
}

QString sechs(const test::Datenbanken& db) {
    return test::gespeichert(db.fa, "SELECT DISTINCT Waehrungscode, WaehrungscodeBezeichnung, Laenderkennzeichen FROM AllgWaehrung "
                                    "WHERE WID = 6");
}

QString alle(const test::Meldungen& m) { return m.texte.join(QStringLiteral(" | ")); }

}  // namespace

// B's row 6 looked empty; A created PLN there meanwhile. A code, a name or a country code typed
// into that row is refused with a message that names the currency, both values and the row; the
// row then shows PLN; no PLN record changes.
class ZeileFremderWaehrung : public ::testing::TestWithParam<int> {};

TEST_P(ZeileFremderWaehrung, WirdAbgewiesenUndZeigtDieGespeicherte) {
    const int spalte = GetParam();
    test::Datenbanken db;
    usd(db);
    test::Meldungen m;
    Seite s(db);
    zlotyAnlegen(db);
    InputFeld* feld = spalte == 0 ? s.kurz(5) : spalte == 1 ? s.lang(5) : s.land(5);
    s.tippen(feld, spalte == 0 ? "dkk" : spalte == 1 ? "Dänische Krone" : "dk");
    ASSERT_EQ(m.texte.size(), 1) << alle(m).toStdString();
    const QString t = m.texte.first();
    EXPECT_TRUE(t.contains("Zeile 6") && t.contains("\"PLN\" (Polnischer Zloty)")) << t.toStdString();
    EXPECT_TRUE(t.contains(spalte == 0 ? "\"DKK\"" : spalte == 1 ? "\"Dänische Krone\"" : "\"DK\"")) << t.toStdString();
    EXPECT_EQ(sechs(db), "'PLN'|'Polnischer Zloty'|'PL'");
    EXPECT_EQ(s.zeile(5), QStringList({"Polnischer Zloty", "PLN", "PL"}));
    EXPECT_TRUE(test::xovDb({"kurs", db.fa, "PLN", "01.06.2024"}).aus.contains("EuroinFremd 4,3"));
}

INSTANTIATE_TEST_SUITE_P(CodeNameLand, ZeileFremderWaehrung, ::testing::Values(0, 1, 2),
                         [](const ::testing::TestParamInfo<int>& i) { return std::string(i.param == 0 ? "Code" : i.param == 1 ? "Name" : "Land"); });

// B typed DKK into the empty row 6 (nothing stored yet); A creates PLN there; B's first rate for
// DKK is refused instead of giving the zloty a second code and name.
TEST(WaehrungMehrplatz, ErsterKursInEinerZeileDieInzwischenBelegtIst) {
    test::Datenbanken db;
    usd(db);
    test::Meldungen m;
    Seite s(db);
    s.tippen(s.lang(5), "Dänische Krone");
    s.tippen(s.kurz(5), "dkk");
    zlotyAnlegen(db);
    QTest::mouseClick(s->cmdNeuerKurs, Qt::LeftButton);
    Seite::ruhe();
    s.tippen(s.datum(), "03.06.2024");
    s.tippen(s.eif(), "7,46");
    s.weiter();  // from FremdinEuro, where the reciprocal was put
    ASSERT_EQ(m.texte.size(), 1) << alle(m).toStdString();
    EXPECT_TRUE(m.texte.first().contains("\"PLN\" (Polnischer Zloty)")) << m.texte.first().toStdString();
    EXPECT_EQ(sechs(db), "'PLN'|'Polnischer Zloty'|'PL'");
    EXPECT_EQ(db.faWert("SELECT count(*) FROM AllgWaehrung WHERE WID = 6").toInt(), 1);
    EXPECT_EQ(s.zeile(5), QStringList({"Polnischer Zloty", "PLN", "PL"}));
}

// A recoded USD as USN; B, who read USD, types USX: asked with both codes and the row; Yes
// stores B's code in every record, No keeps A's and shows it.
TEST(WaehrungMehrplatz, CodeEinesAnderenArbeitsplatzesWirdErfragt) {
    for (const bool eigene : {true, false}) {
        test::Datenbanken db;
        usd(db);
        test::Meldungen m([&](const QString&) { return eigene ? QMessageBox::Yes : QMessageBox::No; });
        Seite s(db);
        andererArbeitsplatz(db, "UPDATE AllgWaehrung SET Waehrungscode = 'USN' WHERE WID = 1");
        s.tippen(s.kurz(0), "usx");
        ASSERT_EQ(m.texte.size(), 1) << alle(m).toStdString();
        EXPECT_TRUE(m.texte.first().contains("Zeile 1") && m.texte.first().contains("anderer Arbeitsplatz \"USN\", Ihre Eingabe \"USX\""))
            << m.texte.first().toStdString();
        const QString erwartet = eigene ? "USX" : "USN";
        EXPECT_EQ(test::gespeichert(db.fa, "SELECT DISTINCT Waehrungscode FROM AllgWaehrung WHERE WID = 1"), "'" + erwartet + "'");
        EXPECT_EQ(s.kurz(0)->text(), erwartet);
    }
}

// A changed the rate B is about to delete: nothing is deleted, B is told A's rate.
TEST(WaehrungMehrplatz, GeaenderterKursWirdNichtGeloescht) {
    test::Datenbanken db;
    usd(db);
    test::Meldungen m([](const QString&) { return QMessageBox::Yes; });
    Seite s(db);
    s.rasterKlicken(0);  // 01.03.2024
    andererArbeitsplatz(db, "UPDATE AllgWaehrung SET EuroinFremd = 1.09, FremdinEuro = 0.9174 WHERE WID = 1 AND AenderDatum = ?", {Maerz1});
    s.tippen(s.eif(), "0", false);
    s.tippen(s.fie(), "0");
    ASSERT_EQ(m.texte.size(), 2) << alle(m).toStdString();
    EXPECT_TRUE(m.texte.at(1).contains("anderer Arbeitsplatz 1,09")) << m.texte.at(1).toStdString();
    EXPECT_EQ(test::gespeichert(db.fa, "SELECT EuroinFremd FROM AllgWaehrung WHERE WID = 1 AND AenderDatum = ?", {Maerz1}), "1.09");
    EXPECT_EQ(s.eif()->text(), "1,09");
}

// A stored currency's code changed to two letters follows the table's rules for changing a code
// (only an empty code is refused: the currency would lose its identity).
TEST(WaehrungMehrplatz, LeererCodeEinerGespeichertenWaehrungWirdAbgewiesen) {
    test::Datenbanken db;
    usd(db);
    test::Meldungen m;
    Seite s(db);
    s.tippen(s.kurz(0), "");
    EXPECT_EQ(m.texte, QStringList("Bitte Währungscode angeben!"));
    EXPECT_EQ(s.kurz(0)->text(), "USD");
    s.tippen(s.kurz(0), "us");
    EXPECT_EQ(test::gespeichert(db.fa, "SELECT DISTINCT Waehrungscode FROM AllgWaehrung WHERE WID = 1"), "'US'");
    EXPECT_EQ(m.texte.size(), 1) << alle(m).toStdString();
}
