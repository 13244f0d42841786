#pragma once
// Module-level state of the component: one copy per process, filled by Mand_Aufruf and read by
// the dialog and the services. Single-threaded; overlapping calls are not supported.

#include "platform/Verbindungsangabe.h"  // DbPasswort

#include <QDate>
#include <QString>
#include <QVariantList>
#include <QVector>

namespace xov {

struct Modulzustand {
    QVariantList AufrufInfo;         // 101 elements, 0 to 100; element 100 stays empty
    QString MandDbPfad;
    QString FaDbPfad;
    qint16 OhneIndexBez = 0;
    QDate AuswahlMonStatus;
    bool Eingeschraenkt = false;
    qint16 KontoJahr = 0;
    qint32 TabStripNr = 0;
    bool FormBereit = false;
    QVector<qint16> HilfeIds;
    QString KomponentenName = QStringLiteral("xovMandStamm");
    QString AufrufProgramm;
    // Outcome of the field checks, shared by the checks and the account check.
    bool FehlerFlag = false;
    QString FehlerFeld;
};

Modulzustand& modul();

// Steps 1 to 12 of Mand_Aufruf: the call information into the module state. Raises 9, 13, 6
// or 94 when an element is missing or cannot be converted.
void aufrufUebernehmen(const QVariantList& Info);

}  // namespace xov
