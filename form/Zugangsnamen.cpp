#include "form/Zugangsnamen.h"
#include "form/Feldtabelle.h"

#include <QWidget>

namespace xov {
namespace {

struct Listenspalte {
    const char* feld;    // the control array's name before the index
    const char* liste;   // what one row is
    const char* spalte;  // what the column holds
    int erste;           // the number the page shows for index 0
};

// The page shows the number of each row beside it (salutations from 0, the others from 1).
const Listenspalte listenspalten[] = {
    {"inpMaAnr", "Anrede", "lange Anrede", 0},
    {"inpMaAnrKurz", "Anrede", "kurze Anrede", 0},
    {"inpIndBezLang", "Index", "Bezeichnung", 1},
    {"inpIndBezKurz", "Index", "Kurzbezeichnung", 1},
    {"inpWährungsBezLang", "Währung", "Bezeichnung", 1},
    {"inpWährungsBezKurz", "Währung", "Kurzbezeichnung", 1},
    {"inpLänderKürzel", "Währung", "Länderkennzeichen", 1},
};

}  // namespace

void zugangsnamenSetzen(const SeitenDef& seite, const std::function<QWidget*(const QString&)>& steuerelement) {
    for (const FeldDef& f : seite.felder) {
        QWidget* w = steuerelement(f.name);
        if (!w) continue;
        if (f.art == Art::Raster) {
            w->setAccessibleName(f.text.trimmed());
            continue;
        }
        const int klammer = f.name.indexOf(QLatin1Char('('));
        if (klammer < 0) continue;
        const QString feld = f.name.left(klammer);
        const int index = f.name.mid(klammer + 1).chopped(1).toInt();
        for (const Listenspalte& l : listenspalten)
            if (feld == QString::fromUtf8(l.feld))
                w->setAccessibleName(QStringLiteral("%1 %2, %3").arg(QString::fromUtf8(l.liste)).arg(index + l.erste).arg(QString::fromUtf8(l.spalte)));
    }
}

}  // namespace xov
