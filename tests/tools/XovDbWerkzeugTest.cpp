// The database tool run as the administrator runs it: as a process, on real files. It never
// changes a file it was not asked to create or fill, and says in one German sentence why not.
// Paths as an administrator or an attacker lays them out: a FIFO, a folder or a device where a
// database should be is refused at once with a German message (never a hang), and creating never
// follows a symbolic link. Long commands show how far they are on a terminal, on one line that is
// rewritten, and nothing at all when their output goes to a file or a pipe.

#include "tools/WerkzeugHilfen.h"
#include "kurse/Kursdateien.h"
#include "platform/Fehlerhilfe.h"

#include <sys/stat.h>
#include <unistd.h>

using test::Lauf;

namespace {

// A refused command. In its arguments {m} and {f} stand for filled demo files, {link} for a
// dangling symbolic link, {neu}, {neu2} and {ordner}/fehlt/ for paths where nothing is; `satz` a
// part of its sentence.
struct Abweisung {
    const char* name;
    QStringList argumente;
    const char* satz;
};
void PrintTo(const Abweisung& a, std::ostream* os) { *os << a.name; }

const Abweisung abweisungen[] = {
    {"DemoJahrKeineZahl", {"demo", "{neu}", "{neu2}", "abc"}, "Das Jahr \"abc\" ist ungültig"},
    {"DemoJahrNegativ", {"demo", "{neu}", "{neu2}", "-5"}, "Das Jahr \"-5\" ist ungültig"},
    {"DemoOrdnerFehlt", {"demo", "{neu}", "{ordner}/fehlt/g.db"}, "Der Ordner {ordner}/fehlt "},
    {"DemoZweimalDieselbe", {"demo", "{neu}", "{neu}"}, "{neu}"},
    // a filled client database; its missing (mistyped) partner is not created either
    {"DemoInGefuellte", {"demo", "{m}", "{neu2}", "2023"}, "{m}"},
    {"AnlegenNebenVorhandener", {"anlegen", "{neu}", "{f}"}, "{f}"},
    {"ErgaenzenEinerGemeinsamen", {"felder-ergaenzen", "{f}"}, "{f}"},
    // never through a link, dangling or not: the database would appear elsewhere
    {"AnlegenUeberVerknuepfung", {"anlegen", "{link}", "{neu2}"}, "{link} ist eine symbolische Verknüpfung"},
};

QByteArray dateiinhalt(const QString& pfad) {
    QFile f(pfad);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class Abgewiesen : public testing::TestWithParam<Abweisung> {};

// Where a database should be, and as the message names it.
class KeineDatenbankdatei : public testing::TestWithParam<std::pair<const char*, const char*>> {};


}  // namespace

TEST_P(Abgewiesen, InEinemSatzUndJedeDateiBleibtWieSieWar) {
    test::Datenbanken db;
    ASSERT_TRUE(QFile::link(db.ordner.filePath("anderswo.db"), db.ordner.filePath("link.db")));
    const auto einsetzen = [&](QStringList t) {
        for (const QString n : {"neu2", "neu", "link"}) t.replaceInStrings('{' + n + '}', db.ordner.filePath(n + ".db"));
        return t.replaceInStrings("{m}", db.mand).replaceInStrings("{f}", db.fa).replaceInStrings("{ordner}", db.ordner.path());
    };
    const QByteArray m = dateiinhalt(db.mand), f = dateiinhalt(db.fa);
    const QString meldung = test::werkzeug::abgewiesen(einsetzen(GetParam().argumente), einsetzen({GetParam().satz}).first());
    EXPECT_EQ(meldung.trimmed().count(u'\n'), 0) << meldung.toStdString();
    EXPECT_FALSE(meldung.contains(QStringLiteral("Fehler 3"))) << meldung.toStdString();
    EXPECT_EQ(QDir(db.ordner.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList({"gemeinsam.db", "mandant.db"}));  // nothing half-created, nothing behind the link
    EXPECT_EQ(dateiinhalt(db.mand), m);
    EXPECT_EQ(dateiinhalt(db.fa), f);
}

INSTANTIATE_TEST_SUITE_P(XovDbWerkzeug, Abgewiesen, testing::ValuesIn(abweisungen),
                         [](const testing::TestParamInfo<Abweisung>& i) { return std::string(i.param.name); });

TEST_P(KeineDatenbankdatei, WirdSofortMitDeutscherMeldungAbgewiesen) {
    test::Datenbanken db;
    const QString name = QLatin1String(GetParam().first);
    const QString pfad = name == QLatin1String("Geraet") ? QStringLiteral("/dev/zero") : db.ordner.filePath("keine-datei.db");
    if (name == QLatin1String("Fifo")) { ASSERT_EQ(::mkfifo(QFile::encodeName(pfad).constData(), 0600), 0); }
    if (name == QLatin1String("Ordner")) { ASSERT_EQ(::mkdir(QFile::encodeName(pfad).constData(), 0700), 0); }
    // The engine's message with its number, as the dialog and every tool open a database.
    const QString erwartet = QStringLiteral("Fehler %1: %2 ist %3, keine Datenbankdatei")
                                 .arg(QString::number(xov::FehlerNr::FremdeDatei), pfad, QString::fromUtf8(GetParam().second));
    const QDeadlineTimer frist(20000);
    test::werkzeug::abgewiesen({"felder-ergaenzen", pfad}, erwartet);
    // The host program, unattended: every message on standard error with its buttons, status 1,
    // no hang, and page 1 shows the dialog, not a box.
    const Lauf host = test::starten(QStringLiteral("xov-mandstamm"),
                                    {"--bilder", db.ordner.filePath("bilder"), "-m", pfad, "-f", db.fa});
    EXPECT_EQ(host.status, 1);
    EXPECT_TRUE(host.fehler.contains("Meldung [xovAllgError]: " + erwartet)) << host.fehler.toStdString();
    EXPECT_TRUE(host.fehler.contains(QStringLiteral("Knöpfe: ")));
    EXPECT_GT(QImage(db.ordner.filePath("bilder/seite-1.png")).width(), 500);  // the dialog; a box is narrower
    EXPECT_FALSE(frist.hasExpired());
}

INSTANTIATE_TEST_SUITE_P(Pfade, KeineDatenbankdatei,
                         testing::Values(std::pair{"Fifo", "eine benannte Pipe (FIFO)"}, std::pair{"Ordner", "ein Ordner"},
                                         std::pair{"Geraet", "ein Gerät"}),
                         [](const auto& i) { return std::string(i.param.first); });

// A demo that fails after it created the client database removes that one again, and leaves the
// shared database it was given with every row it had.
TEST(XovDbWerkzeug, GescheiterteDemoEntferntNurWasSieAngelegtHat) {
    test::Datenbanken db(2024, {}, false);
    db.faSql(QStringLiteral("CREATE TRIGGER nein BEFORE INSERT ON AllgWaehrung BEGIN SELECT RAISE(ABORT, 'kein Platz'); END"));
    const QStringList fa = test::werkzeug::daten(db.fa);
    const QString neu = db.ordner.filePath(QStringLiteral("neu.db"));
    test::werkzeug::abgewiesen({"demo", neu, db.fa}, QStringLiteral("kein Platz"));
    EXPECT_EQ(QDir(db.ordner.path()).entryList(QDir::Files | QDir::Hidden), QStringList({"gemeinsam.db", "mandant.db"}));
    EXPECT_EQ(test::werkzeug::daten(db.fa), fa);
}

// The tool refuses a link before it creates anything (above); the engine itself refuses as well,
// whoever calls it.
TEST(Pfade, AnlegenFolgtKeinerVerknuepfung) {
    QTemporaryDir ordner;
    const QString ziel = ordner.filePath(QStringLiteral("anderswo.db")), link = ordner.filePath(QStringLiteral("neu-mandant.db"));
    ASSERT_TRUE(QFile::link(ziel, link));  // dangling: its target does not exist
    EXPECT_TRUE(test::fehlerVon([&] { xov::datenbankAnlegen(link, xov::DbPasswort); })
                    .beschreibung().contains(QStringLiteral("eine neue Datenbank wird nie über eine Verknüpfung angelegt")));
    EXPECT_FALSE(QFile::exists(ziel));
}

// A file another process holds while a connection here writes: the message names the file (the
// error number on both engines: EngineVertrag).
TEST(Pfade, GesperrteDateiWirdGenannt) {
    test::Datenbanken db;
    auto v = xov::verbindungOeffnen(db.mand, xov::DbPasswort);
    test::Sperre sperre(db.mand, xov::DbPasswort);
    ASSERT_TRUE(sperre.aktiv());
    const xov::Fehler f = test::fehlerVon([&] { v->ausfuehren(QStringLiteral("UPDATE AllgMandDaten SET MandOrt = 'Graz'")); });
    EXPECT_TRUE(f.beschreibung().contains(db.mand)) << f.what();
}

// As a user without write permission in the folder meets it (root may write anywhere: run as nobody).
TEST(Pfade, AnlegenImSchreibgeschuetztenOrdnerSagtWarum) {
    if (::geteuid() != 0 || !test::nobodyErreichtDasTestprogramm())
        GTEST_SKIP() << "braucht root und ein Testprogramm, das der Benutzer nobody erreicht";
    QTemporaryDir ordner;
    ASSERT_EQ(::chmod(QFile::encodeName(ordner.path()).constData(), 0555), 0);
    const Lauf l = test::starten(QStringLiteral("runuser"), {"-u", "nobody", "--", QCoreApplication::applicationDirPath() + "/xov-db",
                                                             "anlegen", ordner.filePath("m.db"), ordner.filePath("f.db")});
    EXPECT_EQ(l.status, 1);  // the folder goes again all the same: the test runs as root
    EXPECT_TRUE(l.fehler.contains(QStringLiteral("Im Ordner %1 kann keine Datei angelegt werden (keine Schreibberechtigung)").arg(ordner.path())))
        << l.fehler.toStdString();
}

// The line counts the days read (the count per currency: Referenzkurse); into a pipe nothing of it.
TEST(Fortschritt, ZeileAmTerminalUndNichtsInEinerDatei) {
    test::Datenbanken db;
    const QString datei = test::langeKursdatei(db.ordner.path(), 1200);
    // On a terminal of its own, as an administrator sees it (script gives it one).
    const QString befehl = QCoreApplication::applicationDirPath() + "/xov-db kurse-einlesen '" + db.fa + "' '" + datei + "'";
    const QString terminal = test::starten("script", {"-qefc", befehl, "/dev/null"}).aus;
    EXPECT_TRUE(terminal.contains(QStringLiteral("\rKurse einlesen: 1.200 von 1.200 Tagen"))) << terminal.toStdString();
    const Lauf l = test::xovDb({"kurse-einlesen", db.fa, datei, "--ersetzen"});
    EXPECT_EQ(l.status, 0) << l.fehler.toStdString();
    EXPECT_FALSE((l.aus + l.fehler).contains(QLatin1Char('\r'))) << l.fehler.toStdString();
}
