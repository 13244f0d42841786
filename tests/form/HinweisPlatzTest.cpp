// A check-digit hint appearing on page 1 moves no other control.

#include "Hilfen.h"
#include "form/InputFeld.h"

#include <QLabel>
#include <gtest/gtest.h>

// Opened on page 1, and opened on the currency page with every page shown once before page 1.
class HinweisPlatz : public testing::TestWithParam<bool> {};

TEST_P(HinweisPlatz, AufSeite1VerschiebtNichts) {
    test::Datenbanken db;
    test::Dialog d(test::info(db, {.waehrung = GetParam()}));
    if (GetParam())
        for (int seite : {7, 6, 5, 4, 3, 2, 1}) test::tabKlicken(d, seite);
    auto* version = d->findChild<QLabel*>("lblVersionsNr");
    auto* uid = d->findChild<QLabel*>("lblMandUIDHinweis");
    auto* steuer = d->findChild<QLabel*>("lblSteuerNrHinweis");
    ASSERT_TRUE(version && uid && steuer);
    test::tippen(d->feld("inpMandUID"), "ATU13585627");
    test::tippen(d->feld("inpSteuerNr"), "123/4561");
    QApplication::processEvents();
    ASSERT_FALSE(uid->isVisible() || steuer->isVisible());
    const QPoint vorher = version->mapTo(d.form.get(), QPoint());
    const int breite = d->width();
    test::tippen(d->feld("inpMandUID"), "ATU13585626");
    test::tippen(d->feld("inpSteuerNr"), "123/4567");
    QApplication::processEvents();
    ASSERT_TRUE(uid->isVisible() && steuer->isVisible());
    EXPECT_EQ(version->mapTo(d.form.get(), QPoint()), vorher);
    EXPECT_EQ(d->width(), breite);
    ASSERT_TRUE(d.escape());
}

INSTANTIATE_TEST_SUITE_P(Start, HinweisPlatz, testing::Bool(),
                         [](const auto& i) { return i.param ? std::string("AufDerWaehrungsseite") : std::string("AufSeite1"); });
