// The password step on real files, with real second processes: only databases of the suite are
// encrypted, never a file that another connection has open, and the encrypted file keeps its owner,
// group and mode. A step that cannot encrypt leaves the file as it was.
// The connections a host keeps between its calls of the dialog never show what is no longer
// there: a file replaced or keyed anew is read afresh, another process's password step after a
// call is not held up, and a server connection the server dropped is opened anew.

#include "Hilfen.h"
#include "component/Aufrufinformation.h"
#include "form/InputFeld.h"
#include "platform/Datenbank.h"
#include "platform/Fehlerhilfe.h"
#include "services/DbVerbindung.h"
#include "services/Verbindungsvorrat.h"

#include <sys/stat.h>
#include <unistd.h>

using namespace xov;

namespace {

QByteArray dateiInhalt(const QString& pfad) {
    QFile f(pfad);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// What stands in the way of the step on a plain client database, and the parts of the one message
// the user then sees (title and text); none: the step passes silently. (A missing file: the
// dialog's OhneZeile/FehlendeDatei.)
using Vorbereitung = std::function<QString(const test::Datenbanken& db, std::unique_ptr<test::Sperre>& sperre)>;
struct Hindernis { const char* name; Vorbereitung vorbereiten; QStringList meldung; };

const Hindernis hindernisse[] = {
    {"AndererProzessSperrt", [](auto& db, auto& s) { s = std::make_unique<test::Sperre>(db.mand); return db.mand; }, {}},
    {"FremdeSqliteDatenbank",  // a database of another application, written without a key
     [](auto& db, auto&) {
         const QString pfad = db.ordner.filePath("kunden.sqlite");
         const char* sql = "CREATE TABLE Kunden (Name TEXT); INSERT INTO Kunden VALUES ('Huber');";
         EXPECT_EQ(test::starten("sqlcipher", {pfad, sql}).status, 0);
         return pfad;
     },
     {"kunden.sqlite", "keine Datenbank der Anwendung"}},
    {"LeereDatei",
     [](auto& db, auto&) {
         QFile l(db.ordner.filePath("leer.db"));
         EXPECT_TRUE(l.open(QIODevice::WriteOnly));
         return l.fileName();
     },
     {"leer.db", "keine Datenbank der Anwendung"}},
    // The copy cannot be written: its place is taken by a folder. The English error window.
    {"PlatzDerKopieBelegt", [](auto& db, auto&) { EXPECT_TRUE(QDir().mkpath(db.mand + ".xov-neu/belegt")); return db.mand; },
     {"An Error has Occured!\n", "\nError Source: Set_DBPassword\n"}},
    // The copy's journal lands on a device that is always full; the engine's text as a detail.
    {"DatentraegerVoll", [](auto& db, auto&) { EXPECT_TRUE(QFile::link("/dev/full", db.mand + ".xov-neu-journal")); return db.mand; },
     {"Error Number: 30013\n", "Der Datenträger ist voll", "database or disk is full"}},
};

class Passwortschritt : public testing::TestWithParam<Hindernis> {};

// One call of the dialog as a host's Mand_Aufruf makes it (without the modal loop): the client's
// town as the dialog shows it, followed by every message it gave.
QString aufrufen(const QVariantList& info) {
    test::Meldungen meldungen;
    Aufruf aufruf = aufrufUebernehmen(info);
    QString ort;
    {
        frmMandStamm form(aufruf);
        const Vorratsnutzung vorrat(&form);
        form.Form_Load();
        ort = form.feld(QStringLiteral("inpMandOrt"))->text();
    }
    return (QStringList{ort} + meldungen.texte).join(QStringLiteral(" | "));
}

class Verbindungsvorrat_ : public ::testing::Test {
protected:
    void SetUp() override { Verbindungsvorrat::prozess().leeren(); }
    void TearDown() override { Verbindungsvorrat::prozess().leeren(); }
};

}  // namespace

TEST_P(Passwortschritt, LaesstDieDateiWieSieWarUndMeldetWasNoetig) {
    test::Datenbanken db(2024, {}, true, QString());
    std::unique_ptr<test::Sperre> sperre;
    const QString pfad = GetParam().vorbereiten(db, sperre);
    ASSERT_TRUE(!sperre || sperre->aktiv());
    const QByteArray vorher = dateiInhalt(pfad);
    test::Meldungen meldungen;
    Set_DBPassword(pfad);
    sperre.reset();
    ASSERT_EQ(meldungen.texte.size(), GetParam().meldung.isEmpty() ? 0 : 1) << meldungen.alle();
    for (const QString& teil : GetParam().meldung)
        EXPECT_TRUE((meldungen.titel.first() + '\n' + meldungen.texte.first()).contains(teil)) << meldungen.alle();
    EXPECT_TRUE(QFileInfo::exists(pfad));
    EXPECT_EQ(dateiInhalt(pfad), vorher);
    EXPECT_FALSE(QFileInfo(pfad + ".xov-neu").isFile());
}

INSTANTIATE_TEST_SUITE_P(Hindernisse, Passwortschritt, testing::ValuesIn(hindernisse),
                         [](const testing::TestParamInfo<Hindernis>& i) { return std::string(i.param.name); });

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
        EXPECT_TRUE(test::verschluesselt(db.mand)) << "Runde " << runde;
        EXPECT_EQ(db.mandWert("SELECT count(*) FROM AllgMandDaten").toInt(), 1);
        EXPECT_FALSE(QFile::exists(db.mand + ".xov-neu"));
    }
}

