// Creating database files. A new file is created exclusively, never through a symbolic link; an
// all-or-nothing creation (the tools) grows under a temporary name beside its path and is put in
// place only when complete, never over a file that appeared there meanwhile.

#include "platform/sqlcipher/SqlCipher.h"
#include "platform/sqlcipher/Dateisperre.h"
#include "platform/sqlcipher/Fehlerabbildung.h"
#include "platform/Fehler.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

namespace xov::sqlcipher {
namespace {

// A new database file: created here, exclusively and never through a symbolic link, so that it
// appears exactly at the path named and nothing that stands there is taken over or followed.
void neueDateiAnlegen(const QString& pfad) {
    const QString art = dateiArt(pfad, false);
    if (QFileInfo(pfad).isSymLink())
        throw Fehler(FehlerNr::DateiVorhanden, QStringLiteral("%1 ist eine symbolische Verknüpfung; eine neue Datenbank wird nie über "
                                                              "eine Verknüpfung angelegt, sondern nur als gewöhnliche Datei").arg(pfad));
    if (!art.isEmpty()) keineDatenbankdatei(pfad, art);
    const int fd = ::open(QFile::encodeName(pfad).constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);  // the umask decides, as for any new file
    if (fd >= 0) {
        ::close(fd);
        return;
    }
    const int nr = errno;
    if (nr == EEXIST) fehlerWerfen(FehlerNr::DateiVorhanden, pfad);
    const QString ordner = QFileInfo(pfad).absolutePath();
    if (nr == EACCES || nr == EPERM || nr == EROFS)
        throw Fehler(FehlerNr::KeineBerechtigung, QStringLiteral("Im Ordner %1 kann keine Datei angelegt werden (%2); die Datenbank %3 "
                                                                 "wurde nicht angelegt")
                                                      .arg(ordner, nr == EROFS ? QStringLiteral("nur lesbares Dateisystem")
                                                                               : QStringLiteral("keine Schreibberechtigung"),
                                                           pfad));
    if (nr == ENOENT || nr == ENOTDIR) fehlerWerfen(FehlerNr::DateiNichtGefunden, QStringLiteral("den Ordner %1 gibt es nicht").arg(ordner));
    throw Fehler(FehlerNr::NichtOeffenbar,
                 QStringLiteral("Die Datei %1 kann nicht angelegt werden (%2)").arg(pfad, QString::fromLocal8Bit(std::strerror(nr))));
}

struct Anlagen {
    bool alsGanzes = false;
    QHash<QString, QString> arbeitsdatei;  // absolute path -> the temporary file beside it
};

Anlagen& anlagen() {
    static Anlagen a;
    return a;
}

QString absolut(const QString& pfad) { return QFileInfo(pfad).absoluteFilePath(); }

// Temporary files of creations whose process no longer runs (killed): never a database of
// anyone, so they go.
void verwaisteEntfernen(const QString& pfad) {
    const QFileInfo ziel(pfad);
    const QString muster = QLatin1Char('.') + ziel.fileName() + QStringLiteral(".xov-neu-");
    QDir ordner = ziel.absoluteDir();
    for (const QString& name : ordner.entryList({muster + QLatin1Char('*')}, QDir::Files | QDir::Hidden | QDir::System)) {
        const QString rest = name.mid(muster.size()).section(QLatin1Char('-'), 0, 0);
        bool ok = false;
        const pid_t pid = static_cast<pid_t>(rest.toLongLong(&ok));
        if (ok && pid > 0 && ::kill(pid, 0) != 0 && errno == ESRCH) QFile::remove(ordner.filePath(name));
    }
}

void entfernenMitJournal(const QString& datei) {
    QFile::remove(datei);
    QFile::remove(datei + QStringLiteral("-journal"));
}

}  // namespace

std::shared_ptr<Verbindung> oeffnen(const Verbindungsangabe& angabe, bool anlegen) {
    Anlagen& a = anlagen();
    const QString ziel = absolut(angabe.datei);
    if (anlegen && a.alsGanzes) {
        // The path itself must be free; the file grows under a temporary name beside it.
        const QString art = dateiArt(angabe.datei, false);
        if (QFileInfo(angabe.datei).isSymLink() || !art.isEmpty() || QFileInfo::exists(angabe.datei)) neueDateiAnlegen(angabe.datei);
        verwaisteEntfernen(ziel);
        const QFileInfo z(ziel);
        const QString arbeit = z.absolutePath() + QStringLiteral("/.") + z.fileName() + QStringLiteral(".xov-neu-") +
                               QString::number(::getpid());
        entfernenMitJournal(arbeit);
        neueDateiAnlegen(arbeit);
        a.arbeitsdatei.insert(ziel, arbeit);
        try {
            return dateiVerbindung(arbeit, angabe.passwort, true);
        } catch (...) {
            a.arbeitsdatei.remove(ziel);
            entfernenMitJournal(arbeit);
            throw;
        }
    }
    if (const auto it = a.arbeitsdatei.constFind(ziel); it != a.arbeitsdatei.constEnd())
        return dateiVerbindung(*it, angabe.passwort, false);
    if (anlegen) neueDateiAnlegen(angabe.datei);
    return dateiVerbindung(angabe.datei, angabe.passwort, anlegen);
}

void anlagenAlsGanzes(bool ein) { anlagen().alsGanzes = ein; }

void anlageAbschliessen(const QString& pfad) {
    const QString ziel = absolut(pfad);
    const QString arbeit = anlagen().arbeitsdatei.take(ziel);
    if (arbeit.isEmpty()) return;
    const QByteArray von = QFile::encodeName(arbeit), nach = QFile::encodeName(ziel);
    // Never over a file that appeared at the path meanwhile.
    if (::renameat2(AT_FDCWD, von.constData(), AT_FDCWD, nach.constData(), RENAME_NOREPLACE) == 0) return;
    int nr = errno;
    if (nr == EINVAL || nr == ENOSYS) {  // a file system without it: link, then drop the old name
        if (::link(von.constData(), nach.constData()) == 0) {
            ::unlink(von.constData());
            return;
        }
        nr = errno;
    }
    entfernenMitJournal(arbeit);
    if (nr == EEXIST) fehlerWerfen(FehlerNr::DateiVorhanden, pfad);
    throw Fehler(FehlerNr::NichtOeffenbar, QStringLiteral("Die neue Datenbank %1 kann nicht an ihren Platz gebracht werden (%2)")
                                                              .arg(pfad, QString::fromLocal8Bit(std::strerror(nr))));
}

bool anlageVerwerfen(const QString& pfad) {
    const QString arbeit = anlagen().arbeitsdatei.take(absolut(pfad));
    if (arbeit.isEmpty()) return false;
    entfernenMitJournal(arbeit);
    return true;
}

}  // namespace xov::sqlcipher
