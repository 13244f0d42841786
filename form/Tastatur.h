#pragma once
// The dialog's keyboard beyond the fields: shortcuts for the buttons and the pages, Enter on a
// focused button, no typing with Alt into a list or text box, the button strip visited in the
// order it is shown, and the first focus in the start page's field.

class frmMandStamm;

namespace xov {

// Once, after the dialog and its pages are built.
void tastaturEinrichten(frmMandStamm& dialog);

}  // namespace xov
