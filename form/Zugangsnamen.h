#pragma once
// Names for screen readers where a control's own label does not say enough: the rows of the
// pages' lists (salutations, index designations, currencies) are named by their list, number and
// column ("Währung 3, Kurzbezeichnung"), the rate grid by its caption. A control with a label
// beside it is named by that label already (the label is its buddy).

#include <QString>
#include <functional>

class QWidget;

namespace xov {
struct SeitenDef;
void zugangsnamenSetzen(const SeitenDef& seite, const std::function<QWidget*(const QString&)>& steuerelement);
}
