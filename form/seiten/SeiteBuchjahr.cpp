// Showing page 3 puts the focus on the booking year, where it can be typed.

#include "form/InputFeld.h"
#include "form/Seite.h"
#include "form/frmMandStamm.h"

namespace xov {
namespace {
class Seite3 : public Seite {
public:
    using Seite::Seite;
    void zeigen() override {
        vorbereiten();
        InputFeld* jahr = m_dialog.feld(QStringLiteral("inpMandBuchjahr"));
        if (jahr->isEnabled()) jahr->setFocus(Qt::OtherFocusReason);
    }
};
}  // namespace

std::unique_ptr<Seite> seite3(frmMandStamm& dialog, const SeitenDef& def) { return std::make_unique<Seite3>(dialog, def); }

}  // namespace xov
