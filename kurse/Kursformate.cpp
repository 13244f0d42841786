// The two formats of the central bank's rate files: the XML of Cube elements and the CSV of one
// line per day. Both readers collect into one Sammlung, which holds the limits and checks they
// share.

#include "kurse/Zufuhr.h"

#include <QHash>
#include <QStringDecoder>
#include <QXmlStreamReader>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <optional>

namespace xov {
namespace kurslesen {
namespace {

// What the reader of either format collects, with the limits and checks both share.
class Sammlung {
public:
    explicit Sammlung(QString name) : m_name(std::move(name)), m_spaetestens(QDate::currentDate().addYears(1)) {}

    void tag(const QDate& d, const QString& stelle) {
        if (d < Fruehestens || d > m_spaetestens)
            unlesbar(QStringLiteral("%1: das Datum %2 liegt nicht zwischen dem 01.01.1999 und dem %3; die Zentralbank veröffentlicht "
                                    "nur Kurse dieser Tage, nichts wurde eingelesen.")
                         .arg(stelle, d.toString(QStringLiteral("dd.MM.yyyy")), m_spaetestens.toString(QStringLiteral("dd.MM.yyyy"))));
        if (m_tage.size() >= Kursdateigrenze::Tage)
            unlesbar(QStringLiteral("%1: die Datei enthält mehr als %2 Tage; keine Kursdatei der Zentralbank, nichts wurde eingelesen.")
                         .arg(stelle, tausender(Kursdateigrenze::Tage)));
        m_tage.append(Tageskurse{d, {}});
    }
    // The code as one shared string per currency of the file.
    QString code(QStringView text, const QString& stelle) {
        const QString c = text.trimmed().toString().toUpper();
        if (const auto it = m_codes.constFind(c); it != m_codes.constEnd()) return *it;
        const bool dreiBuchstaben = c.size() == 3 && std::all_of(c.begin(), c.end(), [](QChar z) { return z >= u'A' && z <= u'Z'; });
        if (!dreiBuchstaben)
            unlesbar(QStringLiteral("%1: \"%2\" ist kein Währungscode aus drei Buchstaben; nichts wurde eingelesen.").arg(stelle, sichtbar(text)));
        if (m_codes.size() >= Kursdateigrenze::Waehrungen)
            unlesbar(QStringLiteral("%1: die Datei nennt mehr als %2 Währungen; keine Kursdatei der Zentralbank, nichts wurde eingelesen.")
                         .arg(stelle).arg(Kursdateigrenze::Waehrungen));
        m_codes.insert(c, c);
        return c;
    }
    void kurs(const QString& code, double kurs, const QString& stelle) {
        if (++m_kurse > Kursdateigrenze::Kurse)
            unlesbar(QStringLiteral("%1: die Datei enthält mehr als %2 Kurse; keine Kursdatei der Zentralbank, nichts wurde eingelesen.")
                         .arg(stelle, tausender(Kursdateigrenze::Kurse)));
        m_tage.last().kurse.append({code, kurs});
    }
    bool ohneTag() const { return m_tage.isEmpty(); }
    QVector<Tageskurse> ergebnis() {
        if (m_kurse == 0) unlesbar(QStringLiteral("Die Datei %1 enthält keinen einzigen Kurs; nichts wurde eingelesen.").arg(m_name));
        return std::move(m_tage);
    }

private:
    const QDate Fruehestens{1999, 1, 1};
    QString m_name;
    QDate m_spaetestens;
    QVector<Tageskurse> m_tage;
    QHash<QString, QString> m_codes;
    qint64 m_kurse = 0;
};

bool kursAusText(QStringView text, double& kurs) {
    const QStringView t = text.trimmed();
    if (t.size() > 40) return false;
    char bytes[40];
    for (qsizetype i = 0; i < t.size(); ++i) {
        if (t[i].unicode() > 0x7F) return false;
        bytes[i] = static_cast<char>(t[i].unicode());
    }
    return xov::kursAusText(QByteArrayView(bytes, t.size()), kurs);
}

}  // namespace

QVector<Tageskurse> xmlLesen(Zufuhr& z) {
    const QString& name = z.name();
    Sammlung s(name);
    QXmlStreamReader xml;  // takes the encoding from the byte order mark or the declaration
    const auto stelle = [&] { return QStringLiteral("%1, Zeile %2").arg(name).arg(xml.lineNumber()); };
    bool ende = false;
    for (;;) {
        xml.readNext();
        if (xml.error() == QXmlStreamReader::PrematureEndOfDocumentError && !ende) {
            const QByteArray b = z.block();
            if (b.isEmpty())
                ende = true;
            else
                xml.addData(b);
            // Once more: at the end of the content the same token gives the real error.
            continue;
        }
        if (xml.hasError() || xml.atEnd()) break;
        if (!xml.isStartElement() || xml.name() != QLatin1String("Cube")) continue;
        const auto attr = xml.attributes();
        if (attr.hasAttribute(QLatin1String("time"))) {
            const QStringView zeit = attr.value(QLatin1String("time"));
            const QDate d = QDate::fromString(zeit.toString(), Qt::ISODate);
            if (!d.isValid()) unlesbar(QStringLiteral("%1: Element Cube mit ungültigem Datum \"%2\".").arg(stelle(), sichtbar(zeit)));
            s.tag(d, stelle());
        } else if (attr.hasAttribute(QLatin1String("currency"))) {
            const QStringView rate = attr.value(QLatin1String("rate"));
            if (s.ohneTag())
                unlesbar(QStringLiteral("%1: Element Cube mit Währung %2 steht vor jedem Datum.")
                             .arg(stelle(), sichtbar(attr.value(QLatin1String("currency")))));
            const QString code = s.code(attr.value(QLatin1String("currency")), stelle());
            double kurs = 0;
            if (!kursAusText(rate, kurs))
                unlesbar(QStringLiteral("%1: Element Cube currency=\"%2\" rate=\"%3\" ist kein gültiger Kurs.").arg(stelle(), code, sichtbar(rate)));
            s.kurs(code, kurs, stelle());
        }
    }
    if (xml.hasError())
        unlesbar(QStringLiteral("%1: die XML-Datei ist fehlerhaft oder bricht ab (%2); nichts wurde eingelesen.").arg(stelle(), xml.errorString()));
    if (s.ohneTag()) unlesbar(QStringLiteral("Die Datei %1 enthält keine Kurse (kein Element Cube mit time).").arg(name));
    return s.ergebnis();
}

namespace {

// The lines of a CSV content, decoded to UTF-8 (UTF-16 block by block; the decoder keeps a
// character cut by a block end), each trimmed, with its number for messages.
class Zeilenleser {
public:
    Zeilenleser(Zufuhr& z, Kodierung kodierung) : m_z(z) {
        if (kodierung != Kodierung::Utf8)
            m_dekodierer.emplace(kodierung == Kodierung::Utf16LE ? QStringDecoder::Utf16LE : QStringDecoder::Utf16BE);
    }
    // The next line, false at the end; blank lines are skipped here in one sweep (a file of
    // nothing but newlines must not take long), but a line of blanks comes back empty.
    bool naechste(QByteArrayView& zeile) {
        for (;;) {
            while (m_pos < m_puffer.size() && m_puffer.at(m_pos) == '\n') {
                ++m_pos;
                ++m_nr;
            }
            const qsizetype e = m_puffer.indexOf('\n', m_pos);
            if (e >= 0) return nehmen(zeile, e, e + 1);
            QByteArray b = m_z.block();
            if (b.isEmpty()) return m_pos < m_puffer.size() && nehmen(zeile, m_puffer.size(), m_puffer.size());
            if (m_dekodierer) b = QString((*m_dekodierer)(b)).toUtf8();
            m_puffer.remove(0, m_pos);
            m_pos = 0;
            m_puffer += b;
        }
    }
    QString stelle() const { return QStringLiteral("%1, Zeile %2").arg(m_z.name(), tausender(m_nr)); }

private:
    bool nehmen(QByteArrayView& zeile, qsizetype ende, qsizetype weiter) {
        zeile = QByteArrayView(m_puffer).sliced(m_pos, ende - m_pos).trimmed();
        m_pos = weiter;
        ++m_nr;
        return true;
    }
    Zufuhr& m_z;
    std::optional<QStringDecoder> m_dekodierer;
    QByteArray m_puffer;
    qsizetype m_pos = 0;
    qint64 m_nr = 0;
};

// The comma-separated fields of a line, each trimmed.
void felderVon(QByteArrayView zeile, QVector<QByteArrayView>& f) {
    f.clear();
    for (qsizetype a = 0;;) {
        const qsizetype e = zeile.indexOf(',', a);
        f.append(zeile.sliced(a, (e < 0 ? zeile.size() : e) - a).trimmed());
        if (e < 0) break;
        a = e + 1;
    }
}

QString text(QByteArrayView b) { return sichtbar(QString::fromUtf8(b)); }

// The header "Date,USD,JPY,...,": one shared code string per column, empty for the column after
// the trailing comma.
QStringList kopfLesen(Zeilenleser& zeilen, Sammlung& s, const QString& name) {
    QByteArrayView zeile;
    do {
        if (!zeilen.naechste(zeile)) unlesbar(QStringLiteral("Die Datei %1 ist leer.").arg(name));
    } while (zeile.isEmpty());
    QVector<QByteArrayView> f;
    felderVon(zeile, f);
    if (f.size() < 2 || f.first().compare("Date", Qt::CaseInsensitive) != 0)
        unlesbar(QStringLiteral("%1: die Kopfzeile beginnt nicht mit \"Date\"; keine Kursdatei der Zentralbank.").arg(zeilen.stelle()));
    if (f.size() - 1 > Kursdateigrenze::Waehrungen + 1)
        unlesbar(QStringLiteral("%1: die Kopfzeile nennt mehr als %2 Währungen; keine Kursdatei der Zentralbank, nichts wurde eingelesen.")
                     .arg(zeilen.stelle()).arg(Kursdateigrenze::Waehrungen));
    QStringList codes{QString()};
    for (qsizetype i = 1; i < f.size(); ++i)
        codes << (f.at(i).isEmpty() ? QString() : s.code(QString::fromUtf8(f.at(i)), zeilen.stelle()));
    return codes;
}

}  // namespace

QVector<Tageskurse> csvLesen(Zufuhr& z, Kodierung kodierung) {
    Sammlung s(z.name());
    Zeilenleser zeilen(z, kodierung);
    const QStringList codes = kopfLesen(zeilen, s, z.name());
    const qsizetype spalten = codes.size();
    QVector<QByteArrayView> f;
    QByteArrayView zeile;
    while (zeilen.naechste(zeile)) {
        if (zeile.isEmpty()) continue;
        felderVon(zeile, f);
        const QString stelle = zeilen.stelle();
        if (f.size() != spalten)
            unlesbar(QStringLiteral("%1: %2 statt %3 Felder; die Datei ist unvollständig oder beschädigt, nichts wurde eingelesen.")
                         .arg(stelle).arg(f.size()).arg(spalten));
        const QDate d = QDate::fromString(QString::fromLatin1(f.first()), Qt::ISODate);
        if (!d.isValid() || f.first().size() != 10) unlesbar(QStringLiteral("%1: \"%2\" ist kein Datum.").arg(stelle, text(f.first())));
        s.tag(d, stelle);
        for (qsizetype i = 1; i < spalten; ++i) {
            if (codes.at(i).isEmpty() || f.at(i).isEmpty() || f.at(i) == "N/A") continue;
            double kurs = 0;
            if (!xov::kursAusText(f.at(i), kurs))
                unlesbar(QStringLiteral("%1, Spalte %2: \"%3\" ist kein gültiger Kurs.").arg(stelle, codes.at(i), text(f.at(i))));
            s.kurs(codes.at(i), kurs, stelle);
        }
    }
    return s.ergebnis();
}

}  // namespace kurslesen

bool kursAusText(QByteArrayView text, double& kurs) {
    if (text.isEmpty() || text.size() > 40) return false;
    qsizetype i = 0;
    const auto ziffern = [&] {
        const qsizetype a = i;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i;
        return i > a;
    };
    if (!ziffern()) return false;
    if (i < text.size() && text[i] == '.') {
        ++i;
        if (!ziffern()) return false;
    }
    if (i != text.size()) return false;
    const auto [stelle, fehler] = std::from_chars(text.data(), text.data() + text.size(), kurs, std::chars_format::fixed);
    return fehler == std::errc() && stelle == text.data() + text.size() && kurs > 0 && std::isfinite(kurs);
}

QString sichtbar(QStringView text, qsizetype hoechstens) {
    QString s;
    qsizetype zeichen = 0;
    for (qsizetype i = 0; i < text.size(); ++i, ++zeichen) {
        if (zeichen >= hoechstens) {
            s += QChar(0x2026);
            break;
        }
        const QChar c = text[i];
        const char16_t u = c.unicode();
        if (u < 0x20 || (u >= 0x7F && u < 0xA0))
            s += QStringLiteral("\\x") + QString::number(u, 16).toUpper().rightJustified(2, u'0');
        else if (c.isSurrogate() || (!c.isPrint() && u != ' '))
            s += QStringLiteral("\\u") + QString::number(u, 16).toUpper().rightJustified(4, u'0');
        else
            s += c;
    }
    return s;
}

}  // namespace xov
