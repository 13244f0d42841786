// Pages, checks and lists in the real dialog: keyboard and mouse, message boxes answered for real.

#include "Hilfen.h"
#include "services/DbVerbindung.h"
#include "form/DbListe.h"
#include "form/InputFeld.h"
#include "form/TabStrip.h"

#include <QComboBox>
#include <QCheckBox>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

using namespace xov;
using test::tabKlicken;
using test::tippen;

namespace {

QWidget* tabVon(int mal) {
    for (int i = 0; i < mal; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QApplication::processEvents();
    }
    return QApplication::focusWidget();
}

const QString PlzText = QStringLiteral("Postleitzahl Null ist ungültig");

}  // namespace

TEST(Seitenwechsel, PostleitzahlNullHaeltDieSeiteMitEinerMeldung) {
    test::Datenbanken db;
    test::Meldungen meldungen;
    test::Dialog d(test::info(db));
    tippen(d->feld("inpMandPlz"), "0");
    tabKlicken(d, 2);
    EXPECT_EQ(meldungen.texte, QStringList{PlzText});
    EXPECT_EQ(d->TabStrip1->aktuelleSeite(), 1);
    EXPECT_TRUE(test::fokusAuf(d->feld("inpMandPlz")));
    // Ctrl+Tab and a click on Beenden (which takes the focus) are refused the same way, once each.
    QTest::keyClick(d->feld("inpMandPlz"), Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(d->TabStrip1->aktuelleSeite(), 1);
    QTest::mouseClick(d->cmdBeenden, Qt::LeftButton);
    QApplication::processEvents();
    EXPECT_TRUE(d->isVisible());
    EXPECT_EQ(meldungen.texte, QStringList({PlzText, PlzText, PlzText}));
    EXPECT_TRUE(test::fokusAuf(d->feld("inpMandPlz")));
    EXPECT_TRUE(d.escape() == false);
}

TEST(Seitenwechsel, FehlerNacheinanderBehoben) {
    test::Datenbanken db;
    test::Meldungen meldungen;
    test::Dialog d(test::info(db));
    d->feld("inpMandOrt")->setText(QStringLiteral("   "));  // blanks only
    tippen(d->feld("inpMandPlz"), "0");
    tabKlicken(d, 2);
    EXPECT_EQ(meldungen.texte, QStringList{PlzText});
    tippen(d->feld("inpMandPlz"), "1010");
    QTest::keyClick(d->feld("inpMandPlz"), Qt::Key_PageDown, Qt::ControlModifier);
    EXPECT_EQ(meldungen.texte, QStringList({PlzText, "Ort leer ist ungültig"}));
    EXPECT_EQ(d->TabStrip1->aktuelleSeite(), 1);
    EXPECT_TRUE(test::fokusAuf(d->feld("inpMandOrt")));
    tippen(d->feld("inpMandOrt"), "Wien");
    tabKlicken(d, 2);
    EXPECT_EQ(d->TabStrip1->aktuelleSeite(), 2);
    EXPECT_EQ(meldungen.texte.size(), 2);
}

TEST(Seitenwechsel, DasTorPrueftNurDasFehlerfeld) {
    test::Datenbanken db;
    test::Meldungen meldungen;
    test::Dialog d(test::info(db));
    tippen(d->feld("inpMandPlz"), "0");
    QTest::keyClick(d->feld("inpMandPlz"), Qt::Key_Tab);  // leaving checks it
    ASSERT_TRUE(QTest::qWaitFor([&] { return meldungen.texte.size() == 1; }, 2000));
    EXPECT_EQ(d->FehlerFeld(), QStringLiteral("inpMandPlz"));
    EXPECT_TRUE(test::fokusAuf(d->feld("inpMandPlz")));
    // A click into the empty town re-checks the postcode it leaves; the town, passed through
    // while the focus is forced back, checks nothing.
    d->feld("inpMandOrt")->setText(QString());
    d->feld("inpMandOrt")->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return meldungen.texte.size() == 2; }, 2000));
    QTest::qWait(50);
    EXPECT_EQ(meldungen.texte, QStringList({PlzText, PlzText}));
    EXPECT_TRUE(test::fokusAuf(d->feld("inpMandPlz")));
    tippen(d->feld("inpMandPlz"), "1010");
    QTest::keyClick(d->feld("inpMandPlz"), Qt::Key_Tab);
    QTest::qWait(50);
    EXPECT_TRUE(d->FehlerFeld().isEmpty());
    // Now the town is checked again when it is left.
    d->feld("inpMandOrt")->setFocus();
    ASSERT_TRUE(test::fokusAuf(d->feld("inpMandOrt")));
    QTest::keyClick(d->feld("inpMandOrt"), Qt::Key_Tab);
    ASSERT_TRUE(QTest::qWaitFor([&] { return meldungen.texte.size() == 3; }, 2000));
    EXPECT_EQ(meldungen.texte.last(), QStringLiteral("Ort leer ist ungültig"));
}

