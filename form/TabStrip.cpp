#include "form/TabStrip.h"

#include <QScopedValueRollback>

TabStrip::TabStrip(QWidget* parent) : QTabBar(parent) {
    setObjectName(QStringLiteral("TabStrip1"));
    setExpanding(false);
    setDrawBase(true);
    connect(this, &QTabBar::currentChanged, this, &TabStrip::wechsel);
}

int TabStrip::indexVon(int seite) const {
    for (int i = 0; i < count(); ++i)
        if (seiteAn(i) == seite) return i;
    return -1;
}

void TabStrip::seiteHinzufuegen(int seite, const QString& titel) {
    // The page number must be there before the first tab announces itself as current.
    const bool vorher = blockSignals(true);
    const int i = addTab(titel);
    setTabData(i, seite);
    blockSignals(vorher);
    if (count() == 1) wechsel(0);
}

void TabStrip::blaettern(int schritt) {
    if (count() > 0) setCurrentIndex((currentIndex() + schritt + count()) % count());
}

void TabStrip::wechsel(int neu) {
    if (m_intern) return;
    if (m_alt < 0 || m_alt >= count()) {  // the first tab, or the old one was removed
        m_alt = neu;
        if (nachWechsel) nachWechsel();
        return;
    }
    // Put the old tab back while the before-switch step runs, then decide. A step that fails
    // leaves the old tab selected and the next switch asked again.
    bool abbrechen = false;
    {
        const QScopedValueRollback<bool> intern(m_intern, true);
        setCurrentIndex(m_alt);
        abbrechen = vorWechsel && vorWechsel();
        if (!abbrechen) setCurrentIndex(neu);
    }
    if (abbrechen) return;
    m_alt = neu;
    if (nachWechsel) nachWechsel();
}
