#pragma once
// Helpers of the database-tool tests: the whole content of a database to compare two of them.

#include "Hilfen.h"
#include "platform/Datenbank.h"
#include "tools/xov-db/Schema.h"

#include <QStringList>

namespace test::werkzeug {

inline bool vorhanden(const QString& db) { return xovdb::datenbankVorhanden(db, xov::DbPasswort); }

// Every row of every table, each value with its kind (numbers to the last bit), in a fixed order:
// two databases with the same list hold the same rows. Names in lower case, as a server gives them.
inline QStringList inhalt(const QString& db) {
    auto v = xov::verbindungOeffnen(db, xov::DbPasswort);
    QStringList alles;
    for (const QString& t : v->tabellen()) {
        QStringList spalten = v->spaltenVon(t);
        for (QString& s : spalten) s = s.toLower();
        spalten.sort();
        QStringList namen;
        for (const QString& s : spalten) namen << xov::bezeichner(s);
        QStringList zeilen;
        for (const auto& z : v->abfragen(QStringLiteral("SELECT %1 FROM %2").arg(namen.join(u','), xov::bezeichner(t))).zeilen) {
            QStringList werte;
            for (int i = 0; i < z.size(); ++i) {
                const QVariant& w = z.at(i);
                const QString text = w.typeId() == QMetaType::Double ? QString::number(w.toDouble(), 'g', 17) : w.toString();
                werte << spalten.at(i) + QLatin1Char('=') + QString::fromLatin1(w.metaType().name()) + QLatin1Char(':') + text;
            }
            zeilen << t.toLower() + QLatin1Char('|') + werte.join(u'|');
        }
        zeilen.sort();
        alles << zeilen;
    }
    return alles;
}

// The content without the change log: each copy or creation adds entries of its own (with their
// time) to the target's log.
inline QStringList daten(const QString& db) {
    QStringList l = inhalt(db);
    l.removeIf([](const QString& z) { return z.startsWith(QLatin1String("allgaenderungsprotokoll|")); });
    return l;
}

inline qint64 zeilen(const QString& db, const char* tabelle) {
    return xov::verbindungOeffnen(db, xov::DbPasswort)->abfragen(QStringLiteral("SELECT count(*) FROM %1").arg(QLatin1String(tabelle)))
        .zeilen.at(0).at(0).toLongLong();
}

}  // namespace test::werkzeug
