#pragma once
// The ISO 4217 currency codes and their German names as ICU knows them.

#include <QString>
#include <QStringList>

namespace xov {

// The codes in use today (common, not deprecated), sorted, each as "USD – US-Dollar".
const QStringList& isoWaehrungen();
// The German name (Austrian German) of an ISO code in any case, e.g. "US-Dollar" for "usd";
// "" when ICU does not know the code, also for historic codes (DEM, ATS: known, with a name).
QString isoWaehrungsname(const QString& code);

}  // namespace xov
