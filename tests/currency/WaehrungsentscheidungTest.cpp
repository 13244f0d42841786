// The currency page's decisions without a window: a name, code or country code left changed,
// from what the dialog read, what is stored now and what was typed.

#include "currency/Waehrungsentscheidung.h"

#include "platform/Variant.h"

#include <functional>
#include <gtest/gtest.h>

using namespace xov::waehrung;
using Art = Entscheidung::Art;

namespace {

const Kopf Usd{"USD", "US-Dollar", "USA"};
const Kopf UsdA{"USD", "Dollar A", "USA"};
const Kopf Usn{"USN", "US-Dollar", "USA"};

// What is done, the value written, the value the field shows when the user's is not written, and
// whether nothing is said.
using Ergebnis = std::tuple<Art, QString, QString, bool>;
Ergebnis kopf(const std::optional<Kopf>& gelesen, const std::optional<Kopf>& gespeichert, Kopffeld feld, const QString& eingabe) {
    const Entscheidung e = kopfAendern({5, gelesen, gespeichert, std::nullopt}, feld, eingabe);
    return {e.art, e.wert, e.gespeichert, e.text.isEmpty()};
}

// The rows of the head fields the dialog tests do not reach: a stored currency takes a code of two
// letters and an unchanged code writes nothing; an empty code is refused; a name the other
// workstation typed too, or changed after only the code changed there, asks nothing; a currency
// deleted meanwhile stores nothing.
TEST(Kopfaenderung, Entscheidet) {
    EXPECT_EQ(kopf(Usd, Usd, Kopffeld::Code, "US"), Ergebnis(Art::Speichern, "US", "USD", true));
    EXPECT_EQ(kopf(Usd, Usd, Kopffeld::Code, "USD"), Ergebnis(Art::Nichts, "", "USD", true));
    EXPECT_EQ(kopf(Usd, Usd, Kopffeld::Code, ""), Ergebnis(Art::Abweisen, "", "USD", false));
    EXPECT_EQ(kopf(Usd, UsdA, Kopffeld::Name, "Dollar A"), Ergebnis(Art::Nichts, "", "Dollar A", true));
    EXPECT_EQ(kopf(Usd, Usn, Kopffeld::Name, "Dollar"), Ergebnis(Art::Speichern, "Dollar", "US-Dollar", true));
    EXPECT_EQ(kopf(Usd, std::nullopt, Kopffeld::Name, "Dollar"), Ergebnis(Art::Nichts, "", "Dollar", true));
    // Changed there and here: the question names the field as the page labels it.
    EXPECT_TRUE(kopfAendern({5, Usd, UsdA, std::nullopt}, Kopffeld::Name, "Dollar B").text.startsWith("Die Bezeichnung der Währung"));
}

// ---- saving a rate ----


using KArt = Kursentscheidung::Art;
const Kurs K1085{1.085, 0.9217};
const Kurs K12{1.2, 0.8333};

// The frame of row 1 (USD, stored) on 01.03.2024, where 1,085 / 0,9217 was read.
Kurslage frame(const QString& eif, const QString& fie) {
    return {"01.03.2024", eif, fie, xov::zahlAusText(eif), xov::zahlAusText(fie), K1085, K1085, K1085, false, {0, Usd, Usd, std::nullopt}, "USD", "USA"};
}
// The day without a rate, as seen and as stored.
void neuerTag(Kurslage& l) { l.gesehen = l.gespeichert = std::nullopt; }

struct KursFall {
    const char* name;
    std::function<void(Kurslage&)> aendern;
    KArt art;
    Kursfeld feld = Kursfeld::Datum;  // Abweisen: the field concerned
    QString text = {};                // Abweisen: the message or its beginning
};

class Kurssicherung : public ::testing::TestWithParam<KursFall> {};

TEST_P(Kurssicherung, Entscheidet) {
    Kurslage l = frame("1,2", "0,8333");
    GetParam().aendern(l);
    const Kursentscheidung e = kursSpeichern(l);
    EXPECT_EQ(e.art, GetParam().art);
    if (e.art != KArt::Abweisen) return;
    EXPECT_EQ(e.feld, GetParam().feld);
    EXPECT_TRUE(e.text.startsWith(GetParam().text)) << e.text.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Faelle, Kurssicherung,
    ::testing::Values(
        KursFall{"OhneDatum", [](Kurslage& l) { l.datum = "0"; }, KArt::Nichts},
        KursFall{"LeeresDatum", [](Kurslage& l) { l.datum = " "; }, KArt::Nichts},
        KursFall{"DatumOhneSinn", [](Kurslage& l) { l.datum = "31.02.2024"; }, KArt::Abweisen, Kursfeld::Datum, "Im Feld \"Datum\" sind nur Datumsangaben erlaubt!"},
        KursFall{"BuchstabenImKehrwert", [](Kurslage& l) { l.fremdinEuro = "x"; l.fie.reset(); }, KArt::Abweisen, Kursfeld::FremdinEuro, "In dem Feld \" FremdinEuro \" ist nur die Eingabe von Zahlen erlaubt!"},
        KursFall{"KehrwertFehlt", [](Kurslage& l) { l.fremdinEuro.clear(); l.fie.reset(); }, KArt::Nichts},
        KursFall{"OhneCode", [](Kurslage& l) { l.code.clear(); }, KArt::Abweisen, Kursfeld::Code, "Bitte Währungscode angeben!"},
        KursFall{"CodeInAndererZeile", [](Kurslage& l) { l.zeile.codeAnderswo = 3; }, KArt::Abweisen, Kursfeld::Code, "Währungscode wird bereits in Zeile 3 verwendet"},
        KursFall{"EinKursNull", [](Kurslage& l) { l.fie = 0.0; }, KArt::Nichts},
        KursFall{"AndererArbeitsplatzGeloescht", [](Kurslage& l) { l.gespeichert.reset(); }, KArt::Abgleichen},
        KursFall{"AndererArbeitsplatzErfasst", [](Kurslage& l) { l.gesehen.reset(); }, KArt::Abgleichen},
        KursFall{"NeueWaehrungMitZweiBuchstaben", [](Kurslage& l) { neuerTag(l); l.code = "US"; }, KArt::Abweisen, Kursfeld::Code, "Währungscode muss 3stellig sein. Bitte abändern!"},
        KursFall{"LandZuLang", [](Kurslage& l) { neuerTag(l); l.land = "USAX"; }, KArt::Abweisen, Kursfeld::Land, "Länderkennzeichen darf maximal 3 Zeichen lang sein!"},
        KursFall{"ZeileInzwischenAndereWaehrung", [](Kurslage& l) { neuerTag(l); l.zeile.gespeichert = Usn; }, KArt::Abweisen,
                 Kursfeld::EuroinFremd, "Zeile 1 gehört inzwischen zur Währung \"USN\" (US-Dollar), die an einem anderen"},
        KursFall{"ZeileUmbenanntDieselbeWaehrung", [](Kurslage& l) { neuerTag(l); l.zeile.gespeichert = UsdA; }, KArt::Einfuegen},
        KursFall{"WaehrungGeloeschtWirdNeuAngelegt", [](Kurslage& l) { neuerTag(l); l.zeile.gespeichert.reset(); }, KArt::Einfuegen}),
    [](const ::testing::TestParamInfo<KursFall>& i) { return std::string(i.param.name); });

}  // namespace

