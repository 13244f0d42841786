#pragma once
// The parts of a copy before anything changes: every source read whole, every target checked.

#include "tools/xov-db/Zeilenvergleich.h"

#include <QString>
#include <QStringList>
#include <memory>

namespace xov {
class Verbindung;
class Transaktion;
}  // namespace xov

namespace xovdb {

struct Tabelle {
    QString name;         // as the suite spells it
    QStringList spalten;  // as the source reports them
    Zeilen zeilen;
};

struct Quelle {
    bool mandant = false, gemeinsam = false;  // which tables of the suite it holds
    QVector<Tabelle> tabellen;
};

struct Ziel {
    QString db;
    bool neu = false;       // did not exist: this run creates it
    bool angelegt = false;  // created by this run already
    std::shared_ptr<xov::Verbindung> v;
    std::unique_ptr<xov::Transaktion> t;
};

// A name as the suite spells it; a server reports table and column names in lower case.
QString schreibweise(const QString& name);
// Every table of the source with all its rows: the tables of the suite first, in their order.
Quelle quelleLesen(const QString& db);
// A target either does not exist (then it is to be created) or is a database of the suite of
// the source's kind whose tables are all empty; anything else is refused with Abweisung.
Ziel zielPruefen(const QString& db, const Quelle& q);

}  // namespace xovdb
