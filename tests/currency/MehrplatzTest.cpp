// Two workstations on one shared database: the page holds what it read while a second connection
// (the other workstation) creates, recodes or changes a currency or a rate. Nothing is
// overwritten in silence, no day gets two rates, records this dialog never saw are never
// recoded, and a typed rate survives a locked database.

#include "currency/Waehrungsdaten.h"
#include "currency/WaehrungsseiteHilfen.h"
#include "platform/Datenquelle.h"
#include "platform/Fehler.h"

#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

using test::andererArbeitsplatz;
using test::Seite;
using test::stand;

namespace {

const QDate Maerz1(2024, 3, 1), Maerz4(2024, 3, 4);

QString kurseAm(const test::Datenbanken& db, const QDate& tag) {
    return stand(db, "SELECT EuroinFremd, FremdinEuro FROM AllgWaehrung WHERE WID = 1 AND AenderDatum = ?", {tag});
}

void zlotyInZeile6(const test::Datenbanken& db) {
    andererArbeitsplatz(db,
                        "INSERT INTO AllgWaehrung (WID, Waehrungscode, WaehrungscodeBezeichnung, Laenderkennzeichen, AenderDatum, "
                        "EuroinFremd, FremdinEuro) VALUES (6, 'PLN', 'Polnischer Zloty', 'PL', ?, 4.3, 0.2326)",
                        {QDate(2024, 6, 1)});
}

const char* Zeile6 = "SELECT DISTINCT Waehrungscode, WaehrungscodeBezeichnung, Laenderkennzeichen FROM AllgWaehrung WHERE WID = 6";

}  // namespace

// The same rate changed here and at the other workstation: the question names both; Yes stores
// the typed rate, No shows the other's, Cancel stores nothing and keeps the typed rate, and
// closing the dialog then asks again (answered Yes).
class GeaenderterKurs : public ::testing::TestWithParam<QMessageBox::StandardButton> {};

TEST_P(GeaenderterKurs, FrageNenntBeideKurse) {
    QMessageBox::StandardButton antwort = GetParam();
    test::Datenbanken db;
    test::waehrungen(db, 1);
    test::Meldungen m([&](const QString&) { return antwort; });
    Seite s(db);
    s.rasterKlicken(0);
    andererArbeitsplatz(db, "UPDATE AllgWaehrung SET EuroinFremd = 1.09, FremdinEuro = 0.9174 WHERE WID = 1 AND AenderDatum = ?", {Maerz1});
    s.tippen(s.eif(), "1,1");
    ASSERT_EQ(m.texte.size(), 1) << m.texte.join('|').toStdString();
    EXPECT_TRUE(m.texte.first().contains("EuroinFremd: anderer Arbeitsplatz 1,09, Ihre Eingabe 1,1")) << m.texte.first().toStdString();
    EXPECT_EQ(kurseAm(db, Maerz1), antwort == QMessageBox::Yes ? "1.1|0.9091" : "1.09|0.9174");
    EXPECT_EQ(s.eif()->text(), antwort == QMessageBox::No ? "1,09" : "1,1");
    if (antwort != QMessageBox::Cancel) return;
    EXPECT_TRUE(s.aktiv(s.eif()));
    antwort = QMessageBox::Yes;
    EXPECT_TRUE(s.d->escape());
    EXPECT_EQ(m.texte.size(), 2);
    EXPECT_EQ(kurseAm(db, Maerz1), "1.1|0.9091");
}
INSTANTIATE_TEST_SUITE_P(Antworten, GeaenderterKurs, ::testing::Values(QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel),
                         [](const auto& i) { return std::string(i.param == QMessageBox::Yes ? "Eigener" : i.param == QMessageBox::No ? "Fremder" : "AbbrechenUndSchliessen"); });

// Both workstations enter a rate for the same day, with the key on currency and day and without
// it: one record, and the user says whose rate stays.
class SelberTag : public ::testing::TestWithParam<std::tuple<bool, bool>> {};

