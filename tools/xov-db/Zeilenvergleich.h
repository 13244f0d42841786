#pragma once
// Rows of two databases compared exactly: every value with the kind the engine gave it (Null,
// integer, floating-point number to the last bit, date, text, bytes), in any order of the rows.

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

namespace xovdb {

using Zeilen = QVector<QVector<QVariant>>;

// Null when both hold the same rows (each as often); otherwise what differs, in German, naming
// the column by `spalten`, e.g. "... Spalte AenderDatum: gelesen Text „2024-03-01 10:30“, im Ziel Datum 01.03.2024".
QString zeilenUnterschied(const QStringList& spalten, const Zeilen& gelesen, const Zeilen& ziel);

// A value as a message shows it.
QString wertAlsText(const QVariant& w);

}  // namespace xovdb
