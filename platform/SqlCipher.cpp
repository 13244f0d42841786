// SQLCipher behind the Verbindung interface: keyed files, bound parameters, a cache of
// prepared statements, and the map from SQLite's results to the dialog's error numbers.

#include "platform/Datenbank.h"
#include "platform/Fehler.h"
#include "platform/Variant.h"

#include <sqlcipher/sqlite3.h>

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QElapsedTimer>
#include <QRegularExpression>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace xov {
namespace {

constexpr auto SchluesselSpalte = "xov_rowid";

// The engine's result code for a failure: SQLITE_ERROR often only wraps a more telling one
// (sqlcipher_export reports a full disk as 1 "database or disk is full").
// A page of a keyed file that does not decrypt (its checksum fails) sets the connection's error
// to a bare SQLITE_ERROR with SQLite's generic text: on a file that opened, that is damage.
int ursache(int rc, const QString& text) {
    if ((rc & 0xff) != SQLITE_ERROR) return rc;
    if (text == QLatin1String(sqlite3_errstr(SQLITE_ERROR))) return SQLITE_CORRUPT;
    for (int c : {SQLITE_FULL, SQLITE_CORRUPT, SQLITE_READONLY, SQLITE_NOTADB, SQLITE_IOERR, SQLITE_CANTOPEN, SQLITE_NOMEM})
        if (text.contains(QLatin1String(sqlite3_errstr(c)))) return c;
    return rc;
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

// Maps an SQLite failure to the numbers the dialog knows, in German words with the engine's own
// text as a detail. `beimOeffnen` tells a failure while connecting (another process holds the
// file exclusively, the key does not fit) from one met later; `pfad` names the file in reasons.
[[noreturn]] void sqliteFehler(sqlite3* db, int rc, bool beimOeffnen = false, const QString& pfad = {}) {
    const QString text = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString::fromUtf8(sqlite3_errstr(rc));
    rc = ursache(rc, text);
    const int primaer = rc & 0xff;
    static const QRegularExpression spalte(QStringLiteral("(?:no such column: |has no column named )(\\S+)"));
    if (auto m = spalte.match(text); m.hasMatch()) fehlerWerfen(FehlerNr::SpalteFehlt, m.captured(1));
    if (text.startsWith(QLatin1String("no such table"))) fehlerWerfen(FehlerNr::TabelleFehlt, text.mid(15));
    const QString engine = QStringLiteral("Datenbank meldet: ") + text;
    switch (primaer) {
    case SQLITE_CONSTRAINT:
        if (rc == SQLITE_CONSTRAINT_UNIQUE || rc == SQLITE_CONSTRAINT_PRIMARYKEY)
            fehlerWerfen(FehlerNr::DoppelterSchluessel, text);
        break;
    case SQLITE_NOTADB:
        // At the first statement a wrong key and a damaged first page look alike; later the key
        // has been proven right and only damage remains.
        if (beimOeffnen)
            throw Fehler(FehlerNr::FalschesPasswort,
                         QStringLiteral("Ungültiges Kennwort, oder die Datenbankdatei ist beschädigt: %1 lässt sich mit "
                                        "dem Kennwort nicht lesen (%2)").arg(pfad.isEmpty() ? QStringLiteral("die Datei") : pfad, engine));
        break;
    case SQLITE_BUSY:
    case SQLITE_LOCKED: fehlerWerfen(beimOeffnen ? FehlerNr::ExklusivGesperrt : FehlerNr::Gesperrt);
    case SQLITE_CANTOPEN:
        if (beimOeffnen) {
            if (!pfad.isEmpty() && QFileInfo::exists(pfad))
                throw Fehler(FehlerNr::DateiNichtGefunden,
                             QStringLiteral("Die Datei %1 kann nicht geöffnet werden (%2)").arg(pfad, engine));
            fehlerWerfen(FehlerNr::DateiNichtGefunden, pfad.isEmpty() ? text : pfad);
        }
        [[fallthrough]];  // a file open on screen that cannot take its journal: it cannot be written
    case SQLITE_READONLY: {
        const QString grund = schreibGrund(pfad);
        throw Fehler(FehlerNr::NurLesen, QStringLiteral("Die Datenbank kann nicht geschrieben werden") +
                                             (grund.isEmpty() ? QString() : QStringLiteral(": ") + grund) +
                                             QStringLiteral(" (") + engine + QLatin1Char(')'));
    }
    default: break;
    }
    throw Fehler(FehlerNr::EngineBasis + primaer, deutscherSatz(primaer) + QStringLiteral(" (") + engine + QLatin1Char(')'));
}

QString isoDatum(const QDate& d) { return d.toString(Qt::ISODate); }

// Jet's datevalue(): German date text to the stored ISO form, so that old SQL texts still run.
void sqlDatevalue(sqlite3_context* ctx, int, sqlite3_value** argv) {
    const auto text = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_value_text(argv[0])));
    if (auto d = datumAusText(text)) {
        const QByteArray iso = isoDatum(*d).toUtf8();
        sqlite3_result_text(ctx, iso.constData(), iso.size(), SQLITE_TRANSIENT);
    } else {
        sqlite3_result_null(ctx);
    }
}

