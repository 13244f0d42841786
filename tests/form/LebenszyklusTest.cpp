// Loading and closing the dialog on real databases; message boxes answered for real.

#include "Hilfen.h"
#include "form/DbListe.h"
#include "form/InputFeld.h"
#include "form/TabStrip.h"
#include "platform/Datenquelle.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

using namespace xov;

// A client without fax and a shared database without the placeholder office are no failure:
// the placeholder is created again. Without an index page the currency is the seventh tab.
TEST(Laden, NormalerMandantAufAllenSeiten) {
    test::Datenbanken db;
    db.mandSql("UPDATE AllgMandDaten SET MandFaxNr = NULL");
    db.faSql("DELETE FROM AllgFaDaten WHERE FaNummer = 0");
    test::Meldungen meldungen;
    test::Dialog d(test::info(db, {.waehrung = true, .ohneIndex = true}));
    EXPECT_TRUE(meldungen.texte.isEmpty()) << meldungen.alle();
    EXPECT_TRUE(d.aufruf.FormBereit);
    EXPECT_EQ(d->feld("inpMandMahnspesen")->text(), QStringLiteral("12,50"));
    EXPECT_EQ(d->feld("inpMaAnrKurz(3)")->text(), QStringLiteral("Fam."));  // bound to "MandAnrkurz3"
    EXPECT_EQ(d->feld("inpMandFaxNr")->text(), QString());
    EXPECT_EQ(d->findChild<QLabel*>("lblAuswahlMonStatus")->text(), QStringLiteral("03.2024"));
    EXPECT_EQ(d->cmbFaNr->currentText(), QStringLiteral("Finanzamt Wien 4/5/10"));
    EXPECT_EQ(d->cmbFaNr->itemText(0), QStringLiteral(" keine Definition"));
    EXPECT_EQ(db.faWert("SELECT FaName FROM AllgFaDaten WHERE FaNummer = 0").toString(), QStringLiteral(" keine Definition"));
    // Hidden page 4 still carries its bound values.
    EXPECT_FALSE(d->feld("inpEurKurs")->isVisibleTo(d.form.get()));
    EXPECT_EQ(d->feld("inpEurKurs")->text(), QStringLiteral("13,7603"));
    ASSERT_EQ(d->TabStrip1->count(), 7);
    EXPECT_EQ(d->TabStrip1->tabText(6), QStringLiteral("Fremdwährung"));
    test::tabKlicken(d, 8);
    EXPECT_EQ(d->TabStrip1->currentIndex(), 6);
    EXPECT_TRUE(d->cmdNeuerKurs->isVisible());
}

TEST(Laden, LeererBestandLegtEinmalEinenSatzAn) {
    test::Datenbanken db;
    db.mandSql("DELETE FROM AllgMandDaten");
    test::Meldungen meldungen;
    {
        test::Dialog d(test::info(db));
        ASSERT_EQ(meldungen.texte, QStringList{"Der MandantenDatenbestand ist komplett leer"});
        EXPECT_EQ(db.mandWert("SELECT count(*) FROM AllgMandDaten").toInt(), 1);
        EXPECT_EQ(d->feld("inpMandDvr")->text(), QStringLiteral("0"));
    }
    test::Dialog d(test::info(db));
    EXPECT_EQ(meldungen.texte.size(), 1);
}

// Started on the currency page: the focus in the first currency's name, no client row loaded,
// nothing to type into, and the pages can be looked through and the dialog closed without a word.
TEST(Laden, WaehrungsStartmodus) {
    test::Datenbanken db;
    test::Meldungen meldungen;
    test::Dialog d(test::info(db, {.waehrung = true}), 7);
    auto* name = d->feld(QStringLiteral("inpWährungsBezLang(0)"));
    ASSERT_TRUE(test::fokusAuf(name));
    EXPECT_EQ(name->selectedText(), name->text());
    EXPECT_EQ(d->TabStrip1->aktuelleSeite(), 8);
    EXPECT_FALSE(d->cmdBeenden->isVisible());
    EXPECT_EQ(d.aufruf.TabStripNr, 0);
    EXPECT_FALSE(d->MAData->hatRecordset());
    test::tabKlicken(d, 1);
    EXPECT_FALSE(d->feld("inpMandOrt")->isEnabled());
    test::tabKlicken(d, 2);
    EXPECT_EQ(d->TabStrip1->aktuelleSeite(), 2);
    EXPECT_TRUE(d.escape());
    EXPECT_TRUE(meldungen.texte.isEmpty()) << meldungen.alle();
}

// --- What was typed reaches the database by every way out --------------------------------------

using Ausgang = std::pair<const char*, std::function<void(test::Dialog&)>>;
class Schliessen : public ::testing::TestWithParam<Ausgang> {};

TEST_P(Schliessen, EingabeErreichtDieDatenbank) {
    test::Datenbanken db;
    const QStringList vorher = test::zeile(db);
    test::Meldungen meldungen;
    test::Dialog d(test::info(db));
    test::tippen(d->feld("inpMandOrt"), "Graz");  // still in the field
    GetParam().second(d);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !d->isVisible(); }, 2000));
    EXPECT_EQ(test::unterschiede(vorher, test::zeile(db)), QStringList{"MandOrt='Graz'"});
    EXPECT_TRUE(meldungen.texte.isEmpty()) << meldungen.alle();
}

INSTANTIATE_TEST_SUITE_P(
    Wege, Schliessen,
    ::testing::Values(Ausgang{"Escape", [](test::Dialog& d) { d.escape(); }},
                      Ausgang{"Beenden", [](test::Dialog& d) { QTest::mouseClick(d->cmdBeenden, Qt::LeftButton); }},
                      Ausgang{"AltB", [](test::Dialog&) { QTest::keyClick(QApplication::focusWidget(), Qt::Key_B, Qt::AltModifier); }},
                      Ausgang{"Schliessfeld", [](test::Dialog& d) { d.schliessen(); }}),
    [](const auto& info) { return std::string(info.param.first); });

TEST(Schliessen, FehlgeschlagenesSchreibenHaeltDenDialogOffen) {
    XOV_NUR_DATEI("eine Datei, die ein zweiter Prozess exklusiv hält");
    test::Datenbanken db;
    test::Meldungen meldungen;
    test::Dialog d(test::info(db));
    test::tippen(d->feld("inpMandAnschrift"), "Neubaugasse 7");
    {
        test::Sperre sperre(db.mand, xov::DbPasswort);
        ASSERT_TRUE(sperre.aktiv());
        EXPECT_FALSE(d.schliessen());
        ASSERT_EQ(meldungen.texte.size(), 1);
        EXPECT_TRUE(meldungen.texte.first().startsWith(QStringLiteral("xovAllgError 3704:"))) << meldungen.alle();
        EXPECT_EQ(d->feld("inpMandAnschrift")->text(), QStringLiteral("Neubaugasse 7"));
    }
    EXPECT_TRUE(d.schliessen());  // closing again retries
    EXPECT_EQ(db.mandWert("SELECT MandAnschrift FROM AllgMandDaten").toString(), QStringLiteral("Neubaugasse 7"));
}

