#include "form/Seite.h"
#include "form/InputFeld.h"
#include "platform/Variant.h"
#include "form/frmMandStamm.h"
#include "services/Aufruf.h"

#include <QFrame>
#include <algorithm>

namespace xov {

void Seite::vorbereiten() {
    for (int k = 0; k < 8; ++k) m_dialog.Frame1[k]->setEnabled(k == nummer() - 1);
    if (m_dialog.aufruf().Eingeschraenkt) {
        for (const FeldDef& f : m_def.felder)
            if (f.sperrbar) m_dialog.steuerelement(f.name)->setEnabled(false);
    } else {
        m_dialog.tabReihenfolgeSetzen(m_def);
        if (!m_def.fokus.isEmpty()) m_dialog.steuerelement(m_def.fokus)->setFocus(Qt::OtherFocusReason);
    }
    m_dialog.seitenknoepfeVerbergen();
}

double Seite::code(const InputFeld* feld) { return zahlAusText(feld->text()).value_or(0.0); }

bool Seite::pruefen() {
    // A half-typed number of the page is refused first.
    for (const FeldDef& f : m_def.felder)
        if (istZahl(f.art) && m_dialog.feldPruefen(f, false)) return true;
    QVector<const FeldDef*> folge;
    for (const FeldDef& f : m_def.felder)
        if (f.pruefung != Pruefung::Keine) folge << &f;
    std::stable_sort(folge.begin(), folge.end(), [](const FeldDef* a, const FeldDef* b) { return a->pruefRang < b->pruefRang; });
    for (const FeldDef* f : folge)
        if (m_dialog.feldPruefen(*f, true)) return true;
    return false;
}

std::unique_ptr<Seite> seiteErzeugen(frmMandStamm& dialog, const SeitenDef& def) {
    switch (def.nummer) {
    case 1: return seite1(dialog, def);
    case 2: return seite2(dialog, def);
    case 3: return seite3(dialog, def);
    case 4: return seite4(dialog, def);
    case 6: return seite6(dialog, def);
    case 8: return seite8(dialog, def);
    default: return std::make_unique<Seite>(dialog, def);
    }
}

}  // namespace xov
