#pragma once
// The change-log entries of a rate import: one per replaced rate, and one for the import itself
// naming the file, its SHA-256 and what each currency gained, kept and had replaced.

#include "kurse/Kurseinlesen.h"
#include "platform/Aenderungsprotokoll.h"

namespace xov {

void ersetztProtokollieren(Aenderungsprotokoll& p, int wid, const QDate& datum, const QPair<QVariant, QVariant>& alt,
                           double euroinFremd, double fremdinEuro);
void einlesenProtokollieren(Aenderungsprotokoll& p, const Einleseoptionen& optionen, const QVector<Einlesebilanz>& bilanz);
// "SHA-256 1f0c…" of the file's bytes; empty when it cannot be read.
QString dateiPruefsumme(const QString& datei);

}  // namespace xov
