// The component's entry: the call's errors as a C++ host and as a host that knows only the
// programmatic identifier meet them.

#include "Hilfen.h"
#include "component/Aufrufinformation.h"
#include "component/xovMandStamm.h"
#include "platform/Fehlerhilfe.h"
#include "platform/Komponenten.h"
#include "platform/Variant.h"

// No "using namespace xov": the unity build compiles this file with others that name test::Seite.
using xov::Fehler;
namespace FehlerNr = xov::FehlerNr;

namespace {

// A C++ host catches the failure and reads the same number from the object afterwards.
int aufrufFehler(const QVariantList& info) {
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

}  // namespace

// Missing and wrong elements reach a C++ host as the error it also reads from the object (the
// conversions themselves: VariantTest); a double 20 in element 9 switches restricted mode on.
// Then a host that knows only the programmatic identifier: the start mode shared by all objects,
// a malformed call without dialog or exception, and a good call that opens, edits and closes.
TEST(Aufruf, FehlerhafteElementeEingeschraenktUndHostMitProgId) {
    test::Datenbanken db;
    EXPECT_EQ(aufrufFehler(test::info(db).mid(0, 5)), FehlerNr::IndexAusserhalb);
    EXPECT_EQ(aufrufFehler(test::info(db).mid(0, 99)), FehlerNr::IndexAusserhalb);  // index 99 missing
    struct Fall { int element; QVariant wert; int fehler; };
    for (const Fall& f : {Fall{5, QStringLiteral("kein Datum"), FehlerNr::Typunvertraeglich}, Fall{11, 70000, FehlerNr::Ueberlauf},
                          Fall{0, xov::nullWert(), FehlerNr::NullUnzulaessig}, Fall{10, QStringLiteral("x"), FehlerNr::Typunvertraeglich}}) {
        auto falsch = test::info(db);
        falsch[f.element] = f.wert;
        EXPECT_EQ(aufrufFehler(falsch), f.fehler) << "Element " << f.element;
    }
    auto info = test::info(db);
    info[9] = 20.0;
    EXPECT_TRUE(xov::aufrufUebernehmen(info).Eingeschraenkt);
    info[9] = 21;
    EXPECT_FALSE(xov::aufrufUebernehmen(info).Eingeschraenkt);

    auto k = xov::komponenteErzeugen(QStringLiteral("xopMandStamm.xovMandStamm"));
    ASSERT_NE(k, nullptr);
    // An unknown identifier is error 429, never an empty object for the caller to trip over.
    EXPECT_EQ(test::nummerVon([] { xov::komponenteErzeugen(QStringLiteral("gibt.esNicht")); }), FehlerNr::KomponenteFehlt);
    // The start mode is the module's, whichever object set it.
    xovMandStamm andere;
    andere.setTabStripNr(5);
    EXPECT_EQ(k->property("TabStripNr").toInt(), 5);
    EXPECT_TRUE(k->setProperty("TabStripNr", 0));
    EXPECT_EQ(andere.TabStripNr(), 0);
    // A malformed call: no dialog, no exception (GoogleTest would report it), the error readable afterwards.
    info[5] = QStringLiteral("kein Datum");
    EXPECT_TRUE(QMetaObject::invokeMethod(k.get(), "Mand_Aufruf", Q_ARG(QVariantList, info)));
    EXPECT_EQ(k->property("FehlerNr").toInt(), 13);
    EXPECT_EQ(k->property("FehlerBeschreibung").toString(), QStringLiteral("Typen unverträglich"));
    // The next good call clears it: open, edit the town, close with "Beenden".
    std::function<void()> bedienen = [&] {
        auto* dlg = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dlg) return QTimer::singleShot(10, bedienen);
        test::aktivieren(dlg);
        test::tippen(dlg->findChild<QLineEdit*>(QStringLiteral("inpMandOrt")), "Graz");
        QTest::mouseClick(dlg->findChild<QPushButton*>(QStringLiteral("cmdBeenden")), Qt::LeftButton);
    };
    QTimer::singleShot(0, bedienen);
    test::Meldungen meldungen;
    EXPECT_TRUE(QMetaObject::invokeMethod(k.get(), "Mand_Aufruf", Q_ARG(QVariantList, test::info(db))));
    EXPECT_EQ(k->property("FehlerNr").toInt(), 0);
    EXPECT_EQ(db.mandWert(QStringLiteral("SELECT MandOrt FROM AllgMandDaten")).toString(), QStringLiteral("Graz"));
    EXPECT_TRUE(meldungen.texte.isEmpty()) << meldungen.alle();
}
