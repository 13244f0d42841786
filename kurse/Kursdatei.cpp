#include "kurse/Kursdatei.h"

#include "platform/Fehler.h"

#include <QFile>
#include <QXmlStreamReader>
#include <zip.h>

#include <charconv>
#include <cmath>
#include <memory>

namespace xov {

namespace {

[[noreturn]] void unlesbar(const QString& text) { throw Fehler(FehlerNr::KursdateiUnlesbar, text); }

// A published rate: a plain decimal number greater than 0, as the file spells it.
bool kursAusText(QStringView text, double& kurs) {
    bool ok = false;
    kurs = text.toDouble(&ok);
    return ok && kurs > 0 && std::isfinite(kurs);
}

// The same for the bytes of a CSV field, without a detour through QString: the full history
// has more than a quarter of a million of them.
bool kursAusText(QByteArrayView text, double& kurs) {
    const char* ende = text.data() + text.size();
    const auto [stelle, fehler] = std::from_chars(text.data(), ende, kurs, std::chars_format::fixed);
    return fehler == std::errc() && stelle == ende && kurs > 0 && std::isfinite(kurs);
}

// The one CSV file inside the zip the central bank publishes it in.
QByteArray csvAusZip(const QString& pfad) {
    int fehler = 0;
    std::unique_ptr<zip_t, decltype(&zip_discard)> archiv(zip_open(QFile::encodeName(pfad).constData(), ZIP_RDONLY, &fehler),
                                                          &zip_discard);
    if (!archiv) unlesbar(QStringLiteral("Die Datei %1 ist kein lesbares Zip-Archiv (libzip-Fehler %2).").arg(pfad).arg(fehler));
    const zip_int64_t anzahl = zip_get_num_entries(archiv.get(), 0);
    for (zip_int64_t i = 0; i < anzahl; ++i) {
        zip_stat_t st;
        zip_stat_init(&st);
        if (zip_stat_index(archiv.get(), i, 0, &st) != 0 || !QString::fromUtf8(st.name).endsWith(QLatin1String(".csv"), Qt::CaseInsensitive))
            continue;
        std::unique_ptr<zip_file_t, decltype(&zip_fclose)> datei(zip_fopen_index(archiv.get(), i, 0), &zip_fclose);
        if (!datei) break;
        QByteArray inhalt(static_cast<qsizetype>(st.size), '\0');
        if (zip_fread(datei.get(), inhalt.data(), st.size) != static_cast<zip_int64_t>(st.size))
            unlesbar(QStringLiteral("%1 im Zip-Archiv %2 ist beschädigt oder unvollständig.").arg(QString::fromUtf8(st.name), pfad));
        return inhalt;
    }
    unlesbar(QStringLiteral("Das Zip-Archiv %1 enthält keine lesbare CSV-Datei mit Kursen.").arg(pfad));
}

}  // namespace

QVector<Tageskurse> kurseAusXml(const QByteArray& inhalt, const QString& name) {
    QVector<Tageskurse> tage;
    QXmlStreamReader xml(inhalt);
    const auto stelle = [&] { return QStringLiteral("%1, Zeile %2").arg(name).arg(xml.lineNumber()); };
    bool inTag = false;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isEndElement() && xml.name() == QLatin1String("Cube") && inTag && xml.attributes().isEmpty()) continue;
        if (!xml.isStartElement() || xml.name() != QLatin1String("Cube")) continue;
        const auto attr = xml.attributes();
        if (attr.hasAttribute(QLatin1String("time"))) {
            const QDate d = QDate::fromString(attr.value(QLatin1String("time")).toString(), Qt::ISODate);
            if (!d.isValid())
                unlesbar(QStringLiteral("%1: Element Cube mit ungültigem Datum \"%2\".").arg(stelle(), attr.value(QLatin1String("time"))));
            tage.append(Tageskurse{d, {}});
            inTag = true;
        } else if (attr.hasAttribute(QLatin1String("currency"))) {
            const QString code = attr.value(QLatin1String("currency")).toString().trimmed().toUpper();
            double kurs = 0;
            if (tage.isEmpty())
                unlesbar(QStringLiteral("%1: Element Cube mit Währung %2 steht vor jedem Datum.").arg(stelle(), code));
            if (code.size() != 3 || !kursAusText(attr.value(QLatin1String("rate")), kurs))
                unlesbar(QStringLiteral("%1: Element Cube currency=\"%2\" rate=\"%3\" ist kein gültiger Kurs.")
                             .arg(stelle(), code, attr.value(QLatin1String("rate"))));
            tage.last().kurse.append({code, kurs});
        }
    }
    if (xml.hasError())
        unlesbar(QStringLiteral("%1: die XML-Datei ist fehlerhaft oder bricht ab (%2); nichts wurde eingelesen.")
                     .arg(stelle(), xml.errorString()));
    if (tage.isEmpty()) unlesbar(QStringLiteral("Die Datei %1 enthält keine Kurse (kein Element Cube mit time).").arg(name));
    return tage;
}

