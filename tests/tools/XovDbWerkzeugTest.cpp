// The database tool run as the administrator runs it: as a process, on real files. It never
// changes a file it was not asked to create or fill, and says in one German sentence why not.

#include "Hilfen.h"
#include "platform/Datenbank.h"

#include <QCryptographicHash>
#include <QFile>
#include <gtest/gtest.h>

using test::Lauf;
using test::xovDb;

namespace {

QByteArray pruefsumme(const QString& pfad) {
    QFile f(pfad);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}

}  // namespace

TEST(XovDbWerkzeug, DemoPrueftJedesArgumentBevorEsEtwasAnlegt) {
    QTemporaryDir ordner;
    const QString mand = ordner.filePath("m.db"), fa = ordner.filePath("g.db");
    for (const QStringList& a : {QStringList{"demo", mand, fa, "abc"}, QStringList{"demo", mand, fa, "-5"},
                                 QStringList{"demo", mand, ordner.filePath("fehlt/g.db")}, QStringList{"demo", mand, mand}}) {
        const Lauf l = xovDb(a);
        EXPECT_EQ(l.status, 1) << a.join(' ').toStdString();
        EXPECT_FALSE(l.fehler.isEmpty());
        EXPECT_FALSE(QFile::exists(mand)) << a.join(' ').toStdString();
        EXPECT_FALSE(QFile::exists(fa));
    }
}

TEST(XovDbWerkzeug, DemoFuelltNurNeueOderLeereDatenbanken) {
    QTemporaryDir ordner;
    const QString mand = ordner.filePath("m.db"), fa = ordner.filePath("g.db");
    ASSERT_EQ(xovDb({"demo", mand, fa, "2023"}).status, 0);  // both new: created and filled
    // A filled client database is refused, named, and stays byte for byte; its missing (mistyped)
    // partner is not created either.
    const QByteArray m = pruefsumme(mand);
    QFile::remove(fa);
    Lauf l = xovDb({"demo", mand, fa, "2023"});
    EXPECT_EQ(l.status, 1);
    EXPECT_TRUE(l.fehler.contains(mand)) << l.fehler.toStdString();
    EXPECT_EQ(pruefsumme(mand), m);
    EXPECT_FALSE(QFile::exists(fa));
    // An empty database of the suite (created by `anlegen`) is filled; the missing partner is created.
    QFile::remove(mand);
    ASSERT_EQ(xovDb({"anlegen", mand, fa}).status, 0);
    QFile::remove(fa);
    EXPECT_EQ(xovDb({"demo", mand, fa, "2023"}).status, 0);
    EXPECT_EQ(xov::verbindungOeffnen(mand, xov::DbPasswort)->abfragen("SELECT MandBuchjahr FROM AllgMandDaten").zeilen[0][0].toInt(), 2023);
    EXPECT_TRUE(QFile::exists(fa));
    // A 0-byte file is no database of the suite: refused, untouched.
    QFile::remove(fa);
    QFile(mand).resize(0);
    l = xovDb({"demo", mand, fa});
    EXPECT_EQ(l.status, 1);
    EXPECT_TRUE(l.fehler.contains(mand)) << l.fehler.toStdString();
    EXPECT_EQ(QFileInfo(mand).size(), 0);
    EXPECT_FALSE(QFile::exists(fa));
}

// Creating next to an existing shared file, or completing a shared file as if it were a client's:
// refused in one sentence that names the file, nothing created, every file byte for byte as it was.
TEST(XovDbWerkzeug, AnlegenAufVorhandeneUndErgaenzenEinerFremdenDateiAendernNichts) {
    test::Datenbanken db;
    const QByteArray m = pruefsumme(db.mand), g = pruefsumme(db.fa);
    const QString neu = db.ordner.filePath("neu.db");
    for (const QStringList& befehl : {QStringList{"anlegen", neu, db.fa}, QStringList{"felder-ergaenzen", db.fa}}) {
        const Lauf l = xovDb(befehl);
        EXPECT_EQ(l.status, 1) << befehl.first().toStdString();
        EXPECT_TRUE(l.fehler.contains(db.fa)) << l.fehler.toStdString();
        EXPECT_FALSE(l.fehler.contains(QStringLiteral("Fehler 3"))) << l.fehler.toStdString();
        EXPECT_EQ(l.fehler.trimmed().count(u'\n'), 0) << l.fehler.toStdString();
        EXPECT_FALSE(QFile::exists(neu));  // nothing half-created
        EXPECT_EQ(pruefsumme(db.mand), m);
        EXPECT_EQ(pruefsumme(db.fa), g);
    }
}
