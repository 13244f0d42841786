#include "tools/xov-db/Schema.h"
#include "form/Feldtabelle.h"
#include "platform/Aenderungsprotokoll.h"
#include "platform/Datenbank.h"
#include "tools/xov-db/Protokoll.h"
#include "platform/Fehler.h"

#include <cmath>

#include <QDate>
#include <QFile>
#include <QFileInfo>
#include <QVariantList>

using xov::Verbindung;

namespace xovdb {

// The columns of AllgMandDaten are those the dialog's fields are bound to, each with the SQL
// type of its kind of field.
const QVector<Spaltendefinition>& mandantenSpalten() {
    static const QVector<Spaltendefinition> spalten = [] {
        QVector<Spaltendefinition> s;
        for (const xov::FeldDef& f : xov::feldtabelle()) {
            if (f.spalte.isEmpty()) continue;
            switch (f.art) {
            case xov::Art::Ganzzahl: case xov::Art::Code: case xov::Art::DbListe: s.append({f.spalte, "INTEGER"}); break;
            case xov::Art::Betrag: case xov::Art::Kurs: s.append({f.spalte, "REAL"}); break;
            case xov::Art::Datum: s.append({f.spalte, "DATE"}); break;
            default: s.append({f.spalte, "TEXT"}); break;
            }
        }
        return s;
    }();
    return spalten;
}

namespace {

void kontenTabelleAnlegen(Verbindung& v) {
    v.ausfuehren("CREATE TABLE IF NOT EXISTS ObjKanzleiKontenstamm (KontoJJ INTEGER, KontoNr TEXT, KontoBezeichnung TEXT)");
    v.ausfuehren("CREATE INDEX IF NOT EXISTS KontoJahrNr ON ObjKanzleiKontenstamm (KontoJJ, KontoNr)");
}

}  // namespace

QStringList mandantenTabellen() { return {QStringLiteral("AllgMandDaten"), QStringLiteral("ObjKanzleiKontenstamm")}; }
QStringList gemeinsameTabellen() { return {QStringLiteral("AllgFaDaten"), QStringLiteral("AllgWaehrung")}; }

void mandantenTabellenAnlegen(Verbindung& mand, const QStringList& ohneSpalten) {
    QStringList spalten;
    for (const auto& s : mandantenSpalten())
        if (!ohneSpalten.contains(s.name, Qt::CaseInsensitive)) spalten << s.name + QLatin1Char(' ') + s.typ;
    xov::Transaktion t(mand);
    mand.ausfuehren(QStringLiteral("CREATE TABLE AllgMandDaten (%1)").arg(spalten.join(QStringLiteral(", "))));
    kontenTabelleAnlegen(mand);
    xov::protokollTabelleAnlegen(mand);
    t.bestaetigen();
}

void gemeinsameTabellenAnlegen(Verbindung& fa) {
    xov::Transaktion t(fa);
    fa.ausfuehren("CREATE TABLE AllgFaDaten (FaNummer INTEGER, FaName TEXT, FaNummerAlt INTEGER, "
                  "FaAnschrift TEXT, FaPlz INTEGER, FaOrt TEXT)");
    fa.ausfuehren("CREATE TABLE AllgWaehrung (WID INTEGER NOT NULL, Waehrungscode TEXT, WaehrungscodeBezeichnung TEXT, "
                  "Laenderkennzeichen TEXT, AenderDatum DATE NOT NULL, EuroinFremd REAL, FremdinEuro REAL, "
                  "UNIQUE (WID, AenderDatum))");
    xov::protokollTabelleAnlegen(fa);
    t.bestaetigen();
}

void mandantAnlegen(const QString& mandPfad, const QString& passwort, const QStringList& ohneSpalten) {
    mandantenTabellenAnlegen(*xov::datenbankAnlegen(mandPfad, passwort), ohneSpalten);
}

void gemeinsamAnlegen(const QString& faPfad, const QString& passwort) {
    gemeinsameTabellenAnlegen(*xov::datenbankAnlegen(faPfad, passwort));
}

bool datenbankVorhanden(const QString& db, const QString& passwort) {
    if (!xov::Verbindungsangabe::istServerAdresse(db)) return QFileInfo::exists(db);
    try {
        // An empty database on a server (one an administrator created for the suite) is taken
        // over as a new one.
        // So is one that a killed creation left unfinished.
        return !xov::verbindungOeffnen(db, passwort)->tabellen().isEmpty() && !xov::anlageUnvollstaendig({db, passwort});
    } catch (const xov::Fehler& f) {
        if (f.nummer() == xov::FehlerNr::DateiNichtGefunden) return false;
        throw;
    }
}

void anlegen(const QString& mandPfad, const QString& faPfad, const QString& passwort, const QStringList& ohneSpalten, bool abschliessen) {
    for (const QString& p : {mandPfad, faPfad})
        if (!xov::Verbindungsangabe::istServerAdresse(p) && QFileInfo::exists(p))
            xov::fehlerWerfen(xov::FehlerNr::DateiVorhanden, p);
    mandantAnlegen(mandPfad, passwort, ohneSpalten);
    try {
        gemeinsamAnlegen(faPfad, passwort);
    } catch (...) {
        try { xov::datenbankEntfernen({mandPfad, passwort}); } catch (...) {}
        throw;
    }
    if (abschliessen) anlageAbschliessen({mandPfad, faPfad}, passwort);
}

void anlageAbschliessen(const QStringList& datenbanken, const QString& passwort) {
    try {
        QVector<xov::Verbindungsangabe> angaben;
        for (const QString& db : datenbanken) angaben.append({db, passwort});
        xov::anlagenAbschliessen(angaben);
    } catch (...) {
        for (const QString& db : datenbanken) {
            try { xov::datenbankEntfernen({db, passwort}); } catch (...) {}
        }
        throw;
    }
}

void demoFuellen(const QString& mandPfad, const QString& faPfad, const QString& passwort, int jahr) {
    auto mand = xov::verbindungOeffnen(mandPfad, passwort);
    {
        xov::Transaktion t(*mand);
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
        setze("MandName", "Hausverwaltung Gruber & Söhne GmbH");
        setze("MandName2", "Immobilientreuhand");
        setze("MandName3", "");
        setze("MandAnschrift", "Mariahilfer Straße 123/4");
        setze("MandPlz", 1060);
        setze("MandNation", "A");
        setze("MandOrt", "Wien");
        setze("MandTelefonNr", "+43 1 597 12 34");
        setze("MandFaxNr", "+43 1 597 12 34-99");
        setze("MandDvr", 4711);
        setze("MandBagatellBetrag", 5.0);
        setze("MandMahnspesen", 12.5);
        setze("MandUID", "ATU13585627");
        setze("MandVoranmPeriode", 1);
        setze("MandSteuerNr", "123/4561");
        setze("MandReferat", 12);
        setze("MandFaNr", 7);
        setze("MandUVAID1", "gruber01");
        setze("MandUVAID2", "uva2024");
        setze("MandUVAID3", "geheim");
        setze("MandVersionsNr", "7.31");
        setze("MandMiEinktoBlz", 20111);
        setze("MandMiKontoNr", "28312345678");
        setze("MandMikoBezeich", "Erste Bank Mieteneingangskonto");
        setze("MandMikoKurzbez", "Erste Miete");
        setze("MandCreditorID", "AT29HXR00000037632");
        setze("MandBuchjahr", jahr);
        setze("MandMonStatusDatum", QStringLiteral("%1.%2").arg(QDate::currentDate().month(), 2, 10, QLatin1Char('0')).arg(jahr));
        setze("MandAnwNummer", 1);
        setze("MandZahlschKorrPunkte", 30);
        setze("MandMahnfixText", 1);
        setze("MandAnzMahnStu", 0);
        setze("MandEurKurs", 13.7603);
        setze("MandEur2Fach", 0);
        for (int i = 0; i <= 20; ++i) {
            setze(QStringLiteral("MandAnr%1").arg(i), i < lang.size() ? lang.at(i) : QString());
            setze(QStringLiteral("MandAnrKurz%1").arg(i), i < kurz.size() ? kurz.at(i) : QString());
        }
        setze("MandDebitSammelKoNr", "2000");
        setze("MandKreditSammelKoNr", "3300");
        setze("MandKonto30", "2800");
        setze("MandKonto12", "3540");
        setze("MandKonto13", "3600");
        setze("MandKonto7", "3610");
        setze("MandKonto8", "3620");
        setze("MandKonto11", "3630");
        for (int i = 1; i <= 20; ++i) {
            setze(QStringLiteral("MandIndBezLang%1").arg(i), i <= index.size() ? index.at(i - 1) : QString());
            setze(QStringLiteral("MandIndBezKurz%1").arg(i), i <= indexKurz.size() ? indexKurz.at(i - 1) : QString());
        }
        mand->ausfuehren("DELETE FROM AllgMandDaten");
        mand->ausfuehren(QStringLiteral("INSERT INTO AllgMandDaten (%1) VALUES (%2)")
                             .arg(namen.join(u','), QStringList(namen.size(), QStringLiteral("?")).join(u',')),
                         werte);

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
        mand->ausfuehren("DELETE FROM ObjKanzleiKontenstamm");
        for (int j : {jahr - 1, jahr})
            for (const auto& [nr, bez] : konten)
                mand->ausfuehren("INSERT INTO ObjKanzleiKontenstamm (KontoJJ, KontoNr, KontoBezeichnung) VALUES (?,?,?)",
                                 {j, QString::fromUtf8(nr), QString::fromUtf8(bez)});
        // Tenant accounts: enough rows to make the picker's search worth having.
        for (int i = 1; i <= 400; ++i)
            mand->ausfuehren("INSERT INTO ObjKanzleiKontenstamm (KontoJJ, KontoNr, KontoBezeichnung) VALUES (?,?,?)",
                             {jahr, QStringLiteral("2%1").arg(1000 + i), QStringLiteral("Mieter Top %1").arg(i)});
        t.bestaetigen();
    }

    auto fa = xov::verbindungOeffnen(faPfad, passwort);
    xov::Transaktion t(*fa);
    fa->ausfuehren("DELETE FROM AllgFaDaten");
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
        fa->ausfuehren("INSERT INTO AllgFaDaten (FaNummer, FaName, FaNummerAlt, FaAnschrift, FaPlz, FaOrt) VALUES (?,?,?,?,?,?)",
                       {nr, QString::fromUtf8(name), nr, QString::fromUtf8(anschrift), plz, QString::fromUtf8(ort)});
    fa->ausfuehren("DELETE FROM AllgWaehrung");
    struct W { int wid; const char* code; const char* name; const char* land; double kurs; };
    const QVector<W> waehrungen = {{1, "USD", "US-Dollar", "USA", 1.0850}, {2, "CHF", "Schweizer Franken", "CH", 0.9420},
                                   {3, "GBP", "Britisches Pfund", "GB", 0.8560}};
    const QDate heute = QDate::currentDate();
    for (const W& w : waehrungen)
        for (int m = 0; m < 6; ++m) {
            const double eif = w.kurs * (1.0 + 0.01 * ((m * 7 + w.wid * 3) % 5 - 2));
            fa->ausfuehren("INSERT INTO AllgWaehrung (WID, Waehrungscode, WaehrungscodeBezeichnung, Laenderkennzeichen, "
                           "AenderDatum, EuroinFremd, FremdinEuro) VALUES (?,?,?,?,?,?,?)",
                           {w.wid, w.code, QString::fromUtf8(w.name), w.land, QDate(heute.year(), heute.month(), 1).addMonths(-m),
                            std::round(eif * 10000) / 10000, std::round(10000 / eif) / 10000});
        }
    t.bestaetigen();
}

QStringList felderErgaenzen(const QString& mandPfad, const QString& passwort) {
    auto mand = xov::verbindungOeffnen(mandPfad, passwort);
    xov::Transaktion t(*mand);
    const QStringList vorhanden = mand->spaltenVon("AllgMandDaten");  // 3078 before anything changes
    QStringList ergaenzt;
    for (const auto& s : mandantenSpalten()) {
        if (vorhanden.contains(s.name, Qt::CaseInsensitive)) continue;
        mand->ausfuehren(QStringLiteral("ALTER TABLE AllgMandDaten ADD COLUMN %1 %2").arg(s.name, s.typ));
        ergaenzt << s.name;
    }
    kontenTabelleAnlegen(*mand);
    strukturProtokollieren(*mand, QStringLiteral("AllgMandDaten"), ergaenzt);
    t.bestaetigen();
    return ergaenzt;
}

}  // namespace xovdb
