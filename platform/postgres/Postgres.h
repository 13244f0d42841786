#pragma once
// The PostgreSQL engine: a database on a server, addressed as "postgresql://user@host:port/dbname",
// through libpq. The factory in Datenbank.h chooses it for server addresses.

#include "platform/Datenbank.h"

#include <QVector>

namespace xov::postgres {

// Connects to the server's database (or, with `anlegen`, creates it first; 3204 when it exists).
std::shared_ptr<Verbindung> oeffnen(const Verbindungsangabe& angabe, bool anlegen);
// Drops the database; a database that does not exist is no error.
void entfernen(const Verbindungsangabe& angabe);
// The mark of an unfinished creation (see anlagenAlsGanzes in Datenbank.h).
void anlagenAlsGanzes(bool ein);
void anlageAbschliessen(const Verbindungsangabe& angabe);
void anlagenAbschliessen(const QVector<Verbindungsangabe>& angaben);
bool anlageUnvollstaendig(const Verbindungsangabe& angabe);

}  // namespace xov::postgres
