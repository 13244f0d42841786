#pragma once
// The rate valid at a date on an open connection (component/xovKurs.h for hosts).

#include "component/xovKurs.h"

namespace xov {
class Verbindung;

KursAmTag kursZumDatum(Verbindung& v, const QString& code, const QDate& datum,
                       int hoechstalterTage = KursHoechstalterTage);

// 1 / x to 10 decimal places, halves to even: the reciprocal the rate field computes when it is
// left, kept to ten places so that a rate like 16.000 IDR for one euro keeps its digits.
double kehrwert10(double x);

}  // namespace xov