QString bezeichner(const QString& name) {
    QString n = name;
    return QLatin1Char('"') + n.replace(QLatin1Char('"'), QLatin1String("\"\"")) + QLatin1Char('"');
}

// Advisory file locks: the one mechanism by which connections and the password step keep out of
// each other's way, in this process and in others.
//
// Every connection holds a shared flock() on its database file for as long as it is open. The
// password step takes the lock exclusively and without waiting: when any connection has the file
// open it skips (3356), so it never replaces a file that someone reads or writes. An open that
// meets a running step waits for it; if the step renamed a new file over the path meanwhile, the
// lock is taken again on the file the path names now, so that every open sees a whole file, keyed
// or plain. flock() locks belong to the open file description: they are independent of SQLite's
// own POSIX locks, and two connections of one process exclude each other as two processes do.
class Dateisperre {
public:
    enum class Ergebnis { Gehalten, Belegt, Fehlt, Unlesbar };
    Dateisperre() = default;
    Dateisperre(const Dateisperre&) = delete;
    Dateisperre& operator=(const Dateisperre&) = delete;
    ~Dateisperre() { freigeben(); }

    Ergebnis sperren(const QString& pfad, bool exklusiv, int wartenMs) {
        freigeben();
        const QByteArray p = QFile::encodeName(pfad);
        QElapsedTimer uhr;
        uhr.start();
        for (;;) {
            const int fd = ::open(p.constData(), O_RDONLY | O_CLOEXEC);
            if (fd < 0) return errno == ENOENT ? Ergebnis::Fehlt : Ergebnis::Unlesbar;
            int rc;
            while ((rc = ::flock(fd, (exklusiv ? LOCK_EX : LOCK_SH) | LOCK_NB)) != 0 && errno == EWOULDBLOCK &&
                   uhr.elapsed() < wartenMs)
                ::usleep(5000);
            if (rc != 0) {
                ::close(fd);
                return Ergebnis::Belegt;
            }
            struct stat gesperrt {}, jetzt {};
            if (::fstat(fd, &gesperrt) == 0 && ::stat(p.constData(), &jetzt) == 0 && gesperrt.st_dev == jetzt.st_dev &&
                gesperrt.st_ino == jetzt.st_ino) {
                m_fd = fd;
                return Ergebnis::Gehalten;
            }
            ::close(fd);  // replaced while we waited: lock the new file
            if (uhr.elapsed() >= wartenMs) return Ergebnis::Belegt;
        }
    }
    void freigeben() {
        if (m_fd >= 0) ::close(m_fd);
        m_fd = -1;
    }
    int fd() const { return m_fd; }

private:
    int m_fd = -1;
};

