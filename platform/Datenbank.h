#pragma once
// The narrow interface between the data sources and a database engine, and the one factory that
// opens a connection for a Verbindungsangabe: SQLCipher for database files (platform/sqlcipher/),
// PostgreSQL for server addresses (platform/postgres/).
//
// Every SQL text that runs through it is standard SQL with bound parameters: typed text never
// travels inside the SQL text.

#include "platform/Verbindungsangabe.h"

#include <QHash>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>
#include <functional>
#include <memory>

namespace xov {

using Spaltenwerte = QVector<QPair<QString, QVariant>>;

struct Abfrageergebnis {
    QStringList spalten;                // column names as the engine reports them
    QVector<QVector<QVariant>> zeilen;  // values; Null is xov::nullWert(), ISO date text of date columns a QDate
};

// Where the rows of a result may be written: the table and the columns that identify a row.
// Without a table the result is read-only. A table without key columns identifies a row by all
// the values it had when it was read, so that a row another workstation changed meanwhile is not
// overwritten (AllgMandDaten holds one row and has no key).
struct Schreibziel {
    QString tabelle;
    QStringList schluessel;
    bool schreibbar() const { return !tabelle.isEmpty(); }
};

class Verbindung {
public:
    virtual ~Verbindung() = default;
    virtual Abfrageergebnis abfragen(const QString& sql, const QVariantList& parameter = {}) = 0;
    // Runs a statement without result rows; gives the number of rows it changed.
    virtual qint64 ausfuehren(const QString& sql, const QVariantList& parameter = {}) = 0;
    // Inserts one row in its own transaction and gives back the row as stored (defaults
    // included) in the order of `spalten`.
    virtual QVector<QVariant> einfuegen(const QString& tabelle, const Spaltenwerte& werte,
                                        const QStringList& spalten) = 0;
    // The columns of a table; 3078 when there is no such table.
    virtual QStringList spaltenVon(const QString& tabelle) = 0;
    // The tables of the database (the engine's own catalogue left out).
    virtual QStringList tabellen() = 0;
    // Explicit transactions; nested ones join the outer one.
    virtual void beginnen() = 0;
    virtual void bestaetigen() = 0;
    virtual void zuruecknehmen() = 0;
    // The database role the connection logged in as on a server; empty for a file.
    virtual QString rolle() { return {}; }
    // For a host that keeps the connection between its calls: ruhen() lets go of what keeps
    // others out while it is unused (a file's shared lock); wiederBereit() takes that again and
    // tells whether the connection still reaches the same database and answers (the same file by
    // device and inode, readable with its key; a server after one round trip). When false the
    // connection is to be dropped.
    virtual void ruhen() {}
    virtual bool wiederBereit() { return true; }
};

// Opens the database. Error numbers every engine keeps: 3024 when the database (or its server) is
// missing, 3031 when the password does not open it (or a file is damaged), 3356 when another
// process holds a file exclusively; later 3260 for a row another connection holds locked and 3151
// when the server went away.
std::shared_ptr<Verbindung> verbindungOeffnen(const Verbindungsangabe& angabe);
inline std::shared_ptr<Verbindung> verbindungOeffnen(const QString& datei, const QString& passwort) {
    return verbindungOeffnen(Verbindungsangabe{datei, passwort});
}
// Creates a new, empty database with the password (the database tool); 3204 when it exists.
std::shared_ptr<Verbindung> datenbankAnlegen(const Verbindungsangabe& angabe);
inline std::shared_ptr<Verbindung> datenbankAnlegen(const QString& datei, const QString& passwort) {
    return datenbankAnlegen(Verbindungsangabe{datei, passwort});
}

// Removes a database: the file, or the database on its server. One that does not exist is no error.
void datenbankEntfernen(const Verbindungsangabe& angabe);

// All-or-nothing creation, for the tools (switched on once per process). A database created from
// then on stays unfinished until anlageAbschliessen(): a file lives under a temporary name beside
// its path (connections of this process to the path reach it) and is renamed into place only
// then; a server database carries a mark. A run that is killed leaves no file at the path, and
// a marked server database is taken over by the next creation instead of refused.
void anlagenAlsGanzes(bool ein);
void anlageAbschliessen(const Verbindungsangabe& angabe);
// Several at once: the server databases of one server in one transaction, then the files.
void anlagenAbschliessen(const QVector<Verbindungsangabe>& angaben);
// A server database that a creation left unfinished (it carries the mark).
bool anlageUnvollstaendig(const Verbindungsangabe& angabe);

// The open connections of one caller (the dialog of one call), shared by its data sources:
// opening costs tens of milliseconds (the key is derived). A connection stays open as long as a
// source holds it.
class Verbindungen : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    std::shared_ptr<Verbindung> oeffnen(const Verbindungsangabe& angabe);
    // Where a connection not yet open here comes from; empty: opened afresh (verbindungOeffnen).
    std::function<std::shared_ptr<Verbindung>(const Verbindungsangabe&)> oeffner;
    // The connections of the object tree `obj` belongs to, created with its root on first use.
    static Verbindungen& von(QObject* obj);

private:
    QHash<QString, std::weak_ptr<Verbindung>> m_offen;
};