QVector<Tageskurse> kurseAusCsv(const QByteArray& inhalt, const QString& name) {
    QVector<Tageskurse> tage;
    QList<QByteArrayView> zeilen;
    for (qsizetype a = 0; a < inhalt.size();) {
        qsizetype e = inhalt.indexOf('\n', a);
        if (e < 0) e = inhalt.size();
        zeilen.append(QByteArrayView(inhalt).sliced(a, e - a).trimmed());
        a = e + 1;
    }
    while (!zeilen.isEmpty() && zeilen.last().isEmpty()) zeilen.removeLast();
    if (zeilen.isEmpty()) unlesbar(QStringLiteral("Die Datei %1 ist leer.").arg(name));
    QVector<QByteArrayView> f;
    const auto felderVon = [&f](QByteArrayView z) {
        f.clear();
        for (qsizetype a = 0;;) {
            const qsizetype e = z.indexOf(',', a);
            f.append(z.sliced(a, (e < 0 ? z.size() : e) - a).trimmed());
            if (e < 0) break;
            a = e + 1;
        }
    };
    felderVon(zeilen.first());
    QStringList codes;  // one string per column, shared by every rate of the column
    for (QByteArrayView k : f) codes << QString::fromLatin1(k).toUpper();
    const qsizetype spalten = f.size();
    if (spalten < 2 || codes.first() != QLatin1String("DATE"))
        unlesbar(QStringLiteral("%1, Zeile 1: die Kopfzeile beginnt nicht mit \"Date\"; keine Kursdatei der Zentralbank.").arg(name));
    tage.reserve(zeilen.size() - 1);
    for (qsizetype i = 1; i < zeilen.size(); ++i) {
        felderVon(zeilen.at(i));
        const auto stelle = [&] { return QStringLiteral("%1, Zeile %2").arg(name).arg(i + 1); };
        if (f.size() != spalten)
            unlesbar(QStringLiteral("%1: %2 statt %3 Felder; die Datei ist unvollständig oder beschädigt, nichts wurde eingelesen.")
                         .arg(stelle()).arg(f.size()).arg(spalten));
        const QDate d = QDate::fromString(QString::fromLatin1(f.first()), Qt::ISODate);
        if (!d.isValid()) unlesbar(QStringLiteral("%1: \"%2\" ist kein Datum.").arg(stelle(), QString::fromLatin1(f.first())));
        Tageskurse tag{d, {}};
        tag.kurse.reserve(spalten);
        for (qsizetype s = 1; s < spalten; ++s) {
            if (codes.at(s).isEmpty()) continue;  // the column after the trailing comma
            if (f.at(s).isEmpty() || f.at(s) == "N/A") continue;
            double kurs = 0;
            if (!kursAusText(f.at(s), kurs))
                unlesbar(QStringLiteral("%1, Spalte %2: \"%3\" ist kein gültiger Kurs.").arg(stelle(), codes.at(s), QString::fromLatin1(f.at(s))));
            tag.kurse.append({codes.at(s), kurs});
        }
        tage.append(std::move(tag));
    }
    return tage;
}

QVector<Tageskurse> kursdateiLesen(const QString& pfad) {
    QFile f(pfad);
    if (!f.open(QIODevice::ReadOnly)) unlesbar(QStringLiteral("Die Datei %1 kann nicht gelesen werden (%2).").arg(pfad, f.errorString()));
    const QByteArray anfang = f.peek(4);
    if (anfang.startsWith("PK\x03\x04")) {
        f.close();
        QByteArray csv = csvAusZip(pfad);
        if (csv.startsWith("\xEF\xBB\xBF")) csv.remove(0, 3);
        return kurseAusCsv(csv, pfad);
    }
    QByteArray inhalt = f.readAll();
    // Files saved by spreadsheets and editors often begin with a UTF-8 byte order mark.
    if (inhalt.startsWith("\xEF\xBB\xBF")) inhalt.remove(0, 3);
    const QByteArray kopf = inhalt.left(200).trimmed();
    if (kopf.startsWith('<')) return kurseAusXml(inhalt, pfad);
    return kurseAusCsv(inhalt, pfad);
}

}  // namespace xov
