#include "form/InputFeld.h"
#include "form/InputFeldHinweis.h"
#include "platform/Fehler.h"
#include "platform/Variant.h"

#include <QAbstractButton>
#include <QFocusEvent>
#include <QTabBar>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPushButton>
#include <QRegularExpression>
#include <QValidator>
#include <cmath>

using xov::deutsch;

namespace {

// The German number format of a field as two patterns: a complete number ("1.234,56", "1234",
// "-7", "12,") and the beginning of one that more keystrokes can still complete ("-", ",5",
// "1.2"). Thousands points stand only between groups of three digits, so "1..2" or "12.34,5"
// can never become a number and their keystrokes are refused.
struct Zahlmuster {
    QRegularExpression vollstaendig, anfang;
    Zahlmuster(int dez, bool minus, bool tausender) {
        const QString vz = minus ? QStringLiteral("-?") : QString();
        const QString ganz = tausender ? QStringLiteral("(?:\\d+|\\d{1,3}(?:\\.\\d{3})+)") : QStringLiteral("\\d+");
        const QString nachkomma = dez > 0 ? QStringLiteral("(?:,\\d{0,%1})?").arg(dez) : QString();
        vollstaendig.setPattern(QStringLiteral("^%1%2%3$").arg(vz, ganz, nachkomma));
        const QString angefangen = tausender ? QStringLiteral("(?:\\d*|\\d{1,3}(?:\\.\\d{3})*\\.\\d{0,2})") : QStringLiteral("\\d*");
        const QString mitKomma = dez > 0 ? QStringLiteral("|%1(?:\\d*|\\d{1,3}(?:\\.\\d{3})+)?,\\d{0,%2}").arg(vz).arg(dez) : QString();
        anfang.setPattern(QStringLiteral("^(?:%1%2%3)$").arg(vz, angefangen, mitKomma));
    }
};

Zahlmuster muster(const InputFeld* f) { return Zahlmuster(f->dezimalstellen(), !f->keinminus(), !f->keintausendpkt()); }

// Admits what the field's kind allows while the user types; the length counts the characters
// typed, not the thousands points the field shows.
class EingabePruefer : public QValidator {
public:
    explicit EingabePruefer(const InputFeld* feld) : QValidator(const_cast<InputFeld*>(feld)), m_feld(feld) {}
    State validate(QString& text, int&) const override {
        const int max = static_cast<int>(m_feld->maxwert());
        switch (m_feld->feldtype()) {
        case InputFeld::Textfeld:
            return text.size() <= m_feld->maxLength() ? Acceptable : Invalid;
        case InputFeld::Monat:
        case InputFeld::Datum: {
            static const QRegularExpression datum(QStringLiteral("^[0-9.]*$"));
            return text.size() <= max && datum.match(text).hasMatch() ? Acceptable : Invalid;
        }
        default: {
            QString roh = text;
            roh.remove(QLatin1Char('.'));
            if (roh.size() > max) return Invalid;
            const Zahlmuster m = muster(m_feld);
            if (text.isEmpty() || m.vollstaendig.match(text).hasMatch()) return Acceptable;
            return m.anfang.match(text).hasMatch() ? Intermediate : Invalid;
        }
        }
    }

private:
    const InputFeld* m_feld;
};

}  // namespace

InputFeld::InputFeld(QWidget* parent) : QLineEdit(parent) {
    setValidator(new EingabePruefer(this));
    connect(this, &QLineEdit::textEdited, this, [this] { m_geaendert = true; });
    // A value the program shows in a field just entered by keyboard (a currency row loading as
    // it is entered) is selected as well: the first key still replaces what is shown.
    connect(this, &QLineEdit::textChanged, this, [this] {
        if (m_frischBetreten && hasFocus()) ganzMarkieren();
    });
}

void InputFeld::einstellen(int feldtype, double maxwert, int anzdezimalen, bool keinminus, bool keintausendpkt) {
    m_feldtype = feldtype;
    m_maxwert = maxwert > 0 ? maxwert : 50;
    m_anzdezimalen = anzdezimalen;
    m_keinminus = keinminus;
    m_keintausendpkt = keintausendpkt;
    setMaxLength(istNumerisch() ? 32767 : static_cast<int>(m_maxwert));
    if (istNumerisch()) setAlignment(Qt::AlignRight | Qt::AlignVCenter);
}

