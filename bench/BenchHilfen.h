#pragma once
// What several benchmarks set up the same way.

#include "platform/Datenbank.h"
#include "platform/Datenquelle.h"

#include <benchmark/benchmark.h>

// A chart of accounts for 2024 of `anzahl` accounts numbered from 100000, in one transaction.
inline void kontenEinfuegen(xov::Verbindung& v, int anzahl) {
    xov::Transaktion t(v);
    for (int i = 0; i < anzahl; ++i)
        v.ausfuehren("INSERT INTO ObjKanzleiKontenstamm (KontoJJ, KontoNr, KontoBezeichnung) VALUES (?,?,?)",
                     {2024, QString::number(100000 + i), QStringLiteral("Konto %1").arg(i)});
    t.bestaetigen();
}

// Account checks as the dialog makes them: one lookup through a data source per iteration, over
// the accounts kontenEinfuegen wrote.
inline void kontenNachschlagen(benchmark::State& state, const QString& mand) {
    xov::Datenquelle q("KKData");
    q.setDatabaseName(mand);
    q.setConnect("Access;pwd=" + xov::DbPasswort + ";");
    int i = 0;
    for (auto _ : state) {
        q.setRecordSource("SELECT KontoBezeichnung FROM ObjKanzleiKontenstamm WHERE KontoJJ = ? AND KontoNr = ?",
                          {2024, QString::number(100000 + (i++ * 7919) % 100000)});
        q.Refresh();
        benchmark::DoNotOptimize(q.Recordset()->RecordCount());
    }
}
