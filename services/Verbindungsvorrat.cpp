#include "services/Verbindungsvorrat.h"

#include <QCoreApplication>
#include <QTimer>

namespace xov {

Verbindungsvorrat& Verbindungsvorrat::prozess() {
    // Never destroyed at exit: the connections are closed with the application object instead,
    // while the engines are still whole.
    static auto* vorrat = [] {
        auto* v = new Verbindungsvorrat;
        if (QCoreApplication::instance()) qAddPostRoutine([] { prozess().leeren(); });
        return v;
    }();
    return *vorrat;
}

void Verbindungsvorrat::anbinden(QObject* dialog) {
    Verbindungen::von(dialog).oeffner = [this](const Verbindungsangabe& a) { return oeffnen(a); };
}

std::shared_ptr<Verbindung> Verbindungsvorrat::oeffnen(const Verbindungsangabe& angabe) {
    if (m_seitRuhe.isValid() && m_seitRuhe.hasExpired(RuhezeitMs)) leeren();
    m_seitRuhe.invalidate();
    const QString kennung = angabe.kennung(), datei = Verbindungsangabe{angabe.datei, {}}.kennung();
    // A connection of the same database with another password never serves again.
    for (auto it = m_vorrat.begin(); it != m_vorrat.end();)
        it = it->datei == datei && it.key() != kennung ? m_vorrat.erase(it) : std::next(it);
    if (auto it = m_vorrat.find(kennung); it != m_vorrat.end()) {
        const bool ruhte = std::exchange(it->ruht, false);
        if (!ruhte || it->verbindung->wiederBereit()) return it->verbindung;
        m_vorrat.erase(it);
    }
    auto v = verbindungOeffnen(angabe);
    m_vorrat.insert(kennung, Eintrag{v, datei, false});
    return v;
}

void Verbindungsvorrat::ruhen() {
    for (Eintrag& e : m_vorrat) {
        e.verbindung->ruhen();
        e.ruht = true;
    }
    if (m_vorrat.isEmpty()) return;
    m_seitRuhe.start();
    if (auto* app = QCoreApplication::instance())
        QTimer::singleShot(RuhezeitMs, app, [this, runde = ++m_ruherunde] {
            if (runde == m_ruherunde && m_seitRuhe.isValid()) leeren();
        });
}

void Verbindungsvorrat::leeren() {
    m_vorrat.clear();
    m_seitRuhe.invalidate();
}

}  // namespace xov
