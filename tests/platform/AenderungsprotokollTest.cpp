// The change log on both engines: every kind of change leaves its entries with the values as
// stored, in the transaction of the change; a failure or a rollback leaves neither.

#include "Hilfen.h"
#include "currency/Waehrungsdaten.h"
#include "kurse/Kursdatei.h"
#include "kurse/Kurseinlesen.h"
#include "platform/Aenderungsprotokoll.h"
#include "platform/Datenbank.h"
#include "platform/Datenquelle.h"
#include "platform/Variant.h"

using namespace xov;
using test::Engine;

namespace {

// "Tabelle|Schluessel|Spalte|Art|AlterTyp:AlterWert -> NeuerTyp:NeuerWert|Bemerkung" per entry.
QStringList eintraege(const QString& db) {
    QStringList l;
    auto v = verbindungOeffnen(db, DbPasswort);
    for (const Protokolleintrag& e : protokollLesen(*v)) {
        const auto t = [](const QVariant& w) { return istNull(w) ? QStringLiteral("∅") : w.toString(); };
        l << QStringLiteral("%1|%2|%3|%4|%5:%6 -> %7:%8|%9")
                 .arg(t(e.tabelle), t(e.schluessel), t(e.spalte), t(e.art), t(e.alterTyp), t(e.alterWert), t(e.neuerTyp),
                      t(e.neuerWert), t(e.bemerkung));
    }
    return l;
}

// A failure between the change and its entry: the database refuses the entry.
void eintragVerweigern(const test::Datenbanken& db, const QString& ziel) {
    auto v = verbindungOeffnen(ziel, DbPasswort);
    if (db.engine == Engine::Server) {
        v->ausfuehren(QStringLiteral("CREATE FUNCTION kaputt() RETURNS trigger LANGUAGE plpgsql AS $$ "
                                     "BEGIN RAISE EXCEPTION 'eingespeister Fehler'; END $$"));
        v->ausfuehren(QStringLiteral("CREATE TRIGGER kaputt BEFORE INSERT ON AllgAenderungsprotokoll FOR EACH ROW EXECUTE FUNCTION kaputt()"));
    } else {
        v->ausfuehren(QStringLiteral("CREATE TRIGGER kaputt BEFORE INSERT ON AllgAenderungsprotokoll "
                                     "BEGIN SELECT RAISE(ABORT, 'eingespeister Fehler'); END"));
    }
}

class Protokoll : public ::testing::TestWithParam<Engine> {};

}  // namespace

