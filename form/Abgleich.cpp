#include "form/Abgleich.h"
#include "platform/Variant.h"

#include <QDate>

namespace xov::abgleich {

namespace {

bool zahl(const QVariant& v, double& d) {
    switch (v.typeId()) {
    case QMetaType::Bool: case QMetaType::Short: case QMetaType::UShort: case QMetaType::Int: case QMetaType::UInt:
    case QMetaType::Long: case QMetaType::ULong: case QMetaType::LongLong: case QMetaType::ULongLong:
    case QMetaType::Float: case QMetaType::Double:
        d = v.toDouble();
        return true;
    default:
        return false;
    }
}

bool ohneWert(const QVariant& v) {
    return istNull(v) || istLeer(v) || (v.typeId() == QMetaType::QString && v.toString().isEmpty());
}

}  // namespace

bool gleicherWert(const QVariant& a, const QVariant& b) {
    if (ohneWert(a) || ohneWert(b)) return ohneWert(a) == ohneWert(b);
    double x = 0, y = 0;
    const bool za = zahl(a, x), zb = zahl(b, y);
    if (za && zb) return x == y;
    if (za || zb) {
        // A number column may hold a text (an old database); it is equal when it reads as the number.
        bool ok = false;
        const double t = (za ? b : a).toString().trimmed().toDouble(&ok);
        return ok && t == (za ? x : y);
    }
    if (a.typeId() == QMetaType::QDate || b.typeId() == QMetaType::QDate) {
        const QDate da = a.typeId() == QMetaType::QDate ? a.toDate() : QDate::fromString(a.toString(), Qt::ISODate);
        const QDate db = b.typeId() == QMetaType::QDate ? b.toDate() : QDate::fromString(b.toString(), Qt::ISODate);
        return da.isValid() && da == db;
    }
    return a.toString() == b.toString();
}

Ergebnis vergleichen(const QStringList& spalten, const QVector<QVariant>& geladen, const QVector<QVariant>& gespeichert,
                     const Spaltenwerte& eigene) {
    Ergebnis e;
    for (int i = 0; i < spalten.size(); ++i) {
        const QString& name = spalten.at(i);
        const QVariant* eigener = nullptr;
        for (const auto& [s, w] : eigene)
            if (s.compare(name, Qt::CaseInsensitive) == 0) eigener = &w;
        const bool vonMir = eigener && !gleicherWert(*eigener, geladen.at(i));
        const bool vomAnderen = !gleicherWert(gespeichert.at(i), geladen.at(i));
        if (vonMir && vomAnderen && !gleicherWert(*eigener, gespeichert.at(i))) e.beide << Spalte{name, gespeichert.at(i), *eigener};
        else if (vomAnderen && !vonMir) e.fremde << Spalte{name, gespeichert.at(i), {}};
        else if (vonMir) e.eigene << name;
    }
    return e;
}

}  // namespace xov::abgleich