// Another user on the same files. The file belongs to root, but everyone may write it and its
// folder: the user "nobody" could encrypt it, but the new file would then belong to nobody, so the
// step is skipped. Given to nobody, root's step keeps the file's owner, group and mode. Then nobody
// has it open on screen when the folder becomes read-only: saving says why it cannot.
TEST(Besitz, VerschluesselteDateiBehaeltBesitzerGruppeUndRechteSchreibgeschuetzterOrdnerSagtWarum) {
    if (::geteuid() != 0 || !test::nobodyErreichtDasTestprogramm())
        GTEST_SKIP() << "braucht root und ein Testprogramm, das der Benutzer nobody erreicht";
    test::Datenbanken db(2024, {}, true, QString());
    ASSERT_EQ(::chmod(QFile::encodeName(db.ordner.path()).constData(), 0777), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(db.mand).constData(), 0666), 0);
    const QByteArray vorher = dateiInhalt(db.mand);
    test::Zweitprozess nobody({"runuser", "-u", "nobody", "--"});
    ASSERT_TRUE(nobody.bereit());
    const QString antwort = nobody.befehl({"passwort", db.mand});
    EXPECT_TRUE(antwort.contains(QStringLiteral("Besitzer")) && !antwort.contains(QStringLiteral("An Error"))) << antwort.toStdString();
    EXPECT_EQ(dateiInhalt(db.mand), vorher);
    EXPECT_FALSE(QFile::exists(db.mand + ".xov-neu"));

    ASSERT_EQ(::chown(QFile::encodeName(db.mand).constData(), 65534, 65534), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(db.mand).constData(), 0664), 0);
    test::Meldungen meldungen;
    Set_DBPassword(db.mand);
    EXPECT_TRUE(meldungen.texte.isEmpty()) << meldungen.alle();
    ASSERT_TRUE(test::verschluesselt(db.mand));
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(db.mand).constData(), &st), 0);
    // Owner, group and mode.
    EXPECT_EQ(std::tuple(st.st_uid, st.st_gid, st.st_mode & 07777), std::tuple(65534u, 65534u, 0664u));

    ASSERT_EQ(nobody.befehl({"oeffnen", db.mand, DbPasswort}), QStringLiteral("ok"));
    ASSERT_EQ(::chmod(QFile::encodeName(db.ordner.path()).constData(), 0555), 0);
    const QString geschuetzt = nobody.befehl({"sql", db.mand, DbPasswort, "UPDATE AllgMandDaten SET MandOrt = 'Graz'"});
    ::chmod(QFile::encodeName(db.ordner.path()).constData(), 0777);
    EXPECT_TRUE(geschuetzt.startsWith(QStringLiteral("fehler\t3027\tDie Datenbank kann nicht geschrieben werden: der Ordner ")))
        << geschuetzt.toStdString();
    EXPECT_TRUE(geschuetzt.contains(QStringLiteral("schreibgeschützt")));
    EXPECT_EQ(db.mandWert("SELECT MandOrt FROM AllgMandDaten").toString(), QStringLiteral("Wien"));
}