// A changed EuroinFremd brings its reciprocal to four places, unless the pair was converted (a
// refused rate getting back the frame's: the dialog test of the rows). The question of a rate the
// other workstation changed or deleted names the day, both rates, and what each answer does; none
// when the stored rate is the user's already (the question on a rate entered meanwhile: the
// dialog's same-day test).
TEST(Kurssicherung, KehrwertUndAbgleichFrage) {
    Kurslage l = frame("3", "0,9217");
    EXPECT_EQ(kursSpeichern(l).kurs, (Kurs{3, 0.3333}));
    EXPECT_TRUE(kursSpeichern(l).kehrwertNeu);
    l.umgerechnet = true;
    EXPECT_EQ(kursSpeichern(l).kurs, (Kurs{3, 0.9217}));
    const Kursentscheidung gelesen = kursSpeichern(frame("1,085", "0,92"));  // EuroinFremd as read: FremdinEuro as typed
    EXPECT_EQ(gelesen.kurs, (Kurs{1.085, 0.92}));
    EXPECT_FALSE(gelesen.kehrwertNeu);

    EXPECT_FALSE(kursAbgleichFrage("USD", QDate(2024, 3, 1), K12, K1085, K12));
    const QString geaendert = *kursAbgleichFrage("USD", QDate(2024, 3, 1), K12, K1085, Kurs{1.3, 0.7692});
    EXPECT_TRUE(geaendert.endsWith("FremdinEuro: anderer Arbeitsplatz 0,8333, Ihre Eingabe 0,7692\r\n\r\nWollen Sie Ihren Kurs speichern?\r\n"
                                   "Ja: Ihren Kurs speichern\r\nNein: den Kurs des anderen Arbeitsplatzes übernehmen\r\n"
                                   "Abbrechen: nichts speichern und weiter bearbeiten")) << geaendert.toStdString();
    const QString weg = *kursAbgleichFrage("USD", QDate(2024, 3, 1), std::nullopt, K1085, K12);
    EXPECT_TRUE(weg.contains("gelöscht.\r\n\r\nEuroinFremd: Ihre Eingabe 1,2")) << weg.toStdString();
    EXPECT_TRUE(weg.contains("Nein: den Kurs gelöscht lassen"));
}
