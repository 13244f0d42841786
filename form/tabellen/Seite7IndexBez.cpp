// Page 7 "IndexBez": 20 index designations numbered from 1, bound from element 0.

#include "form/Feldtabelle.h"

namespace xov {

SeitenDef seite7IndexBez() {
    SeitenDef s{.nummer = Seitennr::IndexBez, .titel = "IndexBez", .fokus = "inpIndBezLang(0)", .zeilenabstand = 1};
    s.felder = {
        {.name = "lblIndexNummern", .label = "Index-Nummern:", .art = Art::Beschriftung, .zeile = 0},
        {.name = "lblIndexBezeichnungen", .art = Art::Beschriftung, .text = "IndexBezeichnungen", .zeile = 0, .paar = 0},
        {.name = "lblIndexKurzbez", .art = Art::Beschriftung, .text = "Kurzbez", .zeile = 0, .paar = 1},
    };
    for (int i = 0; i < 20; ++i) {
        s.felder << FeldDef{.name = QStringLiteral("inpIndBezLang(%1)").arg(i), .label = QString::number(i + 1),
                            .spalte = QStringLiteral("MandIndBezLang%1").arg(i + 1), .max = 30, .zeile = i + 1, .sperrbar = true}
                 << FeldDef{.name = QStringLiteral("inpIndBezKurz(%1)").arg(i), .spalte = QStringLiteral("MandIndBezKurz%1").arg(i + 1),
                            .max = 7, .zeile = i + 1, .paar = 1, .sperrbar = true};
    }
    return s;
}

}  // namespace xov
