// Two workstations on one client: the dialog holds the client row while a second connection
// (the other workstation) changes it. Closing never overwrites the other's change in silence and
// never drops what the user typed without the user choosing it.

#include "Hilfen.h"
#include "form/InputFeld.h"

#include <QTest>
#include <gtest/gtest.h>

namespace {

QString gespeichert(const test::Datenbanken& db) {
    return test::gespeichert(db.mand, "SELECT MandOrt, MandAnschrift, MandTelefonNr, MandPlz, MandVoranmPeriode FROM AllgMandDaten");
}

// Ort and Anschrift typed on page 1, the last field left with Tab.
void ortUndAnschriftTippen(test::Dialog& d) {
    test::tippen(d->feld("inpMandOrt"), "Graz");
    test::tippen(d->feld("inpMandAnschrift"), "Neubaugasse 7");
    QTest::keyClick(d->feld("inpMandAnschrift"), Qt::Key_Tab);
}

}  // namespace

// Both changed the town: the question names the field with both values; the answer decides the
// town, and in either case the user's address and the other's telephone number are stored.
class GleichesFeld : public ::testing::TestWithParam<bool> {};

TEST_P(GleichesFeld, FrageNenntFeldUndBeideWerte) {
    const bool eigene = GetParam();
    test::Datenbanken db;
    test::Meldungen m([&](const QString&) { return eigene ? QMessageBox::Yes : QMessageBox::No; });
    test::Dialog d(test::info(db));
    ortUndAnschriftTippen(d);
    db.mandSql("UPDATE AllgMandDaten SET MandOrt = 'Linz', MandTelefonNr = '0732 77 88'");
    EXPECT_TRUE(d.escape());
    ASSERT_EQ(m.texte.size(), 1);
    const QString frage = m.texte.first();
    EXPECT_TRUE(frage.contains("Ort: anderer Arbeitsplatz \"Linz\", Ihre Eingabe \"Graz\"")) << frage.toStdString();
    EXPECT_TRUE(frage.contains("Telefon-Nr: \"0732 77 88\"")) << frage.toStdString();
    EXPECT_FALSE(frage.contains("Anschrift")) << frage.toStdString();  // only the user changed it
    EXPECT_EQ(gespeichert(db), QStringLiteral("'%1'|'Neubaugasse 7'|'0732 77 88'|1060|1").arg(eigene ? "Graz" : "Linz"));
}
INSTANTIATE_TEST_SUITE_P(Antwort, GleichesFeld, ::testing::Values(true, false),
                         [](const auto& info) { return info.param ? "EigeneEingabe" : "AndererArbeitsplatz"; });

// The other changed only fields the user left alone: nothing to choose; the user is told what
// the other changed, each field by the label the user reads, and both changes are stored.
TEST(Mehrplatz, VerschiedeneFelderWerdenZusammengefuehrt) {
    test::Datenbanken db;
    test::Meldungen m;
    test::Dialog d(test::info(db));
    ortUndAnschriftTippen(d);
    db.mandSql("UPDATE AllgMandDaten SET MandTelefonNr = '0732 77 88', MandPlz = 4020, MandVoranmPeriode = 2, MandAnrKurz3 = 'Titl.'");
    EXPECT_TRUE(d.escape());
    ASSERT_EQ(m.texte.size(), 1);
    for (const char* zeile : {"Telefon-Nr: \"0732 77 88\"", "Postleitzahl: \"4020\"", "Voranm-Periode: \"vierteljährlich\"",
                              "Anreden 3, kurze Anrede: \"Titl.\""})
        EXPECT_TRUE(m.texte.first().contains(QString::fromUtf8(zeile))) << m.texte.first().toStdString();
    EXPECT_FALSE(m.texte.first().contains("Ihre Eingabe \"")) << m.texte.first().toStdString();
    EXPECT_EQ(gespeichert(db), QStringLiteral("'Graz'|'Neubaugasse 7'|'0732 77 88'|4020|2"));
}

// Cancel keeps the dialog open with everything typed and stores nothing; closing again asks
// again, and a third change made while the question is open is caught by the next write.
TEST(Mehrplatz, AbbrechenUndDritteAenderung) {
    test::Datenbanken db;
    QMessageBox::StandardButton antwort = QMessageBox::Cancel;
    int fragen = 0;
    test::Meldungen m([&](const QString&) {
        if (++fragen == 2) db.mandSql("UPDATE AllgMandDaten SET MandOrt = 'Steyr'");
        return antwort;
    });
    test::Dialog d(test::info(db));
    const QString vorher = gespeichert(db);
    ortUndAnschriftTippen(d);
    db.mandSql("UPDATE AllgMandDaten SET MandOrt = 'Linz'");
    EXPECT_FALSE(d.escape());
    ASSERT_EQ(m.texte.size(), 1);
    EXPECT_EQ(d->feld("inpMandOrt")->text(), "Graz");
    EXPECT_EQ(d->feld("inpMandAnschrift")->text(), "Neubaugasse 7");
    EXPECT_EQ(gespeichert(db), QString(vorher).replace("'Wien'", "'Linz'"));

    test::aktivieren(d.form.get());
    antwort = QMessageBox::Yes;
    EXPECT_TRUE(d.escape());
    ASSERT_EQ(m.texte.size(), 3);
    EXPECT_TRUE(m.texte.at(2).contains("Ort: anderer Arbeitsplatz \"Steyr\", Ihre Eingabe \"Graz\"")) << m.texte.at(2).toStdString();
    EXPECT_EQ(gespeichert(db), QStringLiteral("'Graz'|'Neubaugasse 7'|'+43 1 597 12 34'|1060|1"));
}
