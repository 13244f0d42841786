// Rates a bookkeeper can trust: the rate valid at a date, the central bank's files read into the
// currencies of the currency page in one transaction, and the check-digit hints.

#include "Hilfen.h"
#include "form/Pruefziffern.h"
#include "kurse/IsoWaehrungen.h"
#include "kurse/Kurs.h"
#include "kurse/Kursdatei.h"
#include "kurse/Kursdateien.h"
#include "kurse/Kurseinlesen.h"
#include "platform/Datenbank.h"
#include "platform/Fehlerhilfe.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <gtest/gtest.h>

using test::csv2024;
using test::fehlerVon;
using test::inhaltVon;
using test::Lauf;
using test::xml90;
using test::xmlTag;
using test::xovDb;
using test::zipSchreiben;

namespace {

// The demo databases with the currency page holding USD, IDR, HRK (not quoted in 2024) and SEK,
// each with one typed rate of 1 December 2023.
struct Kursdatenbank : test::Datenbanken {
    Kursdatenbank() {
        faSql("DELETE FROM AllgWaehrung");
        const char* codes[] = {"USD", "IDR", "HRK", "SEK"};
        for (int i = 0; i < 4; ++i)
            faSql("INSERT INTO AllgWaehrung (WID, Waehrungscode, WaehrungscodeBezeichnung, Laenderkennzeichen, AenderDatum, "
                  "EuroinFremd, FremdinEuro) VALUES (?, ?, 'Name', 'XX', '2023-12-01', 2, 0.5)",
                  {i + 1, QString::fromLatin1(codes[i])});
    }
    int anzahl() const { return faWert("SELECT count(*) FROM AllgWaehrung").toInt(); }
    QVector<xov::Einlesebilanz> einlesen(const QString& datei, xov::Einleseoptionen o = {}) const {
        auto v = xov::verbindungOeffnen(fa, xov::DbPasswort);
        return xov::kurseEinlesen(*v, xov::kursdateiLesen(datei), xov::gespeicherteWaehrungen(*v), o);
    }
};

}  // namespace

