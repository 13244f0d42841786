#pragma once
// One tab page of the dialog: built from its table, prepared each time it is shown, locked in
// restricted mode, and checked before the page is left, the row is written or the dialog
// closes. The dialog holds the pages and only dispatches; pages with steps of their own derive.

#include "form/Feldtabelle.h"

#include <memory>

class frmMandStamm;
class InputFeld;

namespace xov {

class Seite {
public:
    Seite(frmMandStamm& dialog, const SeitenDef& def) : m_dialog(dialog), m_def(def) {}
    virtual ~Seite() = default;
    int nummer() const { return m_def.nummer; }
    const SeitenDef& def() const { return m_def; }

    // Connects the page's own events; once, after the dialog is built.
    virtual void verbinden() {}
    // What a switch to this page does: by default the preparation.
    virtual void zeigen() { vorbereiten(); }
    // The preparation: only this page's frame is enabled; in restricted mode the lockable
    // controls are disabled, otherwise the table's keyboard order is set and the focus moves to
    // the page's focus field; "Neuer Kurs" shows with the currency page only.
    virtual void vorbereiten();
    // The page's checks: every number typed must be complete, then the checks in their order.
    // True at the first that fails; it has spoken and holds the focus.
    virtual bool pruefen();
    // Sets the page's lists from the codes their hidden fields hold: after the row was loaded or
    // taken over from another workstation.
    virtual void listenAbgleichen() {}
    // A list of the page wrote its code into its field (the user's choice or a program's).
    virtual void auswahlUebernommen(const QString& liste) { (void)liste; }

protected:
    // The code a list's hidden field holds; a text that is empty or no number counts as 0.
    static double code(const InputFeld* feld);

    frmMandStamm& m_dialog;
    const SeitenDef& m_def;
};

// The unit of each page; pages without steps of their own are plain Seite.
std::unique_ptr<Seite> seiteErzeugen(frmMandStamm& dialog, const SeitenDef& def);
std::unique_ptr<Seite> seite1(frmMandStamm& dialog, const SeitenDef& def);
std::unique_ptr<Seite> seite2(frmMandStamm& dialog, const SeitenDef& def);
std::unique_ptr<Seite> seite3(frmMandStamm& dialog, const SeitenDef& def);
std::unique_ptr<Seite> seite4(frmMandStamm& dialog, const SeitenDef& def);
std::unique_ptr<Seite> seite6(frmMandStamm& dialog, const SeitenDef& def);
std::unique_ptr<Seite> seite8(frmMandStamm& dialog, const SeitenDef& def);

}  // namespace xov
