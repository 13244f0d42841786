// Every way out of the currency page, and "Neuer Kurs", finishes what is being typed there as
// leaving the field does: a name, code, country code or rate is stored, or refused with its
// message while the dialog stays open on the page with the field and its text; mended, the same
// way out then stores it.

#include "currency/Waehrungsentscheidung.h"
#include "currency/WaehrungsseiteHilfen.h"
#include "form/InputFeld.h"
#include "form/TabStrip.h"

#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>


namespace {

enum Ausgang { Escape, Beenden, Schliessfeld, Tabklick, StrgTab, AndereZeile, NeuerKurs, AltN };
const char* const Ausgaenge[] = {"Escape", "Beenden", "Schliessfeld", "Tabklick", "StrgTab", "AndereZeile", "NeuerKurs", "AltN"};

// What is typed into which field of the first currency (USD), or as the rate of a new day (of the
// stored day `tag`): first `abgewiesen` (refused; with `erstTab` by Tab once before the way out),
// then `gut`.
struct Fall {
    const char* name;
    Ausgang ausgang;
    const char *feld, *abgewiesen, *gut, *gespeichert;
    bool erstTab = false;
    const char* tag = nullptr;
};
void PrintTo(const Fall& f, std::ostream* os) { *os << f.name << " mit " << Ausgaenge[f.ausgang]; }

class Seite8Ausgang : public ::testing::TestWithParam<Fall> {};

// Leaves the page (or the dialog) the way the case says; the row clicked is the second currency.
// Done once the dialog is closed, the page changed, a message was recorded or the field left.
void verlassen(test::Seite& s, Ausgang a, const test::Meldungen& m, InputFeld* feld) {
    const qsizetype vorher = m.texte.size();
    switch (a) {
    case Escape: s.d->escape(); break;
    case Beenden: QTest::mouseClick(s->cmdBeenden, Qt::LeftButton); break;
    case Schliessfeld: s.d->schliessen(); break;
    case Tabklick: test::tabKlicken(*s.d, 1); break;
    case StrgTab: QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ControlModifier); break;
    case AndereZeile: QTest::mouseClick(s.land(1), Qt::LeftButton); break;
    case NeuerKurs: QTest::mouseClick(s->cmdNeuerKurs, Qt::LeftButton); break;
    case AltN: QTest::keyClick(QApplication::focusWidget(), Qt::Key_N, Qt::AltModifier); break;
    }
    EXPECT_TRUE(QTest::qWaitFor([&] { return !s->isVisible() || s->TabStrip1->aktuelleSeite() != 8 || m.texte.size() > vorher || !feld->hasFocus(); }, 2000));
    test::Seite::ruhe();
}

TEST_P(Seite8Ausgang, BeendetDieEingabeWieDasVerlassenDesFeldes) {
    const Fall& fall = GetParam();
    test::Datenbanken db;
    test::waehrungen(db, 2);
    test::Meldungen m;
    test::Seite s(db);
    const QString art = fall.feld;
    InputFeld* feld = art == "Name" ? s.lang(0) : art == "Code" ? s.kurz(0) : art == "Land" ? s.land(0) : s.eif();
    if (feld == s.eif() && fall.tag) s.tippen(s.datum(), fall.tag);
    else if (feld == s.eif()) s.neuerKurs("04.03.2024");
    const QString usdSql = "SELECT DISTINCT WaehrungscodeBezeichnung, Waehrungscode, Laenderkennzeichen FROM AllgWaehrung WHERE WID = 1";
    const QString kursSql = QStringLiteral("SELECT EuroinFremd, FremdinEuro FROM AllgWaehrung WHERE WID = 1 AND AenderDatum = '%1'")
                                .arg(QDate::fromString(fall.tag ? fall.tag : "04.03.2024", "dd.MM.yyyy").toString(Qt::ISODate));
    if (fall.abgewiesen) {
        s.tippen(feld, fall.abgewiesen, fall.erstTab);
        if (fall.erstTab) {
            ASSERT_TRUE(QTest::qWaitFor([&] { return m.texte.size() == 1; }, 2000));
            ASSERT_TRUE(s.aktiv(feld));
        }
        verlassen(s, fall.ausgang, m, feld);
        const QString gezeigt = feld == s.eif() ? xov::waehrung::keineZahlIn("EuroinFremd")
                                                : QString(xov::waehrung::doppelterCode("CHF", 2)).replace(QChar(13), QChar(10));
        EXPECT_EQ(m.texte, QStringList(gezeigt) << (fall.erstTab ? QStringList(gezeigt) : QStringList()));
        EXPECT_TRUE(s->isVisible());
        EXPECT_EQ(s->TabStrip1->aktuelleSeite(), 8);
        EXPECT_TRUE(s.aktiv(feld));
        EXPECT_EQ(test::stand(db, usdSql) + test::stand(db, kursSql), "'US-Dollar'|'USD'|'USA'");
        // The refused text stays for the user to mend; a code used elsewhere returns to the stored one.
        EXPECT_EQ(feld->text(), feld == s.eif() ? QString(",") : QString("USD"));
        m.texte.clear();
    }
    s.tippen(feld, fall.gut, false);
    verlassen(s, fall.ausgang, m, feld);
    EXPECT_TRUE(m.texte.isEmpty()) << m.alle();
    EXPECT_EQ(s->isVisible(), fall.ausgang > Schliessfeld);
    EXPECT_EQ(s->TabStrip1->aktuelleSeite(), fall.ausgang == Tabklick || fall.ausgang == StrgTab ? 1 : 8);
    EXPECT_EQ(test::stand(db, feld == s.eif() ? kursSql : usdSql), fall.gespeichert);
}

// Each way out finishes the focus field through one function that tells the fields apart: every
// way out with a rate refused and then stored; the head fields, a rate refused by Tab before and a
// stored day's rate changed, on Escape.
std::vector<Fall> alleFaelle() {
    std::vector<Fall> f;
    for (int a = Escape; a <= AltN; ++a) f.push_back({"Kurs", Ausgang(a), "Kurs", ",", "1,7", "1.7|0.5882352941"});
    f.push_back({"Name", Escape, "Name", nullptr, "Dollar", "'Dollar'|'USD'|'USA'"});
    f.push_back({"DoppelterCode", Escape, "Code", "CHF", "usn", "'US-Dollar'|'USN'|'USA'"});
    f.push_back({"Land", Escape, "Land", nullptr, "us", "'US-Dollar'|'USD'|'US'"});
    f.push_back({"KursNachAbweisung", Escape, "Kurs", ",", "1,7", "1.7|0.5882352941", true});
    // A stored day's changed rate: its reciprocal stored to 10 places, as shown, not to 4.
    f.push_back({"GespeicherterTag", Escape, "Kurs", nullptr, "1,3", "1.3|0.7692307692", false, "01.03.2024"});
    return f;
}

INSTANTIATE_TEST_SUITE_P(Alle, Seite8Ausgang, ::testing::ValuesIn(alleFaelle()), [](const ::testing::TestParamInfo<Fall>& i) {
    return std::string(i.param.name) + "_" + Ausgaenge[i.param.ausgang];
});

}  // namespace