TEST(Seitenwechsel, SeitenOhnePruefungPruefenNichts) {
    test::Datenbanken db;
    test::Meldungen meldungen;
    auto info = test::info(db);
    info[61] = 1;
    test::Dialog d(info);
    for (int seite : {2, 5, 7, 8}) {
        tabKlicken(d, seite);
        ASSERT_EQ(d->TabStrip1->aktuelleSeite(), seite);
        tabKlicken(d, seite == 8 ? 2 : seite + 1);
        EXPECT_NE(d->TabStrip1->aktuelleSeite(), seite);
    }
    EXPECT_TRUE(meldungen.texte.isEmpty()) << meldungen.texte.join('|').toStdString();
    tabKlicken(d, 2);
    EXPECT_TRUE(d.schliessen());
}

TEST(Seitenwechsel, Seite3Buchungsjahr) {
    test::Datenbanken db;
    test::Meldungen meldungen;
    test::Dialog d(test::info(db));
    tabKlicken(d, 3);
    EXPECT_TRUE(test::fokusAuf(d->feld("inpMandBuchjahr")));
    tippen(d->feld("inpMandBuchjahr"), "1997");
    tabKlicken(d, 4);
    ASSERT_EQ(meldungen.texte, QStringList{QStringLiteral("Jahreseingabe für Buchungsjahr muss grösser 1997 sein.")});
    EXPECT_EQ(d->TabStrip1->aktuelleSeite(), 3);
    EXPECT_FALSE(d.schliessen());  // closing on page 3 runs the same check
    tippen(d->feld("inpMandBuchjahr"), "1998");
    tabKlicken(d, 4);
    EXPECT_EQ(d->TabStrip1->aktuelleSeite(), 4);
    EXPECT_EQ(meldungen.texte.size(), 2);
}

TEST(Listen, VoranmeldungsPeriodeSpeichertCodeUndSchaltetSteuerfelder) {
    test::Datenbanken db;
    test::Dialog d(test::info(db));
    QComboBox* periode = d->liste("cmbVoranmPeriode");
    EXPECT_EQ(periode->currentText(), QStringLiteral("monatlich"));
    periode->setFocus();
    ASSERT_TRUE(test::fokusAuf(periode));
    QTest::keyClick(periode, Qt::Key_Down);
    EXPECT_EQ(periode->currentText(), QStringLiteral("vierteljährlich"));
    EXPECT_EQ(d->feld("inpVoranmPeriode")->Text(), QStringLiteral("2"));
    EXPECT_TRUE(d->feld("inpSteuerNr")->isEnabled());
    QTest::keyClick(periode, Qt::Key_Home);
    EXPECT_EQ(d->feld("inpVoranmPeriode")->Text(), QStringLiteral("0"));
    for (QWidget* w : {static_cast<QWidget*>(d->feld("inpSteuerNr")), static_cast<QWidget*>(d->feld("inpReferat")),
                       static_cast<QWidget*>(d->cmbFaNr)})
        EXPECT_FALSE(w->isEnabled());
    // Page up and page down do nothing in the period list and the tax-office list.
    QTest::keyClick(periode, Qt::Key_PageDown);
    EXPECT_EQ(periode->currentIndex(), 0);
    const int amt = d->cmbFaNr->currentIndex();
    QTest::keyClick(d->cmbFaNr, Qt::Key_PageUp);
    EXPECT_EQ(d->cmbFaNr->currentIndex(), amt);
    QTest::keyClick(periode, Qt::Key_End);
    EXPECT_TRUE(d.schliessen());
    EXPECT_EQ(db.mandWert("SELECT MandVoranmPeriode FROM AllgMandDaten").toInt(), 3);
}

