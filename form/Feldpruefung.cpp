// The field checks of pages 1, 3 and 4, the leave gate, and the checks of the selected page
// that run before a page switch, before the row is written and before the dialog closes.

#include "component/Modul.h"
#include "form/Feldtabelle.h"
#include "form/InputFeld.h"
#include "form/TabStrip.h"
#include "form/frmMandStamm.h"
#include "platform/Meldung.h"

#include <QTimer>

using namespace xov;

bool frmMandStamm::bearbeitbar(const QWidget* w) const {
    // Judged within the field's own page, so that it does not matter which page is in front.
    const int seite = m_seiteVon.value(w->objectName());
    const QWidget* rahmen = seite >= 1 && seite <= 8 ? static_cast<const QWidget*>(Frame1[seite - 1]) : this;
    return w->isEnabledTo(rahmen) && w->isVisibleTo(rahmen);
}

void frmMandStamm::feldPruefen(const QString& name, std::optional<pruefung::Befund> (*pruefung)(const QString&)) {
    Modulzustand& m = modul();
    m.FehlerFlag = false;
    m.FehlerFeld.clear();
    InputFeld* f = feld(name);
    // A field the user cannot change (locked, hidden, or no row loaded) keeps its stored value
    // and is no input error.
    if (!bearbeitbar(f)) return;
    std::optional<pruefung::Befund> befund;
    // Only what the user typed must be a complete number; a stored value shown as it is (text in
    // a number column, a minus where none may be typed) is never written back unchanged.
    if (f->geaendert() && !f->zahlVollstaendig()) befund = pruefung::unvollstaendigeZahl(f->text(), f->zahlBeispiel());
    else if (pruefung) befund = pruefung(f->Text());
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
        // A field on a page that was switched away from was checked with its page already.
        if (!m_steuer.value(name)->isVisible()) return;
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
    QStringList mitPruefung;
    for (const auto& [name, pruefung] : gepruefte) {
        const QString n = QString::fromLatin1(name);
        mitPruefung << n;
        connect(feld(n), &InputFeld::LostFocus, this, [this, n, p = pruefung] { beimVerlassen(n, [this, p] { (this->*p)(); }); });
    }
    // Every other numeric field is checked for a complete number when it is left.
    for (const FeldDef& d : feldtabelle()) {
        if (d.art != Art::Eingabe || d.feldtype != InputFeld::Zahl || mitPruefung.contains(d.name)) continue;
        const QString n = d.name;
        connect(feld(n), &InputFeld::LostFocus, this, [this, n] { beimVerlassen(n, [this, n] { feldPruefen(n, nullptr); }); });
    }
}

bool frmMandStamm::ZahlenDerSeitePruefen(int seite) {
    for (const FeldDef& d : feldtabelle()) {
        if (d.seite != seite || d.art != Art::Eingabe || d.feldtype != InputFeld::Zahl) continue;
        feldPruefen(d.name, nullptr);
        if (modul().FehlerFlag) return true;
    }
    return false;
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
    // A half-typed number of the page is refused first, on every page.
    bool fehler = ZahlenDerSeitePruefen(seite);
    if (!fehler) switch (seite) {
    case 1: fehler = lauf({&frmMandStamm::PlzPrüfen, &frmMandStamm::OrtPrüfen, &frmMandStamm::AnschriftPrüfen, &frmMandStamm::NamePrüfen}); break;
    case 3: fehler = lauf({&frmMandStamm::BuchjahrPrüfen, &frmMandStamm::MonStatusDatumPrüfen}); break;
    case 4: fehler = lauf({&frmMandStamm::KorrPunktePrüfen}); break;
    case 6: fehler = KontenDerSeitePruefen(); break;
    default: break;
    }
    --m_pruefungLaeuft;
    if (!fehler) m.FehlerFlag = false;
}
