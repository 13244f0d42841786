// SQLCipher behind the Verbindung interface: keyed files, bound parameters and a cache of
// prepared statements.

#include "platform/sqlcipher/SqlCipher.h"
#include "platform/sqlcipher/Dateisperre.h"
#include "platform/sqlcipher/Fehlerabbildung.h"
#include "platform/Fehler.h"
#include "platform/Variant.h"

#include <sqlcipher/sqlite3.h>

#include <QDate>
#include <QFile>
#include <QFileInfo>
#include <QDir>
#include <QHash>

#include <cerrno>
#include <cstring>
#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <stdio.h>
#include <unistd.h>

namespace xov::sqlcipher {
namespace {

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
    if (istNull(v) || istLeer(v)) return sqlite3_bind_null(st, i);
    switch (v.typeId()) {
    case QMetaType::Bool: return sqlite3_bind_int(st, i, v.toBool() ? -1 : 0);
    case QMetaType::Int: case QMetaType::Short: case QMetaType::LongLong: case QMetaType::UInt:
    case QMetaType::Long: case QMetaType::UShort:
        return sqlite3_bind_int64(st, i, v.toLongLong());
    case QMetaType::Double: case QMetaType::Float: return sqlite3_bind_double(st, i, v.toDouble());
    case QMetaType::QByteArray: {
        const QByteArray b = v.toByteArray();
        return sqlite3_bind_blob(st, i, b.constData(), b.size(), SQLITE_TRANSIENT);
    }
    default: {
        const bool datum = v.typeId() == QMetaType::QDate || v.typeId() == QMetaType::QDateTime;
        const QByteArray t = (datum ? isoDatum(v.toDate()) : v.toString()).toUtf8();
        return sqlite3_bind_text(st, i, t.constData(), t.size(), SQLITE_TRANSIENT);
    }
    }
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
        if (!m_db || m_tiefe != 0 || !sqlite3_get_autocommit(m_db)) return false;
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
        QStringList namen;
        const auto erg = abfragen(QStringLiteral("PRAGMA table_info(%1)").arg(bezeichner(tabelle)));
        for (const auto& z : erg.zeilen) namen << z.at(1).toString();
        if (namen.isEmpty()) fehlerWerfen(FehlerNr::TabelleFehlt, tabelle);
        return namen;
    }

    QStringList tabellen() override {
        QStringList namen;
        for (const auto& z : abfragen(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' AND "
                                                     "name NOT LIKE 'sqlite%' ORDER BY name")).zeilen)
            namen << z.at(0).toString();
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
        if (rc == SQLITE_OK)
            rc = sqlite3_create_function(m_db, "datevalue", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                                         &sqlDatevalue, nullptr, nullptr);
        if (rc != SQLITE_OK) pruefen(rc, true);
    }

    sqlite3_stmt* vorbereiten(const QString& sql, const QVariantList& parameter) {
        sqlite3_stmt* st = m_anweisungen.value(sql);
        if (!st) {
            const QByteArray s = sql.toUtf8();
            const int rc = sqlite3_prepare_v2(m_db, s.constData(), s.size(), &st, nullptr);
            if (rc != SQLITE_OK) pruefen(rc);
            if (!st) fehlerWerfen(FehlerNr::EngineBasis + SQLITE_MISUSE, QStringLiteral("leere Anweisung"));
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
    int m_tiefe = 0;
};


// A new database file: created here, exclusively and never through a symbolic link, so that it
// appears exactly at the path named and nothing that stands there is taken over or followed.
void neueDateiAnlegen(const QString& pfad) {
    const QString art = dateiArt(pfad, false);
    if (QFileInfo(pfad).isSymLink())
        throw Fehler(FehlerNr::DateiVorhanden, QStringLiteral("%1 ist eine symbolische Verknüpfung; eine neue Datenbank wird nie über "
                                                              "eine Verknüpfung angelegt, sondern nur als gewöhnliche Datei").arg(pfad));
    if (!art.isEmpty()) keineDatenbankdatei(pfad, art);
    const int fd = ::open(QFile::encodeName(pfad).constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);  // the umask decides, as for any new file
    if (fd >= 0) {
        ::close(fd);
        return;
    }
    const int nr = errno;
    if (nr == EEXIST) fehlerWerfen(FehlerNr::DateiVorhanden, pfad);
    const QString ordner = QFileInfo(pfad).absolutePath();
    if (nr == EACCES || nr == EPERM || nr == EROFS)
        throw Fehler(FehlerNr::KeineBerechtigung, QStringLiteral("Im Ordner %1 kann keine Datei angelegt werden (%2); die Datenbank %3 "
                                                                 "wurde nicht angelegt")
                                                      .arg(ordner, nr == EROFS ? QStringLiteral("nur lesbares Dateisystem")
                                                                               : QStringLiteral("keine Schreibberechtigung"),
                                                           pfad));
    if (nr == ENOENT || nr == ENOTDIR) fehlerWerfen(FehlerNr::DateiNichtGefunden, QStringLiteral("den Ordner %1 gibt es nicht").arg(ordner));
    throw Fehler(FehlerNr::EngineBasis + SQLITE_CANTOPEN,
                 QStringLiteral("Die Datei %1 kann nicht angelegt werden (%2)").arg(pfad, QString::fromLocal8Bit(std::strerror(nr))));
}

struct Anlagen {
    bool alsGanzes = false;
    QHash<QString, QString> arbeitsdatei;  // absolute path -> the temporary file beside it
};

Anlagen& anlagen() {
    static Anlagen a;
    return a;
}

QString absolut(const QString& pfad) { return QFileInfo(pfad).absoluteFilePath(); }

// Temporary files of creations whose process no longer runs (killed): never a database of
// anyone, so they go.
void verwaisteEntfernen(const QString& pfad) {
    const QFileInfo ziel(pfad);
    const QString muster = QLatin1Char('.') + ziel.fileName() + QStringLiteral(".xov-neu-");
    QDir ordner = ziel.absoluteDir();
    for (const QString& name : ordner.entryList({muster + QLatin1Char('*')}, QDir::Files | QDir::Hidden | QDir::System)) {
        const QString rest = name.mid(muster.size()).section(QLatin1Char('-'), 0, 0);
        bool ok = false;
        const pid_t pid = static_cast<pid_t>(rest.toLongLong(&ok));
        if (ok && pid > 0 && ::kill(pid, 0) != 0 && errno == ESRCH) QFile::remove(ordner.filePath(name));
    }
}

void entfernenMitJournal(const QString& datei) {
    QFile::remove(datei);
    QFile::remove(datei + QStringLiteral("-journal"));
}

}  // namespace

