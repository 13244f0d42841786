// A client database the dialog cannot fully use: a bound column missing, no row that can be
// loaded, no shared database, a tab asked for that does not exist. One report for the cause,
// nothing typed that could not be stored, and a dialog that closes.

#include "Hilfen.h"
#include "form/DbListe.h"
#include "form/InputFeld.h"
#include "form/TabStrip.h"
#include "platform/Komponenten.h"

#include <QComboBox>
#include <QFile>
#include <QTest>
#include <gtest/gtest.h>

using namespace xov;

// An older database lacks a column: the structure hint once, restricted mode, and the field of
// that column (or the list of that code) locked, for what is typed there could not be stored.
TEST(Spalten, FehlendeSpalteMeldetSchraenktEinUndSperrtIhrFeld) {
    for (auto [spalte, feld] : {std::pair{"MandCreditorID", "inpMandCreditorID"}, {"MandVoranmPeriode", "cmbVoranmPeriode"}}) {
        test::Datenbanken db(2024, {spalte});
        db.mandSql("INSERT INTO AllgMandDaten (MandName, MandAnschrift, MandPlz, MandOrt, MandFaxNr) VALUES ('Alt', 'Gasse 1', 4020, 'Linz', '')");
        test::Meldungen meldungen;
        test::Dialog d(test::info(db));
        ASSERT_EQ(meldungen.texte.size(), 1) << meldungen.alle();
        EXPECT_TRUE(meldungen.texte.first().startsWith(QStringLiteral("Fehler-Nr: 3265"))) << meldungen.alle();
        EXPECT_TRUE(d.aufruf.Eingeschraenkt);
        EXPECT_EQ(d->feld("inpMandOrt")->text(), QStringLiteral("Linz"));
        EXPECT_FALSE(d->steuerelement(feld)->isEnabled()) << feld;
        EXPECT_TRUE(d->feld("InputFeld2")->isEnabled());
        EXPECT_TRUE(d.escape());
    }
}

// --- A client row that cannot be loaded ----------------------------------------------------

class OhneZeile : public ::testing::TestWithParam<const char*> {};

TEST_P(OhneZeile, EinBerichtGesperrteFelderUndSofortZu) {
    test::Datenbanken db;
    auto info = test::info(db);
    const QString weg = db.ordner.filePath(QStringLiteral("fehlt.db"));
    const std::string fall = GetParam();
    if (fall == "FehlendeDatei") info[0] = weg;
    if (fall == "KeineDatenbank") {
        XOV_NUR_DATEI("eine Datei, die keine Datenbank ist");
        QFile f(weg);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(4096, 'x'));
        f.close();
        info[0] = weg;
    }
    if (fall == "FehlendeTabelle") db.mandSql("DROP TABLE AllgMandDaten");
    test::Meldungen meldungen;
    test::Dialog d(info);
    ASSERT_EQ(meldungen.texte.size(), 1) << meldungen.alle();
    EXPECT_TRUE(meldungen.texte.first().startsWith(QStringLiteral("xovAllgError"))) << meldungen.alle();
    EXPECT_FALSE(meldungen.texte.first().startsWith(QStringLiteral("xovAllgError 3021")));
    for (const char* name : {"inpMandOrt", "inpMandPlz", "InputFeld2", "inpMaAnr(1)", "inpMandKonto30", "cmbVoranmPeriode"})
        EXPECT_FALSE(d->steuerelement(name)->isEnabled()) << name;
    test::tabKlicken(d, 6);
    EXPECT_TRUE(d.escape());
    EXPECT_EQ(meldungen.texte.size(), 1) << meldungen.alle();
    EXPECT_FALSE(fall == "FehlendeDatei" && QFile::exists(weg));
}

INSTANTIATE_TEST_SUITE_P(Faelle, OhneZeile, ::testing::Values("FehlendeDatei", "KeineDatenbank", "FehlendeTabelle"),
                         [](const auto& info) { return std::string(info.param); });

// No shared database: one report, in the error window naming the dialog's help topic, or in a
// message box when the error component is missing; loading goes on, no office to choose from, and
// the client row stays as it was.
TEST(OhneZeileTab, FehlendeGemeinsameDatenbankEinBerichtMitUndOhneFehlerkomponente) {
    test::Datenbanken db;
    auto info = test::info(db);
    info[1] = db.fehlend();
    info[7] = db.ordner.filePath(QStringLiteral("hilfe.html"));
    QFile(info[7].toString()).open(QIODevice::WriteOnly);
    QVariantList ids(201, 0);
    ids[15] = 4711;
    info[60] = ids;
    const QStringList vorher = test::zeile(db);
    QString ursache;
    {
        test::Meldungen meldungen;
        test::Dialog d(info);
        EXPECT_EQ(d->feld("inpMandOrt")->text(), QStringLiteral("Wien"));  // loading went on
        EXPECT_FALSE(d->cmbFaNr->isEnabled());
        EXPECT_TRUE(d.escape());
        ASSERT_EQ(meldungen.texte.size(), 1) << meldungen.alle();
        const QString ende = QStringLiteral(" @ XovMandStamm, in Form_Load ? %1#4711").arg(info[7].toString());
        const QString bericht = meldungen.texte.first();
        ASSERT_TRUE(bericht.startsWith("xovAllgError ") && bericht.endsWith(ende)) << meldungen.alle();
        ursache = bericht.mid(13).chopped(ende.size());
    }
    EXPECT_EQ(test::unterschiede(vorher, test::zeile(db)), QStringList());
    QTemporaryDir leer;
    setzePluginOrdner(leer.path());
    test::Meldungen meldungen;
    test::Dialog d(info);
    setzePluginOrdner({});
    ASSERT_EQ(meldungen.texte.size(), 1);
    EXPECT_TRUE(meldungen.texte.first().contains(QStringLiteral("Fehler ") + ursache)) << meldungen.alle();
}

TEST(OhneZeileTab, FehlendeWaehrungsseiteGibtFehler9UndSchliesst) {
    test::Datenbanken db;
    test::Meldungen meldungen;
    test::Dialog d(test::info(db), 7);  // the currency page was not asked for
    ASSERT_EQ(meldungen.texte.size(), 1) << meldungen.alle();
    EXPECT_TRUE(meldungen.texte.first().startsWith(QStringLiteral("xovAllgError 9:"))) << meldungen.alle();
    EXPECT_TRUE(d.escape());
    EXPECT_EQ(meldungen.texte.size(), 1);
}
