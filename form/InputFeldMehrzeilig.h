#pragma once
// An input field several lines high whose text wraps, so that a long name is seen whole. It is
// an InputFeld in every other respect: the same limits, validation, binding, reading (Text,
// spaltenwert) and events; only showing the text and placing the cursor with mouse and arrow
// keys follow the wrapped lines.

#include "form/InputFeld.h"

class QTextLayout;

class InputFeldMehrzeilig : public InputFeld {
    Q_OBJECT
public:
    explicit InputFeldMehrzeilig(int zeilen, QWidget* parent = nullptr);
    int zeilen() const { return m_zeilen; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    QRect textRaum() const;
    void umbrechen(QTextLayout& layout) const;
    int positionBei(const QPoint& punkt) const;

    int m_zeilen;
    int m_anker = 0;
};
