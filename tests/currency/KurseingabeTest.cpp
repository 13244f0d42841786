// A new user's walk through the currency page and the dialog: rates typed as bookkeepers type
// them, half-typed entries when the user goes elsewhere, and closing without changes.

#include "currency/WaehrungsseiteHilfen.h"
#include "currency/Waehrungsseite.h"
#include "form/InputFeld.h"
#include "form/TabStrip.h"
#include "platform/Datenbank.h"

#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <gtest/gtest.h>

using test::Seite;
using test::waehrung;

namespace {

QString alle(test::Datenbanken& db) {
    return test::gespeichert(db.fa, "SELECT WID, Waehrungscode, AenderDatum, EuroinFremd, FremdinEuro FROM AllgWaehrung "
                                    "ORDER BY WID, AenderDatum");
}

void zweiWaehrungen(test::Datenbanken& db) {
    db.faSql("DELETE FROM AllgWaehrung");
    waehrung(db, 1, "USD", "US-Dollar", "USA", {{QDate(2024, 1, 2), 1.1, 0.9091}, {QDate(2024, 3, 1), 1.085, 0.9217}});
    waehrung(db, 2, "CHF", "Schweizer Franken", "CH", {{QDate(2024, 3, 1), 0.942, 1.0616}});
}

}  // namespace


// ---- typing rates ----

// A point typed as the decimal separator (as on many numeric keypads) must not turn 1.5 into 15.
TEST(Kurseingabe, PunktImKursMachtKeinFachesDaraus) {
    test::Datenbanken db;
    zweiWaehrungen(db);
    test::Meldungen m;
    Seite s(db);
    s.neuerKurs("04.03.2024");
    s.tippen(s.eif(), "1.5");
    s.weiter();
    EXPECT_EQ(db.faWert("SELECT count(*) FROM AllgWaehrung WHERE EuroinFremd = 15").toInt(), 0) << alle(db).toStdString();
    EXPECT_EQ(s.eif()->text(), "1,5");
    EXPECT_EQ(test::gespeichert(db.fa, "SELECT EuroinFremd FROM AllgWaehrung WHERE AenderDatum = '2024-03-04'"), "1.5");
    EXPECT_TRUE(m.texte.isEmpty()) << m.texte.join('|').toStdString();
}

// "Neuer Kurs" on a day that has a rate: the field shows the stored rate selected, so that what the
// user types replaces it instead of being appended to it (1,0633 and 1,2 must never become 1,063312).
TEST(Kurseingabe, NeuerKursAufVorhandenemTagErsetztDenKursStattAnzuhaengen) {
    test::Datenbanken db;
    zweiWaehrungen(db);
    test::Meldungen m;
    Seite s(db);
    s.neuerKurs("01.03.2024");  // leaves the date with Tab, into EuroinFremd
    ASSERT_TRUE(test::fokusAuf(s.eif()));
    EXPECT_EQ(s.eif()->text(), "1,085");
    QTest::keyClicks(s.eif(), "1,2");
    EXPECT_EQ(s.eif()->text(), "1,2");
    s.weiter();
    EXPECT_EQ(test::gespeichert(db.fa, "SELECT EuroinFremd FROM AllgWaehrung WHERE WID = 1 AND AenderDatum = '2024-03-01'"), "1.2")
        << m.texte.join("|").toStdString();
}

// A rate typed and then "Beenden" clicked with the mouse is stored as Escape stores it.
TEST(Kurseingabe, BeendenPerMausSpeichertDenGetipptenKurs) {
    test::Datenbanken db;
    zweiWaehrungen(db);
    test::Meldungen m;
    Seite s(db);
    s.neuerKurs("04.03.2024");
    s.tippen(s.eif(), "1,6", false);
    QTest::mouseClick(s->cmdBeenden, Qt::LeftButton);
    s.ruhe();
    if (s->isVisible()) QTest::mouseClick(s->cmdBeenden, Qt::LeftButton);  // a first click may only leave the field
    s.ruhe();
    EXPECT_FALSE(s->isVisible());
    EXPECT_EQ(test::gespeichert(db.fa, "SELECT EuroinFremd, FremdinEuro FROM AllgWaehrung WHERE WID = 1 AND AenderDatum = '2024-03-04'"),
              "1.6|0.625") << m.texte.join("|").toStdString();
}

