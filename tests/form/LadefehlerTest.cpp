// A client database the dialog cannot fully use: a bound column missing, no row that can be
// loaded, no shared database, a tab asked for that does not exist. One report for the cause,
// nothing typed that could not be stored, and a dialog that closes.

#include "Hilfen.h"
#include "form/DbListe.h"
#include "form/InputFeld.h"
#include "form/TabStrip.h"

#include <QComboBox>
#include <QFile>
#include <QTest>
#include <gtest/gtest.h>

using namespace xov;
using test::tabKlicken;
using test::unterschiede;
using test::zeile;

// --- A bound column the database lacks -----------------------------------------------------

TEST(Spalten, FehlendeGebundeneSpalteMeldetUndSperrtDasFeld) {
    test::Datenbanken db(2024, {"MandCreditorID"});
    db.mandSql("INSERT INTO AllgMandDaten (MandName, MandAnschrift, MandPlz, MandOrt, MandFaxNr) VALUES ('Neu', 'Gasse 1', 1010, 'Wien', '')");
    test::Meldungen meldungen;
    test::Dialog d(test::info(db));
    ASSERT_EQ(meldungen.texte.size(), 1) << meldungen.texte.join('|').toStdString();
    EXPECT_TRUE(meldungen.texte.first().startsWith(QStringLiteral("Fehler-Nr: 3265")));
    EXPECT_TRUE(d.aufruf.Eingeschraenkt);
    tabKlicken(d, 2);
    EXPECT_FALSE(d->feld("inpMandCreditorID")->isEnabled());  // what is typed here could not be stored
    EXPECT_TRUE(d->feld("InputFeld2")->isEnabled());
}

TEST(Spalten, FehlendeCodespalteSperrtAuchIhreListe) {
    test::Datenbanken db(2024, {"MandVoranmPeriode"});
    db.mandSql("INSERT INTO AllgMandDaten (MandName, MandAnschrift, MandPlz, MandOrt, MandFaxNr) VALUES ('Neu', 'Gasse 1', 1010, 'Wien', '')");
    test::Meldungen meldungen;
    test::Dialog d(test::info(db));
    EXPECT_EQ(meldungen.texte.size(), 1);
    EXPECT_FALSE(d->liste("cmbVoranmPeriode")->isEnabled());
    EXPECT_TRUE(d.escape());
}

// --- A client row that cannot be loaded ----------------------------------------------------

class OhneZeile : public ::testing::TestWithParam<int> {};

TEST_P(OhneZeile, EinBerichtGesperrteFelderUndSofortZu) {
    test::Datenbanken db;
    auto info = test::info(db);
    const QString weg = db.ordner.filePath(QStringLiteral("fehlt.db"));
    switch (GetParam()) {
    case 0: info[0] = weg; break;
    case 1: {
        QFile f(weg);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(4096, 'x'));
        f.close();
        info[0] = weg;
        break;
    }
    default: db.mandSql("DROP TABLE AllgMandDaten"); break;
    }
    test::Meldungen meldungen;
    test::Dialog d(info);
    ASSERT_EQ(meldungen.texte.size(), 1) << meldungen.texte.join('|').toStdString();
    EXPECT_TRUE(meldungen.texte.first().startsWith(QStringLiteral("xovAllgError"))) << meldungen.texte.first().toStdString();
    EXPECT_FALSE(meldungen.texte.first().startsWith(QStringLiteral("xovAllgError 3021")));
    for (const char* name : {"inpMandOrt", "inpMandPlz", "inpMandAnschrift", "InputFeld2", "inpMaAnr(1)", "inpMandKonto30"})
        EXPECT_FALSE(d->feld(name)->isEnabled()) << name;
    EXPECT_FALSE(d->liste("cmbVoranmPeriode")->isEnabled());
    tabKlicken(d, 6);
    EXPECT_TRUE(d.escape());
    EXPECT_EQ(meldungen.texte.size(), 1) << meldungen.texte.join('|').toStdString();
    if (GetParam() == 0) {
        EXPECT_FALSE(QFile::exists(weg));
    }
}

INSTANTIATE_TEST_SUITE_P(FehlendeDateiKeineDatenbankFehlendeTabelle, OhneZeile, ::testing::Values(0, 1, 2));

TEST(OhneZeileTab, FehlendeGemeinsameDatenbankEinBericht) {
    test::Datenbanken db;
    auto info = test::info(db);
    info[1] = db.ordner.filePath(QStringLiteral("weg.db"));
    const QStringList vorher = zeile(db);
    test::Meldungen meldungen;
    {
        test::Dialog d(info);
        EXPECT_FALSE(d->cmbFaNr->isEnabled());  // no office to choose from
        EXPECT_TRUE(d.escape());
    }
    ASSERT_EQ(meldungen.texte.size(), 1) << meldungen.texte.join('|').toStdString();
    EXPECT_TRUE(meldungen.texte.first().startsWith(QStringLiteral("xovAllgError 3024"))) << meldungen.texte.first().toStdString();
    EXPECT_EQ(unterschiede(vorher, zeile(db)), QStringList());
    EXPECT_FALSE(QFile::exists(info[1].toString()));
}

TEST(OhneZeileTab, FehlendeWaehrungsseiteGibtFehler9UndSchliesst) {
    test::Datenbanken db;
    test::Meldungen meldungen;
    test::Dialog d(test::info(db), 7);  // the currency page was not asked for
    ASSERT_EQ(meldungen.texte.size(), 1) << meldungen.texte.join('|').toStdString();
    EXPECT_TRUE(meldungen.texte.first().startsWith(QStringLiteral("xovAllgError 9:"))) << meldungen.texte.first().toStdString();
    EXPECT_TRUE(d.escape());
    EXPECT_EQ(meldungen.texte.size(), 1);
}
