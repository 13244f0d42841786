// The input field as a user types into it: limits, German number format, empty readings;
// and the checks as decisions, without a window (the words of each message the dialog tests pin).

#include "Hilfen.h"
#include "form/InputFeld.h"

namespace {

struct Feld {
    QWidget fenster;
    InputFeld* feld = new InputFeld(&fenster);
    InputFeld* danach = new InputFeld(&fenster);  // where Tab leads
    Feld(int typ, double max, int dez, bool keinMinus, bool keinTausender) {
        feld->einstellen(typ, max, dez, keinMinus, keinTausender);
        fenster.show();
        test::aktivieren(&fenster);
        feld->setFocus();
        EXPECT_TRUE(test::fokusAuf(feld));
    }
    QString tippen(const char* text) {
        feld->clear();
        QTest::keyClicks(feld, text);
        return feld->text();
    }
};

}  // namespace

// What each kind of field keeps of the keystrokes, the value (and type) written to its column,
// and what it reads when emptied.
TEST(InputFeld, JedeArtNimmtNurWasPasstSchreibtDieSpalteUndLiestLeer) {
    struct Fall { int typ; double max; int dez; bool streng; const char *tasten, *bleibt, *leer; QVariant spalte; };
    const Fall faelle[] = {
        {InputFeld::Textfeld, 4, 0, false, "ABCDE", "ABCD", "", QStringLiteral("ABCD")},
        {InputFeld::Zahl, 4, 0, true, "-1.2,5a", "125", "0", qlonglong(125)},  // no minus, point, comma or letter
        {InputFeld::Zahl, 4, 0, true, "123456", "1234", "0", qlonglong(1234)},
        {InputFeld::Zahl, 7, -1, false, "-1234,567", "-1234,5", "0,00", -1234.5},  // 7 characters typed
        {InputFeld::Monat, 7, 0, true, "03.2024x", "03.2024", "0", {}},
        {InputFeld::Datum, 11, 0, true, "31.12.2024", "31.12.2024", "0", QDate(2024, 12, 31)},
    };
    for (const Fall& c : faelle) {
        Feld f(c.typ, c.max, c.dez, c.streng, c.streng);
        EXPECT_EQ(f.tippen(c.tasten), QString::fromUtf8(c.bleibt)) << c.tasten;
        if (c.spalte.isValid()) {
            EXPECT_EQ(f.feld->spaltenwert(), c.spalte) << c.tasten;
            EXPECT_EQ(f.feld->spaltenwert().typeId(), c.spalte.typeId()) << c.tasten;
        }
        f.feld->clear();
        EXPECT_EQ(f.feld->Text(), QString::fromUtf8(c.leer)) << c.tasten;
    }
}

// What a German amount field keeps of the keystrokes, and whether it is a complete number.
TEST(InputFeld, DeutscheZahlenGetipptUndVollstaendig) {
    struct Fall { const char *tasten, *bleibt; bool vollstaendig; };
    const Fall faelle[] = {
        {"1.234,5", "1.234,5", true}, {"1234,56", "1234,56", true}, {"12,", "12,", true},
        {"-", "-", false},            {",5", ",5", false},          {"1.2", "1.2", false},
        {"1..2", "1.2", false},       {"12.34,5", "12.345", true},  {"1.2345", "1.234", true},
        {"--1", "-1", true},          {"1,2,3", "1,23", true},      {"a1b", "1", true},
    };
    Feld betrag(InputFeld::Zahl, 10, -1, false, false);
    for (const Fall& f : faelle) {
        EXPECT_EQ(betrag.tippen(f.tasten), QString::fromLatin1(f.bleibt)) << f.tasten;
        EXPECT_EQ(betrag.feld->zahlVollstaendig(), f.vollstaendig) << f.tasten;
    }
    // An amount left shows its thousands point, unless the field has none.
    betrag.tippen("1234,56");
    QTest::keyClick(betrag.feld, Qt::Key_Tab);
    EXPECT_EQ(betrag.feld->text(), QStringLiteral("1.234,56"));
    EXPECT_EQ(Feld(InputFeld::Zahl, 7, 0, true, true).feld->zahlBeispiel(), QStringLiteral("1234"));  // no point, no comma
    Feld ohneTausender(InputFeld::Zahl, 10, -1, true, true);
    ohneTausender.tippen("1234567,5");
    QTest::keyClick(ohneTausender.feld, Qt::Key_Tab);
    EXPECT_EQ(ohneTausender.feld->text(), QStringLiteral("1234567,50"));
}

TEST(Pruefung, GrenzenJederPruefung) {
    using namespace xov;
    for (const char* t : {"0", "0000", ""}) EXPECT_TRUE(pruefung::plz(t)) << t;
    for (const char* t : {"   ", ""}) EXPECT_TRUE(pruefung::ort(t) && pruefung::anschrift(t)) << t;
    EXPECT_FALSE(pruefung::ort(" X"));  // a leading blank is kept
    EXPECT_TRUE(pruefung::buchjahr("0"));  // 1997 and 1998: the page-switch test
    for (const char* t : {"-400", "400", "0", "30"}) EXPECT_FALSE(pruefung::korrPunkte(t)) << t;
    for (const char* t : {"-401", "401"}) EXPECT_TRUE(pruefung::korrPunkte(t)) << t;
    for (const char* t : {"03.24", "03.2024", "3.2024", "12.1999", "01.03.2024", "31.12.24"}) EXPECT_FALSE(pruefung::monStatusDatum(t)) << t;
    for (const char* t : {"", "0", "13.2024", "00.2024", "ab.2024", "03.202", "30.02.2024", "2024"}) EXPECT_TRUE(pruefung::monStatusDatum(t)) << t;
}
