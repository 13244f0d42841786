#pragma once
// The state of one call of Mand_Aufruf: the host's call information and what is derived from
// it. The component creates it from the call information and hands it to the dialog and the
// services; it is gone when the call returns. Nothing of a call survives in the process.

#include <QDate>
#include <QString>
#include <QVariantList>
#include <QVector>

namespace xov {

struct Aufruf {
    QVariantList AufrufInfo = QVariantList(101);  // 0 to 100; element 100 stays empty
    QString MandDbPfad;
    QString FaDbPfad;
    qint16 OhneIndexBez = 0;
    QDate AuswahlMonStatus;
    bool Eingeschraenkt = false;   // restricted mode; also set when the database lacks a column
    qint16 KontoJahr = 0;
    qint32 TabStripNr = 0;         // the start mode asked for; the dialog sets it to 0 once honoured
    bool FormBereit = false;
    QVector<qint16> HilfeIds;
    QString KomponentenName = QStringLiteral("xovMandStamm");  // where a reported failure happened
    QString AufrufProgramm;        // the separate component in use
    bool HilfeOk = false;          // outcome of the last help check
    QString Hilfedatei;

    // The host asked for restricted mode (element 9 equal to 20).
    bool eingeschraenktAufgerufen() const;
};

}  // namespace xov
