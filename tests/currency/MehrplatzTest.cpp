// Two workstations on one shared database: the page holds what it read while a second connection
// (the other workstation) creates, recodes or changes a currency or a rate. Nothing is
// overwritten in silence, no day gets two rates, records this dialog never saw are never
// recoded, and a typed rate survives a locked database.

#include "currency/Waehrungsdaten.h"
#include "currency/WaehrungsseiteHilfen.h"
#include "platform/Datenquelle.h"
#include "platform/Fehler.h"
#include "platform/Fehlerhilfe.h"

#include <QTest>
#include <gtest/gtest.h>

using test::andererArbeitsplatz;
using test::stand;

// Both workstations enter a rate for the same day, with the key on currency and day and without
// it: one record, and the user says whose rate stays (Yes for USD, No for CHF). The other
// workstation inserting between the look and the write is refused inside the writing transaction;
// a change compares with the rate as read, a delete only deletes it as read. An older table with
// two records of a day keeps them, named by the database tool, which adds the key once they are
// cleaned up; a second rate of that day is then refused. And a rate typed while the database is
// locked.
class SelberTag : public ::testing::TestWithParam<bool> {};

TEST_P(SelberTag, NieZweiKurseEinesTages) {
    test::Datenbanken db;
    if (!GetParam()) {  // a shared table of an older version: no key on currency and day
        db.faSql("DROP TABLE AllgWaehrung");
        db.faSql("CREATE TABLE AllgWaehrung (WID INTEGER NOT NULL, Waehrungscode TEXT, WaehrungscodeBezeichnung TEXT, "
                 "Laenderkennzeichen TEXT, AenderDatum DATE NOT NULL, EuroinFremd DOUBLE PRECISION, FremdinEuro DOUBLE PRECISION)");
    }
    test::waehrungen(db);
    test::Meldungen m([&](const QString& t) { return t.contains("USD") ? QMessageBox::Yes : QMessageBox::No; });
    test::Seite s(db);
    const char* kopf = "WID, Waehrungscode, WaehrungscodeBezeichnung, Laenderkennzeichen";
    for (int z = 0; z < 2; ++z) {
        test::Seite::klick(s.land(z));
        s.neuerKurs("04.03.2024");
        andererArbeitsplatz(db, QString("INSERT INTO AllgWaehrung (%1, AenderDatum, EuroinFremd, FremdinEuro) SELECT %1, '2024-03-04', 1.2, "
                                        "0.8333 FROM AllgWaehrung WHERE WID = ? AND AenderDatum = '2024-03-01'").arg(kopf), {z + 1});
        s.tippen(s.eif(), "1,1");
        s.weiter();
        ASSERT_EQ(m.texte.size(), z + 1) << m.alle();
        EXPECT_TRUE(m.texte[z].contains("\" wurde am 04.03.2024")) << m.alle();
    }
    EXPECT_EQ(stand(db, "SELECT WID, EuroinFremd, FremdinEuro FROM AllgWaehrung WHERE AenderDatum = '2024-03-04' ORDER BY WID"),
              "1|1.1|0.9090909091 ; 2|1.2|0.8333 ; 3|161.0|0.0062");

    Waehrungsdaten daten(s->FAData);
    const QDate Maerz5(2024, 3, 5);
    test::waehrung(db, 1, "USD", "US-Dollar", "USA", {{Maerz5, 1.2, 0.8333}});
    EXPECT_THROW(daten.kursEinfuegen({1, "USD", "US-Dollar", "USA"}, Maerz5, {1.1, 0.9091}), xov::Fehler);
    EXPECT_THROW(daten.kursAendern(1, Maerz5, {1.1, 0.9091}, {1.3, 0.7692}), xov::Fehler);
    EXPECT_FALSE(daten.kursLoeschen(1, Maerz5, xov::waehrung::Kurs{1.1, 0.9091}));
    EXPECT_EQ(stand(db, "SELECT EuroinFremd, FremdinEuro FROM AllgWaehrung WHERE WID = 1 AND AenderDatum = '2024-03-05'"), "1.2|0.8333");
    if (GetParam() || test::serverLauf()) return;  // the tool on the server: XovDbServer; a lock: files only

    // The shared database held by another process while a rate is saved: the error report, the
    // typed rate stays, also when the dialog is closed; once free, leaving the field stores it.
    s.rasterKlicken(0);  // CHF, 04.03.2024
    {
        test::Sperre sperre(db.fa, xov::DbPasswort);
        ASSERT_TRUE(sperre.aktiv());
        s.tippen(s.eif(), "1,3", false);
        EXPECT_FALSE(s.d->escape());
        ASSERT_EQ(m.texte.size(), 3) << m.alle();
        EXPECT_TRUE(m.texte[2].startsWith("xovAllgError 3704:")) << m.alle();
        EXPECT_EQ(s.eif()->text(), "1,3");
        test::aktivieren(s.d->form.get());
    }
    ASSERT_TRUE(s.aktiv(s.eif()));
    s.weiter();
    EXPECT_EQ(stand(db, "SELECT EuroinFremd, FremdinEuro FROM AllgWaehrung WHERE WID = 2 AND AenderDatum = '2024-03-04'"), "1.3|0.7692");


    const char* zweiter = "INSERT INTO AllgWaehrung (WID, Waehrungscode, AenderDatum, EuroinFremd) VALUES (1, 'USD', '2024-03-05', 1.1)";
    db.faSql(zweiter);
    test::Lauf l = test::xovDb({"felder-ergaenzen", db.mand, db.fa});
    EXPECT_EQ(l.status, 1);
    EXPECT_TRUE((l.aus + l.fehler).contains("WID 1 am 05.03.2024: 2 Datensätze")) << l.fehler.toStdString();
    EXPECT_EQ(db.faWert("SELECT count(*) FROM AllgWaehrung WHERE AenderDatum = '2024-03-05'").toInt(), 2);
    db.faSql("DELETE FROM AllgWaehrung WHERE rowid = (SELECT max(rowid) FROM AllgWaehrung)");
    l = test::xovDb({"felder-ergaenzen", db.mand, db.fa});
    EXPECT_EQ(l.status, 0) << l.fehler.toStdString();
    EXPECT_EQ(test::fehlerVon([&] { db.faSql(zweiter); }).nummer(), xov::FehlerNr::DoppelterSchluessel);
}
INSTANTIATE_TEST_SUITE_P(MitUndOhneSchluessel, SelberTag, ::testing::Bool());

