// The field checks: one field when it is left, the checks of the selected page before a page
// switch, before the row is written and before the dialog closes, and the leave gate that holds
// the focus on a failing field.

#include "form/InputFeld.h"
#include "form/Seite.h"
#include "form/TabStrip.h"
#include "form/frmMandStamm.h"
#include "platform/Meldung.h"
#include "services/Aufruf.h"

#include <QScopedValueRollback>
#include <QTimer>

using namespace xov;

bool frmMandStamm::bearbeitbar(const QWidget* w) const {
    // Judged within the field's own page, so that it does not matter which page is in front.
    const FeldDef* d = felddef(w->objectName());
    const QWidget* rahmen = d && d->seite >= 1 ? static_cast<const QWidget*>(Frame1[d->seite - 1]) : this;
    return w->isEnabledTo(rahmen) && w->isVisibleTo(rahmen);
}

void frmMandStamm::befundZeigen(const QString& feld, const pruefung::Befund& befund, bool fokus) {
    {
        // Lowered again however the box ends, or every later leave check would stay silent.
        const QScopedValueRollback<int> spricht(m_pruefungLaeuft, m_pruefungLaeuft + 1);
        Meldung(befund.text, Stil::Ok, befund.titel);
    }
    if (!fokus) return;
    m_fehlerFeld = feld;
    steuerelement(feld)->setFocus(Qt::OtherFocusReason);
}

bool frmMandStamm::feldPruefen(const FeldDef& def, bool eigene) {
    m_fehlerFeld.clear();
    auto* f = qobject_cast<InputFeld*>(steuerelement(def.name));
    // A field the user cannot change (locked, hidden, or no row loaded) keeps its stored value
    // and is no input error.
    if (!f || !bearbeitbar(f)) return false;
    std::optional<pruefung::Befund> befund;
    // Only what the user typed must be a complete number; a stored value shown as it is (text in
    // a number column, a minus where none may be typed) is never written back unchanged.
    if (f->geaendert() && !f->zahlVollstaendig()) befund = pruefung::unvollstaendigeZahl(f->text(), f->zahlBeispiel());
    else if (eigene) befund = pruefung::pruefen(def.pruefung, f->Text());
    if (!befund) return false;
    befundZeigen(def.name, *befund);
    return true;
}

void frmMandStamm::beimVerlassen(const QString& name, std::function<void()> pruefung) {
    // Deferred: a message box inside a focus change scrambles the focus events.
    QTimer::singleShot(0, this, [this, name, pruefung = std::move(pruefung)] {
        // One attempt, one message: a check that is already speaking (a page switch or closing
        // took the focus from this field) or a focus that came back means nothing was left.
        QWidget* w = steuerelement(name);
        if (m_pruefungLaeuft > 0 || !isVisible() || w->hasFocus()) return;
        // A field on a page that was switched away from was checked with its page already.
        if (!w->isVisible()) return;
        if (!m_fehlerFeld.isEmpty() && m_fehlerFeld != name) return;
        pruefung();
    });
}

void frmMandStamm::pruefungenVerbinden(const SeitenDef& seite) {
    // Every field with a check of its own, and every number field, is checked when it is left;
    // the account fields and the currency page are their pages' business.
    for (const FeldDef& d : seite.felder) {
        if (d.pruefung == Pruefung::Konto || d.seite == Seitennr::Fremdwaehrung || !istEingabe(d.art)) continue;
        if (!pruefung::beimVerlassen(d.pruefung) && !istZahl(d.art)) continue;
        const FeldDef* def = &d;
        const bool eigene = pruefung::beimVerlassen(d.pruefung);
        connect(feld(d.name), &InputFeld::LostFocus, this,
                [this, def, eigene] { beimVerlassen(def->name, [this, def, eigene] { feldPruefen(*def, eigene); }); });
    }
}

bool frmMandStamm::Fehlerprüfungen_0() {
    if (m_aufruf.waehrungsstart()) return false;
    // The page, not the tab's position, decides which checks run.
    const int nummer = TabStrip1->aktuelleSeite();
    if (!Seitennr::gueltig(nummer)) return false;
    const QScopedValueRollback<int> spricht(m_pruefungLaeuft, m_pruefungLaeuft + 1);
    return seite(nummer)->pruefen();
}
