// Two workstations on one client: the dialog holds the client row while a second connection
// (the other workstation) changes it. Closing never overwrites the other's change in silence and
// never drops what the user typed without the user choosing it.

#include "Hilfen.h"
#include "form/InputFeld.h"

#include <QTest>
#include <gtest/gtest.h>

namespace {

// The other workstation's change: a connection of its own, standard SQL.
void andererArbeitsplatz(const test::Datenbanken& db, const QString& setzen, const QVariantList& werte) {
    db.mandSql(QStringLiteral("UPDATE AllgMandDaten SET ") + setzen, werte);
}

QString gespeichert(const test::Datenbanken& db, const char* spalte) {
    return db.mandWert(QStringLiteral("SELECT %1 FROM AllgMandDaten").arg(QLatin1String(spalte))).toString();
}

QString alle(const test::Meldungen& m) { return m.texte.join(QStringLiteral(" | ")); }

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
    andererArbeitsplatz(db, "MandOrt = ?, MandTelefonNr = ?", {"Linz", "0732 77 88"});
    EXPECT_TRUE(d.escape());
    ASSERT_EQ(m.texte.size(), 1) << alle(m).toStdString();
    const QString frage = m.texte.first();
    EXPECT_TRUE(frage.contains("an einem anderen Arbeitsplatz geändert")) << frage.toStdString();
    EXPECT_TRUE(frage.contains("Ort: anderer Arbeitsplatz \"Linz\", Ihre Eingabe \"Graz\"")) << frage.toStdString();
    EXPECT_TRUE(frage.contains("Telefon-Nr: \"0732 77 88\"")) << frage.toStdString();
    EXPECT_FALSE(frage.contains("Anschrift")) << frage.toStdString();  // only the user changed it
    EXPECT_EQ(gespeichert(db, "MandOrt"), eigene ? "Graz" : "Linz");
    EXPECT_EQ(gespeichert(db, "MandAnschrift"), "Neubaugasse 7");
    EXPECT_EQ(gespeichert(db, "MandTelefonNr"), "0732 77 88");
    EXPECT_EQ(gespeichert(db, "MandPlz"), "1060");
}
INSTANTIATE_TEST_SUITE_P(EigeneOderFremde, GleichesFeld, ::testing::Values(true, false));

// The other changed only fields the user left alone: nothing to choose; the user is told what
// the other changed, and both changes are stored.
TEST(Mehrplatz, VerschiedeneFelderWerdenZusammengefuehrt) {
    test::Datenbanken db;
    test::Meldungen m;
    test::Dialog d(test::info(db));
    ortUndAnschriftTippen(d);
    andererArbeitsplatz(db, "MandTelefonNr = ?, MandPlz = ?, MandVoranmPeriode = ?, MandAnrKurz3 = ?",
                        {"0732 77 88", 4020, 2, "Titl."});
    EXPECT_TRUE(d.escape());
    ASSERT_EQ(m.texte.size(), 1) << alle(m).toStdString();
    // Each field by the label the user reads; a list's code by its item.
    for (const char* zeile : {"Telefon-Nr: \"0732 77 88\"", "Postleitzahl: \"4020\"", "Voranm-Periode: \"vierteljährlich\"",
                              "Anreden 3, kurze Anrede: \"Titl.\""})
        EXPECT_TRUE(m.texte.first().contains(QString::fromUtf8(zeile))) << m.texte.first().toStdString();
    EXPECT_FALSE(m.texte.first().contains("Ihre Eingabe \"")) << m.texte.first().toStdString();
    EXPECT_EQ(gespeichert(db, "MandOrt"), "Graz");
    EXPECT_EQ(gespeichert(db, "MandAnschrift"), "Neubaugasse 7");
    EXPECT_EQ(gespeichert(db, "MandTelefonNr"), "0732 77 88");
    EXPECT_EQ(gespeichert(db, "MandPlz"), "4020");
    EXPECT_EQ(gespeichert(db, "MandVoranmPeriode"), "2");
}

// Cancel keeps the dialog open with everything typed and stores nothing; closing again asks
// again, and a third change made while the question is open is caught by the next write.
TEST(Mehrplatz, AbbrechenUndDritteAenderung) {
    test::Datenbanken db;
    QMessageBox::StandardButton antwort = QMessageBox::Cancel;
    int fragen = 0;
    test::Meldungen m([&](const QString&) {
        // While the second question is open, the other workstation changes the town once more.
        if (++fragen == 2) andererArbeitsplatz(db, "MandOrt = ?", {"Steyr"});
        return antwort;
    });
    test::Dialog d(test::info(db));
    ortUndAnschriftTippen(d);
    andererArbeitsplatz(db, "MandOrt = ?", {"Linz"});
    EXPECT_FALSE(d.escape());
    ASSERT_EQ(m.texte.size(), 1) << alle(m).toStdString();
    EXPECT_EQ(d->feld("inpMandOrt")->text(), "Graz");
    EXPECT_EQ(d->feld("inpMandAnschrift")->text(), "Neubaugasse 7");
    EXPECT_EQ(gespeichert(db, "MandOrt"), "Linz");
    EXPECT_EQ(gespeichert(db, "MandAnschrift"), "Mariahilfer Straße 123/4");

    test::aktivieren(d.form.get());
    antwort = QMessageBox::Yes;
    EXPECT_TRUE(d.escape());
    ASSERT_EQ(m.texte.size(), 3) << alle(m).toStdString();
    EXPECT_TRUE(m.texte.at(1).contains("anderer Arbeitsplatz \"Linz\"")) << m.texte.at(1).toStdString();
    EXPECT_TRUE(m.texte.at(2).contains("Ort: anderer Arbeitsplatz \"Steyr\", Ihre Eingabe \"Graz\"")) << m.texte.at(2).toStdString();
    EXPECT_EQ(gespeichert(db, "MandOrt"), "Graz");
    EXPECT_EQ(gespeichert(db, "MandAnschrift"), "Neubaugasse 7");
}
