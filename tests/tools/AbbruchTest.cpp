// Creating databases is all or nothing: each creating command is killed (SIGKILL) at random
// moments of its run, and every time the next run of the same command succeeds, without anyone
// cleaning up in between.

#include "Hilfen.h"
#include "tools/WerkzeugHilfen.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using test::Lauf;
using test::xovDb;

namespace {

constexpr int Abbrueche = 10;

// Starts the command, kills it after `ms` milliseconds (if it still runs) and waits for its end.
void abbrechenNach(const QStringList& argumente, int ms) {
    QProcess p;
    p.start(QCoreApplication::applicationDirPath() + QStringLiteral("/xov-db"), argumente);
    p.waitForStarted();
    if (!p.waitForFinished(ms)) {
        p.kill();
        p.waitForFinished();
    }
}

// What a target holds; empty when it is not there (or not yet complete: never a whole database).
QStringList stand(const QString& db) {
    try {
        return test::werkzeug::vorhanden(db) ? test::werkzeug::daten(db) : QStringList();
    } catch (const xov::Fehler& f) {
        return {QString::fromUtf8(f.what())};
    }
}

// Kills the command Abbrueche times at a random moment within the time a whole run takes. A kill
// that came after the work was done (while the process ended) leaves the targets complete, as a
// whole run does; otherwise the next run of the same command succeeds. Then the targets go again.
void abbrechenUndWiederholen(const QStringList& befehl, const QStringList& ziele, const std::function<void()>& aufraeumen) {
    QElapsedTimer uhr;
    uhr.start();
    Lauf l = xovDb(befehl);
    ASSERT_EQ(l.status, 0) << l.fehler.toStdString();
    const int dauer = std::max(50, int(uhr.elapsed()));
    QVector<QStringList> ganz;
    for (const QString& z : ziele) ganz << stand(z);
    aufraeumen();
    int fertig = 0;
    for (int i = 0; i < Abbrueche; ++i) {
        const int nach = int(QRandomGenerator::global()->bounded(dauer));
        abbrechenNach(befehl, nach);
        QVector<QStringList> jetzt;
        for (const QString& z : ziele) jetzt << stand(z);
        if (jetzt == ganz) {
            ++fertig;
        } else {
            l = xovDb(befehl);
            ASSERT_EQ(l.status, 0) << "abgebrochen nach " << nach << " ms von " << dauer << ": " << l.fehler.toStdString();
        }
        aufraeumen();
    }
    testing::Test::RecordProperty("schonFertig", fertig);
}

}  // namespace

TEST(Abbruch, AnlegenUndDemoInDateien) {
    test::Datenbanken db;
    const QString mand = db.ordner.filePath(QStringLiteral("neu-mandant.db")), fa = db.ordner.filePath(QStringLiteral("neu-gemeinsam.db"));
    const auto weg = [&] {
        QFile::remove(mand);
        QFile::remove(fa);
    };
    abbrechenUndWiederholen({QStringLiteral("anlegen"), mand, fa}, {mand, fa}, weg);
    abbrechenUndWiederholen({QStringLiteral("demo"), mand, fa}, {mand, fa}, weg);
    // Nothing of a killed run stays beside the databases either.
    EXPECT_EQ(QDir(db.ordner.path()).entryList(QDir::Files | QDir::Hidden).filter(QStringLiteral("xov-neu")), QStringList());
}

TEST(Abbruch, KopierenDateiAufServerUndDemoAufServer) {
    XOV_SERVER_NOETIG(test::Engine::Server);
    test::Datenbanken quelle(test::Engine::Datei);
    test::werkzeug::Serverdatenbanken server;
    const QString mand = server.neu("m"), fa = server.neu("f");
    const auto weg = [&] {
        for (const QString& a : {mand, fa}) xov::datenbankEntfernen({a, xov::DbPasswort});
    };
    abbrechenUndWiederholen({QStringLiteral("kopieren"), quelle.mand, mand, quelle.fa, fa}, {mand, fa}, weg);
    abbrechenUndWiederholen({QStringLiteral("demo"), mand, fa}, {mand, fa}, weg);
}

TEST(Abbruch, KopierenVomServerInDatei) {
    XOV_SERVER_NOETIG(test::Engine::Server);
    test::Datenbanken quelle(test::Engine::Server);
    QTemporaryDir ordner;
    const QString mand = ordner.filePath(QStringLiteral("kopie.db"));
    abbrechenUndWiederholen({QStringLiteral("kopieren"), quelle.mand, mand}, {mand}, [&] { QFile::remove(mand); });
}
