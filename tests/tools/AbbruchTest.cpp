// Creating databases is all or nothing: each creating command is killed (SIGKILL) at moments
// spread over its run, and every time the next run of the same command succeeds, without anyone
// cleaning up in between. `anlegen`, `demo` and `kopieren` create through the same steps of the
// engine (a file grows under a temporary name, a server database carries a mark until complete):
// `demo` into files and on the server, and a copy from the server into a file, reach them all.
// (A copy onto the server creates its tables in one transaction: killed, it leaves an empty
// database, which the next run takes over; `demo` also leaves half-filled, marked ones.)

#include "tools/WerkzeugHilfen.h"

using test::Lauf;
using test::xovDb;

namespace {

constexpr int Abbrueche = 6;

// What the targets hold; a target is empty when it is not there (or not yet complete: never a whole
// database). Reading one a killed run left behind never fails.
QVector<QStringList> stand(const QStringList& ziele) {
    QVector<QStringList> s;
    for (const QString& db : ziele) s << (test::werkzeug::vorhanden(db) ? test::werkzeug::daten(db) : QStringList());
    return s;
}

// Kills the command Abbrueche times, at moments spread evenly over the time a whole run takes. A
// kill that came after the work was done (while the process ended) leaves the targets complete, as
// a whole run does; otherwise the next run of the same command succeeds. Then the targets go again.
void abbrechenUndWiederholen(const QStringList& befehl, const QStringList& ziele) {
    const auto aufraeumen = [&] { for (const QString& z : ziele) xov::datenbankEntfernen({z, xov::DbPasswort}); };
    QElapsedTimer uhr;
    uhr.start();
    Lauf l = xovDb(befehl);
    ASSERT_EQ(l.status, 0) << l.fehler.toStdString();
    const int dauer = std::max(50, int(uhr.elapsed()));
    const QVector<QStringList> ganz = stand(ziele);
    aufraeumen();
    for (int i = 0; i < Abbrueche; ++i) {
        const int nach = dauer * (2 * i + 1) / (2 * Abbrueche);
        test::starten(QStringLiteral("xov-db"), befehl, nach);
        if (stand(ziele) != ganz) {
            l = xovDb(befehl);
            ASSERT_EQ(l.status, 0) << "abgebrochen nach " << nach << " ms von " << dauer << ": " << l.fehler.toStdString();
        }
        aufraeumen();
    }
}

}  // namespace

TEST(Abbruch, DemoInDateien) {
    test::Datenbanken db;
    const QString mand = db.ordner.filePath(QStringLiteral("neu-mandant.db")), fa = db.ordner.filePath(QStringLiteral("neu-gemeinsam.db"));
    abbrechenUndWiederholen({QStringLiteral("demo"), mand, fa}, {mand, fa});
    // Nothing of a killed run stays beside the databases either.
    EXPECT_EQ(QDir(db.ordner.path()).entryList(QDir::Files | QDir::Hidden).filter(QStringLiteral("xov-neu")), QStringList());
}

TEST(Abbruch, DemoAufDemServerUndKopieVomServerInEineDatei) {
    XOV_SERVER_NOETIG(test::Engine::Server);
    test::Serverdatenbanken server;
    const QString mand = server.neu("m"), fa = server.neu("f");
    abbrechenUndWiederholen({QStringLiteral("demo"), mand, fa}, {mand, fa});
    ASSERT_EQ(xovDb({QStringLiteral("demo"), mand, fa}).status, 0);
    QTemporaryDir ordner;
    const QString datei = ordner.filePath(QStringLiteral("kopie.db"));
    abbrechenUndWiederholen({QStringLiteral("kopieren"), mand, datei}, {datei});
}
