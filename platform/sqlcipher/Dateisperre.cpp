#include "platform/sqlcipher/Dateisperre.h"

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
        const int fd = ::open(p.constData(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) return errno == ENOENT ? Ergebnis::Fehlt : Ergebnis::Unlesbar;
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

}  // namespace xov::sqlcipher
