// The password step on real files, with real second processes: only databases of the suite
// are encrypted, never a file that another connection has open, and the encrypted file keeps
// its owner, group and mode.

#include "Hilfen.h"
#include "platform/Datenbank.h"
#include "services/DbVerbindung.h"

#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>
#include <sqlcipher/sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace xov;

namespace {

QByteArray inhalt(const QString& pfad) {
    QFile f(pfad);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool verschluesselt(const QString& pfad) { return !inhalt(pfad).startsWith("SQLite format 3"); }

struct stat status(const QString& pfad) {
    struct stat st {};
    EXPECT_EQ(::stat(QFile::encodeName(pfad).constData(), &st), 0);
    return st;
}

}  // namespace

TEST(FremdeDatei, WirdNichtVerschluesseltUndAufDeutschGemeldet) {
    QTemporaryDir ordner;
    const QString fremd = ordner.filePath("kunden.sqlite"), leer = ordner.filePath("leer.db");
    sqlite3* db = nullptr;  // a database of another application, written with the plain engine
    ASSERT_EQ(sqlite3_open_v2(QFile::encodeName(fremd).constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(db, "CREATE TABLE Kunden (Name TEXT); INSERT INTO Kunden VALUES ('Huber');", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
    QFile l(leer);
    ASSERT_TRUE(l.open(QIODevice::WriteOnly));
    l.close();
    const QByteArray vorher = inhalt(fremd);
    for (const QString& pfad : {fremd, leer}) {
        test::Meldungen meldungen;
        Set_DBPassword(pfad);
        ASSERT_EQ(meldungen.texte.size(), 1) << pfad.toStdString();
        EXPECT_TRUE(meldungen.texte.first().contains(pfad) && meldungen.texte.first().contains("keine Datenbank der Anwendung"))
            << meldungen.texte.first().toStdString();
    }
    EXPECT_EQ(inhalt(fremd), vorher);
    EXPECT_EQ(QFileInfo(leer).size(), 0);
    EXPECT_FALSE(QFile::exists(fremd + ".xov-neu"));
}

TEST(Gleichzeitig, SchrittUeberspringtEineDateiDieEinAndererProzessOffenHat) {
    test::Datenbanken db(2024, {}, true, QString());
    test::Zweitprozess anderer;
    ASSERT_TRUE(anderer.bereit());
    ASSERT_EQ(anderer.befehl({"oeffnen", db.mand, DbPasswort}), QStringLiteral("ok"));
    test::Meldungen meldungen;
    Set_DBPassword(db.mand);
    EXPECT_FALSE(verschluesselt(db.mand));  // skipped, as for a file held by another process
    // The other process writes on; once nobody has it open, the step encrypts it.
    EXPECT_EQ(anderer.befehl({"sql", db.mand, DbPasswort, "UPDATE AllgMandDaten SET MandOrt = 'Graz'"}), QStringLiteral("ok"));
    ASSERT_EQ(anderer.befehl({"schliessen"}), QStringLiteral("ok"));
    Set_DBPassword(db.mand);
    EXPECT_TRUE(meldungen.texte.isEmpty());
    EXPECT_TRUE(verschluesselt(db.mand));
    EXPECT_EQ(db.mandWert("SELECT MandOrt FROM AllgMandDaten").toString(), QStringLiteral("Graz"));
}

// Two processes take the password step on the same plain file at once (alone, or as the
// dialog opens the client database): one encrypted file, no message, the row readable by both.
TEST(Gleichzeitig, ZweiPasswortschritteHinterlassenEineVerschluesselteDatei) {
    test::Zweitprozess a, b;
    ASSERT_TRUE(a.bereit() && b.bereit());
    for (int runde = 0; runde < 6; ++runde) {
        const QString befehl = runde % 2 ? QStringLiteral("lesen") : QStringLiteral("passwort");
        test::Datenbanken db(2024, {}, true, QString());
        a.senden({befehl, db.mand});
        b.senden({befehl, db.mand});
        for (auto* p : {&a, &b})
            EXPECT_EQ(p->antwort(), runde % 2 ? QStringLiteral("ok\t\tHausverwaltung Gruber & Söhne GmbH") : QStringLiteral("ok\t\t"))
                << befehl.toStdString() << " " << runde;
        EXPECT_TRUE(verschluesselt(db.mand)) << "Runde " << runde;
        EXPECT_EQ(db.mandWert("SELECT count(*) FROM AllgMandDaten").toInt(), 1);
        EXPECT_FALSE(QFile::exists(db.mand + ".xov-neu"));
    }
}

TEST(Besitz, VerschluesselteDateiBehaeltBesitzerGruppeUndRechte) {
    if (::geteuid() != 0) GTEST_SKIP() << "braucht root, um die Datei einem anderen Benutzer zu geben";
    test::Datenbanken db(2024, {}, true, QString());
    ASSERT_EQ(::chown(QFile::encodeName(db.mand).constData(), 65534, 65534), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(db.mand).constData(), 0664), 0);
    test::Meldungen meldungen;
    Set_DBPassword(db.mand);
    EXPECT_TRUE(meldungen.texte.isEmpty()) << meldungen.alle();
    ASSERT_TRUE(verschluesselt(db.mand));
    const struct stat st = status(db.mand);
    EXPECT_EQ(st.st_uid, 65534u);
    EXPECT_EQ(st.st_gid, 65534u);
    EXPECT_EQ(st.st_mode & 07777, 0664u);
}

TEST(Besitz, OhneRechtAufDenBesitzerWirdDerSchrittUebersprungen) {
    if (::geteuid() != 0 || !test::nobodyErreichtDasTestprogramm())
        GTEST_SKIP() << "braucht root und ein Testprogramm, das der Benutzer nobody erreicht";
    test::Datenbanken db(2024, {}, true, QString());
    // The file belongs to root, but everyone may write it and its folder: the user "nobody" could
    // encrypt it, but the new file would then belong to nobody.
    ASSERT_EQ(::chmod(QFile::encodeName(db.ordner.path()).constData(), 0777), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(db.mand).constData(), 0666), 0);
    const QByteArray vorher = inhalt(db.mand);
    test::Zweitprozess nobody({"runuser", "-u", "nobody", "--"});
    ASSERT_TRUE(nobody.bereit());
    const QString antwort = nobody.befehl({"passwort", db.mand});
    EXPECT_TRUE(antwort.contains(QStringLiteral("Besitzer")) && !antwort.contains(QStringLiteral("An Error"))) << antwort.toStdString();
    EXPECT_EQ(inhalt(db.mand), vorher);
    EXPECT_EQ(status(db.mand).st_uid, 0u);
    EXPECT_FALSE(QFile::exists(db.mand + ".xov-neu"));
}
