#pragma once
// The SQLCipher engine: database files keyed with a password. The factory in Datenbank.h chooses
// it; the password step for files without password is in Passwortschritt.h.

#include "platform/Datenbank.h"

namespace xov::sqlcipher {

// Opens the file keyed with the password (or, with `anlegen`, creates it; 3204 when it exists).
// A file without password is read as it is. The connection holds a shared lock on the file while
// it is open (Dateisperre.h).
std::shared_ptr<Verbindung> oeffnen(const Verbindungsangabe& angabe, bool anlegen);

}  // namespace xov::sqlcipher
