#pragma once
// The texts and small helpers that the currency page's two parts share: the messages exactly as
// the page shows them, a field's complete number, and a flag set for the life of a scope.

#include "currency/Waehrungsentscheidung.h"
#include "form/InputFeld.h"

#include <QChar>
#include <QString>
#include <optional>

namespace xov::waehrung {

inline const QChar Anf(34);

inline QString keineZahlIn(const QString& feld) {
    return QStringLiteral("In dem Feld ") + Anf + QLatin1Char(' ') + feld + QLatin1Char(' ') + Anf +
           QStringLiteral(" ist nur die Eingabe von Zahlen erlaubt!");
}
inline const QString DatumKeinDatum = QStringLiteral("Im Feld ") + Anf + QStringLiteral("Datum") + Anf + QStringLiteral(" sind nur Datumsangaben erlaubt!");
inline const QString KeinCode = QStringLiteral("Bitte Währungscode angeben!");
inline const QString CodeLaenge = QStringLiteral("Währungscode muss 3stellig sein. Bitte abändern!");
inline const QString LandLaenge = QStringLiteral("Länderkennzeichen darf maximal 3 Zeichen lang sein!");
inline const QString NurDatum = QStringLiteral("Nur Datumseingaben erlaubt!");

// A field's number when it holds a complete one.
inline std::optional<double> zahlIn(const InputFeld* f) {
    if (f->text().trimmed().isEmpty() || !f->zahlVollstaendig()) return std::nullopt;
    return f->zahl();
}

// Sets a flag for the life of a scope, also when it is left by a failure.
struct Schalter {
    bool& wert;
    explicit Schalter(bool& w) : wert(w) { wert = true; }
    ~Schalter() { wert = false; }
};

}  // namespace xov::waehrung
