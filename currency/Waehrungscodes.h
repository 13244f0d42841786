#pragma once
// The code fields of the currency page know the ISO 4217 codes: while the user types the first
// letters of a code, a list offers the codes in use as "USD – US-Dollar" (the field receives
// "USD"); a row whose code ICU does not know gets a hint beside it (a hint, never a block); and
// an empty name field gets the German name of a known code when the code is left. The list is
// closed once three letters are typed, so Tab, Shift+Tab, Enter and Escape after a code do what
// they do in every other field.

class QWidget;

namespace xov {
void waehrungscodesVerbinden(QWidget* seite);
}
