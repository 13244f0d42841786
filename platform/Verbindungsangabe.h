#pragma once
// Which database a connection opens: a small value that the one factory (Datenbank.h) hands to
// the engine. A database file with its password, or a server address of the form
// "postgresql://user@host:port/dbname" with the password of the connect string.

#include <QString>

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
    // The database as messages may name it: a server address without a password it may carry.
    QString anzeige() const;
    // The key under which connections to the same database are shared.
    QString kennung() const;
};

}  // namespace xov
