// Page 3 "Mand-Stamm 3": the booking year and the month-status date.

#include "form/Feldtabelle.h"

namespace xov {

SeitenDef seite3MandStamm3() {
    SeitenDef s{.nummer = Seitennr::MandStamm3, .titel = "Mand-Stamm 3"};
    s.felder = {
        {.name = "inpMandBuchjahr", .label = "Buchungsjahr JJJJ:", .spalte = "MandBuchjahr", .art = Art::Ganzzahl, .max = 4,
         .keinMinus = true, .keinTausender = true, .zeile = 0, .sperrbar = true, .pruefung = Pruefung::Buchjahr, .pruefRang = 1},
        {.name = "inpMandMonStatusDatum", .label = "Monatsstatus MM.JJJJ:", .spalte = "MandMonStatusDatum", .art = Art::Monat,
         .max = 7, .keinMinus = true, .keinTausender = true, .zeile = 1, .aktiv = false, .sperrbar = true,
         .pruefung = Pruefung::MonStatusDatum, .pruefRang = 2},
    };
    return s;
}

}  // namespace xov
