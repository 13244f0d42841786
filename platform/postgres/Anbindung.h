#pragma once
// What the engine's files share: the bounds on waiting for the server, connecting with the
// suite's settings, a statement sent with a bound on the wait for its answer, and the engine's
// connection class.

#include "platform/Datenbank.h"
#include "platform/postgres/Sql.h"

#include <libpq-fe.h>

#include <QHash>
#include <functional>
#include <memory>

namespace xov::postgres {

constexpr int VerbindenSekunden = 10;  // per host of the address
constexpr int AnweisungSekunden = 15;  // the server cancels a statement that runs longer
constexpr int AntwortSekunden = 20;    // a server that has not answered by then is given up
// Creating and dropping a database waits for a checkpoint of the whole server, which on a busy
// server takes longer than any ordinary statement: those get a bound of their own.
constexpr int WartungSekunden = 120;
constexpr int SperreWartenMs = 3000;  // a row another connection holds: 3260 after this time

struct ErgebnisFrei { void operator()(PGresult* r) const { PQclear(r); } };
using Ergebnis = std::unique_ptr<PGresult, ErgebnisFrei>;

// The database named in a server address; refused when there is none, or one the server cannot
// hold (it cuts names after 63 bytes, which would make two names one).
QString datenbankname(const QString& adresse);
// A new server connection to the address's database (or to `andereDatenbank`); the failure
// carries the server's reason.
PGconn* verbinden(const Verbindungsangabe& a, const char* andereDatenbank);
// Sends a statement and waits for its result at most `sekunden`. A server that does not answer
// (stopped, or the network gone without a word) is given up: the connection is closed, so that
// the next statement connects anew, and the caller hears 3151 with the reason.
Ergebnis mitFrist(PGconn* c, const std::function<int()>& senden, const QString& anzeige, int sekunden = AntwortSekunden);
// Runs a statement text without parameters (maintenance, marks); a failure is the server's.
void direktAusfuehren(PGconn* c, const QString& sql, const QString& anzeige, int sekunden = AntwortSekunden);
// Raises the failure a result reports, by its SQLSTATE.
[[noreturn]] void ergebnisFehler(const PGresult* r, const QString& anzeige);

class PgVerbindung final : public Verbindung {
public:
    // An address without a database would reach the user's default database: refused first.
    explicit PgVerbindung(const Verbindungsangabe& a);
    ~PgVerbindung() override;

    Abfrageergebnis abfragen(const QString& sql, const QVariantList& parameter = {}) override;
    qint64 ausfuehren(const QString& sql, const QVariantList& parameter = {}) override;
    QVector<QVariant> einfuegen(const QString& tabelle, const Spaltenwerte& werte, const QStringList& spalten) override;
    QStringList spaltenVon(const QString& tabelle) override;
    QStringList tabellen() override;
    void beginnen() override;
    void bestaetigen() override;
    void zuruecknehmen() override;
    QString rolle() override;
    // One empty statement: a server restarted or a session ended since shows here.
    bool wiederBereit() override;

    PGconn* roh() const { return m_conn; }

private:
    struct Anweisung {
        QByteArray name;  // empty: runs unprepared
        Uebersetzung uebersetzung;
    };

    void bereit();
    [[noreturn]] void fehlschlag(const PGresult* r);
    Ergebnis senden(const std::function<int()>& f);
    const Anweisung& anweisung(const QString& sql, bool neu);
    Ergebnis ausfuehrenRoh(const QString& sql, const QVariantList& werte, const Uebersetzung** u);
    void verloren();

    Verbindungsangabe m_angabe;
    PGconn* m_conn;
    QHash<QString, Anweisung> m_anweisungen;
    int m_naechste = 0;
    Transaktionstiefe m_tiefe;
};

}  // namespace xov::postgres
