// Speed on a database server over loopback, beside what libpq alone needs for the same work:
// opening the dialog beside two bare connects plus the bare widgets, and one account check beside
// one bare prepared lookup. The server's address comes from XOV_PG_TEST (scripts/pg-cluster.sh);
// without it these benchmarks report that they were skipped.

#include "component/Aufrufinformation.h"
#include "form/frmMandStamm.h"
#include "bench/BenchHilfen.h"
#include "platform/Datenbank.h"
#include "platform/Datenquelle.h"
#include "services/Verbindungsvorrat.h"
#include "tools/xov-db/Schema.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDate>
#include <benchmark/benchmark.h>
#include <libpq-fe.h>
#include <optional>

namespace {

QString server() { return qEnvironmentVariable("XOV_PG_TEST"); }

struct Serverdaten {
    QString mand, fa;
    Serverdaten() {
        const QString n = QString::number(QCoreApplication::applicationPid());
        mand = server() + "xovbench_" + n + "_mand";
        fa = server() + "xovbench_" + n + "_fa";
        xovdb::anlegen(mand, fa, xov::DbPasswort);
        xovdb::demoFuellen(mand, fa, xov::DbPasswort, 2024);
        kontenEinfuegen(*xov::verbindungOeffnen(mand, xov::DbPasswort), 100000);
    }
    ~Serverdaten() {
        for (const QString& d : {mand, fa}) try { xov::datenbankEntfernen({d, xov::DbPasswort}); } catch (...) {}
    }
};

Serverdaten* daten() {
    if (server().isEmpty()) return nullptr;
    static Serverdaten d;
    return &d;
}

PGconn* bareVerbindung(const QString& adresse) {
    const QByteArray a = adresse.toUtf8(), pw = xov::DbPasswort.toUtf8();
    const char* k[] = {"password", "dbname", nullptr};
    const char* w[] = {pw.constData(), a.constData(), nullptr};
    return PQconnectdbParams(k, w, 1);
}

// The dialog as Mand_Aufruf opens it, on the server: widgets, connections, loading, shown. Arg 0:
// the first call of a host process; Arg 1: a later one, which checks the kept connections (with
// XOV_BENCH_OHNE_VORRAT set, both open their connections as each call did before they were kept).
void BM_ServerDialogOeffnen(benchmark::State& state) {
    auto* d = daten();
    if (!d) { state.SkipWithError("kein Testserver (XOV_PG_TEST)"); return; }
    for (auto _ : state) {
        if (state.range(0) == 0) xov::Verbindungsvorrat::prozess().leeren();
        xov::Aufruf aufruf = xov::aufrufUebernehmen(aufrufInfo(d->mand, d->fa));
        std::optional<xov::Vorratsnutzung> vorrat;
        frmMandStamm form(aufruf);
        if (!qEnvironmentVariableIsSet("XOV_BENCH_OHNE_VORRAT")) vorrat.emplace(&form);
        form.Form_Load();
        form.show();
        QApplication::processEvents();
    }
}
BENCHMARK(BM_ServerDialogOeffnen)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// The bare limit: two libpq connections to the same databases, and the bare widgets the file
// benchmarks show (as many line edits on eight tabs as the dialog has fields), not the dialog's
// own, which build only the page shown.
void BM_ServerDialogBlank(benchmark::State& state) {
    auto* d = daten();
    if (!d) { state.SkipWithError("kein Testserver (XOV_PG_TEST)"); return; }
    for (auto _ : state) {
        PGconn* m = bareVerbindung(d->mand);
        PGconn* f = bareVerbindung(d->fa);
        NackteWidgets w;
        PQfinish(m);
        PQfinish(f);
    }
}
BENCHMARK(BM_ServerDialogBlank)->Unit(benchmark::kMillisecond)->UseRealTime();

// One account check as the dialog makes it: a lookup through a data source.
void BM_ServerKontoNachschlagen(benchmark::State& state) {
    auto* d = daten();
    if (!d) { state.SkipWithError("kein Testserver (XOV_PG_TEST)"); return; }
    kontenNachschlagen(state, d->mand);
}
BENCHMARK(BM_ServerKontoNachschlagen)->Unit(benchmark::kMicrosecond);

// The bare limit: one prepared lookup through libpq.
void BM_ServerKontoBlank(benchmark::State& state) {
    auto* d = daten();
    if (!d) { state.SkipWithError("kein Testserver (XOV_PG_TEST)"); return; }
    PGconn* c = bareVerbindung(d->mand);
    PQclear(PQprepare(c, "k", "SELECT kontobezeichnung FROM objkanzleikontenstamm WHERE kontojj = $1 AND kontonr = $2", 0, nullptr));
    int i = 0;
    for (auto _ : state) {
        const QByteArray nr = QByteArray::number(100000 + (i++ * 7919) % 100000);
        const char* w[] = {"2024", nr.constData()};
        PGresult* r = PQexecPrepared(c, "k", 2, w, nullptr, nullptr, 0);
        benchmark::DoNotOptimize(PQntuples(r));
        PQclear(r);
    }
    PQfinish(c);
}
BENCHMARK(BM_ServerKontoBlank)->Unit(benchmark::kMicrosecond);

}  // namespace
