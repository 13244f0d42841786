#pragma once
// Steps 1 to 12 of Mand_Aufruf: the host's call information converted into the state of one
// call. Raises 9, 13, 6 or 94 when an element is missing or cannot be converted.

#include "services/Aufruf.h"

namespace xov {

Aufruf aufrufUebernehmen(const QVariantList& Info);

}  // namespace xov
