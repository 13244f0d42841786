#pragma once
// The checks the database tool runs before it touches a database, for files and server addresses
// alike. A refusal is one German sentence that names the database (a server address without a
// password it may carry).

#include <QDate>
#include <QString>
#include <QStringList>

namespace xov { class Verbindung; }

namespace xovdb {

// A refusal: the sentence that the tool prints instead of doing anything.
struct Abweisung {
    QString satz;
};

// A date of an option, as 2024-03-30 or 30.03.2024; anything else is refused naming it.
QDate datumAus(const QString& text);
// A year of an option: four digits, 1000 to 9999; 0 for anything else.
int vierstelligesJahr(const QString& text);
// Takes "--name WERT" out of the arguments; a null string when it is not there.
QString wertNehmen(QStringList& a, const QString& name);

// The database as messages name it.
QString anzeige(const QString& db);
// "Die Datei PFAD" or "Die Datenbank ADRESSE": how a sentence about the database begins.
QString dieDatenbank(const QString& db);
// Whether two names denote the same database (the same file, or the same address).
bool gleicheDatenbank(const QString& a, const QString& b);

// A database that is to be created: it must not exist; a file's folder must.
void neueDatenbankPruefen(const QString& db);
// A database that must exist (a file is checked here; a server says so when it is opened).
void vorhandeneDatenbankPruefen(const QString& db);
// For `demo`: true when the database must be created; an existing one must be an empty database
// of the suite with the tables `tabellen`.
bool demoZielPruefen(const QString& db, const QStringList& tabellen);

// Whether the connection's database has every one of the tables (names in any case).
bool hatTabellen(xov::Verbindung& v, const QStringList& tabellen);
// The first of the tables that holds a row, or a null string.
QString ersteGefuellteTabelle(xov::Verbindung& v, const QStringList& tabellen);

}  // namespace xovdb
