// Loading and closing the dialog on real databases, message boxes answered for real; and a
// client database the dialog cannot fully use: a bound column missing, no row that can be
// loaded, no shared database. One report for the cause, nothing typed that could not be stored,
// and a dialog that closes.

#include "Hilfen.h"
#include "form/DbListe.h"
#include "form/InputFeld.h"
#include "form/TabStrip.h"
#include "platform/Komponenten.h"

// A client without fax, with codes the lists do not know and no euro rate, and a shared
// database without the placeholder office: no failure but the unknown period, reported once and
// switching nothing; the placeholder is created again, and closing writes the fixed rate and the
// unknown reminder code as 0. Without an index page the currency is the seventh tab. Started on
// the currency page: the focus in the first currency's name, no client row loaded, nothing to
// type into, and the pages can be looked through and the dialog closed without a word (without
// the currency page asked for: OhneZeile). Last, an empty client table: one row is created,
// with a message the first time only.
TEST(Laden, LueckenUnbekannteCodesLeererBestandUndWaehrungsstart) {
    test::Datenbanken db;
    db.mandSql("UPDATE AllgMandDaten SET MandFaxNr = NULL, MandVoranmPeriode = 7, MandAnzMahnStu = 1, MandMahnfixText = 5, "
               "MandEurKurs = 0");
    db.faSql("DELETE FROM AllgFaDaten WHERE FaNummer = 0");
    test::Meldungen meldungen;
    {
        test::Dialog d(test::info(db, {.waehrung = true, .ohneIndex = true}));
        ASSERT_EQ(meldungen.texte, QStringList{"ungültiger Wert inpVoranmPeriode.Text"});
        EXPECT_TRUE(d->feld("inpSteuerNr")->isEnabled());  // the code is not 0
        EXPECT_EQ(d->feld("inpMandMahnspesen")->text(), QStringLiteral("12,50"));
        EXPECT_EQ(d->findChild<QLabel*>("lblAuswahlMonStatus")->text(), QStringLiteral("03.2024"));
        EXPECT_EQ(d->cmbFaNr->currentText(), QStringLiteral("Finanzamt Wien 4/5/10"));
        EXPECT_EQ(db.faWert("SELECT FaName FROM AllgFaDaten WHERE FaNummer = 0").toString(), QStringLiteral(" keine Definition"));
        test::tabKlicken(d, 4);
        EXPECT_EQ(d->liste("cmbAnzMahnStu")->currentText(), QStringLiteral("Mahn bis Mahnst. 2"));
        EXPECT_EQ(d->feld("inpEurKurs")->Text(), QStringLiteral("13,7603"));
        ASSERT_EQ(d->TabStrip1->count(), 7);
        test::tabKlicken(d, 8);
        EXPECT_EQ(d->TabStrip1->currentIndex(), 6);
        EXPECT_TRUE(d->cmdNeuerKurs->isVisible());
        EXPECT_TRUE(d.schliessen());
        EXPECT_EQ(test::gespeichert(db.mand, "SELECT MandMahnfixText, MandAnzMahnStu, MandEurKurs, MandFaxNr FROM AllgMandDaten"),
                  QStringLiteral("0|1|13.7603|NULL"));
    }
    {
        test::Dialog d(test::info(db, {.waehrung = true}), 7);
        auto* name = d->feld(QStringLiteral("inpWährungsBezLang(0)"));
        ASSERT_TRUE(test::fokusAuf(name));
        EXPECT_EQ(name->selectedText(), name->text());
        EXPECT_EQ(d->TabStrip1->aktuelleSeite(), 8);
        EXPECT_FALSE(d->cmdBeenden->isVisible());
        EXPECT_EQ(d.aufruf.TabStripNr, 0);
        test::tabKlicken(d, 1);
        EXPECT_FALSE(d->feld("inpMandOrt")->isEnabled());
        EXPECT_EQ(d->feld("inpMandOrt")->text(), QString());  // no client row loaded
        test::tabKlicken(d, 2);
        EXPECT_EQ(d->TabStrip1->aktuelleSeite(), 2);
        EXPECT_TRUE(d.escape());
        EXPECT_EQ(meldungen.texte.size(), 1) << meldungen.alle();
    }
    db.mandSql("DELETE FROM AllgMandDaten");
    test::Dialog{test::info(db)};
    EXPECT_EQ(meldungen.texte.mid(1), QStringList{"Der MandantenDatenbestand ist komplett leer"});
    EXPECT_EQ(db.mandWert("SELECT count(*) FROM AllgMandDaten").toInt(), 1);
    test::Dialog{test::info(db)};  // opened and closed again: no second message
    EXPECT_EQ(meldungen.texte.size(), 2) << meldungen.alle();
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

// --- Loading failures ------------------------------------------------------------------------

// An older database lacks a column: the structure hint once, restricted mode, and the field of
// that column (or the list of that code) locked, for what is typed there could not be stored.
// Without the booking year page 3 offers no field: its tab clicked from a field of page 1 leaves
// the focus on the tab strip, where the arrow keys choose the next page, not on the bare frame.
TEST(Spalten, FehlendeSpalteMeldetSchraenktEinUndSperrtIhrFeld) {
    for (auto [spalte, feld] : {std::pair{"MandCreditorID", "inpMandCreditorID"}, {"MandVoranmPeriode", "cmbVoranmPeriode"},
                                {"MandBuchjahr", "inpMandBuchjahr"}}) {
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
        if (spalte == std::string("MandBuchjahr")) {
            test::aktivieren(d.form.get());
            test::tippen(d->feld("inpMandOrt"), "Wels");
            test::tabKlicken(d, 3);
            EXPECT_EQ(QApplication::focusWidget(), d->TabStrip1) << QApplication::focusWidget()->objectName().toStdString();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
            EXPECT_EQ(d->TabStrip1->aktuelleSeite(), 4);
        }
        EXPECT_TRUE(d.escape());
        EXPECT_EQ(meldungen.texte.size(), 1) << meldungen.alle();
    }
}

// --- A client row that cannot be loaded ----------------------------------------------------

// The client database missing, no database, without its table; or started on the currency page
// that the call did not ask for.
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
        ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write(QByteArray(4096, 'x')) == 4096);
        info[0] = weg;
    }
    if (fall == "FehlendeTabelle") db.mandSql("DROP TABLE AllgMandDaten");
    test::Meldungen meldungen;
    test::Dialog d(info, fall == "OhneWaehrungsseiteGestartet" ? 7 : 0);
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

INSTANTIATE_TEST_SUITE_P(Faelle, OhneZeile, ::testing::Values("FehlendeDatei", "KeineDatenbank", "FehlendeTabelle", "OhneWaehrungsseiteGestartet"),
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
    xov::setzePluginOrdner(leer.path());
    test::Meldungen meldungen;
    test::Dialog d(info);
    xov::setzePluginOrdner({});
    ASSERT_EQ(meldungen.texte.size(), 1);
    EXPECT_TRUE(meldungen.texte.first().contains(QStringLiteral("Fehler ") + ursache)) << meldungen.alle();
}
