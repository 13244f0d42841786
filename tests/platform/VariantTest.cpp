// The conversions of stored and typed values as the callers know them: German numbers and dates,
// day numbers, rounding half to even, and the error numbers of what does not convert.

#include "platform/Fehlerhilfe.h"
#include "platform/Variant.h"

#include <gtest/gtest.h>
#include <limits>

using namespace xov;
using test::nummerVon;

TEST(Umwandlung, GanzzahlUndGanzzahlFelderRundenHalbeZurGeradenZahlOderSagenWarumNicht) {
    EXPECT_EQ(alsInt16(QVariant(2.5)), 2);
    EXPECT_EQ(alsInt16(QVariant(3.5)), 4);
    EXPECT_EQ(alsInt16(QVariant(-2.5)), -2);
    EXPECT_EQ(alsInt16(QStringLiteral("2,5")), 2);
    EXPECT_EQ(alsInt16(QStringLiteral(" 1.234 ")), 1234);  // thousands point as German users type it
    EXPECT_EQ(alsInt16(QVariant()), 0);                     // Empty counts as 0
    EXPECT_EQ(alsInt16(QVariant(true)), -1);
    EXPECT_EQ(nummerVon([] { alsInt16(QVariant(32768)); }), FehlerNr::Ueberlauf);
    EXPECT_EQ(nummerVon([] { alsInt16(QStringLiteral("-32769")); }), FehlerNr::Ueberlauf);
    EXPECT_EQ(nummerVon([] { alsInt16(QVariant(32767.5)); }), FehlerNr::Ueberlauf);
    EXPECT_EQ(nummerVon([] { alsInt16(QStringLiteral("zwölf")); }), FehlerNr::Typunvertraeglich);
    EXPECT_EQ(nummerVon([] { alsInt16(QStringLiteral("")); }), FehlerNr::Typunvertraeglich);
    EXPECT_EQ(nummerVon([] { alsInt16(QVariant(QDate(2024, 1, 1))); }), FehlerNr::Typunvertraeglich);
    EXPECT_EQ(nummerVon([] { alsInt16(nullWert()); }), FehlerNr::NullUnzulaessig);
    // Found by fuzz_zahl: a NaN column value was cast to an integer (undefined) instead of raising 6.
    for (double d : {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
                     -std::numeric_limits<double>::infinity()}) {
        EXPECT_EQ(nummerVon([&] { alsInt16(QVariant(d)); }), FehlerNr::Ueberlauf) << d;
        EXPECT_EQ(nummerVon([&] { alsInt32(QVariant(d)); }), FehlerNr::Ueberlauf) << d;
    }
    // The help topics in any list of integers a host passes.
    const QVariantList gemischt{0, 7.0, qint16(-3), QStringLiteral("4711")};
    EXPECT_EQ(alsInt16Feld(QVariant(gemischt)), QVector<qint16>({0, 7, -3, 4711}));
    EXPECT_EQ(alsInt16Feld(QVariant::fromValue(QList<qint16>{0, 4711})), QVector<qint16>({0, 4711}));
    EXPECT_EQ(alsInt16Feld(QVariant::fromValue(QList<qint64>{0, 4711})), QVector<qint16>({0, 4711}));
    EXPECT_EQ(alsInt16Feld(QVariant(QVariantList{})), QVector<qint16>());
    EXPECT_EQ(nummerVon([] { alsInt16Feld(QVariant::fromValue(QList<double>{1.5})); }), FehlerNr::Typunvertraeglich);
    EXPECT_EQ(nummerVon([] { alsInt16Feld(QVariant::fromValue(QList<int>{70000})); }), FehlerNr::Ueberlauf);
    EXPECT_EQ(nummerVon([] { alsInt16Feld(QVariant(QStringLiteral("1,2"))); }), FehlerNr::Typunvertraeglich);
    EXPECT_EQ(nummerVon([] { alsInt16Feld(QVariant(15)); }), FehlerNr::Typunvertraeglich);
    EXPECT_EQ(nummerVon([] { alsInt16Feld(QVariant()); }), FehlerNr::Typunvertraeglich);
    EXPECT_EQ(nummerVon([] { alsInt16Feld(QVariant(QVariantList{1, nullWert()})); }), FehlerNr::NullUnzulaessig);
}

