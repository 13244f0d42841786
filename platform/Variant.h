#pragma once
// Conversions of call information and column values as the host platform performs them:
// Empty (an invalid QVariant) and Null (a QVariant holding nullptr) are told apart, German text
// is read with the German locale, and failures raise 13, 6 or 94.

#include <QDate>
#include <QLocale>
#include <QString>
#include <QVector>
#include <QVariant>
#include <optional>

namespace xov {

QVariant nullWert();                      // the Null of a column or Variant
bool istNull(const QVariant& v);          // Null, not Empty
bool istLeer(const QVariant& v);          // Empty: never assigned

const QLocale& deutsch();                 // German (Germany): decimal comma, thousands point

std::optional<double> zahlAusText(const QString& text);   // "1.234,56", " -3 ", "7"
std::optional<QDate> datumAusText(const QString& text);   // "31.12.2024", "1.3.24"
QString datumAlsText(const QDate& d);                     // "31.12.2024"

qint16 alsInt16(const QVariant& v);       // halves round to even; 13, 6, 94
qint32 alsInt32(const QVariant& v);
double alsDouble(const QVariant& v);
QString alsText(const QVariant& v);       // Null raises 94; Empty gives ""
// A date as the platform converts one: date and date-time values; serial day numbers (days since
// 30.12.1899, the fraction being the time of day); German dates "T.M.JJ(JJ)" and ISO dates
// "JJJJ-MM-TT", each with or without a time. The time is dropped. 13 for anything else,
// 6 beyond the years 100 to 9999, 94 for Null.
QDate alsDatum(const QVariant& v);
// An array of 16-bit integers from any integer list a host may pass: QList of int, qint16,
// qint64, of doubles with whole values, or a QVariantList of numbers. 13 for what is no list
// or holds a fraction, 6 for an element beyond 16 bits.
QVector<qint16> alsInt16Feld(const QVariant& v);
// The text without its trailing blanks (leading blanks stay).
QString ohneBlanksRechts(const QString& text);
// Numeric equality as `v = zahl` compares it: numbers, and texts that read as numbers.
bool gleichZahl(const QVariant& v, double zahl);

}  // namespace xov