TEST_P(SelberTag, NieZweiKurseEinesTages) {
    const auto [mitSchluessel, eigene] = GetParam();
    test::Datenbanken db;
    if (!mitSchluessel) test::ohneSchluessel(db);
    test::waehrungen(db, 1);
    test::Meldungen m([&](const QString&) { return eigene ? QMessageBox::Yes : QMessageBox::No; });
    Seite s(db);
    s.neuerKurs("04.03.2024");
    test::waehrung(db, 1, "USD", "US-Dollar", "USA", {{Maerz4, 1.2, 0.8333}});
    s.tippen(s.eif(), "1,1");
    s.weiter();
    ASSERT_EQ(m.texte.size(), 1) << m.texte.join('|').toStdString();
    EXPECT_TRUE(m.texte.first().startsWith("Für \"USD\" wurde am 04.03.2024")) << m.texte.first().toStdString();
    EXPECT_EQ(kurseAm(db, Maerz4), eigene ? "1.1|0.9090909091" : "1.2|0.8333");
}
INSTANTIATE_TEST_SUITE_P(MitUndOhneSchluessel, SelberTag, ::testing::Combine(::testing::Bool(), ::testing::Bool()));

// The other workstation inserts between the look and the write: refused inside the writing
// transaction, also without a key on currency and day.
TEST(KursMehrplatz, EinfuegenPrueftDenTagInDerSchreibtransaktion) {
    for (const bool mitSchluessel : {true, false}) {
        test::Datenbanken db;
        if (!mitSchluessel) test::ohneSchluessel(db);
        test::waehrungen(db, 1);
        xov::Datenquelle quelle(QStringLiteral("FAData"));
        quelle.setDatabaseName(db.fa);
        quelle.setConnect(QStringLiteral("Access 2000;pwd=lagerbestand4;"));
        Waehrungsdaten daten(&quelle);
        test::waehrung(db, 1, "USD", "US-Dollar", "USA", {{Maerz4, 1.2, 0.8333}});
        EXPECT_THROW(daten.kursEinfuegen({1, "USD", "US-Dollar", "USA"}, Maerz4, {1.1, 0.9091}), xov::Fehler);
        EXPECT_EQ(kurseAm(db, Maerz4), "1.2|0.8333");
        // A change compares with the rate as read; a delete only deletes it as read.
        EXPECT_THROW(daten.kursAendern(1, Maerz4, {1.1, 0.9091}, {1.3, 0.7692}), xov::Fehler);
        EXPECT_FALSE(daten.kursLoeschen(1, Maerz4, xov::waehrung::Kurs{1.1, 0.9091}));
        EXPECT_EQ(kurseAm(db, Maerz4), "1.2|0.8333");
    }
}

// The shared database held by another process while a rate is saved: the error report, the
// typed rate stays, also when the dialog is closed; once free, leaving the field stores it.
TEST(KursMehrplatz, GesperrteDatenbankBehaeltDenGetipptenKurs) {
    XOV_NUR_DATEI("eine Datei, die ein zweiter Prozess exklusiv hält");
    test::Datenbanken db;
    test::waehrungen(db, 1);
    test::Meldungen m;
    Seite s(db);
    s.rasterKlicken(0);
    {
        test::Sperre sperre(db.fa, QStringLiteral("lagerbestand4"));
        ASSERT_TRUE(sperre.aktiv());
        s.tippen(s.eif(), "1,1", false);
        EXPECT_FALSE(s.d->escape());
        ASSERT_EQ(m.texte.size(), 1);
        EXPECT_TRUE(m.texte.first().startsWith("xovAllgError 3704:")) << m.texte.first().toStdString();
        EXPECT_EQ(s.eif()->text(), "1,1");
        test::aktivieren(s.d->form.get());
    }
    QTest::mouseClick(s.eif(), Qt::LeftButton);
    ASSERT_TRUE(test::fokusAuf(s.eif()));
    s.weiter();
    EXPECT_EQ(kurseAm(db, Maerz1), "1.1|0.9091");
}

