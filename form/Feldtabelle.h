#pragma once
// The one declarative table of the dialog's controls. Each row gives a control's name, its
// column, the label beside it, its input settings, its design text, and its place: page,
// frame, row and column pair (label in grid column 2*paar, control in 2*paar+1). The order of
// the rows of a page is its design keyboard order. Building, binding, limits and tab order
// all come from here.

#include <QString>
#include <QVector>

namespace xov {

enum class Art {
    Eingabe,      // InputFeld
    Textfeld,     // plain text box (QLineEdit)
    Liste,        // drop-down list of codes (QComboBox)
    DbListe,      // data-bound list of tax offices (QComboBox)
    Anzeige,      // label that shows a column or a run-time text (QLabel)
    Beschriftung, // fixed text, e.g. a column head (QLabel)
    Kontrollkaestchen,
    Knopf,
    Raster,       // the rate grid (QTableView)
};

struct FeldDef {
    QString name;
    QString spalte;          // bound column of MAData; empty: not bound
    QString label;           // text of the label beside the control; empty: none
    Art art = Art::Eingabe;
    int feldtype = 20;       // 20 text, 15 month, 10 date, 0 numeric
    double maxwert = 0;
    int anzdezimalen = 0;    // -1: not set (amount, shown with two decimals)
    bool keinminus = false;
    bool keintausendpkt = false;
    QString text;            // design text
    int seite = 1;           // 1 to 8; 0: the strip below the pages
    QString rahmen;          // frame that holds it; empty: the page itself
    int zeile = 0;
    int paar = 0;
    int spannweite = 1;      // column pairs the control spans
    int zeilen = 1;          // lines of text an input field shows; more than one wraps
    bool sichtbar = true;
    bool aktiv = true;
    QString quelle = QStringLiteral("MAData");  // data source as the binding names it
};

struct RahmenDef {
    QString name;
    QString titel;
    int seite;
    QString eltern;          // enclosing frame; empty: the page
    int zeile, paar, zeilen, paare;
    bool sichtbar = true;
    bool rahmenlos = false;  // only groups its controls, draws nothing
};

const QVector<FeldDef>& feldtabelle();
const QVector<RahmenDef>& rahmentabelle();
// Captions of the tab pages, page 1 to 8.
const QStringList& seitentitel();

}  // namespace xov
