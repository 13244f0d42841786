#include "services/Aufruf.h"
#include "platform/Variant.h"

namespace xov {

bool Aufruf::eingeschraenktAufgerufen() const { return gleichZahl(AufrufInfo.value(9), 20); }

}  // namespace xov
