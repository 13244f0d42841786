#pragma once
// Which database a connection opens: a small value that the one factory (Datenbank.h) hands to
// the engine. A database file with its password, or a server address of the form
// "postgresql://user@host:port/dbname" with the password of the connect string.

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

namespace xov {

// The fixed database password that every database of the suite carries.
inline const QString DbPasswort = QStringLiteral("lagerbestand4");

struct Verbindungsangabe {
    QString datei;      // the file's path, or the server's address
    QString passwort;

    // From a data source's DatabaseName and its connect string "Access 2000;pwd=...;": the
    // password is the text after the first "pwd=" (any case) up to the next ';' or the end.
    static Verbindungsangabe aus(const QString& datei, const QString& connect);
    // A server address ("postgresql://" or "postgres://") rather than a file.
    bool server() const { return istServerAdresse(datei); }
    static bool istServerAdresse(const QString& name);
    // The database as messages may name it: a server address without a password it may carry,
    // however spelled ("user:pw@", any case or percent-encoding of the parameter "password").
    QString anzeige() const;
    // A text (a server's or libpq's message) with the address shown as anzeige() and every
    // password this connection may use replaced by "***".
    QString ohneKennwort(const QString& text) const;
    // The key under which connections to the same database are shared.
    QString kennung() const;
};

// The server password given to the tools with --passwort-datei; null when none was given (the
// address, PGPASSWORD, the password file or the suite's password apply then).
void serverKennwortSetzen(const QString& kennwort);
QString serverKennwort();

// Overwrites with '*', in place, every password that a server address in `argument` carries
// (the user information's and the "password" parameter's), so that the process list does not
// show it. Returns whether there was one.
bool kennwortVerdecken(char* argument);

// The program's arguments with their passwords hidden from the process list as early as
// possible: constructed first thing in main (before the application object reads argv), it
// overwrites them; wiederherstellen() gives the application's arguments back as typed.
class VerdeckteArgumente {
public:
    VerdeckteArgumente(int argc, char** argv);
    QStringList wiederherstellen(QStringList argumente) const;

private:
    QList<QPair<QString, QString>> m_paare;  // as now shown, as typed
};

// The first line of a password file given with --passwort-datei. Throws Fehler 3024 when it
// cannot be read.
QString kennwortAusDatei(const QString& pfad);

}  // namespace xov
