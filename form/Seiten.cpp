// Preparing the tab pages when they are shown.

#include "form/frmMandStamm.h"

void frmMandStamm::Seite1Vorbereiten() {}
