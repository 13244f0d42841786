// The currency page in the real dialog on a real shared database: rows, codes, rates, the
// reciprocal and the history, driven by mouse and keyboard; message boxes answered for real.

#include "currency/WaehrungsseiteHilfen.h"
#include "currency/Waehrungsseite.h"
#include "form/InputFeld.h"
#include "kurse/Kurs.h"
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

const QString Anf(QChar(34));

int anzahl(test::Datenbanken& db, const QString& wo) { return db.faWert("SELECT count(*) FROM AllgWaehrung WHERE " + wo).toInt(); }

// USD in row 0 (three rates), CHF in row 1, GBP in row 2 with five rates.
void dreiWaehrungen(test::Datenbanken& db) {
    db.faSql("DELETE FROM AllgWaehrung");
    waehrung(db, 1, "USD", "US-Dollar", "USA",
             {{QDate(2024, 1, 2), 1.1, 0.9091}, {QDate(2024, 3, 1), 1.085, 0.9217}, {QDate(2024, 2, 1), 1.08, 0.9259}});
    waehrung(db, 2, "CHF", "Schweizer Franken", "CH", {{QDate(2024, 3, 1), 0.942, 1.0616}});
    waehrung(db, 3, "GBP", "Britisches Pfund", "GB",
             {{QDate(2024, 1, 1), 0.85, 1.1765}, {QDate(2024, 1, 2), 0.86, 1.1628}, {QDate(2024, 1, 3), 0.87, 1.1494},
              {QDate(2024, 1, 4), 0.88, 1.1364}, {QDate(2024, 1, 5), 0.89, 1.1236}});
}

}  // namespace

// ---- the rows ----

TEST(Waehrungszeilen, LeereTabelleZeigtLeereZeilenUndSpeichertEinenCodeNicht) {
    test::Datenbanken db;
    db.faSql("DELETE FROM AllgWaehrung");
    test::Meldungen m;
    Seite s(db);
    for (int r = 0; r < 20; ++r) EXPECT_EQ(s.zeile(r), QStringList({"", "", ""})) << r;
    EXPECT_FALSE(s.raster()->isVisible());
    EXPECT_TRUE(s.datum()->isVisible());
    s.tippen(s.kurz(0), "chf");
    EXPECT_EQ(s.kurz(0)->text(), "CHF");
    EXPECT_EQ(anzahl(db, "1=1"), 0);
    EXPECT_TRUE(m.texte.isEmpty());
}

TEST(Waehrungszeilen, JedeWaehrungEinmalAuchBeimZweitenAufruf) {
    test::Datenbanken db;
    dreiWaehrungen(db);
    test::Meldungen m;
    Seite s(db);
    EXPECT_EQ(s.zeile(0), QStringList({"US-Dollar", "USD", "USA"}));
    EXPECT_EQ(s.zeile(1), QStringList({"Schweizer Franken", "CHF", "CH"}));
    EXPECT_EQ(s.zeile(2), QStringList({"Britisches Pfund", "GBP", "GB"}));
    for (int r = 3; r < 20; ++r) EXPECT_EQ(s.zeile(r), QStringList({"", "", ""})) << r;
    // The page selected again, from page 1.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_PageDown, Qt::ControlModifier);
    Seite::ruhe();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_PageUp, Qt::ControlModifier);
    Seite::ruhe();
    ASSERT_EQ(s->TabStrip1->aktuelleSeite(), 8);
    for (int r = 3; r < 20; ++r) EXPECT_EQ(s.zeile(r), QStringList({"", "", ""})) << r;
    EXPECT_EQ(s.zeile(2), QStringList({"Britisches Pfund", "GBP", "GB"}));
    // The rate labels name the row's code on two lines.
    EXPECT_EQ(s.label("lblEuro"), "1 EUR = \nxxx USD");
    EXPECT_EQ(s.label("lblFremd"), "1 USD =\nxxx EUR");
    EXPECT_TRUE(m.texte.isEmpty());
}

