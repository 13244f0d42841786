// Page 2 "Mand-Stamm 2": the rent account and the creditor identification.

#include "form/Feldtabelle.h"

namespace xov {

SeitenDef seite2MandStamm2() {
    SeitenDef s{.nummer = Seitennr::MandStamm2, .titel = "Mand-Stamm 2"};
    s.rahmen = {{.name = "Frame4"}};
    s.felder = {
        {.name = "InputFeld1", .label = "Mieteneingangskonto Bankleitzahl (Vorschlag Einzüge usw):", .spalte = "MandMiEinktoBlz",
         .art = Art::Ganzzahl, .max = 5, .keinMinus = true, .keinTausender = true, .rahmen = "Frame4", .zeile = 0},
        {.name = "InputFeld2", .label = "Mieteneingangskonto Bank-Kontonummer:", .spalte = "MandMiKontoNr", .max = 15,
         .rahmen = "Frame4", .zeile = 1},
        {.name = "InputFeld3", .label = "Mieteingangskonto- Bezeichnung:", .spalte = "MandMikoBezeich", .max = 50,
         .rahmen = "Frame4", .zeile = 2, .zeilen = 2},
        {.name = "InputFeld4", .label = "Mieteingangskonto- Kurzbezeichnung:", .spalte = "MandMikoKurzbez", .max = 20,
         .rahmen = "Frame4", .zeile = 3, .zeilen = 2},
        {.name = "inpMandCreditorID", .label = "Kreditor-Identifikation (z.B. für Einzüge):", .spalte = "MandCreditorID",
         .max = 35, .rahmen = "Frame4", .zeile = 4},
        {.name = "lblMandCreditorIDHinweis", .art = Art::Anzeige, .rahmen = "Frame4", .zeile = 5},
    };
    return s;
}

}  // namespace xov
