#include "form/InputFeld.h"
#include "platform/Variant.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QRegularExpression>
#include <QValidator>

using xov::deutsch;

namespace {

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
            const int dez = m_feld->dezimalstellen();
            const QString muster = QStringLiteral("^%1[0-9%2]*%3$")
                                       .arg(m_feld->keinminus() ? QString() : QStringLiteral("-?"),
                                            m_feld->keintausendpkt() ? QString() : QStringLiteral("."),
                                            dez > 0 ? QStringLiteral("(,[0-9]{0,%1})?").arg(dez) : QString());
            const QRegularExpression re(muster);
            QString roh = text;
            roh.remove(QLatin1Char('.'));
            if (roh.size() > max || !re.match(text).hasMatch()) return Invalid;
            return Acceptable;
        }
        }
    }

private:
    const InputFeld* m_feld;
};

}  // namespace

InputFeld::InputFeld(QWidget* parent) : QLineEdit(parent) {
    setValidator(new EingabePruefer(this));
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
    if (!istNumerisch()) return m_feldtype == Textfeld ? QString() : QStringLiteral("0");
    const int dez = dezimalstellen();
    return dez > 0 ? QStringLiteral("0,") + QString(dez, QLatin1Char('0')) : QStringLiteral("0");
}

QString InputFeld::Text() const {
    const QString t = text();
    if (t.trimmed().isEmpty() && m_feldtype != Textfeld) return leerText();
    return t;
}

std::optional<double> InputFeld::zahl() const { return xov::zahlAusText(Text()); }

QString InputFeld::formatiert(double wert, bool mitTausendern) const {
    QString s = deutsch().toString(wert, 'f', dezimalstellen());
    if (!mitTausendern || m_keintausendpkt) s.remove(deutsch().groupSeparator());
    return s;
}

void InputFeld::setzeText(const QString& t) {
    if (istNumerisch()) {
        if (auto z = xov::zahlAusText(t)) {
            setText(formatiert(*z, !hasFocus()));
            return;
        }
    }
    setText(t);
}

void InputFeld::setzeZahl(double wert) { setText(formatiert(wert, !hasFocus())); }

void InputFeld::spaltenwertAnzeigen(const QVariant& wert) {
    if (xov::istNull(wert) || !wert.isValid()) {
        setText(QString());
    } else if (istNumerisch()) {
        bool ok = false;
        const double d = wert.toDouble(&ok);
        ok ? setzeZahl(d) : setText(wert.toString());
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
    case Zahl: {
        const auto z = zahl();
        if (!z) return text().trimmed().isEmpty() ? xov::nullWert() : QVariant(text());
        if (dezimalstellen() == 0) return QVariant(static_cast<qlonglong>(*z));
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

void InputFeld::keyPressEvent(QKeyEvent* e) {
    // Enter moves on like Tab, as bookkeepers expect; it never presses a button of the dialog.
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
        Q_EMIT LeaveField(e->key());
        focusNextChild();
        e->accept();
        return;
    }
    QLineEdit::keyPressEvent(e);
}

void InputFeld::focusInEvent(QFocusEvent* e) {
    QLineEdit::focusInEvent(e);
    if (e->reason() == Qt::ActiveWindowFocusReason || e->reason() == Qt::PopupFocusReason) return;
    // Edit numbers without thousands points.
    if (istNumerisch() && !m_keintausendpkt) {
        if (auto z = xov::zahlAusText(text())) setText(formatiert(*z, false));
    }
    Q_EMIT GotFocus();
}

void InputFeld::focusOutEvent(QFocusEvent* e) {
    QLineEdit::focusOutEvent(e);
    if (e->reason() == Qt::ActiveWindowFocusReason || e->reason() == Qt::PopupFocusReason) return;
    if (istNumerisch()) {
        if (auto z = xov::zahlAusText(text())) setText(formatiert(*z, true));
    }
    Q_EMIT LostFocus();
}
