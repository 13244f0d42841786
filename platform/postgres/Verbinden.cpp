// Connecting to the server: the address read as libpq reads it, TLS required off this machine,
// the password from the first source that has one, and every wait bounded.
//
// The password goes to libpq as a parameter of its own; it is never part of an address, a log or a
// message (addresses are shown without a password they may carry).

#include "platform/postgres/Anbindung.h"
#include "platform/postgres/Fehlerabbildung.h"
#include "platform/Fehler.h"

#include <poll.h>
#include <sys/socket.h>

#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <cerrno>

namespace xov::postgres {
namespace {

// The address as libpq reads it: libpq knows its scheme only in lower case.
QByteArray libpqAdresse(const QString& adresse) {
    const qsizetype schema = adresse.indexOf(QLatin1String("://"));
    return (adresse.left(schema).toLower() + adresse.mid(schema)).toUtf8();
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

// Polls a starting connection until it is up or failed, never blocking longer than
// VerbindenSekunden per host: the time runs per host, as libpq's own connect_timeout, and a host
// that refuses is left at once. `ohneAntwort` gets the message for a host that did not answer,
// "%1" standing for libpq's own text; `abgelaufen` tells whether that happened.
PostgresPollingStatusType anmelden(PGconn* c, QString& ohneAntwort, bool& abgelaufen) {
    PostgresPollingStatusType s = PQstatus(c) == CONNECTION_BAD ? PGRES_POLLING_FAILED : PGRES_POLLING_WRITING;
    QDeadlineTimer frist(VerbindenSekunden * 1000);
    QByteArray host = PQhost(c), port = PQport(c);
    while (s != PGRES_POLLING_OK && s != PGRES_POLLING_FAILED) {
        if (host != PQhost(c) || port != PQport(c)) {
            host = PQhost(c);
            port = PQport(c);
            frist.setRemainingTime(VerbindenSekunden * 1000);
        }
        pollfd p{PQsocket(c), short(s == PGRES_POLLING_READING ? POLLIN : POLLOUT), 0};
        const int r = ::poll(&p, 1, int(std::max<qint64>(0, frist.remainingTime())));
        abgelaufen = r == 0;
        if (abgelaufen || (r < 0 && errno != EINTR)) break;
        s = PQconnectPoll(c);
    }
    ohneAntwort = QStringLiteral("Zeitüberschreitung: %1, Port %2 antwortet nicht innerhalb von %3 Sekunden; %4")
                      .arg(QString::fromUtf8(host), QString::fromUtf8(port)).arg(VerbindenSekunden);
    return s;
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
    if (!c) fehlerWerfen(FehlerNr::KeinSpeicher, a.anzeige());
    // The server's notices ("already exists, skipping") are no failures and not for the user:
    // libpq would print them to standard error.
    PQsetNoticeProcessor(c, [](void*, const char*) {}, nullptr);
    PQsetErrorVerbosity(c, PQERRORS_VERBOSE);
    QString ohneAntwort;
    bool abgelaufen = false;
    const PostgresPollingStatusType s = anmelden(c, ohneAntwort, abgelaufen);
    if (s == PGRES_POLLING_OK) {
        PQsetErrorVerbosity(c, PQERRORS_DEFAULT);
        return c;
    }
    meldung = QString::fromUtf8(PQerrorMessage(c)).trimmed();
    if (abgelaufen || meldung.isEmpty())
        meldung = ohneAntwort.arg(meldung.isEmpty() ? QStringLiteral("keine Antwort") : meldung);
    if (PQconnectionNeedsPassword(c)) meldung.prepend(QChar(0));  // marks: another password may help
    PQfinish(c);
    return nullptr;
}

}  // namespace

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

Ergebnis mitFrist(PGconn* c, const std::function<int()>& senden, const QString& anzeige, int sekunden) {
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
void direktAusfuehren(PGconn* c, const QString& sql, const QString& anzeige, int sekunden) {
    const QByteArray text = sql.toUtf8();
    const Ergebnis r = mitFrist(c, [&] { return PQsendQuery(c, text.constData()); }, anzeige, sekunden);
    if (PQresultStatus(r.get()) != PGRES_COMMAND_OK) ergebnisFehler(r.get(), anzeige);
}

void ergebnisFehler(const PGresult* r, const QString& anzeige) {
    const char* zustand = r ? PQresultErrorField(r, PG_DIAG_SQLSTATE) : nullptr;
    const char* satz = r ? PQresultErrorField(r, PG_DIAG_MESSAGE_PRIMARY) : nullptr;
    serverFehler(QString::fromLatin1(zustand ? zustand : "XX000"), QString::fromUtf8(satz ? satz : ""), anzeige);
}

}  // namespace xov::postgres
