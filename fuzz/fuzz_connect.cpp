// The connect string of a data source ("Access 2000;pwd=...;") and the password read from it.

#include "platform/Verbindungsangabe.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* daten, size_t groesse) {
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(daten), static_cast<qsizetype>(groesse));
    const QString pw = xov::Verbindungsangabe::aus(QStringLiteral("x.db"), text).passwort;
    if (pw.contains(QLatin1Char(';'))) __builtin_trap();  // the password ends at the first ';'
    return 0;
}