TEST(Waehrungszeilen, NameCodeUndLandGehenInJedenDatensatz) {
    test::Datenbanken db;
    dreiWaehrungen(db);
    test::Meldungen m;
    Seite s(db);
    s.tippen(s.lang(2), "Pfund Sterling");
    EXPECT_EQ(anzahl(db, "WID = 3 AND WaehrungscodeBezeichnung = 'Pfund Sterling'"), 5);
    EXPECT_EQ(anzahl(db, "WaehrungscodeBezeichnung = 'US-Dollar'"), 3);  // other currencies untouched
    s.tippen(s.land(2), "uk");
    EXPECT_EQ(s.land(2)->text(), "UK");
    EXPECT_EQ(anzahl(db, "WID = 3 AND Laenderkennzeichen = 'UK'"), 5);
    s.tippen(s.kurz(2), "gbx");
    EXPECT_EQ(s.kurz(2)->text(), "GBX");
    EXPECT_EQ(anzahl(db, "WID = 3 AND Waehrungscode = 'GBX'"), 5);
    EXPECT_EQ(s.label("lblFremd"), "1 GBX =\nxxx EUR");
    // Lower case over the stored code: nothing stored, the field keeps the text as typed.
    s.tippen(s.kurz(0), "usd");
    EXPECT_EQ(s.kurz(0)->text(), "usd");
    EXPECT_EQ(anzahl(db, "WID = 1 AND Waehrungscode = 'USD'"), 3);
    EXPECT_TRUE(m.texte.isEmpty()) << m.texte.join("|").toStdString();
}

TEST(Waehrungszeilen, DoppelterCodeWirdAbgewiesenEinMusterNie) {
    test::Datenbanken db;
    dreiWaehrungen(db);
    db.faSql("UPDATE AllgWaehrung SET Waehrungscode = 'USD' WHERE WID = 2");
    db.faSql("UPDATE AllgWaehrung SET Waehrungscode = 'EUX' WHERE WID = 1");
    test::Meldungen m;
    Seite s(db);
    s.tippen(s.kurz(4), "USD");
    EXPECT_EQ(m.texte, QStringList{"Der von Ihnnen gerade eben eingegebene Währungscode " + Anf + "USD" + Anf +
                                   " wird bereits\nin Zeile 2 verwendet. Keine doppelten Einträge möglich!"});
    EXPECT_EQ(s.kurz(4)->text(), "");
    test::aktivieren(s.d->form.get());
    EXPECT_TRUE(test::fokusAuf(s.kurz(4)));
    // The same into a stored currency: its own code comes back, nothing changes.
    s.tippen(s.kurz(2), "usd");
    EXPECT_EQ(m.texte.size(), 2);
    EXPECT_EQ(s.kurz(2)->text(), "GBP");
    EXPECT_EQ(anzahl(db, "Waehrungscode = 'USD'"), 1);
    test::aktivieren(s.d->form.get());
    // Wildcards are letters like any other: no other code matches them.
    m.texte.clear();
    s.tippen(s.kurz(5), "U_D");
    s.tippen(s.kurz(6), "%");
    EXPECT_TRUE(m.texte.isEmpty()) << m.texte.join("|").toStdString();
    EXPECT_EQ(s.kurz(5)->text(), "U_D");
    EXPECT_EQ(anzahl(db, "Waehrungscode = 'GBP'"), 5);
}

TEST(Waehrungszeilen, EingeschraenktSperrtNamenUndCodes) {
    test::Datenbanken db;
    dreiWaehrungen(db);
    test::Meldungen m;
    Seite s(db, 20);
    for (int r = 0; r < 20; ++r) {
        EXPECT_FALSE(s.lang(r)->isEnabled());
        EXPECT_FALSE(s.kurz(r)->isEnabled());
        EXPECT_TRUE(s.land(r)->isEnabled());
    }
    EXPECT_EQ(s.zeile(0), QStringList({"US-Dollar", "USD", "USA"}));
}

TEST(Waehrungszeilen, ShiftTabVomCodeZumNamenDerZeile) {
    test::Datenbanken db;
    dreiWaehrungen(db);
    Seite s(db);
    QTest::mouseClick(s.kurz(3), Qt::LeftButton);
    ASSERT_TRUE(test::fokusAuf(s.kurz(3)));
    QTest::keyClick(s.kurz(3), Qt::Key_Backtab, Qt::ShiftModifier);
    Seite::ruhe();
    EXPECT_TRUE(test::fokusAuf(s.lang(3)));
}

// ---- the rates ----

