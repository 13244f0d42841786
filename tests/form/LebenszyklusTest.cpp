// Loading and closing the dialog on real databases; message boxes answered for real.

#include "Hilfen.h"
#include "services/DbVerbindung.h"
#include "form/DbListe.h"
#include "form/InputFeld.h"
#include "form/TabStrip.h"
#include "platform/Datenquelle.h"
#include "platform/Komponenten.h"
#include "platform/Variant.h"

#include <QComboBox>
#include <QDesktopServices>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

using namespace xov;

namespace {
QStringList tabTitel(const test::Dialog& d) {
    QStringList t;
    for (int i = 0; i < d->TabStrip1->count(); ++i) t << d->TabStrip1->tabText(i);
    return t;
}
}  // namespace

TEST(Laden, NormalerMandantUndSeiten) {
    test::Datenbanken db;
    test::Meldungen meldungen;
    test::Dialog d(test::info(db));
    EXPECT_TRUE(meldungen.texte.isEmpty()) << meldungen.texte.join('|').toStdString();
    EXPECT_TRUE(d.aufruf.FormBereit);
    EXPECT_EQ(d->windowTitle(), QStringLiteral("Mandanten-Stammdaten"));
    EXPECT_EQ(d->feld("inpMandOrt")->text(), QStringLiteral("Wien"));
    EXPECT_EQ(d->feld("inpMandMahnspesen")->text(), QStringLiteral("12,50"));
    EXPECT_EQ(d->feld("inpMaAnrKurz(3)")->text(), QStringLiteral("Fam."));  // bound to "MandAnrkurz3"
    EXPECT_EQ(d->feld("inpIndBezLang(0)")->text(), QStringLiteral("Verbraucherpreisindex 2020"));
    EXPECT_EQ(d->findChild<QLabel*>("lblVersionsNr")->text(), QStringLiteral("7.31"));
    EXPECT_EQ(d->findChild<QLabel*>("lblAuswahlMonStatus")->text(), QStringLiteral("03.2024"));
    EXPECT_EQ(d->cmbFaNr->currentText(), QStringLiteral("Finanzamt Wien 4/5/10"));
    EXPECT_EQ(tabTitel(d), QStringList({"Anschrift", "Mand-Stamm 2", "Mand-Stamm 3", "Mand-Stamm 4", "Anreden",
                                        "KontoZuord", "IndexBez"}));
    // Hidden page 4 and frame 6 still carry their bound values.
    EXPECT_FALSE(d->findChild<QWidget*>("Frame6")->isVisibleTo(d.form.get()));
    EXPECT_FALSE(d->feld("inpEurKurs")->isVisibleTo(d.form.get()));
    EXPECT_EQ(d->feld("inpEurKurs")->text(), QStringLiteral("13,7603"));
    EXPECT_EQ(d->findChild<QLineEdit*>("txtUVAFeld1")->text(), QStringLiteral("gruber01"));
    EXPECT_EQ(d->findChild<QLineEdit*>("txtUVAFeld2")->maxLength(), 8);
}

TEST(Laden, TabsMitUndOhneIndexUndWaehrung) {
    test::Datenbanken db;
    auto info = test::info(db);
    info[2] = 1;
    info[61] = 1;
    {
        test::Meldungen meldungen;
        test::Dialog d(info);
        EXPECT_EQ(tabTitel(d).size(), 7);
        EXPECT_EQ(tabTitel(d).last(), QStringLiteral("Fremdwährung"));  // the seventh tab, no error report
        EXPECT_EQ(d->TabStrip1->seiteAn(6), 8);
        EXPECT_TRUE(meldungen.texte.isEmpty()) << meldungen.texte.join('|').toStdString();
    }
    info[2] = 0;
    test::Dialog d(info);
    EXPECT_EQ(tabTitel(d).size(), 8);
    EXPECT_EQ(tabTitel(d).at(6), QStringLiteral("IndexBez"));
}

