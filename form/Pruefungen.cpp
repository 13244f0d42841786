#include "form/Pruefungen.h"
#include "platform/Variant.h"

#include <QRegularExpression>

namespace xov::pruefung {
namespace {
const QString CrLf = QStringLiteral("\r\n");
}  // namespace

double wert(const QString& text) { return zahlAusText(text).value_or(0.0); }

Befund unvollstaendigeZahl(const QString& text, const QString& beispiel) {
    return Befund{QStringLiteral("Die Eingabe \u201E%1\u201C ist keine vollständige Zahl.").arg(text) + CrLf +
                      QStringLiteral("Bitte eine Zahl wie %1 eingeben oder das Feld leeren.").arg(beispiel),
                  {}};
}

std::optional<Befund> plz(const QString& text) {
    if (wert(text) == 0) return Befund{QStringLiteral("Postleitzahl Null ist ungültig"), {}};
    return std::nullopt;
}

std::optional<Befund> ort(const QString& text) {
    if (ohneBlanksRechts(text).isEmpty()) return Befund{QStringLiteral("Ort leer ist ungültig"), {}};
    return std::nullopt;
}

std::optional<Befund> anschrift(const QString& text) {
    if (ohneBlanksRechts(text).isEmpty()) return Befund{QStringLiteral("Anschrift leer ist ungültig"), {}};
    return std::nullopt;
}

std::optional<Befund> buchjahr(const QString& text) {
    const double j = wert(text);
    if (j == 0 || j < 1998) return Befund{QStringLiteral("Jahreseingabe für Buchungsjahr muss grösser 1997 sein."), {}};
    return std::nullopt;
}

std::optional<Befund> monStatusDatum(const QString& text) {
    static const QRegularExpression monat(QStringLiteral(R"(^\s*(\d{1,2})\.(\d{2}|\d{4})\s*$)"));
    bool gueltig = datumAusText(text).has_value();
    if (const auto m = monat.match(text); m.hasMatch()) {
        const int mm = m.captured(1).toInt();
        gueltig = mm >= 1 && mm <= 12;
    }
    if (gueltig) return std::nullopt;
    return Befund{QStringLiteral("Ungültiges MonatsStatusDatum.") + CrLf +
                      QStringLiteral("Bitte ein gültiges Datum im Format MM.JJ oder MM.JJJJ eingeben.") + CrLf + CrLf +
                      QStringLiteral("Anmerkung: bei Neueröffnung von Objekten wird dieses Datum als Beginndatum eingesetzt."),
                  {}};
}

std::optional<Befund> korrPunkte(const QString& text) {
    const double p = wert(text);
    if (p <= 400 && p >= -400) return std::nullopt;
    return Befund{QStringLiteral("Korrekturpunkte-Anzahl für vertikale Zeilenkorrektur beim Zahlscheindruck "
                                 "ist ausserhalb des gültigen Bereiches.") + CrLf +
                      QStringLiteral("Gültig ist -400 bis + 400.") + CrLf + CrLf +
                      QStringLiteral("Information: ca 30 Punkte entsprechen einer Zeilenkorrektur nach oben/unten von 1 mm"),
                  QStringLiteral("Fehler in ZahlschkorrPunkten")};
}

std::optional<Befund> pruefen(Pruefung art, const QString& text) {
    switch (art) {
    case Pruefung::Plz: return plz(text);
    case Pruefung::Ort: return ort(text);
    case Pruefung::Anschrift: return anschrift(text);
    case Pruefung::Buchjahr: return buchjahr(text);
    case Pruefung::MonStatusDatum: return monStatusDatum(text);
    case Pruefung::KorrPunkte: return korrPunkte(text);
    default: return std::nullopt;
    }
}

bool beimVerlassen(Pruefung art) { return art != Pruefung::MonStatusDatum && art != Pruefung::Keine; }

}  // namespace xov::pruefung
