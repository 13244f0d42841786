#pragma once
// Small helpers that the currency page's parts share: a field's complete number, and a flag set
// for the life of a scope.

#include "currency/Waehrungsentscheidung.h"
#include "form/InputFeld.h"

#include <optional>

namespace xov::waehrung {

// A field's number when it holds a complete one.
inline std::optional<double> zahlIn(const InputFeld* f) {
    if (f->text().trimmed().isEmpty() || !f->zahlVollstaendig()) return std::nullopt;
    return f->zahl();
}

// Sets a flag for the life of a scope, also when it is left by a failure.
struct Schalter {
    bool& wert;
    explicit Schalter(bool& w) : wert(w) { wert = true; }
    ~Schalter() { wert = false; }
};

}  // namespace xov::waehrung