TEST(Kurse, ErsterKursLegtDieWaehrungAn) {
    test::Datenbanken db;
    dreiWaehrungen(db);
    test::Meldungen m;
    Seite s(db);
    s.tippen(s.lang(4), "Polnischer Zloty");
    s.tippen(s.kurz(4), "pln", false);
    QTest::keyClick(s.kurz(4), Qt::Key_Tab);
    Seite::ruhe();
    EXPECT_FALSE(s.raster()->isVisible());  // no history yet
    s.tippen(s.land(4), "pl", false);  // Tab would enter the next row
    s.tippen(s.datum(), "01.03.2024");
    ASSERT_TRUE(test::fokusAuf(s.eif()));
    s.tippen(s.eif(), "4,32");
    // Leaving gave the reciprocal to ten places and the focus to it; leaving that saves.
    ASSERT_TRUE(test::fokusAuf(s.fie()));
    EXPECT_EQ(s.fie()->text(), "0,2314814815");
    s.weiter();
    EXPECT_TRUE(m.texte.isEmpty()) << m.texte.join("|").toStdString();
    EXPECT_EQ(test::gespeichert(db.fa, "SELECT WID, Waehrungscode, WaehrungscodeBezeichnung, Laenderkennzeichen, AenderDatum, "
                                       "EuroinFremd, FremdinEuro FROM AllgWaehrung WHERE WID = 5"),
              "5|'PLN'|'Polnischer Zloty'|'PL'|'2024-03-01'|4.32|0.2314814815");
    EXPECT_TRUE(s.raster()->isVisible());
    EXPECT_EQ(s.rasterZeile(0), QStringList({"01.03.2024", "4,32", "0,2314814815"}));
}

TEST(Kurse, CodeUndLaenderkennzeichenBeimErstenKurs) {
    test::Datenbanken db;
    db.faSql("DELETE FROM AllgWaehrung");
    test::Meldungen m;
    Seite s(db);
    s.tippen(s.kurz(0), "CH");
    s.tippen(s.land(0), "auts", false);
    EXPECT_EQ(s.land(0)->text(), "aut");  // the fourth letter is refused as it is typed
    s.tippen(s.datum(), "01.03.2024");
    s.tippen(s.eif(), "2");
    s.weiter();
    EXPECT_EQ(m.texte.value(0), "Währungscode muss 3stellig sein. Bitte abändern!");
    EXPECT_EQ(anzahl(db, "1=1"), 0);
    test::aktivieren(s.d->form.get());
    EXPECT_TRUE(test::fokusAuf(s.kurz(0)));
    s.tippen(s.kurz(0), "chf");
    s.tippen(s.fie(), "0,5");
    EXPECT_EQ(test::gespeichert(db.fa, "SELECT WID, Waehrungscode, Laenderkennzeichen, EuroinFremd FROM AllgWaehrung"), "1|'CHF'|'AUT'|2.0");
}

TEST(Kurse, ZweitesSpeichernAmSelbenTagAendertDenDatensatz) {
    test::Datenbanken db;
    dreiWaehrungen(db);
    test::Meldungen m;
    Seite s(db);
    // The history newest first, dates and rates as the bookkeeper reads them.
    ASSERT_TRUE(s.raster()->isVisible());
    EXPECT_EQ(s.raster()->model()->headerData(0, Qt::Horizontal).toString(), "Datum");
    EXPECT_EQ(s.raster()->model()->headerData(2, Qt::Horizontal).toString(), "FremdinEuro");
    EXPECT_EQ(s.raster()->model()->columnCount(), 4);
    EXPECT_EQ(s.rasterZeile(0), QStringList({"01.03.2024", "1,085", "0,9217"}));
    EXPECT_EQ(s.rasterZeile(1), QStringList({"01.02.2024", "1,08", "0,9259"}));
    EXPECT_EQ(s.rasterZeile(2), QStringList({"02.01.2024", "1,1", "0,9091"}));
    s.rasterKlicken(1);
    EXPECT_EQ(s.datum()->text(), "01.02.2024");
    EXPECT_EQ(s.eif()->text(), "1,08");
    s.tippen(s.eif(), "1,25");
    EXPECT_EQ(anzahl(db, "WID = 1 AND AenderDatum = '2024-02-01'"), 1);
    EXPECT_EQ(db.faWert("SELECT EuroinFremd || '|' || FremdinEuro FROM AllgWaehrung WHERE WID = 1 AND AenderDatum = '2024-02-01'").toString(),
              "1.25|0.8");
    EXPECT_EQ(s.rasterZeile(1), QStringList({"01.02.2024", "1,25", "0,8"}));
    EXPECT_EQ(anzahl(db, "WID = 1"), 3);
    EXPECT_TRUE(m.texte.isEmpty()) << m.texte.join("|").toStdString();
}

