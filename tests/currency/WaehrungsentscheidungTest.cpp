// The currency page's decisions without a window: a name, code or country code left changed,
// from what the dialog read, what is stored now and what was typed.

#include "currency/Waehrungsentscheidung.h"

#include <gtest/gtest.h>

using namespace xov::waehrung;
using Art = Entscheidung::Art;

namespace {

const Kopf Usd{"USD", "US-Dollar", "USA"};
const Kopf Pln{"PLN", "Polnischer Zloty", "PL"};

struct Fall {
    const char* name;
    std::optional<Kopf> gelesen, gespeichert;
    std::optional<int> codeAnderswo;
    Kopffeld feld;
    QString eingabe;
    Art art;
    QString wert;         // written on Speichern/Fragen
    QString gespeichertW;  // the field's value when the user's is not written
};

class Kopfaenderung : public ::testing::TestWithParam<Fall> {};

TEST_P(Kopfaenderung, Entscheidet) {
    const Fall& f = GetParam();
    const Entscheidung e = kopfAendern({5, f.gelesen, f.gespeichert, f.codeAnderswo}, f.feld, f.eingabe);
    EXPECT_EQ(e.art, f.art);
    if (f.art == Art::Speichern || f.art == Art::Fragen) EXPECT_EQ(e.wert, f.wert);
    if (f.art == Art::Abweisen || f.art == Art::Fragen) EXPECT_EQ(e.gespeichert, f.gespeichertW);
    EXPECT_EQ(e.text.isEmpty(), f.art == Art::Nichts || f.art == Art::Speichern);
}

const Kopf UsdA{"USD", "Dollar A", "USA"};
const Kopf Usn{"USN", "US-Dollar", "USA"};

INSTANTIATE_TEST_SUITE_P(
    Faelle, Kopfaenderung,
    ::testing::Values(
        Fall{"NeueWaehrungSpeichertNichts", std::nullopt, std::nullopt, std::nullopt, Kopffeld::Code, "DKK", Art::Nichts, "", ""},
        Fall{"NameGeaendert", Usd, Usd, std::nullopt, Kopffeld::Name, "Dollar", Art::Speichern, "Dollar", ""},
        Fall{"LandGeaendert", Usd, Usd, std::nullopt, Kopffeld::Land, "US", Art::Speichern, "US", ""},
        Fall{"CodeGeaendert", Usd, Usd, std::nullopt, Kopffeld::Code, "USN", Art::Speichern, "USN", ""},
        Fall{"CodeMitZweiBuchstaben", Usd, Usd, std::nullopt, Kopffeld::Code, "US", Art::Speichern, "US", ""},
        Fall{"GespeicherterCodeKleinGetippt", Usd, Usd, std::nullopt, Kopffeld::Code, "USD", Art::Nichts, "", ""},
        Fall{"LeererCodeEinerGespeicherten", Usd, Usd, std::nullopt, Kopffeld::Code, "", Art::Abweisen, "", "USD"},
        Fall{"CodeEinerAnderenWaehrung", Usd, Usd, 2, Kopffeld::Code, "CHF", Art::Abweisen, "", "USD"},
        Fall{"CodeEinerAnderenInLeererZeile", std::nullopt, std::nullopt, 2, Kopffeld::Code, "CHF", Art::Abweisen, "", ""},
        Fall{"ZeileInzwischenBelegtCode", std::nullopt, Pln, std::nullopt, Kopffeld::Code, "DKK", Art::Abweisen, "", "PLN"},
        Fall{"ZeileInzwischenBelegtName", std::nullopt, Pln, std::nullopt, Kopffeld::Name, "Krone", Art::Abweisen, "", "Polnischer Zloty"},
        Fall{"NameAndersGeaendertFragt", Usd, UsdA, std::nullopt, Kopffeld::Name, "Dollar B", Art::Fragen, "Dollar B", "Dollar A"},
        Fall{"NameGleichGeaendert", Usd, UsdA, std::nullopt, Kopffeld::Name, "Dollar A", Art::Nichts, "", ""},
        Fall{"CodeAndersGeaendertFragt", Usd, Usn, std::nullopt, Kopffeld::Code, "USX", Art::Fragen, "USX", "USN"},
        Fall{"NameNachFremderCodeaenderung", Usd, Usn, std::nullopt, Kopffeld::Name, "Dollar", Art::Speichern, "Dollar", ""},
        Fall{"GeloeschteWaehrungSpeichertNichts", Usd, std::nullopt, std::nullopt, Kopffeld::Name, "Dollar", Art::Nichts, "", ""}),
    [](const ::testing::TestParamInfo<Fall>& i) { return std::string(i.param.name); });

}  // namespace

// The texts name the currency, both values and the row (shown as 1 to 20).
TEST(Kopfentscheidung, TexteNennenWaehrungWerteUndZeile) {
    const Entscheidung frage = kopfAendern({5, Usd, UsdA, std::nullopt}, Kopffeld::Name, "Dollar B");
    EXPECT_EQ(frage.text, QString("Die Bezeichnung der Währung \"USD\" in Zeile 6 wurde inzwischen an einem anderen Arbeitsplatz geändert.\r\n\r\n"
                                  "Die Bezeichnung: anderer Arbeitsplatz \"Dollar A\", Ihre Eingabe \"Dollar B\"\r\n\r\n"
                                  "Wollen Sie Ihre Eingabe speichern?\r\nJa: Ihre Eingabe speichern\r\n"
                                  "Nein: den Wert des anderen Arbeitsplatzes übernehmen"));
    const Entscheidung fremd = kopfAendern({5, std::nullopt, Pln, std::nullopt}, Kopffeld::Code, "DKK");
    EXPECT_TRUE(fremd.text.startsWith("Zeile 6 gehört inzwischen zur Währung \"PLN\" (Polnischer Zloty)")) << fremd.text.toStdString();
    EXPECT_TRUE(fremd.text.contains("Ihre Eingabe: \"DKK\"")) << fremd.text.toStdString();
    EXPECT_EQ(kopfAendern({0, Usd, Usd, 2}, Kopffeld::Code, "CHF").text,
              QString("Der von Ihnnen gerade eben eingegebene Währungscode \"CHF\" wird bereits\rin Zeile 2 verwendet. Keine doppelten "
                      "Einträge möglich!"));
}

// A rate added or deleted only while the row shows the currency stored under its number.
TEST(Kopfentscheidung, KursGehoertZurZeile) {
    EXPECT_FALSE(kursGehoertZurZeile({5, std::nullopt, std::nullopt, std::nullopt}));  // a new currency
    EXPECT_FALSE(kursGehoertZurZeile({5, Usd, Usd, std::nullopt}));
    EXPECT_FALSE(kursGehoertZurZeile({5, Usd, UsdA, std::nullopt}));                   // renamed only: same currency
    EXPECT_FALSE(kursGehoertZurZeile({5, Usd, std::nullopt, std::nullopt}));           // deleted: created anew
    EXPECT_TRUE(kursGehoertZurZeile({5, std::nullopt, Pln, std::nullopt}));
    EXPECT_TRUE(kursGehoertZurZeile({5, Usd, Usn, std::nullopt}));
}
