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
#include <QRegularExpression>

#include <fcntl.h>
#include <unistd.h>

namespace xov {
namespace {

constexpr auto SchluesselSpalte = "xov_rowid";

// Maps an SQLite failure to the numbers the dialog knows. `beimOeffnen` tells a lock found
// while connecting (another process holds the file exclusively) from one met later.
[[noreturn]] void sqliteFehler(sqlite3* db, int rc, bool beimOeffnen = false) {
    const QString text = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString::fromUtf8(sqlite3_errstr(rc));
    const int primaer = rc & 0xff;
    static const QRegularExpression spalte(QStringLiteral("(?:no such column: |has no column named )(\\S+)"));
    if (auto m = spalte.match(text); m.hasMatch()) fehlerWerfen(FehlerNr::SpalteFehlt, m.captured(1));
    if (text.startsWith(QLatin1String("no such table"))) fehlerWerfen(FehlerNr::TabelleFehlt, text.mid(15));
    switch (primaer) {
    case SQLITE_CONSTRAINT:
        if (rc == SQLITE_CONSTRAINT_UNIQUE || rc == SQLITE_CONSTRAINT_PRIMARYKEY)
            fehlerWerfen(FehlerNr::DoppelterSchluessel, text);
        break;
    case SQLITE_NOTADB: fehlerWerfen(FehlerNr::FalschesPasswort);
    case SQLITE_BUSY:
    case SQLITE_LOCKED: fehlerWerfen(beimOeffnen ? FehlerNr::ExklusivGesperrt : FehlerNr::Gesperrt);
    case SQLITE_CANTOPEN: fehlerWerfen(FehlerNr::DateiNichtGefunden, text);
    case SQLITE_READONLY: fehlerWerfen(FehlerNr::NurLesen, text);
    default: break;
    }
    throw Fehler(FehlerNr::EngineBasis + primaer, QStringLiteral("Datenbankfehler: ") + text);
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

class SqlCipherVerbindung final : public Verbindung {
public:
    SqlCipherVerbindung(const QString& pfad, const QString& passwort, bool anlegen) : m_pfad(pfad) {
        if (!anlegen && !QFileInfo::exists(pfad)) fehlerWerfen(FehlerNr::DateiNichtGefunden, pfad);
        const int flags = SQLITE_OPEN_READWRITE | (anlegen ? SQLITE_OPEN_CREATE : 0);
        const QByteArray p = QFile::encodeName(pfad);
        int rc = sqlite3_open_v2(p.constData(), &m_db, flags, nullptr);
        if (rc != SQLITE_OK) {
            // The handle must not be keyed after a failed open; release it and report.
            try { sqliteFehler(m_db, rc, true); } catch (...) { sqlite3_close(m_db); m_db = nullptr; throw; }
        }
        const QByteArray k = passwort.toUtf8();
        sqlite3_key(m_db, k.constData(), k.size());
        sqlite3_busy_timeout(m_db, 2000);
        sqlite3_extended_result_codes(m_db, 1);
        sqlite3_create_function(m_db, "datevalue", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                                &sqlDatevalue, nullptr, nullptr);
        // The key is derived at the first statement: a wrong password or a lock shows here.
        rc = sqlite3_exec(m_db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr);
        if (rc != SQLITE_OK) {
            try { sqliteFehler(m_db, rc, true); } catch (...) { schliessen(); throw; }
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
        if (rc != SQLITE_DONE) sqliteFehler(m_db, rc);
        return erg;
    }

    void ausfuehren(const QString& sql, const QVariantList& parameter = {}) override {
        sqlite3_stmt* st = vorbereiten(sql, parameter);
        int rc;
        while ((rc = sqlite3_step(st)) == SQLITE_ROW) {}
        sqlite3_reset(st);
        if (rc != SQLITE_DONE) sqliteFehler(m_db, rc);
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
            if (rc != SQLITE_OK) sqliteFehler(m_db, rc);
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
        if (rc != SQLITE_OK) sqliteFehler(m_db, rc);
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
    sqlite3* m_db = nullptr;
    QHash<QString, sqlite3_stmt*> m_anweisungen;
    int m_tiefe = 0;
};

QString schluesselVon(const QString& pfad, const QString& passwort) {
    return QFileInfo(pfad).absoluteFilePath() + QChar(0) + passwort;
}

// A raw handle that closes itself, for the password routine.
struct Handle {
    sqlite3* db = nullptr;
    ~Handle() { if (db) sqlite3_close(db); }
    void exec(const char* sql, bool beimOeffnen = false) const {
        const int rc = sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
        if (rc != SQLITE_OK) sqliteFehler(db, rc, beimOeffnen);
    }
    qint64 zahl(const QString& sql) const {
        sqlite3_stmt* st = nullptr;
        const QByteArray s = sql.toUtf8();
        int rc = sqlite3_prepare_v2(db, s.constData(), s.size(), &st, nullptr);
        if (rc != SQLITE_OK) sqliteFehler(db, rc);
        rc = sqlite3_step(st);
        const qint64 z = rc == SQLITE_ROW ? sqlite3_column_int64(st, 0) : 0;
        sqlite3_finalize(st);
        if (rc != SQLITE_ROW) sqliteFehler(db, rc);
        return z;
    }
    QStringList tabellen(const char* schema) const {
        QStringList t;
        sqlite3_stmt* st = nullptr;
        const QByteArray s = QByteArray("SELECT name FROM ") + schema + ".sqlite_master WHERE type='table'";
        if (sqlite3_prepare_v2(db, s.constData(), -1, &st, nullptr) != SQLITE_OK) sqliteFehler(db, sqlite3_errcode(db));
        while (sqlite3_step(st) == SQLITE_ROW) t << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
        sqlite3_finalize(st);
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

void passwortVergeben(const QString& pfad, const QString& passwort) {
    if (!QFileInfo(pfad).isFile()) fehlerWerfen(FehlerNr::DateiNichtGefunden, pfad);
    Handle alt;
    const QByteArray p = QFile::encodeName(pfad);
    const int rc = sqlite3_open_v2(p.constData(), &alt.db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    if (rc != SQLITE_OK) sqliteFehler(alt.db, rc, true);
    sqlite3_extended_result_codes(alt.db, 1);
    // Without a key a keyed file reads as "not a database": 3031, and the file stays untouched.
    alt.exec("SELECT count(*) FROM sqlite_master", true);
    // Hold the file exclusively until the copy has replaced it, so no other writer slips in.
    alt.exec("PRAGMA locking_mode=EXCLUSIVE");
    alt.exec("BEGIN EXCLUSIVE; COMMIT;", true);

    const QString neu = pfad + QStringLiteral(".xov-neu");
    QFile::remove(neu);
    auto aufraeumen = [&] { QFile::remove(neu); QFile::remove(neu + QStringLiteral("-journal")); };
    try {
        const qint64 version = alt.zahl(QStringLiteral("PRAGMA user_version"));
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(alt.db, "ATTACH ?1 AS verschl KEY ?2", -1, &st, nullptr);
        const QByteArray n = QFile::encodeName(neu), k = passwort.toUtf8();
        sqlite3_bind_text(st, 1, n.constData(), n.size(), SQLITE_TRANSIENT);
        sqlite3_bind_text(st, 2, k.constData(), k.size(), SQLITE_TRANSIENT);
        const int arc = sqlite3_step(st);
        sqlite3_finalize(st);
        if (arc != SQLITE_DONE) sqliteFehler(alt.db, arc);
        alt.exec("SELECT sqlcipher_export('verschl')");
        alt.exec(QStringLiteral("PRAGMA verschl.user_version = %1").arg(version).toUtf8().constData());
        // No row may be lost: every table of the copy holds as many rows as the original.
        for (const QString& t : alt.tabellen("main")) {
            const QString q = bezeichner(t);
            if (alt.zahl(QStringLiteral("SELECT count(*) FROM main.%1").arg(q)) !=
                alt.zahl(QStringLiteral("SELECT count(*) FROM verschl.%1").arg(q)))
                fehlerWerfen(FehlerNr::EngineBasis + SQLITE_CORRUPT, QStringLiteral("Kopie unvollständig: ") + t);
        }
        alt.exec("DETACH verschl");
        aufPlatteSchreiben(neu, false);
        if (::rename(QFile::encodeName(neu).constData(), p.constData()) != 0)
            fehlerWerfen(FehlerNr::EngineBasis + SQLITE_IOERR, QStringLiteral("Umbenennen fehlgeschlagen: ") + pfad);
        aufPlatteSchreiben(QFileInfo(pfad).absolutePath(), true);
    } catch (...) {
        // A failure while copying is never one of the "cannot open" situations the caller
        // passes over silently: the original is intact, but the user must hear of it.
        Fehler f = aktuellerFehler();
        aufraeumen();
        if (f.nummer() < FehlerNr::EngineBasis)
            throw Fehler(FehlerNr::EngineBasis + SQLITE_CANTOPEN,
                         QStringLiteral("Die verschlüsselte Kopie konnte nicht geschrieben werden: ") + f.beschreibung());
        throw f;
    }
}

}  // namespace xov
