// The field checks of pages 1, 3 and 4, the leave gate, and the checks of the selected page
// that run before a page switch, before the row is written and before the dialog closes.

#include "component/Modul.h"
#include "form/InputFeld.h"
#include "form/TabStrip.h"
#include "form/frmMandStamm.h"
#include "platform/Meldung.h"

#include <QTimer>

using namespace xov;

void frmMandStamm::feldPruefen(const QString& name, std::optional<pruefung::Befund> (*pruefung)(const QString&)) {
    Modulzustand& m = modul();
    m.FehlerFlag = false;
    m.FehlerFeld.clear();
    InputFeld* f = feld(name);
    const auto befund = pruefung(f->Text());
    if (!befund) return;
    ++m_pruefungLaeuft;
    Meldung(befund->text, 0, befund->titel);
    --m_pruefungLaeuft;
    m.FehlerFlag = true;
    m.FehlerFeld = name;
    f->setFocus(Qt::OtherFocusReason);
}

void frmMandStamm::PlzPrüfen() { feldPruefen(QStringLiteral("inpMandPlz"), pruefung::plz); }
void frmMandStamm::OrtPrüfen() { feldPruefen(QStringLiteral("inpMandOrt"), pruefung::ort); }
void frmMandStamm::AnschriftPrüfen() { feldPruefen(QStringLiteral("inpMandAnschrift"), pruefung::anschrift); }
void frmMandStamm::BuchjahrPrüfen() { feldPruefen(QStringLiteral("inpMandBuchjahr"), pruefung::buchjahr); }
void frmMandStamm::MonStatusDatumPrüfen() { feldPruefen(QStringLiteral("inpMandMonStatusDatum"), pruefung::monStatusDatum); }
void frmMandStamm::KorrPunktePrüfen() { feldPruefen(QStringLiteral("inpZahlschKorrPunkte"), pruefung::korrPunkte); }

void frmMandStamm::NamePrüfen() {
    // Every name passes; the check only clears a pending failure.
    modul().FehlerFlag = false;
    modul().FehlerFeld.clear();
}

void frmMandStamm::beimVerlassen(const QString& name, std::function<void()> pruefung) {
    // Deferred: a message box inside a focus change scrambles the focus events.
    QTimer::singleShot(0, this, [this, name, pruefung = std::move(pruefung)] {
        // One attempt, one message: a check that is already speaking (a page switch or closing
        // took the focus from this field) or a focus that came back means nothing was left.
        if (m_pruefungLaeuft > 0 || !isVisible() || m_steuer.value(name)->hasFocus()) return;
        const QString& offen = modul().FehlerFeld;
        if (!offen.isEmpty() && offen != name) return;
        pruefung();
    });
}

void frmMandStamm::pruefungenVerbinden() {
    const std::pair<const char*, void (frmMandStamm::*)()> gepruefte[] = {
        {"inpMandPlz", &frmMandStamm::PlzPrüfen},         {"inpMandOrt", &frmMandStamm::OrtPrüfen},
        {"inpMandAnschrift", &frmMandStamm::AnschriftPrüfen}, {"inpMandName", &frmMandStamm::NamePrüfen},
        {"inpMandBuchjahr", &frmMandStamm::BuchjahrPrüfen}, {"inpZahlschKorrPunkte", &frmMandStamm::KorrPunktePrüfen}};
    for (const auto& [name, pruefung] : gepruefte) {
        const QString n = QString::fromLatin1(name);
        connect(feld(n), &InputFeld::LostFocus, this, [this, n, p = pruefung] { beimVerlassen(n, [this, p] { (this->*p)(); }); });
    }
}

void frmMandStamm::Fehlerprüfungen_0() {
    Modulzustand& m = modul();
    if (m.TabStripNr == 7) return;
    // The page, not the tab's position, decides which checks run.
    const int seite = TabStrip1->aktuelleSeite();
    const auto lauf = [&](std::initializer_list<void (frmMandStamm::*)()> pruefungen) {
        for (auto p : pruefungen) {
            (this->*p)();
            if (m.FehlerFlag) return true;
        }
        return false;
    };
    ++m_pruefungLaeuft;
    bool fehler = false;
    switch (seite) {
    case 1: fehler = lauf({&frmMandStamm::PlzPrüfen, &frmMandStamm::OrtPrüfen, &frmMandStamm::AnschriftPrüfen, &frmMandStamm::NamePrüfen}); break;
    case 3: fehler = lauf({&frmMandStamm::BuchjahrPrüfen, &frmMandStamm::MonStatusDatumPrüfen}); break;
    case 4: fehler = lauf({&frmMandStamm::KorrPunktePrüfen}); break;
    case 6: fehler = KontenDerSeitePruefen(); break;
    default: break;
    }
    --m_pruefungLaeuft;
    if (!fehler) m.FehlerFlag = false;
}
