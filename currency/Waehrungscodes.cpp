#include "currency/Waehrungscodes.h"

#include "form/InputFeld.h"
#include "kurse/IsoWaehrungen.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QStyle>
#include <QSortFilterProxyModel>
#include <QStandardItemModel>

namespace xov {

namespace {

// The list shows "USD – US-Dollar"; matching and the text put into the field are the code alone.
QStandardItemModel* codeModell(QObject* eltern) {
    auto* m = new QStandardItemModel(eltern);
    for (const QString& eintrag : isoWaehrungen()) {
        if (eintrag.startsWith(QLatin1String("EUR"))) continue;  // the home currency is no foreign one
        auto* z = new QStandardItem(eintrag);
        z->setData(eintrag.left(3), Qt::UserRole);
        m->appendRow(z);
    }
    return m;
}

// The codes offered to one field: none once the user has typed three letters. A code has three,
// so the list would offer only what is typed already and stand in the way of Tab, Enter and
// Escape.
class Angebot : public QSortFilterProxyModel {
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;
    void anbieten(bool ja) {
        if (ja == m_ja) return;
        m_ja = ja;
        invalidateFilter();
    }

protected:
    bool filterAcceptsRow(int, const QModelIndex&) const override { return m_ja; }

private:
    bool m_ja = true;
};

// The completion of one code field. While its list is open, the list receives the keys: Tab and
// Shift+Tab close it and reach the field as if there had been no list; Enter puts the entry
// chosen with the arrow keys into the field, or, with none chosen, closes the list and reaches
// the field; Escape only closes the list. Everything else is QCompleter's.
class Codevervollstaendigung : public QCompleter {
public:
    Codevervollstaendigung(QAbstractItemModel* codes, InputFeld* feld) : QCompleter(feld), m_feld(feld), m_angebot(new Angebot(this)) {
        m_angebot->setSourceModel(codes);
        setModel(m_angebot);
        setCompletionRole(Qt::UserRole);
        setCaseSensitivity(Qt::CaseInsensitive);
        setCompletionMode(QCompleter::PopupCompletion);
        m_liste = popup();
        m_liste->setMinimumWidth(feld->fontMetrics().horizontalAdvance(QStringLiteral("XXX – Ostkaribischer Dollar____")));
        // Only what the user types decides; the arrow keys in the list write the field too.
        connect(feld, &QLineEdit::textEdited, m_angebot, [this](const QString& text) { m_angebot->anbieten(text.trimmed().size() < 3); });
        feld->setCompleter(this);
    }

protected:
    bool eventFilter(QObject* o, QEvent* e) override {
        // m_liste, not popup(): while the list is being made, its own events pass through here.
        if (m_liste && o == m_liste && e->type() == QEvent::KeyPress && m_liste->isVisible()) {
            const int taste = static_cast<QKeyEvent*>(e)->key();
            const bool enter = taste == Qt::Key_Return || taste == Qt::Key_Enter;
            if (enter || taste == Qt::Key_Tab || taste == Qt::Key_Backtab) {
                const QModelIndex gewaehlt = m_liste->currentIndex();
                m_liste->hide();
                if (enter && gewaehlt.isValid()) {
                    m_feld->setzeText(gewaehlt.data(completionRole()).toString());
                    m_angebot->anbieten(false);
                } else {
                    QCoreApplication::sendEvent(m_feld, e);
                }
                return true;
            }
        }
        // Without a window manager the platform may make the list the active window after it
        // has closed again; the dialog, still open, takes the keyboard and the focus back.
        if (m_liste && o == m_liste && e->type() == QEvent::WindowActivate && !m_liste->isVisible() && m_feld->window()->isVisible())
            m_feld->window()->activateWindow();
        return QCompleter::eventFilter(o, e);
    }

private:
    InputFeld* m_feld;
    Angebot* m_angebot;
    QAbstractItemView* m_liste = nullptr;
};

QString hinweisZu(const QString& code) {
    // Only a whole code gets the hint; the first letters of one are no unknown code yet.
    const QString c = code.trimmed().toUpper();
    return c.size() < 3 || !isoWaehrungsname(c).isEmpty() ? QString() : QStringLiteral("%1 ist kein bekannter ISO-Währungscode").arg(c);
}

// The code field itself shows its hint in the hint's colour, as its tool tip and description.
void feldMarkieren(QLineEdit* feld, const QString& text) {
    feld->setToolTip(text);
    feld->setAccessibleDescription(text);
    QPalette p = feld->palette();
    p.setColor(QPalette::Text, text.isEmpty() ? feld->style()->standardPalette().color(QPalette::Text) : QColor(0xa0, 0x50, 0x00));
    feld->setPalette(p);
}

// The line under the rows: the hint of the code just changed, else of the first row that has one.
void hinweisZeigen(QLabel* l, const QList<InputFeld*>& codes, const InputFeld* geaendert) {
    QString text = geaendert ? hinweisZu(geaendert->text()) : QString();
    for (const InputFeld* c : codes) {
        if (!text.isEmpty()) break;
        text = hinweisZu(c->text());
    }
    l->setText(text);
    l->setToolTip(text);
    l->setVisible(!text.isEmpty());  // its place stays reserved (below)
}

}  // namespace

void waehrungscodesVerbinden(QWidget* seite) {
    QStandardItemModel* codes = codeModell(seite);
    auto* hinweis = seite->findChild<QLabel*>(QStringLiteral("lblWährungscodeHinweis"));
    QList<InputFeld*> codeFelder;
    for (int r = 0; r < 20; ++r)
        if (auto* code = seite->findChild<InputFeld*>(QStringLiteral("inpWährungsBezKurz(%1)").arg(r))) codeFelder << code;
    if (hinweis) {
        hinweis->setStyleSheet(QStringLiteral("color: #a05000;"));
        // The line keeps its height when empty and never asks for width: nothing moves.
        QSizePolicy platz(QSizePolicy::Ignored, hinweis->sizePolicy().verticalPolicy());
        platz.setRetainSizeWhenHidden(true);
        hinweis->setSizePolicy(platz);
        hinweis->setMinimumWidth(0);
        hinweisZeigen(hinweis, codeFelder, nullptr);
    }
    for (int r = 0; r < 20; ++r) {
        auto* code = seite->findChild<InputFeld*>(QStringLiteral("inpWährungsBezKurz(%1)").arg(r));
        auto* name = seite->findChild<InputFeld*>(QStringLiteral("inpWährungsBezLang(%1)").arg(r));
        if (!code || !name) continue;
        new Codevervollstaendigung(codes, code);
        feldMarkieren(code, hinweisZu(code->text()));
        QObject::connect(code, &QLineEdit::textChanged, code, [hinweis, code, codeFelder](const QString& text) {
            feldMarkieren(code, hinweisZu(text));
            if (hinweis) hinweisZeigen(hinweis, codeFelder, code);
        });
        // Leaving a known code with the name still empty, or still holding the name this filled in
        // for an earlier code (one refused as used in another row, say): the German name, written
        // like typed text. A name the user typed stays.
        QObject::connect(code, &InputFeld::LostFocus, name, [code, name] {
            if (!name->isEnabled()) return;
            const QString vorher = name->property("xovNameVomCode").toString();
            if (!name->text().trimmed().isEmpty() && (vorher.isEmpty() || name->text() != vorher)) return;
            const QString deutsch = isoWaehrungsname(code->text()).left(name->maxLength());
            if (deutsch.isEmpty() || deutsch == name->text()) return;
            name->setzeText(deutsch);
            name->setProperty("xovNameVomCode", deutsch);
        });
    }
}

}  // namespace xov
