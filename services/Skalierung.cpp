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

// The screen the form is on: with two monitors the one it opens on, not always the primary one.
void bildschirmMessen(const QWidget* form, Skalierung& ergebnis) {
    const QScreen* s = form->screen() ? form->screen() : QGuiApplication::primaryScreen();
    const QSize groesse = s ? s->size() : QSize(0, 0);
    ergebnis.BildschirmBreite = static_cast<qint16>(groesse.width());
    ergebnis.BildschirmHoehe = static_cast<qint16>(groesse.height());
}

int mal(int wert, double k) { return qRound(wert * k); }

// Controls of a fixed height (fields, lists, buttons, tabs) are as high as their font and frame
// make them; they grow with the factor as a whole, not only by their text. Buttons keep the room
// around their caption in proportion, too. Their sizes before the fonts grow.
QHash<QWidget*, QSize> festeGroessen(const QList<QWidget*>& kinder) {
    QHash<QWidget*, QSize> fest;
    for (QWidget* w : kinder) {
        if (w->isWindow()) continue;
        const bool knopf = qobject_cast<QAbstractButton*>(w) != nullptr;
        if (knopf || w->sizePolicy().verticalPolicy() == QSizePolicy::Fixed)
            fest.insert(w, QSize(knopf ? w->sizeHint().width() : 0, w->sizeHint().height()));
    }
    return fest;
}

// Every control keeps its own font, multiplied once; the form's own font ends at k squared.
// The controls' fonts are taken before the form's changes, since those without a font of their
// own inherit it.
void schriftenSkalieren(QWidget* form, const QList<QWidget*>& kinder, double k) {
    QVector<QFont> neu;
    for (QWidget* w : kinder) {
        QFont font = w->font();
        if (font.family() == QLatin1String("Small Fonts")) font.setFamily(form->font().family());
        if (font.pointSizeF() > 0) font.setPointSizeF(font.pointSizeF() * k);
        neu << font;
    }
    QFont formSchrift = form->font();
    if (formSchrift.pointSizeF() > 0) formSchrift.setPointSizeF(formSchrift.pointSizeF() * k * k);
    form->setFont(formSchrift);
    for (int i = 0; i < kinder.size(); ++i) kinder.at(i)->setFont(neu.at(i));
}

// Every fixed, smallest and largest size and the grid columns grow with the factor.
void groessenSkalieren(const QList<QWidget*>& kinder, const QHash<QWidget*, QSize>& fest, double k) {
    for (QWidget* w : kinder) {
        const QSize min = w->minimumSize(), max = w->maximumSize();
        if (min.width() > 0 || min.height() > 0) w->setMinimumSize(mal(min.width(), k), mal(min.height(), k));
        if (max.width() < QWIDGETSIZE_MAX) w->setMaximumWidth(mal(max.width(), k));
        if (max.height() < QWIDGETSIZE_MAX) w->setMaximumHeight(mal(max.height(), k));
        if (auto* raster = qobject_cast<QTableView*>(w)) {
            for (int sp = 0; sp < raster->horizontalHeader()->count(); ++sp)
                raster->setColumnWidth(sp, mal(raster->columnWidth(sp), k));
            raster->verticalHeader()->setDefaultSectionSize(mal(raster->verticalHeader()->defaultSectionSize(), k));
        }
    }
    for (auto it = fest.begin(); it != fest.end(); ++it) {
        QWidget* w = it.key();
        w->setMinimumHeight(std::min(std::max(w->minimumHeight(), mal(it.value().height(), k)), w->maximumHeight()));
        w->setMinimumWidth(std::min(std::max(w->minimumWidth(), mal(it.value().width(), k)), w->maximumWidth()));
    }
}

// Every margin, spacing and spacer of the layouts grows with the factor.
void layoutsSkalieren(QWidget* form, double k) {
    const QList<QLayout*> layouts = form->findChildren<QLayout*>();
    for (QLayout* l : layouts) {
        const QMargins r = l->contentsMargins();
        l->setContentsMargins(mal(r.left(), k), mal(r.top(), k), mal(r.right(), k), mal(r.bottom(), k));
        const QWidget* eltern = l->parentWidget() ? l->parentWidget() : form;
        auto abstand = [&](int wert, Qt::Orientation richtung) {
            return mal(wert >= 0 ? wert : eltern->style()->layoutSpacing(QSizePolicy::DefaultType, QSizePolicy::DefaultType, richtung), k);
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
                leer->changeSize(mal(leer->sizeHint().width(), k), mal(leer->sizeHint().height(), k), p.horizontalPolicy(),
                                 p.verticalPolicy());
            }
        }
        l->invalidate();
    }
}

}  // namespace

Skalierung FormSkalieren(QWidget* form, bool geometrie, bool schrift, const std::function<void()>& vorher) {
    Skalierung s;
    bildschirmMessen(form, s);
    if (s.BildschirmBreite == 800) return s;
    s.IniPfad = iniPfad();
    const auto f = faktorBerechnen(IniLesen(s.IniPfad, QStringLiteral("Section1"), QStringLiteral("Skalieren")),
                                   IniLesen(s.IniPfad, QStringLiteral("Section2"), QStringLiteral("SkFaktor")),
                                   s.BildschirmBreite);
    if (!f) return s;
    s.Faktor = *f;
    const double k = s.Faktor;
    if (vorher) vorher();
    if (geometrie) {
        form->resize(mal(form->width(), k), mal(form->height(), k));
        form->move(mal(form->x(), k), mal(form->y(), k));
    }
    // The controls sit in layouts, which place them by their sizes: every size, margin and
    // spacing grows with the factor, so that the layout stays the same, only larger. Sizes that
    // come from the font (labels, tabs, buttons, lists) follow the scaled font by themselves.
    const QList<QWidget*> kinder = form->findChildren<QWidget*>();
    const QHash<QWidget*, QSize> fest = festeGroessen(kinder);
    if (schrift) schriftenSkalieren(form, kinder, k);
    groessenSkalieren(kinder, fest, k);
    layoutsSkalieren(form, k);
    return s;
}

}  // namespace xov
