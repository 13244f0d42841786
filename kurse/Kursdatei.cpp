// Reading a rate file: only a regular file, a zip only with exactly one file in it, content in
// memory handed out like a file; which format the content is in decides its first character.

#include "kurse/Zufuhr.h"

#include "platform/Fehler.h"

#include <QFile>
#include <QLocale>
#include <QStringDecoder>
#include <zip.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace xov {
namespace kurslesen {

void unlesbar(const QString& text) { throw Fehler(FehlerNr::KursdateiUnlesbar, text); }

QString tausender(qint64 n) { return QLocale(QLocale::German, QLocale::Germany).toString(n); }

QByteArray Zufuhr::lesen() {    if (m_ende) return {};
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

}  // namespace kurslesen

using namespace kurslesen;

namespace {

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
    Zufuhr z = ausSpeicher(inhalt, name);
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
