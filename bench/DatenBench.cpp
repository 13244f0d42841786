// Speed of the data layer on a chart of accounts of 100,000 rows: an account lookup as the
// account check makes it, and loading the client row as the dialog does.

#include "component/Modul.h"
#include "platform/Datenbank.h"
#include "platform/Datenquelle.h"
#include "tools/xov-db/Schema.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

struct Kontenstamm {
    QTemporaryDir dir;
    QString mand = dir.filePath("m.db"), fa = dir.filePath("f.db");
    Kontenstamm() {
        xovdb::anlegen(mand, fa, xov::DbPasswort);
        xovdb::demoFuellen(mand, fa, xov::DbPasswort, 2024);
        auto v = xov::verbindungOeffnen(mand, xov::DbPasswort);
        xov::Transaktion t(*v);
        for (int i = 0; i < 100000; ++i)
            v->ausfuehren("INSERT INTO ObjKanzleiKontenstamm (KontoJJ, KontoNr, KontoBezeichnung) VALUES (?,?,?)",
                          {2024, QString::number(100000 + i), QStringLiteral("Konto %1").arg(i)});
        t.bestaetigen();
    }
};

Kontenstamm& stamm() {
    static Kontenstamm k;
    return k;
}

void BM_KontoNachschlagen(benchmark::State& state) {
    xov::Datenquelle q("KKData");
    q.setDatabaseName(stamm().mand);
    q.setConnect("Access;pwd=" + xov::DbPasswort + ";");
    int i = 0;
    for (auto _ : state) {
        q.setRecordSource("SELECT KontoBezeichnung FROM ObjKanzleiKontenstamm WHERE KontoJJ = ? AND KontoNr = ?",
                          {2024, QString::number(100000 + (i++ * 7919) % 100000)});
        q.Refresh();
        benchmark::DoNotOptimize(q.Recordset()->RecordCount());
    }
}
BENCHMARK(BM_KontoNachschlagen);

void BM_MandantenzeileLaden(benchmark::State& state) {
    xov::Datenquelle q("MAData");
    q.setDatabaseName(stamm().mand);
    q.setConnect("Access;pwd=" + xov::DbPasswort + ";");
    q.setRecordSource("SELECT * FROM AllgMandDaten ");
    for (auto _ : state) {
        q.Refresh();
        benchmark::DoNotOptimize(q.Recordset()->Fields("MandName").Value());
    }
}
BENCHMARK(BM_MandantenzeileLaden);

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
