#pragma once
// The connections a host process keeps between its calls of the dialog. Opening a keyed file
// costs tens of milliseconds (the key is derived), so the next call on the same database takes
// the connection the last one used, after checking it:
// - a file connection lets go of its lock as soon as a call ends, so that another process's
//   password step or database command is held up no longer than before; the next call takes the
//   lock again and uses the connection only while the path still names the same file (device and
//   inode) and it still reads with its key; a server connection only after one round trip
//   succeeded. Otherwise the database is opened afresh;
// - a connection for another password of the same database is dropped, never reused;
// - whatever no call used for `RuhezeitMs` is closed.

#include "platform/Datenbank.h"

#include <QElapsedTimer>
#include <QHash>

namespace xov {

class Verbindungsvorrat {
public:
    // Kept unused connections are closed after this long (and when the application ends).
    static constexpr int RuhezeitMs = 60 * 1000;

    static Verbindungsvorrat& prozess();
    // The data sources of `dialog` (and of everything below it) take their connections from here.
    void anbinden(QObject* dialog);
    std::shared_ptr<Verbindung> oeffnen(const Verbindungsangabe& angabe);
    // The call ended: every kept connection lets go of its file lock until it is used again.
    void ruhen();
    void leeren();

private:
    struct Eintrag {
        std::shared_ptr<Verbindung> verbindung;
        QString datei;
        bool ruht = false;
    };
    QHash<QString, Eintrag> m_vorrat;  // by Verbindungsangabe::kennung()
    QElapsedTimer m_seitRuhe;           // valid while the kept connections rest
    int m_ruherunde = 0;
};

// One call's use of the process's connections: the dialog's data sources take them from the
// store; when the call ends they rest, whatever it threw.
class Vorratsnutzung {
public:
    explicit Vorratsnutzung(QObject* dialog) { Verbindungsvorrat::prozess().anbinden(dialog); }
    ~Vorratsnutzung() { Verbindungsvorrat::prozess().ruhen(); }
    Vorratsnutzung(const Vorratsnutzung&) = delete;
    Vorratsnutzung& operator=(const Vorratsnutzung&) = delete;
};

}  // namespace xov
