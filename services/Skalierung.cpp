#include "services/Skalierung.h"
#include "platform/Variant.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QAbstractButton>
#include <QBoxLayout>
#include <QGridLayout>
#include <QHeaderView>
#include <QStyle>
#include <QScreen>
#include <QTableView>
#include <QTextStream>
#include <QWidget>
#include <cmath>

namespace xov {
namespace {
int s_testBreite = 0, s_testHoehe = 0;
}

void bildschirmFestlegen(int breite, int hoehe) {
    s_testBreite = breite;
    s_testHoehe = hoehe;
}

QString BildschirmAufloesung(Skalierung* ergebnis) {
    int b = s_testBreite, h = s_testHoehe;
    if (b == 0) {
        const QScreen* s = QGuiApplication::primaryScreen();
        b = s ? s->size().width() : 0;
        h = s ? s->size().height() : 0;
    }
    if (ergebnis) {
        ergebnis->BildschirmBreite = static_cast<qint16>(b);
        ergebnis->BildschirmHoehe = static_cast<qint16>(h);
    }
    return QStringLiteral("%1 X %2").arg(b).arg(h);
}

Skalierung FormSkalieren(QWidget* form, bool geometrie, bool schrift) {
    Skalierung s;
    BildschirmAufloesung(&s);
    if (s.BildschirmBreite == 800) return s;
    s.Faktor = 0;
    s.IniPfad = iniPfad();
    const auto f = faktorBerechnen(IniLesen(s.IniPfad, QStringLiteral("Section1"), QStringLiteral("Skalieren")),
                                   IniLesen(s.IniPfad, QStringLiteral("Section2"), QStringLiteral("SkFaktor")),
                                   s.BildschirmBreite);
    if (!f) return s;
    s.Faktor = *f;
    const double k = s.Faktor;
    if (geometrie) {
        form->resize(qRound(form->width() * k), qRound(form->height() * k));
        form->move(qRound(form->x() * k), qRound(form->y() * k));
    }
    // Every control keeps its own font, multiplied once; the form's own font ends at k squared.
    const QList<QWidget*> kinder = form->findChildren<QWidget*>();
    // Controls of a fixed height (fields, lists, buttons, tabs) are as high as their font and
    // frame make them; they grow with the factor as a whole, not only by their text.
    // Buttons keep the room around their caption in proportion, too.
    QHash<QWidget*, QSize> festeGroesse;
    for (QWidget* w : kinder) {
        if (w->isWindow()) continue;
        const bool knopf = qobject_cast<QAbstractButton*>(w) != nullptr;
        if (knopf || w->sizePolicy().verticalPolicy() == QSizePolicy::Fixed)
            festeGroesse.insert(w, QSize(knopf ? w->sizeHint().width() : 0, w->sizeHint().height()));
    }
    QVector<QFont> neu;
    for (QWidget* w : kinder) {
        QFont font = w->font();
        if (font.family() == QLatin1String("Small Fonts")) font.setFamily(form->font().family());
        if (font.pointSizeF() > 0) font.setPointSizeF(font.pointSizeF() * k);
        neu << font;
    }
    if (schrift) {
        QFont formSchrift = form->font();
        if (formSchrift.pointSizeF() > 0) formSchrift.setPointSizeF(formSchrift.pointSizeF() * k * k);
        form->setFont(formSchrift);
        for (int i = 0; i < kinder.size(); ++i) kinder.at(i)->setFont(neu.at(i));
    }
    // The controls sit in layouts, which place them by their sizes: every fixed, smallest and
    // largest size, every margin and spacing grows with the factor, so that the layout stays
    // the same, only larger. Sizes that come from the font (labels, tabs, buttons, lists)
    // follow the scaled font by themselves.
    const auto mal = [k](int wert) { return qRound(wert * k); };
    for (QWidget* w : kinder) {
        const QSize min = w->minimumSize(), max = w->maximumSize();
        if (min.width() > 0 || min.height() > 0) w->setMinimumSize(mal(min.width()), mal(min.height()));
        if (max.width() < QWIDGETSIZE_MAX) w->setMaximumWidth(mal(max.width()));
        if (max.height() < QWIDGETSIZE_MAX) w->setMaximumHeight(mal(max.height()));
        if (auto* raster = qobject_cast<QTableView*>(w)) {
            for (int sp = 0; sp < raster->horizontalHeader()->count(); ++sp)
                raster->setColumnWidth(sp, mal(raster->columnWidth(sp)));
            raster->verticalHeader()->setDefaultSectionSize(mal(raster->verticalHeader()->defaultSectionSize()));
        }
    }
    for (auto it = festeGroesse.begin(); it != festeGroesse.end(); ++it) {
        QWidget* w = it.key();
        w->setMinimumHeight(std::min(std::max(w->minimumHeight(), mal(it.value().height())), w->maximumHeight()));
        w->setMinimumWidth(std::min(std::max(w->minimumWidth(), mal(it.value().width())), w->maximumWidth()));
    }
    const QList<QLayout*> layouts = form->findChildren<QLayout*>();
    for (QLayout* l : layouts) {
        const QMargins r = l->contentsMargins();
        l->setContentsMargins(mal(r.left()), mal(r.top()), mal(r.right()), mal(r.bottom()));
        const QWidget* eltern = l->parentWidget() ? l->parentWidget() : form;
        auto abstand = [&](int wert, Qt::Orientation richtung) {
            return mal(wert >= 0 ? wert : eltern->style()->layoutSpacing(QSizePolicy::DefaultType, QSizePolicy::DefaultType, richtung));
        };
        if (auto* g = qobject_cast<QGridLayout*>(l)) {
            g->setHorizontalSpacing(abstand(g->horizontalSpacing(), Qt::Horizontal));
            g->setVerticalSpacing(abstand(g->verticalSpacing(), Qt::Vertical));
        } else if (auto* b = qobject_cast<QBoxLayout*>(l)) {
            const bool waagrecht = b->direction() == QBoxLayout::LeftToRight || b->direction() == QBoxLayout::RightToLeft;
            b->setSpacing(abstand(b->spacing(), waagrecht ? Qt::Horizontal : Qt::Vertical));
        }
        for (int i = 0; i < l->count(); ++i) {
            if (QSpacerItem* leer = l->itemAt(i)->spacerItem()) {
                const QSizePolicy p = leer->sizePolicy();
                leer->changeSize(mal(leer->sizeHint().width()), mal(leer->sizeHint().height()), p.horizontalPolicy(), p.verticalPolicy());
            }
        }
        l->invalidate();
    }
    return s;
}

}  // namespace xov
