#pragma once
// The exchange rate valid at a date, for hosts that book foreign-currency amounts:
//
//   const xov::KursAmTag k = xov::kursZumDatum(gemeinsameDb, "USD", QDate(2024, 3, 30));
//   betragInEuro = betragInUsd * k.fremdinEuro;   // k.datum: 28.03.2024, the rate of Maundy Thursday
//
// A rate applies from its date until the next rate of the currency; so the rate of a date is the
// latest record on or before it. There is no substitute: without such a record the call throws
// xov::Fehler 3021 with a German description naming currency and date, never a rate of 1 or 0
// and never a later rate.

// The failure is xov::Fehler (Fehler.h, installed beside this header).

#include <QDate>
#include <QString>

namespace xov {

// Rates are published on business days only; the longest gap between two is five days.
constexpr int KursHoechstalterTage = 7;

struct KursAmTag {
    QString code;              // as stored
    QDate datum;               // the date of the record the rate comes from
    double euroinFremd = 0;    // units of the currency for one euro
    double fremdinEuro = 0;    // euro for one unit of the currency
    int alterTage = 0;         // days from `datum` to the date asked for
    bool veraltet = false;     // older than the limit: usable, but worth a look
};

// The rate of currency `code` (upper or lower case) valid at `datum`, from the shared database
// file with the application's password. `hoechstalterTage`: older rates come with `veraltet`.
KursAmTag kursZumDatum(const QString& gemeinsameDb, const QString& code, const QDate& datum,
                       int hoechstalterTage = KursHoechstalterTage);

}  // namespace xov
