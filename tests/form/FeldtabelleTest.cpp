// The pages' tables are the one truth: names unique, references that resolve, every bound column
// in the database the tool creates, and the keyboard order of each page the table's order.

#include "Hilfen.h"
#include "form/Feldtabelle.h"
#include "form/TabStrip.h"
#include "platform/Datenbank.h"
#include "services/DbVerbindung.h"

#include <QFrame>
#include <QSet>
#include <QTest>
#include <gtest/gtest.h>

using namespace xov;

TEST(Feldtabelle, NamenEindeutigUndVerweiseAufgeloest) {
    QSet<QString> namen;
    for (const SeitenDef& s : seitentabellen()) {
        for (const RahmenDef& r : s.rahmen) {
            EXPECT_FALSE(namen.contains(r.name)) << r.name.toStdString();
            namen << r.name;
        }
        QSet<int> raenge;
        for (const FeldDef& f : s.felder) {
            EXPECT_FALSE(namen.contains(f.name)) << f.name.toStdString();
            namen << f.name;
            EXPECT_EQ(f.seite, s.nummer);
            if (f.pruefung == Pruefung::Keine) continue;
            EXPECT_FALSE(raenge.contains(f.pruefRang)) << f.name.toStdString();  // one check order
            raenge << f.pruefRang;
        }
    }
    for (const FeldDef& f : feldtabelle()) {
        if (!f.codeFeld.isEmpty()) {
            const FeldDef* code = felddef(f.codeFeld);
            ASSERT_NE(code, nullptr) << f.name.toStdString();
            EXPECT_EQ(code->art, Art::Code);
            EXPECT_FALSE(code->spalte.isEmpty());
        }
        if (!f.nameLabel.isEmpty()) EXPECT_NE(felddef(f.nameLabel), nullptr) << f.name.toStdString();
        if (!f.rahmen.isEmpty()) {
            const auto& rahmen = seitentabelle(f.seite).rahmen;
            EXPECT_TRUE(std::any_of(rahmen.begin(), rahmen.end(), [&](const RahmenDef& r) { return r.name == f.rahmen; }))
                << f.name.toStdString();
        }
    }
    for (const SeitenDef& s : seitentabellen())
        if (!s.fokus.isEmpty()) EXPECT_EQ(felddef(s.fokus)->seite, s.nummer);
}

TEST(Feldtabelle, JedeGebundeneSpalteInDerAngelegtenDatenbank) {
    test::Datenbanken db(2024, {}, false);
    const QStringList spalten = verbindungOeffnen(db.mand, DbPasswort)->spaltenVon(QStringLiteral("AllgMandDaten"));
    for (const FeldDef& f : feldtabelle()) {
        if (!f.spalte.isEmpty()) EXPECT_TRUE(spalten.contains(f.spalte, Qt::CaseInsensitive)) << f.spalte.toStdString();
    }
}

// Tab from the first field of each page visits the page's controls in the table's order, each
// once, and no other.
TEST(Feldtabelle, TabFolgtDerTabelleAufJederSeite) {
    test::Datenbanken db;
    test::Meldungen meldungen;
    test::Dialog d(test::info(db, {.waehrung = true}));
    for (const SeitenDef& s : seitentabellen()) {
        test::tabKlicken(d, s.nummer);
        QStringList erwartet;
        for (const FeldDef& f : s.felder) {
            QWidget* w = d->steuerelement(f.name);
            if (f.art != Art::Anzeige && f.art != Art::Beschriftung && w->isVisible() && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus))
                erwartet << f.name;
        }
        if (erwartet.isEmpty()) continue;  // page 4 shows nothing
        d->steuerelement(erwartet.first())->setFocus(Qt::OtherFocusReason);
        ASSERT_TRUE(test::fokusAuf(d->steuerelement(erwartet.first())));
        QStringList besucht{erwartet.first()};
        for (int n = 1; n < erwartet.size() + 2; ++n) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QWidget* f = QApplication::focusWidget();
            if (!f || !d->Frame1[s.nummer - 1]->isAncestorOf(f)) break;
            besucht << f->objectName();
        }
        // The currency page shows its rate frame and grid as the current row asks: its 60 row
        // fields are the fixed part of its order.
        if (s.nummer == 8) {
            besucht = besucht.mid(0, 60);
            erwartet = erwartet.mid(0, 60);
        }
        EXPECT_EQ(besucht, erwartet) << "Seite " << s.nummer;
        if (meldungen.texte.size()) break;
    }
    EXPECT_TRUE(meldungen.texte.isEmpty()) << meldungen.alle();
}
