// German number and date text, and the conversions of call information and column values.
// The first byte picks the kind of value; the rest is the text or the bytes of a number.

#include "platform/Fehler.h"
#include "platform/Variant.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

using namespace xov;

namespace {

template <typename F>
void ohneFehler(F f) {
    try { f(); } catch (const Fehler&) {}
}

void umwandeln(const QVariant& v) {
    ohneFehler([&] { alsInt16(v); });
    ohneFehler([&] { alsInt32(v); });
    ohneFehler([&] { alsDouble(v); });
    ohneFehler([&] { alsText(v); });
    ohneFehler([&] { alsDatum(v); });
    gleichZahl(v, 20);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* daten, size_t groesse) {
    if (groesse == 0) return 0;
    const char* rest = reinterpret_cast<const char*>(daten + 1);
    const size_t n = groesse - 1;
    switch (daten[0] % 4) {
    case 0: {  // text as typed
        const QString text = QString::fromUtf8(rest, static_cast<qsizetype>(n));
        zahlAusText(text);
        if (const auto d = datumAusText(text)) {
            // What is read back from the shown form is the same date.
            const auto wieder = datumAusText(datumAlsText(*d));
            if (!wieder || *wieder != *d) std::abort();
        }
        umwandeln(QVariant(text));
        ohneBlanksRechts(text);
        break;
    }
    case 1: {  // a floating-point value of any bits
        double d = 0;
        std::memcpy(&d, rest, n < sizeof d ? n : sizeof d);
        umwandeln(QVariant(d));
        break;
    }
    case 2: {  // an integer value
        qint64 i = 0;
        std::memcpy(&i, rest, n < sizeof i ? n : sizeof i);
        umwandeln(QVariant(i));
        break;
    }
    default:  // Null and Empty
        umwandeln(n % 2 ? nullWert() : QVariant());
    }
    return 0;
}