// B's row 6 looked empty; A created PLN there meanwhile. A code, name or country code typed into
// it is refused naming the currency, both values and the row; the row then shows PLN, and no PLN
// record changes.
struct Fremdeingabe {
    const char* name;
    int spalte;  // 0 name, 1 code, 2 country code
    const char* getippt;
    const char* gezeigt;
};
class ZeileFremderWaehrung : public ::testing::TestWithParam<Fremdeingabe> {};

TEST_P(ZeileFremderWaehrung, WirdAbgewiesenUndZeigtDieGespeicherte) {
    const Fremdeingabe& f = GetParam();
    test::Datenbanken db;
    test::waehrungen(db, 1);
    test::Meldungen m;
    Seite s(db);
    zlotyInZeile6(db);
    s.tippen(f.spalte == 0 ? s.lang(5) : f.spalte == 1 ? s.kurz(5) : s.land(5), f.getippt);
    ASSERT_EQ(m.texte.size(), 1);
    EXPECT_TRUE(m.texte.first().contains(QString("Ihre Eingabe: \"%1\"").arg(f.gezeigt))) << m.texte.first().toStdString();
    EXPECT_EQ(stand(db, Zeile6), "'PLN'|'Polnischer Zloty'|'PL'");
    EXPECT_EQ(s.zeile(5), QStringList({"Polnischer Zloty", "PLN", "PL"}));
}
INSTANTIATE_TEST_SUITE_P(CodeNameLand, ZeileFremderWaehrung,
                         ::testing::Values(Fremdeingabe{"Name", 0, "Krone", "Krone"}, Fremdeingabe{"Code", 1, "dkk", "DKK"}, Fremdeingabe{"Land", 2, "dk", "DK"}),
                         [](const auto& i) { return std::string(i.param.name); });

// B typed DKK into the empty row 6; A creates PLN there; B's first rate is refused instead of
// giving the zloty a second code and name.
TEST(WaehrungMehrplatz, ErsterKursInEinerZeileDieInzwischenBelegtIst) {
    test::Datenbanken db;
    test::waehrungen(db, 1);
    test::Meldungen m;
    Seite s(db);
    s.tippen(s.lang(5), "Dänische Krone");
    s.tippen(s.kurz(5), "dkk");
    zlotyInZeile6(db);
    s.neuerKurs("03.06.2024");
    s.tippen(s.eif(), "7,46");
    s.weiter();
    ASSERT_EQ(m.texte.size(), 1);
    EXPECT_TRUE(m.texte.first().contains("\"PLN\" (Polnischer Zloty)")) << m.texte.first().toStdString();
    EXPECT_EQ(stand(db, Zeile6), "'PLN'|'Polnischer Zloty'|'PL'");
    EXPECT_EQ(db.faWert("SELECT count(*) FROM AllgWaehrung WHERE WID = 6").toInt(), 1);
    EXPECT_EQ(s.zeile(5), QStringList({"Polnischer Zloty", "PLN", "PL"}));
}

// A recoded USD as USN; B, who read USD, types USX: asked; Yes stores B's code in every record,
// No keeps A's and shows it.
TEST(WaehrungMehrplatz, CodeEinesAnderenArbeitsplatzesWirdErfragt) {
    for (const bool eigene : {true, false}) {
        test::Datenbanken db;
        test::waehrungen(db, 1);
        test::Meldungen m([&](const QString&) { return eigene ? QMessageBox::Yes : QMessageBox::No; });
        Seite s(db);
        andererArbeitsplatz(db, "UPDATE AllgWaehrung SET Waehrungscode = 'USN' WHERE WID = 1");
        s.tippen(s.kurz(0), "usx");
        ASSERT_EQ(m.texte.size(), 1);
        EXPECT_TRUE(m.texte.first().contains("anderer Arbeitsplatz \"USN\", Ihre Eingabe \"USX\"")) << m.texte.first().toStdString();
        EXPECT_EQ(stand(db, "SELECT DISTINCT Waehrungscode FROM AllgWaehrung WHERE WID = 1"), eigene ? "'USX'" : "'USN'");
        EXPECT_EQ(s.kurz(0)->text(), eigene ? "USX" : "USN");
    }
}
