// The database tool on server addresses, run as a process: it creates, fills and completes
// databases on the test server as it does files, refuses the same things in the same words, and
// never shows the password an address may carry. `xov-db kopieren` takes a client and the shared
// tables from a file to the test server and back, every row compared; a target that is not new or
// empty is refused, and a failure part-way leaves every target as it was.

#include "tools/WerkzeugHilfen.h"
#include "platform/Fehlerhilfe.h"

using test::Lauf;
using test::xovDb;
using namespace test::werkzeug;

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
    EXPECT_TRUE(l.aus.contains(QStringLiteral("ObjKanzleiKontenstamm: %1 Datensätze kopiert")
                                  .arg(test::gespeichert(db.mand, "SELECT count(*) FROM ObjKanzleiKontenstamm"))));
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
// copy finds a value the target changed (the file target created for it goes again).
TEST(XovDbKopieren, AbgewieseneZieleBleibenWieSieWaren) {
    XOV_SERVER_NOETIG(test::Engine::Server);
    test::Datenbanken quelle(test::Engine::Datei, 2023);
    test::Datenbanken ziel(test::Engine::Server, 2024);
    ziel.mandSql("DELETE FROM ObjKanzleiKontenstamm");  // one filled table is enough to refuse
    const QStringList mandVorher = inhalt(ziel.mand);
    abgewiesen({"kopieren", quelle.mand, ziel.mand}, ziel.mand + " enthält bereits Daten (Tabelle AllgMandDaten)");
    EXPECT_EQ(inhalt(ziel.mand), mandVorher);

    ziel.faSql("DELETE FROM AllgFaDaten");
    ziel.faSql("DELETE FROM AllgWaehrung");
    abgewiesen({"kopieren", quelle.mand, ziel.fa}, "ist keine Mandanten-Datenbank der Anwendung");
    EXPECT_TRUE(inhalt(ziel.fa).isEmpty());

    test::Datenbanken alt(test::Engine::Server, 2024, {"MandFaxNr"});
    abgewiesen({"kopieren", quelle.mand, alt.mand}, "Tabelle AllgMandDaten: dem Ziel fehlt die Spalte MandFaxNr");
    EXPECT_EQ(inhalt(alt.mand), QStringList());

    // A file stores the server's NaN as Null: the new file goes again.
    ziel.faSql("INSERT INTO AllgWaehrung (WID, Waehrungscode, AenderDatum, EuroinFremd, FremdinEuro) "
               "VALUES (3, 'GBP', '2024-01-02', 'NaN', 1.1)");
    const QString datei = quelle.ordner.filePath("vom-server.db");
    const QString meldung = abgewiesen({"kopieren", ziel.fa, datei}, "Tabelle AllgWaehrung: ein Datensatz stimmt nach dem "
                                       "Kopieren nicht überein, Spalte EuroinFremd: gelesen keine Zahl (NaN), im Ziel leer (Null)");
    EXPECT_TRUE(meldung.contains(QStringLiteral("Die Datei %1 war in diesem Lauf angelegt und ist wieder entfernt.").arg(datei)));
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
    EXPECT_TRUE(abgewiesen({"kopieren", quelle.mand, mandS, quelle.fa, faS}, "fehlgeschlagen, Tabelle AllgFaDaten: Fehler 13")
                    .contains(QStringLiteral("Die Datenbank %1 bleibt, wie sie war.").arg(mandS)));
    EXPECT_EQ(daten(mandS) + daten(faS), QStringList());

    // A new target that this run created is removed again; an empty one an administrator created
    // stays, empty, and is used by the next run.
    const QString mandLeer = s.neu("admmand"), faNeu = s.neu("faneu");
    xov::verbindungOeffnen(test::testServer() + QStringLiteral("postgres"), xov::DbPasswort)
        ->ausfuehren(QStringLiteral("CREATE DATABASE ") + xov::bezeichner(mandLeer.section(u'/', -1)));
    abgewiesen({"kopieren", quelle.mand, mandLeer, quelle.fa, faNeu}, "vor diesem Lauf leer oder nicht vorhanden und ist es wieder");
    EXPECT_TRUE(xov::verbindungOeffnen(mandLeer, xov::DbPasswort)->tabellen().isEmpty());
    // gone, not merely left unfinished
    EXPECT_EQ(test::nummerVon([&] { xov::verbindungOeffnen(faNeu, xov::DbPasswort); }), xov::FehlerNr::DateiNichtGefunden);
    quelle.faSql("DELETE FROM AllgFaDaten WHERE FaName = 'Finanzamt Tippfehler'");
    const Lauf l = xovDb({"kopieren", quelle.mand, mandLeer, quelle.fa, faNeu});
    ASSERT_EQ(l.status, 0) << l.fehler.toStdString();
    EXPECT_EQ(test::gespeichert(mandLeer, "SELECT MandOrt FROM AllgMandDaten"), "'Wien'");
    EXPECT_EQ(xovDb({"anlegen", mandLeer, s.neu("nochein")}).status, 1);  // one with tables is never taken over
}

