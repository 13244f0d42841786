#pragma once
// The field checks as pure decisions: each takes the field's text and gives the message to show
// when the entry is refused, or nothing when it passes. The dialog shows the message.

#include "form/Feldtabelle.h"

#include <QString>
#include <optional>

namespace xov::pruefung {

struct Befund {
    QString text;
    QString titel;  // empty: the default title
};

std::optional<Befund> plz(const QString& text);             // 0 is no postcode
std::optional<Befund> ort(const QString& text);             // empty or blanks only
std::optional<Befund> anschrift(const QString& text);
std::optional<Befund> buchjahr(const QString& text);        // from 1998 on
std::optional<Befund> monStatusDatum(const QString& text);  // MM.JJ, MM.JJJJ or TT.MM.JJJJ of a real month
std::optional<Befund> korrPunkte(const QString& text);      // -400 to 400

// A numeric field left with a text that is no complete German number ("-", "1.2", ",5");
// `beispiel` shows a number in the field's format.
Befund unvollstaendigeZahl(const QString& text, const QString& beispiel);

// The field check of the kind given, on the field's text; Name and Konto always pass here (the
// account check needs the chart of accounts and lives with its page).
std::optional<Befund> pruefen(Pruefung art, const QString& text);
// Whether leaving the field runs its check (the month-status date is checked with its page only).
bool beimVerlassen(Pruefung art);

// The value of a numeric field's text; a text that is no number counts as 0.
double wert(const QString& text);

}  // namespace xov::pruefung
