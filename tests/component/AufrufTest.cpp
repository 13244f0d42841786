// The component's entry: call information, its copy rules, the conversions and TabStripNr.

#include "Hilfen.h"
#include "component/Aufrufinformation.h"
#include "component/xovMandStamm.h"
#include "platform/Fehler.h"
#include "platform/Variant.h"

#include <QDateTime>
#include <gtest/gtest.h>

using namespace xov;

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

template <typename T>
QVariant ids(int anzahl, T thema) {
    QList<T> l(anzahl, T(0));
    l[15] = thema;
    return QVariant::fromValue(l);
}

// The month status in every form the platform passes a date, the help topics in any integer list.
TEST(Aufruf, UmwandlungenDerPlattform) {
    test::Datenbanken db;
    auto info = test::info(db);
    for (const QVariant& w : {QVariant(45352), QVariant(45352.5), QVariant(QStringLiteral("01.03.2024 10:00:00")),
                              QVariant(QStringLiteral("2024-03-01")), QVariant(QDateTime(QDate(2024, 3, 1), QTime(10, 0))),
                              QVariant(QStringLiteral("1.3.24"))}) {
        info[5] = w;
        EXPECT_EQ(aufrufUebernehmen(info).AuswahlMonStatus, QDate(2024, 3, 1)) << w.toString().toStdString();
    }
    QVariantList varianten(201, 0);
    varianten[15] = 4711.0;
    for (const auto& [name, liste] : {std::pair{"int", ids<int>(201, 4711)}, {"qint16", ids<qint16>(201, 4711)},
                                      {"qint64", ids<qint64>(201, 4711)}, {"double", ids<double>(201, 4711.0)},
                                      {"Variants", QVariant(varianten)}, {"kurze Liste", ids<int>(16, 4711)}}) {
        EXPECT_EQ(alsInt16Feld(liste).value(15), 4711) << name;
    }
}

TEST(Aufruf, FehlendeUndFalscheElementeErreichenDenHost) {
    test::Datenbanken db;
    EXPECT_EQ(aufrufFehler(test::info(db).mid(0, 5)), FehlerNr::IndexAusserhalb);
    EXPECT_EQ(aufrufFehler(test::info(db).mid(0, 99)), FehlerNr::IndexAusserhalb);  // index 99 missing
    struct Fall { int element; QVariant wert; int fehler; };
    for (const Fall& f : {Fall{5, QStringLiteral("kein Datum"), FehlerNr::Typunvertraeglich}, Fall{11, 70000, FehlerNr::Ueberlauf},
                          Fall{0, nullWert(), FehlerNr::NullUnzulaessig}, Fall{10, QStringLiteral("x"), FehlerNr::Typunvertraeglich}}) {
        auto info = test::info(db);
        info[f.element] = f.wert;
        EXPECT_EQ(aufrufFehler(info), f.fehler) << "Element " << f.element;
    }
}

TEST(Aufruf, AufrufInfoKopierregeln) {
    test::Datenbanken db;
    auto info = test::info(db);
    info[9] = 20.0;                    // a double 20 switches restricted mode on
    info[33] = QVariantList{1, 2, 3};  // arrays are copied as arrays
    const Aufruf m = aufrufUebernehmen(info);
    ASSERT_EQ(m.AufrufInfo.size(), 101);
    EXPECT_EQ(m.AufrufInfo.at(33).toList(), (QVariantList{1, 2, 3}));
    EXPECT_EQ(m.MandDbPfad, db.mand);
    EXPECT_EQ(m.KontoJahr, 2024);
    EXPECT_TRUE(m.Eingeschraenkt);
    EXPECT_EQ(info.size(), 100);  // the host's array is not written
    info[9] = 21;
    EXPECT_FALSE(aufrufUebernehmen(info).Eingeschraenkt);
}
