#pragma once
// The rate valid at a date on an open connection (component/xovKurs.h for hosts).

#include "component/xovKurs.h"

namespace xov {
class Verbindung;

KursAmTag kursZumDatum(Verbindung& v, const QString& code, const QDate& datum,
                       int hoechstalterTage = KursHoechstalterTage);

// 1 / x to `stellen` decimal places, halves to even: the one reciprocal of every rate. Ten places
// when a rate is left or read in, so that a rate like 16.000 IDR for one euro keeps its digits;
// four for the conversion button.
double kehrwert(double x, int stellen = 10);

}  // namespace xov
