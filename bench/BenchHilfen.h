#pragma once
// What several benchmarks set up the same way.

#include "form/Feldtabelle.h"
#include "platform/Datenbank.h"
#include "platform/Datenquelle.h"

#include <QApplication>
#include <QDate>
#include <QDialog>
#include <QGridLayout>
#include <QLineEdit>
#include <QTabWidget>
#include <QVariantList>
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

// The call information a host passes for the two databases, with the currency page.
inline QVariantList aufrufInfo(const QString& mand, const QString& fa) {
    QVariantList i(100);
    i[0] = mand;
    i[1] = fa;
    i[2] = 0;
    i[4] = QStringLiteral("Access 2000;");
    i[5] = QDate(2024, 3, 1);
    i[9] = 0;
    i[10] = 0;
    i[11] = 2024;
    i[60] = QVariantList(201, 0);
    i[61] = 1;
    return i;
}

// The bare limit's widget half: as many line edits per page as the dialog has fields, on eight tabs.
struct NackteWidgets {
    QDialog dialog;
    NackteWidgets(bool alleSeiten = false) {
        auto* tabs = new QTabWidget(&dialog);
        for (const xov::SeitenDef& s : xov::seitentabellen()) {
            auto* seite = new QWidget;
            auto* raster = new QGridLayout(seite);
            int n = 0;
            for (const xov::FeldDef& f : s.felder)
                if (xov::istEingabe(f.art) || f.art == xov::Art::Textfeld) raster->addWidget(new QLineEdit(f.name), n / 3, n % 3), ++n;
            tabs->addTab(seite, s.titel);
        }
        dialog.resize(900, 600);
        dialog.show();
        QApplication::processEvents();
        if (alleSeiten) {
            for (int i = 0; i < tabs->count(); ++i) {
                tabs->setCurrentIndex(i);
                QApplication::processEvents();
            }
        }
    }
};
