#pragma once
// The euro reference rates in the files the central bank publishes them in: the daily and the
// 90-day or full-history XML (single or double quotes), the full-history CSV with its N/A and
// trailing comma, and the zip that holds the CSV. A file is read completely before anything is
// written, so that a file that breaks off halfway is refused as a whole.

#include <QByteArray>
#include <QDate>
#include <QPair>
#include <QString>
#include <QVector>

namespace xov {

namespace FehlerNr {
constexpr int KursdateiUnlesbar = 3051;  // the rate file cannot be read or is not as published
}

struct Tageskurse {
    QDate datum;
    QVector<QPair<QString, double>> kurse;  // code, units for one euro; not quoted: absent
};

// Every published day of the file, in the file's order. Throws Fehler KursdateiUnlesbar with a
// German description that names the file and the line or element.
QVector<Tageskurse> kursdateiLesen(const QString& pfad);
QVector<Tageskurse> kurseAusXml(const QByteArray& inhalt, const QString& name);
QVector<Tageskurse> kurseAusCsv(const QByteArray& inhalt, const QString& name);

}  // namespace xov
