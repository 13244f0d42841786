// Reading the central bank's full history for 20 currencies (6,500 days, 130,000 records) into
// an empty currency table, file parsing included (Arg 1: with its change-log entry, the file's
// SHA-256 included; Arg 0: a database without the log), beside a bare prepared INSERT loop of the same
// rows in one transaction through the SQLCipher C API.

#include "kurse/Kurs.h"
#include "kurse/Kurseinlesen.h"
#include "platform/Datenbank.h"
#include "platform/Verbindungsangabe.h"
#include "tools/xov-db/Schema.h"

#include <QDate>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <sqlcipher/sqlite3.h>

namespace {

const char* codes[20] = {"USD", "JPY", "BGN", "CZK", "DKK", "GBP", "HUF", "PLN", "RON", "SEK",
                         "CHF", "NOK", "TRY", "AUD", "CAD", "CNY", "HKD", "IDR", "SGD", "ZAR"};
constexpr int Tage = 6500;

// The CSV of the central bank's shape: newest first, business days only, trailing comma.
QString historie(const QTemporaryDir& dir) {
    const QString pfad = dir.filePath("eurofxref-hist.csv");
    QFile f(pfad);
    f.open(QIODevice::WriteOnly);
    QByteArray kopf = "Date";
    for (const char* c : codes) kopf += QByteArray(",") + c;
    f.write(kopf + ",\n");
    QDate d(2025, 12, 31);
    for (int n = 0; n < Tage; d = d.addDays(-1)) {
        if (d.dayOfWeek() > 5) continue;
        QByteArray z = d.toString(Qt::ISODate).toLatin1();
        for (int i = 0; i < 20; ++i) z += ',' + QByteArray::number(1.0 + i * 7.3 + (n % 97) * 0.0013, 'f', 4);
        f.write(z + ",\n");
        ++n;
    }
    return pfad;
}

struct Ziel {
    QTemporaryDir dir;
    QString fa = dir.filePath("f.db");
    explicit Ziel(bool mitProtokoll = true) {
        xovdb::gemeinsamAnlegen(fa, xov::DbPasswort);
        auto v = xov::verbindungOeffnen(fa, xov::DbPasswort);
        if (!mitProtokoll) v->ausfuehren("DROP TABLE AllgAenderungsprotokoll");
        for (int i = 0; i < 20; ++i)
            v->ausfuehren("INSERT INTO AllgWaehrung (WID, Waehrungscode, WaehrungscodeBezeichnung, Laenderkennzeichen, AenderDatum, "
                          "EuroinFremd, FremdinEuro) VALUES (?, ?, 'Name', 'XX', '1990-01-01', 1, 1)",
                          {i + 1, QString::fromLatin1(codes[i])});
    }
};

void BM_KurseEinlesen(benchmark::State& state) {
    QTemporaryDir quelle;
    const QString csv = historie(quelle);
    for (auto _ : state) {
        state.PauseTiming();
        auto ziel = std::make_unique<Ziel>(state.range(0) != 0);
        state.ResumeTiming();
        auto v = xov::verbindungOeffnen(ziel->fa, xov::DbPasswort);
        xov::Einleseoptionen o;
        o.datei = csv;
        const auto bilanz = xov::kurseEinlesen(*v, xov::kursdateiLesen(csv), xov::gespeicherteWaehrungen(*v), o);
        benchmark::DoNotOptimize(bilanz.size());
        state.PauseTiming();
        v.reset();
        ziel.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * 20 * Tage);
}

void BM_NackteEinfuegeschleife(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        auto ziel = std::make_unique<Ziel>();
        state.ResumeTiming();
        sqlite3* db = nullptr;
        sqlite3_open_v2(QFile::encodeName(ziel->fa).constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
        const QByteArray schluessel = xov::DbPasswort.toUtf8();
        sqlite3_key(db, schluessel.constData(), static_cast<int>(schluessel.size()));
        sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(db, "INSERT INTO AllgWaehrung (WID, Waehrungscode, WaehrungscodeBezeichnung, Laenderkennzeichen, "
                               "AenderDatum, EuroinFremd, FremdinEuro) VALUES (?,?,?,?,?,?,?)", -1, &st, nullptr);
        QDate d(2025, 12, 31);
        for (int n = 0; n < Tage; d = d.addDays(-1)) {
            if (d.dayOfWeek() > 5) continue;
            const QByteArray iso = d.toString(Qt::ISODate).toLatin1();
            for (int i = 0; i < 20; ++i) {
                const double kurs = 1.0 + i * 7.3 + (n % 97) * 0.0013;
                sqlite3_bind_int(st, 1, i + 1);
                sqlite3_bind_text(st, 2, codes[i], 3, SQLITE_STATIC);
                sqlite3_bind_text(st, 3, "Name", 4, SQLITE_STATIC);
                sqlite3_bind_text(st, 4, "XX", 2, SQLITE_STATIC);
                sqlite3_bind_text(st, 5, iso.constData(), static_cast<int>(iso.size()), SQLITE_STATIC);
                sqlite3_bind_double(st, 6, kurs);
                sqlite3_bind_double(st, 7, 1.0 / kurs);
                sqlite3_step(st);
                sqlite3_reset(st);
            }
            ++n;
        }
        sqlite3_finalize(st);
        sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
        sqlite3_close(db);
        state.PauseTiming();
        ziel.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * 20 * Tage);
}

}  // namespace

BENCHMARK(BM_KurseEinlesen)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_NackteEinfuegeschleife)->Unit(benchmark::kMillisecond)->Iterations(3);
