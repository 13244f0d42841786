// A screen reader names every control: each field, list, check box, button and grid of every
// page answers QAccessible with a name a user recognizes from the page.

#include "Hilfen.h"

#include <QAccessible>
#include <QAbstractButton>
#include <QAbstractItemView>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <gtest/gtest.h>

namespace {

QString zugang(QWidget* w, QAccessible::Text art = QAccessible::Name) {
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
    return a ? a->text(art).trimmed() : QString();
}

// The controls a user reaches on the page shown that have no name.
QStringList ohneNamen(QWidget* seite) {
    QStringList fehlend;
    for (QWidget* w : seite->findChildren<QWidget*>()) {
        if (!w->isVisibleTo(seite) || w->focusPolicy() == Qt::NoFocus) continue;
        const bool feld = qobject_cast<QLineEdit*>(w) && !qobject_cast<QComboBox*>(w->parentWidget());  // not a list's own editor
        if ((feld || qobject_cast<QComboBox*>(w) || qobject_cast<QAbstractButton*>(w) || qobject_cast<QAbstractItemView*>(w)) &&
            zugang(w).isEmpty())
            fehlend << w->objectName();
    }
    return fehlend;
}

}  // namespace

TEST(Zugaenglichkeit, JedesSteuerelementJederSeiteHatEinenNamen) {
    test::Datenbanken db;
    test::Dialog d(test::info(db, {.waehrung = true}));
    QAccessible::setActive(true);
    for (int seite = 1; seite <= 8; ++seite) {
        test::tabKlicken(d, seite);
        EXPECT_EQ(ohneNamen(d->Frame1[seite - 1]), QStringList()) << "Seite " << seite;
    }
    EXPECT_EQ(ohneNamen(d->fraUntererTeil), QStringList());
    // The currency rows are told apart by their number and column.
    EXPECT_EQ(zugang(d->findChild<QWidget*>(QStringLiteral("inpWährungsBezKurz(2)"))), QStringLiteral("Währung 3, Kurzbezeichnung"));
    // A hint beside a field is what a screen reader tells of it, and goes with it.
    test::tabKlicken(d, 1);
    auto* uid = d->findChild<QLineEdit*>(QStringLiteral("inpMandUID"));
    uid->setText(QStringLiteral("ATU12345679"));
    EXPECT_EQ(zugang(uid, QAccessible::Description), d->findChild<QLabel*>(QStringLiteral("lblMandUIDHinweis"))->text());
    EXPECT_FALSE(zugang(uid, QAccessible::Description).isEmpty());
    uid->setText(QStringLiteral("ATU13585627"));
    EXPECT_EQ(zugang(uid, QAccessible::Description), QString());
    ASSERT_TRUE(d.escape());
}
