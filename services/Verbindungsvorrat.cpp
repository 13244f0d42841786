#include "services/Verbindungsvorrat.h"
#include "services/Aufruf.h"
#include "services/DbVerbindung.h"

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

void Verbindungsvorrat::andereKennwoerterVerwerfen(const QString& kennung, const QString& datei) {
    if (m_seitRuhe.isValid() && m_seitRuhe.hasExpired(RuhezeitMs)) leeren();
    m_seitRuhe.invalidate();
    for (auto it = m_vorrat.begin(); it != m_vorrat.end();)
        it = it->datei == datei && it.key() != kennung ? m_vorrat.erase(it) : std::next(it);
}

void Verbindungsvorrat::vorausOeffnen(const Verbindungsangabe& angabe) {
    const QString kennung = angabe.kennung(), datei = Verbindungsangabe{angabe.datei, {}}.kennung();
    andereKennwoerterVerwerfen(kennung, datei);
    if (m_vorrat.contains(kennung)) return;
    m_vorrat.insert(kennung, Eintrag{nullptr, std::async(std::launch::async, [angabe] { return verbindungOeffnen(angabe); }).share(),
                                     datei, false});
}

std::shared_ptr<Verbindung> Verbindungsvorrat::oeffnen(const Verbindungsangabe& angabe) {
    const QString kennung = angabe.kennung(), datei = Verbindungsangabe{angabe.datei, {}}.kennung();
    andereKennwoerterVerwerfen(kennung, datei);
    if (auto it = m_vorrat.find(kennung); it != m_vorrat.end()) {
        if (it->unterwegs.valid()) {
            auto unterwegs = std::move(it->unterwegs);
            m_vorrat.erase(it);
            auto v = unterwegs.get();  // raises what opening raised; nothing is kept then
            m_vorrat.insert(kennung, Eintrag{v, {}, datei, false});
            return v;
        }
        const bool ruhte = std::exchange(it->ruht, false);
        if (!ruhte || it->verbindung->wiederBereit()) return it->verbindung;
        m_vorrat.erase(it);
    }
    auto v = verbindungOeffnen(angabe);
    m_vorrat.insert(kennung, Eintrag{v, {}, datei, false});
    return v;
}

void Verbindungsvorrat::ruhen() {
    for (auto it = m_vorrat.begin(); it != m_vorrat.end();) {
        // Opened in the background but never used: kept when it opened, forgotten when it failed.
        if (it->unterwegs.valid()) {
            try {
                it->verbindung = it->unterwegs.get();
            } catch (...) {
                it = m_vorrat.erase(it);
                continue;
            }
            it->unterwegs = {};
        }
        it->verbindung->ruhen();
        it->ruht = true;
        ++it;
    }
    if (m_vorrat.isEmpty()) return;
    m_seitRuhe.start();
    if (auto* app = QCoreApplication::instance())
        QTimer::singleShot(RuhezeitMs, app, [this, runde = ++m_ruherunde] {
            if (runde == m_ruherunde && m_seitRuhe.isValid()) leeren();
        });
}

void Verbindungsvorrat::leeren() {
    for (Eintrag& e : m_vorrat)
        if (e.unterwegs.valid()) e.unterwegs.wait();
    m_vorrat.clear();
    m_seitRuhe.invalidate();
}

Vorratsnutzung::Vorratsnutzung(Aufruf& aufruf) {
    // The password step first: it must find the client database closed.
    Set_DBPassword(aufruf.MandDbPfad);
    aufruf.PasswortschrittErledigt = true;
    auto& vorrat = Verbindungsvorrat::prozess();
    for (const QString& pfad : {aufruf.MandDbPfad, aufruf.FaDbPfad})
        if (!pfad.isEmpty()) vorrat.vorausOeffnen({pfad, DbPasswort});
}

}  // namespace xov
