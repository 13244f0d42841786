#pragma once
// Inside the rate file reader: the bytes of a file or a zip entry handed out block by block and
// counted against the limits, and the readers of the two formats.

#include "kurse/Kursdatei.h"

#include <QString>
#include <functional>
#include <utility>

namespace xov::kurslesen {

[[noreturn]] void unlesbar(const QString& text);
// A count with German thousands separators, for messages.
QString tausender(qint64 n);

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
    QByteArray lesen();

    Quelle m_quelle;
    std::function<QString()> m_fehlertext;
    QString m_name;
    QByteArray m_vorrat;
    qint64 m_gesamt = 0, m_zeilen = 1, m_seitZeilenende = 0;
    bool m_ende = false;
    bool m_gepackt = false;  // a zip entry: the limit counts the inflated bytes
};

enum class Kodierung { Utf8, Utf16LE, Utf16BE };
// The byte order mark decides the encoding; without one the file is UTF-8 (ASCII in practice).
inline Kodierung kodierungVon(const QByteArray& anfang) {
    if (anfang.startsWith("\xFF\xFE")) return Kodierung::Utf16LE;
    if (anfang.startsWith("\xFE\xFF")) return Kodierung::Utf16BE;
    return Kodierung::Utf8;
}

QVector<Tageskurse> xmlLesen(Zufuhr& z);
QVector<Tageskurse> csvLesen(Zufuhr& z, Kodierung kodierung);

}  // namespace xov::kurslesen
