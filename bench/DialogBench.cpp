// Opening the dialog as a host's Mand_Aufruf opens it (widgets, both databases, the client row
// and the tax offices loaded, shown), the first time in a process and again, beside the bare
// limit: two keyed SQLCipher opens with one read each, plus as many bare line edits on eight tab
// pages, shown. Also the resident memory: all eight pages shown beside the bare widgets, and the
// growth over 1,000 opens and closes (counters in kB).

#include "bench/BenchHilfen.h"
#include "component/Aufrufinformation.h"
#include "form/Feldtabelle.h"
#include "form/TabStrip.h"
#include "form/frmMandStamm.h"
#include "services/Aufruf.h"
#include "services/Verbindungsvorrat.h"
#include "tools/xov-db/Schema.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <sqlcipher/sqlite3.h>
#include <optional>
#include <unistd.h>

namespace {

struct Demodaten {
    QTemporaryDir dir;
    QString mand = dir.filePath("m.db"), fa = dir.filePath("f.db");
    Demodaten() {
        xovdb::anlegen(mand, fa, xov::DbPasswort);
        xovdb::demoFuellen(mand, fa, xov::DbPasswort, 2024);
    }
};

Demodaten& demo() {
    static Demodaten d;
    return d;
}

// With XOV_BENCH_OHNE_VORRAT set, every call opens its databases itself, one after the other,
// as each call did before the process kept them: the comparison for the kept connections.
const bool ohneVorrat = qEnvironmentVariableIsSet("XOV_BENCH_OHNE_VORRAT");

// One call of the dialog as Mand_Aufruf makes it, without its modal loop; `alleSeiten` shows
// every page once.
void dialogOeffnen(bool alleSeiten = false) {
    xov::Aufruf aufruf = xov::aufrufUebernehmen(aufrufInfo(demo().mand, demo().fa));
    std::optional<xov::Vorratsnutzung> vorrat;
    frmMandStamm form(aufruf);
    if (!ohneVorrat) vorrat.emplace(&form);
    form.Form_Load();
    form.show();
    QApplication::processEvents();
    if (alleSeiten) {
        for (int i = 0; i < form.TabStrip1->count(); ++i) {
            form.TabStrip1->setCurrentIndex(i);
            QApplication::processEvents();
        }
    }
}

// The bare limit's database half: keyed open, one read, for each file.
void nackteDatenbanken() {
    for (const auto& [pfad, sql] : {std::pair{demo().mand, "SELECT * FROM AllgMandDaten"}, std::pair{demo().fa, "SELECT * FROM AllgFaDaten"}}) {
        sqlite3* db = nullptr;
        sqlite3_open_v2(QFile::encodeName(pfad).constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
        const QByteArray k = xov::DbPasswort.toUtf8();
        sqlite3_key(db, k.constData(), int(k.size()));
        if (sqlite3_exec(db, sql, nullptr, nullptr, nullptr) != SQLITE_OK) qFatal("nackt: %s", sqlite3_errmsg(db));
        sqlite3_close(db);
    }
}

void BM_DialogNackteGrenze(benchmark::State& state) {
    for (auto _ : state) {
        nackteDatenbanken();
        NackteWidgets w;
    }
}
BENCHMARK(BM_DialogNackteGrenze)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();

// The first call in a host process: nothing kept from an earlier call.
void BM_DialogErstesOeffnen(benchmark::State& state) {
    for (auto _ : state) {
        xov::Verbindungsvorrat::prozess().leeren();
        dialogOeffnen();
    }
}
BENCHMARK(BM_DialogErstesOeffnen)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();

// Every later call in the same host process.
void BM_DialogWiederholtOeffnen(benchmark::State& state) {
    dialogOeffnen();
    for (auto _ : state) dialogOeffnen();
}
BENCHMARK(BM_DialogWiederholtOeffnen)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();

long residentKb() {
    QFile f(QStringLiteral("/proc/self/statm"));
    if (!f.open(QIODevice::ReadOnly)) return 0;
    const QList<QByteArray> teile = f.readAll().split(' ');
    return teile.value(1).toLong() * (sysconf(_SC_PAGESIZE) / 1024);
}

// Resident memory of the process with all eight pages shown: the dialog (Arg 1) beside the bare
// widgets (Arg 0). Each belongs in a process of its own (scripts/bench runs them so).
void BM_SpeicherAlleSeiten(benchmark::State& state) {
    for (auto _ : state) {
        demo();
        if (state.range(0) == 0) {
            nackteDatenbanken();
            NackteWidgets w(true);
            state.counters["kB"] = double(residentKb());
        } else {
            xov::Aufruf aufruf = xov::aufrufUebernehmen(aufrufInfo(demo().mand, demo().fa));
            frmMandStamm form(aufruf);
            const xov::Vorratsnutzung vorrat(&form);
            form.Form_Load();
            form.show();
            for (int i = 0; i < form.TabStrip1->count(); ++i) {
                form.TabStrip1->setCurrentIndex(i);
                QApplication::processEvents();
            }
            state.counters["kB"] = double(residentKb());
        }
    }
}
BENCHMARK(BM_SpeicherAlleSeiten)->Arg(0)->Arg(1)->Iterations(1)->Unit(benchmark::kMillisecond);

// 1,000 opens and closes: what the process grows by after the first 20 (which fill caches).
void BM_SpeicherTausendAufrufe(benchmark::State& state) {
    for (auto _ : state) {
        for (int i = 0; i < 20; ++i) dialogOeffnen();
        const long vorher = residentKb();
        for (int i = 0; i < 1000; ++i) dialogOeffnen();
        state.counters["kB"] = double(residentKb() - vorher);
    }
}
BENCHMARK(BM_SpeicherTausendAufrufe)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
