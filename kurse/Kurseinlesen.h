#pragma once
// Adds the published rates of a rate file to the currencies of the currency page, in one
// transaction: all days of all currencies, or nothing.

#include "kurse/Kursdatei.h"

#include <QStringList>
#include <functional>

namespace xov {
class Verbindung;

struct Einlesewaehrung {
    int wid = 0;
    QString code, name, land;
};

struct Einleseoptionen {
    QDate ab, bis;          // invalid: no limit
    bool ersetzen = false;  // a record of a day that exists already gets the published rate
    // Told how many of the file's days are done, now and then and at the end; false cancels the
    // import (Fehler Abgebrochen), and nothing is stored.
    std::function<bool(int erledigt, int gesamt)> fortschritt;
    QString datei;          // the file read, named with its SHA-256 in the change log
};

struct Einlesebilanz {
    Einlesewaehrung waehrung;
    int hinzugefuegt = 0;    // new records
    int ersetzt = 0;         // existing records given the published rate (ersetzen)
    int behalten = 0;        // existing records left as they were
    int uebersprungen = 0;   // days of the file on which the currency has no rate (N/A, absent)
};

// The currencies of the page as stored: WID 1 to 20 with code, name and country code of their
// newest record.
QVector<Einlesewaehrung> gespeicherteWaehrungen(Verbindung& v);

// One record per published day and currency of `waehrungen` (matched by code): EuroinFremd the
// published rate, FremdinEuro its reciprocal to 10 places. Throws on any database failure, after
// which nothing has been written.
QVector<Einlesebilanz> kurseEinlesen(Verbindung& v, const QVector<Tageskurse>& tage, const QVector<Einlesewaehrung>& waehrungen,
                                     const Einleseoptionen& optionen);
// The summary, one line per currency, e.g. "USD: 250 hinzugefügt, 2 behalten, 0 übersprungen".
QStringList bilanzZeilen(const QVector<Einlesebilanz>& bilanz);

}  // namespace xov
