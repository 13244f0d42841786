#pragma once
// "Änderungsverlauf…" in the context menu of the dialog's fields (right click, the menu key or
// Shift+F10): a small read-only window with the changes the change log holds for the field,
// newest first. A field of the client row shows its column; a field of the currency page shows
// the name, code, country code or rates of its currency (the rate fields: the current row's).

class frmMandStamm;
class QWidget;

// For the fields of one page, when the page is built.
void aenderungsverlaufAnbieten(frmMandStamm& d, QWidget* seite);
