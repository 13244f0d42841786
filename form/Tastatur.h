#pragma once
// The dialog's keyboard beyond the fields: shortcuts for the buttons and the pages, Enter on a
// focused button, no typing with Alt into a list or text box, the button strip visited in the
// order it is shown, and the first focus in the start page's field.

class frmMandStamm;
class QWidget;

namespace xov {

// Once, after the dialog is built.
void tastaturEinrichten(frmMandStamm& dialog);
// The shortcuts of a page's buttons and the strip after the page's last control, when the page
// is built.
void seitentastenEinrichten(frmMandStamm& dialog, int nummer, QWidget* letztes);

}  // namespace xov