QString InputFeld::leerText() const {
    if (m_feldtype == Kurs) return QString();
    if (!istNumerisch()) return m_feldtype == Textfeld ? QString() : QStringLiteral("0");
    const int dez = dezimalstellen();
    return dez > 0 ? QStringLiteral("0,") + QString(dez, QLatin1Char('0')) : QStringLiteral("0");
}

QString InputFeld::Text() const {
    const QString t = text();
    if (t.trimmed().isEmpty() && m_feldtype != Textfeld) return leerText();
    return t;
}

std::optional<double> InputFeld::zahl() const {
    QString t = Text().trimmed();
    if (t.endsWith(QLatin1Char(','))) t.chop(1);  // "12," is 12
    return xov::zahlAusText(t);
}

bool InputFeld::zahlVollstaendig() const {
    if (!istNumerisch()) return true;
    const QString t = text().trimmed();
    return t.isEmpty() || (muster(this).vollstaendig.match(t).hasMatch() && zahl().has_value());
}

QString InputFeld::zahlBeispiel() const {
    QString s = m_keintausendpkt ? QStringLiteral("1234") : QStringLiteral("1.234");
    if (dezimalstellen() > 0) s += QLatin1Char(',') + QStringLiteral("5678").left(dezimalstellen());
    return s;
}

QString InputFeld::kursText(double wert, int stellen) {
    QString s = deutsch().toString(wert, 'f', stellen);
    s.remove(deutsch().groupSeparator());
    if (s.contains(deutsch().decimalPoint())) {
        while (s.endsWith(QLatin1Char('0'))) s.chop(1);
        if (s.endsWith(deutsch().decimalPoint())) s.chop(1);
    }
    return s == QLatin1String("-0") ? QStringLiteral("0") : s;
}

QString InputFeld::formatiert(double wert, bool mitTausendern) const {
    if (m_feldtype == Kurs) return kursText(wert, dezimalstellen());
    QString s = deutsch().toString(wert, 'f', dezimalstellen());
    if (!mitTausendern || m_keintausendpkt) s.remove(deutsch().groupSeparator());
    return s;
}

void InputFeld::setzeText(const QString& t) {
    if (istNumerisch())
        if (auto z = xov::zahlAusText(t)) return setzeZahl(*z);
    m_geaendert = true;
    setText(t);
}

void InputFeld::setzeZahl(double wert) {
    m_geaendert = true;
    setText(formatiert(wert, !hasFocus()));
}

void InputFeld::spaltenwertAnzeigen(const QVariant& wert) {
    m_geaendert = false;
    if (xov::istNull(wert) || !wert.isValid()) {
        setText(istNumerisch() ? leerText() : QString());
    } else if (istNumerisch()) {
        bool ok = false;
        const double d = wert.toDouble(&ok);
        setText(ok ? formatiert(d, !hasFocus()) : wert.toString());
    } else if (wert.typeId() == QMetaType::QDate) {
        setText(xov::datumAlsText(wert.toDate()));
    } else {
        // A stored text longer than the field takes is shown whole and kept as it is, never cut.
        const QString t = wert.toString();
        setMaxLength(std::max(static_cast<int>(m_maxwert), static_cast<int>(t.size())));
        setText(t);
    }
}

QVariant InputFeld::spaltenwert() const {
    switch (m_feldtype) {
    case Zahl:
    case Kurs: {
        // A number column receives a number or NULL, never text; the field checks refuse an
        // incomplete number before anything is written.
        if (text().trimmed().isEmpty()) return xov::nullWert();
        const auto z = zahl();
        if (!z || !zahlVollstaendig()) xov::fehlerWerfen(xov::FehlerNr::Typunvertraeglich, objectName() + QStringLiteral(": ") + text());
        if (dezimalstellen() == 0 && std::fabs(*z) < 9.0e18) return QVariant(static_cast<qlonglong>(std::llround(*z)));
        return QVariant(*z);
    }
    case Datum: {
        const auto d = xov::datumAusText(text());
        return d ? QVariant(*d) : xov::nullWert();
    }
    default:
        return text();
    }
}

bool InputFeld::event(QEvent* e) {
    // Tab and Shift+Tab never reach keyPressEvent: announce leaving before the focus moves.
    if (e->type() == QEvent::KeyPress) {
        const int taste = static_cast<QKeyEvent*>(e)->key();
        if (taste == Qt::Key_Tab || taste == Qt::Key_Backtab) Q_EMIT LeaveField(taste);
    }
    return QLineEdit::event(e);
}

