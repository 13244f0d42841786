#pragma once
// The SQLCipher engine: database files keyed with a password. The factory in Datenbank.h chooses
// it; the password step for files without password is in Passwortschritt.h.

#include "platform/Datenbank.h"

namespace xov::sqlcipher {

// Opens the file keyed with the password (or, with `anlegen`, creates it; 3204 when it exists).
// A file without password is read as it is. The connection holds a shared lock on the file while
// it is open (Dateisperre.h).
std::shared_ptr<Verbindung> oeffnen(const Verbindungsangabe& angabe, bool anlegen);
// Creation under a temporary name (see anlagenAlsGanzes in Datenbank.h).
void anlagenAlsGanzes(bool ein);
void anlageAbschliessen(const QString& pfad);
// Removes the unfinished file of a creation of this process; false when there is none.
bool anlageVerwerfen(const QString& pfad);

// A connection to the file at exactly this path, for the engine's own creation steps: with
// `anlegen` the empty file stands there already and is keyed now.
std::shared_ptr<Verbindung> dateiVerbindung(const QString& pfad, const QString& passwort, bool anlegen);

}  // namespace xov::sqlcipher
