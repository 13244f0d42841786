#pragma once
// Check digits of the numbers a bookkeeper types from letters and forms. Each function gives
// a short German hint when the check digit does not fit, and "" when it fits, when the field is
// empty or when the number is of a kind that cannot be checked. Hints only: no value is changed
// and no field is held.

#include <QString>
#include <QStringList>

namespace xov {

// Austrian VAT number "ATU" + 8 digits; blanks are ignored.
QString uidHinweis(const QString& uid);
// Austrian tax number: the tax office's number (two digits) and the seven digits of the tax
// number ("123/4567"); the ninth of the nine digits is a Luhn check digit.
QString steuerNrHinweis(const QString& faNummer, const QString& steuerNr);
// SEPA creditor identifier: country, two check digits, three business-code characters that the
// check leaves out, national part; ISO 7064 mod 97.
QString creditorIdHinweis(const QString& id);
// Every hint the VAT number and the tax number can give, so that a page can keep their room.
const QStringList& pruefziffernHinweise();

}  // namespace xov
