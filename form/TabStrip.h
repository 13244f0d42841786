#pragma once
// The dialog's tab strip. Every way of switching (mouse, keyboard, a program selecting a tab)
// first asks vorWechsel while the old tab is still the selected one; it may cancel the switch.
// Each tab carries the number of the page it shows, so the page logic follows the page, not
// the tab's position.

#include <QTabBar>
#include <functional>

class TabStrip : public QTabBar {
    Q_OBJECT
public:
    explicit TabStrip(QWidget* parent = nullptr);

    int seiteAn(int index) const { return tabData(index).toInt(); }
    int aktuelleSeite() const { return currentIndex() < 0 ? 0 : seiteAn(currentIndex()); }
    int indexVon(int seite) const;
    void seiteHinzufuegen(int seite, const QString& titel);
    void blaettern(int schritt);   // Ctrl+Tab and friends: next or previous tab, round

    std::function<bool()> vorWechsel;  // true: cancel
    std::function<void()> nachWechsel;

private:
    void wechsel(int neu);
    int m_alt = -1;
    bool m_intern = false;
};
