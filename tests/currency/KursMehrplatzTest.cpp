// Rates on two workstations: the currency page holds a rate while a second connection (the other
// workstation) changes it or enters one for the same day. Saving never overwrites the other's
// rate in silence, never stores two rates of one day, and keeps the typed rate when the database
// cannot be written.

#include "currency/WaehrungsseiteHilfen.h"
#include "currency/Waehrungsdaten.h"
#include "platform/Datenbank.h"
#include "platform/Datenquelle.h"
#include "platform/Fehler.h"

#include <QTest>
#include <gtest/gtest.h>

using test::Seite;
using test::waehrung;

namespace {

const QDate Maerz1(2024, 3, 1), Maerz4(2024, 3, 4);

void usd(test::Datenbanken& db) {
    db.faSql("DELETE FROM AllgWaehrung");
    waehrung(db, 1, "USD", "US-Dollar", "USA", {{QDate(2024, 1, 2), 1.1, 0.9091}, {Maerz1, 1.085, 0.9217}});
}

// The other workstation: a connection of its own to the shared database.
void andererArbeitsplatz(const test::Datenbanken& db, const QString& sql, const QVariantList& p) {
    xov::verbindungOeffnen(db.fa, QStringLiteral("lagerbestand4"))->ausfuehren(sql, p);
}

// The rates of USD stored for the day, one entry "EuroinFremd/FremdinEuro" per record.
QStringList kurseAm(const test::Datenbanken& db, const QDate& tag) {
    const auto e = xov::verbindungOeffnen(db.fa, QStringLiteral("lagerbestand4"))
                       ->abfragen("SELECT EuroinFremd, FremdinEuro FROM AllgWaehrung WHERE WID = 1 AND AenderDatum = ?", {tag});
    QStringList k;
    for (const auto& z : e.zeilen)
        k << QString::number(z.at(0).toDouble(), 'g', 15) + '/' + QString::number(z.at(1).toDouble(), 'g', 15);
    return k;
}

// A shared table of an older version: no key on currency and day.
void ohneSchluessel(const test::Datenbanken& db) {
    db.faSql("DROP TABLE AllgWaehrung");
    db.faSql("CREATE TABLE AllgWaehrung (WID INTEGER NOT NULL, Waehrungscode TEXT, WaehrungscodeBezeichnung TEXT, "
             "Laenderkennzeichen TEXT, AenderDatum DATE NOT NULL, EuroinFremd DOUBLE PRECISION, FremdinEuro DOUBLE PRECISION)");
}

QString alle(const test::Meldungen& m) { return m.texte.join(QStringLiteral(" | ")); }

}  // namespace

// The other workstation changed the rate the frame shows; the user types another one.
class GeaenderterKurs : public ::testing::TestWithParam<bool> {};

TEST_P(GeaenderterKurs, FrageNenntBeideKurse) {
    const bool eigene = GetParam();
    test::Datenbanken db;
    usd(db);
    test::Meldungen m([&](const QString&) { return eigene ? QMessageBox::Yes : QMessageBox::No; });
    Seite s(db);
    s.rasterKlicken(0);
    ASSERT_EQ(s.datum()->text(), "01.03.2024");
    ASSERT_EQ(s.eif()->text(), "1,085");
    andererArbeitsplatz(db, "UPDATE AllgWaehrung SET EuroinFremd = ?, FremdinEuro = ? WHERE WID = ? AND AenderDatum = ?",
                        {1.09, 0.9174, 1, Maerz1});
    s.tippen(s.eif(), "1,1");
    ASSERT_EQ(m.texte.size(), 1) << alle(m).toStdString();
    const QString frage = m.texte.first();
    EXPECT_TRUE(frage.contains("Der Kurs für \"USD\" vom 01.03.2024 wurde inzwischen an einem anderen Arbeitsplatz geändert."))
        << frage.toStdString();
    EXPECT_TRUE(frage.contains("EuroinFremd: anderer Arbeitsplatz 1,09, Ihre Eingabe 1,1")) << frage.toStdString();
    EXPECT_TRUE(frage.contains("FremdinEuro: anderer Arbeitsplatz 0,9174, Ihre Eingabe 0,9091")) << frage.toStdString();
    EXPECT_EQ(kurseAm(db, Maerz1), QStringList(eigene ? "1.1/0.9091" : "1.09/0.9174"));
    if (!eigene) {
        // The frame shows the rate that stays; leaving it stores nothing else.
        EXPECT_EQ(s.eif()->text(), "1,09");
        EXPECT_EQ(s.fie()->text(), "0,9174");
        s.tippen(s.fie(), "0,9174");
        EXPECT_EQ(kurseAm(db, Maerz1), QStringList("1.09/0.9174"));
    }
    EXPECT_EQ(m.texte.size(), 1) << alle(m).toStdString();
}
INSTANTIATE_TEST_SUITE_P(EigenerOderFremder, GeaenderterKurs, ::testing::Values(true, false));

