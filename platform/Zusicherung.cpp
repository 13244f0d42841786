#include "platform/Zusicherung.h"

#include <QDebug>

namespace xov {

void zusicherungVerletzt(const char* bedingung, const char* datei, int zeile, const char* detail) {
    qCritical("Programmfehler: %s nicht erfuellt (%s) in %s:%d", bedingung, detail ? detail : "", datei, zeile);
}

}  // namespace xov