// A plain file another process has open: the call's own step leaves it plain, and once the call
// has ended, its kept connection does not make the other process's step skip. Then the file
// restored from another copy (the same path, another file) and keyed anew in place.
TEST_F(Verbindungsvorrat_, DateiVonAnderemVerschluesseltErsetztOderNeuVerschluesseltWirdFrischGelesen) {
    test::Datenbanken db(2024, {}, true, QString());  // without password
    test::Zweitprozess anderer;
    ASSERT_TRUE(anderer.bereit());
    ASSERT_EQ(anderer.befehl({"oeffnen", db.mand, DbPasswort}), QStringLiteral("ok"));
    EXPECT_EQ(aufrufen(test::info(db)), QStringLiteral("Wien"));
    EXPECT_FALSE(test::verschluesselt(db.mand));
    // The other process writes on; what it wrote survives the step once nobody has the file open.
    EXPECT_EQ(anderer.befehl({"sql", db.mand, DbPasswort, "UPDATE AllgMandDaten SET MandOrt = 'Graz'"}), QStringLiteral("ok"));
    ASSERT_EQ(anderer.befehl({"schliessen"}), QStringLiteral("ok"));
    EXPECT_EQ(anderer.befehl({"passwort", db.mand}), QStringLiteral("ok\t\t"));  // no message
    EXPECT_TRUE(test::verschluesselt(db.mand));
    EXPECT_EQ(aufrufen(test::info(db)), QStringLiteral("Graz"));  // and no message

    test::Datenbanken sicherung;
    sicherung.mandSql(QStringLiteral("UPDATE AllgMandDaten SET MandOrt = 'Linz'"));
    ASSERT_TRUE(QFile::remove(db.mand));
    ASSERT_TRUE(QFile::copy(sicherung.mand, db.mand));
    EXPECT_EQ(aufrufen(test::info(db)), QStringLiteral("Linz"));  // and no message
    // Keyed anew in place by someone else: the kept key no longer opens it, nor does the call's.
    verbindungOeffnen(db.mand, DbPasswort)->ausfuehren(QStringLiteral("PRAGMA rekey = 'anders4711'"));
    EXPECT_EQ(test::nummerVon([&] { Verbindungsvorrat::prozess().oeffnen({db.mand, DbPasswort}); }), FehlerNr::FalschesPasswort);
}

TEST_F(Verbindungsvorrat_, VomServerZwischenZweiAufrufenBeendeteVerbindungWirdNeuAufgebaut) {
    XOV_SERVER_NOETIG(test::Engine::Server);
    test::Datenbanken db(test::Engine::Server);
    EXPECT_EQ(aufrufen(test::info(db)), QStringLiteral("Wien"));
    // What a restart of the server does to the sessions it had: ended, the client not told.
    for (const QString& d : {db.mand, db.fa})
        verbindungOeffnen(d, DbPasswort)
            ->abfragen(QStringLiteral("SELECT pg_terminate_backend(pid) FROM pg_stat_activity WHERE datname = current_database() "
                                      "AND pid <> pg_backend_pid()"));
    db.mandSql(QStringLiteral("UPDATE AllgMandDaten SET MandOrt = 'Linz'"));
    EXPECT_EQ(aufrufen(test::info(db)), QStringLiteral("Linz"));  // and no message
}
