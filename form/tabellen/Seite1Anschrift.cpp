// Page 1 "Anschrift": the client's names and address, telephone and fax, the numbers of the
// right column and the VAT-return frame; the online access frame stays hidden.

#include "form/Feldtabelle.h"

namespace xov {

SeitenDef seite1Anschrift() {
    SeitenDef s{.nummer = Seitennr::Anschrift, .titel = "Anschrift"};
    s.rahmen = {
        {.name = "Frame2", .titel = "  Mandanten-Anschrift", .zeile = 0, .paar = 0, .zeilen = 4},
        {.name = "fraRechts", .zeile = 0, .paar = 1, .zeilen = 4, .rahmenlos = true},
        {.name = "Frame3", .titel = "Voranmeldung", .zeile = 6, .paar = 0, .zeilen = 2},
        {.name = "Frame6", .titel = "Online Zugangsdaten", .zeile = 4, .paar = 1, .zeilen = 3, .sichtbar = false},
    };
    s.felder = {
        {.name = "inpMandName", .label = "MandantenName 1.Zeile", .spalte = "MandName", .max = 40, .rahmen = "Frame2",
         .zeile = 0, .spannweite = 2, .aktiv = false, .sperrbar = true, .pruefung = Pruefung::Name, .pruefRang = 4},
        {.name = "inpMandName2", .label = "MandantenName 2.Zeile", .spalte = "MandName2", .max = 40, .rahmen = "Frame2",
         .zeile = 1, .spannweite = 2, .aktiv = false, .sperrbar = true},
        {.name = "inpMandName3", .label = "MandantenName 3.Zeile", .spalte = "MandName3", .max = 40, .rahmen = "Frame2",
         .zeile = 2, .spannweite = 2, .aktiv = false, .sperrbar = true},
        {.name = "inpMandAnschrift", .label = "Anschrift:", .spalte = "MandAnschrift", .max = 40, .rahmen = "Frame2",
         .zeile = 3, .spannweite = 2, .sperrbar = true, .pruefung = Pruefung::Anschrift, .pruefRang = 3},
        {.name = "inpMandPlz", .label = "Postleitzahl:", .spalte = "MandPlz", .art = Art::Ganzzahl, .max = 4, .keinMinus = true,
         .keinTausender = true, .rahmen = "Frame2", .zeile = 4, .sperrbar = true, .pruefung = Pruefung::Plz, .pruefRang = 1},
        {.name = "inpMandNation", .label = "Nationalität-Symbol:", .spalte = "MandNation", .max = 4, .rahmen = "Frame2",
         .zeile = 4, .paar = 1, .sperrbar = true},
        {.name = "inpMandOrt", .label = "Ort:", .spalte = "MandOrt", .max = 40, .rahmen = "Frame2", .zeile = 5, .spannweite = 2,
         .sperrbar = true, .pruefung = Pruefung::Ort, .pruefRang = 2},
        {.name = "inpMandTelefonNr", .label = "Telefon-Nr:", .spalte = "MandTelefonNr", .max = 40, .zeile = 4, .sperrbar = true},
        {.name = "inpMandFaxNr", .label = "Fax-Nr:", .spalte = "MandFaxNr", .max = 40, .zeile = 5, .sperrbar = true},
        {.name = "cmbVoranmPeriode", .label = "Voranm-Periode:", .art = Art::Liste, .rahmen = "Frame3", .zeile = 0, .sperrbar = true,
         .codeFeld = "inpVoranmPeriode", .eintraege = {"keine Definition", "monatlich", "vierteljährlich", "jährlich"}},
        {.name = "inpSteuerNr", .label = "Steuer-Nummer:", .spalte = "MandSteuerNr", .max = 8, .keinTausender = true,
         .rahmen = "Frame3", .zeile = 1, .sperrbar = true},
        {.name = "inpReferat", .label = "Referat:", .spalte = "MandReferat", .art = Art::Ganzzahl, .max = 4, .keinMinus = true,
         .keinTausender = true, .rahmen = "Frame3", .zeile = 1, .paar = 1, .sperrbar = true},
        {.name = "cmbFaNr", .label = "Finanzamt:", .spalte = "MandFaNr", .art = Art::DbListe, .text = "cmbFaNr", .rahmen = "Frame3",
         .zeile = 2, .spannweite = 2, .sperrbar = true},
        {.name = "inpMandDvr", .label = "Dvr:", .spalte = "MandDvr", .art = Art::Ganzzahl, .max = 7, .keinMinus = true,
         .keinTausender = true, .rahmen = "fraRechts", .zeile = 0, .sperrbar = true},
        {.name = "inpMandBagatellBetrag", .label = "Bagatellbetrag:", .spalte = "MandBagatellBetrag", .art = Art::Betrag, .max = 7,
         .text = "0,00", .rahmen = "fraRechts", .zeile = 1, .sperrbar = true},
        {.name = "inpMandMahnspesen", .label = "Mahnspesen:", .spalte = "MandMahnspesen", .art = Art::Betrag, .max = 10,
         .keinMinus = true, .text = "0,00", .rahmen = "fraRechts", .zeile = 2, .sperrbar = true},
        {.name = "inpMandUID", .label = "Mandanten UID:", .spalte = "MandUID", .max = 15, .keinMinus = true, .keinTausender = true,
         .rahmen = "fraRechts", .zeile = 3, .sperrbar = true},
        {.name = "lblMandUIDHinweis", .art = Art::Anzeige, .rahmen = "fraRechts", .zeile = 4},
        {.name = "lblSteuerNrHinweis", .art = Art::Anzeige, .rahmen = "Frame3", .zeile = 3, .spannweite = 2},
        {.name = "inpVoranmPeriode", .spalte = "MandVoranmPeriode", .art = Art::Code, .max = 2, .rahmen = "Frame3", .zeile = 0,
         .sichtbar = false},
        {.name = "lblVersionsNr", .label = "Versions-Nr:", .spalte = "MandVersionsNr", .art = Art::Anzeige, .zeile = 7, .paar = 1},
        {.name = "txtUVAFeld1", .label = "UVA Feld1: ", .spalte = "MandUVAID1", .art = Art::Textfeld, .max = 12, .text = "*",
         .rahmen = "Frame6", .zeile = 0},
        {.name = "txtUVAFeld2", .label = "UVA Feld2: ", .spalte = "MandUVAID2", .art = Art::Textfeld, .max = 8, .text = "*",
         .rahmen = "Frame6", .zeile = 1},
        {.name = "txtUVAFeld3", .label = "UVA Feld3: ", .spalte = "MandUVAID3", .art = Art::Textfeld, .max = 8, .text = "*",
         .rahmen = "Frame6", .zeile = 2},
        {.name = "chkUVASchuetzen", .art = Art::Kaestchen, .text = "Felder schützen", .rahmen = "Frame6", .zeile = 3},
    };
    return s;
}

}  // namespace xov
