#pragma once
// Helpers of the database-tool tests: the whole content of a database to compare two of them.

#include "Hilfen.h"
#include "platform/Datenbank.h"
#include "tools/xov-db/Schema.h"

namespace test::werkzeug {

inline bool vorhanden(const QString& db) { return xovdb::datenbankVorhanden(db, xov::DbPasswort); }

// Every row of every table, each value with its column and kind (numbers to the last bit), in a
// fixed order: two databases with the same list hold the same rows. Names in lower case, as a
// server gives them.
inline QStringList inhalt(const QString& db) {
    auto v = xov::verbindungOeffnen(db, xov::DbPasswort);
    QStringList alles;
    for (const QString& t : v->tabellen()) {
        const auto e = v->abfragen(QStringLiteral("SELECT * FROM %1").arg(xov::bezeichner(t)));
        QStringList zeilen;
        for (const auto& z : e.zeilen) {
            QStringList werte;
            for (int i = 0; i < z.size(); ++i) {
                const QVariant& w = z.at(i);
                const QString text = w.typeId() == QMetaType::Double ? QString::number(w.toDouble(), 'g', 17) : w.toString();
                werte << e.spalten.at(i).toLower() + u'=' + QString::fromLatin1(w.metaType().name()) + u':' + text;
            }
            werte.sort();  // by column name
            zeilen << t.toLower() + u'|' + werte.join(u'|');
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

}  // namespace test::werkzeug
