// PostgreSQL behind the Verbindung interface through libpq: one server connection, statements
// prepared once per text, parameters always bound, values converted by the column's type.
//
// Connections ask for TLS and use it when the server offers it (sslmode "prefer", unless the
// address says otherwise). The password goes to libpq as a parameter of its own; it is never part
// of an address, a log or a message (addresses are shown without a password they may carry).
// A connection the server dropped is re-established at the next statement outside a transaction.

#include "platform/postgres/Fehlerabbildung.h"
#include "platform/postgres/Postgres.h"
#include "platform/postgres/Sql.h"
#include "platform/Fehler.h"
#include "platform/Variant.h"

#include <libpq-fe.h>
#include <poll.h>
#include <sys/socket.h>

#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <cerrno>
#include <functional>
#include <QDate>
#include <QDateTime>
#include <QHash>
#include <QMap>
#include <QSet>
#include <QThread>
#include <QLocale>
#include <cmath>
#include <limits>

namespace xov::postgres {
namespace {

// Type numbers of pg_type; they are fixed across server versions.
constexpr Oid BoolOid = 16, ByteaOid = 17, Int8Oid = 20, Int2Oid = 21, Int4Oid = 23, OidOid = 26, Float4Oid = 700,
              Float8Oid = 701, NumericOid = 1700, DateOid = 1082, TimestampOid = 1114, TimestamptzOid = 1184;
constexpr int VerbindenSekunden = 10;  // per host of the address
constexpr int AnweisungSekunden = 15;  // the server cancels a statement that runs longer
constexpr int AntwortSekunden = 20;    // a server that has not answered by then is given up
// Creating and dropping a database waits for a checkpoint of the whole server, which on a busy
// server takes longer than any ordinary statement: those get a bound of their own.
constexpr int WartungSekunden = 120;
constexpr int SperreWartenMs = 3000;  // a row another connection holds: 3260 after this time

struct ErgebnisFrei { void operator()(PGresult* r) const { PQclear(r); } };
using Ergebnis = std::unique_ptr<PGresult, ErgebnisFrei>;

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
    if (istNull(v) || istLeer(v)) return {{}, true, false};
    switch (v.typeId()) {
    case QMetaType::Bool: return {v.toBool() ? "-1" : "0"};
    case QMetaType::Int: case QMetaType::Short: case QMetaType::LongLong: case QMetaType::UInt:
    case QMetaType::Long: case QMetaType::UShort:
        return {QByteArray::number(v.toLongLong())};
    case QMetaType::Double: case QMetaType::Float: {
        const double d = v.toDouble();
        if (std::isnan(d)) return {"NaN"};
        if (std::isinf(d)) return {d > 0 ? "Infinity" : "-Infinity"};
        return {QByteArray::number(d, 'g', QLocale::FloatingPointShortest)};
    }
    case QMetaType::QByteArray: return {v.toByteArray(), false, true};
    case QMetaType::QDate: case QMetaType::QDateTime: return {v.toDate().toString(Qt::ISODate).toUtf8()};
    default: return {v.toString().toUtf8()};
    }
}

// Statements that the extended protocol may prepare and the cache keeps; the others (tables,
// transactions) run unprepared.
bool vorbereitbar(const QString& sql) {
    const QString anfang = sql.trimmed().section(QLatin1Char(' '), 0, 0).toUpper();
    return anfang == QLatin1String("SELECT") || anfang == QLatin1String("INSERT") || anfang == QLatin1String("UPDATE") ||
           anfang == QLatin1String("DELETE") || anfang == QLatin1String("WITH");
}

// The address as libpq reads it: libpq knows its scheme only in lower case.
QByteArray libpqAdresse(const QString& adresse) {
    const qsizetype schema = adresse.indexOf(QLatin1String("://"));
    return (adresse.left(schema).toLower() + adresse.mid(schema)).toUtf8();
}

// The database named in a server address: one the server can hold (it cuts names after 63
// bytes, which would make two names one).
QString datenbankname(const QString& adresse) {
    // libpq ends the user information at the first "@": the rest of a password with an "@" in it
    // would become the host name and appear in its messages.
    const qsizetype anfang = adresse.indexOf(QLatin1String("://")) + 3;
    qsizetype ende = adresse.indexOf(QLatin1Char('/'), anfang);
    if (ende < 0) ende = adresse.size();
    if (adresse.mid(anfang, ende - anfang).count(QLatin1Char('@')) > 1)
        throw Fehler(FehlerNr::DateiNichtGefunden,
                     QStringLiteral("Die Serveradresse %1 ist ungültig: das Kennwort darin enthält ein \"@\". Bitte das Kennwort nicht in "
                                    "die Adresse schreiben (--passwort-datei, PGPASSWORD oder ~/.pgpass), oder das \"@\" als %40 schreiben")
                         .arg(Verbindungsangabe{adresse, {}}.anzeige()));
    char* fehler = nullptr;
    PQconninfoOption* optionen = PQconninfoParse(libpqAdresse(adresse).constData(), &fehler);
    if (!optionen) {
        // libpq quotes the whole address in its message, a password in it included.
        const QString anzeige = Verbindungsangabe{adresse, {}}.anzeige();
        const QString text = fehler ? Verbindungsangabe{adresse, {}}.ohneKennwort(QString::fromUtf8(fehler).trimmed()) : QString();
        PQfreemem(fehler);
        throw Fehler(FehlerNr::DateiNichtGefunden, QStringLiteral("Die Serveradresse %1 ist ungültig (%2)").arg(anzeige, text));
    }
    QString name;
    for (PQconninfoOption* o = optionen; o->keyword; ++o)
        if (qstrcmp(o->keyword, "dbname") == 0 && o->val) name = QString::fromUtf8(o->val);
    PQconninfoFree(optionen);
    if (name.isEmpty())
        throw Fehler(FehlerNr::DateiNichtGefunden, QStringLiteral("Die Serveradresse %1 nennt keine Datenbank").arg(Verbindungsangabe{adresse, {}}.anzeige()));
    if (name.toUtf8().size() > 63)
        throw Fehler(FehlerNr::DateiNichtGefunden,
                     QStringLiteral("Der Datenbankname „%1“ ist länger als die 63 Bytes, die ein Datenbankserver unterscheidet; "
                                    "bitte einen kürzeren Namen wählen").arg(name));
    return name;
}

// What the address itself says about the connection.
struct Adressteile {
    QStringList hosts;          // empty: the default, a local socket
    bool sslmode = false;       // the address chooses its TLS mode itself
    bool passwort = false;      // the address carries a password
};

Adressteile adressteile(const QByteArray& adresse) {
    Adressteile t;
    PQconninfoOption* optionen = PQconninfoParse(adresse.constData(), nullptr);
    if (!optionen) return t;
    for (PQconninfoOption* o = optionen; o->keyword; ++o) {
        if (!o->val) continue;
        if (qstrcmp(o->keyword, "host") == 0) t.hosts = QString::fromUtf8(o->val).split(QLatin1Char(','));
        if (qstrcmp(o->keyword, "sslmode") == 0) t.sslmode = true;
        if (qstrcmp(o->keyword, "password") == 0 && *o->val) t.passwort = true;
    }
    PQconninfoFree(optionen);
    return t;
}

// A host on this machine: a socket folder, localhost, 127.0.0.0/8 or ::1. Only there may the
// connection go without TLS unless the address asks for it.
bool lokal(const QString& host) {
    const QString h = host.trimmed();
    if (h.isEmpty() || h.startsWith(QLatin1Char('/')) || h.startsWith(QLatin1Char('@'))) return true;
    if (h.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0 || h == QLatin1String("::1") || h == QLatin1String("[::1]")) return true;
    const QStringList teile = h.split(QLatin1Char('.'));
    return teile.size() == 4 && teile.first() == QLatin1String("127");
}

bool passwortdateiVorhanden() {
    const QByteArray datei = qgetenv("PGPASSFILE");
    if (!datei.isEmpty()) return QFileInfo::exists(QFile::decodeName(datei));
    return QFileInfo::exists(QDir::home().filePath(QStringLiteral(".pgpass")));
}

// Connects, polling without blocking longer than VerbindenSekunden per host; messages are verbose
// so that the SQLSTATE of a refused login can be read (the server's text is in its own language).
// `passwort` null: libpq's own sources (PGPASSWORD, the password file).
PGconn* verbindenMit(const Verbindungsangabe& a, const char* andereDatenbank, const Adressteile& teile, const QByteArray* passwort,
                    QString& meldung) {
    const QByteArray adresse = libpqAdresse(a.datei);
    const QByteArray optionen = "-c lock_timeout=" + QByteArray::number(SperreWartenMs) + " -c statement_timeout=" +
                                QByteArray::number(AnweisungSekunden * 1000);
    const QByteArray verbindenS = QByteArray::number(VerbindenSekunden), tcpMs = QByteArray::number(AntwortSekunden * 1000);
    std::vector<const char*> schluessel{"application_name", "client_encoding", "options", "connect_timeout", "keepalives",
                                       "keepalives_idle", "keepalives_interval", "keepalives_count", "tcp_user_timeout",
                                       "channel_binding"};
    std::vector<const char*> werte{"xovMandStamm", "UTF8", optionen.constData(), verbindenS.constData(), "1", "10", "5", "3",
                                   tcpMs.constData(), "prefer"};
    // TLS is required for a server elsewhere on the network; the address (or PGSSLMODE) may choose otherwise.
    if (!teile.sslmode && qEnvironmentVariableIsEmpty("PGSSLMODE")) {
        const bool nurLokal = std::all_of(teile.hosts.begin(), teile.hosts.end(), lokal);
        schluessel.push_back("sslmode");
        werte.push_back(nurLokal ? "prefer" : "require");
    }
    if (passwort) { schluessel.push_back("password"); werte.push_back(passwort->constData()); }
    schluessel.push_back("dbname"); werte.push_back(adresse.constData());  // the address overrides the defaults above
    if (andereDatenbank) { schluessel.push_back("dbname"); werte.push_back(andereDatenbank); }
    schluessel.push_back(nullptr); werte.push_back(nullptr);
    PGconn* c = PQconnectStartParams(schluessel.data(), werte.data(), 1);
    if (!c) fehlerWerfen(FehlerNr::EngineBasis + 7, a.anzeige());
    // The server's notices ("already exists, skipping") are no failures and not for the user:
    // libpq would print them to standard error.
    PQsetNoticeProcessor(c, [](void*, const char*) {}, nullptr);
    PQsetErrorVerbosity(c, PQERRORS_VERBOSE);
    PostgresPollingStatusType s = PQstatus(c) == CONNECTION_BAD ? PGRES_POLLING_FAILED : PGRES_POLLING_WRITING;
    // The time runs per host, as libpq's own connect_timeout: a host that refuses is left at once.
    QDeadlineTimer frist(VerbindenSekunden * 1000);
    QByteArray host = PQhost(c), port = PQport(c);
    bool abgelaufen = false;
    while (s != PGRES_POLLING_OK && s != PGRES_POLLING_FAILED) {
        if (host != PQhost(c) || port != PQport(c)) {
            host = PQhost(c);
            port = PQport(c);
            frist.setRemainingTime(VerbindenSekunden * 1000);
        }
        pollfd p{PQsocket(c), short(s == PGRES_POLLING_READING ? POLLIN : POLLOUT), 0};
        const int r = ::poll(&p, 1, int(std::max<qint64>(0, frist.remainingTime())));
        if (r == 0) {
            abgelaufen = true;
            break;
        }
        if (r < 0 && errno != EINTR) break;
        s = PQconnectPoll(c);
    }
    if (s == PGRES_POLLING_OK) {
        PQsetErrorVerbosity(c, PQERRORS_DEFAULT);
        return c;
    }
    meldung = QString::fromUtf8(PQerrorMessage(c)).trimmed();
    if (abgelaufen || meldung.isEmpty())
        meldung = QStringLiteral("Zeitüberschreitung: %1, Port %2 antwortet nicht innerhalb von %3 Sekunden; %4")
                      .arg(QString::fromUtf8(host), QString::fromUtf8(port)).arg(VerbindenSekunden)
                      .arg(meldung.isEmpty() ? QStringLiteral("keine Antwort") : meldung);
    if (PQconnectionNeedsPassword(c)) meldung.prepend(QChar(0));  // marks: another password may help
    PQfinish(c);
    return nullptr;
}

PGconn* verbinden(const Verbindungsangabe& a, const char* andereDatenbank) {
    const Adressteile teile = adressteile(libpqAdresse(a.datei));
    const QByteArray eigenes = a.passwort.toUtf8();
    const QString gesetzt = serverKennwort();
    const QByteArray option = gesetzt.toUtf8();
    // The password, in this order: the address's own, the one of the tools' --passwort-datei,
    // PGPASSWORD, the password file, the suite's password.
    std::vector<const QByteArray*> versuche;
    if (teile.passwort || !qEnvironmentVariableIsEmpty("PGPASSWORD")) versuche = {nullptr};
    else if (!gesetzt.isNull()) versuche = {&option};
    else if (passwortdateiVorhanden()) versuche = {nullptr, &eigenes};
    else versuche = {eigenes.isEmpty() ? nullptr : &eigenes};
    QString meldung;
    for (size_t i = 0; i < versuche.size(); ++i) {
        if (PGconn* c = verbindenMit(a, andereDatenbank, teile, versuche[i], meldung)) return c;
        if (!meldung.startsWith(QChar(0))) break;
    }
    if (meldung.startsWith(QChar(0))) meldung.remove(0, 1);
    meldung = a.ohneKennwort(meldung);
    if (meldung.contains(QLatin1String("SSL was required")) || meldung.contains(QLatin1String("server does not support SSL")))
        throw Fehler(FehlerNr::DateiNichtGefunden,
                     QStringLiteral("Der Datenbankserver von %1 bietet keine verschlüsselte Verbindung (TLS) an; ohne sie gingen "
                                    "Kennwort und Daten lesbar über das Netz. Bitte auf dem Server TLS einschalten (ssl = on mit "
                                    "Zertifikat und Schlüssel in postgresql.conf) oder, nur in einem vertrauenswürdigen Netz, "
                                    "ausdrücklich darauf verzichten: ?sslmode=disable an die Adresse anhängen (Server meldet: %2)")
                         .arg(a.anzeige(), satzAusMeldung(meldung)));
    serverFehler(zustandAusMeldung(meldung), satzAusMeldung(meldung), a.anzeige());
}

// Sends a statement and waits for its result at most AntwortSekunden. A server that does not
// answer (stopped, or the network gone without a word) is given up: the connection is closed, so
// that the next statement connects anew, and the caller hears 3151 with the reason.
Ergebnis mitFrist(PGconn* c, const std::function<int()>& senden, const QString& anzeige, int sekunden = AntwortSekunden) {
    if (!senden()) return Ergebnis(nullptr);
    QDeadlineTimer frist(sekunden * 1000);
    const auto warten = [&](short ereignis) {
        pollfd p{PQsocket(c), ereignis, 0};
        for (;;) {
            const int r = ::poll(&p, 1, int(std::max<qint64>(0, frist.remainingTime())));
            if (r > 0) return true;
            if (r == 0) return false;
            if (errno != EINTR) return true;  // libpq then reports the socket's failure itself
        }
    };
    const auto aufgeben = [&] {
        ::shutdown(PQsocket(c), SHUT_RDWR);
        PQconsumeInput(c);
        throw Fehler(FehlerNr::VerbindungUnterbrochen,
                     QStringLiteral("Der Datenbankserver von %1 antwortet nicht innerhalb von %2 Sekunden (Zeitüberschreitung); "
                                    "die Verbindung ist unterbrochen, die begonnene Änderung wurde nicht gespeichert")
                         .arg(anzeige).arg(sekunden));
    };
    for (;;) {
        const int f = PQflush(c);
        if (f == 0) break;
        if (f < 0) return Ergebnis(PQgetResult(c));
        if (!warten(POLLOUT | POLLIN)) aufgeben();
        PQconsumeInput(c);
    }
    Ergebnis letztes;
    for (;;) {
        while (PQisBusy(c)) {
            if (!warten(POLLIN)) aufgeben();
            if (!PQconsumeInput(c)) break;
        }
        Ergebnis r(PQgetResult(c));
        if (!r) break;
        // As PQexec: the last result, but a failure is kept.
        if (!letztes || PQresultStatus(letztes.get()) != PGRES_FATAL_ERROR) letztes = std::move(r);
        if (PQstatus(c) == CONNECTION_BAD) break;
    }
    return letztes;
}

class PgVerbindung final : public Verbindung {
public:
    // An address without a database would reach the user's default database: refused first.
    explicit PgVerbindung(const Verbindungsangabe& a) : m_angabe(a), m_conn((datenbankname(a.datei), verbinden(a, nullptr))) {}
    ~PgVerbindung() override { PQfinish(m_conn); }

