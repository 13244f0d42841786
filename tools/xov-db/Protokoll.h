#pragma once
// The change log from the database tool's side: the entries of structure completions and copies,
// and the command `protokoll`, which lists the log in German and checks its chain of hashes.

#include <QString>
#include <QStringList>
#include <QTextStream>

namespace xov { class Verbindung; }

namespace xovdb {

// Creates the log table where it is missing and enters it and every column added to `tabelle`.
void strukturProtokollieren(xov::Verbindung& v, const QString& tabelle, const QStringList& spalten);
// The entry of a whole database copied from `von` into this one.
void kopieProtokollieren(xov::Verbindung& v, const QString& von, const QString& nach);
// The column as the user knows it: "UID-Nummer (MandUID)".
QString spaltenName(const QString& tabelle, const QString& spalte);

// xov-db protokoll DB [--ab DATUM] [--bis DATUM] [--tabelle T] [--feld F] [--pruefen]: the
// arguments after "protokoll"; returns the exit status (1 when the chain is broken).
int protokollBefehl(QStringList argumente, QTextStream& aus, QTextStream& fehler);

}  // namespace xovdb