TEST(Kurse, KehrwerteBeimVerlassenUndMitUmrechnen) {
    EXPECT_EQ(InputFeld::kursText(xov::kehrwert(32, 4)), "0,0312");           // half to even
    EXPECT_EQ(InputFeld::kursText(xov::kehrwert(2048)), "0,0004882812");  // half to even
    EXPECT_EQ(InputFeld::kursText(xov::kehrwert(6.4, 4)), "0,1562");
    test::Datenbanken db;
    dreiWaehrungen(db);
    test::Meldungen m;
    Seite s(db);
    QTest::mouseClick(s->cmdNeuerKurs, Qt::LeftButton);
    Seite::ruhe();
    ASSERT_TRUE(test::fokusAuf(s.datum()));
    s.tippen(s.datum(), "04.03.2024");
    s.tippen(s.eif(), "2");
    EXPECT_EQ(s.fie()->text(), "0,5");
    s.tippen(s.eif(), "3");
    EXPECT_EQ(s.fie()->text(), "0,3333333333");
    // Enter in the rate field presses cmdUmrechnen: four places.
    s.tippen(s.eif(), "3", false);
    QTest::keyClick(s.eif(), Qt::Key_Return);
    Seite::ruhe();
    EXPECT_EQ(s.fie()->text(), "0,3333");
    EXPECT_TRUE(test::fokusAuf(s.fie()));
    s.weiter();
    EXPECT_EQ(db.faWert("SELECT FremdinEuro FROM AllgWaehrung WHERE WID = 1 AND AenderDatum = '2024-03-04'").toDouble(), 0.3333);
    // The reciprocal of 0 leaves the other rate as it is.
    s.tippen(s.eif(), "0", false);
    QTest::keyClick(s.eif(), Qt::Key_Return);
    Seite::ruhe();
    EXPECT_EQ(s.fie()->text(), "0,3333");
    // Enter elsewhere still moves on.
    s.tippen(s.lang(5), "Name", false);
    QTest::keyClick(s.lang(5), Qt::Key_Return);
    Seite::ruhe();
    EXPECT_TRUE(test::fokusAuf(s.kurz(5)));
    EXPECT_TRUE(m.texte.isEmpty()) << m.texte.join("|").toStdString();
}

TEST(Kurse, BeideNullFragtMitJaNeinAbbrechen) {
    test::Datenbanken db;
    dreiWaehrungen(db);
    QStringList knoepfe;
    QMessageBox::StandardButton naechste = QMessageBox::No;
    test::Meldungen m([&](const QString&) {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        knoepfe.clear();
        for (auto* b : box->buttons()) knoepfe << b->text();
        return naechste;
    });
    Seite s(db);
    s.rasterKlicken(1);  // 01.02.2024
    s.tippen(s.fie(), "0");
    EXPECT_TRUE(m.texte.isEmpty());  // "0" in one field saves nothing
    s.tippen(s.eif(), "0");
    const QString frage = "Wollen Sie den WährungsKurs für " + Anf + "USD" + Anf + " vom 01.02.2024 löschen?";
    ASSERT_EQ(m.texte, QStringList{frage});
    EXPECT_EQ(knoepfe.size(), 3);
    EXPECT_TRUE(knoepfe.join("|").contains("Ja") && knoepfe.join("|").contains("Nein") && knoepfe.contains("Abbrechen"))
        << knoepfe.join("|").toStdString();
    test::aktivieren(s.d->form.get());
    EXPECT_TRUE(test::fokusAuf(s.eif()));
    EXPECT_EQ(s.fie()->text(), "0");  // no reciprocal of 0
    EXPECT_EQ(anzahl(db, "WID = 1"), 3);
    naechste = QMessageBox::Cancel;
    s.weiter();
    EXPECT_EQ(m.texte.size(), 2);
    test::aktivieren(s.d->form.get());
    EXPECT_TRUE(test::fokusAuf(s.datum()));
    EXPECT_EQ(anzahl(db, "WID = 1"), 3);
    naechste = QMessageBox::Yes;
    s.weiter();
    EXPECT_EQ(m.texte.size(), 3);
    test::aktivieren(s.d->form.get());
    EXPECT_EQ(anzahl(db, "WID = 1"), 2);
    EXPECT_EQ(anzahl(db, "WID = 1 AND AenderDatum = '2024-02-01'"), 0);
    EXPECT_EQ(s.datum()->text(), "");
    EXPECT_EQ(s.eif()->text(), "");
    EXPECT_EQ(s.rasterZeile(1), QStringList({"02.01.2024", "1,1", "0,9091"}));
}

