// What the currency page shows and fills in: the highlighted day of the history and the rate
// frame always show the same day; the German name filled in for a code is stored like a typed
// one; a rate field entered without a date says why the focus goes back to the date.

#include "currency/WaehrungsseiteHilfen.h"
#include "currency/WaehrungsseiteIntern.h"

#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

using test::Seite;
using test::waehrung;

namespace {

void usdUndYen(test::Datenbanken& db) {
    db.faSql("DELETE FROM AllgWaehrung");
    waehrung(db, 1, "USD", "US-Dollar", "USA",
             {{QDate(2024, 1, 2), 1.1, 0.9091}, {QDate(2024, 2, 1), 1.08, 0.9259}, {QDate(2024, 3, 1), 1.085, 0.9217}});
    waehrung(db, 3, "JPY", "", "J", {{QDate(2024, 3, 1), 160.0, 0.00625}, {QDate(2024, 3, 4), 161.0, 0.0062}});
}

// The day the grid highlights, "" when none.
QString hervorgehoben(const Seite& s) {
    const QModelIndex i = s.raster()->currentIndex();
    return i.isValid() && s.raster()->selectionModel()->isRowSelected(i.row(), {}) ? s.rasterZeile(i.row()).first() : QString();
}

}  // namespace

// After a save of an older day, a change, and a delete: the highlighted day is the frame's day
// (none once the frame is empty).
TEST(Kurse, RasterUndRahmenZeigenDenselbenTag) {
    test::Datenbanken db;
    usdUndYen(db);
    test::Meldungen m([](const QString&) { return QMessageBox::Yes; });
    Seite s(db);
    s.neuerKurs("15.01.2024");
    s.tippen(s.eif(), "1,09");
    s.weiter();
    EXPECT_EQ(s.datum()->text(), "15.01.2024");
    EXPECT_EQ(hervorgehoben(s), "15.01.2024");
    s.rasterKlicken(1);  // 01.03., 01.02., 15.01., 02.01.2024
    s.tippen(s.eif(), "1,07");
    EXPECT_EQ(hervorgehoben(s), "01.02.2024");
    EXPECT_EQ(s.datum()->text(), "01.02.2024");
    s.tippen(s.eif(), "0", false);
    s.tippen(s.fie(), "0");
    EXPECT_EQ(s.datum()->text(), "");
    EXPECT_EQ(hervorgehoben(s), "");
    // A click on the newest day after the delete shows it.
    s.rasterKlicken(0);
    EXPECT_EQ(s.datum()->text(), "01.03.2024");
    EXPECT_EQ(hervorgehoben(s), "01.03.2024");
    EXPECT_EQ(m.texte.size(), 1) << m.texte.join('|').toStdString();  // the delete question
}

// Passing through the code of a stored currency without a name: the German name filled in is
// stored in all its records, so that the next rate does not give the currency a second name.
TEST(Waehrungszeilen, NameVomCodeWirdGespeichertWieGetippt) {
    test::Datenbanken db;
    usdUndYen(db);
    test::Meldungen m;
    Seite s(db);
    QTest::mouseClick(s.kurz(2), Qt::LeftButton);
    Seite::ruhe();
    s.weiter();
    EXPECT_EQ(s.lang(2)->text(), "Japanischer Yen");
    EXPECT_EQ(test::gespeichert(db.fa, "SELECT DISTINCT WaehrungscodeBezeichnung FROM AllgWaehrung WHERE WID = 3"), "'Japanischer Yen'");
    EXPECT_TRUE(m.texte.isEmpty()) << m.texte.join('|').toStdString();
}

// "Neuer Kurs", then a rate field clicked with the date still empty (or "0"): the message, and
// the focus in the date field.
TEST(Kurse, KursfeldOhneDatumNenntDieMeldung) {
    for (const char* datum : {"", "0"}) {
        test::Datenbanken db;
        usdUndYen(db);
        test::Meldungen m;
        Seite s(db);
        QTest::mouseClick(s->cmdNeuerKurs, Qt::LeftButton);
        Seite::ruhe();
        if (*datum) QTest::keyClicks(s.datum(), datum);
        QTest::mouseClick(s.eif(), Qt::LeftButton);
        ASSERT_TRUE(QTest::qWaitFor([&] { return !m.texte.isEmpty(); }, 2000)) << datum;
        EXPECT_EQ(m.texte, QStringList(xov::waehrung::NurDatum)) << datum;
        test::aktivieren(s.d->form.get());
        EXPECT_TRUE(test::fokusAuf(s.datum())) << datum;
    }
}

