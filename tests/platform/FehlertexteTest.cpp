// Messages that say what happened, in German, on real files: a damaged keyed file, a folder
// that cannot be written. The numbers stay those the callers know.

#include "Hilfen.h"
#include "platform/Datenbank.h"
#include "platform/Fehlerhilfe.h"

#include <QFile>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace xov;
using test::fehlerVon;

namespace {

void byteAendern(const QString& pfad, qint64 stelle) {
    QFile f(pfad);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    QByteArray inhalt = f.readAll();
    inhalt[stelle] = static_cast<char>(inhalt[stelle] ^ 0x5a);
    ASSERT_TRUE(f.seek(0) && f.write(inhalt) == inhalt.size());
}

}  // namespace

TEST(Fehlertexte, BeschaedigteVerschluesselteDatei) {
    test::Datenbanken db;
    // The first page: a wrong key and damage cannot be told apart, so the message says both.
    byteAendern(db.mand, 200);
    const Fehler vorn = fehlerVon([&] { verbindungOeffnen(db.mand, DbPasswort); });
    EXPECT_EQ(vorn.nummer(), FehlerNr::FalschesPasswort);
    EXPECT_TRUE(vorn.beschreibung().contains(QStringLiteral("beschädigt"))) << vorn.beschreibung().toStdString();
    EXPECT_TRUE(vorn.beschreibung().contains(QStringLiteral("Kennwort")));
    EXPECT_TRUE(vorn.beschreibung().contains(db.mand));

    // A later page: the key has opened the file, so only damage remains.
    byteAendern(db.fa, QFileInfo(db.fa).size() - 300);
    const Fehler hinten = fehlerVon([&] {
        auto v = verbindungOeffnen(db.fa, DbPasswort);
        v->abfragen(QStringLiteral("PRAGMA integrity_check"));
        for (const char* t : {"AllgFaDaten", "AllgWaehrung"}) v->abfragen(QStringLiteral("SELECT * FROM %1").arg(QLatin1String(t)));
    });
    EXPECT_NE(hinten.nummer(), 0);
    EXPECT_NE(hinten.nummer(), FehlerNr::FalschesPasswort);
    EXPECT_TRUE(hinten.beschreibung().startsWith(QStringLiteral("Die Datenbankdatei ist beschädigt"))) << hinten.beschreibung().toStdString();
}

TEST(Fehlertexte, SchreibgeschuetzterOrdnerSagtWarumNichtGespeichertWird) {
    if (::geteuid() != 0 || !test::nobodyErreichtDasTestprogramm())
        GTEST_SKIP() << "braucht root und ein Testprogramm, das der Benutzer nobody erreicht";
    test::Datenbanken db;
    ASSERT_EQ(::chmod(QFile::encodeName(db.ordner.path()).constData(), 0777), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(db.mand).constData(), 0666), 0);
    test::Zweitprozess nobody({"runuser", "-u", "nobody", "--"});
    ASSERT_TRUE(nobody.bereit());
    ASSERT_EQ(nobody.befehl({"oeffnen", db.mand, DbPasswort}), QStringLiteral("ok"));  // open on screen
    ASSERT_EQ(::chmod(QFile::encodeName(db.ordner.path()).constData(), 0555), 0);
    const QString antwort = nobody.befehl({"sql", db.mand, DbPasswort, "UPDATE AllgMandDaten SET MandOrt = 'Graz'"});
    ::chmod(QFile::encodeName(db.ordner.path()).constData(), 0777);
    EXPECT_TRUE(antwort.startsWith(QStringLiteral("fehler\t3027\tDie Datenbank kann nicht geschrieben werden: der Ordner ")))
        << antwort.toStdString();
    EXPECT_TRUE(antwort.contains(QStringLiteral("schreibgeschützt")));
    EXPECT_EQ(db.mandWert("SELECT MandOrt FROM AllgMandDaten").toString(), QStringLiteral("Wien"));
}

TEST(Fehlertexte, EngineTexteKommenAufDeutschMitDemOriginalAlsDetail) {
    test::Datenbanken db;
    auto v = verbindungOeffnen(db.fa, DbPasswort);
    const Fehler f = fehlerVon([&] { v->ausfuehren(QStringLiteral("INSERT INTO AllgWaehrung (WID) VALUES (1)")); });  // NOT NULL
    EXPECT_GT(f.nummer(), FehlerNr::EngineBasis);
    EXPECT_FALSE(f.beschreibung().startsWith(QLatin1String("NOT NULL")) || f.beschreibung().startsWith(QLatin1String("Datenbankfehler: ")))
        << f.beschreibung().toStdString();
    EXPECT_TRUE(f.beschreibung().contains(QStringLiteral("NOT NULL constraint failed")));
}
