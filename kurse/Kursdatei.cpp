#include "kurse/Kursdatei.h"

#include "platform/Fehler.h"

#include <QFile>
#include <QHash>
#include <QLocale>
#include <QStringDecoder>
#include <QXmlStreamReader>
#include <zip.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <memory>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace xov {

namespace {

[[noreturn]] void unlesbar(const QString& text) { throw Fehler(FehlerNr::KursdateiUnlesbar, text); }

QString tausender(qint64 n) { return QLocale(QLocale::German, QLocale::Germany).toString(n); }

constexpr qsizetype Blockgroesse = 64 * 1024;

// The bytes of a file or a zip entry, block by block, counted against the limits while they are
// read: a file is refused at the first byte past the content limit or the line limit, whatever
// size it claims.
class Zufuhr {
public:
    // Reads at most n bytes into the buffer; 0 at the end, -1 on a failure (then fehlertext()).
    using Quelle = std::function<qint64(char*, qint64)>;
    Zufuhr(Quelle quelle, std::function<QString()> fehlertext, QString name, bool gepackt = false)
        : m_quelle(std::move(quelle)), m_fehlertext(std::move(fehlertext)), m_name(std::move(name)), m_gepackt(gepackt) {}

    // The next block; empty at the end of the content.
    QByteArray block() {
        if (!m_vorrat.isEmpty()) return std::exchange(m_vorrat, {});
        return lesen();
    }
    // At least n bytes of the beginning (fewer only when the content is shorter), given again by block().
    const QByteArray& vorschau(qsizetype n) {
        while (m_vorrat.size() < n) {
            const QByteArray b = lesen();
            if (b.isEmpty()) break;
            m_vorrat += b;
        }
        return m_vorrat;
    }
    // Drops n bytes of the beginning seen through vorschau().
    void ueberspringen(qsizetype n) { m_vorrat.remove(0, n); }
    const QString& name() const { return m_name; }

private:
    QByteArray lesen() {
        if (m_ende) return {};
        QByteArray b(Blockgroesse, Qt::Uninitialized);
        const qint64 n = m_quelle(b.data(), b.size());
        if (n < 0) unlesbar(QStringLiteral("Die Datei %1 kann nicht vollständig gelesen werden (%2); nichts wurde eingelesen.").arg(m_name, m_fehlertext()));
        if (n == 0) {
            m_ende = true;
            return {};
        }
        b.truncate(n);
        m_gesamt += n;
        if (m_gesamt > Kursdateigrenze::Bytes)
            unlesbar(QStringLiteral("Die Datei %1 ist größer als %2 MB%3; so große Kursdateien veröffentlicht die Zentralbank "
                                    "nicht, nichts wurde eingelesen.")
                         .arg(m_name).arg(Kursdateigrenze::Bytes / (1024 * 1024))
                         .arg(m_gepackt ? QStringLiteral(" (ausgepackt)") : QString()));
        const qsizetype letztes = b.lastIndexOf('\n');
        m_zeilen += b.count('\n');
        m_seitZeilenende = letztes < 0 ? m_seitZeilenende + n : n - 1 - letztes;
        if (m_seitZeilenende > Kursdateigrenze::Zeile)
            unlesbar(QStringLiteral("%1, Zeile %2: die Zeile ist länger als %3 MB; keine Kursdatei der Zentralbank, nichts wurde eingelesen.")
                         .arg(m_name, tausender(m_zeilen)).arg(Kursdateigrenze::Zeile / (1024 * 1024)));
        return b;
    }