    Abfrageergebnis abfragen(const QString& sql, const QVariantList& parameter = {}) override {
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

    qint64 ausfuehren(const QString& sql, const QVariantList& parameter = {}) override {
        const Ergebnis r = ausfuehrenRoh(sql, parameter, nullptr);
        return QByteArray(PQcmdTuples(r.get())).toLongLong();
    }

    QVector<QVariant> einfuegen(const QString& tabelle, const Spaltenwerte& werte, const QStringList& spalten) override {
        QVariantList param;
        QString sql = einfuegenSql(tabelle, werte, param);
        if (!spalten.isEmpty()) sql += QStringLiteral(" RETURNING ") + spaltenliste(spalten);
        const auto erg = abfragen(sql, param);
        if (spalten.isEmpty()) return {};
        if (erg.zeilen.size() != 1) fehlerWerfen(FehlerNr::KeinAktuellerDatensatz, tabelle);
        return erg.zeilen.first();
    }

    QStringList spaltenVon(const QString& tabelle) override {
        QStringList namen;
        const auto erg = abfragen(QStringLiteral("SELECT column_name FROM information_schema.columns WHERE table_schema = "
                                                 "current_schema() AND table_name = ? ORDER BY ordinal_position"),
                                  {tabelle.toLower()});
        for (const auto& z : erg.zeilen) namen << z.at(0).toString();
        if (namen.isEmpty()) fehlerWerfen(FehlerNr::TabelleFehlt, tabelle);
        return namen;
    }

    QStringList tabellen() override {
        QStringList namen;
        const auto erg = abfragen(QStringLiteral("SELECT table_name FROM information_schema.tables WHERE table_schema = "
                                                 "current_schema() AND table_type = 'BASE TABLE' ORDER BY table_name"));
        for (const auto& z : erg.zeilen) namen << z.at(0).toString();
        return namen;
    }

    // Serializable, as a file's writers are serialized: a transaction that reads before it
    // writes (is this day's rate there yet?) cannot interleave with another workstation's doing
    // the same; the loser gets 3260 and nothing of it is written.
    void beginnen() override {
        if (m_tiefe == 0) ausfuehren(QStringLiteral("BEGIN ISOLATION LEVEL SERIALIZABLE"));
        ++m_tiefe;
    }
    // A transaction in which a statement failed can only be rolled back (the server's COMMIT
    // would silently roll it back): that is reported, not taken for success.
    void bestaetigen() override {
        if (m_tiefe == 0) return;
        if (m_tiefe == 1) {
            if (PQtransactionStatus(m_conn) == PQTRANS_INERROR)
                throw Fehler(FehlerNr::EngineBasis + 1, QStringLiteral("Die Änderungen wurden nicht gespeichert: ein Schritt "
                                                                       "der Transaktion ist fehlgeschlagen"));
            ausfuehren(QStringLiteral("COMMIT"));
        }
        --m_tiefe;
    }
    void zuruecknehmen() override {
        if (m_tiefe == 0) return;
        if (--m_tiefe == 0 && PQstatus(m_conn) == CONNECTION_OK && PQtransactionStatus(m_conn) != PQTRANS_IDLE)
            ausfuehren(QStringLiteral("ROLLBACK"));
    }
    QString rolle() override { return QString::fromUtf8(PQuser(m_conn)); }

    // One empty statement: a server restarted or a session ended since shows here.
    bool wiederBereit() override {
        if (m_tiefe != 0 || PQstatus(m_conn) != CONNECTION_OK || PQtransactionStatus(m_conn) != PQTRANS_IDLE) return false;
        try {
            const Ergebnis r = senden([&] { return PQsendQuery(m_conn, ""); });
            return r && PQresultStatus(r.get()) == PGRES_EMPTY_QUERY && PQstatus(m_conn) == CONNECTION_OK;
        } catch (const Fehler&) {
            return false;
        }
    }

    PGconn* roh() const { return m_conn; }

private:
    struct Anweisung {
        QByteArray name;  // empty: runs unprepared
        Uebersetzung uebersetzung;
    };

    // A connection the server dropped comes back here, before the next statement; inside a
    // transaction that is lost with it, the statement fails instead.
    void bereit() {
        if (PQstatus(m_conn) == CONNECTION_OK) return;
        const bool inTransaktion = m_tiefe > 0;
        m_anweisungen.clear();
        m_tiefe = 0;
        PGconn* neu = nullptr;
        try { neu = verbinden(m_angabe, nullptr); } catch (const Fehler&) {}
        if (neu) { PQfinish(m_conn); m_conn = neu; }
        if (!neu || inTransaktion)
            throw Fehler(FehlerNr::VerbindungUnterbrochen,
                         QStringLiteral("Die Verbindung zum Datenbankserver von %1 ist unterbrochen%2")
                             .arg(m_angabe.anzeige(), neu ? QStringLiteral("; die begonnene Änderung wurde nicht gespeichert")
                                                          : QStringLiteral(" und lässt sich nicht wieder aufbauen")));
    }

    [[noreturn]] void fehlschlag(const PGresult* r) {
        const char* zustand = r ? PQresultErrorField(r, PG_DIAG_SQLSTATE) : nullptr;
        const char* satz = r ? PQresultErrorField(r, PG_DIAG_MESSAGE_PRIMARY) : nullptr;
        const QString text = m_angabe.ohneKennwort(QString::fromUtf8(satz ? satz : PQerrorMessage(m_conn)).trimmed());
        if (PQstatus(m_conn) != CONNECTION_OK) {
            const bool inTransaktion = m_tiefe > 0;
            m_tiefe = 0;
            m_anweisungen.clear();
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
    Ergebnis senden(const std::function<int()>& f) {
        try {
            return mitFrist(m_conn, f, m_angabe.anzeige());
        } catch (const Fehler&) {
            m_tiefe = 0;
            m_anweisungen.clear();
            throw;
        }
    }

    const Anweisung& anweisung(const QString& sql, bool neu) {
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

    Ergebnis ausfuehrenRoh(const QString& sql, const QVariantList& werte, const Uebersetzung** u) {
        bereit();
        for (int versuch = 0;; ++versuch) {
            const Anweisung& a = anweisung(sql, versuch > 0);
            const int n = a.uebersetzung.parameter;
            if (werte.size() > n)
                fehlerWerfen(FehlerNr::EngineBasis + 25, QStringLiteral("mehr Werte als Platzhalter"));
            const auto anzahl = static_cast<size_t>(n);
            std::vector<Parameter> p(anzahl, Parameter{{}, true, false});
            std::vector<const char*> zeiger(anzahl);
            std::vector<int> laengen(anzahl), formate(anzahl);
            for (int i = 0; i < n; ++i) {
                if (i < werte.size()) p[size_t(i)] = parameter(werte.at(i));
                zeiger[size_t(i)] = p[size_t(i)].null ? nullptr : p[size_t(i)].text.constData();
                laengen[size_t(i)] = int(p[size_t(i)].text.size());
                formate[size_t(i)] = p[size_t(i)].binaer ? 1 : 0;
            }
            const QByteArray text = a.uebersetzung.sql.toUtf8();
            Ergebnis r = senden([&] {
                return a.name.isEmpty() ? PQsendQueryParams(m_conn, text.constData(), n, nullptr, zeiger.data(), laengen.data(), formate.data(), 0)
                                        : PQsendQueryPrepared(m_conn, a.name.constData(), n, zeiger.data(), laengen.data(), formate.data(), 0);
            });
            const auto status = PQresultStatus(r.get());
            if (status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK) {
                if (u) *u = &m_anweisungen.find(sql)->uebersetzung;
                return r;
            }
            // A prepared SELECT * whose table gained a column must be prepared anew; outside a
            // transaction that is safe to do once.
            const char* zustand = PQresultErrorField(r.get(), PG_DIAG_SQLSTATE);
            if (versuch == 0 && m_tiefe == 0 && zustand && qstrcmp(zustand, "0A000") == 0 && !a.name.isEmpty()) continue;
            fehlschlag(r.get());
        }
    }

    Verbindungsangabe m_angabe;
    PGconn* m_conn;
    QHash<QString, Anweisung> m_anweisungen;
    int m_naechste = 0;
    int m_tiefe = 0;
};

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
    void ausfuehren(const QString& sql, const QString& adresse) {
        const QByteArray text = sql.toUtf8();
        const Ergebnis r = mitFrist(conn, [&] { return PQsendQuery(conn, text.constData()); }, adresse, WartungSekunden);
        if (PQresultStatus(r.get()) != PGRES_COMMAND_OK) {
            const char* zustand = PQresultErrorField(r.get(), PG_DIAG_SQLSTATE);
            const char* satz = PQresultErrorField(r.get(), PG_DIAG_MESSAGE_PRIMARY);
            serverFehler(QString::fromLatin1(zustand ? zustand : "XX000"), QString::fromUtf8(satz ? satz : ""), adresse);
        }
    }
    PGconn* conn;
};

}  // namespace

// Databases of this process that were there already, empty, when they were to be created: an
// administrator may create the databases for a role that may not create any. Removing one of
// them takes back only what this process put in, the database itself stays.
QSet<QString>& uebernommen() {
    static QSet<QString> namen;
    return namen;
}

namespace {

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
        PGconn* c = v->roh();
        const QByteArray text = saetze.join(QStringLiteral("; ")).toUtf8();
        const Ergebnis r = mitFrist(c, [&] { return PQsendQuery(c, text.constData()); }, gruppe.first().anzeige());
        if (PQresultStatus(r.get()) != PGRES_COMMAND_OK) {
            const char* zustand = PQresultErrorField(r.get(), PG_DIAG_SQLSTATE);
            const char* satz = PQresultErrorField(r.get(), PG_DIAG_MESSAGE_PRIMARY);
            serverFehler(QString::fromLatin1(zustand ? zustand : "XX000"), QString::fromUtf8(satz ? satz : ""), gruppe.first().anzeige());
        }
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
