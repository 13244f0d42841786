// A screen reader names every control: each field, list, check box, button and grid of every
// page answers QAccessible with a name a user recognizes from the page.

#include "Hilfen.h"
#include "form/TabStrip.h"

#include <QAccessible>
#include <QAbstractButton>
#include <QAbstractItemView>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

namespace {

QString zugangsname(QWidget* w) {
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
    return a ? a->text(QAccessible::Name).trimmed() : QString();
}

// The controls a user reaches or reads on the page shown: what takes the keyboard focus.
QStringList ohneNamen(QWidget* seite) {
    QStringList fehlend;
    for (QWidget* w : seite->findChildren<QWidget*>()) {
        if (!w->isVisibleTo(seite) || w->focusPolicy() == Qt::NoFocus) continue;
        if (!qobject_cast<QLineEdit*>(w) && !qobject_cast<QComboBox*>(w) && !qobject_cast<QAbstractButton*>(w) &&
            !qobject_cast<QAbstractItemView*>(w))
            continue;
        if (qobject_cast<QLineEdit*>(w) && qobject_cast<QComboBox*>(w->parentWidget())) continue;  // a list's own editor
        if (zugangsname(w).isEmpty()) fehlend << w->objectName();
    }
    return fehlend;
}

}  // namespace

TEST(Zugaenglichkeit, JedesSteuerelementJederSeiteHatEinenNamen) {
    test::Datenbanken db;
    QVariantList info = test::info(db);
    info[61] = 1;
    test::Dialog d(info);
    QAccessible::setActive(true);
    for (int seite = 1; seite <= 8; ++seite) {
        test::tabKlicken(d, seite);
        EXPECT_EQ(ohneNamen(d->Frame1[seite - 1]), QStringList()) << "Seite " << seite;
    }
    EXPECT_EQ(ohneNamen(d->fraUntererTeil), QStringList());
    // A hint beside a field is what a screen reader tells of it, and goes with it.
    test::tabKlicken(d, 1);
    auto* uid = d->findChild<QLineEdit*>(QStringLiteral("inpMandUID"));
    uid->setText(QStringLiteral("ATU12345679"));
    auto beschreibung = [](QWidget* w) { return QAccessible::queryAccessibleInterface(w)->text(QAccessible::Description); };
    EXPECT_EQ(beschreibung(uid), d->findChild<QLabel*>(QStringLiteral("lblMandUIDHinweis"))->text());
    EXPECT_FALSE(beschreibung(uid).isEmpty());
    uid->setText(QStringLiteral("ATU13585627"));
    EXPECT_EQ(beschreibung(uid), QString());
    // The currency rows are told apart by their number and column.
    EXPECT_EQ(zugangsname(d->findChild<QWidget*>(QStringLiteral("inpWährungsBezKurz(2)"))), QStringLiteral("Währung 3, Kurzbezeichnung"));
    ASSERT_TRUE(d.escape());
}