    Quelle m_quelle;
    std::function<QString()> m_fehlertext;
    QString m_name;
    QByteArray m_vorrat;
    qint64 m_gesamt = 0, m_zeilen = 1, m_seitZeilenende = 0;
    bool m_ende = false;
    bool m_gepackt = false;  // a zip entry: the limit counts the inflated bytes
};

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

enum class Kodierung { Utf8, Utf16LE, Utf16BE };

// The byte order mark decides the encoding; without one the file is UTF-8 (ASCII in practice).
Kodierung kodierungVon(const QByteArray& anfang) {
    if (anfang.startsWith("\xFF\xFE")) return Kodierung::Utf16LE;
    if (anfang.startsWith("\xFE\xFF")) return Kodierung::Utf16BE;
    return Kodierung::Utf8;
}

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

QVector<Tageskurse> csvLesen(Zufuhr& z, Kodierung kodierung) {
    const QString& name = z.name();
    Sammlung s(name);
    // UTF-16 is decoded block by block into UTF-8; the decoder keeps a character cut by a block end.
    std::optional<QStringDecoder> dekodierer;
    if (kodierung != Kodierung::Utf8)
        dekodierer.emplace(kodierung == Kodierung::Utf16LE ? QStringDecoder::Utf16LE : QStringDecoder::Utf16BE);
    QByteArray puffer;
    qsizetype pos = 0;
    qint64 nr = 0;
    const auto naechsteZeile = [&](QByteArrayView& zeile) {
        for (;;) {
            // Blank lines are skipped here, in one sweep (a file of nothing but newlines must not take long).
            while (pos < puffer.size() && puffer.at(pos) == '\n') {
                ++pos;
                ++nr;
            }
            const qsizetype e = puffer.indexOf('\n', pos);
            if (e >= 0) {
                zeile = QByteArrayView(puffer).sliced(pos, e - pos).trimmed();
                pos = e + 1;
                ++nr;
                return true;
            }
            QByteArray b = z.block();
            if (b.isEmpty()) {
                if (pos >= puffer.size()) return false;
                zeile = QByteArrayView(puffer).sliced(pos).trimmed();
                pos = puffer.size();
                ++nr;
                return true;
            }
            if (dekodierer) b = QString((*dekodierer)(b)).toUtf8();
            puffer.remove(0, pos);
            pos = 0;
            puffer += b;
        }
    };
    QVector<QByteArrayView> f;
    const auto felderVon = [&f](QByteArrayView zeile) {
        f.clear();
        for (qsizetype a = 0;;) {
            const qsizetype e = zeile.indexOf(',', a);
            f.append(zeile.sliced(a, (e < 0 ? zeile.size() : e) - a).trimmed());
            if (e < 0) break;
            a = e + 1;
        }
    };
    const auto stelle = [&] { return QStringLiteral("%1, Zeile %2").arg(name, tausender(nr)); };
    const auto text = [](QByteArrayView b) { return sichtbar(QString::fromUtf8(b)); };

    QByteArrayView zeile;
    do {
        if (!naechsteZeile(zeile)) unlesbar(QStringLiteral("Die Datei %1 ist leer.").arg(name));
    } while (zeile.isEmpty());
    felderVon(zeile);
    const qsizetype spalten = f.size();
    if (spalten < 2 || f.first().compare("Date", Qt::CaseInsensitive) != 0)
        unlesbar(QStringLiteral("%1: die Kopfzeile beginnt nicht mit \"Date\"; keine Kursdatei der Zentralbank.").arg(stelle()));
    if (spalten - 1 > Kursdateigrenze::Waehrungen + 1)
        unlesbar(QStringLiteral("%1: die Kopfzeile nennt mehr als %2 Währungen; keine Kursdatei der Zentralbank, nichts wurde eingelesen.")
                     .arg(stelle()).arg(Kursdateigrenze::Waehrungen));
    QStringList codes{QString()};  // one string per column, shared by every rate of the column
    for (qsizetype i = 1; i < spalten; ++i)
        codes << (f.at(i).isEmpty() ? QString() : s.code(QString::fromUtf8(f.at(i)), stelle()));

    while (naechsteZeile(zeile)) {
        if (zeile.isEmpty()) continue;
        felderVon(zeile);
        if (f.size() != spalten)
            unlesbar(QStringLiteral("%1: %2 statt %3 Felder; die Datei ist unvollständig oder beschädigt, nichts wurde eingelesen.")
                         .arg(stelle()).arg(f.size()).arg(spalten));
        const QDate d = QDate::fromString(QString::fromLatin1(f.first()), Qt::ISODate);
        if (!d.isValid() || f.first().size() != 10) unlesbar(QStringLiteral("%1: \"%2\" ist kein Datum.").arg(stelle(), text(f.first())));
        s.tag(d, stelle());
        for (qsizetype i = 1; i < spalten; ++i) {
            if (codes.at(i).isEmpty()) continue;  // the column after the trailing comma
            if (f.at(i).isEmpty() || f.at(i) == "N/A") continue;
            double kurs = 0;
            if (!xov::kursAusText(f.at(i), kurs))
                unlesbar(QStringLiteral("%1, Spalte %2: \"%3\" ist kein gültiger Kurs.").arg(stelle(), codes.at(i), text(f.at(i))));
            s.kurs(codes.at(i), kurs, stelle());
        }
    }
    return s.ergebnis();
}

// The content of a file or of the one file of a zip: XML when its first visible character is
// "<", CSV otherwise.
QVector<Tageskurse> inhaltLesen(Zufuhr& z) {
    const QByteArray& anfang = z.vorschau(4096);
    const Kodierung k = kodierungVon(anfang);
    if (anfang.startsWith("PK\x03\x04"))
        unlesbar(QStringLiteral("%1 ist ein Zip-Archiv in einem Zip-Archiv; erwartet ist die Kursdatei selbst.").arg(z.name()));
    const QString kopf = k == Kodierung::Utf16LE ? QStringDecoder(QStringDecoder::Utf16LE)(anfang.left(400))
                         : k == Kodierung::Utf16BE ? QStringDecoder(QStringDecoder::Utf16BE)(anfang.left(400))
                                                   : QStringDecoder(QStringDecoder::Utf8)(anfang.left(400));
    QStringView rest(kopf);
    if (rest.startsWith(QChar(0xFEFF))) rest = rest.sliced(1);
    if (rest.trimmed().startsWith(u'<')) return xmlLesen(z);
    // Spreadsheets and editors often save a UTF-8 byte order mark before the first line; the
    // UTF-16 decoder drops its own.
    if (k == Kodierung::Utf8 && anfang.startsWith("\xEF\xBB\xBF")) z.ueberspringen(3);
    return csvLesen(z, k);
}

using Archiv = std::unique_ptr<zip_t, decltype(&zip_discard)>;

// The one file inside a zip; a zip with several files (or none) is refused with their names, so
// that no file is taken in place of the one the user meant.
QVector<Tageskurse> zipLesen(zip_t* archiv, const QString& name) {
    const zip_int64_t anzahl = zip_get_num_entries(archiv, 0);
    QStringList namen;
    QVector<zip_uint64_t> dateien;
    for (zip_int64_t i = 0; i < anzahl; ++i) {
        const char* n = zip_get_name(archiv, static_cast<zip_uint64_t>(i), ZIP_FL_ENC_GUESS);
        const QString eintrag = n ? QString::fromUtf8(n) : QString();
        if (eintrag.endsWith(u'/')) continue;  // a folder
        if (namen.size() < 10) namen << QLatin1Char('"') + sichtbar(eintrag) + QLatin1Char('"');
        dateien.append(static_cast<zip_uint64_t>(i));
    }
    if (dateien.size() != 1) {
        QString liste = namen.join(QStringLiteral(", "));
        if (dateien.size() > namen.size()) liste += QStringLiteral(" und %1 weitere").arg(tausender(dateien.size() - namen.size()));
        unlesbar(dateien.isEmpty()
                     ? QStringLiteral("Das Zip-Archiv %1 enthält keine Datei; erwartet ist genau eine Kursdatei.").arg(name)
                     : QStringLiteral("Das Zip-Archiv %1 enthält %2 Dateien (%3); erwartet ist genau eine Kursdatei, nichts wurde eingelesen.")
                           .arg(name, tausender(dateien.size()), liste));
    }
    const QString eintrag = QString::fromUtf8(zip_get_name(archiv, dateien.first(), ZIP_FL_ENC_GUESS));
    std::unique_ptr<zip_file_t, decltype(&zip_fclose)> datei(zip_fopen_index(archiv, dateien.first(), 0), &zip_fclose);
    if (!datei)
        unlesbar(QStringLiteral("\"%1\" im Zip-Archiv %2 kann nicht ausgepackt werden (%3).")
                     .arg(sichtbar(eintrag), name, QString::fromUtf8(zip_strerror(archiv))));
    zip_file_t* f = datei.get();
    // The size the archive declares is only compared at the end, never trusted for memory: an
    // entry that inflates to another size than declared is damaged or forged.
    zip_stat_t st;
    zip_stat_init(&st);
    const bool mitGroesse = zip_stat_index(archiv, dateien.first(), 0, &st) == 0 && (st.valid & ZIP_STAT_SIZE);
    qint64 gelesen = 0;
    QString grund;
    Zufuhr z([&](char* ziel, qint64 n) -> qint64 {
        const zip_int64_t k = zip_fread(f, ziel, static_cast<zip_uint64_t>(n));
        if (k < 0) {
            grund = QString::fromUtf8(zip_file_strerror(f));
            return -1;
        }
        gelesen += k;
        if (k == 0 && mitGroesse && static_cast<zip_uint64_t>(gelesen) != st.size) {
            grund = QStringLiteral("ausgepackt %1 Bytes statt der angegebenen %2").arg(tausender(gelesen), tausender(qint64(st.size)));
            return -1;
        }
        return k;
    }, [&grund] { return grund; }, name + QStringLiteral(" (") + sichtbar(eintrag) + QLatin1Char(')'), true);
    return inhaltLesen(z);
}

QString artDerDatei(mode_t m) {
    if (S_ISDIR(m)) return QStringLiteral("ein Ordner");
    if (S_ISFIFO(m)) return QStringLiteral("eine benannte Pipe (FIFO)");
    if (S_ISCHR(m) || S_ISBLK(m)) return QStringLiteral("ein Gerät");
    if (S_ISSOCK(m)) return QStringLiteral("ein Socket");
    return QStringLiteral("keine gewöhnliche Datei");
}

QString systemfehler(int nummer) {
    switch (nummer) {
    case ENOENT: return QStringLiteral("sie ist nicht vorhanden");
    case EACCES: case EPERM: return QStringLiteral("keine Berechtigung");
    case ELOOP: return QStringLiteral("zu viele symbolische Verknüpfungen");
    default: return QString::fromLocal8Bit(std::strerror(nummer));
    }
}

}  // namespace

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