TEST(Laden, LeererBestandLegtEinenSatzAn) {
    test::Datenbanken db;
    db.mandSql("DELETE FROM AllgMandDaten");
    test::Meldungen meldungen;
    {
        test::Dialog d(test::info(db));
        ASSERT_EQ(meldungen.texte, QStringList{"Der MandantenDatenbestand ist komplett leer"});
        EXPECT_EQ(meldungen.titel.first(), QStringLiteral("Hinweis auf leeren Datdenbestand"));
        EXPECT_EQ(db.mandWert("SELECT count(*) FROM AllgMandDaten").toInt(), 1);
        EXPECT_EQ(d->feld("inpMandDvr")->text(), QStringLiteral("0"));
    }
    test::Dialog d(test::info(db));
    EXPECT_EQ(meldungen.texte.size(), 1);  // once only
}

TEST(Laden, FehlendeSpalteZeigtStrukturhinweisUndSchraenktEin) {
    test::Datenbanken db(2024, {"MandFaxNr"});
    db.mandSql("INSERT INTO AllgMandDaten (MandName, MandOrt) VALUES ('Alt', 'Linz')");
    db.faSql("INSERT INTO AllgFaDaten (FaNummer, FaName) VALUES (29, 'Finanzamt Linz')");
    test::Meldungen meldungen;
    test::Dialog d(test::info(db));
    ASSERT_EQ(meldungen.texte.size(), 1) << meldungen.texte.join('|').toStdString();
    EXPECT_EQ(meldungen.titel.first(), QStringLiteral("unkomplette Datenbanktabelle:"));
    EXPECT_TRUE(meldungen.texte.first().startsWith(QStringLiteral("Fehler-Nr: 3265\n\nDie Datenbank-Struktur wurde für die Verarbeitung "
                                                                  "in diesem Programm wurde um 1 oder mehrere Daten-Felder erweitert")));
    EXPECT_TRUE(meldungen.texte.first().endsWith(QStringLiteral("\"Hilfsprogramme\",\"Diverse DatenbankHilfsfunktionen\" \n"
                                                                "die Auswahl: \"alle neuen Felder abrufen\" durch.\n\n"
                                                                "Anschließend können Sie diese Verarbeitung problemlos starten.")));
    EXPECT_TRUE(d.aufruf.Eingeschraenkt);
    EXPECT_EQ(d->feld("inpMandOrt")->text(), QStringLiteral("Linz"));
}

TEST(Laden, NullWerteUndPlatzhalterFinanzamt) {
    test::Datenbanken db;
    db.mandSql("UPDATE AllgMandDaten SET MandDvr = NULL, MandFaxNr = NULL");
    db.faSql("DELETE FROM AllgFaDaten WHERE FaNummer = 0");
    test::Meldungen meldungen;
    test::Dialog d(test::info(db));
    EXPECT_TRUE(meldungen.texte.isEmpty()) << meldungen.texte.join('|').toStdString();  // a client without fax is no failure
    EXPECT_EQ(d->feld("inpMandDvr")->text(), QStringLiteral("0"));
    EXPECT_EQ(d->feld("inpMandFaxNr")->text(), QString());
    EXPECT_EQ(db.faWert("SELECT FaName FROM AllgFaDaten WHERE FaNummer = 0").toString(), QStringLiteral(" keine Definition"));
    EXPECT_EQ(d->cmbFaNr->itemText(0), QStringLiteral(" keine Definition"));
}

TEST(Laden, LeereFinanzamtsTabelleBleibtLeer) {
    test::Datenbanken db;
    db.faSql("DELETE FROM AllgFaDaten");
    test::Dialog d(test::info(db));
    EXPECT_EQ(db.faWert("SELECT count(*) FROM AllgFaDaten").toInt(), 0);
    EXPECT_EQ(d->cmbFaNr->count(), 0);
}