// B's rows 6 to 9 looked empty; A (the other workstation) created currencies there meanwhile. A
// name, code or country code typed there, and B's first rate in a row where B had typed a code
// and name before, are refused naming the stored currency; the row then shows it, and none of its
// records changes. Then the currency codes and the rates the other workstation changed.
TEST(WaehrungMehrplatz, FremdeZeilenCodesUndKurse) {
    test::Datenbanken db;
    test::waehrungen(db);
    auto abbrechen = QMessageBox::Cancel;
    test::Meldungen m([&](const QString& t) { return t.contains("JPY") ? abbrechen : t.contains("USX") ? QMessageBox::Yes : QMessageBox::No; });
    test::Seite s(db);
    const char* codes[] = {"PLN", "SEK", "NOK", "HUF"};
    for (int z = 6; z < 9; ++z) test::waehrung(db, z + 1, codes[z - 5], "Fremd", "FR", {{QDate(2024, 6, 1), 4.3, 0.2326}});
    s.tippen(s.lang(6), "Krone");
    s.tippen(s.kurz(7), "dkk");
    s.tippen(s.land(8), "dk");
    s.tippen(s.lang(5), "Dänische Krone");
    s.tippen(s.kurz(5), "dkk");
    test::waehrung(db, 6, "PLN", "Fremd", "FR", {{QDate(2024, 6, 1), 4.3, 0.2326}});
    s.neuerKurs("03.06.2024");
    s.tippen(s.eif(), "7,46");
    s.weiter();
    ASSERT_EQ(m.texte.size(), 4) << m.alle();
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(m.texte[i].contains(QString("Ihre Eingabe: \"%1\"").arg(QStringList{"Krone", "DKK", "DK"}[i]))) << m.alle();
    EXPECT_TRUE(m.texte[3].contains("Gespeichert: \"PLN\" (Fremd), Ihre Eingabe: \"DKK\"")) << m.alle();
    for (int z = 5; z < 9; ++z) {
        EXPECT_EQ(stand(db, "SELECT Waehrungscode, WaehrungscodeBezeichnung, Laenderkennzeichen, EuroinFremd FROM AllgWaehrung WHERE WID = ?",
                        {z + 1}), QString("'%1'|'Fremd'|'FR'|4.3").arg(codes[z - 5]));
        EXPECT_EQ(s.zeile(z), QStringList({"Fremd", codes[z - 5], "FR"}));
    }
    // A recodes USD as USN and CHF as CHN; B, who read USD and CHF, types USX and CHX: asked; Yes
    // (USX) stores B's code in every record, No keeps A's and shows it.
    andererArbeitsplatz(db, "UPDATE AllgWaehrung SET Waehrungscode = CASE WID WHEN 1 THEN 'USN' ELSE 'CHN' END WHERE WID < 3");
    s.tippen(s.kurz(0), "usx");
    s.tippen(s.kurz(1), "chx");
    ASSERT_EQ(m.texte.size(), 6) << m.alle();
    EXPECT_TRUE(m.texte[4].startsWith("Der Währungscode der Währung \"USD\" in Zeile 1 wurde inzwischen")) << m.alle();
    EXPECT_TRUE(m.texte[4].contains("Der Währungscode: anderer Arbeitsplatz \"USN\", Ihre Eingabe \"USX\"")) << m.alle();
    EXPECT_EQ(stand(db, "SELECT DISTINCT WID, Waehrungscode FROM AllgWaehrung WHERE WID < 3 ORDER BY WID"), "1|'USX' ; 2|'CHN'");
    EXPECT_EQ(s.kurz(0)->text() + s.kurz(1)->text(), "USXCHN");
    // The same rate changed here and at the other workstation, in three currencies answered Yes,
    // No and Cancel: the question names both rates; Yes stores the typed rate, No shows the
    // other's, Cancel stores nothing and keeps the typed rate, and closing the dialog then asks
    // again (Yes).
    m.texte.clear();
    for (int z = 0; z < 3; ++z) {
        test::Seite::klick(s.land(z));
        s.rasterKlicken(z == 2 ? 1 : 0);  // 01.03.2024
        andererArbeitsplatz(db, "UPDATE AllgWaehrung SET EuroinFremd = 1.09, FremdinEuro = 0.9174 "
                                "WHERE WID = ? AND AenderDatum = '2024-03-01'", {z + 1});
        s.tippen(s.eif(), "1,1");
        ASSERT_EQ(m.texte.size(), z + 1) << m.alle();
        EXPECT_TRUE(m.texte[z].contains("EuroinFremd: anderer Arbeitsplatz 1,09, Ihre Eingabe 1,1")) << m.alle();
        EXPECT_EQ(s.eif()->text(), z == 1 ? "1,09" : "1,1");
    }
    const char* amErsten = "SELECT WID, EuroinFremd, FremdinEuro FROM AllgWaehrung WHERE AenderDatum = '2024-03-01' ORDER BY WID";
    EXPECT_EQ(stand(db, amErsten), "1|1.1|0.9091 ; 2|1.09|0.9174 ; 3|1.09|0.9174");
    EXPECT_TRUE(s.aktiv(s.eif()));
    abbrechen = QMessageBox::Yes;
    EXPECT_TRUE(s.d->escape());
    EXPECT_EQ(m.texte.size(), 4);
    EXPECT_EQ(stand(db, amErsten), "1|1.1|0.9091 ; 2|1.09|0.9174 ; 3|1.1|0.9091");
}