namespace {
// Content already in memory, handed out block by block like a file.
Zufuhr ausSpeicher(const QByteArray& inhalt, const QString& name) {
    auto pos = std::make_shared<qsizetype>(0);
    return Zufuhr([&inhalt, pos](char* ziel, qint64 n) {
        const qint64 k = std::min<qint64>(n, inhalt.size() - *pos);
        std::memcpy(ziel, inhalt.constData() + *pos, static_cast<size_t>(k));
        *pos += k;
        return k;
    }, [] { return QString(); }, sichtbar(name, 300));
}
}  // namespace

QVector<Tageskurse> kurseAusXml(const QByteArray& inhalt, const QString& name) {
    Zufuhr z = ausSpeicher(inhalt, name);
    return xmlLesen(z);
}

QVector<Tageskurse> kurseAusCsv(const QByteArray& inhalt, const QString& name) {
    Zufuhr z = ausSpeicher(inhalt, name);
    return csvLesen(z, Kodierung::Utf8);
}

QVector<Tageskurse> kurseAusInhalt(const QByteArray& inhalt, const QString& name) {
    const QString anzeige = sichtbar(name, 300);
    if (inhalt.startsWith("PK\x03\x04")) {
        zip_error_t fehler;
        zip_error_init(&fehler);
        zip_source_t* quelle = zip_source_buffer_create(inhalt.constData(), static_cast<zip_uint64_t>(inhalt.size()), 0, &fehler);
        zip_t* archiv = quelle ? zip_open_from_source(quelle, ZIP_RDONLY, &fehler) : nullptr;
        if (!archiv) {
            if (quelle) zip_source_free(quelle);
            const QString grund = QString::fromUtf8(zip_error_strerror(&fehler));
            zip_error_fini(&fehler);
            unlesbar(QStringLiteral("Die Datei %1 ist kein lesbares Zip-Archiv (%2).").arg(anzeige, grund));
        }
        zip_error_fini(&fehler);
        Archiv a(archiv, &zip_discard);
        return zipLesen(a.get(), anzeige);
    }
    qsizetype pos = 0;
    Zufuhr z([&](char* ziel, qint64 n) {
        const qint64 k = std::min<qint64>(n, inhalt.size() - pos);
        std::memcpy(ziel, inhalt.constData() + pos, static_cast<size_t>(k));
        pos += k;
        return k;
    }, [] { return QString(); }, anzeige);
    return inhaltLesen(z);
}

