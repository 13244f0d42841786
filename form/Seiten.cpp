// The page switch: the frame of the new page comes to the front, its unit does what showing it
// means, and the focus lands on the page.

#include "form/Seite.h"
#include "form/TabStrip.h"
#include "form/frmMandStamm.h"
#include "platform/Fehler.h"
#include "platform/Meldung.h"
#include "services/Aufruf.h"

#include <QApplication>
#include <QFrame>
#include <QStackedWidget>

using namespace xov;

void frmMandStamm::nachSeitenwechsel() {
    const int nummer = TabStrip1->aktuelleSeite();
    seiteZeigen(nummer);
    if (!m_aufruf.FormBereit && m_aufruf.TabStripNr != 7) return;  // tabs being added while loading
    if (nummer < 1 || nummer > 8) return;
    // The switch's own trap: number and description in a plain box.
    mitFehlerfalle({[&] { seite(nummer)->zeigen(); }}, [](const Fehler& f) {
        Meldung(QString::number(f.nummer()) + f.beschreibung());
        return Fortsetzung::NaechsterSchritt;
    });
    // The focus belongs to the page now shown: where its preparation put it, otherwise on its
    // first field. Never on a button below the pages, where Space would close the dialog, nor
    // on the page's frame itself, where Qt leaves it when the page has no field to offer.
    QWidget* f = QApplication::focusWidget();
    if (!f || f == Frame1[nummer - 1] || !Frame1[nummer - 1]->isAncestorOf(f) || !f->isVisible() || !f->isEnabled())
        ersteFeldFokus(nummer);
}

void frmMandStamm::ersteFeldFokus(int nummer) {
    QWidget* w = Frame1[nummer - 1];
    for (QWidget* n = w->nextInFocusChain(); n && n != w; n = n->nextInFocusChain()) {
        if (w->isAncestorOf(n) && n->isVisible() && n->isEnabled() && (n->focusPolicy() & Qt::TabFocus)) {
            n->setFocus(Qt::OtherFocusReason);
            return;
        }
    }
    // A page without a field the user can reach (page 4, or everything locked): the tab strip.
    TabStrip1->setFocus(Qt::OtherFocusReason);
}

void frmMandStamm::seiteZeigen(int nummer) {
    if (!Seitennr::gueltig(nummer)) return;
    seiteBauen(nummer);
    m_seiten->setCurrentWidget(Frame1[nummer - 1]);
}
