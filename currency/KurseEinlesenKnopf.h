#pragma once
// "Kurse einlesen…" beside "Neuer Kurs": reads a rate file of the central bank into the
// currencies of the page through a file dialog, with the database tool's options (from, to,
// replace existing days) in a small dialog, and shows what it added, replaced, kept and skipped.

class frmMandStamm;
class Waehrungsseite;

namespace xov {
// Creates the button in the strip below the pages, hidden; the page units show it with the
// currency page, except in restricted mode.
void kurseEinlesenKnopf(frmMandStamm& dialog, Waehrungsseite& seite);
}
