#include "form/Tastatur.h"
#include "form/Feldtabelle.h"
#include "form/InputFeld.h"
#include "form/InputFeldHinweis.h"
#include "form/TabStrip.h"
#include "form/frmMandStamm.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QFrame>
#include <QKeyEvent>
#include <QPushButton>
#include <QShortcut>

namespace xov {
namespace {

// Sees the keys of the dialog's controls before they do, including controls a page adds later,
// and the dialog's showing. It belongs to the dialog and ends with it.
class Tastatur : public QObject {
public:
    explicit Tastatur(frmMandStamm& d) : QObject(&d), m_d(d) { qApp->installEventFilter(this); }

    bool eventFilter(QObject* o, QEvent* e) override {
        if (e->type() == QEvent::Show && o == &m_d) {
            ersterFokus();
        } else if (e->type() == QEvent::KeyPress) {
            auto* w = qobject_cast<QWidget*>(o);
            if (w && w->window() == &m_d) return taste(w, static_cast<QKeyEvent*>(e));
        }
        return false;
    }

private:
    bool taste(QWidget* w, QKeyEvent* e) {
        // Enter on a focused button presses it, as Space does.
        const bool enter = e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter;
        if (enter && (e->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
            if (auto* k = qobject_cast<QPushButton*>(w); k && k->hasFocus()) {
                if (k->isEnabled()) k->click();
                return true;
            }
        }
        if (qobject_cast<InputFeld*>(w)) return false;  // the input field refuses for itself
        const bool zeichen = !e->text().isEmpty() && e->text().at(0).isPrint();
        // A plain text box that is full beeps and says so, as an input field does.
        auto* t = qobject_cast<QLineEdit*>(w);
        if (t && zeichen && !t->isReadOnly() && !(e->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) &&
            t->text().size() - t->selectedText().size() >= t->maxLength()) {
            eingabeAbweisen(w, QStringLiteral("Höchstens %1 Zeichen.").arg(t->maxLength()));
            return true;
        }
        // Alt with a letter that no shortcut answered types nothing into a list or text box; nor
        // does Ctrl with a letter pick an entry of a list.
        const bool liste = qobject_cast<QComboBox*>(w);
        const bool feld = liste || t || qobject_cast<QAbstractSpinBox*>(w);
        const bool strgBuchstabe = liste && zeichen && (e->modifiers() & (Qt::ControlModifier | Qt::MetaModifier));
        if (feld && (tipptMitAlt(e) || strgBuchstabe)) {
            eingabeAbweisen(w);
            return true;
        }
        return false;
    }

    // The dialog opens with the focus in the start page's field, its text selected: the field
    // the page names, otherwise its first the keyboard reaches. Set before the dialog shows, so
    // that showing gives it the focus as Tab would.
    void ersterFokus() {
        const int n = m_d.TabStrip1->aktuelleSeite();
        if (!Seitennr::gueltig(n)) return;
        QWidget* rahmen = m_d.Frame1[n - 1];
        auto erreichbar = [&](QWidget* w) {
            return w && rahmen->isAncestorOf(w) && w->isVisibleTo(&m_d) && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus);
        };
        if (QWidget* f = m_d.focusWidget(); erreichbar(f)) return;
        QWidget* ziel = nullptr;
        if (const QString& name = seitentabelle(n).fokus; !name.isEmpty()) ziel = rahmen->findChild<QWidget*>(name);
        if (!erreichbar(ziel)) ziel = nullptr;
        for (QWidget* w = rahmen->nextInFocusChain(); !ziel && w && w != rahmen; w = w->nextInFocusChain())
            if (erreichbar(w)) ziel = w;
        if (!ziel) ziel = m_d.TabStrip1;
        ziel->setFocus(Qt::TabFocusReason);
    }

    frmMandStamm& m_d;
};

// A shortcut of the dialog for a button whose caption must stay as it is; it answers while the
// button is shown and enabled, and presses it as a click does: a button that takes the focus on
// a click takes it first, so that the field being left is finished (a typed rate stored) before
// the button acts; "Beenden" leaves the focus in the field, as its click does.
void knopfKuerzel(frmMandStamm& d, QPushButton* k, const QKeySequence& taste) {
    if (!k) return;
    k->setToolTip(QStringLiteral("Tastenkürzel: %1").arg(taste.toString(QKeySequence::NativeText)));
    auto* kuerzel = new QShortcut(taste, &d);
    QObject::connect(kuerzel, &QShortcut::activated, k, [k] {
        if (!k->isVisible() || !k->isEnabled()) return;
        if (k->focusPolicy() & Qt::ClickFocus) k->setFocus(Qt::ShortcutFocusReason);
        k->click();
    });
}

// The button strip in the order it is shown, left to right, after `vorher` (a page's last control:
// Tab leaves a page for the strip, wherever the page's controls were added to the focus chain).
void leisteOrdnen(frmMandStamm& d, QWidget* vorher) {
    QList<QPushButton*> leiste = d.fraUntererTeil->findChildren<QPushButton*>(Qt::FindDirectChildrenOnly);
    std::sort(leiste.begin(), leiste.end(), [](const QPushButton* a, const QPushButton* b) {
        return a->parentWidget()->layout()->indexOf(a) < b->parentWidget()->layout()->indexOf(b);
    });
    // A control that takes no focus (the currency page's convert button) cannot lead the strip:
    // Qt would leave the strip where it is. The control before it in the chain leads.
    while (vorher && vorher->focusPolicy() == Qt::NoFocus) vorher = vorher->previousInFocusChain();
    for (QPushButton* k : std::as_const(leiste)) {
        if (vorher) QWidget::setTabOrder(vorher, k);
        vorher = k;
    }
}

}  // namespace

void tastaturEinrichten(frmMandStamm& d) {
    new Tastatur(d);
    knopfKuerzel(d, d.cmdBeenden, QKeySequence(Qt::ALT | Qt::Key_B));
    knopfKuerzel(d, d.cmdNeuerKurs, QKeySequence(Qt::ALT | Qt::Key_N));
    // Alt with the tab's position chooses the page, through the same check as a click.
    for (int i = 0; i < Seitennr::Anzahl; ++i) {
        auto* kuerzel = new QShortcut(QKeySequence(Qt::ALT | (Qt::Key_1 + i)), &d);
        QObject::connect(kuerzel, &QShortcut::activated, &d, [&d, i] {
            if (i < d.TabStrip1->count()) d.TabStrip1->setCurrentIndex(i);
        });
    }
    leisteOrdnen(d, nullptr);
}

void seitentastenEinrichten(frmMandStamm& d, int nummer, QWidget* letztes) {
    if (nummer == Seitennr::KontoZuord)
        knopfKuerzel(d, d.findChild<QPushButton*>(QStringLiteral("cmdKontenAuswahl")), QKeySequence(Qt::ALT | Qt::Key_K));
    if (nummer == Seitennr::Fremdwaehrung) {
        knopfKuerzel(d, d.findChild<QPushButton*>(QStringLiteral("cmdKursgrafik")), QKeySequence(Qt::ALT | Qt::Key_G));
        if (auto* einlesen = d.findChild<QPushButton*>(QStringLiteral("cmdKurseEinlesen")))
            einlesen->setToolTip(QStringLiteral("Tastenkürzel: Alt+E"));
    }
    leisteOrdnen(d, letztes);
}

}  // namespace xov
