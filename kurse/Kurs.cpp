#include "kurse/Kurs.h"

#include "platform/Datenbank.h"
#include "platform/Fehler.h"
#include "platform/Variant.h"

#include <charconv>
#include <cmath>

namespace xov {

KursAmTag kursZumDatum(Verbindung& v, const QString& code, const QDate& datum, int hoechstalterTage) {
    const QString gesucht = code.trimmed().toUpper();
    if (!datum.isValid()) fehlerWerfen(FehlerNr::KeinAktuellerDatensatz, QStringLiteral("Ungültiges Datum für den Kurs von %1.").arg(gesucht));
    // AenderDatum is stored as ISO text, so text order is date order.
    const auto erg = v.abfragen(QStringLiteral("SELECT Waehrungscode, AenderDatum, EuroinFremd, FremdinEuro FROM AllgWaehrung "
                                               "WHERE upper(Waehrungscode) = ? AND AenderDatum <= ? "
                                               "ORDER BY AenderDatum DESC LIMIT 1"),
                                {gesucht, datum.toString(Qt::ISODate)});
    if (erg.zeilen.isEmpty())
        throw Fehler(FehlerNr::KeinAktuellerDatensatz,
                     QStringLiteral("Für die Währung %1 gibt es keinen Kurs am oder vor dem %2.").arg(gesucht, datumAlsText(datum)));
    const auto& z = erg.zeilen.first();
    KursAmTag k;
    k.code = z.at(0).toString();
    k.datum = z.at(1).typeId() == QMetaType::QDate ? z.at(1).toDate() : QDate::fromString(z.at(1).toString(), Qt::ISODate);
    if (istNull(z.at(2)) || istNull(z.at(3)) || !k.datum.isValid())
        throw Fehler(FehlerNr::KeinAktuellerDatensatz,
                     QStringLiteral("Der Kurs der Währung %1 vom %2 ist unvollständig; zum %3 gibt es keinen verwendbaren Kurs.")
                         .arg(gesucht, k.datum.isValid() ? datumAlsText(k.datum) : z.at(1).toString(), datumAlsText(datum)));
    k.euroinFremd = z.at(2).toDouble();
    k.fremdinEuro = z.at(3).toDouble();
    k.alterTage = static_cast<int>(k.datum.daysTo(datum));
    k.veraltet = k.alterTage > hoechstalterTage;
    return k;
}

KursAmTag kursZumDatum(const QString& gemeinsameDb, const QString& code, const QDate& datum, int hoechstalterTage) {
    auto v = verbindungOeffnen(gemeinsameDb, DbPasswort);
    return kursZumDatum(*v, code, datum, hoechstalterTage);
}

double kehrwert(double x, int stellen) {
    // Fifteen significant digits first: 1 / 6.4 is 0.15625 and a half, not the binary neighbour
    // just below or above it. The default rounding mode then takes halves to the even digit.
    char text[32];
    const double faktor = std::pow(10.0, stellen);
    const double roh = 1.0 / x * faktor;
    const auto ende = std::to_chars(text, text + sizeof text, roh, std::chars_format::general, 15).ptr;
    double skaliert = roh;
    std::from_chars(text, ende, skaliert);
    return std::nearbyint(skaliert) / faktor;
}

}  // namespace xov