void InputFeld::ganzMarkieren() {
    // From the end back to the beginning: the cursor stands at the start, so that a text longer
    // than the field shows its beginning while typing still replaces all of it.
    const int n = static_cast<int>(text().size());
    if (n > 0) setSelection(n, -n);
}

void InputFeld::mousePressEvent(QMouseEvent* e) {
    m_frischBetreten = false;
    QLineEdit::mousePressEvent(e);
}

void InputFeld::keyPressEvent(QKeyEvent* e) {
    m_frischBetreten = false;
    // Alt with a letter is a shortcut that no button answered: never text in the field.
    if (xov::tipptMitAlt(e)) {
        xov::eingabeAbweisen(this);
        e->accept();
        return;
    }
    // A field with decimals and without thousands points takes a point, as a numeric keypad
    // sends it, for the decimal comma: "1.5" must never become 15.
    const bool punktAlsKomma = istNumerisch() && dezimalstellen() > 0 && m_keintausendpkt && e->text() == QLatin1String(".");
    // A character the field refuses beeps and says why; the field stays as it was.
    const QString getippt = punktAlsKomma ? QStringLiteral(",") : e->text();
    const bool tippt = !getippt.isEmpty() && getippt.at(0).isPrint() && !isReadOnly() &&
                       !(e->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
    if (tippt) {
        QString neu = text();
        const int von = hasSelectedText() ? selectionStart() : cursorPosition();
        neu.replace(von, hasSelectedText() ? selectedText().size() : 0, getippt);
        int pos = von + getippt.size();
        if (neu.size() > maxLength() || (validator() && validator()->validate(neu, pos) == QValidator::Invalid)) {
            xov::eingabeAbweisen(this, abweisungsHinweis(neu, getippt));
            e->accept();
            return;
        }
        xov::hinweisVerbergen(this);
    }
    if (punktAlsKomma) {
        insert(QStringLiteral(","));
        m_geaendert = true;
        e->accept();
        return;
    }
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) return mitEnterWeiter(e);
    QLineEdit::keyPressEvent(e);
}

void InputFeld::mitEnterWeiter(QKeyEvent* e) {
    // Enter moves on like Tab, as bookkeepers expect, but only from field to field: it skips the
    // buttons and the tab strip, so that a blank typed next never presses "Beenden". Where the
    // form made a button the default button for this field, Enter goes to the dialog, which
    // presses that button.
    if (e->modifiers() == Qt::NoModifier || e->modifiers() == Qt::KeypadModifier) {
        for (const QPushButton* k : window()->findChildren<QPushButton*>()) {
            if (k->isDefault() && k->isVisible()) {
                e->ignore();
                return;
            }
        }
    }
    Q_EMIT LeaveField(e->key());
    for (QWidget* n = nextInFocusChain(); n && n != this; n = n->nextInFocusChain()) {
        const bool feld = !qobject_cast<QAbstractButton*>(n) && !qobject_cast<QTabBar*>(n);
        if (feld && n->isVisible() && n->isEnabled() && (n->focusPolicy() & Qt::TabFocus)) {
            n->setFocus(Qt::TabFocusReason);
            break;
        }
    }
    e->accept();
}

void InputFeld::focusInEvent(QFocusEvent* e) {
    QLineEdit::focusInEvent(e);
    if (e->reason() == Qt::ActiveWindowFocusReason || e->reason() == Qt::PopupFocusReason) return;
    m_fokusGrund = e->reason();
    // Edit numbers without thousands points.
    if (istNumerisch() && !m_keintausendpkt) {
        if (auto z = xov::zahlAusText(text())) setText(formatiert(*z, false));
    }
    // Entered by keyboard or by the program (Tab, Enter, a page switch, the first focus, back
    // after a failed check): the whole text is selected, so that typing replaces it. A click
    // places the cursor where it went.
    m_frischBetreten = e->reason() != Qt::MouseFocusReason;
    if (m_frischBetreten) ganzMarkieren();
    Q_EMIT GotFocus();
}

void InputFeld::focusOutEvent(QFocusEvent* e) {
    QLineEdit::focusOutEvent(e);
    if (e->reason() == Qt::PopupFocusReason) return;
    xov::hinweisVerbergen(this);
    if (e->reason() == Qt::ActiveWindowFocusReason) return;
    m_frischBetreten = false;
    if (istNumerisch()) {
        if (auto z = xov::zahlAusText(text())) setText(formatiert(*z, true));
    }
    Q_EMIT LostFocus();
}
