// The component's entry: call information, its copy rules and conversions, the call's errors as
// a C++ host and as a host that knows only the programmatic identifier meet them.

#include "Hilfen.h"
#include "component/Aufrufinformation.h"
#include "component/xovMandStamm.h"
#include "platform/Fehler.h"
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

// What a host through the meta-object sees after the call: whether it returned normally, and
// the error it reads.
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

// The month status as the platform passes a date (the conversions themselves: VariantTest), the
// host's array copied and not written, arrays as arrays, a double 20 switching restricted mode
// on; missing and wrong elements are errors.
TEST(Aufruf, UmwandlungenKopierregelnUndFehler) {
    test::Datenbanken db;
    auto info = test::info(db);
    for (const QVariant& w : {QVariant(45352.5), QVariant(QStringLiteral("1.3.24"))}) {
        info[5] = w;
        EXPECT_EQ(xov::aufrufUebernehmen(info).AuswahlMonStatus, QDate(2024, 3, 1)) << w.toString().toStdString();
    }
    info[9] = 20.0;
    info[33] = QVariantList{1, 2, 3};
    const xov::Aufruf m = xov::aufrufUebernehmen(info);
    EXPECT_EQ(m.AufrufInfo.value(33).toList(), (QVariantList{1, 2, 3}));
    EXPECT_EQ(m.MandDbPfad, db.mand);
    EXPECT_EQ(m.KontoJahr, 2024);
    EXPECT_TRUE(m.Eingeschraenkt);
    EXPECT_EQ(info.size(), 100);
    info[9] = 21;
    EXPECT_FALSE(xov::aufrufUebernehmen(info).Eingeschraenkt);
    // Help topics in the 16-bit and 64-bit integer lists a host passes (other kinds: VariantTest).
    for (const QVariant& ids : {QVariant::fromValue(QList<qint16>{0, 4711}), QVariant::fromValue(QList<qint64>{0, 4711})})
        EXPECT_EQ(xov::alsInt16Feld(ids).value(1), 4711);
    // Missing and wrong elements reach a C++ host as the error it reads from the object too.
    EXPECT_EQ(aufrufFehler(test::info(db).mid(0, 5)), FehlerNr::IndexAusserhalb);
    EXPECT_EQ(aufrufFehler(test::info(db).mid(0, 99)), FehlerNr::IndexAusserhalb);  // index 99 missing
    struct Fall { int element; QVariant wert; int fehler; };
    for (const Fall& f : {Fall{5, QStringLiteral("kein Datum"), FehlerNr::Typunvertraeglich}, Fall{11, 70000, FehlerNr::Ueberlauf},
                          Fall{0, xov::nullWert(), FehlerNr::NullUnzulaessig}, Fall{10, QStringLiteral("x"), FehlerNr::Typunvertraeglich}}) {
        auto falsch = test::info(db);
        falsch[f.element] = f.wert;
        EXPECT_EQ(aufrufFehler(falsch), f.fehler) << "Element " << f.element;
    }
}

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
    // A malformed call: no dialog, no exception, the error readable afterwards.
    auto info = test::info(db);
    info[5] = QStringLiteral("kein Datum");
    EXPECT_EQ(aufrufen(k.get(), info), std::make_pair(true, 13));
    EXPECT_EQ(k->property("FehlerBeschreibung").toString(), QStringLiteral("Typen unverträglich"));
    // The next good call clears it: open, edit the town, close with "Beenden".
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
    EXPECT_TRUE(meldungen.texte.isEmpty()) << meldungen.alle();
}
