#include "form/DbListe.h"
#include "platform/Datenquelle.h"
#include "platform/Fehler.h"
#include "platform/Variant.h"

using namespace xov;

DbListe::DbListe(QWidget* parent) : QComboBox(parent) {
    connect(this, &QComboBox::activated, this, [this](int i) {
        if (itemData(i) != m_wert) m_geaendert = true;
        m_wert = itemData(i);
    });
}

void DbListe::zeilenLaden(Datenquelle* quelle, const QString& anzeige, const QString& gebunden) {
    clear();
    const Recordset* rs = quelle->Recordset();
    const int a = rs->spalteVon(anzeige), g = rs->spalteVon(gebunden);
    if (a < 0) fehlerWerfen(FehlerNr::SpalteFehlt, anzeige);
    if (g < 0) fehlerWerfen(FehlerNr::SpalteFehlt, gebunden);
    for (int z = 0; z < rs->RecordCount(); ++z)
        addItem(rs->data(rs->index(z, a), Qt::EditRole).toString(), rs->data(rs->index(z, g), Qt::EditRole));
    auswaehlen();
}

void DbListe::wertAnzeigen(const QVariant& wert) {
    m_wert = istNull(wert) ? QVariant() : wert;
    m_geaendert = false;
    auswaehlen();
}

void DbListe::auswaehlen() {
    int treffer = -1;
    for (int i = 0; m_wert.isValid() && i < count(); ++i)
        if (itemData(i).toLongLong() == m_wert.toLongLong()) treffer = i;
    setCurrentIndex(treffer);
}
