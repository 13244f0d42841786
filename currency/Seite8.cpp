// The dialog's unit of the currency page: showing it loads the currency rows, then the page is
// prepared by Waehrungsseite, which also checks its rate fields itself.

#include "currency/KurseEinlesenKnopf.h"
#include "currency/Kursgrafik.h"
#include "currency/Waehrungscodes.h"
#include "currency/Waehrungsseite.h"
#include "form/Seite.h"
#include "form/frmMandStamm.h"
#include "platform/Fehler.h"
#include "services/Aufruf.h"
#include "services/Fehlerbericht.h"

#include <QFrame>
#include <QPushButton>

namespace xov {
namespace {

class Seite8 : public Seite {
public:
    using Seite::Seite;

    void verbinden() override {
        frmMandStamm& d = m_dialog;
        m_waehrung = new Waehrungsseite(
            d.Frame1[7], d.cmdNeuerKurs, d.FAData,
            {[&d] { return d.aufruf().Eingeschraenkt; }, [&d] { return d.aufruf().TabStripNr == 7; },
             [&d] { return d.aufruf().FormBereit; },
             [&d](const Fehler& f) {
                 d.aufruf().KomponentenName = QStringLiteral("XovMandStamm, Fremdwährung");
                 FehlerAufruf(f, d.aufruf());
             }},
            &d);
        kurseEinlesenKnopf(d, *m_waehrung);
        kursgrafikKnopf(d);
        waehrungscodesVerbinden(d.Frame1[7]);
    }

    void zeigen() override {
        m_waehrung->WährungenLaden();
        vorbereiten();
    }

    void vorbereiten() override {
        for (int k = 0; k < 8; ++k) m_dialog.Frame1[k]->setEnabled(k == 7);
        m_waehrung->SeiteVorbereiten();
        m_dialog.cmdNeuerKurs->setVisible(true);
        m_dialog.findChild<QPushButton*>(QStringLiteral("cmdKurseEinlesen"))->setVisible(!m_dialog.aufruf().Eingeschraenkt);
    }

    // The rate fields are checked as they are left; a rate still being typed is saved (or
    // refused with its message) before the page is left or the dialog closes.
    bool pruefen() override { return !m_waehrung->eingabeAbschliessen(); }

private:
    Waehrungsseite* m_waehrung = nullptr;
};

}  // namespace

std::unique_ptr<Seite> seite8(frmMandStamm& dialog, const SeitenDef& def) { return std::make_unique<Seite8>(dialog, def); }

}  // namespace xov
