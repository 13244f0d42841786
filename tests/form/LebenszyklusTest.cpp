// Loading and closing the dialog on real databases; message boxes answered for real.

#include "Hilfen.h"
#include "form/DbListe.h"
#include "form/InputFeld.h"
#include "form/TabStrip.h"
#include "platform/Datenquelle.h"
#include "platform/Komponenten.h"

#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

using namespace xov;

// A client without fax and a shared database without the placeholder office are no failure:
// the placeholder is created again.
TEST(Laden, NormalerMandantAufAllenSeiten) {
    test::Datenbanken db;
    db.mandSql("UPDATE AllgMandDaten SET MandFaxNr = NULL");
    db.faSql("DELETE FROM AllgFaDaten WHERE FaNummer = 0");
    test::Meldungen meldungen;
    test::Dialog d(test::info(db));
    EXPECT_TRUE(meldungen.texte.isEmpty()) << meldungen.alle();
    EXPECT_TRUE(d.aufruf.FormBereit);
    EXPECT_EQ(d->feld("inpMandOrt")->text(), QStringLiteral("Wien"));
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
}

TEST(Laden, OhneIndexseiteIstDieWaehrungDerSiebteTab) {
    test::Datenbanken db;
    test::Meldungen meldungen;
    EXPECT_EQ(test::Dialog(test::info(db, {.waehrung = true}))->TabStrip1->count(), 8);
    test::Dialog d(test::info(db, {.waehrung = true, .ohneIndex = true}));
    ASSERT_EQ(d->TabStrip1->count(), 7);
    EXPECT_EQ(d->TabStrip1->tabText(6), QStringLiteral("Fremdwährung"));
    test::tabKlicken(d, 8);
    EXPECT_EQ(d->TabStrip1->currentIndex(), 6);
    EXPECT_TRUE(d->cmdNeuerKurs->isVisible());
    EXPECT_TRUE(meldungen.texte.isEmpty()) << meldungen.alle();
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

// Started on the currency page: no client row is loaded, nothing to type into, and the pages
// can be looked through and the dialog closed without a word.
TEST(Laden, WaehrungsStartmodus) {
    test::Datenbanken db;
    test::Meldungen meldungen;
    test::Dialog d(test::info(db, {.waehrung = true}), 7);
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

TEST(Fehlerbericht, FehlerBeimLadenMitUndOhneFehlerkomponente) {
    test::Datenbanken db;
    auto info = test::info(db);
    info[1] = db.fehlend();
    info[7] = db.ordner.filePath(QStringLiteral("hilfe.html"));
    QFile(info[7].toString()).open(QIODevice::WriteOnly);
    QVariantList ids(201, 0);
    ids[15] = 4711;
    info[60] = ids;
    const QString ursache = QStringLiteral("3024: Datei nicht gefunden (%1)").arg(info[1].toString());
    {
        test::Meldungen meldungen;
        test::Dialog d(info);
        ASSERT_GE(meldungen.texte.size(), 1);
        // The error window names the dialog's help topic.
        EXPECT_EQ(meldungen.texte.first(), QStringLiteral("xovAllgError %1 @ XovMandStamm, in Form_Load ? %2#4711").arg(ursache, info[7].toString()));
        EXPECT_EQ(d->feld("inpMandOrt")->text(), QStringLiteral("Wien"));  // loading went on
    }
    // Without the error component a message box says what went wrong all the same.
    QTemporaryDir leer;
    setzePluginOrdner(leer.path());
    test::Meldungen meldungen;
    test::Dialog d(info);
    setzePluginOrdner({});
    ASSERT_GE(meldungen.texte.size(), 1);
    EXPECT_TRUE(meldungen.texte.first().contains(QStringLiteral("Fehler ") + ursache)) << meldungen.alle();
}
