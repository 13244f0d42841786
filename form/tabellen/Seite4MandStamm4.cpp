// Page 4 "Mand-Stamm 4": every control invisible, the fields still bound and loaded; the lists
// write their codes into the hidden fields beside them.

#include "form/Feldtabelle.h"

namespace xov {

SeitenDef seite4MandStamm4() {
    SeitenDef s{.nummer = Seitennr::MandStamm4, .titel = "Mand-Stamm 4"};
    s.felder = {
        {.name = "cmbAnwNummer", .label = "Anwender-Nr:", .art = Art::Liste, .zeile = 0, .sichtbar = false, .sperrbar = true,
         .codeFeld = "inpAnwNummer", .eintraege = {"keine ESG-Nr", "ESG-Nr ausweisen"}},
        {.name = "inpZahlschKorrPunkte", .label = "Zahlsch.Korr-Punkte:", .spalte = "MandZahlschKorrPunkte", .art = Art::Ganzzahl,
         .max = 4, .keinTausender = true, .zeile = 1, .sichtbar = false, .sperrbar = true, .pruefung = Pruefung::KorrPunkte,
         .pruefRang = 1},
        {.name = "cmbMahnFixText", .label = "MahnFixTextAuswahl:", .art = Art::Liste, .zeile = 2, .sichtbar = false,
         .sperrbar = true, .codeFeld = "inpMahnFixText", .eintraege = {"Fixtext 1 (alt)", "Fixtext 2 (neu)"}},
        {.name = "cmbAnzMahnStu", .label = "AnzMahnstuAuswahl:", .art = Art::Liste, .zeile = 3, .sichtbar = false, .sperrbar = true,
         .codeFeld = "inpAnzMahnStu", .eintraege = {"Mahn bis Mahnst. 3", "Mahn bis Mahnst. 2"}},
        {.name = "inpEurKurs", .label = "Eur-Kurs:", .spalte = "MandEurKurs", .art = Art::Kurs, .max = 7, .dezimalen = 4,
         .text = "0,0000", .zeile = 4, .sichtbar = false, .sperrbar = true},
        {.name = "cmbEur2Fach", .label = "Eur-2fach-Ausweis:", .art = Art::Liste, .zeile = 5, .sichtbar = false, .sperrbar = true,
         .codeFeld = "inpEur2Fach", .eintraege = {"kein Eur 2fach-Ausw", "Eur 2fach-Ausweis aktiv"}},
        {.name = "inpAnwNummer", .spalte = "MandAnwNummer", .art = Art::Code, .max = 1, .keinMinus = true, .keinTausender = true,
         .zeile = 0, .sichtbar = false},
        {.name = "inpMahnFixText", .spalte = "MandMahnfixText", .art = Art::Code, .max = 10, .keinMinus = true,
         .keinTausender = true, .zeile = 2, .sichtbar = false},
        {.name = "inpAnzMahnStu", .spalte = "MandAnzMahnStu", .art = Art::Code, .max = 2, .keinMinus = true, .keinTausender = true,
         .zeile = 3, .sichtbar = false},
        {.name = "inpEur2Fach", .spalte = "MandEur2Fach", .art = Art::Code, .max = 2, .zeile = 5, .sichtbar = false},
    };
    return s;
}

}  // namespace xov
