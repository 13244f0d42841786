#pragma once
// Helpers of the database-tool tests: a refused command, and the whole content of a database to
// compare two of them.

#include "Hilfen.h"
#include "platform/Aenderungsprotokoll.h"
#include "platform/Datenbank.h"
#include "tools/xov-db/Schema.h"

namespace test::werkzeug {

inline bool vorhanden(const QString& db) { return xovdb::datenbankVorhanden(db, xov::DbPasswort); }

// Runs the tool, which must refuse (status 1) with `satz` in its message; gives that message.
inline QString abgewiesen(const QStringList& befehl, const QString& satz) {
    const Lauf l = xovDb(befehl);
    EXPECT_EQ(l.status, 1) << befehl.join(u' ').toStdString();
    EXPECT_TRUE(l.fehler.contains(satz)) << befehl.join(u' ').toStdString() << ": " << l.fehler.toStdString();
    return l.fehler;
}

// Every row of every table, each value with its column and kind as the change log stores it
// (numbers to the last bit), in a fixed order: two databases with the same list hold the same
// rows. Names in lower case, as a server gives them. `mitProtokoll` false leaves out the change
// log: each copy or creation adds entries of its own (with their time) to the target's log.
inline QStringList inhalt(const QString& db, bool mitProtokoll = true) {
    auto v = xov::verbindungOeffnen(db, xov::DbPasswort);
    QStringList alles;
    for (const QString& t : v->tabellen()) {
        if (!mitProtokoll && t.compare(xov::ProtokollTabelle, Qt::CaseInsensitive) == 0) continue;
        const auto e = v->abfragen(QStringLiteral("SELECT * FROM %1").arg(xov::bezeichner(t)));
        QStringList zeilen;
        for (const auto& z : e.zeilen) {
            QStringList werte;
            for (int i = 0; i < z.size(); ++i)
                werte << e.spalten.at(i).toLower() + u'=' + xov::wertTyp(z.at(i)) + u':' + xov::klartext(xov::wertText(z.at(i)));
            werte.sort();  // by column name
            zeilen << t.toLower() + u'|' + werte.join(u'|');
        }
        zeilen.sort();
        alles << zeilen;
    }
    return alles;
}
inline QStringList daten(const QString& db) { return inhalt(db, false); }

}  // namespace test::werkzeug