// Cancel stores nothing and keeps the typed rate; closing the dialog asks again.
TEST(KursMehrplatz, AbbrechenBehaeltDenKursUndSchliessenFragtWieder) {
    test::Datenbanken db;
    usd(db);
    QMessageBox::StandardButton antwort = QMessageBox::Cancel;
    test::Meldungen m([&](const QString&) { return antwort; });
    Seite s(db);
    s.rasterKlicken(0);
    andererArbeitsplatz(db, "UPDATE AllgWaehrung SET EuroinFremd = ?, FremdinEuro = ? WHERE WID = ? AND AenderDatum = ?",
                        {1.09, 0.9174, 1, Maerz1});
    s.tippen(s.eif(), "1,1");
    ASSERT_EQ(m.texte.size(), 1) << alle(m).toStdString();
    EXPECT_TRUE(test::fokusAuf(s.eif()));
    EXPECT_EQ(s.eif()->text(), "1,1");
    EXPECT_EQ(kurseAm(db, Maerz1), QStringList("1.09/0.9174"));
    test::aktivieren(s.d->form.get());
    antwort = QMessageBox::Yes;
    EXPECT_TRUE(s.d->escape());
    ASSERT_EQ(m.texte.size(), 2) << alle(m).toStdString();
    EXPECT_TRUE(m.texte.at(1).contains("EuroinFremd: anderer Arbeitsplatz 1,09, Ihre Eingabe 1,1")) << m.texte.at(1).toStdString();
    EXPECT_EQ(kurseAm(db, Maerz1), QStringList("1.1/0.9091"));
}

// Both workstations enter a rate for the same currency and day, on a database with the key on
// currency and day and on an older one without it: one record, and the user says whose rate stays.
class SelberTag : public ::testing::TestWithParam<std::tuple<bool, bool>> {};

TEST_P(SelberTag, NieZweiKurseEinesTages) {
    const auto [mitSchluessel, eigene] = GetParam();
    test::Datenbanken db;
    if (!mitSchluessel) ohneSchluessel(db);
    usd(db);
    test::Meldungen m([&](const QString&) { return eigene ? QMessageBox::Yes : QMessageBox::No; });
    Seite s(db);
    s.neuerKurs("04.03.2024");
    waehrung(db, 1, "USD", "US-Dollar", "USA", {{Maerz4, 1.2, 0.8333}});  // meanwhile at the other workstation
    s.tippen(s.eif(), "1,1");
    ASSERT_TRUE(test::fokusAuf(s.fie()));
    s.weiter();
    ASSERT_EQ(m.texte.size(), 1) << alle(m).toStdString();
    const QString frage = m.texte.first();
    EXPECT_TRUE(frage.contains("Für \"USD\" wurde am 04.03.2024 inzwischen an einem anderen Arbeitsplatz ein Kurs erfasst."))
        << frage.toStdString();
    EXPECT_TRUE(frage.contains("EuroinFremd: anderer Arbeitsplatz 1,2, Ihre Eingabe 1,1")) << frage.toStdString();
    EXPECT_EQ(kurseAm(db, Maerz4), QStringList(eigene ? "1.1/0.9090909091" : "1.2/0.8333"));
    if (!eigene) {
        EXPECT_EQ(s.eif()->text(), "1,2");
    }
}
INSTANTIATE_TEST_SUITE_P(MitUndOhneSchluessel, SelberTag,
                         ::testing::Combine(::testing::Bool(), ::testing::Bool()));

