// Speed of the data layer on a chart of accounts of 100,000 rows: an account lookup as the
// account check makes it, and loading the client row as the dialog does.

#include "platform/Verbindungsangabe.h"
#include "bench/BenchHilfen.h"
#include "platform/Datenbank.h"
#include "platform/Datenquelle.h"
#include "tools/xov-db/Schema.h"

#include <QApplication>
#include <QSortFilterProxyModel>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

struct Kontenstamm {
    QTemporaryDir dir;
    QString mand = dir.filePath("m.db"), fa = dir.filePath("f.db");
    Kontenstamm() {
        xovdb::anlegen(mand, fa, xov::DbPasswort);
        xovdb::demoFuellen(mand, fa, xov::DbPasswort, 2024);
        kontenEinfuegen(*xov::verbindungOeffnen(mand, xov::DbPasswort), 100000);
    }
};

Kontenstamm& stamm() {
    static Kontenstamm k;
    return k;
}

void BM_KontoNachschlagen(benchmark::State& state) { kontenNachschlagen(state, stamm().mand); }
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

// What the account picker does when it opens: the year's whole chart into the item model.
void BM_KontenlisteLaden(benchmark::State& state) {
    auto v = xov::verbindungOeffnen(stamm().mand, xov::DbPasswort);
    for (auto _ : state) {
        xov::Recordset rs(v, v->abfragen("SELECT KontoNr, KontoBezeichnung FROM ObjKanzleiKontenstamm WHERE KontoJJ = ? ORDER BY KontoNr", {2024}));
        benchmark::DoNotOptimize(rs.RecordCount());
    }
}
BENCHMARK(BM_KontenlisteLaden)->Unit(benchmark::kMillisecond);

// One keystroke in the picker's search box over the whole chart.
void BM_KontenlisteFiltern(benchmark::State& state) {
    auto v = xov::verbindungOeffnen(stamm().mand, xov::DbPasswort);
    xov::Recordset rs(v, v->abfragen("SELECT KontoNr, KontoBezeichnung FROM ObjKanzleiKontenstamm WHERE KontoJJ = ? ORDER BY KontoNr", {2024}));
    QSortFilterProxyModel filter;
    filter.setSourceModel(&rs);
    filter.setFilterKeyColumn(-1);
    filter.setFilterCaseSensitivity(Qt::CaseInsensitive);
    const QStringList eingaben = {"k", "ko", "kon", "konto 4", "konto 42", "konto 421"};
    int i = 0;
    for (auto _ : state) {
        filter.setFilterFixedString(eingaben.at(i++ % eingaben.size()));
        benchmark::DoNotOptimize(filter.rowCount());
    }
}
BENCHMARK(BM_KontenlisteFiltern)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    // Widgets for the page benchmarks, without a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