TEST(Kurse, UnfertigeZahlHoltDenGemerktenKursZurueck) {
    test::Datenbanken db;
    dreiWaehrungen(db);
    test::Meldungen m;
    Seite s(db);
    s.rasterKlicken(0);
    s.tippen(s.eif(), "abc", false);
    EXPECT_EQ(s.eif()->text(), "");  // letters are refused as they are typed
    QTest::keyClicks(s.eif(), ",");
    s.weiter();
    EXPECT_EQ(m.texte, QStringList{"In dem Feld " + Anf + " EuroinFremd " + Anf + " ist nur die Eingabe von Zahlen erlaubt!"});
    EXPECT_EQ(s.eif()->text(), "1,085");
    test::aktivieren(s.d->form.get());
    EXPECT_TRUE(test::fokusAuf(s.eif()));
    EXPECT_EQ(db.faWert("SELECT EuroinFremd FROM AllgWaehrung WHERE WID = 1 AND AenderDatum = '2024-03-01'").toDouble(), 1.085);
}

TEST(Kurse, DatumsfeldOhneCodeUndOhneDatum) {
    test::Datenbanken db;
    dreiWaehrungen(db);
    test::Meldungen m;
    Seite s(db);
    // A row without a code: its date field sends the focus to the first row's name.
    s.tippen(s.lang(7), "Ohne Code");
    QTest::mouseClick(s.datum(), Qt::LeftButton);
    QTest::qWait(150);
    EXPECT_TRUE(test::fokusAuf(s.lang(0)));
    // A date that is none stays in the field and never reaches the database.
    s.rasterKlicken(0);
    s.tippen(s.datum(), "31.02.2024");
    EXPECT_EQ(m.texte, QStringList{"Nur Datumseingaben erlaubt!"});
    test::aktivieren(s.d->form.get());
    EXPECT_TRUE(test::fokusAuf(s.datum()));
    EXPECT_EQ(anzahl(db, "1=1"), 9);
}

TEST(Kurse, LangerVerlaufWirdBeimBlaetternGanzGelesen) {
    test::Datenbanken db;
    db.faSql("DELETE FROM AllgWaehrung");
    {
        auto v = xov::verbindungOeffnen(db.fa, "lagerbestand4");
        xov::Transaktion t(*v);
        for (int i = 0; i < 1000; ++i)
            v->ausfuehren("INSERT INTO AllgWaehrung (WID, Waehrungscode, WaehrungscodeBezeichnung, Laenderkennzeichen, AenderDatum, "
                          "EuroinFremd, FremdinEuro) VALUES (1, 'JPY', 'Yen', 'J', ?, ?, 0.0062)",
                          {QDate(2020, 1, 1).addDays(i), 160.0 + i / 1000.0});
        t.bestaetigen();
    }
    Seite s(db);
    auto* modell = s.raster()->model();
    EXPECT_LT(modell->rowCount(), 1000);
    for (int i = 0; i < 20 && modell->canFetchMore({}); ++i) {
        s.raster()->scrollToBottom();
        Seite::ruhe();
    }
    ASSERT_EQ(modell->rowCount(), 1000);
    EXPECT_EQ(s.rasterZeile(0).first(), "26.09.2022");
    EXPECT_EQ(s.rasterZeile(999), QStringList({"01.01.2020", "160", "0,0062"}));
}