QVector<Tageskurse> kursdateiLesen(const QString& pfad) {
    const QString anzeige = sichtbar(pfad, 300);
    const QByteArray name = QFile::encodeName(pfad);
    // Only a regular file: a FIFO would wait for a writer for ever, a device never ends.
    struct stat st {};
    if (::stat(name.constData(), &st) != 0)
        unlesbar(QStringLiteral("Die Datei %1 kann nicht gelesen werden (%2).").arg(anzeige, systemfehler(errno)));
    if (!S_ISREG(st.st_mode))
        unlesbar(QStringLiteral("%1 ist %2, keine Kursdatei; Kurse werden nur aus einer gewöhnlichen Datei gelesen.").arg(anzeige, artDerDatei(st.st_mode)));
    // Without blocking, in case the path was replaced by a FIFO in between; checked again below.
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) unlesbar(QStringLiteral("Die Datei %1 kann nicht gelesen werden (%2).").arg(anzeige, systemfehler(errno)));
    struct Schliessen {
        int fd;
        ~Schliessen() { if (fd >= 0) ::close(fd); }
    } schliessen{fd};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))
        unlesbar(QStringLiteral("%1 ist %2, keine Kursdatei; Kurse werden nur aus einer gewöhnlichen Datei gelesen.").arg(anzeige, artDerDatei(st.st_mode)));

    char magie[4] = {};
    if (::pread(fd, magie, 4, 0) == 4 && std::memcmp(magie, "PK\x03\x04", 4) == 0) {
        int fehler = 0;
        zip_t* archiv = zip_fdopen(fd, ZIP_RDONLY, &fehler);
        if (!archiv) {
            zip_error_t e;
            zip_error_init_with_code(&e, fehler);
            const QString grund = QString::fromUtf8(zip_error_strerror(&e));
            zip_error_fini(&e);
            unlesbar(QStringLiteral("Die Datei %1 ist kein lesbares Zip-Archiv (%2).").arg(anzeige, grund));
        }
        schliessen.fd = -1;  // the archive owns it now
        Archiv a(archiv, &zip_discard);
        return zipLesen(a.get(), anzeige);
    }
    int letzterFehler = 0;
    Zufuhr z([fd, &letzterFehler](char* ziel, qint64 n) -> qint64 {
        for (;;) {
            const ssize_t k = ::read(fd, ziel, static_cast<size_t>(n));
            if (k >= 0) return k;
            if (errno != EINTR) {
                letzterFehler = errno;
                return -1;
            }
        }
    }, [&letzterFehler] { return systemfehler(letzterFehler); }, anzeige);
    return inhaltLesen(z);
}

}  // namespace xov
