#include "services/Skalierung.h"
#include "platform/Variant.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QHeaderView>
#include <QScreen>
#include <QTableView>
#include <QTextStream>
#include <QWidget>
#include <cmath>

namespace xov {
namespace {
int s_testBreite = 0, s_testHoehe = 0;
}

Skalierung& skalierung() {
    static Skalierung s;
    return s;
}

void bildschirmFestlegen(int breite, int hoehe) {
    s_testBreite = breite;
    s_testHoehe = hoehe;
}

QString BildschirmAufloesung() {
    int b = s_testBreite, h = s_testHoehe;
    if (b == 0) {
        const QScreen* s = QGuiApplication::primaryScreen();
        b = s ? s->size().width() : 0;
        h = s ? s->size().height() : 0;
    }
    skalierung().BildschirmBreite = static_cast<qint16>(b);
    skalierung().BildschirmHoehe = static_cast<qint16>(h);
    return QStringLiteral("%1 X %2").arg(b).arg(h);
}

void FormSkalieren(QWidget* form, bool geometrie, bool schrift) {
    Skalierung& s = skalierung();
    BildschirmAufloesung();
    if (s.BildschirmBreite == 800) return;
    s.Faktor = 0;
    s.IniPfad = iniPfad();
    const auto f = faktorBerechnen(IniLesen(s.IniPfad, QStringLiteral("Section1"), QStringLiteral("Skalieren")),
                                   IniLesen(s.IniPfad, QStringLiteral("Section2"), QStringLiteral("SkFaktor")),
                                   s.BildschirmBreite);
    if (!f) return;
    s.Faktor = *f;
    const double k = s.Faktor;
    if (geometrie) {
        form->resize(qRound(form->width() * k), qRound(form->height() * k));
        form->move(qRound(form->x() * k), qRound(form->y() * k));
    }
    // Every control keeps its own font, multiplied once; the form's own font ends at k squared.
    const QList<QWidget*> kinder = form->findChildren<QWidget*>();
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
    for (QWidget* w : kinder) {
        if (auto* raster = qobject_cast<QTableView*>(w)) {
            for (int sp = 0; sp < raster->horizontalHeader()->count(); ++sp)
                raster->setColumnWidth(sp, qRound(raster->columnWidth(sp) * k));
        }
    }
}

}  // namespace xov
