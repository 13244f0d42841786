#include "tools/xov-db/Zeilenvergleich.h"
#include "platform/Variant.h"

#include <QDate>
#include <QDateTime>
#include <algorithm>
#include <cmath>

namespace xovdb {

namespace {

// The value with its kind, as a text that equals another value's only when both are the same:
// numbers with every bit (17 significant digits), dates as ISO text, bytes as hex.
QString kennung(const QVariant& w) {
    if (xov::istNull(w) || xov::istLeer(w)) return QStringLiteral("N");
    switch (w.typeId()) {
    case QMetaType::Bool: return QStringLiteral("B") + (w.toBool() ? QLatin1Char('1') : QLatin1Char('0'));
    case QMetaType::Int: case QMetaType::Short: case QMetaType::LongLong: case QMetaType::Long:
    case QMetaType::UInt: case QMetaType::UShort:
        return QStringLiteral("I") + QString::number(w.toLongLong());
    case QMetaType::Double: case QMetaType::Float: return QStringLiteral("R") + QString::number(w.toDouble(), 'g', 17);
    case QMetaType::QDate: return QStringLiteral("D") + w.toDate().toString(Qt::ISODate);
    case QMetaType::QDateTime: return QStringLiteral("Z") + w.toDateTime().toString(Qt::ISODateWithMs);
    case QMetaType::QByteArray: return QStringLiteral("X") + QString::fromLatin1(w.toByteArray().toHex());
    default: return QStringLiteral("T") + w.toString();
    }
}

// The rows as lists of value identities, sorted, each with the index of its row.
QVector<QPair<QStringList, int>> sortiert(const Zeilen& zeilen) {
    QVector<QPair<QStringList, int>> s;
    s.reserve(zeilen.size());
    for (int i = 0; i < zeilen.size(); ++i) {
        QStringList k;
        k.reserve(zeilen.at(i).size());
        for (const QVariant& w : zeilen.at(i)) k << kennung(w);
        s.append({k, i});
    }
    std::sort(s.begin(), s.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    return s;
}

}  // namespace

QString wertAlsText(const QVariant& w) {
    if (xov::istNull(w) || xov::istLeer(w)) return QStringLiteral("leer (Null)");
    switch (w.typeId()) {
    case QMetaType::Double: case QMetaType::Float: {
        const double d = w.toDouble();
        if (std::isnan(d)) return QStringLiteral("keine Zahl (NaN)");
        if (std::isinf(d)) return d > 0 ? QStringLiteral("unendlich") : QStringLiteral("minus unendlich");
        return QStringLiteral("Zahl ") + xov::deutsch().toString(d, 'g', QLocale::FloatingPointShortest);
    }
    case QMetaType::Int: case QMetaType::Short: case QMetaType::LongLong: case QMetaType::Long:
    case QMetaType::UInt: case QMetaType::UShort:
        return QStringLiteral("ganze Zahl ") + QString::number(w.toLongLong());
    case QMetaType::QDate: return QStringLiteral("Datum ") + xov::datumAlsText(w.toDate());
    case QMetaType::QByteArray: return QStringLiteral("%1 Bytes").arg(w.toByteArray().size());
    default: return QStringLiteral("Text „") + w.toString() + QStringLiteral("“");
    }
}

QString zeilenUnterschied(const QStringList& spalten, const Zeilen& gelesen, const Zeilen& ziel) {
    if (gelesen.size() != ziel.size())
        return QStringLiteral("%1 Datensätze gelesen, %2 im Ziel").arg(gelesen.size()).arg(ziel.size());
    const auto a = sortiert(gelesen), b = sortiert(ziel);
    for (int i = 0; i < a.size(); ++i) {
        if (a.at(i).first == b.at(i).first) continue;
        // The first row without its equal; its partner in sort order is the likeliest counterpart.
        const auto& za = gelesen.at(a.at(i).second);
        const auto& zb = ziel.at(b.at(i).second);
        for (int s = 0; s < za.size() && s < zb.size(); ++s) {
            if (a.at(i).first.at(s) == b.at(i).first.at(s)) continue;
            return QStringLiteral("ein Datensatz stimmt nach dem Kopieren nicht überein, Spalte %1: gelesen %2, im Ziel %3")
                .arg(spalten.value(s), wertAlsText(za.at(s)), wertAlsText(zb.at(s)));
        }
        return QStringLiteral("ein Datensatz stimmt nach dem Kopieren nicht überein");
    }
    return {};
}

}  // namespace xovdb