// The hint for an unknown code neither widens the window nor moves the grid or the rate frame.
TEST(Waehrungszeilen, HinweisVerschiebtNichts) {
    test::Datenbanken db;
    usdUndYen(db);
    test::Meldungen m;
    Seite s(db);
    auto* hinweis = s->findChild<QLabel*>(QStringLiteral("lblWährungscodeHinweis"));
    ASSERT_TRUE(hinweis);
    const int breite = s->width();
    const QPoint raster = s.raster()->mapTo(s->window(), QPoint()), datum = s.datum()->mapTo(s->window(), QPoint());
    s.tippen(s.kurz(4), "QQQ");
    ASSERT_TRUE(hinweis->isVisible());
    EXPECT_EQ(hinweis->toolTip(), "QQQ ist kein bekannter ISO-Währungscode");
    QApplication::processEvents();
    EXPECT_EQ(s->width(), breite);
    EXPECT_EQ(s.raster()->mapTo(s->window(), QPoint()), raster);
    EXPECT_EQ(s.datum()->mapTo(s->window(), QPoint()), datum);
}

// Keyboard only: F6 from any currency's row to its rate date and back; a rate entered there is
// that currency's. "Neuer Kurs" in a row without a code says why nothing starts.
TEST(Kurse, F6FuehrtVonDerZeileZumKursUndZurueck) {
    test::Datenbanken db;
    usdUndYen(db);
    test::Meldungen m;
    Seite s(db);
    QTest::mouseClick(s.land(2), Qt::LeftButton);  // the yen's row
    Seite::ruhe();
    QTest::keyClick(s.land(2), Qt::Key_F6);
    Seite::ruhe();
    ASSERT_TRUE(test::fokusAuf(s.datum()));
    EXPECT_EQ(s.datum()->text(), "04.03.2024");
    EXPECT_EQ(s.label("lblFremd"), "1 JPY =\nxxx EUR");
    QTest::keyClick(s.datum(), Qt::Key_Tab);
    Seite::ruhe();
    ASSERT_TRUE(test::fokusAuf(s.eif()));
    s.eif()->selectAll();
    QTest::keyClicks(s.eif(), "162");
    QTest::keyClick(s.eif(), Qt::Key_F6);
    Seite::ruhe();
    EXPECT_TRUE(test::fokusAuf(s.lang(2)));
    EXPECT_EQ(test::gespeichert(db.fa, "SELECT EuroinFremd FROM AllgWaehrung WHERE WID = 3 AND AenderDatum = '2024-03-04'"), "162.0");
    EXPECT_TRUE(m.texte.isEmpty()) << m.texte.join('|').toStdString();
    // A row without a code: F6 and "Neuer Kurs" say so.
    QTest::mouseClick(s.lang(5), Qt::LeftButton);
    Seite::ruhe();
    QTest::keyClick(s.lang(5), Qt::Key_F6);
    ASSERT_TRUE(QTest::qWaitFor([&] { return m.texte.size() == 1; }, 2000));
    test::aktivieren(s.d->form.get());
    QTest::mouseClick(s->cmdNeuerKurs, Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return m.texte.size() == 2; }, 2000));
    EXPECT_EQ(m.texte, QStringList({xov::waehrung::KeinCode, xov::waehrung::KeinCode}));
    test::aktivieren(s.d->form.get());
    EXPECT_TRUE(test::fokusAuf(s.kurz(5)));
}

// The date of a row without a code sends the focus to "Beenden": Enter there closes the dialog
// with what was typed elsewhere stored (a name in a row without a code has no record to go to,
// whichever way the dialog closes).
TEST(Kurse, DatumEinerLeerenZeileUndEnterAufBeenden) {
    test::Datenbanken db;
    usdUndYen(db);
    test::Meldungen m;
    Seite s(db);
    s.tippen(s.lang(0), "Dollar", false);
    QTest::mouseClick(s.lang(5), Qt::LeftButton);
    Seite::ruhe();
    s.tippen(s.lang(5), "Krone", false);
    QTest::mouseClick(s.datum(), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::focusWidget() == s->cmdBeenden; }, 2000));
    QTest::keyClick(s->cmdBeenden, Qt::Key_Return);
    Seite::ruhe();
    EXPECT_FALSE(s->isVisible());
    EXPECT_EQ(test::gespeichert(db.fa, "SELECT DISTINCT WaehrungscodeBezeichnung FROM AllgWaehrung WHERE WID = 1"), "'Dollar'");
    EXPECT_TRUE(m.texte.isEmpty()) << m.texte.join('|').toStdString();
}
