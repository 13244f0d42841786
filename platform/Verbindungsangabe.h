#pragma once
// Which database a connection opens: a small value that the one factory (Datenbank.h) hands to
// the engine. Today a database file with its password; a server engine adds its address here.

#include <QString>

namespace xov {

// The fixed database password that every database of the suite carries.
inline const QString DbPasswort = QStringLiteral("lagerbestand4");

struct Verbindungsangabe {
    QString datei;
    QString passwort;

    // From a data source's DatabaseName and its connect string "Access 2000;pwd=...;": the
    // password is the text after the first "pwd=" (any case) up to the next ';' or the end.
    static Verbindungsangabe aus(const QString& datei, const QString& connect);
    // The key under which connections to the same database are shared.
    QString kennung() const;
};

}  // namespace xov
