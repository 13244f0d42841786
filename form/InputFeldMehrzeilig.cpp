#include "form/InputFeldMehrzeilig.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QTextLayout>

InputFeldMehrzeilig::InputFeldMehrzeilig(int zeilen, QWidget* parent) : InputFeld(parent), m_zeilen(std::max(1, zeilen)) {
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // The line edit repaints only where it believes the cursor is; the wrapped text needs all.
    connect(this, &QLineEdit::cursorPositionChanged, this, qOverload<>(&QWidget::update));
    connect(this, &QLineEdit::selectionChanged, this, qOverload<>(&QWidget::update));
    connect(this, &QLineEdit::textChanged, this, qOverload<>(&QWidget::update));
}

QSize InputFeldMehrzeilig::sizeHint() const {
    QSize s = InputFeld::sizeHint();
    s.rheight() += (m_zeilen - 1) * fontMetrics().height();
    return s;
}

QSize InputFeldMehrzeilig::minimumSizeHint() const {
    QSize s = InputFeld::minimumSizeHint();
    s.rheight() += (m_zeilen - 1) * fontMetrics().height();
    return s;
}

// The room for the text: inside the frame and the margins a line edit keeps around its text.
QRect InputFeldMehrzeilig::textRaum() const {
    return contentsRect().marginsRemoved(textMargins()).adjusted(2, 1, -2, -1);
}

void InputFeldMehrzeilig::umbrechen(QTextLayout& layout) const {
    layout.setText(displayText());
    layout.setFont(font());
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    layout.setCacheEnabled(true);
    const qreal breite = textRaum().width();
    qreal y = 0;
    layout.beginLayout();
    for (QTextLine zeile = layout.createLine(); zeile.isValid(); zeile = layout.createLine()) {
        zeile.setLineWidth(breite);
        zeile.setPosition(QPointF(0, y));
        y += zeile.height();
    }
    layout.endLayout();
}

int InputFeldMehrzeilig::positionBei(const QPoint& punkt) const {
    QTextLayout layout;
    umbrechen(layout);
    if (layout.lineCount() == 0) return 0;
    const QPointF p = punkt - textRaum().topLeft();
    QTextLine zeile = layout.lineAt(layout.lineCount() - 1);
    for (int i = 0; i < layout.lineCount(); ++i) {
        if (p.y() < layout.lineAt(i).rect().bottom()) {
            zeile = layout.lineAt(i);
            break;
        }
    }
    return zeile.xToCursor(p.x());
}

void InputFeldMehrzeilig::paintEvent(QPaintEvent*) {
    QPainter p(this);
    QStyleOptionFrame option;
    initStyleOption(&option);
    style()->drawPrimitive(QStyle::PE_PanelLineEdit, &option, &p, this);

    const QRect raum = textRaum();
    QTextLayout layout;
    umbrechen(layout);
    QList<QTextLayout::FormatRange> auswahl;
    if (hasSelectedText()) {
        QTextLayout::FormatRange markiert;
        markiert.start = selectionStart();
        markiert.length = selectionLength();
        markiert.format.setBackground(palette().brush(QPalette::Highlight));
        markiert.format.setForeground(palette().brush(QPalette::HighlightedText));
        auswahl << markiert;
    }
    p.setClipRect(raum);
    p.setPen(palette().color(isEnabled() ? QPalette::Normal : QPalette::Disabled, QPalette::Text));
    layout.draw(&p, raum.topLeft(), auswahl);
    if (hasFocus() && !isReadOnly())
        layout.drawCursor(&p, raum.topLeft(), cursorPosition(), style()->pixelMetric(QStyle::PM_TextCursorWidth, &option, this));
}

void InputFeldMehrzeilig::mousePressEvent(QMouseEvent* e) {
    InputFeld::mousePressEvent(e);  // focus, context menu and the like as usual
    if (e->button() != Qt::LeftButton) return;
    const int pos = positionBei(e->position().toPoint());
    if (e->modifiers() & Qt::ShiftModifier) {
        const int anfang = hasSelectedText() ? (cursorPosition() == selectionStart() ? selectionEnd() : selectionStart()) : m_anker;
        setSelection(anfang, pos - anfang);
        m_anker = anfang;
    } else {
        deselect();
        setCursorPosition(pos);
        m_anker = pos;
    }
}

void InputFeldMehrzeilig::mouseMoveEvent(QMouseEvent* e) {
    if (!(e->buttons() & Qt::LeftButton)) return InputFeld::mouseMoveEvent(e);
    const int pos = positionBei(e->position().toPoint());
    if (pos == m_anker) setCursorPosition(pos);
    else setSelection(m_anker, pos - m_anker);
}

void InputFeldMehrzeilig::mouseDoubleClickEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton) return InputFeld::mouseDoubleClickEvent(e);
    // The word under the mouse.
    const QString t = displayText();
    const int pos = positionBei(e->position().toPoint());
    auto wortzeichen = [&](int i) { return i >= 0 && i < t.size() && t.at(i).isLetterOrNumber(); };
    int von = pos, bis = pos;
    while (wortzeichen(von - 1)) --von;
    while (wortzeichen(bis)) ++bis;
    if (bis > von) setSelection(von, bis - von);
    m_anker = von;
}

void InputFeldMehrzeilig::keyPressEvent(QKeyEvent* e) {
    // Up and Down move between the wrapped lines, keeping the cursor's column.
    if ((e->key() == Qt::Key_Up || e->key() == Qt::Key_Down) && !(e->modifiers() & ~Qt::ShiftModifier)) {
        QTextLayout layout;
        umbrechen(layout);
        const QTextLine zeile = layout.lineForTextPosition(cursorPosition());
        const int ziel = zeile.isValid() ? zeile.lineNumber() + (e->key() == Qt::Key_Up ? -1 : 1) : -1;
        if (ziel >= 0 && ziel < layout.lineCount()) {
            const int pos = layout.lineAt(ziel).xToCursor(zeile.cursorToX(cursorPosition()));
            cursorForward(e->modifiers() & Qt::ShiftModifier, pos - cursorPosition());
            e->accept();
            return;
        }
    }
    InputFeld::keyPressEvent(e);
}