// A rate typed and then another currency row clicked is stored for its own currency.
TEST(Kurseingabe, KlickInAndereWaehrungSpeichertDenGetipptenKurs) {
    test::Datenbanken db;
    zweiWaehrungen(db);
    test::Meldungen m;
    Seite s(db);
    s.neuerKurs("04.03.2024");
    s.tippen(s.eif(), "1,2", false);
    QTest::mouseClick(s.lang(1), Qt::LeftButton);
    s.ruhe();
    EXPECT_EQ(test::gespeichert(db.fa, "SELECT EuroinFremd, FremdinEuro FROM AllgWaehrung WHERE WID = 1 AND AenderDatum = '2024-03-04'"),
              "1.2|0.8333333333") << m.texte.join("|").toStdString();
}

// Tab leaves the rate history instead of walking its cells (and changing the day shown) forever.
TEST(Kurseingabe, TabVerlaesstDenKursverlauf) {
    test::Datenbanken db;
    zweiWaehrungen(db);
    Seite s(db);
    s.rasterKlicken(0);
    ASSERT_TRUE(test::fokusAuf(s.raster()));
    QTest::keyClick(s.raster(), Qt::Key_Tab);
    s.ruhe();
    EXPECT_NE(QApplication::focusWidget(), s.raster());
}

// Tabbing through a stored rate without typing changes nothing in the database.
TEST(Kurseingabe, DurchtabbenAendertDenGespeichertenKursNicht) {
    test::Datenbanken db;
    zweiWaehrungen(db);
    test::Meldungen m;
    Seite s(db);
    const QString vorher = alle(db);
    s.rasterKlicken(0);  // 01.03.2024: 1,085 and 0,9217
    QTest::mouseClick(s.eif(), Qt::LeftButton);
    Seite::ruhe();
    s.weiter();
    s.weiter();
    EXPECT_EQ(alle(db), vorher);
    EXPECT_EQ(s.fie()->text(), "0,9217");
    EXPECT_TRUE(m.texte.isEmpty()) << m.texte.join("|").toStdString();
}

// ---- leaving a half-typed rate ----

// Escape, "Beenden", the close box and another page after a typed rate: AusgangTest.cpp.

// A rate of a stored date changed and left: the record holds the reciprocal the field shows (10
// places), whether the user goes on to FremdinEuro or clicks elsewhere.
TEST(Kurseingabe, GeaenderterKursSpeichertDenKehrwertWieErAngezeigtWird) {
    test::Datenbanken db;
    zweiWaehrungen(db);
    test::Meldungen m;
    Seite s(db);
    s.rasterKlicken(0);  // 01.03.2024: 1,085 and 0,9217
    s.tippen(s.eif(), "3");
    ASSERT_TRUE(test::fokusAuf(s.fie()));
    EXPECT_EQ(s.fie()->text(), "0,3333333333");
    const QString usd0103 = "SELECT EuroinFremd, FremdinEuro FROM AllgWaehrung WHERE WID = 1 AND AenderDatum = '2024-03-01'";
    EXPECT_EQ(test::gespeichert(db.fa, usd0103), "3.0|0.3333333333");
    EXPECT_EQ(s.rasterZeile(0), QStringList({"01.03.2024", "3", "0,3333333333"}));
    // Typed, then another currency clicked: no later leave of FremdinEuro stores it.
    s.tippen(s.eif(), "1,2", false);
    QTest::mouseClick(s.lang(1), Qt::LeftButton);
    QTest::qWait(200);
    EXPECT_EQ(test::gespeichert(db.fa, usd0103), "1.2|0.8333333333");
    // The Enter key's conversion keeps its four places.
    QTest::mouseClick(s.lang(0), Qt::LeftButton);
    QTest::qWait(200);
    s.tippen(s.eif(), "3", false);
    QTest::keyClick(s.eif(), Qt::Key_Return);
    Seite::ruhe();
    s.weiter();
    EXPECT_EQ(test::gespeichert(db.fa, usd0103), "3.0|0.3333");
    // Typed, then Escape closes the dialog.
    s.rasterKlicken(0);
    s.tippen(s.eif(), "6", false);
    EXPECT_TRUE(s.d->escape());
    EXPECT_EQ(test::gespeichert(db.fa, usd0103), "6.0|0.1666666667");
    EXPECT_TRUE(m.texte.isEmpty()) << m.texte.join("|").toStdString();
}

