#pragma once
// The Fehler a call raises, for the tests of the data layer and the tools: number 0 when it
// raises none.

#include "platform/Fehler.h"

#include <functional>

namespace test {

inline xov::Fehler fehlerVon(const std::function<void()>& f) {
    try {
        f();
    } catch (const xov::Fehler& e) {
        return e;
    }
    return xov::Fehler(0, {});
}

inline int nummerVon(const std::function<void()>& f) { return fehlerVon(f).nummer(); }

}  // namespace test
