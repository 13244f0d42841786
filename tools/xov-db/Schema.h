#pragma once
// The tables of the client database and of the shared database, and the demo data.
// The component itself never creates or alters a table; this tool does.

#include <QString>
#include <QStringList>
#include <QVector>

namespace xov { class Verbindung; }

namespace xovdb {

struct Spaltendefinition {
    QString name;
    QString typ;   // SQL type: TEXT, INTEGER, REAL, DATE
};

// Every column of AllgMandDaten, in table order.
const QVector<Spaltendefinition>& mandantenSpalten();

// A table of fixed columns: the one place its column names and types are written.
struct Tabellendefinition {
    QString name;
    QVector<Spaltendefinition> spalten;
    QString zusatz;  // constraints after the columns, e.g. "UNIQUE (WID, AenderDatum)"
    QString anlegenSql(bool wennFehlt = false) const;  // CREATE TABLE [IF NOT EXISTS]
    QString einfuegenSql() const;  // INSERT of one row with a value for every column, in table order
};
const Tabellendefinition& kontenTabelle();     // ObjKanzleiKontenstamm
const Tabellendefinition& finanzamtTabelle();  // AllgFaDaten
const Tabellendefinition& waehrungTabelle();   // AllgWaehrung
// Every column name of the suite's tables (AllgMandDaten's included), as the suite spells them.
QStringList bekannteSpalten();

// Creates both databases keyed with the password ("" leaves them without password). Columns
// named in `ohneSpalten` are left out of AllgMandDaten (for databases of older versions).
// Neither file may exist; when the second cannot be created, the first is removed again.
void anlegen(const QString& mandPfad, const QString& faPfad, const QString& passwort,
             const QStringList& ohneSpalten = {}, bool abschliessen = true);
// Completes databases created by this run (in a process with all-or-nothing creation: renames
// the files into place, removes the servers' marks); on a failure removes them all.
void anlageAbschliessen(const QStringList& datenbanken, const QString& passwort);
void mandantAnlegen(const QString& mandPfad, const QString& passwort, const QStringList& ohneSpalten = {});
void gemeinsamAnlegen(const QString& faPfad, const QString& passwort);
// The tables of either kind in an open database, in one transaction (joining an outer one).
void mandantenTabellenAnlegen(xov::Verbindung& mand, const QStringList& ohneSpalten = {});
void gemeinsameTabellenAnlegen(xov::Verbindung& fa);
// Whether the database exists: the file, or the database on its server (3024 from the server
// means it is not there; any other failure to connect is thrown).
bool datenbankVorhanden(const QString& db, const QString& passwort);

// The tables by which a database of the suite is known, and those the demo data fill.
QStringList mandantenTabellen();   // AllgMandDaten, ObjKanzleiKontenstamm
QStringList gemeinsameTabellen();  // AllgFaDaten, AllgWaehrung
// Fills a realistic client, a chart of accounts for `jahr` and the year before, a dozen tax
// offices and three currencies with rate histories (Demodaten.cpp).
void demoFuellen(const QString& mandPfad, const QString& faPfad, const QString& passwort, int jahr);
// Adds the columns of AllgMandDaten that the client database lacks; returns their names.
// A file without the table AllgMandDaten is no client database: 3078, and it stays as it is.
QStringList felderErgaenzen(const QString& mandPfad, const QString& passwort);

}  // namespace xovdb
