#pragma once
// "Kursgrafik…" beside "Kurse einlesen…": a window with the rates of the page's current currency
// over time (EuroinFremd and FremdinEuro, each on an axis of its own), for a year, five years or
// the whole history, the point under the mouse named with its date and both rates. It follows
// the current currency row of the page while it is open.

class frmMandStamm;

namespace xov {
// Creates the button in the strip below the pages; it is shown and hidden with "Neuer Kurs".
void kursgrafikKnopf(frmMandStamm& dialog);
}