// How long an open waits for a running password step or an exclusive holder.
constexpr int SperreWartenMs = 15000;

// The first bytes of a database file without password.
bool istUnverschluesselt(int fd) {
    char kopf[16] = {};
    return fd >= 0 && ::pread(fd, kopf, sizeof kopf, 0) == sizeof kopf && std::memcmp(kopf, "SQLite format 3", 16) == 0;
}

class SqlCipherVerbindung final : public Verbindung {
public:
    SqlCipherVerbindung(const QString& pfad, const QString& passwort, bool anlegen) : m_pfad(pfad) {
        if (!anlegen) {
            switch (m_sperre.sperren(pfad, false, SperreWartenMs)) {
            case Dateisperre::Ergebnis::Fehlt: fehlerWerfen(FehlerNr::DateiNichtGefunden, pfad);
            case Dateisperre::Ergebnis::Belegt: fehlerWerfen(FehlerNr::ExklusivGesperrt, pfad);
            default: break;  // unreadable: SQLite says why below
            }
        }
        oeffnen(passwort, anlegen);
        if (anlegen && m_sperre.sperren(pfad, false, SperreWartenMs) != Dateisperre::Ergebnis::Gehalten) {
            schliessen();
            fehlerWerfen(FehlerNr::ExklusivGesperrt, pfad);
        }
        // The key is derived at the first statement: a wrong password or a lock shows here. A file
        // without password is read as it is: it stays plain while another process had it open
        // when the password step ran, and the dialog must still read it.
        int rc = sqlite3_exec(m_db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr);
        if (rc != SQLITE_OK && (rc & 0xff) == SQLITE_NOTADB && !passwort.isEmpty() && istUnverschluesselt(m_sperre.fd())) {
            schliessen();
            oeffnen(QString(), false);
            rc = sqlite3_exec(m_db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr);
        }
        if (rc != SQLITE_OK) {
            try { sqliteFehler(m_db, rc, true, m_pfad); } catch (...) { schliessen(); throw; }
        }
    }
    ~SqlCipherVerbindung() override { schliessen(); }

    QString pfad() const override { return m_pfad; }