// A rate added, changed and deleted, rate files read: each change leaves its entries with the values
// as stored. Then a failure between a change and its entry, or a transaction rolled back: neither
// is stored, the caller hears of the failure, and the next change continues the chain.
TEST_P(Protokoll, KurseGeaendertEingelesenFehlerUndRuecknahme) {
    XOV_SERVER_NOETIG(GetParam());
    test::Datenbanken db(GetParam());
    Datenquelle fa(QStringLiteral("FAData"));
    fa.setDatabaseName(db.fa);
    fa.setConnect(QStringLiteral("Access 2000;pwd=") + DbPasswort + ';');
    Waehrungsdaten daten(&fa);
    const QDate tag(2024, 3, 4);
    daten.kursEinfuegen({4, "NOK", "Norwegische Krone", "N"}, tag, {11.5, 0.087});
    daten.kursAendern(4, tag, {11.5, 0.087}, {11.25, 0.087});
    ASSERT_TRUE(daten.kursLoeschen(4, tag));
    // The new rate's five columns added, one changed, five deleted (a name changed and a rate added,
    // as the history window shows them: Aenderungsverlauf).
    const QString neu = QStringLiteral("AllgWaehrung|WID=4, AenderDatum=2024-03-04|");
    const QStringList l = eintraege(db.fa);
    ASSERT_EQ(l.size(), 11) << l.join('\n').toStdString();
    EXPECT_EQ(l.at(5), neu + "EuroinFremd|geändert|Zahl:11.5 -> Zahl:11.25|∅");
    EXPECT_EQ(l.at(6), neu + "Waehrungscode|gelöscht|Text:NOK -> Null:∅|∅");
    EXPECT_EQ(l.filter("|hinzugefügt|").size(), 5);
    EXPECT_EQ(l.filter("|gelöscht|").size(), 5);
    // Each entry says when, by whom and by what (where: Aenderungsverlauf); on a server also the
    // role it logged in as.
    const Protokolleintrag e = protokollLesen(*daten.verbindung()).first();
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d\\.\\d{3}Z$")).match(e.zeitpunkt.toString()).hasMatch())
        << e.zeitpunkt.toString().toStdString();
    EXPECT_FALSE(e.benutzer.toString().isEmpty());
    EXPECT_TRUE(e.programm.toString().contains(QLatin1String("xovMandStamm 1.")));
    EXPECT_EQ(istNull(e.rolle), GetParam() == Engine::Datei);

    // Reading a rate file: one entry per import, and one per rate it replaced.
    const QString datei = QStringLiteral(XOV_KURSDATEN "/eurofxref-daily-auszug.xml");
    const auto tage = kursdateiLesen(datei);
    ASSERT_FALSE(tage.isEmpty());
    const QDate ersterTag = tage.first().datum;
    auto v = verbindungOeffnen(db.fa, DbPasswort);
    Einleseoptionen o;
    o.datei = datei;
    kurseEinlesen(*v, tage, gespeicherteWaehrungen(*v), o);
    v->ausfuehren(QStringLiteral("UPDATE AllgWaehrung SET EuroinFremd = 2.5 WHERE WID = 1 AND AenderDatum = ?"), {ersterTag});
    o.ersetzen = true;
    kurseEinlesen(*v, tage, gespeicherteWaehrungen(*v), o);

    const QStringList k = eintraege(db.fa).mid(l.size());
    ASSERT_EQ(k.size(), 3) << k.join('\n').toStdString();
    QFile f(datei);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QString summe = QString::fromLatin1(QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256).toHex());
    EXPECT_TRUE(k.at(0).startsWith("AllgWaehrung|∅|∅|aus Kursdatei|∅:∅ -> ∅:∅|Kurse eingelesen: 3 hinzugefügt, 0 ersetzt;"));
    EXPECT_TRUE(k.at(0).contains(QStringLiteral("Datei %1; SHA-256 %2").arg(datei, summe))) << k.at(0).toStdString();
    EXPECT_TRUE(k.at(0).contains("USD: 1 hinzugefügt, 0 behalten"));
    EXPECT_TRUE(k.at(1).startsWith("AllgWaehrung|WID=1, AenderDatum=" + ersterTag.toString(Qt::ISODate) +
                                   "|EuroinFremd|aus Kursdatei|Zahl:2.5 -> Zahl:"))
        << k.at(1).toStdString();
    EXPECT_TRUE(k.at(2).startsWith("AllgWaehrung|∅|∅|aus Kursdatei|∅:∅ -> ∅:∅|Kurse eingelesen: 0 hinzugefügt, 1 ersetzt;"));

    const int vorher = l.size() + k.size();
    eintragVerweigern(db, db.fa);
    eintragVerweigern(db, db.mand);
    EXPECT_THROW(daten.kopfSetzen(1, QStringLiteral("WaehrungscodeBezeichnung"), QStringLiteral("Dollar"), *daten.kopfVon(1)), Fehler);
    EXPECT_THROW(daten.kursEinfuegen({4, "NOK", "Norwegische Krone", "N"}, QDate(2024, 3, 4), {11.5, 0.087}), Fehler);
    EXPECT_EQ(db.faWert("SELECT count(*) FROM AllgWaehrung WHERE WaehrungscodeBezeichnung = 'Dollar'").toInt(), 0);
    EXPECT_EQ(db.faWert("SELECT count(*) FROM AllgWaehrung WHERE WID = 4").toInt(), 0);

    // The client row written through its data source, as the dialog writes it.
    Datenquelle quelle(QStringLiteral("MAData"));
    quelle.setDatabaseName(db.mand);
    quelle.setConnect(QStringLiteral("Access 2000;pwd=") + DbPasswort + ';');
    quelle.setRecordSource(QStringLiteral("SELECT * FROM AllgMandDaten"), {}, Schreibziel{QStringLiteral("AllgMandDaten"), {}});
    quelle.Refresh();
    quelle.binden({QStringLiteral("MandOrt"), [](const QVariant&) {}, [] { return QVariant(QStringLiteral("Graz")); }, [] { return true; }});
    {
        Zeilenprotokoll p(quelle, QStringLiteral("AllgMandDaten"));
        EXPECT_TRUE(quelle.zeileSchreiben());
        EXPECT_THROW(p.abschliessen(), Fehler);
    }
    EXPECT_EQ(db.mandWert("SELECT MandOrt FROM AllgMandDaten").toString(), QStringLiteral("Wien"));
    EXPECT_EQ(db.mandWert("SELECT count(*) FROM AllgAenderungsprotokoll").toInt(), 0);

    db.faSql(db.engine == Engine::Server ? QStringLiteral("DROP TRIGGER kaputt ON AllgAenderungsprotokoll") : QStringLiteral("DROP TRIGGER kaputt"));
    {
        Transaktion t(*daten.verbindung());
        daten.kopfSetzen(2, QStringLiteral("Laenderkennzeichen"), QStringLiteral("CHE"), *daten.kopfVon(2));
        daten.kursEinfuegen({2, "CHF", "Schweizer Franken", "CHE"}, QDate(2024, 3, 4), {0.95, 1.0526});
    }
    EXPECT_EQ(db.faWert("SELECT count(*) FROM AllgAenderungsprotokoll").toInt(), vorher);
    EXPECT_EQ(db.faWert("SELECT count(*) FROM AllgWaehrung WHERE Laenderkennzeichen = 'CHE'").toInt(), 0);
    daten.kopfSetzen(2, QStringLiteral("Laenderkennzeichen"), QStringLiteral("CHE"), *daten.kopfVon(2));
    // Six records of the demo and the one read from the file.
    EXPECT_EQ(eintraege(db.fa).mid(vorher),
              QStringList("AllgWaehrung|WID=2|Laenderkennzeichen|geändert|Text:CH -> Text:CHE|in 7 Datensätzen"));
    EXPECT_FALSE(ketteFinden(protokollLesen(*verbindungOeffnen(db.fa, DbPasswort))));
}

