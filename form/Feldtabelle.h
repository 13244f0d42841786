#pragma once
// The dialog's controls as declarations: one table per tab page (form/tabellen/), each row a
// control with its name, label, bound column, kind, limit, design text, check, restricted-mode
// lock and place on the page. The order of a page's rows is its keyboard order. Building,
// binding, limits, keyboard order, restricted locks, the checks of a page, the account fields
// and the columns the database tool creates all come from these tables.

#include <QString>
#include <QStringList>
#include <QVector>

namespace xov {

enum class Art {
    Text,         // input field for text
    Ganzzahl,     // input field for a whole number
    Betrag,       // input field for an amount, two decimals
    Kurs,         // input field for a decimal number with `dezimalen` places, padded with zeros
    Wechselkurs,  // input field for an exchange rate: up to `dezimalen` places, no padding zeros
    Datum,        // input field for a date TT.MM.JJJJ
    Monat,        // input field for a month MM.JJJJ
    Code,         // hidden input field for the code a list writes
    Textfeld,     // plain text box
    Liste,        // drop-down list of codes, writes into its `codeFeld`
    DbListe,      // the data-bound list of tax offices
    Anzeige,      // label that shows a column or a run-time text
    Beschriftung, // fixed text, e.g. a column head
    Kaestchen,    // check box
    Knopf,        // button
    Raster,       // the rate grid
};

// The check that runs for a field when it is left and with its page.
enum class Pruefung { Keine, Plz, Ort, Anschrift, Name, Buchjahr, MonStatusDatum, KorrPunkte, Konto };

struct FeldDef {
    QString name;
    QString label;            // text of the label beside the control; empty: none
    QString spalte;           // column of AllgMandDaten the control is bound to (through MAData); empty: none
    Art art = Art::Text;
    int max = 0;              // most characters the field takes
    int dezimalen = 0;        // decimal places of Kurs
    bool keinMinus = false;
    bool keinTausender = false;
    QString text;             // design text
    QString rahmen;           // frame that holds it; empty: the page itself
    int zeile = 0;
    int paar = 0;             // column pair: label in grid column 2*paar, control in 2*paar+1
    int spannweite = 1;       // column pairs the control spans
    int zeilen = 1;           // lines of text an input field shows; more than one wraps
    bool sichtbar = true;
    bool aktiv = true;
    bool sperrbar = false;    // locked while the dialog runs in restricted mode
    Pruefung pruefung = Pruefung::Keine;
    int pruefRang = 0;        // place in the page's check order (1 first)
    QString codeFeld;         // Liste: the hidden field its choice is written into
    QStringList eintraege;    // Liste: items, each item's code is its position
    QString nameLabel;        // account field: the label that shows the account's name
    int seite = 0;            // filled from the page's table
};

struct RahmenDef {
    QString name;
    QString titel;
    QString eltern;           // enclosing frame; empty: the page
    int zeile = 0, paar = 0, zeilen = 1, paare = 1;
    bool sichtbar = true;
    bool rahmenlos = false;   // only groups its controls, draws nothing
    int zeilenabstand = 4;    // vertical spacing of its rows
};

// The pages by number, as their tables and the tabs carry them.
namespace Seitennr {
constexpr int Anschrift = 1, MandStamm2 = 2, MandStamm3 = 3, MandStamm4 = 4, Anreden = 5, KontoZuord = 6, IndexBez = 7,
              Fremdwaehrung = 8;
constexpr int Anzahl = 8;
constexpr bool gueltig(int nummer) { return nummer >= 1 && nummer <= Anzahl; }
}  // namespace Seitennr

struct SeitenDef {
    int nummer = 0;           // Seitennr
    QString titel;            // tab caption
    QVector<RahmenDef> rahmen;
    QVector<FeldDef> felder;  // in keyboard order
    QString fokus;            // field that takes the focus when the page is shown; empty: unchanged
    int zeilenabstand = 6;    // vertical spacing of the page's rows (list pages are dense)
};

// The eight pages, page 1 first.
const QVector<SeitenDef>& seitentabellen();
const SeitenDef& seitentabelle(int nummer);
// Every control of every page, in page and keyboard order.
const QVector<FeldDef>& feldtabelle();
// The definition of a control by name; null (with a soft assertion) when there is none.
const FeldDef* felddef(const QString& name);
// The control bound to the column (names without regard to case); null when none is.
const FeldDef* felddefZurSpalte(const QString& spalte);
// The list that writes its code into the hidden field; null when none does.
const FeldDef* listeZumCodefeld(const QString& codeFeld);
// The control's label as the user reads it, without its colon; "" where it has none or only the
// number of a line in a numbered list.
QString beschriftung(const FeldDef& f);

bool istEingabe(Art art);     // an InputFeld of any kind
bool istZahl(Art art);        // an InputFeld that holds a number

// The tables of the pages, one file each in form/tabellen/.
SeitenDef seite1Anschrift();
SeitenDef seite2MandStamm2();
SeitenDef seite3MandStamm3();
SeitenDef seite4MandStamm4();
SeitenDef seite5Anreden();
SeitenDef seite6KontoZuord();
SeitenDef seite7IndexBez();
SeitenDef seite8Fremdwaehrung();

}  // namespace xov
