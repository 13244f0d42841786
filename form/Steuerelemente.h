#pragma once
// Building one control of a page's table.

#include "form/Feldtabelle.h"

class QWidget;

namespace xov {

// The control `f` describes, below `eltern`. A control shown inside a frame of its own (the
// rate grid with its caption) gives that frame in `platz`; the layout holds it instead.
QWidget* steuerelementBauen(const FeldDef& f, QWidget* eltern, QWidget*& platz);

}  // namespace xov
