#pragma once
// The euro reference rates in the files the central bank publishes them in: the daily and the
// 90-day or full-history XML (single or double quotes), the full-history CSV with its N/A and
// trailing comma, and the zip that holds the CSV. A file is read completely before anything is
// written, so that a file that breaks off halfway is refused as a whole.
//
// Files come from anywhere (downloads, mail, a share), so reading is bounded: the file is read
// as a stream in blocks, never by the size it claims, and refused with a German message as soon
// as it passes a limit no published file comes near.

#include <QByteArray>
#include <QDate>
#include <QPair>
#include <QString>
#include <QVector>

namespace xov {

namespace FehlerNr {
constexpr int KursdateiUnlesbar = 3051;  // the rate file cannot be read or is not as published
}

// Limits no file of the central bank reaches (the full history since 1999 has about 7,000 days
// of at most 41 currencies in 1.6 MB of CSV or 7 MB of XML).
namespace Kursdateigrenze {
constexpr qint64 Bytes = 64LL * 1024 * 1024;  // the content as read, after inflating a zip entry
constexpr qint64 Zeile = 1024 * 1024;         // bytes of one line
constexpr int Tage = 100'000;
constexpr int Waehrungen = 200;
constexpr int Kurse = 1'000'000;               // rates of all days together
}  // namespace Kursdateigrenze

struct Tageskurse {
    QDate datum;
    QVector<QPair<QString, double>> kurse;  // code, units for one euro; not quoted: absent
};

// Every published day of the file, in the file's order. Throws Fehler KursdateiUnlesbar with a
// German description that names the file and the line or element. Only a regular file is read
// (a FIFO, device or folder is refused at once); a zip must hold exactly one file.
QVector<Tageskurse> kursdateiLesen(const QString& pfad);
// The same for content already in memory (a whole file, a zip included); `name` stands for the
// file in messages.
QVector<Tageskurse> kurseAusInhalt(const QByteArray& inhalt, const QString& name);

// A published rate as both formats spell it: digits with at most one decimal point and digits
// after it, no sign, no exponent, greater than 0.
bool kursAusText(QByteArrayView text, double& kurs);
// Text of a file for a message: control characters and other invisible characters as \xNN or
// \uNNNN, cut after `hoechstens` characters with "…".
QString sichtbar(QStringView text, qsizetype hoechstens = 60);

}  // namespace xov
