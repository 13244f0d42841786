// Page 6 "KontoZuord": the two collective accounts and the six payroll accounts, each with the
// label that shows the account's name, and the button of the account picker. The keyboard
// order is the table's; the check order is the order in which the whole page is checked.

#include "form/Feldtabelle.h"

namespace xov {

namespace {
FeldDef konto(const char* name, const char* label, const char* spalte, const char* nameLabel, const char* rahmen, int zeile,
              int rang) {
    return {.name = name, .label = label, .spalte = spalte, .max = 10, .keinMinus = true, .keinTausender = true, .text = " ",
            .rahmen = rahmen, .zeile = zeile, .sperrbar = true, .pruefung = Pruefung::Konto, .pruefRang = rang,
            .nameLabel = nameLabel};
}
FeldDef kontoname(const char* name, const char* rahmen, int zeile) {
    return {.name = name, .art = Art::Anzeige, .text = "#", .rahmen = rahmen, .zeile = zeile, .paar = 1};
}
}  // namespace

SeitenDef seite6KontoZuord() {
    SeitenDef s{.nummer = Seitennr::KontoZuord, .titel = "KontoZuord"};
    s.rahmen = {{.name = "Frame5", .titel = "S-Lohn Kontierung nur für Kanzleilohnverrechnung", .zeile = 2, .paare = 2}};
    s.felder = {
        konto("inpDebitSammelKoNr", "Debitoren-SammelKonto:", "MandDebitSammelKoNr", "lblDebitSammelKoText", "", 0, 2),
        kontoname("lblDebitSammelKoText", "", 0),
        konto("inpKreditSammelKoNr", "Kreditoren-Sammelkonto:", "MandKreditSammelKoNr", "lblKreditSammelKoText", "", 1, 1),
        kontoname("lblKreditSammelKoText", "", 1),
        konto("inpMandKonto30", "Bankkontonummer:", "MandKonto30", "lblMandKonto30Text", "Frame5", 0, 3),
        kontoname("lblMandKonto30Text", "Frame5", 0),
        konto("inpMandKonto12", "Finanzamt-Verrechnung:", "MandKonto12", "lblMandKonto12Text", "Frame5", 1, 6),
        kontoname("lblMandKonto12Text", "Frame5", 1),
        konto("inpMandKonto13", "Sozialversicherung:", "MandKonto13", "lblMandKonto13Text", "Frame5", 2, 7),
        kontoname("lblMandKonto13Text", "Frame5", 2),
        konto("inpMandKonto7", "Gemeinde:", "MandKonto7", "lblMandKonto7Text", "Frame5", 3, 8),
        kontoname("lblMandKonto7Text", "Frame5", 3),
        konto("inpMandKonto8", "Nettolöhne Arbeiter:", "MandKonto8", "lblMandKonto8Text", "Frame5", 4, 4),
        kontoname("lblMandKonto8Text", "Frame5", 4),
        konto("inpMandKonto11", "Nettolöhne Angestellte:", "MandKonto11", "lblMandKonto11Text", "Frame5", 5, 5),
        kontoname("lblMandKonto11Text", "Frame5", 5),
        {.name = "cmdKontenAuswahl", .art = Art::Knopf, .text = "Konten-Auswahl", .zeile = 3, .sperrbar = true},
    };
    return s;
}

}  // namespace xov
