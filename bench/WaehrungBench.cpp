// Speed of the currency page on 20 currencies, the first with 10,000 rates: loading its history
// into the grid beside the bare query of those rows, and saving one rate beside one bare INSERT
// in a transaction.

#include "services/Aufruf.h"
#include "services/DbVerbindung.h"
#include "currency/Waehrungsseite.h"
#include "form/InputFeld.h"
#include "form/frmMandStamm.h"
#include "platform/Datenbank.h"
#include "platform/Datenquelle.h"
#include "tools/xov-db/Schema.h"
#include "tools/xov-db/Waehrungen.h"

#include <QApplication>
#include <QDate>
#include <QTableView>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

struct Kurse {
    QTemporaryDir dir;
    QString mand = dir.filePath("m.db"), fa = dir.filePath("f.db");
    Kurse() {
        xovdb::anlegen(mand, fa, xov::DbPasswort);
        xovdb::demoFuellen(mand, fa, xov::DbPasswort, 2024);
        xovdb::langeKursverlaeufe(fa, xov::DbPasswort, 2000);
        auto v = xov::verbindungOeffnen(fa, xov::DbPasswort);
        xov::Transaktion t(*v);
        const QDate aeltester = QDate::currentDate().addDays(-2000);
        for (int i = 0; i < 8000; ++i)
            v->ausfuehren("INSERT INTO AllgWaehrung (WID, Waehrungscode, WaehrungscodeBezeichnung, Laenderkennzeichen, "
                          "AenderDatum, EuroinFremd, FremdinEuro) VALUES (1, 'USD', 'US-Dollar', 'USA', ?, ?, ?)",
                          {aeltester.addDays(-i), 1.08 + i * 1e-6, 0.9259});
        t.bestaetigen();
    }
};

Kurse& kurse() {
    static Kurse k;
    return k;
}

// The dialog with its currency page on the shared database, shown offscreen.
struct Seite {
    xov::Aufruf aufruf;
    frmMandStamm form{aufruf};
    Waehrungsseite* seite = form.findChild<Waehrungsseite*>();
    Seite() {
        form.FAData->setDatabaseName(kurse().fa);
        form.FAData->setConnect("Access;pwd=" + xov::DbPasswort + ";");
        form.show();
        seite->WährungenLaden();
    }
};

const QString Verlauf = QStringLiteral("SELECT AenderDatum, EuroinFremd, FremdinEuro FROM AllgWaehrung WHERE WID = ? "
                                       "ORDER BY AenderDatum DESC");

void BM_KursverlaufAbfrageBlank(benchmark::State& state) {
    auto v = xov::verbindungOeffnen(kurse().fa, xov::DbPasswort);
    for (auto _ : state) benchmark::DoNotOptimize(v->abfragen(Verlauf, {1}).zeilen.size());
}
BENCHMARK(BM_KursverlaufAbfrageBlank)->Unit(benchmark::kMicrosecond);

void BM_KursverlaufInsRaster(benchmark::State& state) {
    Seite s;
    auto* raster = s.form.findChild<QTableView*>(QStringLiteral("TDBGridWährung"));
    for (auto _ : state) {
        s.seite->KursHistorieLaden(0);
        QApplication::processEvents();
        benchmark::DoNotOptimize(raster->model()->rowCount());
    }
}
BENCHMARK(BM_KursverlaufInsRaster)->Unit(benchmark::kMicrosecond);

void BM_KursEinfuegenBlank(benchmark::State& state) {
    auto v = xov::verbindungOeffnen(kurse().fa, xov::DbPasswort);
    static QDate d(2100, 1, 1);  // every run of the benchmark adds new dates
    for (auto _ : state) {
        xov::Transaktion t(*v);
        v->ausfuehren("INSERT INTO AllgWaehrung (WID, Waehrungscode, WaehrungscodeBezeichnung, Laenderkennzeichen, "
                      "AenderDatum, EuroinFremd, FremdinEuro) VALUES (?,?,?,?,?,?,?)",
                      {2, "CHF", "Schweizer Franken", "CH", d, 0.95, 1.0526});
        t.bestaetigen();
        d = d.addDays(1);
    }
}
BENCHMARK(BM_KursEinfuegenBlank)->Unit(benchmark::kMicrosecond);

void BM_KursSpeichern(benchmark::State& state) {
    Seite s;
    s.seite->KursHistorieLaden(0);
    auto feld = [&](const char* n) { return s.form.feld(QString::fromUtf8(n)); };
    static QDate d(2200, 1, 1);
    for (auto _ : state) {
        feld("inpWährungsDatum")->setzeText(d.toString("dd.MM.yyyy"));
        feld("inpEuroinFremd")->setzeText("1,0912");
        feld("inpFremdinEuro")->setzeText("0,9164");
        s.seite->KursSpeichern();
        d = d.addDays(1);
    }
}
BENCHMARK(BM_KursSpeichern)->Unit(benchmark::kMicrosecond);

}  // namespace