// A rate half typed, then a field of another currency clicked: the focus is where the user
// clicked, with or without a history in that row; the typed rate is stored for its own currency.
TEST(Kurseingabe, KlickInEineAndereZeileLaesstDenFokusDort) {
    test::Datenbanken db;
    zweiWaehrungen(db);
    test::Meldungen m;
    Seite s(db);
    s.rasterKlicken(0);
    s.tippen(s.eif(), "1,2", false);
    QTest::mouseClick(s.lang(1), Qt::LeftButton);
    QTest::qWait(200);
    EXPECT_TRUE(test::fokusAuf(s.lang(1))) << QApplication::focusWidget()->objectName().toStdString();
    EXPECT_EQ(s.datum()->text(), "01.03.2024");
    EXPECT_EQ(s.eif()->text(), "0,942");  // CHF's rate
    EXPECT_EQ(db.faWert("SELECT EuroinFremd FROM AllgWaehrung WHERE WID = 1 AND AenderDatum = '2024-03-01'").toDouble(), 1.2);
    EXPECT_EQ(db.faWert("SELECT EuroinFremd || '|' || FremdinEuro FROM AllgWaehrung WHERE WID = 2").toString(), "0.942|1.0616");
    // Into the code field of a row without a currency yet.
    s.rasterKlicken(0);
    s.tippen(s.eif(), "0,95", false);
    QTest::mouseClick(s.kurz(4), Qt::LeftButton);
    QTest::qWait(200);
    EXPECT_TRUE(test::fokusAuf(s.kurz(4))) << QApplication::focusWidget()->objectName().toStdString();
    EXPECT_EQ(s.eif()->text(), "");
    EXPECT_EQ(db.faWert("SELECT EuroinFremd FROM AllgWaehrung WHERE WID = 2 AND AenderDatum = '2024-03-01'").toDouble(), 0.95);
    EXPECT_TRUE(m.texte.isEmpty()) << m.texte.join("|").toStdString();
}

// ---- restricted mode ----

// Names and codes are locked, the country codes and rates are not: entering the first
// currency's row shows its history as for every other row.
TEST(Kurseingabe, EingeschraenktZeigtAuchDenVerlaufDerErstenWaehrung) {
    test::Datenbanken db;
    zweiWaehrungen(db);
    test::Meldungen m;
    Seite s(db, 20);
    QTest::mouseClick(s.land(0), Qt::LeftButton);
    QTest::qWait(200);
    ASSERT_TRUE(s.raster()->isVisible());
    ASSERT_EQ(s.raster()->model()->rowCount(), 2);
    EXPECT_EQ(s.rasterZeile(0), QStringList({"01.03.2024", "1,085", "0,9217"}));
    EXPECT_EQ(s.datum()->text(), "01.03.2024");
    EXPECT_EQ(s.label("lblFremd"), "1 USD =\nxxx EUR");
    QTest::mouseClick(s.land(1), Qt::LeftButton);
    QTest::qWait(200);
    EXPECT_EQ(s.rasterZeile(0), QStringList({"01.03.2024", "0,942", "1,0616"}));
    QTest::mouseClick(s.land(0), Qt::LeftButton);
    QTest::qWait(200);
    EXPECT_EQ(s.raster()->model()->rowCount(), 2);
    EXPECT_TRUE(m.texte.isEmpty()) << m.texte.join("|").toStdString();
}

// ---- what looked fine ----

TEST(Kurseingabe, GespeicherteKurseSindZahlenMitIsoDatum) {
    test::Datenbanken db;
    zweiWaehrungen(db);
    test::Meldungen m;
    Seite s(db);
    const QStringList mandVorher = test::zeile(db);
    s.neuerKurs("4.3.24");
    s.tippen(s.eif(), "1,0875");
    s.weiter();
    EXPECT_EQ(test::gespeichert(db.fa, "SELECT AenderDatum, EuroinFremd, FremdinEuro FROM AllgWaehrung WHERE WID = 1 AND "
                                       "AenderDatum = '2024-03-04'"),
              "'2024-03-04'|1.0875|0.9195402299");
    EXPECT_EQ(db.faWert("SELECT count(*) FROM AllgWaehrung").toInt(), 4);
    EXPECT_TRUE(s.d->escape());
    EXPECT_EQ(test::unterschiede(mandVorher, test::zeile(db)), QStringList());
    EXPECT_TRUE(m.texte.isEmpty()) << m.texte.join("|").toStdString();
}