// One row write in its own transaction, engine-neutral: UPDATE and DELETE identify the row by the
// key columns of `ziel` (or, without key columns, by every column of `gelesen`). Exactly one row
// must change, else 3197 and nothing is written.
void zeileAendern(Verbindung& v, const Schreibziel& ziel, const QStringList& spalten,
                  const QVector<QVariant>& gelesen, const Spaltenwerte& werte);
void zeileLoeschen(Verbindung& v, const Schreibziel& ziel, const QStringList& spalten,
                   const QVector<QVariant>& gelesen);
// A name quoted as an SQL identifier.
QString bezeichner(const QString& name);
// "INSERT INTO t (a, b) VALUES (?, ?)" for the values (or "... DEFAULT VALUES" without any), the
// values appended to `parameter`; the engines add how they read the new row back.
QString einfuegenSql(const QString& tabelle, const Spaltenwerte& werte, QVariantList& parameter);
// The columns as a list of quoted names, "a,b".
QString spaltenliste(const QStringList& spalten);
// The names in column `spalte` of a catalogue query (tables, or a table's columns); with a
// `tabelle`, none at all means there is no such table (3078).
QStringList namenAus(const Abfrageergebnis& erg, int spalte = 0, const QString& tabelle = {});

// How a bound value is stored by every engine: a truth value as -1/0, whole numbers as 64 bits,
// a date (with or without time) as its ISO date text, Null and Empty as NULL.
enum class Bindeart { Null, Wahrheitswert, Ganzzahl, Kommazahl, Bytes, Datum, Text };
Bindeart bindeart(const QVariant& v);

// The depth of an engine's nested transactions: only the outermost begins, commits and rolls
// back, the inner ones join it. The depth counts only a transaction that really began: a BEGIN
// refused (by a lock, say) throws before the count and leaves it as it was, so that the next
// transaction issues its own BEGIN and can be rolled back.
class Transaktionstiefe {
public:
    template <class F> void beginnen(F&& anfangen) {
        if (m_tiefe == 0) anfangen();
        ++m_tiefe;
    }
    // A failed commit leaves the depth as it was: the guard's rollback follows.
    template <class F> void bestaetigen(F&& festschreiben) {
        if (m_tiefe == 0) return;
        if (m_tiefe == 1) festschreiben();
        --m_tiefe;
    }
    template <class F> void zuruecknehmen(F&& zuruecksetzen) {
        if (m_tiefe == 0) return;
        if (--m_tiefe == 0) zuruecksetzen();
    }
    bool offen() const { return m_tiefe > 0; }
    // The engine lost the transaction as a whole (the server dropped the connection).
    void verloren() { m_tiefe = 0; }

private:
    int m_tiefe = 0;
};

// Rolls back unless bestaetigen() was called.
class Transaktion {
public:
    explicit Transaktion(Verbindung& v) : m_v(v) { m_v.beginnen(); }
    ~Transaktion() {
        if (!m_fertig) {
            try { m_v.zuruecknehmen(); } catch (...) {}
        }
    }
    void bestaetigen() { m_v.bestaetigen(); m_fertig = true; }
    Transaktion(const Transaktion&) = delete;
    Transaktion& operator=(const Transaktion&) = delete;

private:
    Verbindung& m_v;
    bool m_fertig = false;
};

}  // namespace xov
