#include "form/InputFeldHinweis.h"
#include "form/InputFeld.h"

#include <QApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QRegularExpression>
#include <QTimer>

namespace xov {
namespace {

const char* const HinweisName = "lblEingabeHinweis";
const char* const FeldEigenschaft = "xovHinweisFeld";
const char* const ZaehlerEigenschaft = "xovAbgewieseneTasten";

QLabel* hinweisBauen(QWidget* fenster) {
    auto* l = new QLabel(fenster);
    l->setObjectName(QString::fromLatin1(HinweisName));
    l->setForegroundRole(QPalette::ToolTipText);
    l->setBackgroundRole(QPalette::ToolTipBase);
    l->setAutoFillBackground(true);
    l->setFrameShape(QFrame::Box);
    l->setMargin(2);
    l->setAttribute(Qt::WA_TransparentForMouseEvents);
    l->hide();
    auto* uhr = new QTimer(l);
    uhr->setObjectName(QStringLiteral("uhr"));
    uhr->setSingleShot(true);
    uhr->setInterval(4000);
    QObject::connect(uhr, &QTimer::timeout, l, &QWidget::hide);
    return l;
}

// Beside the field on the right; where the window ends there, below it, or above it at the bottom.
void platzieren(QLabel* l, QWidget* feld) {
    QWidget* fenster = l->parentWidget();
    l->adjustSize();
    const QRect f(feld->mapTo(fenster, QPoint(0, 0)), feld->size());
    QPoint p(f.right() + 4, f.top() + (f.height() - l->height()) / 2);
    if (p.x() + l->width() > fenster->width()) {
        p = QPoint(f.left(), f.bottom() + 2);
        if (p.y() + l->height() > fenster->height()) p.setY(f.top() - l->height() - 2);
        p.setX(std::max(0, std::min(p.x(), fenster->width() - l->width())));
    }
    l->move(p);
}

}  // namespace

bool tipptMitAlt(const QKeyEvent* e) {
    const QString t = e->text();
    if (t.isEmpty() || !t.at(0).isPrint() || !(e->modifiers() & Qt::AltModifier)) return false;
    // AltGr arrives on some systems as Ctrl+Alt: it types when it gives another character.
    if (e->modifiers() & Qt::ControlModifier) return t.compare(QKeySequence(e->key()).toString(), Qt::CaseInsensitive) == 0;
    return true;
}

QLabel* eingabeHinweis(QWidget* fenster) {
    return fenster ? fenster->window()->findChild<QLabel*>(QString::fromLatin1(HinweisName), Qt::FindDirectChildrenOnly) : nullptr;
}

void eingabeAbweisen(QWidget* feld, const QString& hinweis) {
    QApplication::beep();
    if (!feld) return;
    QWidget* fenster = feld->window();
    fenster->setProperty(ZaehlerEigenschaft, abgewieseneTasten(fenster) + 1);
    if (hinweis.isEmpty()) return;
    QLabel* l = eingabeHinweis(fenster);
    if (!l) l = hinweisBauen(fenster);
    l->setText(hinweis);
    feld->setAccessibleDescription(hinweis);  // what a screen reader tells of the field meanwhile
    l->setProperty(FeldEigenschaft, QVariant::fromValue(reinterpret_cast<quintptr>(feld)));
    platzieren(l, feld);
    l->raise();
    l->show();
    l->findChild<QTimer*>(QStringLiteral("uhr"))->start();
}

void hinweisVerbergen(QWidget* feld) {
    QLabel* l = feld ? eingabeHinweis(feld) : nullptr;
    if (!l || l->property(FeldEigenschaft).value<quintptr>() != reinterpret_cast<quintptr>(feld)) return;
    feld->setAccessibleDescription(QString());
    l->hide();
}

int abgewieseneTasten(const QWidget* fenster) { return fenster->window()->property(ZaehlerEigenschaft).toInt(); }

}  // namespace xov

// Why the field refuses a keystroke, in the words of its kind.
QString InputFeld::abweisungsHinweis(const QString& neu, const QString& getippt) const {
    const int max = static_cast<int>(m_maxwert);
    switch (m_feldtype) {
    case Textfeld:
        return QStringLiteral("Höchstens %1 Zeichen.").arg(max);
    case Monat:
    case Datum: {
        const QString form = m_feldtype == Monat ? QStringLiteral("MM.JJJJ") : QStringLiteral("TT.MM.JJJJ");
        static const QRegularExpression datumzeichen(QStringLiteral("^[0-9.]+$"));
        if (!datumzeichen.match(getippt).hasMatch()) return QStringLiteral("Nur Ziffern und Punkte: %1.").arg(form);
        return QStringLiteral("Höchstens %1 Zeichen: %2.").arg(max).arg(form);
    }
    default: {
        static const QRegularExpression zahlzeichen(QStringLiteral("^[0-9.,-]+$"));
        if (!zahlzeichen.match(getippt).hasMatch()) return QStringLiteral("Nur eine Zahl wie %1.").arg(zahlBeispiel());
        if (getippt.contains(QLatin1Char('-')) && m_keinminus) return QStringLiteral("Hier ist kein Minus möglich.");
        if (getippt.contains(QLatin1Char(',')) && dezimalstellen() == 0) return QStringLiteral("Nur ganze Zahlen, ohne Komma.");
        QString roh = neu;
        roh.remove(QLatin1Char('.'));
        if (roh.size() > max) return QStringLiteral("Höchstens %1 Stellen.").arg(max);
        const int komma = neu.indexOf(QLatin1Char(','));
        if (komma >= 0 && neu.indexOf(QLatin1Char(','), komma + 1) < 0 && neu.size() - komma - 1 > dezimalstellen())
            return QStringLiteral("Höchstens %1 Nachkommastellen.").arg(dezimalstellen());
        return QStringLiteral("So wird es keine Zahl; Beispiel: %1.").arg(zahlBeispiel());
    }
    }
}
