#pragma once
// The data-bound list of tax offices: shows FaName, stores FaNummer, and keeps the bound value
// also while its rows are not loaded yet.

#include <QComboBox>
#include <QVariant>

namespace xov {
class Datenquelle;
}

class DbListe : public QComboBox {
public:
    explicit DbListe(QWidget* parent = nullptr);
    void zeilenLaden(xov::Datenquelle* quelle, const QString& anzeige, const QString& gebunden);
    void wertAnzeigen(const QVariant& wert);
    QVariant wert() const { return m_wert; }
    bool geaendert() const { return m_geaendert; }  // the user chose another office

private:
    void auswaehlen();
    QVariant m_wert;
    bool m_geaendert = false;
};