TEST(Listen, GespeichertePeriodeUndUngueltigerCode) {
    test::Datenbanken db;
    db.mandSql("UPDATE AllgMandDaten SET MandVoranmPeriode = 3");
    {
        test::Dialog d(test::info(db));
        EXPECT_EQ(d->liste("cmbVoranmPeriode")->currentText(), QStringLiteral("jährlich"));
    }
    db.mandSql("UPDATE AllgMandDaten SET MandVoranmPeriode = 7");
    test::Meldungen meldungen;
    test::Dialog d(test::info(db));
    EXPECT_EQ(meldungen.texte, QStringList{"ungültiger Wert inpVoranmPeriode.Text"});  // shown with the row
    QComboBox* periode = d->liste("cmbVoranmPeriode");
    periode->setFocus();
    ASSERT_TRUE(test::fokusAuf(periode));
    d->feld("inpMandOrt")->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return meldungen.texte.size() == 2; }, 2000));
    EXPECT_TRUE(d->feld("inpSteuerNr")->isEnabled());  // the code is not 0
}

TEST(Listen, EingeschraenktBleibenSteuerfelderGesperrt) {
    test::Datenbanken db;
    auto info = test::info(db);
    info[9] = 20;
    test::Dialog d(info);
    for (const char* n : {"inpMandPlz", "inpMandOrt", "inpMandAnschrift", "inpSteuerNr", "inpReferat", "inpMandUID"})
        EXPECT_FALSE(d->feld(n)->isEnabled()) << n;
    EXPECT_FALSE(d->liste("cmbVoranmPeriode")->isEnabled());
    EXPECT_FALSE(d->feld("InputFeld1")->isEnabled());
    d->listeSetzen("cmbVoranmPeriode", 2);
    EXPECT_FALSE(d->feld("inpSteuerNr")->isEnabled());
    tabKlicken(d, 3);
    EXPECT_FALSE(d->feld("inpMandBuchjahr")->isEnabled());
    tabKlicken(d, 6);
    EXPECT_FALSE(d->feld("inpMandKonto30")->isEnabled());
    EXPECT_FALSE(d->steuerelement("cmdKontenAuswahl")->isEnabled());
    tabKlicken(d, 2);
    EXPECT_FALSE(d->feld("InputFeld1")->isEnabled());
    EXPECT_TRUE(d->feld("InputFeld2")->isEnabled());  // page 2 has no locks of its own
}

