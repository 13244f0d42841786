// Page 5 "Anreden": 21 salutations 0 to 20, long ones first in the keyboard order.

#include "form/Feldtabelle.h"

namespace xov {

SeitenDef seite5Anreden() {
    SeitenDef s{.nummer = Seitennr::Anreden, .titel = "Anreden", .fokus = "inpMaAnr(0)", .zeilenabstand = 1};
    s.felder = {
        {.name = "lblAnreden", .label = "Anreden:", .art = Art::Beschriftung, .zeile = 0},
        {.name = "lblLangeAnrede", .art = Art::Beschriftung, .text = "lange Anrede", .zeile = 0, .paar = 0},
        {.name = "lblKurzeAnrede", .art = Art::Beschriftung, .text = "kurze Anrede", .zeile = 0, .paar = 1},
    };
    const QStringList vorgaben = {"keine Anrede", "Sehr geehrter Herr", "Sehr geehrte Frau", "Sehr geehrte Frau und Herr",
                                  "Titl.", "Sehr geehrte Damen und Herren"};
    for (int i = 0; i <= 20; ++i)
        s.felder << FeldDef{.name = QStringLiteral("inpMaAnr(%1)").arg(i), .label = QString::number(i),
                            .spalte = QStringLiteral("MandAnr%1").arg(i), .max = 35, .text = vorgaben.value(i),
                            .zeile = i + 1, .sperrbar = true};
    for (int i = 0; i <= 20; ++i)
        s.felder << FeldDef{.name = QStringLiteral("inpMaAnrKurz(%1)").arg(i), .spalte = QStringLiteral("MandAnrKurz%1").arg(i),
                            .max = 20, .zeile = i + 1, .paar = 1, .sperrbar = true};
    return s;
}

}  // namespace xov
