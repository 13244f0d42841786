// Every way out of the currency page, and "Neuer Kurs", finishes what is being typed there as
// leaving the field does: a name, code, country code or rate is stored, or refused with its
// message while the dialog stays open on the page with the field and its text.

#include "currency/Waehrungsentscheidung.h"
#include "currency/WaehrungsseiteHilfen.h"
#include "form/InputFeld.h"
#include "form/TabStrip.h"

#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>


namespace {

enum Ausgang { Escape, Beenden, Schliessfeld, Tabklick, StrgTab, AndereZeile, NeuerKurs, AltN };
enum Eingabe { Name, Code, Land, Kurs, DoppelterCode, KursOhneZahl, NachAbweisung };
const char* const Ausgaenge[] = {"Escape", "Beenden", "Schliessfeld", "Tabklick", "StrgTab", "AndereZeile", "NeuerKurs", "AltN"};
const char* const Eingaben[] = {"Name", "Code", "Land", "Kurs", "DoppelterCode", "KursOhneZahl", "NachAbweisung"};

struct Fall {
    Ausgang ausgang;
    Eingabe eingabe;
};
void PrintTo(const Fall& f, std::ostream* os) { *os << Eingaben[f.eingabe] << " mit " << Ausgaenge[f.ausgang]; }

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
    const Fall fall = GetParam();
    test::Datenbanken db;
    test::waehrungen(db, 2);
    test::Meldungen m;
    test::Seite s(db);
    InputFeld* feld = fall.eingabe == Name ? s.lang(0) : fall.eingabe == Code || fall.eingabe == DoppelterCode ? s.kurz(0)
                      : fall.eingabe == Land                                                                 ? s.land(0)
                                                                                                             : s.eif();
    if (feld == s.eif()) s.neuerKurs("04.03.2024");
    const char* text[] = {"Dollar", "usn", "us", "1,6", "CHF", ",", ","};
    s.tippen(feld, text[fall.eingabe], fall.eingabe == NachAbweisung);  // refused once with Tab first
    if (fall.eingabe == NachAbweisung) {
        ASSERT_TRUE(QTest::qWaitFor([&] { return m.texte.size() == 1; }, 2000));
        ASSERT_TRUE(s.aktiv(feld));
    }
    verlassen(s, fall.ausgang, m, feld);

    const QString usd = test::stand(db, "SELECT DISTINCT WaehrungscodeBezeichnung, Waehrungscode, Laenderkennzeichen FROM AllgWaehrung WHERE WID = 1");
    const QString kurs = test::stand(db, "SELECT EuroinFremd, FremdinEuro FROM AllgWaehrung WHERE AenderDatum = '2024-03-04'");
    const bool schliesst = fall.ausgang <= Schliessfeld, wechselt = fall.ausgang == Tabklick || fall.ausgang == StrgTab;
    if (fall.eingabe >= DoppelterCode) {
        const QString gezeigt = fall.eingabe == DoppelterCode ? QString(xov::waehrung::doppelterCode("CHF", 2)).replace(QChar(13), QChar(10))
                                                              : xov::waehrung::keineZahlIn("EuroinFremd");
        EXPECT_EQ(m.texte, QStringList(gezeigt) << (fall.eingabe == NachAbweisung ? QStringList(gezeigt) : QStringList()));
        EXPECT_TRUE(s->isVisible());
        EXPECT_EQ(s->TabStrip1->aktuelleSeite(), 8);
        EXPECT_TRUE(s.aktiv(feld));
        EXPECT_EQ(usd + kurs, "'US-Dollar'|'USD'|'USA'");
        // The refused text stays for the user to mend; a code used elsewhere returns to the stored one.
        EXPECT_EQ(feld->text(), fall.eingabe == DoppelterCode ? QString("USD") : QString(","));
        return;
    }
    EXPECT_TRUE(m.texte.isEmpty()) << m.texte.join('|').toStdString();
    EXPECT_EQ(s->isVisible(), !schliesst);
    EXPECT_EQ(s->TabStrip1->aktuelleSeite(), wechselt ? 1 : 8);
    const char* erwartet[] = {"'Dollar'|'USD'|'USA'", "'US-Dollar'|'USN'|'USA'", "'US-Dollar'|'USD'|'US'", "1.6|0.625"};
    EXPECT_EQ(fall.eingabe == Kurs ? kurs : usd, erwartet[fall.eingabe]);
}

// Each exit finishes the focus field through one function that tells the fields apart: every exit
// with a head field (the name where the code's completion list would take the click), a rate and
// a refused rate; the other head fields and refusals on Escape, and on a tab click.
std::vector<Fall> alleFaelle() {
    std::vector<Fall> f;
    for (int a = Escape; a <= AltN; ++a)
        for (int e = Name; e <= NachAbweisung; ++e)
            if (a == Escape || e == Kurs || e == KursOhneZahl || e == (a >= NeuerKurs ? Name : Code) || (a == Tabklick && e >= DoppelterCode))
                f.push_back({Ausgang(a), Eingabe(e)});
    return f;
}

INSTANTIATE_TEST_SUITE_P(Alle, Seite8Ausgang, ::testing::ValuesIn(alleFaelle()), [](const ::testing::TestParamInfo<Fall>& i) {
    return std::string(Eingaben[i.param.eingabe]) + "_" + Ausgaenge[i.param.ausgang];
});

}  // namespace