// Between looking the day up and inserting, the other workstation was faster: the insert is
// refused as a duplicate also where the table has no key on currency and day.
TEST(KursMehrplatz, EinfuegenPrueftDenTagInDerSchreibtransaktion) {
    for (const bool mitSchluessel : {true, false}) {
        test::Datenbanken db;
        if (!mitSchluessel) ohneSchluessel(db);
        usd(db);
        xov::Datenquelle quelle(QStringLiteral("FAData"));
        quelle.setDatabaseName(db.fa);
        quelle.setConnect(QStringLiteral("Access 2000;pwd=lagerbestand4;"));
        Waehrungsdaten daten(&quelle);
        EXPECT_FALSE(daten.kursAm(1, Maerz4));
        waehrung(db, 1, "USD", "US-Dollar", "USA", {{Maerz4, 1.2, 0.8333}});
        try {
            daten.kursEinfuegen({1, "USD", "US-Dollar", "USA"}, Maerz4, {1.1, 0.9091});
            ADD_FAILURE() << "zweiter Kurs des Tages angenommen";
        } catch (const xov::Fehler& f) {
            EXPECT_EQ(f.nummer(), xov::FehlerNr::DoppelterSchluessel) << f.what();
        }
        EXPECT_EQ(kurseAm(db, Maerz4), QStringList("1.2/0.8333"));
    }
}

// The shared database held by another process while a rate is saved: the error report, the
// typed rate stays in the frame, also when the dialog is closed then; once the database is free,
// leaving the field again stores it.
TEST(KursMehrplatz, GesperrteDatenbankBehaeltDenGetipptenKurs) {
    XOV_NUR_DATEI("eine Datei, die ein zweiter Prozess exklusiv hält");
    test::Datenbanken db;
    usd(db);
    test::Meldungen m;
    Seite s(db);
    s.rasterKlicken(0);
    {
        test::Sperre sperre(db.fa, QStringLiteral("lagerbestand4"));
        ASSERT_TRUE(sperre.aktiv());
        s.tippen(s.eif(), "1,1", false);
        EXPECT_FALSE(s.d->escape());
        ASSERT_EQ(m.texte.size(), 1) << alle(m).toStdString();
        EXPECT_TRUE(m.texte.first().startsWith("xovAllgError 3704:")) << m.texte.first().toStdString();
        EXPECT_EQ(s.eif()->text(), "1,1");
        test::aktivieren(s.d->form.get());
    }
    EXPECT_EQ(kurseAm(db, Maerz1), QStringList("1.085/0.9217"));
    QTest::mouseClick(s.eif(), Qt::LeftButton);
    ASSERT_TRUE(test::fokusAuf(s.eif()));
    s.weiter();
    EXPECT_EQ(kurseAm(db, Maerz1), QStringList("1.1/0.9091"));
    EXPECT_EQ(m.texte.size(), 1) << alle(m).toStdString();
}

// The name of a currency another workstation changed since this dialog showed it: asked, never
// overwritten in silence; Nein takes the other's name into the field.
TEST(KursMehrplatz, BezeichnungEinesAnderenArbeitsplatzesWirdNichtStillUeberschrieben) {
    for (const bool eigene : {true, false}) {
        test::Datenbanken db;
        usd(db);
        test::Meldungen m([&](const QString&) { return eigene ? QMessageBox::Yes : QMessageBox::No; });
        Seite s(db);
        andererArbeitsplatz(db, "UPDATE AllgWaehrung SET WaehrungscodeBezeichnung = ? WHERE WID = 1", {QStringLiteral("Dollar A")});
        s.tippen(s.lang(0), "Dollar B");
        ASSERT_EQ(m.texte.size(), 1) << m.texte.join("|").toStdString();
        EXPECT_TRUE(m.texte.first().contains(QStringLiteral("anderer Arbeitsplatz \"Dollar A\", Ihre Eingabe \"Dollar B\"")))
            << m.texte.first().toStdString();
        const QString erwartet = eigene ? QStringLiteral("Dollar B") : QStringLiteral("Dollar A");
        EXPECT_EQ(test::gespeichert(db.fa, "SELECT DISTINCT WaehrungscodeBezeichnung FROM AllgWaehrung WHERE WID = 1"), "'" + erwartet + "'");
        EXPECT_EQ(s.lang(0)->text(), erwartet);
    }
}
