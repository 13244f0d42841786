// The checks as decisions, without a window; the words of each message the dialog tests pin.

#include "form/Pruefungen.h"

#include <gtest/gtest.h>

using namespace xov;

TEST(Pruefung, GrenzenJederPruefung) {
    for (const char* t : {"0", "0000", ""}) EXPECT_TRUE(pruefung::plz(t)) << t;
    EXPECT_FALSE(pruefung::plz("1060"));
    for (const char* t : {"   ", ""}) EXPECT_TRUE(pruefung::ort(t) && pruefung::anschrift(t)) << t;
    EXPECT_FALSE(pruefung::ort(" X"));  // a leading blank is kept
    EXPECT_TRUE(pruefung::buchjahr("0"));
    EXPECT_TRUE(pruefung::buchjahr("1997"));
    EXPECT_FALSE(pruefung::buchjahr("1998"));
    for (const char* t : {"-400", "400", "0", "30"}) EXPECT_FALSE(pruefung::korrPunkte(t)) << t;
    for (const char* t : {"-401", "401"}) EXPECT_TRUE(pruefung::korrPunkte(t)) << t;
    for (const char* t : {"03.24", "03.2024", "3.2024", "12.1999", "01.03.2024", "31.12.24"}) EXPECT_FALSE(pruefung::monStatusDatum(t)) << t;
    for (const char* t : {"", "0", "13.2024", "00.2024", "ab.2024", "03.202", "30.02.2024", "2024"}) EXPECT_TRUE(pruefung::monStatusDatum(t)) << t;
}