std::shared_ptr<Verbindung> oeffnen(const Verbindungsangabe& angabe, bool anlegen) {
    Anlagen& a = anlagen();
    const QString ziel = absolut(angabe.datei);
    if (anlegen && a.alsGanzes) {
        // The path itself must be free; the file grows under a temporary name beside it.
        const QString art = dateiArt(angabe.datei, false);
        if (QFileInfo(angabe.datei).isSymLink() || !art.isEmpty() || QFileInfo::exists(angabe.datei)) neueDateiAnlegen(angabe.datei);
        verwaisteEntfernen(ziel);
        const QFileInfo z(ziel);
        const QString arbeit = z.absolutePath() + QStringLiteral("/.") + z.fileName() + QStringLiteral(".xov-neu-") +
                               QString::number(::getpid());
        entfernenMitJournal(arbeit);
        neueDateiAnlegen(arbeit);
        a.arbeitsdatei.insert(ziel, arbeit);
        try {
            return std::make_shared<SqlCipherVerbindung>(arbeit, angabe.passwort, true);
        } catch (...) {
            a.arbeitsdatei.remove(ziel);
            entfernenMitJournal(arbeit);
            throw;
        }
    }
    if (const auto it = a.arbeitsdatei.constFind(ziel); it != a.arbeitsdatei.constEnd())
        return std::make_shared<SqlCipherVerbindung>(*it, angabe.passwort, false);
    if (anlegen) neueDateiAnlegen(angabe.datei);
    return std::make_shared<SqlCipherVerbindung>(angabe.datei, angabe.passwort, anlegen);
}

void anlagenAlsGanzes(bool ein) { anlagen().alsGanzes = ein; }

void anlageAbschliessen(const QString& pfad) {
    const QString ziel = absolut(pfad);
    const QString arbeit = anlagen().arbeitsdatei.take(ziel);
    if (arbeit.isEmpty()) return;
    const QByteArray von = QFile::encodeName(arbeit), nach = QFile::encodeName(ziel);
    // Never over a file that appeared at the path meanwhile.
    if (::renameat2(AT_FDCWD, von.constData(), AT_FDCWD, nach.constData(), RENAME_NOREPLACE) == 0) return;
    int nr = errno;
    if (nr == EINVAL || nr == ENOSYS) {  // a file system without it: link, then drop the old name
        if (::link(von.constData(), nach.constData()) == 0) {
            ::unlink(von.constData());
            return;
        }
        nr = errno;
    }
    entfernenMitJournal(arbeit);
    if (nr == EEXIST) fehlerWerfen(FehlerNr::DateiVorhanden, pfad);
    throw Fehler(FehlerNr::EngineBasis + SQLITE_CANTOPEN, QStringLiteral("Die neue Datenbank %1 kann nicht an ihren Platz gebracht werden (%2)")
                                                              .arg(pfad, QString::fromLocal8Bit(std::strerror(nr))));
}

bool anlageVerwerfen(const QString& pfad) {
    const QString arbeit = anlagen().arbeitsdatei.take(absolut(pfad));
    if (arbeit.isEmpty()) return false;
    entfernenMitJournal(arbeit);
    return true;
}

}  // namespace xov::sqlcipher
