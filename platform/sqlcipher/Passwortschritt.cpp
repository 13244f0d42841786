#include "platform/sqlcipher/Passwortschritt.h"
#include "platform/sqlcipher/Ableitung.h"
#include "platform/sqlcipher/Dateisperre.h"
#include "platform/sqlcipher/Fehlerabbildung.h"
#include "platform/Datenbank.h"
#include "platform/Fehler.h"

#include <sqlcipher/sqlite3.h>

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace xov::sqlcipher {
namespace {

// A raw handle that closes itself. Every call's result is checked.
struct Handle {
    sqlite3* db = nullptr;
    QString pfad;
    ~Handle() { if (db) sqlite3_close(db); }
    void pruefen(int rc, bool beimOeffnen = false) const {
        if (rc != SQLITE_OK) sqliteFehler(db, rc, beimOeffnen, pfad);
    }
    void exec(const char* sql, bool beimOeffnen = false) const {
        pruefen(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), beimOeffnen);
    }
    qint64 zahl(const QString& sql) const {
        sqlite3_stmt* st = nullptr;
        const QByteArray s = sql.toUtf8();
        pruefen(sqlite3_prepare_v2(db, s.constData(), s.size(), &st, nullptr));
        const int rc = sqlite3_step(st);
        const qint64 z = rc == SQLITE_ROW ? sqlite3_column_int64(st, 0) : 0;
        sqlite3_finalize(st);
        if (rc != SQLITE_ROW) sqliteFehler(db, rc, false, pfad);
        return z;
    }
    // The tables of a schema. A listing cut short raises its failure: the row check relies on it.
    QStringList tabellen(const char* schema) const {
        QStringList t;
        sqlite3_stmt* st = nullptr;
        const QByteArray s = QByteArray("SELECT name FROM ") + schema + ".sqlite_master WHERE type='table'";
        pruefen(sqlite3_prepare_v2(db, s.constData(), -1, &st, nullptr));
        int rc;
        while ((rc = sqlite3_step(st)) == SQLITE_ROW)
            t << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
        sqlite3_finalize(st);
        if (rc != SQLITE_DONE) sqliteFehler(db, rc, false, pfad);
        return t;
    }
    // ATTACH of the encrypted copy, file name and key bound.
    void verschluesseltAnhaengen(const QString& neu, const QString& passwort) const {
        sqlite3_stmt* st = nullptr;
        pruefen(sqlite3_prepare_v2(db, "ATTACH ?1 AS verschl KEY ?2", -1, &st, nullptr));
        const QByteArray n = QFile::encodeName(neu), k = passwort.toUtf8();
        int rc = sqlite3_bind_text(st, 1, n.constData(), n.size(), SQLITE_TRANSIENT);
        if (rc == SQLITE_OK) rc = sqlite3_bind_text(st, 2, k.constData(), k.size(), SQLITE_TRANSIENT);
        if (rc == SQLITE_OK) rc = sqlite3_step(st);
        sqlite3_finalize(st);
        if (rc != SQLITE_DONE) sqliteFehler(db, rc, false, pfad);
    }
};

void aufPlatteSchreiben(const QString& pfad, bool ordner) {
    const int fd = ::open(QFile::encodeName(pfad).constData(), ordner ? O_RDONLY | O_DIRECTORY : O_RDWR);
    if (fd < 0) fehlerWerfen(FehlerNr::EinAusgabe, pfad);
    const int rc = ::fsync(fd);
    ::close(fd);
    if (rc != 0 && !ordner) fehlerWerfen(FehlerNr::EinAusgabe, pfad);
}

// The encrypted copy takes over the owner, group and mode of the original, so that whoever could
// write the file before still can. When they cannot be kept (another user's file, and we are not
// allowed to give it away), the step is skipped: the original stays as it was.
void besitzUebernehmen(const QString& neu, const struct stat& original, const QString& pfad) {
    const int fd = ::open(QFile::encodeName(neu).constData(), O_RDWR | O_CLOEXEC);
    if (fd < 0) fehlerWerfen(FehlerNr::EinAusgabe, neu);
    struct stat kopie {};
    bool ok = ::fstat(fd, &kopie) == 0;
    if (ok && (kopie.st_uid != original.st_uid || kopie.st_gid != original.st_gid))
        ok = ::fchown(fd, original.st_uid, original.st_gid) == 0;
    const int fehlerNr = errno;
    if (ok) ok = ::fchmod(fd, original.st_mode & 07777) == 0;
    ::close(fd);
    if (!ok)
        throw Fehler(FehlerNr::KeineBerechtigung,
                     QStringLiteral("Die Datenbank %1 erhält kein Kennwort: die verschlüsselte Datei könnte Besitzer, Gruppe "
                                    "und Zugriffsrechte des Originals nicht behalten (%2). Sie bleibt unverändert.")
                         .arg(pfad, QString::fromLocal8Bit(std::strerror(fehlerNr))));
}

// Only while no connection anywhere has the file open; otherwise skip, as for a file held
// exclusively by another process. The lock is held until the copy has replaced the file.
void exklusivSperren(Dateisperre& sperre, const QString& pfad) {
    switch (sperre.sperren(pfad, true, 0)) {
    case Dateisperre::Ergebnis::Fehlt: fehlerWerfen(FehlerNr::DateiNichtGefunden, pfad);
    // Nothing to key: the open that follows names what stands there.
    case Dateisperre::Ergebnis::KeineDatei: fehlerWerfen(FehlerNr::DateiNichtGefunden, pfad);
    case Dateisperre::Ergebnis::Belegt: fehlerWerfen(FehlerNr::ExklusivGesperrt, pfad);
    case Dateisperre::Ergebnis::Unlesbar:
        throw Fehler(FehlerNr::NichtOeffenbar,
                     QStringLiteral("Die Datei %1 kann nicht gelesen werden (%2)").arg(pfad, QString::fromLocal8Bit(std::strerror(errno))));
    case Dateisperre::Ergebnis::Gehalten: break;
    }
}

// No row may be lost: every table of the copy holds as many rows as the original.
void kopiePruefen(const Handle& alt) {
    const QStringList tabellen = alt.tabellen("main");
    if (alt.tabellen("verschl").size() != tabellen.size())
        fehlerWerfen(FehlerNr::Beschaedigt, QStringLiteral("Kopie unvollständig: Tabellen fehlen"));
    for (const QString& t : tabellen) {
        const QString q = bezeichner(t);
        if (alt.zahl(QStringLiteral("SELECT count(*) FROM main.%1").arg(q)) !=
            alt.zahl(QStringLiteral("SELECT count(*) FROM verschl.%1").arg(q)))
            fehlerWerfen(FehlerNr::Beschaedigt, QStringLiteral("Kopie unvollständig: ") + t);
    }
}

}  // namespace