// Files cut off halfway, read by the tool, add nothing and name the place; a failure while
// writing takes back what the same file wrote before it; the tool's period up to a day. Then the
// year 2024 into four currencies of which USD holds a rate of its own on 31 December: what is
// counted and stored, and the rate valid at a date, as a host asks it and as the tool prints it.
TEST(Referenzkurse, EinlesenZaehltJeWaehrungUndGibtDenKursZumDatum) {
    Kursdatenbank db;
    const QString zip = test::zipSchreiben(db.ordner.filePath("ganz.zip"), {{"eurofxref-hist.csv", test::inhaltVon(csv2024)}});
    for (const auto& [quelle, name] : {std::pair{csv2024, "halb.csv"}, std::pair{xml90, "halb.xml"}, std::pair{zip, "halb.zip"}}) {
        const QByteArray inhalt = test::inhaltVon(quelle);
        const QString datei = test::schreiben(db.ordner.filePath(QLatin1String(name)), inhalt.left(inhalt.size() / 2));
        const Lauf l = xovDb({"kurse-einlesen", db.fa, datei});
        EXPECT_EQ(l.status, 1);
        EXPECT_TRUE(l.fehler.contains(datei.endsWith(".zip") ? datei : datei + ", Zeile ")) << l.fehler.toStdString();
        EXPECT_TRUE(l.aus.isEmpty());
        EXPECT_EQ(db.anzahl(), 4);
    }
    db.faSql("CREATE TRIGGER halt BEFORE INSERT ON AllgWaehrung WHEN NEW.AenderDatum = '2024-06-03' "
             "BEGIN SELECT RAISE(ABORT, 'halt'); END");
    EXPECT_THROW(db.einlesen(csv2024), xov::Fehler);
    EXPECT_EQ(db.anzahl(), 4);
    db.faSql("DROP TRIGGER halt");
    Lauf l = xovDb({"kurse-einlesen", db.fa, csv2024, "--ab", "01.12.2024", "--bis", "01.11.2024"});
    EXPECT_EQ(l.status, 1) << l.aus.toStdString();
    EXPECT_TRUE(l.fehler.contains(QStringLiteral("--bis 01.11.2024 liegt vor --ab 01.12.2024"))) << l.fehler.toStdString();
    l = xovDb({"kurse-einlesen", db.fa, csv2024, "--bis", "2024-03-31"});
    ASSERT_EQ(l.status, 0) << l.fehler.toStdString();
    EXPECT_TRUE(l.aus.startsWith(QStringLiteral("USD: 63 hinzugefügt, 0 behalten, 0 übersprungen\n"))) << l.aus.toStdString();

    db.faSql("INSERT INTO AllgWaehrung (WID, Waehrungscode, WaehrungscodeBezeichnung, Laenderkennzeichen, AenderDatum, EuroinFremd, "
             "FremdinEuro) VALUES (1, 'USD', 'Name', 'XX', '2024-12-31', 1.1, 0.9)");
    EXPECT_EQ(xov::bilanzZeilen(db.einlesen(csv2024)), (QStringList{"USD: 192 hinzugefügt, 64 behalten, 0 übersprungen",
                                                                    "IDR: 193 hinzugefügt, 63 behalten, 0 übersprungen",
                                                                    "HRK: 0 hinzugefügt, 0 behalten, 256 übersprungen",
                                                                    "SEK: 193 hinzugefügt, 63 behalten, 0 übersprungen"}));
    EXPECT_EQ(db.anzahl(), 5 + 3 * 256 - 1);
    EXPECT_EQ(xov::kursZumDatum(db.fa, "USD", QDate(2024, 12, 31)).euroinFremd, 1.1);
    // Name and country code of the currency are repeated in the new records.
    EXPECT_EQ(db.faWert("SELECT count(*) FROM AllgWaehrung WHERE WaehrungscodeBezeichnung = 'Name' AND Laenderkennzeichen = 'XX'").toInt(),
              db.anzahl());
    // 1 January 2024 has no rate of its own: the rate typed on 1 December 2023 applies.
    EXPECT_EQ(xov::kursZumDatum(db.fa, "usd", QDate(2024, 1, 1)).datum, QDate(2023, 12, 1));
    // The reciprocal of a rupiah rate keeps its places: 4 places would give 0.0001, an error of 68 %.
    const auto idr = xov::kursZumDatum(db.fa, "IDR", QDate(2024, 12, 31));
    EXPECT_EQ(idr.euroinFremd, 16820.88);
    EXPECT_EQ(idr.fremdinEuro, 0.0000594499);
    // Before the first rate: an error instead of a stand-in rate.
    EXPECT_EQ(test::fehlerVon([&] { xov::kursZumDatum(db.fa, "USD", QDate(2023, 11, 30)); }).nummer(), xov::FehlerNr::KeinAktuellerDatensatz);
    // The tool: on Easter Saturday the rate of Maundy Thursday with both values, a warning on an
    // old one (more than 7 days), and status 1 with the message for a currency without any.
    l = xovDb({"kurs", db.fa, "USD", "30.03.2024"});
    EXPECT_EQ(l.status, 0);
    EXPECT_EQ(l.aus, QStringLiteral("USD am 30.03.2024: Kurs vom 28.03.2024, EuroinFremd 1,0811, FremdinEuro 0,9249838128\n"));
    l = xovDb({"kurs", db.fa, "USD", "2025-01-15"});
    EXPECT_EQ(l.status, 0);
    EXPECT_TRUE(l.aus.contains(QStringLiteral("Warnung: der Kurs ist 15 Tage alt (mehr als 7 Tage)"))) << l.aus.toStdString();
    l = xovDb({"kurs", db.fa, "CHF", "2024-04-12"});
    EXPECT_EQ(l.status, 1);
    EXPECT_TRUE(l.fehler.contains(QStringLiteral("Für die Währung CHF gibt es keinen Kurs am oder vor dem 12.04.2024."))) << l.fehler.toStdString();
    // XML, five days a currency.
    const auto neunzig = db.einlesen(xml90);
    EXPECT_EQ(neunzig.at(0).hinzugefuegt, 5);
    EXPECT_EQ(neunzig.at(1).hinzugefuegt, 5);
    EXPECT_EQ(xov::kursZumDatum(db.fa, "USD", QDate(2017, 3, 5)).euroinFremd, 1.0565);
}

TEST(Pruefziffern, HinweisNurWennDiePrueffzifferNichtPasst) {
    for (const char* gut : {"ATU13585627", "ATU 4608 0404", "", "DE123456789"}) EXPECT_EQ(xov::uidHinweis(gut), "") << gut;
    EXPECT_EQ(xov::uidHinweis("ATU13585626"), QStringLiteral("Prüfziffer der UID passt nicht"));
    EXPECT_NE(xov::uidHinweis("ATU1358562"), "");
    // No office chosen or no number typed: nothing to check.
    for (const auto& [amt, nr] : {std::pair{"59", "119/9013"}, {"", "119/9012"}, {"59", ""}}) EXPECT_EQ(xov::steuerNrHinweis(amt, nr), "") << nr;
    EXPECT_EQ(xov::steuerNrHinweis("59", "119/9012"), QStringLiteral("Prüfziffer der Steuernummer passt nicht"));
    for (const char* gut : {"AT29HXR00000037632", "DE98ZZZ09999999999", "AT88ZZZ00000000001", ""}) EXPECT_EQ(xov::creditorIdHinweis(gut), "") << gut;
    EXPECT_EQ(xov::creditorIdHinweis("AT12ZZZ00000000001"), QStringLiteral("Prüfziffer der Kreditor-ID passt nicht"));
}

// Withdrawn currencies are not offered for a code (what is offered: the code list's test).
TEST(IsoWaehrungen, KeineZurueckgezogenen) {
    EXPECT_TRUE(xov::isoWaehrungen().filter(QRegularExpression("^DEM")).isEmpty());
}
