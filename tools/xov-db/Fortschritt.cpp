#include "tools/xov-db/Fortschritt.h"

#include <QDateTime>
#include <QLocale>
#include <cstdio>
#include <unistd.h>

namespace xovdb {

Fortschrittszeile::Fortschrittszeile(QString was, QString einheit)
    : m_was(std::move(was)), m_einheit(std::move(einheit)), m_terminal(isatty(STDERR_FILENO) == 1) {}

Fortschrittszeile::~Fortschrittszeile() {
    if (m_gezeigt) std::fputs("\n", stderr);
}

bool Fortschrittszeile::zeigen(qint64 erledigt, qint64 gesamt) {
    if (!m_terminal) return true;
    const qint64 jetzt = QDateTime::currentMSecsSinceEpoch();
    if (erledigt < gesamt && m_zuletzt >= 0 && jetzt - m_zuletzt < 200) return true;
    m_zuletzt = jetzt;
    const QLocale de(QLocale::German, QLocale::Germany);
    // The line is cleared to its end, so that a shorter count leaves nothing of a longer one.
    const QString zeile = QStringLiteral("\r%1: %2 von %3 %4\x1b[K").arg(m_was, de.toString(erledigt), de.toString(gesamt), m_einheit);
    std::fputs(zeile.toLocal8Bit().constData(), stderr);
    std::fflush(stderr);
    m_gezeigt = true;
    return true;
}

}  // namespace xovdb