TEST(Laden, WaehrungsStartmodus) {
    test::Datenbanken db;
    auto info = test::info(db);
    info[61] = 1;
    test::Dialog d(info, 7);
    EXPECT_EQ(d->TabStrip1->aktuelleSeite(), 8);
    EXPECT_FALSE(d->fraUntererTeil->isVisible());
    EXPECT_EQ(d.aufruf.TabStripNr, 0);
    EXPECT_TRUE(d.aufruf.FormBereit);
    EXPECT_FALSE(d->MAData->hatRecordset());  // the client record is not loaded
    EXPECT_TRUE(d.schliessen());
}

TEST(Schliessen, LangeGespeicherteTexteBleibenUnverkuerzt) {
    test::Datenbanken db;
    const QString lang = QStringLiteral("Sankt Johann im Pongau, Ortsteil Plankenau-Süd");  // 47 characters
    db.mandSql("UPDATE AllgMandDaten SET MandOrt = ?, MandUVAID2 = ?", {lang, QStringLiteral("zwoelfzeichn")});
    test::Dialog d(test::info(db));
    EXPECT_EQ(d->feld("inpMandOrt")->text(), lang);
    EXPECT_TRUE(d.schliessen());
    EXPECT_EQ(db.mandWert("SELECT MandOrt FROM AllgMandDaten").toString(), lang);
    EXPECT_EQ(db.mandWert("SELECT MandUVAID2 FROM AllgMandDaten").toString(), QStringLiteral("zwoelfzeichn"));
}

class Schliessen : public ::testing::TestWithParam<int> {};

TEST_P(Schliessen, EingabeErreichtDieDatenbank) {
    test::Datenbanken db;
    test::Dialog d(test::info(db));
    InputFeld* ort = d->feld("inpMandOrt");
    ort->setFocus();
    ASSERT_TRUE(test::fokusAuf(ort));
    ort->selectAll();
    QTest::keyClicks(ort, "Graz");
    QTest::keyClick(ort, Qt::Key_Tab);
    bool zu = false;
    switch (GetParam()) {
    case 0: zu = d.escape(); break;
    case 1: QTest::mouseClick(d->cmdBeenden, Qt::LeftButton); QApplication::processEvents(); zu = !d->isVisible(); break;
    default: zu = d.schliessen(); break;
    }
    EXPECT_TRUE(zu);
    EXPECT_EQ(db.mandWert("SELECT MandOrt FROM AllgMandDaten").toString(), QStringLiteral("Graz"));
    EXPECT_EQ(db.mandWert("SELECT MandPlz FROM AllgMandDaten").toInt(), 1060);  // the rest as it was
}
INSTANTIATE_TEST_SUITE_P(EscapeBeendenSchliessfeld, Schliessen, ::testing::Values(0, 1, 2));

TEST(Schliessen, FehlgeschlagenesSchreibenHaeltDenDialogOffen) {
    XOV_NUR_DATEI("eine Datei, die ein zweiter Prozess exklusiv hält");
    test::Datenbanken db;
    test::Meldungen meldungen;
    test::Dialog d(test::info(db));
    InputFeld* anschrift = d->feld("inpMandAnschrift");
    QTest::mouseClick(anschrift, Qt::LeftButton);
    anschrift->selectAll();
    QTest::keyClicks(anschrift, "Neubaugasse 7");
    {
        test::Sperre sperre(db.mand, QStringLiteral("lagerbestand4"));
        ASSERT_TRUE(sperre.aktiv());
        EXPECT_FALSE(d.schliessen());
        ASSERT_EQ(meldungen.texte.size(), 1);
        EXPECT_TRUE(meldungen.texte.first().startsWith(QStringLiteral("xovAllgError 3704:"))) << meldungen.texte.first().toStdString();
        EXPECT_EQ(d->feld("inpMandAnschrift")->text(), QStringLiteral("Neubaugasse 7"));
    }
    EXPECT_TRUE(d.schliessen());  // closing again retries
    EXPECT_EQ(db.mandWert("SELECT MandAnschrift FROM AllgMandDaten").toString(), QStringLiteral("Neubaugasse 7"));
}

