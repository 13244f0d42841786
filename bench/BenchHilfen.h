#pragma once
// What several benchmarks set up the same way.

#include "platform/Datenbank.h"

// A chart of accounts for 2024 of `anzahl` accounts numbered from 100000, in one transaction.
inline void kontenEinfuegen(xov::Verbindung& v, int anzahl) {
    xov::Transaktion t(v);
    for (int i = 0; i < anzahl; ++i)
        v.ausfuehren("INSERT INTO ObjKanzleiKontenstamm (KontoJJ, KontoNr, KontoBezeichnung) VALUES (?,?,?)",
                     {2024, QString::number(100000 + i), QStringLiteral("Konto %1").arg(i)});
    t.bestaetigen();
}
