// `xov-db kopieren` run as the administrator runs it, as a process: a client and the shared tables
// from a file to the test server and back, every row compared; a target that is not new or empty
// is refused, and a failure part-way leaves every target as it was.

#include "tools/WerkzeugHilfen.h"
#include "platform/Fehlerhilfe.h"

using test::Lauf;
using test::xovDb;
using namespace test::werkzeug;

namespace {

QString anzahl(const QString& db, const char* tabelle) {
    return test::gespeichert(db, QStringLiteral("SELECT count(*) FROM %1").arg(QLatin1String(tabelle)));
}

}  // namespace

TEST(XovDbKopieren, DateiAufServerUndZurueckBehaeltJedenWert) {
    XOV_SERVER_NOETIG(test::Engine::Server);
    test::Datenbanken db(test::Engine::Datei);
    // Values that a careless copy changes: fractions, integers beyond a double's precision,
    // quotes, umlauts, line breaks, Null.
    db.faSql("INSERT INTO AllgWaehrung (WID, Waehrungscode, WaehrungscodeBezeichnung, Laenderkennzeichen, AenderDatum, "
             "EuroinFremd, FremdinEuro) VALUES (9, 'X''Y', 'Ä\"ß € \n zweite Zeile', NULL, '2099-12-31', ?, ?)",
             {0.1 + 0.2, 1.0 / 3.0});
    db.faSql("INSERT INTO AllgFaDaten (FaNummer, FaName, FaNummerAlt, FaPlz) VALUES (9007199254740993, '  Leerzeichen  ', NULL, -1)");
    db.mandSql("INSERT INTO ObjKanzleiKontenstamm (KontoJJ, KontoNr, KontoBezeichnung) VALUES (2024, '0001', '')");
    test::Serverdatenbanken s;
    const QString mandS = s.neu("mand"), faS = s.neu("fa");
    Lauf l = xovDb({"kopieren", db.mand, mandS, db.fa, faS});
    ASSERT_EQ(l.status, 0) << l.fehler.toStdString();
    EXPECT_TRUE(l.aus.contains(QStringLiteral("AllgMandDaten: 1 Datensatz kopiert"))) << l.aus.toStdString();
    EXPECT_TRUE(l.aus.contains(QStringLiteral("ObjKanzleiKontenstamm: %1 Datensätze kopiert").arg(anzahl(db.mand, "ObjKanzleiKontenstamm"))));
    EXPECT_EQ(daten(mandS), daten(db.mand));
    EXPECT_EQ(daten(faS), daten(db.fa));

    // Back into new files.
    const QString mandD = db.ordner.filePath("zurueck-mandant.db"), faD = db.ordner.filePath("zurueck-gemeinsam.db");
    l = xovDb({"kopieren", mandS, mandD, faS, faD});
    ASSERT_EQ(l.status, 0) << l.fehler.toStdString();
    EXPECT_EQ(daten(mandD), daten(db.mand));
    EXPECT_EQ(daten(faD), daten(db.fa));
}

// Targets the copy refuses, each named, each as it was: one with data, a shared database for a
// client database, one of an older version without a column, and where the comparison after the
// copy finds a value the target changed.
TEST(XovDbKopieren, AbgewieseneZieleBleibenWieSieWaren) {
    XOV_SERVER_NOETIG(test::Engine::Server);
    test::Datenbanken quelle(test::Engine::Datei, 2023);
    test::Datenbanken ziel(test::Engine::Server, 2024);
    ziel.mandSql("DELETE FROM ObjKanzleiKontenstamm");  // one filled table is enough to refuse
    const QStringList mandVorher = inhalt(ziel.mand);
    Lauf l = xovDb({"kopieren", quelle.mand, ziel.mand});
    EXPECT_EQ(l.status, 1);
    EXPECT_TRUE(l.fehler.contains(ziel.mand)) << l.fehler.toStdString();
    EXPECT_TRUE(l.fehler.contains(QStringLiteral("enthält bereits Daten (Tabelle AllgMandDaten)"))) << l.fehler.toStdString();
    EXPECT_EQ(inhalt(ziel.mand), mandVorher);

    ziel.faSql("DELETE FROM AllgFaDaten");
    ziel.faSql("DELETE FROM AllgWaehrung");
    l = xovDb({"kopieren", quelle.mand, ziel.fa});
    EXPECT_EQ(l.status, 1);
    EXPECT_TRUE(l.fehler.contains(QStringLiteral("ist keine Mandanten-Datenbank der Anwendung"))) << l.fehler.toStdString();
    EXPECT_TRUE(inhalt(ziel.fa).isEmpty());

    test::Datenbanken alt(test::Engine::Server, 2024, {"MandFaxNr"});
    l = xovDb({"kopieren", quelle.mand, alt.mand});
    EXPECT_EQ(l.status, 1);
    EXPECT_TRUE(l.fehler.contains(QStringLiteral("Tabelle AllgMandDaten: dem Ziel fehlt die Spalte MandFaxNr"))) << l.fehler.toStdString();
    EXPECT_EQ(inhalt(alt.mand), QStringList());

    // The server keeps a date without the time the file held.
    quelle.faSql("INSERT INTO AllgWaehrung (WID, Waehrungscode, AenderDatum, EuroinFremd, FremdinEuro) "
                 "VALUES (7, 'SEK', '2020-03-01 10:30', 11.42, 0.0876)");
    test::Serverdatenbanken s;
    const QString faS = s.neu("fa");
    l = xovDb({"kopieren", quelle.fa, faS});
    EXPECT_EQ(l.status, 1);
    EXPECT_TRUE(l.fehler.contains(QStringLiteral("Tabelle AllgWaehrung: ein Datensatz stimmt nach dem Kopieren nicht überein, "
                                                 "Spalte AenderDatum: gelesen Text „2020-03-01 10:30“, im Ziel Datum 01.03.2020")))
        << l.fehler.toStdString();
    EXPECT_FALSE(vorhanden(faS));

    // A file stores the server's NaN as Null: the new file goes again.
    ziel.faSql("INSERT INTO AllgWaehrung (WID, Waehrungscode, AenderDatum, EuroinFremd, FremdinEuro) "
               "VALUES (3, 'GBP', '2024-01-02', 'NaN', 1.1)");
    const QString datei = quelle.ordner.filePath("vom-server.db");
    l = xovDb({"kopieren", ziel.fa, datei});
    EXPECT_EQ(l.status, 1);
    EXPECT_TRUE(l.fehler.contains(QStringLiteral("Tabelle AllgWaehrung: ein Datensatz stimmt nach dem Kopieren nicht überein, "
                                                 "Spalte EuroinFremd: gelesen keine Zahl (NaN), im Ziel leer (Null)")))
        << l.fehler.toStdString();
    EXPECT_TRUE(l.fehler.contains(QStringLiteral("Die Datei %1 war in diesem Lauf angelegt und ist wieder entfernt.").arg(datei)));
    EXPECT_EQ(QDir(quelle.ordner.path()).entryList(QDir::Files | QDir::Hidden).filter(QStringLiteral("vom-server")), QStringList());
}

