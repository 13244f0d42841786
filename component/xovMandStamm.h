#pragma once
// xovMandStamm: the client master-data dialog of the suite as a component.
//
//   xovMandStamm komponente;
//   komponente.setTabStripNr(0);        // 7 opens the dialog on the currency page
//   QVariantList info(100);             // call information, elements 0 to 99
//   info[0] = mandantenDb; info[1] = gemeinsameDb; info[11] = 2024; ...
//   komponente.Mand_Aufruf(info);       // modal; returns when the user closed the dialog
//
// A failure before the dialog shows reaches the host as xov::Fehler (number and description).

#include <QObject>
#include <QVariantList>

class xovMandStamm : public QObject {
    Q_OBJECT
    Q_PROPERTY(qint32 TabStripNr READ TabStripNr WRITE setTabStripNr)
public:
    explicit xovMandStamm(QObject* parent = nullptr);
    ~xovMandStamm() override;

    void Mand_Aufruf(QVariantList& Info);
    qint32 TabStripNr() const;
    void setTabStripNr(qint32 wert);
};
