// Showing page 4 gives an euro rate of zero the default rate, and sets the lists from their codes.

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
        m_dialog.listenSeite4Abgleichen();
    }
};
}  // namespace

std::unique_ptr<Seite> seite4(frmMandStamm& dialog, const SeitenDef& def) { return std::make_unique<Seite4>(dialog, def); }

}  // namespace xov