    Abfrageergebnis abfragen(const QString& sql, const QVariantList& parameter = {}) override {
        Abfrageergebnis erg;
        QString text = sql;
        erg.tabelle = einzelTabelle(sql);
        if (!erg.tabelle.isEmpty()) {
            static const QRegularExpression select(QStringLiteral("^\\s*SELECT\\s+"),
                                                   QRegularExpression::CaseInsensitiveOption);
            text.replace(select, QStringLiteral("SELECT %1.rowid AS %2, ").arg(bezeichner(erg.tabelle),
                                                                            QLatin1String(SchluesselSpalte)));
        }
        sqlite3_stmt* st = vorbereiten(text, parameter);
        const int n = sqlite3_column_count(st);
        const int erste = erg.tabelle.isEmpty() ? 0 : 1;
        QVector<bool> datum(n);
        for (int i = erste; i < n; ++i) {
            erg.spalten << QString::fromUtf8(sqlite3_column_name(st, i));
            const char* typ = sqlite3_column_decltype(st, i);
            datum[i] = typ && QByteArray(typ).toUpper().contains("DATE");
        }
        int rc;
        while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
            QVector<QVariant> zeile;
            zeile.reserve(n - erste);
            for (int i = erste; i < n; ++i) zeile << wert(st, i, datum[i]);
            erg.zeilen << zeile;
            if (erste) erg.schluessel << QVariant(sqlite3_column_int64(st, 0));
        }
        sqlite3_reset(st);
        if (rc != SQLITE_DONE) fehler(rc);
        return erg;
    }

    void ausfuehren(const QString& sql, const QVariantList& parameter = {}) override {
        sqlite3_stmt* st = vorbereiten(sql, parameter);
        int rc;
        while ((rc = sqlite3_step(st)) == SQLITE_ROW) {}
        sqlite3_reset(st);
        if (rc != SQLITE_DONE) fehler(rc);
    }

    QVariant einfuegen(const QString& tabelle, const Spaltenwerte& werte) override {
        QStringList namen, platz;
        QVariantList param;
        for (const auto& [name, w] : werte) { namen << bezeichner(name); platz << QStringLiteral("?"); param << w; }
        const QString sql = namen.isEmpty()
            ? QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(bezeichner(tabelle))
            : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)").arg(bezeichner(tabelle), namen.join(u','), platz.join(u','));
        Transaktion t(*this);
        ausfuehren(sql, param);
        const qint64 id = sqlite3_last_insert_rowid(m_db);
        t.bestaetigen();
        return QVariant(id);
    }

    void aendern(const QString& tabelle, const QVariant& schluessel, const Spaltenwerte& werte) override {
        if (werte.isEmpty()) return;
        QStringList zuweisung;
        QVariantList param;
        for (const auto& [name, w] : werte) { zuweisung << bezeichner(name) + QStringLiteral("=?"); param << w; }
        param << schluessel;
        Transaktion t(*this);
        ausfuehren(QStringLiteral("UPDATE %1 SET %2 WHERE rowid=?").arg(bezeichner(tabelle), zuweisung.join(u',')), param);
        if (sqlite3_changes(m_db) != 1) fehlerWerfen(FehlerNr::KeinAktuellerDatensatz);
        t.bestaetigen();
    }

    void loeschen(const QString& tabelle, const QVariant& schluessel) override {
        Transaktion t(*this);
        ausfuehren(QStringLiteral("DELETE FROM %1 WHERE rowid=?").arg(bezeichner(tabelle)), {schluessel});
        if (sqlite3_changes(m_db) != 1) fehlerWerfen(FehlerNr::KeinAktuellerDatensatz);
        t.bestaetigen();
    }

    QVector<QVariant> zeileLesen(const QString& tabelle, const QVariant& schluessel, const QStringList& spalten) override {
        QStringList namen;
        for (const auto& s : spalten) namen << bezeichner(s);
        const auto erg = abfragen(QStringLiteral("SELECT %1 FROM %2 WHERE rowid=?")
                                      .arg(namen.join(u','), bezeichner(tabelle)), {schluessel});
        if (erg.zeilen.isEmpty()) fehlerWerfen(FehlerNr::KeinAktuellerDatensatz);
        return erg.zeilen.first();
    }

    QStringList spaltenVon(const QString& tabelle) override {
        QStringList namen;
        const auto erg = abfragen(QStringLiteral("PRAGMA table_info(%1)").arg(bezeichner(tabelle)));
        for (const auto& z : erg.zeilen) namen << z.at(1).toString();
        if (namen.isEmpty()) fehlerWerfen(FehlerNr::TabelleFehlt, tabelle);
        return namen;
    }

    // Nested writes (a row write inside the tool's transaction) join the outer one. The depth
    // counts only transactions that really began: a BEGIN refused by a lock leaves it as it was,
    // so that the next transaction issues its own BEGIN and can be rolled back.
    void beginnen() override {
        if (m_tiefe == 0) ausfuehren(QStringLiteral("BEGIN IMMEDIATE"), {});
        ++m_tiefe;
    }
    void bestaetigen() override {
        if (m_tiefe == 0) return;
        if (m_tiefe == 1) ausfuehren(QStringLiteral("COMMIT"), {});  // a failed COMMIT leaves the rollback to the guard
        --m_tiefe;
    }
    void zuruecknehmen() override {
        if (m_tiefe == 0) return;
        if (--m_tiefe == 0 && !sqlite3_get_autocommit(m_db)) ausfuehren(QStringLiteral("ROLLBACK"), {});
    }