INSTANTIATE_TEST_SUITE_P(DateiUndServer, Protokoll, ::testing::Values(Engine::Datei, Engine::Server),
                         [](const auto& info) { return std::string(test::engineName(info.param)); });

// The canonical form, as the logs already stored were hashed: it tells Null from "", and every
// column counts; so does the previous entry's hash.
TEST(Protokollkette, KanonischeFormUndHash) {
    Protokolleintrag e{.nr = 7, .zeitpunkt = QStringLiteral("2026-12-06T22:35:12.345Z"), .arbeitsplatz = {},
                       .benutzer = {}, .rolle = {}, .programm = {}, .tabelle = QStringLiteral("AllgMandDaten"), .schluessel = {},
                       .spalte = QStringLiteral("MandOrt"), .alterTyp = QStringLiteral("Text"),
                       .alterWert = QString(QLatin1String("")), .neuerTyp = QStringLiteral("Null"), .neuerWert = {},
                       .art = QStringLiteral("geändert"), .bemerkung = {}, .hash = {}};
    EXPECT_EQ(kanonischeForm(e), QByteArray("1:7" "24:2026-12-06T22:35:12.345Z" "-" "-" "-" "-" "13:AllgMandDaten" "-" "7:MandOrt"
                                            "4:Text" "0:" "4:Null" "-" "9:geändert" "-"));
    EXPECT_NE(kettenHash(ErsterVorgaenger, e), kettenHash(QString(64, QLatin1Char('1')), e));
}

// A value as the log stores it (type name and exact text) and shows it: "" apart from Null, every
// digit of a number, a date in German.
TEST(Protokollwerte, TypTextUndAnzeige) {
    struct Fall { QVariant wert; const char* typ; const char* text; const char* anzeige; };
    const Fall faelle[] = {{QString(QLatin1String("")), "Text", "", "\"\""},
                           {QVariant(qint64(1060)), "Ganzzahl", "1060", "1060"},
                           {QVariant(0.1 + 0.2), "Zahl", "0.30000000000000004", "0,30000000000000004"},
                           {QVariant(QDate(2024, 3, 4)), "Datum", "2024-03-04", "04.03.2024"}};
    for (const Fall& f : faelle) {
        EXPECT_EQ(wertTyp(f.wert), QString::fromUtf8(f.typ)) << f.anzeige;
        EXPECT_EQ(wertText(f.wert).toString(), QString::fromUtf8(f.text)) << f.anzeige;
        EXPECT_EQ(wertAnzeige(wertTyp(f.wert), wertText(f.wert)), QString::fromUtf8(f.anzeige));
    }
}
