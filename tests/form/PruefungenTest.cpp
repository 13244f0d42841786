// The checks as decisions, without a window.

#include "form/Pruefungen.h"

#include <gtest/gtest.h>

using namespace xov;

TEST(Pruefung, PostleitzahlOrtAnschrift) {
    for (const char* t : {"0", "0000", ""}) EXPECT_TRUE(pruefung::plz(t)) << t;
    EXPECT_FALSE(pruefung::plz("1060"));
    EXPECT_EQ(pruefung::plz("0")->text, QStringLiteral("Postleitzahl Null ist ungültig"));
    EXPECT_TRUE(pruefung::plz("0")->titel.isEmpty());
    EXPECT_TRUE(pruefung::ort("   "));
    EXPECT_TRUE(pruefung::ort(""));
    EXPECT_FALSE(pruefung::ort(" X"));  // a leading blank is kept
    EXPECT_EQ(pruefung::ort("")->text, QStringLiteral("Ort leer ist ungültig"));
    EXPECT_EQ(pruefung::anschrift(" ")->text, QStringLiteral("Anschrift leer ist ungültig"));
}

TEST(Pruefung, BuchjahrUndKorrekturpunkte) {
    EXPECT_TRUE(pruefung::buchjahr("0"));
    EXPECT_TRUE(pruefung::buchjahr("1997"));
    EXPECT_FALSE(pruefung::buchjahr("1998"));
    EXPECT_EQ(pruefung::buchjahr("1997")->text, QStringLiteral("Jahreseingabe für Buchungsjahr muss grösser 1997 sein."));
    for (const char* t : {"-400", "400", "0", "30"}) EXPECT_FALSE(pruefung::korrPunkte(t)) << t;
    for (const char* t : {"-401", "401"}) {
        const auto b = pruefung::korrPunkte(t);
        ASSERT_TRUE(b) << t;
        EXPECT_EQ(b->titel, QStringLiteral("Fehler in ZahlschkorrPunkten"));
        EXPECT_EQ(b->text, QStringLiteral("Korrekturpunkte-Anzahl für vertikale Zeilenkorrektur beim Zahlscheindruck ist ausserhalb "
                                          "des gültigen Bereiches.\r\nGültig ist -400 bis + 400.\r\n\r\nInformation: ca 30 Punkte "
                                          "entsprechen einer Zeilenkorrektur nach oben/unten von 1 mm"));
    }
}

TEST(Pruefung, MonatsstatusDatum) {
    for (const char* t : {"03.24", "03.2024", "3.2024", "12.1999", "01.03.2024", "31.12.24"}) EXPECT_FALSE(pruefung::monStatusDatum(t)) << t;
    for (const char* t : {"", "0", "13.2024", "00.2024", "ab.2024", "03.202", "30.02.2024", "2024"}) EXPECT_TRUE(pruefung::monStatusDatum(t)) << t;
    EXPECT_EQ(pruefung::monStatusDatum("")->text,
              QStringLiteral("Ungültiges MonatsStatusDatum.\r\nBitte ein gültiges Datum im Format MM.JJ oder MM.JJJJ eingeben.\r\n\r\n"
                             "Anmerkung: bei Neueröffnung von Objekten wird dieses Datum als Beginndatum eingesetzt."));
}
