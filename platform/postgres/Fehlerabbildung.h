#pragma once
// PostgreSQL's SQLSTATE codes as the dialog's error numbers (Fehler.h): the same number for the
// same situation as with a database file.

#include <QString>

namespace xov::postgres {

// Raises the Fehler for SQLSTATE `zustand` with the server's message `text`; `adresse` names the
// database (without password) in reasons. An empty state means the server was not reached.
[[noreturn]] void serverFehler(const QString& zustand, const QString& text, const QString& adresse);
// The SQLSTATE inside a verbose libpq message ("FATAL:  28P01: password ..."), or "".
QString zustandAusMeldung(const QString& meldung);
// The server's sentence of a verbose libpq message, without state, location and prefixes.
QString satzAusMeldung(const QString& meldung);

}  // namespace xov::postgres
