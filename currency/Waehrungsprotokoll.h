#pragma once
// The log entries of the currency page's writes on AllgWaehrung: a record is known by its
// currency and day; a currency's name, code or country code is changed in all its records.

#include "platform/Aenderungsprotokoll.h"

#include <QDate>

inline const QStringList Waehrungsspalten = {QStringLiteral("Waehrungscode"), QStringLiteral("WaehrungscodeBezeichnung"),
                                             QStringLiteral("Laenderkennzeichen"), QStringLiteral("EuroinFremd"),
                                             QStringLiteral("FremdinEuro")};

// Before a change of every record of the currency; eintragen() after it.
inline xov::Satzprotokoll waehrungProtokollieren(xov::Verbindung& v, int wid) {
    return xov::Satzprotokoll(v, QStringLiteral("AllgWaehrung"), {QStringLiteral("WID")}, {wid},
                              {QStringLiteral("WID"), QStringLiteral("AenderDatum")}, Waehrungsspalten);
}
// Before a rate of one day is added, changed or deleted; eintragen() after it.
inline xov::Satzprotokoll kursProtokollieren(xov::Verbindung& v, int wid, const QDate& datum) {
    return xov::Satzprotokoll(v, QStringLiteral("AllgWaehrung"), {QStringLiteral("WID"), QStringLiteral("AenderDatum")}, {wid, datum},
                              {QStringLiteral("WID"), QStringLiteral("AenderDatum")}, Waehrungsspalten);
}
