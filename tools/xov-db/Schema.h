#pragma once
// The tables of the client database and of the shared database, and the demo data.
// The component itself never creates or alters a table; this tool does.

#include <QString>
#include <QStringList>
#include <QVector>

namespace xovdb {

struct Spaltendefinition {
    QString name;
    QString typ;   // SQL type: TEXT, INTEGER, REAL, DATE
};

// Every column of AllgMandDaten, in table order.
const QVector<Spaltendefinition>& mandantenSpalten();

// Creates both databases keyed with the password ("" leaves them without password). Columns
// named in `ohneSpalten` are left out of AllgMandDaten (for databases of older versions).
void anlegen(const QString& mandPfad, const QString& faPfad, const QString& passwort,
             const QStringList& ohneSpalten = {});
// Fills a realistic client, a chart of accounts for `jahr` and the year before, a dozen tax
// offices and three currencies with rate histories.
void demoFuellen(const QString& mandPfad, const QString& faPfad, const QString& passwort, int jahr);
// Adds the columns of AllgMandDaten that the client database lacks; returns their names.
QStringList felderErgaenzen(const QString& mandPfad, const QString& passwort);

}  // namespace xovdb
