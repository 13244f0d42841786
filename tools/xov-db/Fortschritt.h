#pragma once
// A progress line on the terminal: "Kurse einlesen: 1.250 von 6.700 Tagen", rewritten in place
// on standard error while a long command runs, and ended with a line break. Nothing at all
// when standard error is not a terminal, so that logs and pipes stay clean.

#include <QString>

namespace xovdb {

class Fortschrittszeile {
public:
    // `was`: what is done ("Kurse einlesen"); `einheit`: what is counted ("Tagen").
    Fortschrittszeile(QString was, QString einheit);
    ~Fortschrittszeile();
    Fortschrittszeile(const Fortschrittszeile&) = delete;
    Fortschrittszeile& operator=(const Fortschrittszeile&) = delete;
    // Shows the count; at most a few times a second. Always true (the terminal cannot cancel).
    bool zeigen(qint64 erledigt, qint64 gesamt);

private:
    QString m_was, m_einheit;
    bool m_terminal;
    bool m_gezeigt = false;
    qint64 m_zuletzt = -1;  // milliseconds of the last line
};

}  // namespace xovdb
