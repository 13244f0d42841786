#pragma once
// Comparing the client row as this dialog read it, as another workstation has stored it since,
// and as the user changed it: which columns only the other changed, and which both changed to
// different values (the user decides those). Pure decisions; the dialog asks and writes.

#include "platform/Datenbank.h"

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

namespace xov::abgleich {

// Equal as the user sees it: numbers by value (12 and 12.0, a text that reads as the number),
// dates by day, an empty text as no value.
bool gleicherWert(const QVariant& a, const QVariant& b);

struct Spalte {
    QString name;
    QVariant anderer;  // as the other workstation stored it
    QVariant eigener;  // as the user typed it (only for columns both changed)
};

struct Ergebnis {
    QVector<Spalte> beide;    // changed by both, to different values
    QVector<Spalte> fremde;   // changed only by the other workstation
    QStringList eigene;       // changed only by the user
    bool leer() const { return beide.isEmpty() && fremde.isEmpty(); }
};

// `spalten` names the columns of `geladen` and `gespeichert`; `eigene` holds the user's changed
// columns with their values. A column the user set to the value it had counts as unchanged.
Ergebnis vergleichen(const QStringList& spalten, const QVector<QVariant>& geladen, const QVector<QVariant>& gespeichert,
                     const Spaltenwerte& eigene);

}  // namespace xov::abgleich
