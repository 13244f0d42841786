// The component's entry: call information, its copy rules, the conversions and TabStripNr.

#include "Hilfen.h"
#include "component/Aufrufinformation.h"
#include "services/DbVerbindung.h"
#include "component/xovMandStamm.h"
#include "platform/Fehler.h"
#include "platform/Komponenten.h"
#include "platform/Variant.h"

#include <QApplication>
#include <QDateTime>
#include <QDialog>
#include <QLabel>
#include <QTest>
#include <gtest/gtest.h>

using namespace xov;

namespace {

// Closes the dialog as soon as it is shown.
void gleichSchliessen() {
    QTimer::singleShot(0, [] {
        if (auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget())) d->close();
        else gleichSchliessen();
    });
}

// A C++ host catches the failure and reads the same number from the object afterwards.
int aufrufFehler(QVariantList info) {
    xovMandStamm k;
    try {
        k.Mand_Aufruf(info);
    } catch (const Fehler& f) {
        EXPECT_EQ(k.FehlerNr(), f.nummer());
        EXPECT_EQ(k.FehlerBeschreibung(), f.beschreibung());
        return f.nummer();
    }
    return 0;
}

// Calls as a host does and reads the month status the dialog shows, then closes it.
QString monatsStatusImDialog(QVariantList info) {
    QString gezeigt = QStringLiteral("kein Dialog");
    QObject kontext;  // ends the look-up when the call returns without a dialog
    std::function<void()> lesen = [&] {
        auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!d) {
            QTimer::singleShot(10, &kontext, lesen);
            return;
        }
        gezeigt = d->findChild<QLabel*>(QStringLiteral("lblAuswahlMonStatus"))->text();
        d->close();
    };
    QTimer::singleShot(0, &kontext, lesen);
    xovMandStamm k;
    try {
        k.Mand_Aufruf(info);
    } catch (const Fehler& f) {
        return QStringLiteral("Fehler %1").arg(f.nummer());
    }
    return gezeigt;
}

}  // namespace

TEST(Aufruf, MonatsStatusDatumInJederFormDerPlattform) {
    test::Datenbanken db;
    test::Meldungen meldungen;
    auto info = test::info(db);
    const QVariant werte[] = {QVariant(45352), QVariant(45352.5), QVariant(QStringLiteral("01.03.2024 10:00:00")),
                              QVariant(QStringLiteral("2024-03-01")), QVariant(QDateTime(QDate(2024, 3, 1), QTime(10, 0))),
                              QVariant(QStringLiteral("1.3.24"))};
    for (const QVariant& w : werte) {
        info[5] = w;
        EXPECT_EQ(monatsStatusImDialog(info), QStringLiteral("03.2024")) << w.toString().toStdString();
    }
}

TEST(Aufruf, FehlendeElementeGebenFehler9AmErstenFehlendenIndex) {
    test::Datenbanken db;
    QVariantList kurz = test::info(db).mid(0, 5);
    try {
        xovMandStamm k;
        k.Mand_Aufruf(kurz);
        FAIL() << "kein Fehler";
    } catch (const Fehler& f) {
        EXPECT_EQ(f.nummer(), FehlerNr::IndexAusserhalb);
        EXPECT_TRUE(f.beschreibung().contains(QStringLiteral("Info(11)"))) << f.beschreibung().toStdString();
    }
    EXPECT_EQ(aufrufFehler(test::info(db).mid(0, 99)), FehlerNr::IndexAusserhalb);  // index 99 missing
}

TEST(Aufruf, UmwandlungsfehlerErreichenDenHost) {
    test::Datenbanken db;
    auto info = test::info(db);
    info[5] = QStringLiteral("kein Datum");
    EXPECT_EQ(aufrufFehler(info), FehlerNr::Typunvertraeglich);
    info = test::info(db);
    info[11] = 70000;
    EXPECT_EQ(aufrufFehler(info), FehlerNr::Ueberlauf);
    info = test::info(db);
    info[0] = nullWert();
    EXPECT_EQ(aufrufFehler(info), FehlerNr::NullUnzulaessig);
    info = test::info(db);
    info[10] = QStringLiteral("x");  // element 10 is converted too
    EXPECT_EQ(aufrufFehler(info), FehlerNr::Typunvertraeglich);
}

TEST(Aufruf, AufrufInfoKopierregeln) {
    test::Datenbanken db;
    auto info = test::info(db);
    info[9] = 20.0;                   // a double 20 switches restricted mode on
    info[33] = QVariantList{1, 2, 3}; // arrays are copied as arrays
    info[5] = QStringLiteral("1.3.24");
    const Aufruf m = aufrufUebernehmen(info);
    ASSERT_EQ(m.AufrufInfo.size(), 101);
    EXPECT_FALSE(m.AufrufInfo.at(100).isValid());
    EXPECT_EQ(m.AufrufInfo.at(33).toList(), (QVariantList{1, 2, 3}));
    EXPECT_EQ(m.AufrufInfo.at(0).typeId(), QMetaType::QString);
    EXPECT_EQ(m.MandDbPfad, db.mand);
    EXPECT_EQ(m.FaDbPfad, db.fa);
    EXPECT_EQ(m.KontoJahr, 2024);
    EXPECT_EQ(m.AuswahlMonStatus, QDate(2024, 3, 1));
    EXPECT_TRUE(m.Eingeschraenkt);
    EXPECT_EQ(info.size(), 100);  // the host's array is not written
    info[9] = 21;
    EXPECT_FALSE(aufrufUebernehmen(info).Eingeschraenkt);
}

TEST(Aufruf, TabStripNrIstModulweit) {
    xovMandStamm a, b;
    a.setTabStripNr(5);
    EXPECT_EQ(b.TabStripNr(), 5);
    EXPECT_EQ(a.property("TabStripNr").toInt(), 5);
    a.setTabStripNr(0);
}

TEST(Komponenten, FabrikErzeugtNachNameOderKlassenIdUnd429OhnePlugin) {
    auto k = komponenteErzeugen(QStringLiteral("xopMandStamm.xovMandStamm"));
    EXPECT_NE(qobject_cast<xovMandStamm*>(k.get()), nullptr);
    auto f = komponenteErzeugen(QStringLiteral("{fb67a95a-60b8-11d3-9c2e-cd95eb3eec2b}"));
    EXPECT_NE(qobject_cast<AllgFehlerSchnittstelle*>(f.get()), nullptr);
    auto f2 = komponenteErzeugen(QStringLiteral("xovAllgError"));
    EXPECT_NE(f2.get(), f.get());  // a new object per call

    try {
        komponenteErzeugen(QStringLiteral("gibt.esNicht"));
        FAIL();
    } catch (const Fehler& e) {
        EXPECT_EQ(e.nummer(), FehlerNr::KomponenteFehlt);
    }
    QTemporaryDir leer;
    setzePluginOrdner(leer.path());
    EXPECT_THROW(komponenteErzeugen(QStringLiteral("xopMandStamm.xovMandStamm")), Fehler);
    setzePluginOrdner({});
}
