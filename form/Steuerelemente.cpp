// The controls of the pages' tables, each of its kind, with its limit, design text and width.

#include "form/Steuerelemente.h"
#include "form/DbListe.h"
#include "form/InputFeld.h"
#include "form/InputFeldMehrzeilig.h"

#include <QCheckBox>
#include <QFocusEvent>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QTableView>
#include <QVBoxLayout>

namespace xov {
namespace {
// A field is as wide as the text it may hold up to its limit, so that nothing it holds is cut
// and the eye finds short fields short. A digit is a little wider than the average letter of
// mixed text; numbers gain room for their thousands points; a field of several lines holds its
// share of the limit per line with room for breaking at word ends.
void breiteSetzen(QLineEdit* e, const FeldDef& f) {
    int zeichen = f.max;
    if (istZahl(f.art) && !f.keinTausender) zeichen += zeichen / 3;
    zeichen = f.zeilen > 1 ? (zeichen + f.zeilen - 1) / f.zeilen + 6 : zeichen + 2;
    const QMargins rand = e->textMargins();
    QStyleOptionFrame option;
    option.initFrom(e);
    option.lineWidth = e->hasFrame() ? e->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, e) : 0;
    const int text = e->fontMetrics().horizontalAdvance(QString(zeichen, QLatin1Char('0'))) + 2 * 2 + rand.left() + rand.right();
    e->setFixedWidth(e->style()->sizeFromContents(QStyle::CT_LineEdit, &option, QSize(text, e->sizeHint().height()), e).width());
}

// A field without the focus shows the beginning of its text, as it is read: after loading, after
// a program wrote it, and after the user left it. A message box or a context menu taking the
// focus for a moment leaves the cursor where the user had it.
class AnfangZeigen : public QObject {
public:
    explicit AnfangZeigen(QLineEdit* e) : QObject(e) {
        e->installEventFilter(this);
        connect(e, &QLineEdit::textChanged, this, [e] {
            if (!e->hasFocus()) e->setCursorPosition(0);
        });
    }
    bool eventFilter(QObject* o, QEvent* ereignis) override {
        // qobject_cast: a field that is destroyed while it has the focus still gets a focus-out.
        auto* e = qobject_cast<QLineEdit*>(o);
        // A plain text box entered by the program (a page switch) is selected as Tab selects it.
        if (e && ereignis->type() == QEvent::FocusIn && !qobject_cast<InputFeld*>(e) &&
            static_cast<QFocusEvent*>(ereignis)->reason() == Qt::OtherFocusReason)
            e->selectAll();
        if (e && ereignis->type() == QEvent::FocusOut) {
            const auto grund = static_cast<QFocusEvent*>(ereignis)->reason();
            if (grund != Qt::ActiveWindowFocusReason && grund != Qt::PopupFocusReason) e->setCursorPosition(0);
        }
        return false;
    }
};

// The input field's design settings for a kind of field.
int feldtype(Art art) {
    switch (art) {
    case Art::Datum: return InputFeld::Datum;
    case Art::Monat: return InputFeld::Monat;
    case Art::Text: return InputFeld::Textfeld;
    case Art::Wechselkurs: return InputFeld::Kurs;
    default: return InputFeld::Zahl;
    }
}
int dezimalen(const FeldDef& f) {
    if (f.art == Art::Betrag) return -1;
    return f.art == Art::Kurs || f.art == Art::Wechselkurs ? f.dezimalen : 0;
}

}  // namespace

QWidget* steuerelementBauen(const FeldDef& f, QWidget* eltern, QWidget*& platz) {
    switch (f.art) {
    case Art::Textfeld: {
        auto* e = new QLineEdit(eltern);
        e->setMaxLength(f.max);
        e->setText(f.text);
        breiteSetzen(e, f);
        new AnfangZeigen(e);
        return e;
    }
    case Art::Liste: return new QComboBox(eltern);
    case Art::DbListe: {
        auto* l = new DbListe(eltern);
        l->setPlaceholderText(f.text);
        return l;
    }
    case Art::Anzeige:
    case Art::Beschriftung: return new QLabel(f.text, eltern);
    case Art::Kaestchen: return new QCheckBox(f.text, eltern);
    case Art::Knopf: {
        auto* k = new QPushButton(f.text, eltern);
        k->setAutoDefault(false);
        return k;
    }
    case Art::Raster: {
        // The grid with its caption above it.
        platz = new QWidget(eltern);
        auto* spalte = new QVBoxLayout(platz);
        spalte->setContentsMargins(0, 0, 0, 0);
        auto* titel = new QLabel(f.text, platz);
        titel->setObjectName(f.name + QStringLiteral("_Titel"));
        spalte->addWidget(titel);
        auto* t = new QTableView(platz);
        spalte->addWidget(t, 1);
        t->setSelectionBehavior(QAbstractItemView::SelectRows);
        t->setSelectionMode(QAbstractItemView::SingleSelection);
        t->setEditTriggers(QAbstractItemView::NoEditTriggers);
        t->verticalHeader()->hide();
        t->setToolTip(f.text);
        return t;
    }
    default: {
        auto* e = f.zeilen > 1 ? new InputFeldMehrzeilig(f.zeilen, eltern) : new InputFeld(eltern);
        e->einstellen(feldtype(f.art), f.max, dezimalen(f), f.keinMinus, f.keinTausender);
        e->setText(f.text);
        breiteSetzen(e, f);
        new AnfangZeigen(e);
        return e;
    }
    }
}

}  // namespace xov