private:
    [[noreturn]] void fehler(int rc) const { sqliteFehler(m_db, rc, false, m_pfad); }

    // Opens the handle and keys it; every call's result is checked.
    void oeffnen(const QString& passwort, bool anlegen) {
        const int flags = SQLITE_OPEN_READWRITE | (anlegen ? SQLITE_OPEN_CREATE : 0);
        const QByteArray p = QFile::encodeName(m_pfad);
        int rc = sqlite3_open_v2(p.constData(), &m_db, flags, nullptr);
        if (rc != SQLITE_OK) {
            // The handle must not be keyed after a failed open; release it and report.
            try { sqliteFehler(m_db, rc, true, m_pfad); } catch (...) { schliessen(); throw; }
        }
        const QByteArray k = passwort.toUtf8();
        if (!k.isEmpty()) rc = sqlite3_key(m_db, k.constData(), k.size());
        if (rc == SQLITE_OK) rc = sqlite3_busy_timeout(m_db, 2000);
        if (rc == SQLITE_OK) rc = sqlite3_extended_result_codes(m_db, 1);
        if (rc == SQLITE_OK)
            rc = sqlite3_create_function(m_db, "datevalue", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                                         &sqlDatevalue, nullptr, nullptr);
        if (rc != SQLITE_OK) {
            try { sqliteFehler(m_db, rc, true, m_pfad); } catch (...) { schliessen(); throw; }
        }
    }

    // The one table of a simple "SELECT ... FROM table [WHERE|ORDER ...]", whose rows can be written back.
    static QString einzelTabelle(const QString& sql) {
        static const QRegularExpression muster(
            QStringLiteral("^\\s*SELECT\\s+([\\w\\s,.*]+?)\\s+FROM\\s+([A-Za-z_]\\w*)\\s*(?:$|;|WHERE\\b|ORDER\\b)"),
            QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
        const auto m = muster.match(sql);
        if (!m.hasMatch() || m.captured(1).contains(QLatin1String("DISTINCT"), Qt::CaseInsensitive)) return {};
        return m.captured(2);
    }

    sqlite3_stmt* vorbereiten(const QString& sql, const QVariantList& parameter) {
        sqlite3_stmt* st = m_anweisungen.value(sql);
        if (!st) {
            const QByteArray s = sql.toUtf8();
            const int rc = sqlite3_prepare_v2(m_db, s.constData(), s.size(), &st, nullptr);
            if (rc != SQLITE_OK) fehler(rc);
            if (!st) fehlerWerfen(FehlerNr::EngineBasis + SQLITE_MISUSE, QStringLiteral("leere Anweisung"));
            m_anweisungen.insert(sql, st);
        }
        sqlite3_clear_bindings(st);
        for (int i = 0; i < parameter.size(); ++i) binden(st, i + 1, parameter.at(i));
        return st;
    }

    void binden(sqlite3_stmt* st, int i, const QVariant& v) {
        int rc;
        if (istNull(v) || istLeer(v)) {
            rc = sqlite3_bind_null(st, i);
        } else {
            switch (v.typeId()) {
            case QMetaType::Bool: rc = sqlite3_bind_int(st, i, v.toBool() ? -1 : 0); break;
            case QMetaType::Int: case QMetaType::Short: case QMetaType::LongLong: case QMetaType::UInt:
            case QMetaType::Long: case QMetaType::UShort:
                rc = sqlite3_bind_int64(st, i, v.toLongLong()); break;
            case QMetaType::Double: case QMetaType::Float: rc = sqlite3_bind_double(st, i, v.toDouble()); break;
            case QMetaType::QDate: case QMetaType::QDateTime: {
                const QByteArray t = isoDatum(v.toDate()).toUtf8();
                rc = sqlite3_bind_text(st, i, t.constData(), t.size(), SQLITE_TRANSIENT);
                break;
            }
            case QMetaType::QByteArray: {
                const QByteArray b = v.toByteArray();
                rc = sqlite3_bind_blob(st, i, b.constData(), b.size(), SQLITE_TRANSIENT);
                break;
            }
            default: {
                const QByteArray t = v.toString().toUtf8();
                rc = sqlite3_bind_text(st, i, t.constData(), t.size(), SQLITE_TRANSIENT);
            }
            }
        }
        if (rc != SQLITE_OK) fehler(rc);
    }

    static QVariant wert(sqlite3_stmt* st, int i, bool datum) {
        switch (sqlite3_column_type(st, i)) {
        case SQLITE_NULL: return nullWert();
        case SQLITE_INTEGER: return QVariant(sqlite3_column_int64(st, i));
        case SQLITE_FLOAT: return QVariant(sqlite3_column_double(st, i));
        case SQLITE_BLOB:
            return QByteArray(static_cast<const char*>(sqlite3_column_blob(st, i)), sqlite3_column_bytes(st, i));
        default: {
            const QString t = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, i)),
                                                sqlite3_column_bytes(st, i));
            if (datum) {
                const QDate d = QDate::fromString(t.left(10), Qt::ISODate);
                if (d.isValid()) return d;
            }
            return t;
        }
        }
    }

    void schliessen() {
        for (sqlite3_stmt* st : std::as_const(m_anweisungen)) sqlite3_finalize(st);
        m_anweisungen.clear();
        if (m_db) sqlite3_close(m_db);
        m_db = nullptr;
    }

    QString m_pfad;
    Dateisperre m_sperre;
    sqlite3* m_db = nullptr;
    QHash<QString, sqlite3_stmt*> m_anweisungen;
    int m_tiefe = 0;
};