TEST(Fehlerbericht, FehlerBeimLadenMitUndOhneFehlerkomponente) {
    test::Datenbanken db;
    auto info = test::info(db);
    info[1] = db.ordner.filePath("fehlt.db");
    {
        test::Meldungen meldungen;
        test::Dialog d(info);
        ASSERT_GE(meldungen.texte.size(), 1);
        EXPECT_EQ(meldungen.texte.first(), QStringLiteral("xovAllgError 3024: Datei nicht gefunden (%1) @ XovMandStamm, in Form_Load")
                                               .arg(info[1].toString()));
        EXPECT_TRUE(d.aufruf.KomponentenName.isEmpty());
        EXPECT_EQ(d->feld("inpMandOrt")->text(), QStringLiteral("Wien"));  // loading went on
    }
    QTemporaryDir leer;
    setzePluginOrdner(leer.path());
    test::Meldungen meldungen;
    test::Dialog d(info);
    setzePluginOrdner({});
    ASSERT_GE(meldungen.texte.size(), 1);
    for (const QString& t : meldungen.texte)  // each box also says what went wrong
        EXPECT_TRUE(t.startsWith(QStringLiteral("das allgem. Fehlermeldungsprogramm xovAllgError konnte nicht aufgerufen werden\n\nFehler ")))
            << t.toStdString();
    EXPECT_TRUE(meldungen.texte.first().contains(QStringLiteral("Fehler 3024: Datei nicht gefunden (%1)\nStelle: XovMandStamm, in Form_Load")
                                                     .arg(info[1].toString())));
    EXPECT_EQ(meldungen.titel.first(), QStringLiteral("xopMandStamm"));
}

class UrlFaenger : public QObject {
    Q_OBJECT
public:
    QList<QUrl> urls;
public Q_SLOTS:
    void oeffnen(const QUrl& url) { urls << url; }
};

TEST(Hilfe, MeldungenUndKontext) {
    test::Datenbanken db;
    auto info = test::info(db);
    UrlFaenger faenger;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &faenger, "oeffnen");
    {
        test::Meldungen meldungen;
        test::Dialog d(info);
        QTest::mouseClick(d->cmdHilfe, Qt::LeftButton);
        ASSERT_EQ(meldungen.texte.size(), 1);
        EXPECT_EQ(meldungen.texte.first(), QStringLiteral("Die Definition für den App.Helpfile = leer\nEs kann keine Onlinehilfe angezeigt werden !"));
    }
    info[7] = db.ordner.filePath("hilfe.html");
    {
        test::Meldungen meldungen;
        test::Dialog d(info);
        QTest::mouseClick(d->cmdHilfe, Qt::LeftButton);
        ASSERT_EQ(meldungen.texte.size(), 1);
        EXPECT_EQ(meldungen.texte.first(), QStringLiteral("Die Hilfedatei (App.HelpFile) %1 ist nicht auffindbar.\nEs kann keine Onlinehilfe angezeigt werden !")
                                               .arg(info[7].toString()));
    }
    EXPECT_TRUE(faenger.urls.isEmpty());
    QFile f(info[7].toString());
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    QVariantList ids(201, 0);
    ids[15] = 4711;
    info[60] = ids;
    test::Meldungen meldungen;
    test::Dialog d(info);
    d->feld("inpMandOrt")->setFocus();
    ASSERT_TRUE(test::fokusAuf(d->feld("inpMandOrt")));
    QTest::keyClick(d->feld("inpMandOrt"), Qt::Key_F1);
    ASSERT_EQ(faenger.urls.size(), 1);
    EXPECT_EQ(faenger.urls.first().fragment(), QStringLiteral("4711"));
    EXPECT_EQ(faenger.urls.first().toLocalFile(), info[7].toString());
    EXPECT_TRUE(meldungen.texte.isEmpty());
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
}

#include "LebenszyklusTest.moc"
