// The values of the change log: each stored as its type name and an exact text, so that the
// entry shows what was stored (a number as every stored digit, a date as a date) and the value
// can be read back as it was.

#include "platform/Aenderungsprotokoll.h"
#include "platform/Variant.h"

#include <QDateTime>
#include <QLocale>

namespace xov {

QString klartext(const QVariant& v) { return istNull(v) || istLeer(v) ? QString() : v.toString(); }

QString wertTyp(const QVariant& v) {
    if (istNull(v) || istLeer(v)) return QStringLiteral("Null");
    switch (v.typeId()) {
    case QMetaType::Bool: return QStringLiteral("Wahrheitswert");
    case QMetaType::Int: case QMetaType::Short: case QMetaType::LongLong: case QMetaType::UInt: case QMetaType::Long:
    case QMetaType::UShort: case QMetaType::ULongLong:
        return QStringLiteral("Ganzzahl");
    case QMetaType::Double: case QMetaType::Float: return QStringLiteral("Zahl");
    case QMetaType::QDate: return QStringLiteral("Datum");
    case QMetaType::QDateTime: return QStringLiteral("Zeitpunkt");
    case QMetaType::QByteArray: return QStringLiteral("Bytes");
    default: return QStringLiteral("Text");
    }
}

QVariant wertText(const QVariant& v) {
    const QString typ = wertTyp(v);
    if (typ == QLatin1String("Null")) return nullWert();
    if (typ == QLatin1String("Wahrheitswert")) return v.toBool() ? QStringLiteral("wahr") : QStringLiteral("falsch");
    if (typ == QLatin1String("Ganzzahl")) return QString::number(v.toLongLong());
    // Every bit of the number: the shortest text that reads back as the same double.
    if (typ == QLatin1String("Zahl")) return QString::number(v.toDouble(), 'g', QLocale::FloatingPointShortest);
    if (typ == QLatin1String("Datum")) return v.toDate().toString(Qt::ISODate);
    if (typ == QLatin1String("Zeitpunkt")) return v.toDateTime().toString(Qt::ISODateWithMs);
    if (typ == QLatin1String("Bytes")) return QString::fromLatin1(v.toByteArray().toHex());
    return v.toString();
}

QString wertAnzeige(const QVariant& typVariant, const QVariant& textVariant) {
    const QString typ = klartext(typVariant), text = klartext(textVariant);
    if (typ.isEmpty() || typ == QLatin1String("Null")) return QStringLiteral("(kein Wert)");
    if (typ == QLatin1String("Zahl")) {
        QString t = text;
        if (!t.contains(QLatin1Char('e')) && !t.contains(QLatin1Char('n'))) t.replace(QLatin1Char('.'), QLatin1Char(','));
        return t;
    }
    if (typ == QLatin1String("Datum")) {
        const QDate d = QDate::fromString(text, Qt::ISODate);
        return d.isValid() ? d.toString(QStringLiteral("dd.MM.yyyy")) : text;
    }
    if (typ == QLatin1String("Zeitpunkt")) return zeitpunktAnzeige(text);
    if (typ == QLatin1String("Ganzzahl") || typ == QLatin1String("Wahrheitswert")) return text;
    if (typ == QLatin1String("Bytes")) return QStringLiteral("Bytes ") + text;
    return QLatin1Char('"') + text + QLatin1Char('"');
}

QString zeitpunktAnzeige(const QVariant& zeitpunkt) {
    const QDateTime z = QDateTime::fromString(klartext(zeitpunkt), Qt::ISODateWithMs);
    return z.isValid() ? z.toLocalTime().toString(QStringLiteral("dd.MM.yyyy HH:mm:ss")) : klartext(zeitpunkt);
}

bool gleichGespeichert(const QVariant& a, const QVariant& b) {
    return wertTyp(a) == wertTyp(b) && wertText(a) == wertText(b);
}

QString schluesselText(const QStringList& spalten, const QVariantList& werte) {
    QStringList teile;
    for (int i = 0; i < spalten.size() && i < werte.size(); ++i)
        teile << spalten.at(i) + QLatin1Char('=') + klartext(wertText(werte.at(i)));
    return teile.join(QStringLiteral(", "));
}

}  // namespace xov