QString schluesselVon(const QString& pfad, const QString& passwort) {
    return QFileInfo(pfad).absoluteFilePath() + QChar(0) + passwort;
}

// A raw handle that closes itself, for the password routine. Every call's result is checked.
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
};

void aufPlatteSchreiben(const QString& pfad, bool ordner) {
    const int fd = ::open(QFile::encodeName(pfad).constData(), ordner ? O_RDONLY | O_DIRECTORY : O_RDWR);
    if (fd < 0) fehlerWerfen(FehlerNr::EngineBasis + SQLITE_IOERR, pfad);
    const int rc = ::fsync(fd);
    ::close(fd);
    if (rc != 0 && !ordner) fehlerWerfen(FehlerNr::EngineBasis + SQLITE_IOERR, pfad);
}

// The encrypted copy takes over the owner, group and mode of the original, so that whoever could
// write the file before still can. When they cannot be kept (another user's file, and we are not
// allowed to give it away), the step is skipped: the original stays as it was.
void besitzUebernehmen(const QString& neu, const struct stat& original, const QString& pfad) {
    const int fd = ::open(QFile::encodeName(neu).constData(), O_RDWR | O_CLOEXEC);
    if (fd < 0) fehlerWerfen(FehlerNr::EngineBasis + SQLITE_IOERR, neu);
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

}  // namespace

std::shared_ptr<Verbindung> verbindungOeffnen(const QString& pfad, const QString& passwort) {
    static QHash<QString, std::weak_ptr<Verbindung>> offen;
    const QString schluessel = schluesselVon(pfad, passwort);
    if (auto v = offen.value(schluessel).lock()) return v;
    auto v = std::make_shared<SqlCipherVerbindung>(pfad, passwort, false);
    offen.insert(schluessel, v);
    return v;
}

std::shared_ptr<Verbindung> datenbankAnlegen(const QString& pfad, const QString& passwort) {
    if (QFileInfo::exists(pfad)) fehlerWerfen(FehlerNr::DateiVorhanden, pfad);
    return std::make_shared<SqlCipherVerbindung>(pfad, passwort, true);
}

