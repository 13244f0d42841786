// The reader of the central bank's rate files: any bytes as a CSV, an XML or a zip (the reader
// tells them apart as it does for a file). It either gives days with rates that keep its
// promises or refuses with its own error; anything else (a crash, a hang, a leak of memory) is
// a finding.

#include "kurse/Kursdatei.h"
#include "platform/Fehler.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* daten, size_t groesse) {
    const QByteArray inhalt(reinterpret_cast<const char*>(daten), static_cast<qsizetype>(groesse));
    try {
        const auto tage = xov::kurseAusInhalt(inhalt, QStringLiteral("fuzz"));
        qsizetype kurse = 0;
        for (const auto& t : tage) {
            if (!t.datum.isValid() || t.datum < QDate(1999, 1, 1)) std::abort();
            for (const auto& [code, kurs] : t.kurse) {
                if (code.size() != 3 || !(kurs > 0) || !std::isfinite(kurs)) std::abort();
                ++kurse;
            }
        }
        if (kurse == 0) std::abort();  // a file without a rate is refused
    } catch (const xov::Fehler& f) {
        if (f.nummer() != xov::FehlerNr::KursdateiUnlesbar || f.beschreibung().isEmpty()) std::abort();
    }
    return 0;
}
