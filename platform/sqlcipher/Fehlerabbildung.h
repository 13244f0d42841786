#pragma once
// SQLite's results as the dialog's error numbers (Fehler.h).

#include <QString>

struct sqlite3;

namespace xov::sqlcipher {

// Raises the Fehler for result code `rc` of handle `db` (null when the open itself failed).
// `beimOeffnen` tells a failure while connecting (another process holds the file exclusively,
// the key does not fit) from one met later; `pfad` names the file in reasons.
[[noreturn]] void sqliteFehler(sqlite3* db, int rc, bool beimOeffnen = false, const QString& pfad = {});

}  // namespace xov::sqlcipher
