// The settings file as a user may have edited it, and the factor derived from its two values.

#include "services/Skalierung.h"

#include <QFile>
#include <QString>
#include <cstdint>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* daten, size_t groesse) {
    static const QString pfad = QStringLiteral("/tmp/xov-fuzz-ini-%1.ini").arg(::getpid());
    {
        QFile f(pfad);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) return 0;
        f.write(reinterpret_cast<const char*>(daten), static_cast<qint64>(groesse));
    }
    const QString skalieren = xov::IniLesen(pfad, QStringLiteral("Section1"), QStringLiteral("Skalieren"));
    const QString skFaktor = xov::IniLesen(pfad, QStringLiteral("Section2"), QStringLiteral("SkFaktor"));
    for (int breite : {640, 800, 1024, 1280, 1920, 0, -1}) {
        // The form is multiplied by the factor: it must stay between 1 and 2.
        const auto f = xov::faktorBerechnen(skalieren, skFaktor, breite);
        if (f && !(*f >= 1.0f && *f <= 2.0f)) __builtin_trap();
    }
    return 0;
}