// Every command on addresses that carry the password, as an administrator may write them: each
// does its work (`demo` fills the empty client database of `anlegen` and creates the missing
// shared one), and none shows the password. Neither does a refusal of an address that no server
// answers or that does not parse, as source and as target (the engine's and the tool's own messages).
TEST(XovDbServer, KennwortStehtInKeinerAusgabe) {
    XOV_SERVER_NOETIG(test::Engine::Server);
    test::Serverdatenbanken s;
    const QString mand = s.neu("mand"), fa = s.neu("fa"), kopie = s.neu("kopie");
    const auto k = [](QString a) { return a.replace(QStringLiteral("://xov@"), QStringLiteral("://xov:lagerbestand4@")); };
    QTemporaryDir ordner;
    const QString datei = ordner.filePath("m.db");
    QList<std::pair<QStringList, int>> befehle = {{{"anlegen", k(mand), k(s.neu("leer"))}, 0}, {{"demo", k(mand), k(fa), "2023"}, 0},
                                                  {{"felder-ergaenzen", k(mand), k(fa)}, 0}, {{"kopieren", k(mand), k(kopie)}, 0},
                                                  {{"protokoll", k(mand)}, 0}};
    for (const char* ort : {"[::1:55433/db", "127.0.0.1:xx/db", "127.0.0.1:1/db"}) {
        const QString a = QStringLiteral("postgresql://xov:lagerbestand4@") + QLatin1String(ort);
        befehle += {{{"anlegen", a, datei}, 1}, {{"kopieren", a, datei}, 1}, {{"kurs", a, "USD", "2024-01-01"}, 1}};
    }
    for (const auto& [befehl, status] : befehle) {
        const Lauf l = xovDb(befehl);
        EXPECT_EQ(l.status, status) << befehl.first().toStdString() << ": " << l.fehler.toStdString();
        EXPECT_FALSE((l.aus + l.fehler).contains(QStringLiteral("lagerbestand4"))) << (l.aus + l.fehler).toStdString();
    }
    EXPECT_EQ(test::gespeichert(mand, "SELECT MandBuchjahr FROM AllgMandDaten"), "2023");
    EXPECT_EQ(daten(kopie), daten(mand));
    EXPECT_FALSE(QFile::exists(datei));
}

// The unique key of the rates is looked up in the server's own catalogue: a table of an older
// version gets it once (the duplicates that keep it off, the same on both engines: SelberTag).
// What the tool enters in the log, the application's role on the server cannot change.
TEST(XovDbServer, FelderErgaenzenErgaenztDenSchluesselEinmalUndDasProtokollBleibt) {
    XOV_SERVER_NOETIG(test::Engine::Server);
    test::Datenbanken alt(test::Engine::Server, 2024, {"MandFaxNr"});
    const auto eindeutigeSchluessel = [](const QString& fa) {
        return test::gespeichert(fa, QStringLiteral("SELECT count(*) FROM pg_indexes WHERE tablename = 'allgwaehrung' "
                                                    "AND indexdef LIKE 'CREATE UNIQUE INDEX %(wid, aenderdatum)'"));
    };
    alt.faSql("ALTER TABLE AllgWaehrung DROP CONSTRAINT allgwaehrung_wid_aenderdatum_key");
    ASSERT_EQ(eindeutigeSchluessel(alt.fa), "0");
    for (int lauf = 0; lauf < 2; ++lauf) {
        EXPECT_EQ(xovDb({"felder-ergaenzen", alt.mand, alt.fa}).status, 0);
        EXPECT_EQ(eindeutigeSchluessel(alt.fa), "1");
    }
    auto v = xov::verbindungOeffnen(alt.mand, xov::DbPasswort);
    ASSERT_FALSE(v->rolle().isEmpty());
    const QStringList protokoll = inhalt(alt.mand);
    ASSERT_TRUE(protokoll.join(u' ').contains("MandFaxNr"));
    for (const QString sql : {"UPDATE %1 SET Bemerkung = 'x'", "DELETE FROM %1", "TRUNCATE %1"})
        EXPECT_EQ(test::nummerVon([&] { v->ausfuehren(sql.arg(xov::ProtokollTabelle)); }), xov::FehlerNr::NurLesen) << qPrintable(sql);
    EXPECT_EQ(inhalt(alt.mand), protokoll);
}
