#include "platform/Variant.h"
#include "platform/Fehler.h"

#include <QDateTime>
#include <QRegularExpression>
#include <QSequentialIterable>
#include <cmath>
#include <limits>

namespace xov {

QVariant nullWert() { return QVariant::fromValue(nullptr); }
bool istNull(const QVariant& v) { return v.metaType() == QMetaType::fromType<std::nullptr_t>(); }
bool istLeer(const QVariant& v) { return !v.isValid(); }

const QLocale& deutsch() {
    static const QLocale l(QLocale::German, QLocale::Germany);
    return l;
}

std::optional<double> zahlAusText(const QString& text) {
    const QString t = text.trimmed();
    if (t.isEmpty()) return std::nullopt;
    bool ok = false;
    const double d = deutsch().toDouble(t, &ok);
    if (!ok || !std::isfinite(d)) return std::nullopt;
    return d;
}

std::optional<QDate> datumAusText(const QString& text) {
    static const QRegularExpression muster(QStringLiteral(R"(^\s*(\d{1,2})\.(\d{1,2})\.(\d{2}|\d{4})\s*$)"));
    const auto m = muster.match(text);
    if (!m.hasMatch()) return std::nullopt;
    int jahr = m.captured(3).toInt();
    if (m.captured(3).size() == 2) jahr += jahr < 30 ? 2000 : 1900;  // the platform's century window
    const QDate d(jahr, m.captured(2).toInt(), m.captured(1).toInt());
    if (!d.isValid()) return std::nullopt;
    return d;
}

QString datumAlsText(const QDate& d) { return d.toString(QStringLiteral("dd.MM.yyyy")); }

namespace {

bool istZahlTyp(const QVariant& v) {
    switch (v.typeId()) {
    case QMetaType::Int: case QMetaType::UInt: case QMetaType::LongLong: case QMetaType::ULongLong:
    case QMetaType::Double: case QMetaType::Float: case QMetaType::Short: case QMetaType::UShort:
    case QMetaType::Bool: case QMetaType::Long: case QMetaType::ULong: case QMetaType::Char:
    case QMetaType::SChar: case QMetaType::UChar:
        return true;
    default:
        return false;
    }
}

double zahlOderFehler(const QVariant& v) {
    if (istNull(v)) fehlerWerfen(FehlerNr::NullUnzulaessig);
    if (istLeer(v)) return 0.0;
    if (v.typeId() == QMetaType::Bool) return v.toBool() ? -1.0 : 0.0;  // true is -1
    if (istZahlTyp(v)) return v.toDouble();
    if (v.typeId() == QMetaType::QString) {
        if (auto z = zahlAusText(v.toString())) return *z;
    }
    fehlerWerfen(FehlerNr::Typunvertraeglich);
}

template <typename T>
T ganzzahl(const QVariant& v) {
    const double gerundet = std::nearbyint(zahlOderFehler(v));  // default rounding: halves to even
    // Written so that NaN fails too (every comparison with it is false): casting it is undefined.
    if (!(gerundet >= std::numeric_limits<T>::min() && gerundet <= std::numeric_limits<T>::max()))
        fehlerWerfen(FehlerNr::Ueberlauf);
    return static_cast<T>(gerundet);
}

}  // namespace

qint16 alsInt16(const QVariant& v) { return ganzzahl<qint16>(v); }
qint32 alsInt32(const QVariant& v) { return ganzzahl<qint32>(v); }
double alsDouble(const QVariant& v) { return zahlOderFehler(v); }

QString alsText(const QVariant& v) {
    if (istNull(v)) fehlerWerfen(FehlerNr::NullUnzulaessig);
    if (istLeer(v)) return {};
    switch (v.typeId()) {
    case QMetaType::QString: return v.toString();
    case QMetaType::QDate: return datumAlsText(v.toDate());
    case QMetaType::QDateTime: return datumAlsText(v.toDateTime().date());
    case QMetaType::Bool: return v.toBool() ? QStringLiteral("Wahr") : QStringLiteral("Falsch");
    case QMetaType::Double: case QMetaType::Float:
        return deutsch().toString(v.toDouble(), 'g', 15);
    default:
        if (istZahlTyp(v)) return QString::number(v.toLongLong());
        fehlerWerfen(FehlerNr::Typunvertraeglich);
    }
}

namespace {

const QDate tagNull(1899, 12, 30);                         // the platform's date zero
constexpr double ersterTag = -657434, letzterTag = 2958465; // 1.1.100 and 31.12.9999

// A German or ISO date, each optionally followed by a valid time of day.
std::optional<QDate> datumMitZeitAusText(const QString& text) {
    static const QRegularExpression muster(QStringLiteral(
        R"(^\s*(?:(\d{1,2}\.\d{1,2}\.(?:\d{2}|\d{4}))|(\d{4}-\d{2}-\d{2}))(?:(?:T|\s+)(\d{1,2}):(\d{2})(?::(\d{2}))?)?\s*$)"));
    const auto m = muster.match(text);
    if (!m.hasMatch()) return std::nullopt;
    if (m.capturedLength(3) > 0 && !QTime::isValid(m.captured(3).toInt(), m.captured(4).toInt(), m.captured(5).toInt()))
        return std::nullopt;
    if (m.capturedLength(1) > 0) return datumAusText(m.captured(1));
    const QDate d = QDate::fromString(m.captured(2), Qt::ISODate);
    if (!d.isValid()) return std::nullopt;
    return d;
}

}  // namespace

QDate alsDatum(const QVariant& v) {
    if (istNull(v)) fehlerWerfen(FehlerNr::NullUnzulaessig);
    if (istLeer(v)) return tagNull;
    if (v.typeId() == QMetaType::QDate) return v.toDate();
    if (v.typeId() == QMetaType::QDateTime) return v.toDateTime().date();
    if (istZahlTyp(v)) {
        // The whole days count from the date zero; the fraction is the time of day, also
        // for days before it (-1.5 is 29.12.1899, 12:00).
        const double tage = std::trunc(zahlOderFehler(v));
        if (!std::isfinite(tage) || tage < ersterTag || tage > letzterTag) fehlerWerfen(FehlerNr::Ueberlauf);
        return tagNull.addDays(static_cast<qint64>(tage));
    }
    if (v.typeId() == QMetaType::QString) {
        if (auto d = datumMitZeitAusText(v.toString())) return *d;
    }
    fehlerWerfen(FehlerNr::Typunvertraeglich);
}

QVector<qint16> alsInt16Feld(const QVariant& v) {
    if (istNull(v)) fehlerWerfen(FehlerNr::NullUnzulaessig);
    if (v.typeId() == QMetaType::QString || v.typeId() == QMetaType::QByteArray ||
        !v.canConvert<QSequentialIterable>())
        fehlerWerfen(FehlerNr::Typunvertraeglich);
    QVector<qint16> feld;
    for (const QVariant& e : v.value<QSequentialIterable>()) {
        const bool gebrochen = e.typeId() == QMetaType::Double || e.typeId() == QMetaType::Float;
        if (gebrochen && std::isfinite(e.toDouble()) && e.toDouble() != std::trunc(e.toDouble()))
            fehlerWerfen(FehlerNr::Typunvertraeglich);
        feld << alsInt16(e);
    }
    return feld;
}

QString ohneBlanksRechts(const QString& text) {
    qsizetype n = text.size();
    while (n > 0 && text.at(n - 1) == QLatin1Char(' ')) --n;
    return text.left(n);
}

bool gleichZahl(const QVariant& v, double zahl) {
    if (istNull(v) || istLeer(v)) return false;
    if (istZahlTyp(v)) return v.toDouble() == zahl;
    if (v.typeId() == QMetaType::QString) {
        const auto z = zahlAusText(v.toString());
        return z && *z == zahl;
    }
    return false;
}

}  // namespace xov
