#pragma once
// Advisory file locks: the one mechanism by which connections and the password step keep out of
// each other's way, in this process and in others.
//
// Every connection holds a shared flock() on its database file for as long as it is open. The
// password step takes the lock exclusively and without waiting: when any connection has the file
// open it skips (3356), so it never replaces a file that someone reads or writes. An open that
// meets a running step waits for it; if the step renamed a new file over the path meanwhile, the
// lock is taken again on the file the path names now, so that every open sees a whole file, keyed
// or plain. flock() locks belong to the open file description: they are independent of SQLite's
// own POSIX locks, and two connections of one process exclude each other as two processes do.

#include <QString>

namespace xov::sqlcipher {

class Dateisperre {
public:
    enum class Ergebnis { Gehalten, Belegt, Fehlt, Unlesbar, KeineDatei };  // KeineDatei: a folder, FIFO, device
    Dateisperre() = default;
    Dateisperre(const Dateisperre&) = delete;
    Dateisperre& operator=(const Dateisperre&) = delete;
    ~Dateisperre() { freigeben(); }

    Ergebnis sperren(const QString& pfad, bool exklusiv, int wartenMs);
    void freigeben();
    int fd() const { return m_fd; }
    // The first bytes of the locked file are those of a database without password.
    bool unverschluesselt() const;

private:
    int m_fd = -1;
};

// What stands at the path when it is no regular file ("ein Ordner", "eine benannte Pipe (FIFO)",
// "ein Gerät", "eine symbolische Verknüpfung", ...), without following a final symlink; empty for
// a regular file or nothing.
QString dateiArt(const QString& pfad, bool verknuepfungFolgen = true);
// Throws FremdeDatei: the path names something a database can never be.
[[noreturn]] void keineDatenbankdatei(const QString& pfad, const QString& art);

// How long an open waits for a running password step or an exclusive holder.
constexpr int SperreWartenMs = 15000;

}  // namespace xov::sqlcipher
