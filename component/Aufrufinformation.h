#pragma once
// The host's call information converted into the state of one call, in the order the elements
// are read: database paths, booking year, index option, month-status date, restricted mode, then
// elements 0 to 99 as given. Raises 9 when an element is missing, 13, 6 or 94 when one cannot be
// converted, so that a malformed call fails before the dialog opens.

#include "services/Aufruf.h"

namespace xov {

Aufruf aufrufUebernehmen(const QVariantList& Info);

}  // namespace xov
