// PostgreSQL behind the Verbindung interface through libpq: one server connection, statements
// prepared once per text, parameters always bound, values converted by the column's type.
// A connection the server dropped is re-established at the next statement outside a transaction.

#include "platform/postgres/Anbindung.h"
#include "platform/postgres/Fehlerabbildung.h"
#include "platform/Fehler.h"
#include "platform/Variant.h"

#include <QDate>
#include <QDateTime>
#include <QLocale>
#include <cmath>
#include <limits>
#include <vector>

namespace xov::postgres {
namespace {

// Type numbers of pg_type; they are fixed across server versions.
constexpr Oid BoolOid = 16, ByteaOid = 17, Int8Oid = 20, Int2Oid = 21, Int4Oid = 23, OidOid = 26, Float4Oid = 700,
              Float8Oid = 701, NumericOid = 1700, DateOid = 1082, TimestampOid = 1114, TimestamptzOid = 1184;

QVariant wert(const PGresult* r, int zeile, int spalte) {
    if (PQgetisnull(r, zeile, spalte)) return nullWert();
    const char* t = PQgetvalue(r, zeile, spalte);
    const QByteArray text(t, PQgetlength(r, zeile, spalte));
    switch (PQftype(r, spalte)) {
    case BoolOid: return QVariant(text == "t");
    case Int2Oid: case Int4Oid: case Int8Oid: case OidOid: return QVariant(text.toLongLong());
    case Float4Oid: case Float8Oid: case NumericOid:
        if (text == "NaN") return QVariant(std::numeric_limits<double>::quiet_NaN());
        if (text == "Infinity") return QVariant(std::numeric_limits<double>::infinity());
        if (text == "-Infinity") return QVariant(-std::numeric_limits<double>::infinity());
        return QVariant(text.toDouble());
    case DateOid: {
        const QDate d = QDate::fromString(QString::fromLatin1(text), Qt::ISODate);
        return d.isValid() ? QVariant(d) : QVariant(QString::fromUtf8(text));
    }
    case TimestampOid: case TimestamptzOid: {
        const QDateTime d = QDateTime::fromString(QString::fromLatin1(text).replace(QLatin1Char(' '), QLatin1Char('T')), Qt::ISODate);
        return d.isValid() ? QVariant(d) : QVariant(QString::fromUtf8(text));
    }
    case ByteaOid: {
        size_t laenge = 0;
        unsigned char* roh = PQunescapeBytea(reinterpret_cast<const unsigned char*>(t), &laenge);
        const QByteArray b(reinterpret_cast<const char*>(roh), qsizetype(laenge));
        PQfreemem(roh);
        return b;
    }
    default: return QString::fromUtf8(text);
    }
}

// A parameter as libpq takes it: text (or bytes for binary values), null for Null and Empty. The
// server gives it the type of the column it meets, so "12,5" for a number column is refused (13).
struct Parameter {
    QByteArray text;
    bool null = false;
    bool binaer = false;
};

Parameter parameter(const QVariant& v) {
    switch (bindeart(v)) {
    case Bindeart::Null: return {{}, true, false};
    case Bindeart::Wahrheitswert: return {v.toBool() ? "-1" : "0"};
    case Bindeart::Ganzzahl: return {QByteArray::number(v.toLongLong())};
    case Bindeart::Kommazahl: {
        const double d = v.toDouble();
        if (std::isnan(d)) return {"NaN"};
        if (std::isinf(d)) return {d > 0 ? "Infinity" : "-Infinity"};
        return {QByteArray::number(d, 'g', QLocale::FloatingPointShortest)};
    }
    case Bindeart::Bytes: return {v.toByteArray(), false, true};
    case Bindeart::Datum: return {v.toDate().toString(Qt::ISODate).toUtf8()};
    case Bindeart::Text: break;
    }
    return {v.toString().toUtf8()};
}

// Statements that the extended protocol may prepare and the cache keeps; the others (tables,
// transactions) run unprepared.
bool vorbereitbar(const QString& sql) {
    const QString anfang = sql.trimmed().section(QLatin1Char(' '), 0, 0).toUpper();
    return anfang == QLatin1String("SELECT") || anfang == QLatin1String("INSERT") || anfang == QLatin1String("UPDATE") ||
           anfang == QLatin1String("DELETE") || anfang == QLatin1String("WITH");
}
// The values of a statement as libpq takes them: one array each of texts, lengths and formats;
// a placeholder without a value is Null.
struct Gebunden {
    Gebunden(const QVariantList& werte, int n) : p(size_t(n), Parameter{{}, true, false}), zeiger(size_t(n)), laengen(size_t(n)), formate(size_t(n)) {
        for (size_t i = 0; i < size_t(n); ++i) {
            if (qsizetype(i) < werte.size()) p[i] = parameter(werte.at(qsizetype(i)));
            zeiger[i] = p[i].null ? nullptr : p[i].text.constData();
            laengen[i] = int(p[i].text.size());
            formate[i] = p[i].binaer ? 1 : 0;
        }
    }
    std::vector<Parameter> p;
    std::vector<const char*> zeiger;
    std::vector<int> laengen, formate;
};

}  // namespace

PgVerbindung::PgVerbindung(const Verbindungsangabe& a) : m_angabe(a), m_conn((datenbankname(a.datei), verbinden(a, nullptr))) {}

PgVerbindung::~PgVerbindung() { PQfinish(m_conn); }

Abfrageergebnis PgVerbindung::abfragen(const QString& sql, const QVariantList& parameter) {
    const Uebersetzung* u = nullptr;
    const Ergebnis r = ausfuehrenRoh(sql, parameter, &u);
    Abfrageergebnis erg;
    const int spalten = PQnfields(r.get()), zeilen = PQntuples(r.get());
    for (int s = 0; s < spalten; ++s) {
        const QString name = QString::fromUtf8(PQfname(r.get(), s));
        erg.spalten << u->schreibweisen.value(name, name);
    }
    erg.zeilen.reserve(zeilen);
    for (int z = 0; z < zeilen; ++z) {
        QVector<QVariant> zeile;
        zeile.reserve(spalten);
        for (int s = 0; s < spalten; ++s) zeile << wert(r.get(), z, s);
        erg.zeilen << zeile;
    }
    return erg;
}

qint64 PgVerbindung::ausfuehren(const QString& sql, const QVariantList& parameter) {
    const Ergebnis r = ausfuehrenRoh(sql, parameter, nullptr);
    return QByteArray(PQcmdTuples(r.get())).toLongLong();
}

QVector<QVariant> PgVerbindung::einfuegen(const QString& tabelle, const Spaltenwerte& werte, const QStringList& spalten) {
    QVariantList param;
    QString sql = einfuegenSql(tabelle, werte, param);
    if (!spalten.isEmpty()) sql += QStringLiteral(" RETURNING ") + spaltenliste(spalten);
    const auto erg = abfragen(sql, param);
    if (spalten.isEmpty()) return {};
    if (erg.zeilen.size() != 1) fehlerWerfen(FehlerNr::KeinAktuellerDatensatz, tabelle);
    return erg.zeilen.first();
}

QStringList PgVerbindung::spaltenVon(const QString& tabelle) {
    return namenAus(abfragen(QStringLiteral("SELECT column_name FROM information_schema.columns WHERE table_schema = "
                                            "current_schema() AND table_name = ? ORDER BY ordinal_position"),
                             {tabelle.toLower()}),
                    0, tabelle);
}

QStringList PgVerbindung::tabellen() {
    return namenAus(abfragen(QStringLiteral("SELECT table_name FROM information_schema.tables WHERE table_schema = "
                                            "current_schema() AND table_type = 'BASE TABLE' ORDER BY table_name")));
}

// Serializable, as a file's writers are serialized: a transaction that reads before it writes (is
// this day's rate there yet?) cannot interleave with another workstation's doing the same; the
// loser gets 3260 and nothing of it is written.
void PgVerbindung::beginnen() {
    m_tiefe.beginnen([this] { ausfuehren(QStringLiteral("BEGIN ISOLATION LEVEL SERIALIZABLE")); });
}

// A transaction in which a statement failed can only be rolled back (the server's COMMIT would
// silently roll it back): that is reported, not taken for success.
void PgVerbindung::bestaetigen() {
    m_tiefe.bestaetigen([this] {
        if (PQtransactionStatus(m_conn) == PQTRANS_INERROR)
            throw Fehler(FehlerNr::AnweisungFehlgeschlagen, QStringLiteral("Die Änderungen wurden nicht gespeichert: ein Schritt "
                                                                           "der Transaktion ist fehlgeschlagen"));
        ausfuehren(QStringLiteral("COMMIT"));
    });
}

void PgVerbindung::zuruecknehmen() {
    m_tiefe.zuruecknehmen([this] {
        if (PQstatus(m_conn) == CONNECTION_OK && PQtransactionStatus(m_conn) != PQTRANS_IDLE) ausfuehren(QStringLiteral("ROLLBACK"));
    });
}

QString PgVerbindung::rolle() { return QString::fromUtf8(PQuser(m_conn)); }

bool PgVerbindung::wiederBereit() {
    if (m_tiefe.offen() || PQstatus(m_conn) != CONNECTION_OK || PQtransactionStatus(m_conn) != PQTRANS_IDLE) return false;
    try {
        const Ergebnis r = senden([&] { return PQsendQuery(m_conn, ""); });
        return r && PQresultStatus(r.get()) == PGRES_EMPTY_QUERY && PQstatus(m_conn) == CONNECTION_OK;
    } catch (const Fehler&) {
        return false;
    }
}

// The server dropped the connection or it was given up: the transaction and the prepared
// statements are gone with it.
void PgVerbindung::verloren() {
    m_tiefe.verloren();
    m_anweisungen.clear();
}

// A connection the server dropped comes back here, before the next statement; inside a
// transaction that is lost with it, the statement fails instead. A reconnect that fails says why.
void PgVerbindung::bereit() {
    if (PQstatus(m_conn) == CONNECTION_OK) return;
    const bool inTransaktion = m_tiefe.offen();
    verloren();
    PGconn* neu = nullptr;
    QString ursache;
    try {
        neu = verbinden(m_angabe, nullptr);
    } catch (const Fehler& f) {
        ursache = f.beschreibung();
    }
    if (neu) {
        PQfinish(m_conn);
        m_conn = neu;
    }
    if (!neu)
        throw Fehler(FehlerNr::VerbindungUnterbrochen,
                     QStringLiteral("Die Verbindung zum Datenbankserver von %1 ist unterbrochen und lässt sich nicht wieder aufbauen (%2)")
                         .arg(m_angabe.anzeige(), ursache));
    if (inTransaktion)
        throw Fehler(FehlerNr::VerbindungUnterbrochen,
                     QStringLiteral("Die Verbindung zum Datenbankserver von %1 ist unterbrochen; die begonnene Änderung wurde nicht gespeichert")
                         .arg(m_angabe.anzeige()));
}

void PgVerbindung::fehlschlag(const PGresult* r) {
    const char* zustand = r ? PQresultErrorField(r, PG_DIAG_SQLSTATE) : nullptr;
    const char* satz = r ? PQresultErrorField(r, PG_DIAG_MESSAGE_PRIMARY) : nullptr;
    const QString text = m_angabe.ohneKennwort(QString::fromUtf8(satz ? satz : PQerrorMessage(m_conn)).trimmed());
    if (PQstatus(m_conn) != CONNECTION_OK) {
        const bool inTransaktion = m_tiefe.offen();
        verloren();
        // The server rolls back what the transaction wrote: the user hears that nothing of it is stored.
        if (inTransaktion)
            throw Fehler(FehlerNr::VerbindungUnterbrochen,
                         QStringLiteral("Die Verbindung zum Datenbankserver von %1 ist unterbrochen; die begonnene Änderung "
                                        "wurde nicht gespeichert (Server meldet: %2)").arg(m_angabe.anzeige(), text));
        serverFehler(QStringLiteral("08006"), text, m_angabe.anzeige());
    }
    serverFehler(QString::fromLatin1(zustand ? zustand : "XX000"), text, m_angabe.anzeige());
}

// A statement that got no answer in time ends the connection; what the transaction wrote is lost with it.
Ergebnis PgVerbindung::senden(const std::function<int()>& f) {
    try {
        return mitFrist(m_conn, f, m_angabe.anzeige());
    } catch (const Fehler&) {
        verloren();
        throw;
    }
}

const PgVerbindung::Anweisung& PgVerbindung::anweisung(const QString& sql, bool neu) {
    auto it = m_anweisungen.find(sql);
    if (it != m_anweisungen.end() && !neu) return *it;
    Anweisung a{{}, uebersetzen(sql)};
    if (vorbereitbar(sql)) {
        a.name = "xov" + QByteArray::number(++m_naechste);
        const QByteArray text = a.uebersetzung.sql.toUtf8();
        const Ergebnis r = senden([&] { return PQsendPrepare(m_conn, a.name.constData(), text.constData(), 0, nullptr); });
        if (PQresultStatus(r.get()) != PGRES_COMMAND_OK) fehlschlag(r.get());
    }
    return *m_anweisungen.insert(sql, a);
}

Ergebnis PgVerbindung::ausfuehrenRoh(const QString& sql, const QVariantList& werte, const Uebersetzung** u) {
    bereit();
    for (int versuch = 0;; ++versuch) {
        const Anweisung& a = anweisung(sql, versuch > 0);
        const int n = a.uebersetzung.parameter;
        if (werte.size() > n) fehlerWerfen(FehlerNr::ParameterZahl, QStringLiteral("mehr Werte als Platzhalter"));
        const Gebunden g(werte, n);
        const QByteArray text = a.uebersetzung.sql.toUtf8();
        Ergebnis r = senden([&] {
            return a.name.isEmpty()
                       ? PQsendQueryParams(m_conn, text.constData(), n, nullptr, g.zeiger.data(), g.laengen.data(), g.formate.data(), 0)
                       : PQsendQueryPrepared(m_conn, a.name.constData(), n, g.zeiger.data(), g.laengen.data(), g.formate.data(), 0);
        });
        const auto status = PQresultStatus(r.get());
        if (status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK) {
            if (u) *u = &m_anweisungen.find(sql)->uebersetzung;
            return r;
        }
        // A prepared SELECT * whose table gained a column must be prepared anew; outside a
        // transaction that is safe to do once.
        const char* zustand = PQresultErrorField(r.get(), PG_DIAG_SQLSTATE);
        if (versuch == 0 && !m_tiefe.offen() && zustand && qstrcmp(zustand, "0A000") == 0 && !a.name.isEmpty()) continue;
        fehlschlag(r.get());
    }
}

}  // namespace xov::postgres
