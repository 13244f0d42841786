#include "form/Feldtabelle.h"

#include <QStringList>
#include <functional>

namespace xov {

namespace {

constexpr int T = 20, N = 0, M = 15, D = 10, K = 1;  // feldtype; K: exchange rate
constexpr bool ja = true, nein = false;

FeldDef feld(const char* name, const char* spalte, const char* label, int typ, double max, int dez, bool keinMinus,
             bool keinTausender, int seite, const char* rahmen, int zeile, int paar = 0) {
    FeldDef f;
    f.name = QString::fromUtf8(name);
    f.spalte = QString::fromUtf8(spalte);
    f.label = QString::fromUtf8(label);
    f.feldtype = typ;
    f.maxwert = max;
    f.anzdezimalen = dez;
    f.keinminus = keinMinus;
    f.keintausendpkt = keinTausender;
    f.seite = seite;
    f.rahmen = QString::fromUtf8(rahmen);
    f.zeile = zeile;
    f.paar = paar;
    return f;
}

FeldDef anderes(Art art, const char* name, const char* spalte, const char* label, int seite, const char* rahmen,
                int zeile, int paar = 0) {
    FeldDef f = feld(name, spalte, label, T, 0, 0, nein, nein, seite, rahmen, zeile, paar);
    f.art = art;
    return f;
}

FeldDef mit(FeldDef f, const std::function<void(FeldDef&)>& aendern) {
    aendern(f);
    return f;
}

// A hidden input field that holds the code of the list beside it.
FeldDef versteckt(FeldDef f) {
    f.sichtbar = false;
    return f;
}

QVector<FeldDef> bauen() {
    QVector<FeldDef> t;
    auto breit = [](FeldDef& f) { f.spannweite = 2; };
    auto aus = [](FeldDef& f) { f.aktiv = false; };
    auto unsichtbar = [](FeldDef& f) { f.sichtbar = false; };
    auto zweizeilig = [](FeldDef& f) { f.zeilen = 2; };

    // Page 1 "Anschrift", in its design keyboard order.
    t << mit(feld("inpMandName", "MandName", "MandantenName 1.Zeile", T, 40, 0, nein, nein, 1, "Frame2", 0), [&](FeldDef& f) { breit(f); aus(f); })
      << mit(feld("inpMandName2", "MandName2", "MandantenName 2.Zeile", T, 40, 0, nein, nein, 1, "Frame2", 1), [&](FeldDef& f) { breit(f); aus(f); })
      << mit(feld("inpMandName3", "MandName3", "MandantenName 3.Zeile", T, 40, 0, nein, nein, 1, "Frame2", 2), [&](FeldDef& f) { breit(f); aus(f); })
      << mit(feld("inpMandAnschrift", "MandAnschrift", "Anschrift:", T, 40, 0, nein, nein, 1, "Frame2", 3), breit)
      << feld("inpMandPlz", "MandPlz", "Postleitzahl:", N, 4, 0, ja, ja, 1, "Frame2", 4, 0)
      << feld("inpMandNation", "MandNation", "Nationalität-Symbol:", T, 4, 0, nein, nein, 1, "Frame2", 4, 1)
      << mit(feld("inpMandOrt", "MandOrt", "Ort:", T, 40, 0, nein, nein, 1, "Frame2", 5), breit)
      << feld("inpMandTelefonNr", "MandTelefonNr", "Telefon-Nr:", T, 40, 0, nein, nein, 1, "", 4)
      << feld("inpMandFaxNr", "MandFaxNr", "Fax-Nr:", T, 40, 0, nein, nein, 1, "", 5)
      << anderes(Art::Liste, "cmbVoranmPeriode", "", "Voranm-Periode:", 1, "Frame3", 0)
      << feld("inpSteuerNr", "MandSteuerNr", "Steuer-Nummer:", T, 8, 0, nein, ja, 1, "Frame3", 1, 0)
      << mit(anderes(Art::DbListe, "cmbFaNr", "MandFaNr", "Finanzamt:", 1, "Frame3", 2), [&](FeldDef& f) { breit(f); f.text = "cmbFaNr"; })
      << feld("inpMandDvr", "MandDvr", "Dvr:", N, 7, 0, ja, ja, 1, "fraRechts", 0)
      << mit(feld("inpMandBagatellBetrag", "MandBagatellBetrag", "Bagatellbetrag:", N, 7, -1, nein, nein, 1, "fraRechts", 1), [](FeldDef& f) { f.text = "0,00"; })
      << mit(feld("inpMandMahnspesen", "MandMahnspesen", "Mahnspesen:", N, 10, -1, ja, nein, 1, "fraRechts", 2), [](FeldDef& f) { f.text = "0,00"; })
      << feld("inpMandUID", "MandUID", "Mandanten UID:", T, 15, 0, ja, ja, 1, "fraRechts", 3)
      << feld("inpReferat", "MandReferat", "Referat:", N, 4, 0, ja, ja, 1, "Frame3", 1, 1)
      << versteckt(feld("inpVoranmPeriode", "MandVoranmPeriode", "", N, 2, 0, nein, nein, 1, "Frame3", 0))
      << anderes(Art::Anzeige, "lblVersionsNr", "MandVersionsNr", "Versions-Nr:", 1, "", 7, 1);
    for (int i = 1; i <= 3; ++i) {
        FeldDef f = anderes(Art::Textfeld, "", "", "", 1, "Frame6", i - 1);
        f.name = QStringLiteral("txtUVAFeld%1").arg(i);
        f.spalte = QStringLiteral("MandUVAID%1").arg(i);
        f.label = QStringLiteral("UVA Feld%1: ").arg(i);
        f.maxwert = i == 1 ? 12 : 8;
        f.text = QStringLiteral("*");
        t << f;
    }
    t << mit(anderes(Art::Kontrollkaestchen, "chkUVASchuetzen", "", "", 1, "Frame6", 3), [](FeldDef& f) { f.text = "Felder schützen"; });

    // Page 2 "Mand-Stamm 2".
    t << feld("InputFeld1", "MandMiEinktoBlz", "Mieteneingangskonto Bankleitzahl (Vorschlag Einzüge usw):", N, 5, 0, ja, ja, 2, "Frame4", 0)
      << feld("InputFeld2", "MandMiKontoNr", "Mieteneingangskonto Bank-Kontonummer:", T, 15, 0, nein, nein, 2, "Frame4", 1)
      << mit(feld("InputFeld3", "MandMikoBezeich", "Mieteingangskonto- Bezeichnung:", T, 50, 0, nein, nein, 2, "Frame4", 2), zweizeilig)
      << mit(feld("InputFeld4", "MandMikoKurzbez", "Mieteingangskonto- Kurzbezeichnung:", T, 20, 0, nein, nein, 2, "Frame4", 3), zweizeilig)
      << feld("inpMandCreditorID", "MandCreditorID", "Kreditor-Identifikation (z.B. für Einzüge):", T, 35, 0, nein, nein, 2, "Frame4", 4);

    // Page 3 "Mand-Stamm 3".
    t << feld("inpMandBuchjahr", "MandBuchjahr", "Buchungsjahr JJJJ:", N, 4, 0, ja, ja, 3, "", 0)
      << mit(feld("inpMandMonStatusDatum", "MandMonStatusDatum", "Monatsstatus MM.JJJJ:", M, 7, 0, ja, ja, 3, "", 1), aus);

    // Page 4 "Mand-Stamm 4": every control invisible, the fields still bound.
    t << mit(anderes(Art::Liste, "cmbAnwNummer", "", "Anwender-Nr:", 4, "", 0), unsichtbar)
      << versteckt(feld("inpAnwNummer", "MandAnwNummer", "", N, 1, 0, ja, ja, 4, "", 0))
      << mit(feld("inpZahlschKorrPunkte", "MandZahlschKorrPunkte", "Zahlsch.Korr-Punkte:", N, 4, 0, nein, ja, 4, "", 1), unsichtbar)
      << mit(anderes(Art::Liste, "cmbMahnFixText", "", "MahnFixTextAuswahl:", 4, "", 2), unsichtbar)
      << versteckt(feld("inpMahnFixText", "MandMahnfixText", "", N, 10, 0, ja, ja, 4, "", 2))
      << mit(anderes(Art::Liste, "cmbAnzMahnStu", "", "AnzMahnstuAuswahl:", 4, "", 3), unsichtbar)
      << versteckt(feld("inpAnzMahnStu", "MandAnzMahnStu", "", N, 2, 0, ja, ja, 4, "", 3))
      << mit(feld("inpEurKurs", "MandEurKurs", "Eur-Kurs:", N, 7, 4, nein, nein, 4, "", 4), [&](FeldDef& f) { unsichtbar(f); f.text = "0,0000"; })
      << mit(anderes(Art::Liste, "cmbEur2Fach", "", "Eur-2fach-Ausweis:", 4, "", 5), unsichtbar)
      << versteckt(feld("inpEur2Fach", "MandEur2Fach", "", N, 2, 0, nein, nein, 4, "", 5));

    // Page 5 "Anreden": 21 rows, long salutations first in the keyboard order.
    const QStringList anreden = {"keine Anrede", "Sehr geehrter Herr", "Sehr geehrte Frau", "Sehr geehrte Frau und Herr",
                                 "Titl.", "Sehr geehrte Damen und Herren"};
    t << anderes(Art::Beschriftung, "lblAnreden", "", "Anreden:", 5, "", 0)
      << mit(anderes(Art::Beschriftung, "lblLangeAnrede", "", "", 5, "", 0, 0), [](FeldDef& f) { f.text = "lange Anrede"; })
      << mit(anderes(Art::Beschriftung, "lblKurzeAnrede", "", "", 5, "", 0, 1), [](FeldDef& f) { f.text = "kurze Anrede"; });
    for (int i = 0; i <= 20; ++i) {
        FeldDef f = feld("", "", "", T, 35, 0, nein, nein, 5, "", i + 1, 0);
        f.name = QStringLiteral("inpMaAnr(%1)").arg(i);
        f.spalte = QStringLiteral("MandAnr%1").arg(i);
        f.label = QString::number(i);
        f.text = i < anreden.size() ? anreden.at(i) : QString();
        t << f;
    }
    for (int i = 0; i <= 20; ++i) {
        FeldDef f = feld("", "", "", T, 20, 0, nein, nein, 5, "", i + 1, 1);
        f.name = QStringLiteral("inpMaAnrKurz(%1)").arg(i);
        f.spalte = i == 3 || i == 4 ? QStringLiteral("MandAnrkurz%1").arg(i) : QStringLiteral("MandAnrKurz%1").arg(i);
        t << f;
    }

    // Page 6 "KontoZuord": eight account fields, each with the label for the account's name.
    struct Konto { const char* feld; const char* spalte; const char* label; const char* name; const char* rahmen; int zeile; };
    const Konto konten[] = {
        {"inpDebitSammelKoNr", "MandDebitSammelKoNr", "Debitoren-SammelKonto:", "lblDebitSammelKoText", "", 0},
        {"inpKreditSammelKoNr", "MandKreditSammelKoNr", "Kreditoren-Sammelkonto:", "lblKreditSammelKoText", "", 1},
        {"inpMandKonto30", "MandKonto30", "Bankkontonummer:", "lblMandKonto30Text", "Frame5", 0},
        {"inpMandKonto12", "MandKonto12", "Finanzamt-Verrechnung:", "lblMandKonto12Text", "Frame5", 1},
        {"inpMandKonto13", "MandKonto13", "Sozialversicherung:", "lblMandKonto13Text", "Frame5", 2},
        {"inpMandKonto7", "MandKonto7", "Gemeinde:", "lblMandKonto7Text", "Frame5", 3},
        {"inpMandKonto8", "MandKonto8", "Nettolöhne Arbeiter:", "lblMandKonto8Text", "Frame5", 4},
        {"inpMandKonto11", "MandKonto11", "Nettolöhne Angestellte:", "lblMandKonto11Text", "Frame5", 5}};
    for (const Konto& k : konten) {
        FeldDef f = feld(k.feld, k.spalte, k.label, T, 10, 0, ja, ja, 6, k.rahmen, k.zeile);
        f.text = QStringLiteral(" ");
        if (f.name == QLatin1String("inpDebitSammelKoNr")) f.quelle = QStringLiteral("MaData");
        t << f << mit(anderes(Art::Anzeige, k.name, "", "", 6, k.rahmen, k.zeile, 1), [](FeldDef& a) { a.text = "#"; });
    }
    t << mit(anderes(Art::Knopf, "cmdKontenAuswahl", "", "", 6, "", 3), [](FeldDef& f) { f.text = "Konten-Auswahl"; });
    for (FeldDef& f : t)
        if (f.name == QLatin1String("inpMandDvr")) f.quelle = QStringLiteral("MaData");

    // Page 7 "IndexBez": 20 rows numbered from 1, bound from element 0.
    t << anderes(Art::Beschriftung, "lblIndexNummern", "", "Index-Nummern:", 7, "", 0)
      << mit(anderes(Art::Beschriftung, "lblIndexBezeichnungen", "", "", 7, "", 0, 0), [](FeldDef& f) { f.text = "IndexBezeichnungen"; })
      << mit(anderes(Art::Beschriftung, "lblIndexKurzbez", "", "", 7, "", 0, 1), [](FeldDef& f) { f.text = "Kurzbez"; });
    for (int i = 0; i < 20; ++i) {
        FeldDef lang = feld("", "", "", T, 30, 0, nein, nein, 7, "", i + 1, 0);
        lang.name = QStringLiteral("inpIndBezLang(%1)").arg(i);
        lang.spalte = QStringLiteral("MandIndBezLang%1").arg(i + 1);
        lang.label = QString::number(i + 1);
        FeldDef kurz = feld("", "", "", T, 7, 0, nein, nein, 7, "", i + 1, 1);
        kurz.name = QStringLiteral("inpIndBezKurz(%1)").arg(i);
        kurz.spalte = QStringLiteral("MandIndBezKurz%1").arg(i + 1);
        t << lang << kurz;
    }

    // Page 8 "Fremdwährung": not bound to MAData.
    t << anderes(Art::Beschriftung, "lblWaehrungsIndex", "", " Währungs-Index:", 8, "fraWaehrungen", 0, 1)
      << mit(anderes(Art::Beschriftung, "lblWaehrungsBezeichnung", "", "", 8, "fraWaehrungen", 0, 1), [](FeldDef& f) { f.text = "WährungsBezeichnung"; })
      << mit(anderes(Art::Beschriftung, "lblWaehrungKurzbez", "", "", 8, "fraWaehrungen", 0, 2), [](FeldDef& f) { f.text = "Kurzbez"; })
      << mit(anderes(Art::Beschriftung, "lblLaenderKz", "", "", 8, "fraWaehrungen", 0, 3), [](FeldDef& f) { f.text = "LänderKz"; });
    for (int i = 0; i < 20; ++i) {
        FeldDef lang = feld("", "", "", T, 30, 0, nein, nein, 8, "fraWaehrungen", i + 1, 1);
        lang.name = QStringLiteral("inpWährungsBezLang(%1)").arg(i);
        lang.label = QString::number(i + 1);
        FeldDef kurz = feld("", "", "", T, 3, 0, nein, nein, 8, "fraWaehrungen", i + 1, 2);
        kurz.name = QStringLiteral("inpWährungsBezKurz(%1)").arg(i);
        FeldDef land = feld("", "", "", T, 3, -1, nein, nein, 8, "fraWaehrungen", i + 1, 3);
        land.name = QStringLiteral("inpLänderKürzel(%1)").arg(i);
        t << lang << kurz << land;
    }
    t << mit(anderes(Art::Raster, "TDBGridWährung", "", "", 8, "", 0, 1), [](FeldDef& f) { f.text = " WährungsKursÜbersicht"; })
      << feld("inpWährungsDatum", "", "ÄnderDatum", D, 11, 0, ja, ja, 8, "Frame7", 0)
      << mit(anderes(Art::Anzeige, "lblEuro", "", "", 8, "Frame7", 1), [](FeldDef& f) { f.text = "#"; })
      << feld("inpEuroinFremd", "", "", K, 20, 10, nein, ja, 8, "Frame7", 1, 1)
      << mit(anderes(Art::Anzeige, "lblFremd", "", "", 8, "Frame7", 2), [](FeldDef& f) { f.text = "#"; })
      << feld("inpFremdinEuro", "", "", K, 20, 10, nein, ja, 8, "Frame7", 2, 1)
      << anderes(Art::Knopf, "cmdUmrechnen", "", "", 8, "Frame7", 3, 1);
    return t;
}

}  // namespace

const QVector<FeldDef>& feldtabelle() {
    static const QVector<FeldDef> t = bauen();
    return t;
}

const QVector<RahmenDef>& rahmentabelle() {
    static const QVector<RahmenDef> r = {
        {"Frame2", "  Mandanten-Anschrift", 1, "", 0, 0, 4, 1},
        {"fraRechts", "", 1, "", 0, 1, 4, 1, true, true},
        {"Frame3", "Voranmeldung", 1, "", 6, 0, 2, 1},
        {"Frame6", "Online Zugangsdaten", 1, "", 4, 1, 3, 1, false},
        {"Frame4", "", 2, "", 0, 0, 1, 1},
        {"Frame5", QString::fromUtf8("S-Lohn Kontierung nur für Kanzleilohnverrechnung"), 6, "", 2, 0, 1, 2},
        {"fraWaehrungen", "", 8, "", 0, 0, 2, 1},
        {"Frame7", QString::fromUtf8("WährungsKursEingabe"), 8, "", 1, 1, 1, 1},
    };
    return r;
}

const QStringList& seitentitel() {
    static const QStringList t = {"Anschrift", "Mand-Stamm 2", "Mand-Stamm 3", "Mand-Stamm 4",
                                  "Anreden", "KontoZuord", "IndexBez", QString::fromUtf8("Fremdwährung")};
    return t;
}

}  // namespace xov
