// SQLCipher behind the Verbindung interface: keyed files, bound parameters and a cache of
// prepared statements.

#include "platform/sqlcipher/SqlCipher.h"
#include "platform/sqlcipher/Ableitung.h"
#include "platform/sqlcipher/Dateisperre.h"
#include "platform/sqlcipher/Fehlerabbildung.h"
#include "platform/Fehler.h"
#include "platform/Variant.h"

#include <sqlcipher/sqlite3.h>

#include <QDate>
#include <QFile>
#include <QHash>
#include <sys/stat.h>

namespace xov::sqlcipher {
namespace {

QString isoDatum(const QDate& d) { return d.toString(Qt::ISODate); }

// A column value. The ISO date text of a date column becomes a QDate; any other text there
// (a time behind the date, say) stays as stored, so that the value identifies its row exactly.
QVariant wert(sqlite3_stmt* st, int i, bool datum) {
    switch (sqlite3_column_type(st, i)) {
    case SQLITE_NULL: return nullWert();
    case SQLITE_INTEGER: return QVariant(sqlite3_column_int64(st, i));
    case SQLITE_FLOAT: return QVariant(sqlite3_column_double(st, i));
    case SQLITE_BLOB:
        return QByteArray(static_cast<const char*>(sqlite3_column_blob(st, i)), sqlite3_column_bytes(st, i));
    default: {
        const QString t = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, i)),
                                            sqlite3_column_bytes(st, i));
        if (datum && t.size() == 10) {
            const QDate d = QDate::fromString(t, Qt::ISODate);
            if (d.isValid()) return d;
        }
        return t;
    }
    }
}

int binden(sqlite3_stmt* st, int i, const QVariant& v) {
    switch (bindeart(v)) {
    case Bindeart::Null: return sqlite3_bind_null(st, i);
    case Bindeart::Wahrheitswert: return sqlite3_bind_int(st, i, v.toBool() ? -1 : 0);
    case Bindeart::Ganzzahl: return sqlite3_bind_int64(st, i, v.toLongLong());
    case Bindeart::Kommazahl: return sqlite3_bind_double(st, i, v.toDouble());
    case Bindeart::Bytes: {
        const QByteArray b = v.toByteArray();
        return sqlite3_bind_blob(st, i, b.constData(), int(b.size()), SQLITE_TRANSIENT);
    }
    case Bindeart::Datum: case Bindeart::Text: break;
    }
    const QByteArray t = (bindeart(v) == Bindeart::Datum ? isoDatum(v.toDate()) : v.toString()).toUtf8();
    return sqlite3_bind_text(st, i, t.constData(), int(t.size()), SQLITE_TRANSIENT);
}

class SqlCipherVerbindung final : public Verbindung {
public:
    SqlCipherVerbindung(const QString& pfad, const QString& passwort, bool anlegen) : m_pfad(pfad) {
        if (!anlegen) {
            switch (m_sperre.sperren(pfad, false, SperreWartenMs)) {
            case Dateisperre::Ergebnis::Fehlt: fehlerWerfen(FehlerNr::DateiNichtGefunden, pfad);
            case Dateisperre::Ergebnis::Belegt: fehlerWerfen(FehlerNr::ExklusivGesperrt, pfad);
            case Dateisperre::Ergebnis::KeineDatei: keineDatenbankdatei(pfad, dateiArt(pfad));
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
        vorSchluesselableitung();
        int rc = sqlite3_exec(m_db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr);
        if (rc != SQLITE_OK && (rc & 0xff) == SQLITE_NOTADB && !passwort.isEmpty() && m_sperre.unverschluesselt()) {
            schliessen();
            oeffnen(QString(), false);
            rc = sqlite3_exec(m_db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr);
        }
        if (rc != SQLITE_OK) pruefen(rc, true);
        struct stat datei {};
        if (m_sperre.fd() >= 0 && ::fstat(m_sperre.fd(), &datei) == 0) m_datei = {datei.st_dev, datei.st_ino};
    }
    ~SqlCipherVerbindung() override { schliessen(); }

    void ruhen() override { m_sperre.freigeben(); }
    // The path must still name the file this handle has open (a file restored from a backup or
    // keyed anew is another one), and its first page must still read with the key.
    bool wiederBereit() override {
        if (m_sperre.fd() >= 0) return m_db != nullptr;
        if (!m_db || m_tiefe.offen() || !sqlite3_get_autocommit(m_db)) return false;
        if (m_sperre.sperren(m_pfad, false, SperreWartenMs) != Dateisperre::Ergebnis::Gehalten) return false;
        struct stat datei {};
        if (::fstat(m_sperre.fd(), &datei) != 0 || std::pair{datei.st_dev, datei.st_ino} != m_datei) return false;
        return sqlite3_exec(m_db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr) == SQLITE_OK;
    }

    Abfrageergebnis abfragen(const QString& sql, const QVariantList& parameter = {}) override {
        Abfrageergebnis erg;
        sqlite3_stmt* st = vorbereiten(sql, parameter);
        const int n = sqlite3_column_count(st);
        QVector<bool> datum(n);
        for (int i = 0; i < n; ++i) {
            erg.spalten << QString::fromUtf8(sqlite3_column_name(st, i));
            const char* typ = sqlite3_column_decltype(st, i);
            datum[i] = typ && QByteArray(typ).toUpper().contains("DATE");
        }
        int rc;
        while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
            QVector<QVariant> zeile;
            zeile.reserve(n);
            for (int i = 0; i < n; ++i) zeile << wert(st, i, datum[i]);
            erg.zeilen << zeile;
        }
        sqlite3_reset(st);
        if (rc != SQLITE_DONE) pruefen(rc);
        return erg;
    }

    qint64 ausfuehren(const QString& sql, const QVariantList& parameter = {}) override {
        sqlite3_stmt* st = vorbereiten(sql, parameter);
        int rc;
        while ((rc = sqlite3_step(st)) == SQLITE_ROW) {}
        sqlite3_reset(st);
        if (rc != SQLITE_DONE) pruefen(rc);
        return sqlite3_changes(m_db);
    }

    // The new row is read back by its rowid inside the inserting transaction: SQLite 3.15 knows
    // no RETURNING. The rowid never leaves this engine.
    QVector<QVariant> einfuegen(const QString& tabelle, const Spaltenwerte& werte, const QStringList& spalten) override {
        QVariantList param;
        const QString sql = einfuegenSql(tabelle, werte, param);
        Transaktion tr(*this);
        ausfuehren(sql, param);
        const auto erg = abfragen(QStringLiteral("SELECT %1 FROM %2 WHERE rowid = ?").arg(spaltenliste(spalten), bezeichner(tabelle)),
                                  {QVariant(sqlite3_last_insert_rowid(m_db))});
        if (erg.zeilen.size() != 1) fehlerWerfen(FehlerNr::KeinAktuellerDatensatz, tabelle);
        tr.bestaetigen();
        return erg.zeilen.first();
    }

    QStringList spaltenVon(const QString& tabelle) override {
        return namenAus(abfragen(QStringLiteral("PRAGMA table_info(%1)").arg(bezeichner(tabelle))), 1, tabelle);
    }

    QStringList tabellen() override {
        return namenAus(abfragen(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' AND "
                                                "name NOT LIKE 'sqlite%' ORDER BY name")));
    }