TEST(Listen, Seite4CodesUndEuroKurs) {
    test::Datenbanken db;
    db.mandSql("UPDATE AllgMandDaten SET MandAnzMahnStu = 1, MandMahnfixText = 5, MandEurKurs = 0");
    test::Dialog d(test::info(db));
    tabKlicken(d, 4);
    EXPECT_EQ(d->liste("cmbAnzMahnStu")->currentText(), QStringLiteral("Mahn bis Mahnst. 2"));
    EXPECT_EQ(d->liste("cmbMahnFixText")->currentText(), QStringLiteral("Fixtext 1 (alt)"));
    EXPECT_EQ(d->feld("inpEurKurs")->Text(), QStringLiteral("13,7603"));
    tabKlicken(d, 5);
    EXPECT_TRUE(d.schliessen());
    EXPECT_EQ(db.mandWert("SELECT MandMahnfixText FROM AllgMandDaten").toInt(), 0);  // the unknown code became 0
    EXPECT_EQ(db.mandWert("SELECT MandAnzMahnStu FROM AllgMandDaten").toInt(), 1);
    EXPECT_DOUBLE_EQ(db.mandWert("SELECT MandEurKurs FROM AllgMandDaten").toDouble(), 13.7603);
}

TEST(Listen, FelderSchuetzenMaskiert) {
    test::Datenbanken db;
    test::Dialog d(test::info(db));
    auto* schuetzen = d->findChild<QCheckBox*>("chkUVASchuetzen");
    auto* feld1 = d->findChild<QLineEdit*>("txtUVAFeld1");
    schuetzen->click();
    EXPECT_EQ(feld1->displayText(), QString(feld1->text().size(), QLatin1Char('*')));
    schuetzen->click();
    EXPECT_EQ(feld1->displayText(), QStringLiteral("gruber01"));
}

TEST(Tabreihenfolge, Seiten1Und5Und6) {
    test::Datenbanken db;
    test::Dialog d(test::info(db));
    tabKlicken(d, 5);
    EXPECT_TRUE(test::fokusAuf(d->feld("inpMaAnr(0)")));
    EXPECT_EQ(tabVon(20)->objectName(), QStringLiteral("inpMaAnr(20)"));
    EXPECT_EQ(tabVon(1)->objectName(), QStringLiteral("inpMaAnrKurz(0)"));

    tabKlicken(d, 6);
    d->feld("inpDebitSammelKoNr")->setFocus();
    ASSERT_TRUE(test::fokusAuf(d->feld("inpDebitSammelKoNr")));
    QStringList weg;
    for (int i = 0; i < 7; ++i) weg << tabVon(1)->objectName();
    EXPECT_EQ(weg, QStringList({"inpKreditSammelKoNr", "inpMandKonto30", "inpMandKonto12", "inpMandKonto13", "inpMandKonto7",
                                "inpMandKonto8", "inpMandKonto11"}));

    tabKlicken(d, 1);
    d->feld("inpMandAnschrift")->setFocus();
    ASSERT_TRUE(test::fokusAuf(d->feld("inpMandAnschrift")));
    weg.clear();
    for (int i = 0; i < 13; ++i) weg << tabVon(1)->objectName();
    EXPECT_EQ(weg, QStringList({"inpMandPlz", "inpMandNation", "inpMandOrt", "inpMandTelefonNr", "inpMandFaxNr", "cmbVoranmPeriode",
                                "inpSteuerNr", "inpReferat", "cmbFaNr", "inpMandDvr", "inpMandBagatellBetrag",
                                "inpMandMahnspesen", "inpMandUID"}));
}

TEST(Seitenwechsel, WaehrungsseiteOhneIndexseite) {
    test::Datenbanken db;
    test::Meldungen meldungen;
    auto info = test::info(db);
    info[2] = 1;
    info[61] = 1;
    test::Dialog d(info);
    EXPECT_FALSE(d->cmdNeuerKurs->isVisible());
    tabKlicken(d, 8);
    EXPECT_EQ(d->TabStrip1->currentIndex(), 6);
    EXPECT_TRUE(d->cmdNeuerKurs->isVisible());
    EXPECT_TRUE(test::fokusAuf(d->feld("inpWährungsBezLang(0)")));
    tabKlicken(d, 1);
    EXPECT_FALSE(d->cmdNeuerKurs->isVisible());
    EXPECT_TRUE(meldungen.texte.isEmpty()) << meldungen.texte.join('|').toStdString();
}