void passwortVergeben(const QString& pfad, const QString& passwort, const QString& kennTabelle) {
    if (!QFileInfo(pfad).isFile()) fehlerWerfen(FehlerNr::DateiNichtGefunden, pfad);
    Dateisperre sperre;
    exklusivSperren(sperre, pfad);
    struct stat original {};
    if (::fstat(sperre.fd(), &original) != 0) fehlerWerfen(FehlerNr::EinAusgabe, pfad);

    Handle alt;
    alt.pfad = pfad;
    const QByteArray p = QFile::encodeName(pfad);
    const int rc = sqlite3_open_v2(p.constData(), &alt.db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    if (rc != SQLITE_OK) sqliteFehler(alt.db, rc, true, pfad);
    alt.pruefen(sqlite3_extended_result_codes(alt.db, 1));
    alt.pruefen(sqlite3_busy_timeout(alt.db, 1000));
    // Without a key a keyed file reads as "not a database": 3031, and the file stays untouched.
    alt.exec("SELECT count(*) FROM sqlite_master", true);
    // Only a database of the suite is encrypted: someone else's file (or an empty one) would
    // become unreadable to its owner.
    if (!alt.tabellen("main").contains(kennTabelle, Qt::CaseInsensitive))
        throw Fehler(FehlerNr::FremdeDatei,
                     QStringLiteral("Die Datei %1 ist keine Datenbank der Anwendung (die Tabelle %2 fehlt); sie bleibt "
                                    "unverändert und erhält kein Kennwort.").arg(pfad, kennTabelle));
    // Hold the file exclusively also against SQLite users that know nothing of the lock above.
    alt.exec("PRAGMA locking_mode=EXCLUSIVE");
    alt.exec("BEGIN EXCLUSIVE; COMMIT;", true);

    const QString neu = pfad + QStringLiteral(".xov-neu");
    QFile::remove(neu);
    try {
        const qint64 version = alt.zahl(QStringLiteral("PRAGMA user_version"));
        vorSchluesselableitung();
        alt.verschluesseltAnhaengen(neu, passwort);
        alt.exec("SELECT sqlcipher_export('verschl')");
        alt.exec(QStringLiteral("PRAGMA verschl.user_version = %1").arg(version).toUtf8().constData());
        kopiePruefen(alt);
        alt.exec("DETACH verschl");
        besitzUebernehmen(neu, original, pfad);
        aufPlatteSchreiben(neu, false);
        if (::rename(QFile::encodeName(neu).constData(), p.constData()) != 0)
            fehlerWerfen(FehlerNr::EinAusgabe, QStringLiteral("Umbenennen fehlgeschlagen: ") + pfad);
        aufPlatteSchreiben(QFileInfo(pfad).absolutePath(), true);
    } catch (...) {
        // A failure while copying is never one of the "cannot open" situations the caller
        // passes over silently: the original is intact, but the user must hear of it.
        Fehler f = aktuellerFehler();
        QFile::remove(neu);
        QFile::remove(neu + QStringLiteral("-journal"));
        if (f.nummer() < FehlerNr::EngineBasis && f.nummer() != FehlerNr::KeineBerechtigung)
            throw Fehler(FehlerNr::NichtOeffenbar,
                         QStringLiteral("Die verschlüsselte Kopie konnte nicht geschrieben werden: ") + f.beschreibung());
        throw f;
    }
}

}  // namespace xov::sqlcipher
