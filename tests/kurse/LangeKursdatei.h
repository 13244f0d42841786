#pragma once
// A rate file of the central bank's CSV kind with a long history: `tage` consecutive days up to
// 31.12.2024, newest first, rates for USD and CHF.

#include <QDate>
#include <QFile>
#include <QString>

namespace test {
inline QString langeKursdatei(const QString& ordner, int tage) {
    const QString pfad = ordner + QStringLiteral("/eurofxref-hist-lang.csv");
    QFile f(pfad);
    if (!f.open(QIODevice::WriteOnly)) return {};
    f.write("Date,USD,CHF,\n");
    for (int i = 0; i < tage; ++i)
        f.write(QStringLiteral("%1,%2,%3,\n").arg(QDate(2024, 12, 31).addDays(-i).toString(Qt::ISODate)).arg(1.05 + (i % 50) / 1000.0).arg(0.95 + (i % 30) / 1000.0).toLatin1());
    return pfad;
}
}  // namespace test
