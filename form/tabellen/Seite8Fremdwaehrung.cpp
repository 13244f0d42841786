// Page 8 "Fremdwährung": 20 currency rows, the rate grid and the rate-entry frame; nothing of it
// is bound to the client row.

#include "form/Feldtabelle.h"

namespace xov {

SeitenDef seite8Fremdwaehrung() {
    SeitenDef s{.nummer = Seitennr::Fremdwaehrung, .titel = "Fremdwährung", .fokus = "inpWährungsBezLang(0)", .zeilenabstand = 1};
    s.rahmen = {{.name = "fraWaehrungen", .zeilen = 2, .zeilenabstand = 1},
                {.name = "Frame7", .titel = "WährungsKursEingabe", .zeile = 1, .paar = 1}};
    s.felder = {
        {.name = "lblWaehrungsIndex", .label = " Währungs-Index:", .art = Art::Beschriftung, .rahmen = "fraWaehrungen", .paar = 1},
        {.name = "lblWaehrungsBezeichnung", .art = Art::Beschriftung, .text = "WährungsBezeichnung", .rahmen = "fraWaehrungen", .paar = 1},
        {.name = "lblWaehrungKurzbez", .art = Art::Beschriftung, .text = "Kurzbez", .rahmen = "fraWaehrungen", .paar = 2},
        {.name = "lblLaenderKz", .art = Art::Beschriftung, .text = "LänderKz", .rahmen = "fraWaehrungen", .paar = 3},
    };
    for (int i = 0; i < 20; ++i)
        s.felder << FeldDef{.name = QStringLiteral("inpWährungsBezLang(%1)").arg(i), .label = QString::number(i + 1), .max = 30,
                            .rahmen = "fraWaehrungen", .zeile = i + 1, .paar = 1, .sperrbar = true}
                 << FeldDef{.name = QStringLiteral("inpWährungsBezKurz(%1)").arg(i), .max = 3, .rahmen = "fraWaehrungen",
                            .zeile = i + 1, .paar = 2, .sperrbar = true}
                 << FeldDef{.name = QStringLiteral("inpLänderKürzel(%1)").arg(i), .max = 3, .rahmen = "fraWaehrungen",
                            .zeile = i + 1, .paar = 3};
    // One line under the rows for the hint on an unknown code: its whole text shows, and its
    // place is kept when it is empty, so nothing moves.
    s.felder << FeldDef{.name = "lblWährungscodeHinweis", .art = Art::Anzeige, .rahmen = "fraWaehrungen", .zeile = 21, .paar = 1,
                        .spannweite = 3};
    s.felder << FeldDef{.name = "TDBGridWährung", .art = Art::Raster, .text = " WährungsKursÜbersicht", .paar = 1}
             << FeldDef{.name = "inpWährungsDatum", .label = "ÄnderDatum", .art = Art::Datum, .max = 11, .keinMinus = true,
                        .keinTausender = true, .rahmen = "Frame7", .zeile = 0}
             << FeldDef{.name = "lblEuro", .art = Art::Anzeige, .text = "#", .rahmen = "Frame7", .zeile = 1}
             << FeldDef{.name = "inpEuroinFremd", .art = Art::Wechselkurs, .max = 20, .dezimalen = 10, .keinMinus = true, .keinTausender = true,
                        .rahmen = "Frame7", .zeile = 1, .paar = 1}
             << FeldDef{.name = "lblFremd", .art = Art::Anzeige, .text = "#", .rahmen = "Frame7", .zeile = 2}
             << FeldDef{.name = "inpFremdinEuro", .art = Art::Wechselkurs, .max = 20, .dezimalen = 10, .keinMinus = true, .keinTausender = true,
                        .rahmen = "Frame7", .zeile = 2, .paar = 1}
             << FeldDef{.name = "cmdUmrechnen", .art = Art::Knopf, .rahmen = "Frame7", .zeile = 3, .paar = 1};
    return s;
}

}  // namespace xov