TEST(Umwandlung, DatumTextUndZahlvergleich) {
    EXPECT_EQ(alsDatum(QStringLiteral("31.12.2024")), QDate(2024, 12, 31));
    EXPECT_EQ(alsDatum(QStringLiteral("1.3.95")), QDate(1995, 3, 1));
    EXPECT_EQ(alsDatum(QVariant(QDate(2020, 2, 29))), QDate(2020, 2, 29));
    EXPECT_EQ(nummerVon([] { alsDatum(QStringLiteral("30.02.2024")); }), FehlerNr::Typunvertraeglich);
    EXPECT_EQ(nummerVon([] { alsDatum(QStringLiteral("morgen")); }), FehlerNr::Typunvertraeglich);
    EXPECT_EQ(nummerVon([] { alsDatum(nullWert()); }), FehlerNr::NullUnzulaessig);
    // Day numbers, date and time values, German and ISO text, as a host passes the month status.
    const QDate maerz(2024, 3, 1);
    struct Fall { const char* name; QVariant wert; QDate datum; };
    const Fall faelle[] = {
        {"Tagesnummer 16 Bit", QVariant::fromValue(qint16(2)), QDate(1900, 1, 1)},
        {"Tagesnummer 64 Bit", QVariant::fromValue(qint64(45352)), maerz},
        {"Tagesnummer mit Uhrzeit", QVariant(45352.5), maerz},
        {"zweistellige Jahreszahl", QVariant(QStringLiteral("1.3.24")), maerz},
        {"Tagesnummer null", QVariant(0), QDate(1899, 12, 30)},
        {"negative Tagesnummer mit Uhrzeit", QVariant(-1.5), QDate(1899, 12, 29)},
        {"deutsches Datum mit Stunden und Minuten", QVariant(QStringLiteral("1.3.2024 23:59")), maerz},
        {"ISO-Datum mit Uhrzeit", QVariant(QStringLiteral("2024-03-01T10:00:00")), maerz},
        {"ISO-Datum mit Leerzeichen und Uhrzeit", QVariant(QStringLiteral(" 2024-03-01 10:00 ")), maerz},
    };
    for (const Fall& f : faelle) EXPECT_EQ(nummerVon([&] { EXPECT_EQ(alsDatum(f.wert), f.datum) << f.name; }), 0) << f.name;
    EXPECT_EQ(nummerVon([] { alsDatum(QStringLiteral("2024-02-30")); }), FehlerNr::Typunvertraeglich);
    EXPECT_EQ(nummerVon([] { alsDatum(QStringLiteral("01.03.2024 25:00")); }), FehlerNr::Typunvertraeglich);
    EXPECT_EQ(nummerVon([] { alsDatum(QStringLiteral("45352")); }), FehlerNr::Typunvertraeglich);
    EXPECT_EQ(nummerVon([] { alsDatum(QVariant(QVariantList{1})); }), FehlerNr::Typunvertraeglich);
    EXPECT_EQ(nummerVon([] { alsDatum(QVariant(1e9)); }), FehlerNr::Ueberlauf);       // beyond 31.12.9999
    EXPECT_EQ(nummerVon([] { alsDatum(QVariant(-700000)); }), FehlerNr::Ueberlauf);   // before 1.1.100
    // Text as a label bound to a value shows it; numbers compare as numbers, Null never.
    EXPECT_EQ(alsText(QVariant(1.5)), QStringLiteral("1,5"));
    EXPECT_EQ(alsText(QVariant(QDate(2024, 3, 1))), QStringLiteral("01.03.2024"));
    EXPECT_EQ(alsText(QVariant()), QString());
    EXPECT_EQ(nummerVon([] { alsText(nullWert()); }), FehlerNr::NullUnzulaessig);
    EXPECT_TRUE(gleichZahl(QVariant(20.0), 20));
    EXPECT_TRUE(gleichZahl(QVariant(qint16(20)), 20));
    EXPECT_FALSE(gleichZahl(QVariant(21), 20));
    EXPECT_FALSE(gleichZahl(nullWert(), 0));
}
