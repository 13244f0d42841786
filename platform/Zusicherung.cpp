#include "platform/Zusicherung.h"

#include <QtDebug>

namespace xov::detail {

bool zusicherungFehlgeschlagen(const char* bedingung, const char* datei, int zeile, const char* wovon) {
    qCritical("XOV_ASSERT: \"%s\" (%s) in %s:%d", bedingung, wovon ? wovon : "", datei, zeile);
    return false;
}

}  // namespace xov::detail
