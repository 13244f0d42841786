// The map from SQLite's (extended) result codes to the dialog's numbers. The one place where the
// engine's message text is read: SQLite reports a missing column or table only as SQLITE_ERROR at
// prepare time, without a code of its own and without naming what is missing anywhere else
// (sqlite3_error_offset came after SQLite 3.15, which SQLCipher 3.4 carries). Those two
// situations are recognised by the message's fixed beginning; everything else by its code.

#include "platform/sqlcipher/Fehlerabbildung.h"
#include "platform/Fehler.h"

#include <sqlcipher/sqlite3.h>

#include <QFile>
#include <QFileInfo>

#include <cstring>

#include <unistd.h>

namespace xov::sqlcipher {
namespace {

// SQLITE_ERROR often only wraps a more telling code whose own description it carries
// (sqlcipher_export reports a full disk as 1 "database or disk is full"). A page of a keyed file
// that does not decrypt sets a bare SQLITE_ERROR with the generic description: that is damage.
int ursache(int rc, const QString& text) {
    if ((rc & 0xff) != SQLITE_ERROR) return rc;
    if (text == QLatin1String(sqlite3_errstr(SQLITE_ERROR))) return SQLITE_CORRUPT;
    for (int c : {SQLITE_FULL, SQLITE_CORRUPT, SQLITE_READONLY, SQLITE_NOTADB, SQLITE_IOERR, SQLITE_CANTOPEN, SQLITE_NOMEM})
        if (text.contains(QLatin1String(sqlite3_errstr(c)))) return c;
    return rc;
}

// The name after one of SQLite's fixed beginnings of a missing-object message, or "".
QString fehlendesObjekt(const QString& text, std::initializer_list<const char*> anfaenge) {
    for (const char* anfang : anfaenge) {
        const qsizetype i = text.indexOf(QLatin1String(anfang));
        if (i >= 0) return text.mid(i + qsizetype(std::strlen(anfang))).section(QLatin1Char(' '), 0, 0);
    }
    return {};
}

// Why a file cannot be written: the file itself or its folder (which must take the journal).
QString schreibGrund(const QString& pfad) {
    if (pfad.isEmpty()) return {};
    const QByteArray datei = QFile::encodeName(pfad), ordner = QFile::encodeName(QFileInfo(pfad).absolutePath());
    if (::access(ordner.constData(), W_OK) != 0)
        return QStringLiteral("der Ordner %1 ist schreibgeschützt; die Datenbank braucht dort Platz für ihre Journaldatei")
            .arg(QFileInfo(pfad).absolutePath());
    if (::access(datei.constData(), W_OK) != 0) return QStringLiteral("die Datei %1 ist schreibgeschützt").arg(pfad);
    return QStringLiteral("die Datei %1 wurde ersetzt oder verschoben, während sie geöffnet war").arg(pfad);
}

// The German sentence for an engine situation without a number of its own.
QString deutscherSatz(int primaer) {
    switch (primaer) {
    case SQLITE_CORRUPT: return QStringLiteral("Die Datenbankdatei ist beschädigt");
    case SQLITE_FULL: return QStringLiteral("Der Datenträger ist voll; die Datenbank kann nicht geschrieben werden");
    case SQLITE_IOERR: return QStringLiteral("Lese- oder Schreibfehler beim Zugriff auf die Datenbankdatei");
    case SQLITE_NOMEM: return QStringLiteral("Nicht genügend Arbeitsspeicher für die Datenbank");
    case SQLITE_PERM: case SQLITE_AUTH: return QStringLiteral("Der Zugriff auf die Datenbank wurde verweigert");
    case SQLITE_TOOBIG: return QStringLiteral("Der Wert ist zu groß für die Datenbank");
    case SQLITE_CONSTRAINT: return QStringLiteral("Der Wert verletzt eine Bedingung der Tabelle");
    case SQLITE_MISMATCH: return QStringLiteral("Der Wert passt nicht zum Typ der Spalte");
    case SQLITE_RANGE: case SQLITE_MISUSE: return QStringLiteral("Interner Fehler beim Zugriff auf die Datenbank");
    case SQLITE_NOTADB: return QStringLiteral("Die Datenbankdatei ist beschädigt; sie lässt sich mit dem richtigen Kennwort nicht mehr lesen");
    default: return QStringLiteral("Die Datenbank meldet einen Fehler");
    }
}

[[noreturn]] void nurLesen(const QString& pfad, const QString& engine) {
    const QString grund = schreibGrund(pfad);
    throw Fehler(FehlerNr::NurLesen, QStringLiteral("Die Datenbank kann nicht geschrieben werden") +
                                         (grund.isEmpty() ? QString() : QStringLiteral(": ") + grund) +
                                         QStringLiteral(" (") + engine + QLatin1Char(')'));
}

[[noreturn]] void nichtZuOeffnen(const QString& pfad, const QString& text, const QString& engine) {
    if (!pfad.isEmpty() && QFileInfo::exists(pfad))
        throw Fehler(FehlerNr::DateiNichtGefunden,
                     QStringLiteral("Die Datei %1 kann nicht geöffnet werden (%2)").arg(pfad, engine));
    fehlerWerfen(FehlerNr::DateiNichtGefunden, pfad.isEmpty() ? text : pfad);
}

}  // namespace

void sqliteFehler(sqlite3* db, int rc, bool beimOeffnen, const QString& pfad) {
    const QString text = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString::fromUtf8(sqlite3_errstr(rc));
    rc = ursache(rc, text);
    const int primaer = rc & 0xff;
    const QString engine = QStringLiteral("Datenbank meldet: ") + text;
    if (primaer == SQLITE_ERROR) {
        if (const QString s = fehlendesObjekt(text, {"no such column: ", "has no column named "}); !s.isEmpty())
            fehlerWerfen(FehlerNr::SpalteFehlt, s);
        if (const QString t = fehlendesObjekt(text, {"no such table: "}); !t.isEmpty())
            fehlerWerfen(FehlerNr::TabelleFehlt, t);
    }
    switch (rc) {
    case SQLITE_CONSTRAINT_UNIQUE:
    case SQLITE_CONSTRAINT_PRIMARYKEY: fehlerWerfen(FehlerNr::DoppelterSchluessel, text);
    default: break;
    }
    switch (primaer) {
    case SQLITE_NOTADB:
        // At the first statement a wrong key and a damaged first page look alike; later the key
        // has been proven right and only damage remains.
        if (beimOeffnen)
            throw Fehler(FehlerNr::FalschesPasswort,
                         QStringLiteral("Ungültiges Kennwort, oder die Datenbankdatei ist beschädigt: %1 lässt sich mit "
                                        "dem Kennwort nicht lesen (%2)").arg(pfad.isEmpty() ? QStringLiteral("die Datei") : pfad, engine));
        break;
    case SQLITE_BUSY:
    case SQLITE_LOCKED: fehlerWerfen(beimOeffnen ? FehlerNr::ExklusivGesperrt : FehlerNr::Gesperrt, pfad);
    case SQLITE_CANTOPEN:
        if (beimOeffnen) nichtZuOeffnen(pfad, text, engine);
        nurLesen(pfad, engine);  // a file open on screen that cannot take its journal: it cannot be written
    case SQLITE_READONLY: nurLesen(pfad, engine);
    default: break;
    }
    throw Fehler(FehlerNr::EngineBasis + primaer, deutscherSatz(primaer) + QStringLiteral(" (") + engine + QLatin1Char(')'));
}

}  // namespace xov::sqlcipher
