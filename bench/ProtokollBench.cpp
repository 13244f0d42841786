// The change log's cost, each beside the same operation without it, in one run:
// - saving the client row with five changed columns as the dialog saves it (Arg 1: with its
//   entries in the same transaction; Arg 0: the write alone);
// - checking the chain of 100,000 entries as `xov-db protokoll --pruefen` does (read and hash).
// The rate import with and without the log is BM_KurseEinlesen/1 and /0.

#include "platform/Aenderungsprotokoll.h"
#include "platform/Datenbank.h"
#include "platform/Datenquelle.h"
#include "tools/xov-db/Schema.h"

#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <sqlcipher/sqlite3.h>

namespace {

void BM_MandantenzeileSpeichern(benchmark::State& state) {
    const bool mitProtokoll = state.range(0) != 0;
    QTemporaryDir dir;
    const QString mand = dir.filePath("m.db"), fa = dir.filePath("f.db");
    xovdb::anlegen(mand, fa, xov::DbPasswort);
    xovdb::demoFuellen(mand, fa, xov::DbPasswort, 2024);
    xov::Datenquelle q("MAData");
    q.setDatabaseName(mand);
    q.setConnect("Access;pwd=" + xov::DbPasswort + ";");
    q.setRecordSource("SELECT * FROM AllgMandDaten ", {}, xov::Schreibziel{"AllgMandDaten", {}});
    q.Refresh();
    int runde = 0;
    // Five fields typed over each round: text, a postcode, an amount, an account, a date text.
    q.binden({"MandOrt", [](const QVariant&) {}, [&] { return QVariant(QStringLiteral("Ort %1").arg(runde)); }, [] { return true; }});
    q.binden({"MandPlz", [](const QVariant&) {}, [&] { return QVariant(1000 + runde % 9000); }, [] { return true; }});
    q.binden({"MandMahnspesen", [](const QVariant&) {}, [&] { return QVariant(10.0 + runde * 0.01); }, [] { return true; }});
    q.binden({"MandKonto30", [](const QVariant&) {}, [&] { return QVariant(QString::number(2800 + runde % 50)); }, [] { return true; }});
    q.binden({"MandUID", [](const QVariant&) {}, [&] { return QVariant(QStringLiteral("ATU%1").arg(10000000 + runde)); }, [] { return true; }});
    for (auto _ : state) {
        ++runde;
        if (mitProtokoll) {
            xov::Zeilenprotokoll p(q, "AllgMandDaten");
            q.zeileSchreiben();
            p.abschliessen();
        } else {
            q.zeileSchreiben();
        }
    }
}
BENCHMARK(BM_MandantenzeileSpeichern)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond)->Iterations(300);

// The bare limit of a save: one prepared UPDATE of the same five columns in a transaction through
// the SQLCipher C API.
void BM_NackteZeileSpeichern(benchmark::State& state) {
    QTemporaryDir dir;
    const QString mand = dir.filePath("m.db"), fa = dir.filePath("f.db");
    xovdb::anlegen(mand, fa, xov::DbPasswort);
    xovdb::demoFuellen(mand, fa, xov::DbPasswort, 2024);
    sqlite3* db = nullptr;
    sqlite3_open_v2(QFile::encodeName(mand).constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    const QByteArray k = xov::DbPasswort.toUtf8();
    sqlite3_key(db, k.constData(), int(k.size()));
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db, "UPDATE AllgMandDaten SET MandOrt = ?, MandPlz = ?, MandMahnspesen = ?, MandKonto30 = ?, MandUID = ?",
                       -1, &st, nullptr);
    int runde = 0;
    for (auto _ : state) {
        ++runde;
        const QByteArray ort = QStringLiteral("Ort %1").arg(runde).toUtf8(), konto = QByteArray::number(2800 + runde % 50),
                         uid = QByteArray("ATU") + QByteArray::number(10000000 + runde);
        sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
        sqlite3_bind_text(st, 1, ort.constData(), int(ort.size()), SQLITE_TRANSIENT);
        sqlite3_bind_int(st, 2, 1000 + runde % 9000);
        sqlite3_bind_double(st, 3, 10.0 + runde * 0.01);
        sqlite3_bind_text(st, 4, konto.constData(), int(konto.size()), SQLITE_TRANSIENT);
        sqlite3_bind_text(st, 5, uid.constData(), int(uid.size()), SQLITE_TRANSIENT);
        sqlite3_step(st);
        sqlite3_reset(st);
        sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    }
    sqlite3_finalize(st);
    sqlite3_close(db);
}
BENCHMARK(BM_NackteZeileSpeichern)->Unit(benchmark::kMicrosecond)->Iterations(300);

void BM_ProtokollPruefen(benchmark::State& state) {
    QTemporaryDir dir;
    const QString mand = dir.filePath("m.db"), fa = dir.filePath("f.db");
    xovdb::anlegen(mand, fa, xov::DbPasswort);
    {
        auto v = xov::verbindungOeffnen(fa, xov::DbPasswort);
        xov::Transaktion t(*v);
        xov::Aenderungsprotokoll p(*v);
        for (int i = 0; i < state.range(0); ++i)
            p.eintragen("AllgWaehrung", QStringLiteral("WID=%1, AenderDatum=2024-03-04").arg(i % 20 + 1), "EuroinFremd", 1.0 + i * 1e-4,
                        1.0 + (i + 1) * 1e-4, xov::Aenderungsart::Eingelesen);
        t.bestaetigen();
    }
    for (auto _ : state) {
        auto v = xov::verbindungOeffnen(fa, xov::DbPasswort);
        const auto bruch = xov::ketteFinden(xov::protokollLesen(*v));
        if (bruch) state.SkipWithError("Kette gebrochen");
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ProtokollPruefen)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
