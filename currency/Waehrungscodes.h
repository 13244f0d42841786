#pragma once
// The code fields of the currency page know the ISO 4217 codes: a row whose code ICU does not
// know gets a hint beside it (a hint, never a block), and an empty name field gets the German
// name of a known code when the code is left. The fields take what the user types as before;
// a completion list ("USD – US-Dollar", xov::isoWaehrungen) is not attached to them, since its
// popup would take Tab, Enter and Escape from the field and the dialog.

class QWidget;

namespace xov {
void waehrungscodesVerbinden(QWidget* seite);
}
