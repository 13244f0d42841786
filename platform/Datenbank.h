#pragma once
// The narrow interface between the data sources and a database engine. SQLCipher files serve
// today; a server engine can stand beside them by implementing Verbindung.

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>
#include <memory>

namespace xov {

using Spaltenwerte = QVector<QPair<QString, QVariant>>;

struct Abfrageergebnis {
    QString tabelle;                    // the one table the rows come from; empty: read-only result
    QStringList spalten;                // column names as the engine reports them
    QVector<QVector<QVariant>> zeilen;  // values; Null is xov::nullWert(), date columns are QDate
    QVector<QVariant> schluessel;       // per row, the key that writes use (empty when read-only)
};

class Verbindung {
public:
    virtual ~Verbindung() = default;
    virtual QString pfad() const = 0;
    // Runs a query. Typed text always travels as a bound parameter, never inside the SQL text.
    virtual Abfrageergebnis abfragen(const QString& sql, const QVariantList& parameter = {}) = 0;
    // Runs a statement without result rows.
    virtual void ausfuehren(const QString& sql, const QVariantList& parameter = {}) = 0;
    // Writes of one row; each is one transaction, and a failed write changes nothing.
    virtual QVariant einfuegen(const QString& tabelle, const Spaltenwerte& werte) = 0;
    virtual void aendern(const QString& tabelle, const QVariant& schluessel, const Spaltenwerte& werte) = 0;
    virtual void loeschen(const QString& tabelle, const QVariant& schluessel) = 0;
    virtual QVector<QVariant> zeileLesen(const QString& tabelle, const QVariant& schluessel,
                                         const QStringList& spalten) = 0;
    virtual QStringList spaltenVon(const QString& tabelle) = 0;
    // Explicit transactions for work of several statements (the database tool).
    virtual void beginnen() = 0;
    virtual void bestaetigen() = 0;
    virtual void zuruecknehmen() = 0;
};

// Opens the database file keyed with the password, or shares the connection that is already
// open for the same file and password: deriving the key costs tens of milliseconds.
// 3024 when the file is missing, 3031 when the password does not open it (or the file is
// damaged), 3356 when another process holds it exclusively. A file without password is read as
// it is. The connection holds a shared lock on the file while it is open (see SqlCipher.cpp).
std::shared_ptr<Verbindung> verbindungOeffnen(const QString& pfad, const QString& passwort);

// Creates a new, empty database file keyed with the password (the database tool).
std::shared_ptr<Verbindung> datenbankAnlegen(const QString& pfad, const QString& passwort);

// Gives a database file of the suite without password the password: an encrypted copy is
// written beside it, checked, given the original's owner, group and mode, flushed to disk and
// renamed over the original, so that a crash leaves either the old file or the new one.
// The file must hold `kennTabelle` (AllgMandDaten, AllgFaDaten): any other file raises 3343 and
// stays as it is. A file that already has a password raises 3031, one that any connection has
// open 3356 (see the file lock in SqlCipher.cpp), one whose owner cannot be kept 3033; all stay.
void passwortVergeben(const QString& pfad, const QString& passwort, const QString& kennTabelle);

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
