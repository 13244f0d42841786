#pragma once
// The chart of accounts of the client database: an account number looked up for the accounts
// year, and the account picker of the suite.

#include <QString>
#include <QVariantList>
#include <optional>

namespace xov {

class Datenquelle;

// An entry that counts as no account: "", "0" or "000" without its trailing blanks.
bool kontoLeer(const QString& eingabe);

// The name of the account `nummer` in the chart of the year (null names read as ""), or nothing
// when the chart lacks it. The whole entry is looked up, trailing blanks ignored on both sides;
// the number travels as a parameter. A chart that cannot be read raises its number.
std::optional<QString> kontoBezeichnung(Datenquelle& kk, const QString& mandDb, qint16 jahr, const QString& nummer);

// Lets the user choose an account in the suite's account list (a new picker for each pick),
// handing it the call information with the accounts year in element 11. The chosen number
// without trailing blanks, "" when the user chose none. Raises 429 when there is no picker.
QString kontoAuswaehlen(QVariantList& aufrufInfo, qint16 kontoJahr);

}  // namespace xov
