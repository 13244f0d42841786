// A host that knows only the programmatic identifier: it creates the component through the
// factory and reaches the call, the start mode and the call's errors through the meta-object.

#include "Hilfen.h"
#include "component/xovMandStamm.h"
#include "platform/Fehler.h"
#include "platform/Komponenten.h"

#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// What the host sees after the call: whether it returned normally, and the error it reads.
std::pair<bool, int> aufrufen(QObject* k, const QVariantList& info) {
    bool aufgerufen = false;
    try {
        aufgerufen = QMetaObject::invokeMethod(k, "Mand_Aufruf", Q_ARG(QVariantList, info));
    } catch (...) {
        ADD_FAILURE() << "eine Ausnahme durch das Meta-Objekt";
    }
    return {aufgerufen, k->property("FehlerNr").toInt()};
}

}  // namespace

TEST(Host, KenntNurDieProgIdOeffnetBearbeitetSchliesstUndSiehtAufruffehler) {
    test::Datenbanken db;
    auto k = xov::komponenteErzeugen(QStringLiteral("xopMandStamm.xovMandStamm"));
    ASSERT_NE(k, nullptr);
    // An unknown identifier is error 429, never an empty object for the caller to trip over.
    try {
        xov::komponenteErzeugen(QStringLiteral("gibt.esNicht"));
        ADD_FAILURE() << "kein Fehler 429";
    } catch (const xov::Fehler& e) {
        EXPECT_EQ(e.nummer(), xov::FehlerNr::KomponenteFehlt);
    }
    // The start mode is the module's, whichever object set it.
    xovMandStamm andere;
    andere.setTabStripNr(5);
    EXPECT_EQ(k->property("TabStripNr").toInt(), 5);
    EXPECT_TRUE(k->setProperty("TabStripNr", 0));
    EXPECT_EQ(andere.TabStripNr(), 0);
    // Open, edit the town, close with "Beenden".
    bool bearbeitet = false;
    std::function<void()> bedienen = [&] {
        auto* dlg = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dlg) return QTimer::singleShot(10, bedienen);
        test::aktivieren(dlg);
        auto* ort = dlg->findChild<QLineEdit*>(QStringLiteral("inpMandOrt"));
        ort->setFocus();
        if (test::fokusAuf(ort)) {
            ort->selectAll();
            QTest::keyClicks(ort, "Graz");
            bearbeitet = true;
        }
        QTest::mouseClick(dlg->findChild<QPushButton*>(QStringLiteral("cmdBeenden")), Qt::LeftButton);
    };
    QTimer::singleShot(0, bedienen);
    test::Meldungen meldungen;
    EXPECT_EQ(aufrufen(k.get(), test::info(db)), std::make_pair(true, 0));
    EXPECT_TRUE(bearbeitet);
    EXPECT_EQ(db.mandWert(QStringLiteral("SELECT MandOrt FROM AllgMandDaten")).toString(), QStringLiteral("Graz"));
    // A malformed call: no dialog, no exception, the error readable afterwards.
    auto info = test::info(db);
    info[5] = QStringLiteral("kein Datum");
    EXPECT_EQ(aufrufen(k.get(), info), std::make_pair(true, 13));
    EXPECT_EQ(k->property("FehlerBeschreibung").toString(), QStringLiteral("Typen unverträglich"));
    // The next good call clears it.
    std::function<void()> schliessen = [&] {
        if (auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget())) d->close();
        else QTimer::singleShot(10, schliessen);
    };
    QTimer::singleShot(0, schliessen);
    EXPECT_EQ(aufrufen(k.get(), test::info(db)).second, 0);
    EXPECT_TRUE(meldungen.texte.isEmpty()) << meldungen.alle();
}
