// Rates a bookkeeper can trust. Rate files as an attacker or a careless download delivers them:
// each is refused at once with a German message, the tool ends with status 1 and holds less than
// 100 MB while refusing it (a file refused while it is read leaves the database as it was: the
// files cut off halfway, below). What the parser reads or refuses:
// numbers, days, the spellings a real file may take (byte order marks, UTF-16), control
// characters in its messages, zips. The rate valid at a date, the central bank's files read into
// the currencies of the currency page in one transaction; and the check-digit hints.

#include "Hilfen.h"
#include "currency/WaehrungsseiteHilfen.h"
#include "form/Pruefziffern.h"
#include "kurse/Kurs.h"
#include "kurse/Kursdatei.h"
#include "kurse/Kursdateien.h"
#include "kurse/Kurseinlesen.h"
#include "platform/Datenbank.h"
#include "platform/Fehlerhilfe.h"

#include <QCoreApplication>
#include <QStringEncoder>
#include <gtest/gtest.h>

using test::csv2024;
using test::inhaltVon;
using test::xovDb;
using test::zipSchreiben;

namespace {

const QByteArray kopf = "Date,USD,JPY,\n";

// A CSV naming `waehrungen` currencies (AAX, ABX, ...) with `tage` rows of rate 1.
QByteArray breit(int waehrungen, int tage) {
    QByteArray zeileKopf = "Date", zeile = "2024-01-02";
    for (int i = 0; i < waehrungen; ++i) {
        zeileKopf += ',' + QByteArray(1, char('A' + i / 26 % 26)) + char('A' + i % 26) + 'X';
        zeile += ",1";
    }
    return zeileKopf + '\n' + (zeile + '\n').repeated(tage);
}

struct Feindlich {
    const char* name;
    const char* datei;
    QByteArray (*inhalt)();  // the file's content, a zip's one entry; null: built in `vonHand`
    const char* meldung;     // a part of the German message
};
void PrintTo(const Feindlich& f, std::ostream* os) { *os << f.name; }

const Feindlich feindlich[] = {
    {"ZipMitAchtzigMegabyteZeilenumbruechen", "leer.zip", [] { return kopf + QByteArray(80 << 20, '\n'); }, "größer als 64 MB"},
    {"AchtzigMegabyteLeerzeilen", "leer.csv", [] { return kopf + QByteArray(80 << 20, '\n'); }, "größer als 64 MB"},
    {"NurDieKopfzeile", "kopf.csv", [] { return kopf; }, "enthält keinen einzigen Kurs"},
    {"ZeileLaengerAlsEinMegabyte", "lang.csv", [] { return kopf + QByteArray(2 << 20, '7'); }, "Zeile 2: die Zeile ist länger als 1 MB"},
    {"MehrAlsHunderttausendTage", "tage.csv", [] { return kopf + QByteArray("2024-01-02,1.1,150,\n").repeated(100'001); },
     "Zeile 100.002: die Datei enthält mehr als 100.000 Tage"},
    {"MehrAlsZweihundertWaehrungen", "breit.csv", [] { return breit(201, 1); }, "die Datei nennt mehr als 200 Währungen"},
    {"MehrAlsEineMillionKurse", "viele.csv", [] { return breit(200, 5001); }, "die Datei enthält mehr als 1.000.000 Kurse"},
    {"ZipDessenKopfVierGibibyteBehauptet", "luege.zip", nullptr, "statt der angegebenen 4.294.967.280"},
    {"ZweiCsvImZip", "zwei.zip", nullptr, "enthält 2 Dateien (\"tag.csv\", \"eurofxref-hist.csv\"); erwartet ist genau eine Kursdatei"},
    {"FifoWirdNichtGeoeffnet", "fifo", nullptr, "ist eine benannte Pipe (FIFO), keine Kursdatei"},
};

QString vonHand(const QString& pfad) {
    if (pfad.endsWith(QStringLiteral("fifo"))) {
        EXPECT_EQ(mkfifo(QFile::encodeName(pfad).constData(), 0600), 0);
        return pfad;
    }
    if (pfad.endsWith(QStringLiteral("zwei.zip")))
        return zipSchreiben(pfad, {{"tag.csv", kopf + "2024-01-02,1.1,150,\n"}, {"eurofxref-hist.csv", inhaltVon(csv2024)}});
    // The uncompressed size in the local header (offset 22) and the central directory (offset 24).
    QByteArray z = inhaltVon(zipSchreiben(pfad, {{"eurofxref-hist.csv", inhaltVon(csv2024)}}));
    const char gross[4] = {'\xF0', '\xFF', '\xFF', '\xFF'};
    z.replace(22, 4, gross, 4);
    z.replace(z.indexOf("PK\x01\x02") + 24, 4, gross, 4);
    return test::schreiben(pfad, z);
}

class FeindlicheKursdatei : public testing::TestWithParam<Feindlich> {};

// The memory a rate file may cost the tool, in kB. AddressSanitizer's shadow memory and
// quarantine multiply what a process holds (a million rates: 550 MB with it, 57 MB without), so a
// build with it gets the room of a gigabyte, still far below what an unbounded read takes.
#if defined(__SANITIZE_ADDRESS__)
constexpr long hoechsterSpeicherKb = 1024 * 1024;
#else
constexpr long hoechsterSpeicherKb = 100 * 1024;
#endif

}  // namespace

TEST_P(FeindlicheKursdatei, WirdMitDeutscherMeldungUndWenigSpeicherAbgewiesen) {
    test::Datenbanken db;
    const Feindlich& f = GetParam();
    const QString pfad = db.ordner.filePath(QLatin1String(f.datei));
    if (!f.inhalt) vonHand(pfad);
    else if (pfad.endsWith(QStringLiteral(".zip"))) zipSchreiben(pfad, {{"eurofxref-hist.csv", f.inhalt()}});
    else test::schreiben(pfad, f.inhalt());
    // The tool run through this test program's mode --xov-speicher, which writes the tool's status
    // and its peak resident memory (getrusage) last to standard output: only the tool's memory counts.
    const QString werkzeug = QCoreApplication::applicationDirPath() + "/xov-db";
    const auto l = test::starten(QCoreApplication::applicationFilePath(), {"--xov-speicher", werkzeug, "kurse-einlesen", db.fa, pfad},
                                 120000);
    const QStringList zahlen = l.aus.trimmed().split(u'\n').last().split(u' ');
    const long maxRssKb = zahlen.value(1).toLong();
    EXPECT_EQ(zahlen.value(0), "1") << l.fehler.toStdString();
    EXPECT_TRUE(l.fehler.contains(QString::fromUtf8(f.meldung))) << l.fehler.toStdString();
    EXPECT_LT(maxRssKb, hoechsterSpeicherKb) << "höchster Speicher in kB";
}

INSTANTIATE_TEST_SUITE_P(Kursdatei, FeindlicheKursdatei, testing::ValuesIn(feindlich),
                         [](const testing::TestParamInfo<Feindlich>& i) { return std::string(i.param.name); });

namespace {

QByteArray csv(const QDate& tag, const QByteArray& kurs) {
    return "Date,USD,\n" + tag.toString(Qt::ISODate).toLatin1() + ',' + kurs + ",\n";
}
QByteArray xml(const QDate& tag, const QByteArray& kurs) {
    return "<E><Cube><Cube time='" + tag.toString(Qt::ISODate).toLatin1() + "'><Cube currency='USD' rate='" + kurs + "'/>" +
           "</Cube></Cube></E>";
}

// A file's content as the parser takes it: refused with a message containing `meldung`, or read
// with `datum` as its first day and `kurs` as that day's first rate.
struct Inhalt {
    std::string name;
    QByteArray text;
    QString meldung;
    QDate datum = {};
    double kurs = 0;
};
void PrintTo(const Inhalt& i, std::ostream* os) { *os << i.name; }

std::vector<Inhalt> inhalte() {
    std::vector<Inhalt> v;
    const QDate tag(2024, 1, 2);
    // One number syntax in both formats: what the CSV refuses, the XML refuses too.
    const std::tuple<const char*, const char*, bool> zahlen[] = {
        {"Dezimalpunkt", "1.0811", true}, {"Ganzzahl", "163", true},      {"Exponent", "1.1e2", false}, {"Vorzeichen", "+1.5", false},
        {"OhneVorkomma", ".5", false},    {"OhneNachkomma", "1.", false}, {"Null", "0.0", false},       {"Unendlich", "inf", false},
        {"Hexadezimal", "0x1p3", false},  {"ZweiPunkte", "1.2.3", false},
    };
    for (const auto& [name, zahl, gut] : zahlen) {
        const QString meldung = gut ? QString() : QStringLiteral("\"%1\" ist kein gültiger Kurs").arg(zahl);
        v.push_back({name + std::string("Csv"), csv(tag, zahl), meldung, tag, QByteArray(zahl).toDouble()});
        v.push_back({name + std::string("Xml"), xml(tag, zahl), meldung, tag, QByteArray(zahl).toDouble()});
    }
    // Days from 1999 to a year from today only.
    const QDate grenze = QDate::currentDate().addYears(1);
    v.push_back({"Erster1999", csv(QDate(1999, 1, 4), "1.5"), {}, QDate(1999, 1, 4), 1.5});
    v.push_back({"InEinemJahr", csv(grenze, "1.5"), {}, grenze, 1.5});
    const QDate danach = grenze.addDays(1);
    const QString zwischen = " liegt nicht zwischen dem 01.01.1999 und dem " + grenze.toString("dd.MM.yyyy") + ";";
    v.push_back({"Vor1999", csv(QDate(1998, 12, 31), "1.5"), "k, Zeile 2: das Datum 31.12.1998" + zwischen});
    v.push_back({"NachEinemJahr", csv(danach, "1.5"), "k, Zeile 2: das Datum " + danach.toString("dd.MM.yyyy") + zwischen});
    v.push_back({"Jahr9999Xml", xml(QDate(9999, 12, 31), "1.5"), "das Datum 31.12.9999" + zwischen});
    // Control and invisible characters shown in the message, a long text cut.
    v.push_back({"Steuerzeichen", QByteArray("Date,USD,\n2024-01-02,1.\0" "5\x1b,\n", 28), "\"1.\\x005\\x1B\" ist kein gültiger Kurs"});
    v.push_back({"Unsichtbar", "Date,U\t\xE2\x80\x8B,\n", "\"U\\x09\\u200B\" ist kein Währungscode"});
    v.push_back({"Gekuerzt", "Date," + QByteArray(100, 'x') + ",\n", '"' + QString(60, u'x') + "…\" ist kein Währungscode"});
    // UTF-16 with its byte order mark, little and big endian, and UTF-8 with a mark, in both
    // formats; a rate not quoted (N/A) is left out.
    const QByteArray mitNa = "Date,JPY,USD,\n2024-01-02,N/A,1.5,\n";
    for (const auto& [name, kodierung] : {std::pair{"Utf16LE", QStringEncoder::Utf16LE}, {"Utf16BE", QStringEncoder::Utf16BE}}) {
        const auto mitMarke = QStringEncoder::Flag::WriteBom;
        v.push_back({name + std::string("Csv"), QStringEncoder(kodierung, mitMarke)(QString::fromLatin1(mitNa)), {}, tag, 1.5});
        v.push_back({name + std::string("Xml"), QStringEncoder(kodierung, mitMarke)(QString(xml(tag, "1.5"))), {}, tag, 1.5});
    }
    v.push_back({"Utf8MitMarkeCsv", "\xEF\xBB\xBF" + mitNa, {}, tag, 1.5});
    v.push_back({"Utf8MitMarkeXml", "\xEF\xBB\xBF" + xml(tag, "1.5"), {}, tag, 1.5});
    return v;
}

class Kursinhalt : public testing::TestWithParam<Inhalt> {};

}  // namespace

TEST_P(Kursinhalt, WirdGelesenOderMitMeldungAbgewiesen) {
    const Inhalt& i = GetParam();
    if (!i.meldung.isEmpty()) {
        const QString text = test::fehlerVon([&] { xov::kurseAusInhalt(i.text, QStringLiteral("k")); }).beschreibung();
        EXPECT_TRUE(text.contains(i.meldung)) << text.toStdString();
        return;
    }
    const auto tage = xov::kurseAusInhalt(i.text, QStringLiteral("k"));
    ASSERT_EQ(tage.size(), 1);
    EXPECT_EQ(tage.first().datum, i.datum);
    EXPECT_EQ(tage.first().kurse, (QVector<QPair<QString, double>>{{"USD", i.kurs}}));
}

INSTANTIATE_TEST_SUITE_P(Kursdatei, Kursinhalt, testing::ValuesIn(inhalte()),
                         [](const testing::TestParamInfo<Inhalt>& i) { return i.param.name; });

// Zips; files cut off halfway, read by the tool, add nothing and name the place; a failure while
// writing takes back what the same file wrote before it; the tool's period up to a day. Then the
// year 2024 into four currencies of which USD holds a rate of its own on 31 December: what is
// counted and stored, and the rate valid at a date, as a host asks it and as the tool prints it.
TEST(Referenzkurse, EinlesenZaehltJeWaehrungUndGibtDenKursZumDatum) {
    // The currency page holds USD, IDR, HRK (not quoted in 2024) and SEK, each with one typed rate
    // of 1 December 2023.
    test::Datenbanken db;
    db.faSql("DELETE FROM AllgWaehrung");
    for (int wid = 1; const char* c : {"USD", "IDR", "HRK", "SEK"})
        test::waehrung(db, wid++, c, "Name", "XX", {{QDate(2023, 12, 1), 2, 0.5}});
    const auto anzahl = [&db] { return db.faWert("SELECT count(*) FROM AllgWaehrung").toInt(); };
    const auto einlesen = [&db](const QString& datei) {
        auto v = xov::verbindungOeffnen(db.fa, xov::DbPasswort);
        return xov::kurseEinlesen(*v, xov::kursdateiLesen(datei), xov::gespeicherteWaehrungen(*v), {});
    };
    // A zip holds one file, a folder beside it aside; a zip inside it is not unpacked further.
    EXPECT_EQ(xov::kursdateiLesen(zipSchreiben(db.ordner.filePath("t"), {{"o/", {}}, {"o/t", inhaltVon(test::xmlTag)}})).size(), 1);
    const QString zip = zipSchreiben(db.ordner.filePath("ganz.zip"), {{"eurofxref-hist.csv", inhaltVon(csv2024)}});
    EXPECT_TRUE(test::fehlerVon([&] { xov::kursdateiLesen(zipSchreiben(db.ordner.filePath("a.zip"), {{"i.zip", inhaltVon(zip)}})); })
                    .beschreibung().contains("ist ein Zip-Archiv in einem Zip-Archiv"));
    for (const auto& [quelle, name] : {std::pair{csv2024, "halb.csv"}, {test::xml90, "halb.xml"}, {zip, "halb.zip"}}) {
        const QByteArray inhalt = test::inhaltVon(quelle);
        const QString datei = test::schreiben(db.ordner.filePath(QLatin1String(name)), inhalt.left(inhalt.size() / 2));
        const auto l = xovDb({"kurse-einlesen", db.fa, datei});
        EXPECT_EQ(l.status, 1);
        EXPECT_TRUE(l.fehler.contains(datei.endsWith(".zip") ? datei : datei + ", Zeile ")) << l.fehler.toStdString();
        EXPECT_TRUE(l.aus.isEmpty());
        EXPECT_EQ(anzahl(), 4);
    }
    db.faSql("CREATE TRIGGER halt BEFORE INSERT ON AllgWaehrung WHEN NEW.AenderDatum = '2024-06-03' "
             "BEGIN SELECT RAISE(ABORT, 'halt'); END");
    EXPECT_THROW(einlesen(csv2024), xov::Fehler);
    EXPECT_EQ(anzahl(), 4);
    db.faSql("DROP TRIGGER halt");
    auto l = xovDb({"kurse-einlesen", db.fa, csv2024, "--ab", "01.12.2024", "--bis", "01.11.2024"});
    EXPECT_EQ(l.status, 1) << l.aus.toStdString();
    EXPECT_TRUE(l.fehler.contains(QStringLiteral("--bis 01.11.2024 liegt vor --ab 01.12.2024"))) << l.fehler.toStdString();
    l = xovDb({"kurse-einlesen", db.fa, csv2024, "--bis", "2024-03-31"});
    ASSERT_EQ(l.status, 0) << l.fehler.toStdString();
    EXPECT_TRUE(l.aus.startsWith(QStringLiteral("USD: 63 hinzugefügt, 0 behalten, 0 übersprungen\n"))) << l.aus.toStdString();

    test::waehrung(db, 1, "USD", "Name", "XX", {{QDate(2024, 12, 31), 1.1, 0.9}});
    EXPECT_EQ(xov::bilanzZeilen(einlesen(csv2024)), (QStringList{"USD: 192 hinzugefügt, 64 behalten, 0 übersprungen",
                                                                    "IDR: 193 hinzugefügt, 63 behalten, 0 übersprungen",
                                                                    "HRK: 0 hinzugefügt, 0 behalten, 256 übersprungen",
                                                                    "SEK: 193 hinzugefügt, 63 behalten, 0 übersprungen"}));
    EXPECT_EQ(anzahl(), 5 + 3 * 256 - 1);
    // Name and country code of the currency are repeated in the new records.
    EXPECT_EQ(db.faWert("SELECT count(*) FROM AllgWaehrung WHERE WaehrungscodeBezeichnung = 'Name' AND Laenderkennzeichen = 'XX'").toInt(),
              anzahl());
    // 1 January 2024 has no rate of its own: the rate typed on 1 December 2023 applies.
    EXPECT_EQ(xov::kursZumDatum(db.fa, "usd", QDate(2024, 1, 1)).datum, QDate(2023, 12, 1));
    // The reciprocal of a rupiah rate keeps its places: 4 places would give 0.0001, an error of 68 %.
    EXPECT_EQ(xov::kursZumDatum(db.fa, "IDR", QDate(2024, 12, 31)).fremdinEuro, 0.0000594499);  // of 16820,88
    // Before the first rate: an error instead of a stand-in rate.
    EXPECT_EQ(test::fehlerVon([&] { xov::kursZumDatum(db.fa, "USD", QDate(2023, 11, 30)); }).nummer(),
              xov::FehlerNr::KeinAktuellerDatensatz);
    // The tool: on Easter Saturday the rate of Maundy Thursday with both values, a warning on an
    // old one (more than 7 days), and status 1 with the message for a currency without any.
    l = xovDb({"kurs", db.fa, "USD", "30.03.2024"});
    EXPECT_EQ(l.status, 0);
    EXPECT_EQ(l.aus, QStringLiteral("USD am 30.03.2024: Kurs vom 28.03.2024, EuroinFremd 1,0811, FremdinEuro 0,9249838128\n"));
    l = xovDb({"kurs", db.fa, "USD", "2025-01-15"});  // the typed rate of 31.12.2024, kept by the read-in
    EXPECT_EQ(l.aus, QStringLiteral("USD am 15.01.2025: Kurs vom 31.12.2024, EuroinFremd 1,1, FremdinEuro 0,9\n"
                                    "Warnung: der Kurs ist 15 Tage alt (mehr als 7 Tage); bitte prüfen, ob ein neuerer fehlt.\n"));
    l = xovDb({"kurs", db.fa, "CHF", "2024-04-12"});
    EXPECT_EQ(l.status, 1);
    EXPECT_TRUE(l.fehler.contains(QStringLiteral("Für die Währung CHF gibt es keinen Kurs am oder vor dem 12.04.2024.")))
        << l.fehler.toStdString();
    // XML, five days a currency.
    EXPECT_EQ(einlesen(test::xml90).at(0).hinzugefuegt, 5);
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
