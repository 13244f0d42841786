// Showing page 4 gives an euro rate of zero the default rate, and sets the lists from their codes
// (each 0 or 1; any other code shows as 0).

#include "form/InputFeld.h"
#include "form/Seite.h"
#include "form/frmMandStamm.h"

namespace xov {
namespace {
class Seite4 : public Seite {
public:
    using Seite::Seite;
    void zeigen() override {
        // "0,0000" counts as zero: a numeric comparison.
        InputFeld* kurs = m_dialog.feld(QStringLiteral("inpEurKurs"));
        if (kurs->zahl().value_or(0) == 0) kurs->setzeZahl(13.7603);
        vorbereiten();
        listenAbgleichen();
    }
    // A code the list does not know shows as its first item.
    void listenAbgleichen() override {
        for (const FeldDef& d : m_def.felder) {
            if (d.art != Art::Liste) continue;
            const double wert = code(m_dialog.feld(d.codeFeld));
            m_dialog.listeSetzen(d.name, wert == 0 || wert == 1 ? static_cast<int>(wert) : 0);
        }
    }
};
}  // namespace

std::unique_ptr<Seite> seite4(frmMandStamm& dialog, const SeitenDef& def) { return std::make_unique<Seite4>(dialog, def); }

}  // namespace xov
