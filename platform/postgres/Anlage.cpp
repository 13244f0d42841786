// Creating and removing server databases. A creation may be all-or-nothing (for the tools): the
// database carries a mark until it is complete, and the next creation takes over one that a
// killed run left marked instead of refusing it.

#include "platform/postgres/Anbindung.h"
#include "platform/postgres/Postgres.h"
#include "platform/Fehler.h"

#include <QMap>
#include <QSet>
#include <QThread>

namespace xov::postgres {
namespace {

// A second connection to the server's maintenance database, for creating and dropping.
struct Wartung {
    explicit Wartung(const Verbindungsangabe& a) : conn(verbinden(a, "postgres")) {
        try {
            ausfuehren(QStringLiteral("SET statement_timeout = %1").arg(WartungSekunden * 1000 - 5000), a.anzeige());
        } catch (...) {
            PQfinish(conn);
            throw;
        }
    }
    ~Wartung() { PQfinish(conn); }
    void ausfuehren(const QString& sql, const QString& adresse) { direktAusfuehren(conn, sql, adresse, WartungSekunden); }
    PGconn* conn;
};

// Databases of this process that were there already, empty, when they were to be created: an
// administrator may create the databases for a role that may not create any. Removing one of
// them takes back only what this process put in, the database itself stays.
QSet<QString>& uebernommen() {
    static QSet<QString> namen;
    return namen;
}

// The mark of a database whose creation is not complete: a comment on the database, which only
// its owner sets and which every connection to the server can read.
const QString Anlagemarke = QStringLiteral("xovMandStamm: Anlage unvollständig");
bool& alsGanzes() {
    static bool ein = false;
    return ein;
}

QString marke(Verbindung& v) {
    const auto erg = v.abfragen(QStringLiteral("SELECT shobj_description(oid, 'pg_database') FROM pg_database WHERE datname = current_database()"));
    return erg.zeilen.isEmpty() ? QString() : erg.zeilen[0][0].toString();
}

void markeSetzen(Verbindung& v, const QString& name, bool unvollstaendig) {
    v.ausfuehren(QStringLiteral("COMMENT ON DATABASE %1 IS %2")
                     .arg(bezeichner(name), unvollstaendig ? QLatin1Char('\'') + Anlagemarke + QLatin1Char('\'') : QStringLiteral("NULL")));
}

}  // namespace

std::shared_ptr<Verbindung> oeffnen(const Verbindungsangabe& angabe, bool anlegen) {
    // A CREATE DATABASE of a run that was killed may still finish on the server after this run
    // found no database: then the one it created is looked at once more, as if it had been there.
    for (int versuch = 0; anlegen; ++versuch) {
        const QString name = datenbankname(angabe.datei);
        std::shared_ptr<Verbindung> vorhanden;
        try {
            vorhanden = std::make_shared<PgVerbindung>(angabe);
        } catch (const Fehler& f) {
            if (f.nummer() != FehlerNr::DateiNichtGefunden) throw;
        }
        if (vorhanden) {
            QStringList tabellen = vorhanden->tabellen();
            // One that a killed creation left unfinished is emptied and taken over.
            if (!tabellen.isEmpty() && marke(*vorhanden) == Anlagemarke) {
                // The killed run's server session may still hold its locks until it notices
                // that its client is gone: it is ended first.
                vorhanden->abfragen(QStringLiteral("SELECT pg_terminate_backend(pid) FROM pg_stat_activity WHERE "
                                                   "datname = current_database() AND pid <> pg_backend_pid()"));
                Transaktion t(*vorhanden);
                for (const QString& tabelle : tabellen) vorhanden->ausfuehren(QStringLiteral("DROP TABLE %1 CASCADE").arg(bezeichner(tabelle)));
                t.bestaetigen();
                tabellen.clear();
            }
            if (!tabellen.isEmpty()) fehlerWerfen(FehlerNr::DateiVorhanden, angabe.anzeige());
            uebernommen().insert(angabe.anzeige());
            if (alsGanzes()) {
                try { markeSetzen(*vorhanden, name, true); } catch (const Fehler&) {}  // one the administrator owns: no mark
            }
            return vorhanden;
        }
        Wartung w(angabe);
        try {
            w.ausfuehren(QStringLiteral("CREATE DATABASE ") + bezeichner(name), angabe.anzeige());
        } catch (const Fehler& f) {
            // The name taken meanwhile: 42P04, or a unique violation in the catalog when both ran at once.
            if ((f.nummer() == FehlerNr::DateiVorhanden || f.nummer() == FehlerNr::DoppelterSchluessel) && versuch == 0) continue;
            throw;
        }
        if (alsGanzes())
            w.ausfuehren(QStringLiteral("COMMENT ON DATABASE %1 IS '%2'").arg(bezeichner(name), Anlagemarke), angabe.anzeige());
        uebernommen().remove(angabe.anzeige());
        break;
    }
    return std::make_shared<PgVerbindung>(angabe);
}

void anlagenAlsGanzes(bool ein) { alsGanzes() = ein; }

void anlageAbschliessen(const Verbindungsangabe& angabe) { anlagenAbschliessen({angabe}); }

void anlagenAbschliessen(const QVector<Verbindungsangabe>& angaben) {
    if (!alsGanzes() || angaben.isEmpty()) return;
    // The databases of one server lose their marks in one statement text, which the server runs
    // as one transaction: a run killed now leaves all of them marked or none. (The tools' pairs
    // live on one server; databases on different servers are completed one server after another.)
    QMap<QString, QVector<Verbindungsangabe>> jeServer;
    for (const Verbindungsangabe& a : angaben) {
        QString server = a.datei;
        server.truncate(server.indexOf(QLatin1Char('/'), server.indexOf(QLatin1String("://")) + 3));
        jeServer[server].append(a);
    }
    for (const auto& gruppe : std::as_const(jeServer)) {
        auto v = std::make_shared<PgVerbindung>(gruppe.first());
        QStringList namen, literale;
        for (const Verbindungsangabe& a : gruppe) {
            const QString name = datenbankname(a.datei);
            namen << name;
            literale << QLatin1Char('\'') + QString(name).replace(QLatin1Char('\''), QStringLiteral("''")) + QLatin1Char('\'');
        }
        QStringList saetze;
        for (const auto& z : v->abfragen(QStringLiteral("SELECT datname FROM pg_database WHERE datname IN (%1) AND "
                                                        "shobj_description(oid, 'pg_database') = ?").arg(literale.join(u',')),
                                         {Anlagemarke}).zeilen)
            saetze << QStringLiteral("COMMENT ON DATABASE %1 IS NULL").arg(bezeichner(z.at(0).toString()));
        if (saetze.isEmpty()) continue;
        direktAusfuehren(v->roh(), saetze.join(QStringLiteral("; ")), gruppe.first().anzeige());
    }
}

bool anlageUnvollstaendig(const Verbindungsangabe& angabe) {
    try {
        PgVerbindung v(angabe);
        return marke(v) == Anlagemarke;
    } catch (const Fehler& f) {
        if (f.nummer() == FehlerNr::DateiNichtGefunden) return false;
        throw;
    }
}

void entfernen(const Verbindungsangabe& angabe) {
    const QString name = datenbankname(angabe.datei);
    if (uebernommen().contains(angabe.anzeige())) {
        auto v = std::make_shared<PgVerbindung>(angabe);
        Transaktion t(*v);
        for (const QString& tabelle : v->tabellen()) v->ausfuehren(QStringLiteral("DROP TABLE %1 CASCADE").arg(bezeichner(tabelle)));
        t.bestaetigen();
        return;
    }
    // FORCE ends the sessions of the database; one of the server's own background workers (the
    // autovacuum of a fresh database) may not be ended by this role, but finishes within moments.
    Wartung wartung(angabe);
    for (int versuch = 0;; ++versuch) {
        try {
            wartung.ausfuehren(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(bezeichner(name)), angabe.anzeige());
            return;
        } catch (const Fehler& f) {
            if (f.nummer() != FehlerNr::NurLesen || versuch >= 50) throw;
            QThread::msleep(100);
        }
    }
}

}  // namespace xov::postgres