// The dialog opens with its start page alone; another page is built when it is first shown or
// when code asks for one of its controls. A page never built counts as unchanged: closing writes
// none of its columns, whatever they hold; a page built later shows the values loaded at opening.

#include "Hilfen.h"
#include "form/InputFeld.h"
#include "form/TabStrip.h"

#include <QPushButton>

#include <QApplication>
#include <QFrame>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

using namespace test;

// "GespeicherteWerte" in the suite's name: it runs on the server engine too.
TEST(SeitenaufbauGespeicherteWerte, UngebauteSeitenBleibenWieGespeichert) {
    test::Datenbanken db;
    // Values the fields of pages 2 and 4 do not show exactly: a minus where none may be typed,
    // more decimals than the rate field shows.
    db.mandSql("UPDATE AllgMandDaten SET MandMiEinktoBlz = -5, MandEurKurs = 0.123456789");
    const QStringList vorher = zeile(db);
    test::Meldungen meldungen;
    {
        test::Dialog d(test::info(db, Optionen{.waehrung = true}));
        for (int seite = 2; seite <= 8; ++seite) {
            EXPECT_FALSE(d->seiteGebaut(seite)) << seite;
            EXPECT_TRUE(d->Frame1[seite - 1]->findChildren<QWidget*>().isEmpty()) << seite;
        }
        // Page 3, first shown now, shows what was loaded when the dialog opened.
        tabKlicken(d, 3);
        EXPECT_TRUE(d->seiteGebaut(3));
        EXPECT_EQ(qobject_cast<QLineEdit*>(d->steuerelement("inpMandBuchjahr"))->text(), QStringLiteral("2024"));
        tabKlicken(d, 1);
        tippen(d->feld("inpMandOrt"), "Graz");
        QTest::keyClick(d->feld("inpMandOrt"), Qt::Key_Tab);
        EXPECT_FALSE(d->seiteGebaut(2));
        EXPECT_TRUE(d.escape()) << meldungen.alle();
    }
    EXPECT_EQ(unterschiede(vorher, zeile(db)), QStringList({"MandOrt='Graz'"}));
    EXPECT_TRUE(meldungen.texte.isEmpty()) << meldungen.alle();
}

// --- Keyboard order of a page built later ---------------------------------------------------------

namespace {
QWidget* tab(bool zurueck = false) {
    QWidget* f = QApplication::focusWidget();
    QTest::keyClick(f, zurueck ? Qt::Key_Backtab : Qt::Key_Tab, zurueck ? Qt::ShiftModifier : Qt::NoModifier);
    return QApplication::focusWidget();
}
}  // namespace

class SpaeterGebauteSeite : public ::testing::TestWithParam<int> {};

// Shown for the first time, the page leads the keyboard from its first field back to the tab
// strip, and from its last field on to the buttons below the pages and back, as every page does.
TEST_P(SpaeterGebauteSeite, TabFuehrtVomLetztenFeldZurKnopfleisteUndZurueck) {
    const int seite = GetParam();
    test::Datenbanken db;
    test::Meldungen meldungen;
    test::Dialog d(test::info(db, Optionen{.waehrung = true}));
    tabKlicken(d, seite);
    QFrame* rahmen = d->Frame1[seite - 1];
    ASSERT_TRUE(rahmen->isAncestorOf(QApplication::focusWidget()));
    QWidget* f = nullptr;
    for (int i = 0; i < 100 && rahmen->isAncestorOf(f = tab(true)); ++i) {}
    EXPECT_EQ(f, d->TabStrip1);
    // Backwards from the tab strip: the buttons, right to left, then the page's last field.
    QStringList knoepfe;
    for (int i = 0; i < 10 && d->fraUntererTeil->isAncestorOf(f = tab(true)); ++i) knoepfe.prepend(f->objectName());
    ASSERT_TRUE(rahmen->isAncestorOf(f)) << f->objectName().toStdString() << " nach " << knoepfe.join(',').toStdString();
    EXPECT_EQ(knoepfe.value(knoepfe.size() - 1), QStringLiteral("cmdBeenden"));
    EXPECT_EQ(tab()->objectName(), knoepfe.value(0));
    EXPECT_TRUE(meldungen.texte.isEmpty()) << meldungen.alle();
}

INSTANTIATE_TEST_SUITE_P(Seiten, SpaeterGebauteSeite, ::testing::Values(2, 3, 5, 6, 7, 8),
                         [](const auto& info) { return "Seite" + std::to_string(info.param); });

// An older database without the booking-year column: restricted, page 3 offers no field. Its tab
// clicked from a field of page 1 leaves the focus on the tab strip, where the arrow keys choose
// the next page, not on the page's bare frame.
TEST(SeitenaufbauTastatur, SeiteOhneFreiesFeldGibtDenFokusDemTabstreifen) {
    test::Datenbanken db(2024, {"MandBuchjahr"});
    db.mandSql("INSERT INTO AllgMandDaten (MandName, MandAnschrift, MandPlz, MandOrt, MandFaxNr) VALUES ('Alt', 'Gasse 1', 4020, 'Linz', '')");
    test::Meldungen meldungen;
    test::Dialog d(test::info(db));
    ASSERT_EQ(meldungen.texte.size(), 1) << meldungen.alle();  // the structure hint
    aktivieren(d.form.get());
    tippen(d->feld("inpMandOrt"), "Wels");
    tabKlicken(d, 3);
    ASSERT_EQ(d->TabStrip1->aktuelleSeite(), 3);
    EXPECT_EQ(QApplication::focusWidget(), d->TabStrip1) << QApplication::focusWidget()->objectName().toStdString();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
    EXPECT_EQ(d->TabStrip1->aktuelleSeite(), 4);
    EXPECT_EQ(meldungen.texte.size(), 1) << meldungen.alle();
}
