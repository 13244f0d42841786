#include "platform/Zusicherung.h"

#include <QtDebug>

namespace xov::detail {

bool zusicherungFehlgeschlagen(const char* bedingung, const char* datei, int zeile) {
    qCritical("XOV_ASSERT: \"%s\" in %s:%d", bedingung, datei, zeile);
    return false;
}

}  // namespace xov::detail
