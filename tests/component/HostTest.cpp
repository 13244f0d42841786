// A host that knows only the programmatic identifier: it creates the component through the
// factory and reaches the call, the start mode and the call's errors through the meta-object.

#include "Hilfen.h"
#include "platform/Komponenten.h"

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QMetaClassInfo>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

QString klassenInfo(const QObject* o, const char* name) {
    const QMetaObject* mo = o->metaObject();
    const int i = mo->indexOfClassInfo(name);
    return i < 0 ? QString() : QString::fromLatin1(mo->classInfo(i).value());
}

// What the host sees after the call: whether it returned normally, and the error it reads.
struct Ergebnis {
    bool aufgerufen = false;
    int nummer = -1;
    QString beschreibung;
};

Ergebnis aufrufen(QObject* k, const QVariantList& info) {
    Ergebnis e;
    try {
        e.aufgerufen = QMetaObject::invokeMethod(k, "Mand_Aufruf", Q_ARG(QVariantList, info));
    } catch (...) {
        ADD_FAILURE() << "eine Ausnahme durch das Meta-Objekt";
    }
    e.nummer = k->property("FehlerNr").toInt();
    e.beschreibung = k->property("FehlerBeschreibung").toString();
    return e;
}

// Closes the dialog as soon as it is shown.
void gleichSchliessen() {
    QTimer::singleShot(10, [] {
        if (auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget())) d->close();
        else gleichSchliessen();
    });
}

}  // namespace

TEST(Host, KenntNurDieProgIdOeffnetBearbeitetSchliesstUndSiehtAufruffehler) {
    test::Datenbanken db;
    auto k = xov::komponenteErzeugen(QStringLiteral("xopMandStamm.xovMandStamm"));
    ASSERT_NE(k, nullptr);

    // The interface as the host binds to it.
    EXPECT_EQ(klassenInfo(k.get(), "HelpString"), QStringLiteral("XOV MandantenStamm"));
    EXPECT_EQ(klassenInfo(k.get(), "DispId Mand_Aufruf"), QStringLiteral("0x60030000"));
    EXPECT_EQ(klassenInfo(k.get(), "DispId TabStripNr"), QStringLiteral("0x68030001"));
    EXPECT_GE(k->metaObject()->indexOfMethod("Mand_Aufruf(QVariantList)"), 0);
    EXPECT_TRUE(k->setProperty("TabStripNr", 3));
    EXPECT_EQ(k->property("TabStripNr").toInt(), 3);
    EXPECT_TRUE(k->setProperty("TabStripNr", 0));

    // Open, edit the town, close with "Beenden".
    bool bearbeitet = false;
    std::function<void()> bedienen = [&] {
        auto* dlg = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dlg) {
            QTimer::singleShot(10, bedienen);
            return;
        }
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
    const Ergebnis gut = aufrufen(k.get(), test::info(db));
    EXPECT_TRUE(gut.aufgerufen);
    EXPECT_TRUE(bearbeitet);
    EXPECT_EQ(gut.nummer, 0);
    EXPECT_EQ(gut.beschreibung, QString());
    EXPECT_EQ(db.mandWert(QStringLiteral("SELECT MandOrt FROM AllgMandDaten")).toString(), QStringLiteral("Graz"));
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);

    // A malformed call: no dialog, no exception, the error readable afterwards.
    auto info = test::info(db);
    info[5] = QStringLiteral("kein Datum");
    const Ergebnis falsch = aufrufen(k.get(), info);
    EXPECT_TRUE(falsch.aufgerufen);
    EXPECT_EQ(falsch.nummer, 13);
    EXPECT_EQ(falsch.beschreibung, QStringLiteral("Typen unverträglich"));
    const Ergebnis kurz = aufrufen(k.get(), test::info(db).mid(0, 50));
    EXPECT_EQ(kurz.nummer, 9);
    EXPECT_TRUE(kurz.beschreibung.contains(QStringLiteral("Info(50)"))) << kurz.beschreibung.toStdString();
    // The next good call clears it.
    gleichSchliessen();
    EXPECT_EQ(aufrufen(k.get(), test::info(db)).nummer, 0);
    EXPECT_TRUE(meldungen.texte.isEmpty()) << meldungen.texte.join('|').toStdString();
}
