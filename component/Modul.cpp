#include "component/Modul.h"

namespace xov {

Modulzustand& modul() {
    static Modulzustand zustand;
    return zustand;
}

}  // namespace xov