TEST(Kurseingabe, OeffnenUndSchliessenAendertAufKeinerSeiteEtwas) {
    for (int seite = 1; seite <= 8; ++seite) {
        test::Datenbanken db;
        const QStringList vorher = test::zeile(db);
        const QString waehrungen = alle(db);
        test::Meldungen m;
        {
            QVariantList i = test::info(db);
            i[61] = 1;
            test::Dialog d(i);
            test::tabKlicken(d, seite);
            QTest::qWait(100);
            ASSERT_EQ(d->TabStrip1->aktuelleSeite(), seite);
            EXPECT_TRUE(d.escape()) << seite;
        }
        EXPECT_EQ(test::unterschiede(vorher, test::zeile(db)), QStringList()) << seite;
        EXPECT_EQ(alle(db), waehrungen) << seite;
        EXPECT_TRUE(m.texte.isEmpty()) << seite << ": " << m.texte.join("|").toStdString();
    }
}

TEST(Kurseingabe, LangerVerlaufBleibtNachDemAendernTieferZeileStehen) {
    test::Datenbanken db;
    db.faSql("DELETE FROM AllgWaehrung");
    {
        auto v = xov::verbindungOeffnen(db.fa, "lagerbestand4");
        xov::Transaktion t(*v);
        for (int i = 0; i < 2000; ++i)
            v->ausfuehren("INSERT INTO AllgWaehrung (WID, Waehrungscode, WaehrungscodeBezeichnung, Laenderkennzeichen, AenderDatum, "
                          "EuroinFremd, FremdinEuro) VALUES (1, 'JPY', 'Yen', 'J', ?, ?, 0.0062)",
                          {QDate(2020, 1, 1).addDays(i), 160.0 + i / 1000.0});
        t.bestaetigen();
    }
    test::Meldungen m;
    Seite s(db);
    for (int i = 0; i < 40 && s.raster()->model()->canFetchMore({}); ++i) {
        s.raster()->scrollToBottom();
        Seite::ruhe();
    }
    ASSERT_EQ(s.raster()->model()->rowCount(), 2000);
    s.raster()->scrollTo(s.raster()->model()->index(1500, 0));
    Seite::ruhe();
    s.rasterKlicken(1500);
    EXPECT_EQ(s.datum()->text(), "14.05.2021");
    s.tippen(s.eif(), "170", false);
    s.tippen(s.fie(), "0,0059");
    EXPECT_EQ(s.raster()->currentIndex().row(), 1500);
    EXPECT_EQ(s.rasterZeile(1500), QStringList({"14.05.2021", "170", "0,0059"}));
    EXPECT_EQ(test::gespeichert(db.fa, "SELECT EuroinFremd, FremdinEuro FROM AllgWaehrung WHERE AenderDatum = '2021-05-14'"), "170.0|0.0059");
    EXPECT_TRUE(m.texte.isEmpty()) << m.texte.join("|").toStdString();
}

// A pair with one rate 0 is no rate: not for a new date, and not when the reciprocal of a huge
// rate rounds to 0 at 10 places.
TEST(Kurseingabe, EinKursVonNullWirdNieGespeichert) {
    test::Datenbanken db;
    zweiWaehrungen(db);
    test::Meldungen m;
    Seite s(db);
    const QString vorher = alle(db);
    s.neuerKurs(QStringLiteral("04.03.2024"));
    s.tippen(s.eif(), QStringLiteral("99999999999999999999"));
    s.weiter();
    EXPECT_EQ(alle(db), vorher);
    s.neuerKurs(QStringLiteral("05.03.2024"));
    s.tippen(s.eif(), QStringLiteral("0"));
    s.tippen(s.fie(), QStringLiteral("0,5"));
    EXPECT_EQ(alle(db), vorher);
    EXPECT_TRUE(m.texte.isEmpty()) << m.texte.join('|').toStdString();
}