TEST(XovDbKopieren, FehlerMittendrinLaesstJedesZielWieEsWar) {
    XOV_SERVER_NOETIG(test::Engine::Server);
    test::Datenbanken quelle(test::Engine::Datei);
    // The file takes a word in an integer column; the server refuses it. The shared tables come
    // second, so the client database is already copied when the failure comes.
    quelle.faSql("INSERT INTO AllgFaDaten (FaNummer, FaName) VALUES ('zwölf', 'Finanzamt Tippfehler')");
    test::Serverdatenbanken s;
    const QString mandS = s.neu("mand"), faS = s.neu("fa");
    ASSERT_EQ(xovDb({"anlegen", mandS, faS}).status, 0);
    Lauf l = xovDb({"kopieren", quelle.mand, mandS, quelle.fa, faS});
    EXPECT_EQ(l.status, 1);
    EXPECT_TRUE(l.fehler.contains(QStringLiteral("fehlgeschlagen, Tabelle AllgFaDaten: Fehler 13"))) << l.fehler.toStdString();
    EXPECT_TRUE(l.fehler.contains(QStringLiteral("Die Datenbank %1 bleibt, wie sie war.").arg(mandS))) << l.fehler.toStdString();
    EXPECT_EQ(anzahl(mandS, "AllgMandDaten"), "0");
    EXPECT_EQ(anzahl(mandS, "ObjKanzleiKontenstamm"), "0");
    EXPECT_EQ(anzahl(faS, "AllgFaDaten"), "0");

    // A new target that this run created is removed again; an empty one an administrator created
    // stays, empty, and is used by the next run.
    const QString mandLeer = s.neu("admmand"), faNeu = s.neu("faneu");
    xov::verbindungOeffnen(test::testServer() + QStringLiteral("postgres"), xov::DbPasswort)
        ->ausfuehren(QStringLiteral("CREATE DATABASE ") + xov::bezeichner(mandLeer.section(u'/', -1)));
    l = xovDb({"kopieren", quelle.mand, mandLeer, quelle.fa, faNeu});
    EXPECT_EQ(l.status, 1);
    EXPECT_TRUE(l.fehler.contains(QStringLiteral("war vor diesem Lauf leer oder nicht vorhanden und ist es wieder"))) << l.fehler.toStdString();
    EXPECT_TRUE(xov::verbindungOeffnen(mandLeer, xov::DbPasswort)->tabellen().isEmpty());
    // gone, not merely left unfinished
    EXPECT_EQ(test::nummerVon([&] { xov::verbindungOeffnen(faNeu, xov::DbPasswort); }), xov::FehlerNr::DateiNichtGefunden);
    quelle.faSql("DELETE FROM AllgFaDaten WHERE FaName = 'Finanzamt Tippfehler'");
    l = xovDb({"kopieren", quelle.mand, mandLeer, quelle.fa, faNeu});
    ASSERT_EQ(l.status, 0) << l.fehler.toStdString();
    EXPECT_EQ(test::gespeichert(mandLeer, "SELECT MandOrt FROM AllgMandDaten"), "'Wien'");
    EXPECT_EQ(xovDb({"anlegen", mandLeer, s.neu("nochein")}).status, 1);  // one with tables is never taken over
}
