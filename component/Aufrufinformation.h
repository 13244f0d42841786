#pragma once
// The host's call information converted into the state of one call: the two database paths,
// the booking year, the month-status date, restricted mode and every element kept for the
// dialog. Raises 9, 13, 6 or 94 when an element is missing or cannot be converted.

#include "services/Aufruf.h"

namespace xov {

Aufruf aufrufUebernehmen(const QVariantList& Info);

}  // namespace xov
