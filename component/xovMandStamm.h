#pragma once
// xovMandStamm: the client master-data dialog of the suite as a component.
//
//   xovMandStamm komponente;
//   komponente.setTabStripNr(0);        // 7 opens the dialog on the currency page
//   QVariantList info(100);             // call information, elements 0 to 99
//   info[0] = mandantenDb; info[1] = gemeinsameDb; info[11] = 2024; ...
//   komponente.Mand_Aufruf(info);       // modal; returns when the user closed the dialog
//
// A failure before the dialog shows (a missing element, an element that cannot be converted)
// ends the call without the dialog. Its number and description stay readable afterwards in
// FehlerNr and FehlerBeschreibung (0 and "" after a call without such a failure). An object
// constructed in C++ also throws it as xov::Fehler; an object created by the factory
// (xov::komponenteErzeugen("xopMandStamm.xovMandStamm")) does not, since its host calls
// through the meta-object, which no exception may cross:
//
//   QMetaObject::invokeMethod(k, "Mand_Aufruf", Q_ARG(QVariantList, info));
//   if (k->property("FehlerNr").toInt() != 0) ... k->property("FehlerBeschreibung") ...
//
// FehlerWerfen switches the throwing on or off for either kind of host.

#include <QObject>
#include <QVariantList>

class xovMandStamm : public QObject {
    Q_OBJECT
    Q_CLASSINFO("TypeLibrary", "xopMandStamm")
    Q_CLASSINFO("HelpString", "XOV MandantenStamm")
    Q_CLASSINFO("ProgId", "xopMandStamm.xovMandStamm")
    Q_CLASSINFO("Interface", "_xovMandStamm")
    Q_CLASSINFO("Members", "Mand_Aufruf,TabStripNr")
    Q_CLASSINFO("DispId Mand_Aufruf", "0x60030000")
    Q_CLASSINFO("DispId TabStripNr", "0x68030001")
    Q_PROPERTY(qint32 TabStripNr READ TabStripNr WRITE setTabStripNr)
    Q_PROPERTY(int FehlerNr READ FehlerNr)
    Q_PROPERTY(QString FehlerBeschreibung READ FehlerBeschreibung)
    Q_PROPERTY(bool FehlerWerfen READ FehlerWerfen WRITE setFehlerWerfen)
public:
    explicit xovMandStamm(QObject* parent = nullptr);
    ~xovMandStamm() override;

    // The host's array is read, never written.
    Q_INVOKABLE void Mand_Aufruf(const QVariantList& Info);
    qint32 TabStripNr() const;
    void setTabStripNr(qint32 wert);

    // The failure of the last call that kept the dialog from opening; 0 and "" when none.
    int FehlerNr() const { return m_fehlerNr; }
    QString FehlerBeschreibung() const { return m_fehlerBeschreibung; }
    bool FehlerWerfen() const { return m_fehlerWerfen; }
    void setFehlerWerfen(bool werfen) { m_fehlerWerfen = werfen; }

private:
    int m_fehlerNr = 0;
    QString m_fehlerBeschreibung;
    bool m_fehlerWerfen = true;
};