void passwortVergeben(const QString& pfad, const QString& passwort, const QString& kennTabelle) {
    if (!QFileInfo(pfad).isFile()) fehlerWerfen(FehlerNr::DateiNichtGefunden, pfad);
    // Only while no connection anywhere has the file open; otherwise skip, as for a file held
    // exclusively by another process. The lock is held until the copy has replaced the file.
    Dateisperre sperre;
    switch (sperre.sperren(pfad, true, 0)) {
    case Dateisperre::Ergebnis::Fehlt: fehlerWerfen(FehlerNr::DateiNichtGefunden, pfad);
    case Dateisperre::Ergebnis::Belegt: fehlerWerfen(FehlerNr::ExklusivGesperrt, pfad);
    case Dateisperre::Ergebnis::Unlesbar:
        throw Fehler(FehlerNr::EngineBasis + SQLITE_CANTOPEN,
                     QStringLiteral("Die Datei %1 kann nicht gelesen werden (%2)").arg(pfad, QString::fromLocal8Bit(std::strerror(errno))));
    case Dateisperre::Ergebnis::Gehalten: break;
    }
    struct stat original {};
    if (::fstat(sperre.fd(), &original) != 0) fehlerWerfen(FehlerNr::EngineBasis + SQLITE_IOERR, pfad);

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
    auto aufraeumen = [&] { QFile::remove(neu); QFile::remove(neu + QStringLiteral("-journal")); };
    try {
        const qint64 version = alt.zahl(QStringLiteral("PRAGMA user_version"));
        sqlite3_stmt* st = nullptr;
        alt.pruefen(sqlite3_prepare_v2(alt.db, "ATTACH ?1 AS verschl KEY ?2", -1, &st, nullptr));
        const QByteArray n = QFile::encodeName(neu), k = passwort.toUtf8();
        int arc = sqlite3_bind_text(st, 1, n.constData(), n.size(), SQLITE_TRANSIENT);
        if (arc == SQLITE_OK) arc = sqlite3_bind_text(st, 2, k.constData(), k.size(), SQLITE_TRANSIENT);
        if (arc == SQLITE_OK) arc = sqlite3_step(st);
        sqlite3_finalize(st);
        if (arc != SQLITE_DONE) sqliteFehler(alt.db, arc, false, pfad);
        alt.exec("SELECT sqlcipher_export('verschl')");
        alt.exec(QStringLiteral("PRAGMA verschl.user_version = %1").arg(version).toUtf8().constData());
        // No row may be lost: every table of the copy holds as many rows as the original.
        const QStringList tabellen = alt.tabellen("main");
        if (alt.tabellen("verschl").size() != tabellen.size())
            fehlerWerfen(FehlerNr::EngineBasis + SQLITE_CORRUPT, QStringLiteral("Kopie unvollständig: Tabellen fehlen"));
        for (const QString& t : tabellen) {
            const QString q = bezeichner(t);
            if (alt.zahl(QStringLiteral("SELECT count(*) FROM main.%1").arg(q)) !=
                alt.zahl(QStringLiteral("SELECT count(*) FROM verschl.%1").arg(q)))
                fehlerWerfen(FehlerNr::EngineBasis + SQLITE_CORRUPT, QStringLiteral("Kopie unvollständig: ") + t);
        }
        alt.exec("DETACH verschl");
        besitzUebernehmen(neu, original, pfad);
        aufPlatteSchreiben(neu, false);
        if (::rename(QFile::encodeName(neu).constData(), p.constData()) != 0)
            fehlerWerfen(FehlerNr::EngineBasis + SQLITE_IOERR, QStringLiteral("Umbenennen fehlgeschlagen: ") + pfad);
        aufPlatteSchreiben(QFileInfo(pfad).absolutePath(), true);
    } catch (...) {
        // A failure while copying is never one of the "cannot open" situations the caller
        // passes over silently: the original is intact, but the user must hear of it.
        Fehler f = aktuellerFehler();
        aufraeumen();
        if (f.nummer() < FehlerNr::EngineBasis && f.nummer() != FehlerNr::KeineBerechtigung)
            throw Fehler(FehlerNr::EngineBasis + SQLITE_CANTOPEN,
                         QStringLiteral("Die verschlüsselte Kopie konnte nicht geschrieben werden: ") + f.beschreibung());
        throw f;
    }
}

}  // namespace xov
