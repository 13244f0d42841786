#include "platform/sqlcipher/Dateisperre.h"

#include "platform/Fehler.h"

#include <QElapsedTimer>
#include <QFile>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace xov::sqlcipher {

Dateisperre::Ergebnis Dateisperre::sperren(const QString& pfad, bool exklusiv, int wartenMs) {
    freigeben();
    const QByteArray p = QFile::encodeName(pfad);
    QElapsedTimer uhr;
    uhr.start();
    for (;;) {
        // Without blocking: a FIFO at the path would wait for a writer for ever.
        const int fd = ::open(p.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
        if (fd < 0) return errno == ENOENT ? Ergebnis::Fehlt : errno == EISDIR ? Ergebnis::KeineDatei : Ergebnis::Unlesbar;
        struct stat art {};
        if (::fstat(fd, &art) != 0 || !S_ISREG(art.st_mode)) {
            ::close(fd);
            return Ergebnis::KeineDatei;
        }
        int rc;
        while ((rc = ::flock(fd, (exklusiv ? LOCK_EX : LOCK_SH) | LOCK_NB)) != 0 && errno == EWOULDBLOCK &&
               uhr.elapsed() < wartenMs)
            ::usleep(5000);
        if (rc != 0) {
            ::close(fd);
            return Ergebnis::Belegt;
        }
        struct stat gesperrt {}, jetzt {};
        if (::fstat(fd, &gesperrt) == 0 && ::stat(p.constData(), &jetzt) == 0 && gesperrt.st_dev == jetzt.st_dev &&
            gesperrt.st_ino == jetzt.st_ino) {
            m_fd = fd;
            return Ergebnis::Gehalten;
        }
        ::close(fd);  // replaced while we waited: lock the new file
        if (uhr.elapsed() >= wartenMs) return Ergebnis::Belegt;
    }
}

void Dateisperre::freigeben() {
    if (m_fd >= 0) ::close(m_fd);
    m_fd = -1;
}

bool Dateisperre::unverschluesselt() const {
    char kopf[16] = {};
    return m_fd >= 0 && ::pread(m_fd, kopf, sizeof kopf, 0) == sizeof kopf &&
           std::memcmp(kopf, "SQLite format 3", 16) == 0;
}

QString dateiArt(const QString& pfad, bool verknuepfungFolgen) {
    struct stat st {};
    const QByteArray p = QFile::encodeName(pfad);
    if ((verknuepfungFolgen ? ::stat(p.constData(), &st) : ::lstat(p.constData(), &st)) != 0) return {};
    if (S_ISREG(st.st_mode)) return {};
    if (S_ISDIR(st.st_mode)) return QStringLiteral("ein Ordner");
    if (S_ISFIFO(st.st_mode)) return QStringLiteral("eine benannte Pipe (FIFO)");
    if (S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode)) return QStringLiteral("ein Gerät");
    if (S_ISSOCK(st.st_mode)) return QStringLiteral("ein Socket");
    if (S_ISLNK(st.st_mode)) return QStringLiteral("eine symbolische Verknüpfung");
    return QStringLiteral("keine gewöhnliche Datei");
}

void keineDatenbankdatei(const QString& pfad, const QString& art) {
    throw Fehler(FehlerNr::FremdeDatei, QStringLiteral("%1 ist %2, keine Datenbankdatei; eine Datenbank ist immer eine gewöhnliche Datei")
                                            .arg(pfad, art.isEmpty() ? QStringLiteral("keine gewöhnliche Datei") : art));
}

}  // namespace xov::sqlcipher
