#include "tools/xov-db/Pruefen.h"
#include "platform/Variant.h"
#include "platform/Datenbank.h"
#include "platform/Fehler.h"
#include "platform/Verbindungsangabe.h"
#include "tools/xov-db/Schema.h"

#include <QFile>
#include <QFileInfo>

#include <unistd.h>

namespace xovdb {

namespace {

bool server(const QString& db) { return xov::Verbindungsangabe::istServerAdresse(db); }

// A server address as it names one database: without password, one spelling of the scheme.
QString serverKennung(const QString& db) {
    QString a = anzeige(db);
    const qsizetype schema = a.indexOf(QLatin1String("://"));
    return QStringLiteral("postgresql") + a.mid(schema);
}

}  // namespace

QString anzeige(const QString& db) { return xov::Verbindungsangabe{db, {}}.anzeige(); }

QString dieDatenbank(const QString& db) {
    return (server(db) ? QStringLiteral("Die Datenbank ") : QStringLiteral("Die Datei ")) + anzeige(db);
}

bool gleicheDatenbank(const QString& a, const QString& b) {
    if (server(a) || server(b)) return server(a) && server(b) && serverKennung(a) == serverKennung(b);
    return QFileInfo(a).absoluteFilePath() == QFileInfo(b).absoluteFilePath() ||
           (QFileInfo::exists(a) && QFileInfo(a).canonicalFilePath() == QFileInfo(b).canonicalFilePath());
}

void neueDatenbankPruefen(const QString& db) {
    if (db.isEmpty()) throw Abweisung{QStringLiteral("Ein Dateiname fehlt.")};
    if (server(db)) {
        if (datenbankVorhanden(db, xov::DbPasswort))
            throw Abweisung{QStringLiteral("Die Datenbank %1 gibt es bereits; sie bleibt unverändert.").arg(anzeige(db))};
        return;
    }
    // A link is never followed when creating, dangling or not: the database would appear elsewhere.
    if (QFileInfo(db).isSymLink())
        throw Abweisung{QStringLiteral("%1 ist eine symbolische Verknüpfung; eine neue Datenbank wird nie über eine Verknüpfung "
                                       "angelegt, nur als gewöhnliche Datei. Nichts wurde angelegt.").arg(db)};
    if (QFileInfo::exists(db))
        throw Abweisung{QStringLiteral("Die Datei %1 gibt es bereits; sie bleibt unverändert.").arg(db)};
    const QFileInfo ordner(QFileInfo(db).absolutePath());
    if (!ordner.isDir())
        throw Abweisung{QStringLiteral("Der Ordner %1 für die Datei %2 existiert nicht.").arg(ordner.filePath(), db)};
    if (::access(QFile::encodeName(ordner.filePath()).constData(), W_OK | X_OK) != 0)
        throw Abweisung{QStringLiteral("Im Ordner %1 kann keine Datei angelegt werden (keine Schreibberechtigung); %2 wurde nicht "
                                       "angelegt.").arg(ordner.filePath(), db)};
}

void vorhandeneDatenbankPruefen(const QString& db) {
    if (server(db) || QFileInfo(db).isFile()) return;
    if (QFileInfo::exists(db))
        throw Abweisung{QStringLiteral("%1 ist %2, keine Datenbankdatei; eine Datenbank ist immer eine gewöhnliche Datei.")
                            .arg(db, QFileInfo(db).isDir() ? QStringLiteral("ein Ordner") : QStringLiteral("keine gewöhnliche Datei (FIFO, Gerät)"))};
    throw Abweisung{QStringLiteral("Die Datei %1 gibt es nicht.").arg(db)};
}

bool demoZielPruefen(const QString& db, const QStringList& tabellen) {
    if (db.isEmpty()) throw Abweisung{QStringLiteral("Ein Dateiname fehlt.")};
    if (!datenbankVorhanden(db, xov::DbPasswort)) {
        neueDatenbankPruefen(db);
        return true;
    }
    const QString fremd = QStringLiteral("%1 ist keine %2 der Anwendung; sie bleibt unverändert.")
                              .arg(dieDatenbank(db), tabellen.contains(QLatin1String("AllgMandDaten")) ? QStringLiteral("Mandanten-Datenbank")
                                                                                                      : QStringLiteral("gemeinsame Datenbank"));
    if (!server(db) && !QFileInfo(db).isFile()) throw Abweisung{fremd};
    try {
        auto v = xov::verbindungOeffnen(db, xov::DbPasswort);
        if (!hatTabellen(*v, tabellen)) throw Abweisung{fremd};
        if (!ersteGefuellteTabelle(*v, tabellen).isNull())
            throw Abweisung{QStringLiteral("Die Datenbank %1 enthält bereits Daten; Demodaten kommen nur in eine neue oder "
                                           "leere Datenbank. Sie bleibt unverändert.").arg(anzeige(db))};
    } catch (const xov::Fehler& f) {
        // A file the engine cannot read as a database of the suite; a server says itself what failed.
        if (server(db)) throw;
        throw Abweisung{fremd.left(fremd.size() - 1) + QStringLiteral(" (") + f.beschreibung() + QStringLiteral(").")};
    }
    return false;
}

bool hatTabellen(xov::Verbindung& v, const QStringList& tabellen) {
    const QStringList vorhanden = v.tabellen();
    for (const QString& t : tabellen)
        if (!vorhanden.contains(t, Qt::CaseInsensitive)) return false;
    return true;
}

QString ersteGefuellteTabelle(xov::Verbindung& v, const QStringList& tabellen) {
    for (const QString& t : tabellen)
        if (v.abfragen(QStringLiteral("SELECT count(*) FROM %1").arg(xov::bezeichner(t))).zeilen.at(0).at(0).toLongLong() > 0)
            return t;
    return {};
}

QDate datumAus(const QString& text) {
    QDate d = QDate::fromString(text.trimmed(), Qt::ISODate);
    if (!d.isValid()) d = xov::datumAusText(text).value_or(QDate());
    if (!d.isValid())
        throw Abweisung{QStringLiteral("\"%1\" ist kein Datum; erwartet wird z.B. 2024-03-30 oder 30.03.2024.").arg(text)};
    return d;
}

int vierstelligesJahr(const QString& text) {
    bool ok = false;
    const int jahr = text.trimmed().toInt(&ok);
    return ok && jahr >= 1000 && jahr <= 9999 ? jahr : 0;
}

QString wertNehmen(QStringList& a, const QString& name) {
    const qsizetype i = a.indexOf(name);
    if (i < 0) return {};
    if (i + 1 >= a.size()) throw Abweisung{QStringLiteral("Nach %1 fehlt der Wert.").arg(name)};
    const QString wert = a.at(i + 1);
    a.remove(i, 2);
    return wert;
}

}  // namespace xovdb
