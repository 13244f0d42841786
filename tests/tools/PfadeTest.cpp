// Paths as an administrator or an attacker lays them out: a FIFO, a folder or a device where a
// database should be is refused at once with a German message (never a hang), and creating never
// follows a symbolic link.

#include "Hilfen.h"
#include "platform/Datenbank.h"
#include "platform/Fehlerhilfe.h"

#include <sys/stat.h>
#include <unistd.h>

using test::Lauf;
using test::xovDb;

namespace {

struct Ort {
    const char* name;
    const char* art;  // as the message names it
};

const Ort orte[] = {{"Fifo", "eine benannte Pipe (FIFO)"}, {"Ordner", "ein Ordner"}, {"Geraet", "ein Gerät"}};

class KeineDatenbankdatei : public testing::TestWithParam<Ort> {};

}  // namespace

TEST_P(KeineDatenbankdatei, WirdSofortMitDeutscherMeldungAbgewiesen) {
    test::Datenbanken db;
    const QString name = QLatin1String(GetParam().name);
    const QString pfad = name == QLatin1String("Geraet") ? QStringLiteral("/dev/zero") : db.ordner.filePath(QStringLiteral("keine-datei.db"));
    if (name == QLatin1String("Fifo")) ASSERT_EQ(::mkfifo(QFile::encodeName(pfad).constData(), 0600), 0);
    if (name == QLatin1String("Ordner")) ASSERT_EQ(::mkdir(QFile::encodeName(pfad).constData(), 0700), 0);
    const QString erwartet = QStringLiteral("%1 ist %2, keine Datenbankdatei").arg(pfad, QString::fromUtf8(GetParam().art));
    // The engine, as the dialog and every tool open a database.
    const xov::Fehler f = test::fehlerVon([&] { xov::verbindungOeffnen(pfad, xov::DbPasswort); });
    EXPECT_EQ(f.nummer(), xov::FehlerNr::FremdeDatei);
    EXPECT_TRUE(f.beschreibung().contains(erwartet)) << f.what();
    QElapsedTimer uhr;
    uhr.start();
    const Lauf l = xovDb({"felder-ergaenzen", pfad});
    EXPECT_EQ(l.status, 1);
    EXPECT_TRUE(l.fehler.contains(erwartet)) << l.fehler.toStdString();
    // The host program, unattended: the message, status 1, no hang.
    const Lauf host = test::starten(QStringLiteral("xov-mandstamm"),
                                    {"--bilder", db.ordner.filePath("bilder"), "-m", pfad, "-f", db.fa});
    EXPECT_EQ(host.status, 1);
    EXPECT_TRUE(host.fehler.contains(erwartet)) << host.fehler.toStdString();
    EXPECT_LT(uhr.elapsed(), 20000);
}

INSTANTIATE_TEST_SUITE_P(Pfade, KeineDatenbankdatei, testing::ValuesIn(orte),
                         [](const testing::TestParamInfo<Ort>& i) { return std::string(i.param.name); });

TEST(Pfade, AnlegenFolgtKeinerVerknuepfung) {
    test::Datenbanken db;
    const QString ziel = db.ordner.filePath(QStringLiteral("anderswo.db"));
    const QString link = db.ordner.filePath(QStringLiteral("neu-mandant.db"));
    ASSERT_TRUE(QFile::link(ziel, link));  // dangling: its target does not exist
    const Lauf l = xovDb({"anlegen", link, db.ordner.filePath(QStringLiteral("neu-gemeinsam.db"))});
    EXPECT_EQ(l.status, 1);
    EXPECT_TRUE(l.fehler.contains(QStringLiteral("ist eine symbolische Verknüpfung"))) << l.fehler.toStdString();
    EXPECT_FALSE(QFile::exists(ziel));
    EXPECT_FALSE(QFile::exists(db.ordner.filePath(QStringLiteral("neu-gemeinsam.db"))));
    // The engine itself refuses as well, whoever calls it.
    EXPECT_TRUE(test::fehlerVon([&] { xov::datenbankAnlegen(link, xov::DbPasswort); })
                    .beschreibung().contains(QStringLiteral("eine neue Datenbank wird nie über eine Verknüpfung angelegt")));
    EXPECT_FALSE(QFile::exists(ziel));
}

// A file another process holds: the message names the file, whichever of the two locks it meets.
TEST(Pfade, GesperrteDateiWirdGenannt) {
    test::Datenbanken db;
    auto v = xov::verbindungOeffnen(db.mand, xov::DbPasswort);
    test::Sperre sperre(db.mand, xov::DbPasswort);
    ASSERT_TRUE(sperre.aktiv());
    const xov::Fehler f = test::fehlerVon([&] { v->ausfuehren(QStringLiteral("UPDATE AllgMandDaten SET MandOrt = 'Graz'")); });
    EXPECT_EQ(f.nummer(), xov::FehlerNr::Gesperrt);
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
    ::chmod(QFile::encodeName(ordner.path()).constData(), 0700);
    EXPECT_EQ(l.status, 1);
    EXPECT_TRUE(l.fehler.contains(QStringLiteral("Im Ordner %1 kann keine Datei angelegt werden (keine Schreibberechtigung)").arg(ordner.path())))
        << l.fehler.toStdString();
    EXPECT_FALSE(l.fehler.contains(QStringLiteral("Datei nicht gefunden"))) << l.fehler.toStdString();
}
