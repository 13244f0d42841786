// Reading the sources and checking the targets of a copy, before anything changes.

#include "tools/xov-db/Kopierteile.h"
#include "platform/Aenderungsprotokoll.h"
#include "platform/Datenbank.h"
#include "platform/Fehler.h"
#include "platform/Verbindungsangabe.h"
#include "tools/xov-db/Protokoll.h"
#include "tools/xov-db/Pruefen.h"
#include "tools/xov-db/Schema.h"

#include <QFileInfo>

namespace xovdb {
namespace {

bool server(const QString& db) { return xov::Verbindungsangabe::istServerAdresse(db); }

// A file that does not open with the suite's password (or is no database at all); a lock or a
// server's refusal is reported as what it is.
bool fremdeDatei(const xov::Fehler& f, const QString& db) {
    return !server(db) && f.nummer() == xov::FehlerNr::FalschesPasswort;
}

QStringList suiteTabellen() { return mandantenTabellen() + gemeinsameTabellen() << xov::ProtokollTabelle; }

bool alleDa(const QStringList& vorhanden, const QStringList& noetig) {
    for (const QString& t : noetig)
        if (!vorhanden.contains(t, Qt::CaseInsensitive)) return false;
    return true;
}

}  // namespace

QString schreibweise(const QString& name) {
    static const QStringList bekannt = suiteTabellen() + bekannteSpalten();
    for (const QString& b : bekannt)
        if (b.compare(name, Qt::CaseInsensitive) == 0) return b;
    return name;
}

namespace {

QString artVon(const Quelle& q) {
    if (q.mandant && q.gemeinsam) return QStringLiteral("Mandanten- und gemeinsame Datenbank");
    return q.mandant ? QStringLiteral("Mandanten-Datenbank") : QStringLiteral("gemeinsame Datenbank");
}

}  // namespace

Quelle quelleLesen(const QString& db) {
    vorhandeneDatenbankPruefen(db);
    std::shared_ptr<xov::Verbindung> v;
    QStringList vorhanden;
    try {
        v = xov::verbindungOeffnen(db, xov::DbPasswort);
        vorhanden = v->tabellen();
    } catch (const xov::Fehler& f) {
        if (!fremdeDatei(f, db)) throw;
        throw Abweisung{QStringLiteral("%1 ist keine Datenbank der Anwendung (%2); nichts wurde kopiert.").arg(dieDatenbank(db), f.beschreibung())};
    }
    Quelle q;
    q.mandant = alleDa(vorhanden, mandantenTabellen());
    q.gemeinsam = alleDa(vorhanden, gemeinsameTabellen());
    if (!q.mandant && !q.gemeinsam)
        throw Abweisung{QStringLiteral("%1 ist keine Datenbank der Anwendung; nichts wurde kopiert.").arg(dieDatenbank(db))};
    QStringList reihe;
    for (const QString& t : suiteTabellen())
        if (vorhanden.contains(t, Qt::CaseInsensitive)) reihe << t;
    for (const QString& t : vorhanden)
        if (!suiteTabellen().contains(t, Qt::CaseInsensitive)) reihe << t;
    for (const QString& name : reihe) {
        Tabelle t{name, v->spaltenVon(name), {}};
        t.zeilen = v->abfragen(QStringLiteral("SELECT %1 FROM %2").arg(xov::spaltenliste(t.spalten), xov::bezeichner(name))).zeilen;
        q.tabellen << t;
    }
    return q;
}

Ziel zielPruefen(const QString& db, const Quelle& q) {
    Ziel z;
    z.db = db;
    if (!datenbankVorhanden(db, xov::DbPasswort)) {
        neueDatenbankPruefen(db);
        QStringList fremd;
        for (const Tabelle& t : q.tabellen)
            if (!suiteTabellen().contains(t.name, Qt::CaseInsensitive)) fremd << t.name;
        if (!fremd.isEmpty())
            throw Abweisung{QStringLiteral("Die Quelle hat Tabellen, die eine neue Datenbank der Anwendung nicht hat (%1); "
                                           "sie kann nur in eine vorhandene Datenbank mit diesen Tabellen kopiert werden. "
                                           "%2 wurde nicht angelegt.").arg(fremd.join(QStringLiteral(", ")), dieDatenbank(db))};
        z.neu = true;
        return z;
    }
    const QString fremd = QStringLiteral("%1 ist keine %2 der Anwendung; sie bleibt unverändert.").arg(dieDatenbank(db), artVon(q));
    if (!server(db) && !QFileInfo(db).isFile()) throw Abweisung{fremd};
    QStringList vorhanden;
    try {
        z.v = xov::verbindungOeffnen(db, xov::DbPasswort);
        vorhanden = z.v->tabellen();
    } catch (const xov::Fehler& f) {
        if (!fremdeDatei(f, db)) throw;
        throw Abweisung{fremd.left(fremd.size() - 1) + QStringLiteral(" (") + f.beschreibung() + QStringLiteral(").")};
    }
    if ((q.mandant && !alleDa(vorhanden, mandantenTabellen())) || (q.gemeinsam && !alleDa(vorhanden, gemeinsameTabellen())))
        throw Abweisung{fremd};
    for (const Tabelle& t : q.tabellen)
        if (!vorhanden.contains(t.name, Qt::CaseInsensitive))
            throw Abweisung{QStringLiteral("%1 hat keine Tabelle %2; sie bleibt unverändert.").arg(dieDatenbank(db), t.name)};
    const QString voll = ersteGefuellteTabelle(*z.v, vorhanden);
    if (!voll.isNull())
        throw Abweisung{QStringLiteral("%1 enthält bereits Daten (Tabelle %2); kopiert wird nur in eine neue oder leere "
                                       "Datenbank. Sie bleibt unverändert.").arg(dieDatenbank(db), schreibweise(voll))};
    return z;
}

}  // namespace xovdb