    // Nested writes (a row write inside the tool's transaction) join the outer one.
    void beginnen() override { m_tiefe.beginnen([this] { ausfuehren(QStringLiteral("BEGIN IMMEDIATE")); }); }
    // A failed COMMIT leaves the rollback to the guard.
    void bestaetigen() override { m_tiefe.bestaetigen([this] { ausfuehren(QStringLiteral("COMMIT")); }); }
    void zuruecknehmen() override {
        m_tiefe.zuruecknehmen([this] {
            if (!sqlite3_get_autocommit(m_db)) ausfuehren(QStringLiteral("ROLLBACK"));
        });
    }

private:
    // Raises the failure; while connecting, the half-open handle is released first.
    [[noreturn]] void pruefen(int rc, bool beimOeffnen = false) {
        if (!beimOeffnen) sqliteFehler(m_db, rc, false, m_pfad);
        try { sqliteFehler(m_db, rc, true, m_pfad); } catch (...) { schliessen(); throw; }
    }

    // Opens the handle and keys it; every call's result is checked. A handle whose open failed
    // must not be keyed.
    void oeffnen(const QString& passwort, bool anlegen) {
        const int flags = SQLITE_OPEN_READWRITE | (anlegen ? SQLITE_OPEN_CREATE : 0);
        const QByteArray p = QFile::encodeName(m_pfad);
        int rc = sqlite3_open_v2(p.constData(), &m_db, flags, nullptr);
        if (rc != SQLITE_OK) pruefen(rc, true);
        const QByteArray k = passwort.toUtf8();
        if (!k.isEmpty()) rc = sqlite3_key(m_db, k.constData(), k.size());
        if (rc == SQLITE_OK) rc = sqlite3_busy_timeout(m_db, 2000);
        if (rc == SQLITE_OK) rc = sqlite3_extended_result_codes(m_db, 1);
        if (rc != SQLITE_OK) pruefen(rc, true);
    }

    sqlite3_stmt* vorbereiten(const QString& sql, const QVariantList& parameter) {
        sqlite3_stmt* st = m_anweisungen.value(sql);
        if (!st) {
            const QByteArray s = sql.toUtf8();
            const int rc = sqlite3_prepare_v2(m_db, s.constData(), s.size(), &st, nullptr);
            if (rc != SQLITE_OK) pruefen(rc);
            if (!st) fehlerWerfen(FehlerNr::Fehlbedienung, QStringLiteral("leere Anweisung"));
            m_anweisungen.insert(sql, st);
        }
        sqlite3_clear_bindings(st);
        for (int i = 0; i < parameter.size(); ++i)
            if (const int rc = binden(st, i + 1, parameter.at(i)); rc != SQLITE_OK) pruefen(rc);
        return st;
    }

    void schliessen() {
        for (sqlite3_stmt* st : std::as_const(m_anweisungen)) sqlite3_finalize(st);
        m_anweisungen.clear();
        if (m_db) sqlite3_close(m_db);
        m_db = nullptr;
    }

    QString m_pfad;
    Dateisperre m_sperre;
    std::pair<dev_t, ino_t> m_datei{};  // device and inode of the file opened
    sqlite3* m_db = nullptr;
    QHash<QString, sqlite3_stmt*> m_anweisungen;
    Transaktionstiefe m_tiefe;
};

}  // namespace

std::shared_ptr<Verbindung> dateiVerbindung(const QString& pfad, const QString& passwort, bool anlegen) {
    return std::make_shared<SqlCipherVerbindung>(pfad, passwort, anlegen);
}

}  // namespace xov::sqlcipher
