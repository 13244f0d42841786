// The option lists: each shows its items and writes the chosen code into the hidden field
// beside it, which is bound to the column.

#include "form/frmMandStamm.h"

#include <QComboBox>

namespace {
struct ListenDef {
    const char* liste;
    const char* feld;
    QStringList eintraege;
};

const QVector<ListenDef>& listen() {
    static const QVector<ListenDef> l = {
        {"cmbAnwNummer", "inpAnwNummer", {"keine ESG-Nr", "ESG-Nr ausweisen"}},
        {"cmbVoranmPeriode", "inpVoranmPeriode",
         {"keine Definition", "monatlich", QString::fromUtf8("vierteljährlich"), QString::fromUtf8("jährlich")}},
        {"cmbMahnFixText", "inpMahnFixText", {"Fixtext 1 (alt)", "Fixtext 2 (neu)"}},
        {"cmbAnzMahnStu", "inpAnzMahnStu", {"Mahn bis Mahnst. 3", "Mahn bis Mahnst. 2"}},
        {"cmbEur2Fach", "inpEur2Fach", {"kein Eur 2fach-Ausw", "Eur 2fach-Ausweis aktiv"}},
    };
    return l;
}
}  // namespace

void frmMandStamm::ListenFuellen() {
    // Each item carries its code as item data, equal to its position.
    for (const ListenDef& d : listen()) {
        QComboBox* l = liste(QString::fromLatin1(d.liste));
        l->clear();
        for (int i = 0; i < d.eintraege.size(); ++i) l->addItem(d.eintraege.at(i), i);
    }
}
