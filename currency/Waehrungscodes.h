#pragma once
// The code fields of the currency page know the ISO 4217 codes: they offer "USD – US-Dollar"
// while the user types, show a hint beside a row whose code ICU does not know (a hint, never a
// block), and give an empty name field the German name of a known code.

class QWidget;

namespace xov {
void waehrungscodesVerbinden(QWidget* seite);
}
