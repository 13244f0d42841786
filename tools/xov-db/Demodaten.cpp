// The demo data: a realistic client with a chart of accounts, a dozen tax offices and three
// currencies with rate histories.

#include "tools/xov-db/Schema.h"
#include "platform/Datenbank.h"

#include <cmath>
#include <tuple>

#include <QDate>
#include <QVariantList>

using xov::Verbindung;

namespace xovdb {
namespace {

// The client's row: every field a bookkeeper would have filled in.
void demoMandant(Verbindung& v, int jahr) {
    const QStringList lang = {"keine Anrede", "Sehr geehrter Herr", "Sehr geehrte Frau", "Sehr geehrte Frau und Herr",
                              "Titl.", "Sehr geehrte Damen und Herren", "Sehr geehrter Herr Dr.", "Sehr geehrte Frau Dr.",
                              "Sehr geehrter Herr Mag.", "Sehr geehrte Frau Mag."};
    const QStringList kurz = {"", "Herr", "Frau", "Fam.", "Titl.", "Firma", "Herr Dr.", "Frau Dr.", "Herr Mag.", "Frau Mag."};
    const QStringList index = {"Verbraucherpreisindex 2020", "Verbraucherpreisindex 2015", "Verbraucherpreisindex 2010",
                               "Baukostenindex Wohnhausbau", "Richtwert Wien"};
    const QStringList indexKurz = {"VPI20", "VPI15", "VPI10", "BKI", "RW"};
    QStringList namen;
    QVariantList werte;
    auto setze = [&](const QString& n, const QVariant& w) { namen << n; werte << w; };
    // The fields whose demo value does not depend on the year.
    const QVector<QPair<QString, QVariant>> fest = {
        {"MandName", "Hausverwaltung Gruber & Söhne GmbH"}, {"MandName2", "Immobilientreuhand"}, {"MandName3", ""},
        {"MandAnschrift", "Mariahilfer Straße 123/4"}, {"MandPlz", 1060}, {"MandNation", "A"}, {"MandOrt", "Wien"},
        {"MandTelefonNr", "+43 1 597 12 34"}, {"MandFaxNr", "+43 1 597 12 34-99"}, {"MandDvr", 4711},
        {"MandBagatellBetrag", 5.0}, {"MandMahnspesen", 12.5}, {"MandUID", "ATU13585627"}, {"MandVoranmPeriode", 1},
        {"MandSteuerNr", "123/4561"}, {"MandReferat", 12}, {"MandFaNr", 7}, {"MandUVAID1", "gruber01"},
        {"MandUVAID2", "uva2024"}, {"MandUVAID3", "geheim"}, {"MandVersionsNr", "7.31"}, {"MandMiEinktoBlz", 20111},
        {"MandMiKontoNr", "28312345678"}, {"MandMikoBezeich", "Erste Bank Mieteneingangskonto"},
        {"MandMikoKurzbez", "Erste Miete"}, {"MandCreditorID", "AT29HXR00000037632"}, {"MandAnwNummer", 1},
        {"MandZahlschKorrPunkte", 30}, {"MandMahnfixText", 1}, {"MandAnzMahnStu", 0}, {"MandEurKurs", 13.7603},
        {"MandEur2Fach", 0}, {"MandDebitSammelKoNr", "2000"}, {"MandKreditSammelKoNr", "3300"},
        {"MandKonto30", "2800"}, {"MandKonto12", "3540"}, {"MandKonto13", "3600"}, {"MandKonto7", "3610"},
        {"MandKonto8", "3620"}, {"MandKonto11", "3630"}};
    for (const auto& [n, w] : fest) setze(n, w);
    setze("MandBuchjahr", jahr);
    setze("MandMonStatusDatum", QStringLiteral("%1.%2").arg(QDate::currentDate().month(), 2, 10, QLatin1Char('0')).arg(jahr));
    for (int i = 0; i <= 20; ++i) {
        setze(QStringLiteral("MandAnr%1").arg(i), i < lang.size() ? lang.at(i) : QString());
        setze(QStringLiteral("MandAnrKurz%1").arg(i), i < kurz.size() ? kurz.at(i) : QString());
    }
    for (int i = 1; i <= 20; ++i) {
        setze(QStringLiteral("MandIndBezLang%1").arg(i), i <= index.size() ? index.at(i - 1) : QString());
        setze(QStringLiteral("MandIndBezKurz%1").arg(i), i <= indexKurz.size() ? indexKurz.at(i - 1) : QString());
    }
    v.ausfuehren("DELETE FROM AllgMandDaten");
    v.ausfuehren(QStringLiteral("INSERT INTO AllgMandDaten (%1) VALUES (%2)")
                     .arg(namen.join(u','), QStringList(namen.size(), QStringLiteral("?")).join(u',')),
                 werte);
}

// The chart of accounts for the year and the year before, and the tenants' accounts.
void demoKonten(Verbindung& v, int jahr) {
    const QVector<QPair<const char*, const char*>> konten = {
        {"0300", "Betriebs- und Geschäftsgebäude"}, {"0400", "Maschinen"}, {"0600", "Betriebs- und Geschäftsausstattung"},
        {"2000", "Lieferforderungen Inland"}, {"2010", "Mieterforderungen"}, {"2500", "Vorsteuer"},
        {"2700", "Kassa"}, {"2800", "Bank Erste Bank"}, {"2810", "Bank Raiffeisen"}, {"2890", "Mieteneingangskonto"},
        {"3000", "Rückstellungen"}, {"3300", "Lieferverbindlichkeiten Inland"}, {"3500", "Umsatzsteuer"},
        {"3540", "Verrechnung Finanzamt"}, {"3600", "Verrechnung Sozialversicherung"}, {"3610", "Verrechnung Gemeinde"},
        {"3620", "Nettolöhne Arbeiter"}, {"3630", "Nettogehälter Angestellte"}, {"3700", "Kautionen"},
        {"4000", "Mieterlöse Wohnungen"}, {"4010", "Mieterlöse Geschäftslokale"}, {"4400", "Betriebskostenerlöse"},
        {"5000", "Wareneinsatz"}, {"6000", "Löhne"}, {"6200", "Gehälter"}, {"6560", "Gesetzlicher Sozialaufwand"},
        {"7000", "Abschreibungen"}, {"7200", "Instandhaltung Gebäude"}, {"7300", "Hausbetreuung"},
        {"7400", "Versicherungen"}, {"7600", "Büromaterial"}, {"7700", "Rechts- und Beratungsaufwand"},
        {"8000", "Zinsenerträge"}, {"8280", "Bankspesen"}, {"9000", "Kapital"}, {"9800", "Eröffnungsbilanz"}};
    v.ausfuehren("DELETE FROM ObjKanzleiKontenstamm");
    const QString einfuegen = kontenTabelle().einfuegenSql();
    for (int j : {jahr - 1, jahr})
        for (const auto& [nr, bez] : konten)
            v.ausfuehren(einfuegen, {j, QString::fromUtf8(nr), QString::fromUtf8(bez)});
    // Tenant accounts: enough rows to make the picker's search worth having.
    for (int i = 1; i <= 400; ++i)
        v.ausfuehren(einfuegen, {jahr, QStringLiteral("2%1").arg(1000 + i), QStringLiteral("Mieter Top %1").arg(i)});
}

void demoFinanzaemter(Verbindung& v) {
    v.ausfuehren("DELETE FROM AllgFaDaten");
    const QVector<std::tuple<int, const char*, const char*, int, const char*>> aemter = {
        {0, " keine Definition", "", 0, ""},
        {3, "Finanzamt Wien 1/23", "Marxergasse 4", 1030, "Wien"},
        {4, "Finanzamt Wien 2/20/21/22", "Dr. Adolf-Schärf-Platz 2", 1210, "Wien"},
        {6, "Finanzamt Wien 3/6/7/11/15 Schwechat Gerasdorf", "Marxergasse 4", 1030, "Wien"},
        {7, "Finanzamt Wien 4/5/10", "Marxergasse 4", 1030, "Wien"},
        {8, "Finanzamt Wien 8/16/17", "Josef-Holaubek-Platz 1", 1090, "Wien"},
        {9, "Finanzamt Wien 9/18/19 Klosterneuburg", "Josef-Holaubek-Platz 1", 1090, "Wien"},
        {12, "Finanzamt Wien 12/13/14 Purkersdorf", "Josef-Holaubek-Platz 1", 1090, "Wien"},
        {16, "Finanzamt Baden Mödling", "Josefsplatz 13", 2500, "Baden"},
        {29, "Finanzamt Linz", "Bahnhofplatz 7", 4020, "Linz"},
        {46, "Finanzamt Salzburg-Stadt", "Aigner Straße 10", 5026, "Salzburg"},
        {68, "Finanzamt Graz-Stadt", "Conrad-von-Hötzendorf-Straße 14-18", 8018, "Graz"},
        {81, "Finanzamt Innsbruck", "Innrain 32", 6020, "Innsbruck"}};
    for (const auto& [nr, name, anschrift, plz, ort] : aemter)
        v.ausfuehren(finanzamtTabelle().einfuegenSql(),
                     {nr, QString::fromUtf8(name), nr, QString::fromUtf8(anschrift), plz, QString::fromUtf8(ort)});
}

// Six monthly rates for each currency, the latest on the first of this month.
void demoWaehrungen(Verbindung& v) {
    v.ausfuehren("DELETE FROM AllgWaehrung");
    struct W { int wid; const char* code; const char* name; const char* land; double kurs; };
    const QVector<W> waehrungen = {{1, "USD", "US-Dollar", "USA", 1.0850}, {2, "CHF", "Schweizer Franken", "CH", 0.9420},
                                   {3, "GBP", "Britisches Pfund", "GB", 0.8560}};
    const QDate heute = QDate::currentDate();
    for (const W& w : waehrungen)
        for (int m = 0; m < 6; ++m) {
            const double eif = w.kurs * (1.0 + 0.01 * ((m * 7 + w.wid * 3) % 5 - 2));
            v.ausfuehren(waehrungTabelle().einfuegenSql(),
                         {w.wid, w.code, QString::fromUtf8(w.name), w.land, QDate(heute.year(), heute.month(), 1).addMonths(-m),
                          std::round(eif * 10000) / 10000, std::round(10000 / eif) / 10000});
        }
}

}  // namespace

void demoFuellen(const QString& mandPfad, const QString& faPfad, const QString& passwort, int jahr) {
    auto mand = xov::verbindungOeffnen(mandPfad, passwort);
    {
        xov::Transaktion t(*mand);
        demoMandant(*mand, jahr);
        demoKonten(*mand, jahr);
        t.bestaetigen();
    }
    auto fa = xov::verbindungOeffnen(faPfad, passwort);
    xov::Transaktion t(*fa);
    demoFinanzaemter(*fa);
    demoWaehrungen(*fa);
    t.bestaetigen();
}

}  // namespace xovdb
