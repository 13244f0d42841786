// Rate files as an attacker or a careless download delivers them: each is refused at once with a
// German message, the tool ends with status 1, holds less than 100 MB while refusing it and leaves
// the database as it was. And the spellings a real file may take (byte order marks, UTF-16).

#include "Hilfen.h"
#include "kurse/Kurs.h"
#include "kurse/Kursdatei.h"
#include "kurse/Kursdateien.h"
#include "platform/Datenbank.h"
#include "platform/Fehlerhilfe.h"

#include <QCoreApplication>
#include <QProcess>
#include <QStringEncoder>
#include <gtest/gtest.h>

using test::csv2024;
using test::fehlerVon;
using test::inhaltVon;
using test::Lauf;
using test::xmlTag;
using test::xovDb;
using test::zipSchreiben;

namespace {

// Runs xov-db through this test program's mode --xov-speicher, which writes the tool's status and
// peak resident memory (getrusage) to standard output, so that only the tool's memory counts.
test::Lauf xovDbMessen(const QStringList& argumente, long* maxRssKb) {
    QProcess p;
    p.start(QCoreApplication::applicationFilePath(),
            QStringList{QStringLiteral("--xov-speicher"), QCoreApplication::applicationDirPath() + QStringLiteral("/xov-db")} + argumente);
    p.waitForFinished(120000);
    const QStringList zahlen = QString::fromUtf8(p.readAllStandardOutput()).trimmed().split(u'\n').last().split(u' ');
    *maxRssKb = zahlen.value(1).toLong();
    return {zahlen.size() == 2 ? zahlen.at(0).toInt() : -1, {}, QString::fromUtf8(p.readAllStandardError())};
}

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
    const int vorher = db.faWert("SELECT count(*) FROM AllgWaehrung").toInt();
    const Feindlich& f = GetParam();
    const QString pfad = db.ordner.filePath(QLatin1String(f.datei));
    if (!f.inhalt) vonHand(pfad);
    else if (pfad.endsWith(QStringLiteral(".zip"))) zipSchreiben(pfad, {{"eurofxref-hist.csv", f.inhalt()}});
    else test::schreiben(pfad, f.inhalt());
    long maxRssKb = 0;
    const test::Lauf l = xovDbMessen({QStringLiteral("kurse-einlesen"), db.fa, pfad}, &maxRssKb);
    EXPECT_EQ(l.status, 1) << l.fehler.toStdString();
    EXPECT_TRUE(l.fehler.contains(QString::fromUtf8(f.meldung))) << l.fehler.toStdString();
    EXPECT_LT(maxRssKb, hoechsterSpeicherKb) << "höchster Speicher in kB";
    RecordProperty("hoechsterSpeicherKb", std::to_string(maxRssKb));
    EXPECT_EQ(db.faWert("SELECT count(*) FROM AllgWaehrung").toInt(), vorher);
}

INSTANTIATE_TEST_SUITE_P(Kursdatei, FeindlicheKursdatei, testing::ValuesIn(feindlich),
                         [](const testing::TestParamInfo<Feindlich>& i) { return std::string(i.param.name); });

namespace {

struct Zahl {
    const char* name;
    const char* text;
    bool gueltig;
};

const Zahl zahlen[] = {
    {"Dezimalpunkt", "1.0811", true}, {"Ganzzahl", "163", true},      {"Exponent", "1.1e2", false}, {"Vorzeichen", "+1.5", false},
    {"OhneVorkomma", ".5", false},    {"OhneNachkomma", "1.", false}, {"Null", "0.0", false},       {"Unendlich", "inf", false},
    {"Hexadezimal", "0x1p3", false},  {"ZweiPunkte", "1.2.3", false},
};

class Kurszahl : public testing::TestWithParam<Zahl> {};

}  // namespace

// One syntax in both formats: what the CSV refuses, the XML refuses too.
TEST_P(Kurszahl, GleicheSchreibweiseInCsvUndXml) {
    const Zahl& z = GetParam();
    const QByteArray csv = "Date,USD,\n2024-01-02," + QByteArray(z.text) + ",\n";
    const QByteArray xml = "<?xml version=\"1.0\"?><E><Cube><Cube time=\"2024-01-02\"><Cube currency=\"USD\" rate=\"" + QByteArray(z.text) +
                           "\"/></Cube></Cube></E>";
    for (const QByteArray& inhalt : {csv, xml}) {
        if (z.gueltig)
            EXPECT_EQ(xov::kurseAusInhalt(inhalt, QStringLiteral("k")).value(0).kurse.value(0).second, QByteArray(z.text).toDouble());
        else
            EXPECT_TRUE(fehlerVon([&] { xov::kurseAusInhalt(inhalt, QStringLiteral("k")); }).beschreibung().contains(QStringLiteral("ist kein gültiger Kurs")))
                << "angenommen: " << inhalt.constData();
    }
}

INSTANTIATE_TEST_SUITE_P(Kursdatei, Kurszahl, testing::ValuesIn(zahlen),
                         [](const testing::TestParamInfo<Zahl>& i) { return std::string(i.param.name); });

TEST(Kursdatei, DatumNurZwischen1999UndEinemJahrNachHeute) {
    const auto lesen = [](const QDate& d) {
        return xov::kurseAusInhalt("Date,USD,\n" + d.toString(Qt::ISODate).toLatin1() + ",1.5,\n", QStringLiteral("k.csv"));
    };
    const QDate grenze = QDate::currentDate().addYears(1);
    for (const QDate gut : {QDate(1999, 1, 4), grenze}) EXPECT_EQ(lesen(gut).first().datum, gut);
    for (const QDate falsch : {QDate(9999, 12, 31), QDate(1998, 12, 31), grenze.addDays(1)}) {
        const QString text = fehlerVon([&] { lesen(falsch); }).beschreibung();
        EXPECT_TRUE(text.contains(QStringLiteral("k.csv, Zeile 2: das Datum"))) << text.toStdString();
        EXPECT_TRUE(text.contains(QStringLiteral("liegt nicht zwischen dem 01.01.1999 und dem"))) << text.toStdString();
    }
    const QByteArray xml = "<E><Cube><Cube time='9999-12-31'><Cube currency='USD' rate='1.5'/></Cube></Cube></E>";
    EXPECT_THROW(xov::kurseAusInhalt(xml, QStringLiteral("k.xml")), xov::Fehler);
}

TEST(Kursdatei, SteuerzeichenErscheinenSichtbarInDerMeldung) {
    EXPECT_TRUE(fehlerVon([] { xov::kurseAusInhalt(QByteArray("Date,USD,\n2024-01-02,1.\0" "5\x1b,\n", 28), QStringLiteral("k.csv")); })
                    .beschreibung().contains(QStringLiteral("\"1.\\x005\\x1B\" ist kein gültiger Kurs")));
    EXPECT_EQ(xov::sichtbar(QStringLiteral("a\tb\u200Bc")), QStringLiteral("a\\x09b\\u200Bc"));
    EXPECT_EQ(xov::sichtbar(QString(100, u'x'), 5), QStringLiteral("xxxxx…"));
}

// UTF-16 with its byte order mark, little and big endian, in both formats: the same days as UTF-8.
TEST(Kursdatei, KodierungNachByteOrderMark) {
    const QByteArray xml = inhaltVon(xmlTag);
    const QByteArray csv = "Date,USD,JPY,\n2024-12-31,1.0389,163.06,\n2024-12-30,1.0444,N/A,\n";
    for (const auto kodierung : {QStringEncoder::Utf16LE, QStringEncoder::Utf16BE}) {
        const auto utf16 = [kodierung](const QString& t) -> QByteArray { return QStringEncoder(kodierung, QStringEncoder::Flag::WriteBom)(t); };
        const auto tage = xov::kurseAusInhalt(utf16(QString::fromUtf8(xml).replace("UTF-8", "UTF-16")), QStringLiteral("utf16.xml"));
        ASSERT_EQ(tage.size(), 1);
        EXPECT_EQ(tage.first().datum, QDate(2026, 10, 2));
        EXPECT_EQ(tage.first().kurse.size(), 5);
        const auto tageCsv = xov::kurseAusInhalt(utf16(QString::fromUtf8(csv)), QStringLiteral("utf16.csv"));
        ASSERT_EQ(tageCsv.size(), 2);
        EXPECT_EQ(tageCsv.at(1).kurse, (QVector<QPair<QString, double>>{{QStringLiteral("USD"), 1.0444}}));
    }
    // A UTF-8 mark before XML and before CSV.
    EXPECT_EQ(xov::kurseAusInhalt("\xEF\xBB\xBF" + xml, QStringLiteral("bom.xml")).size(), 1);
    EXPECT_EQ(xov::kurseAusInhalt("\xEF\xBB\xBF" + csv, QStringLiteral("bom.csv")).size(), 2);
}

TEST(Kursdatei, ZipMitGenauEinerDateiCsvOderXml) {
    QTemporaryDir ordner;
    EXPECT_EQ(xov::kursdateiLesen(zipSchreiben(ordner.filePath("tag.zip"), {{"ordner/", {}}, {"ordner/eurofxref.xml", inhaltVon(xmlTag)}})).size(), 1);
    EXPECT_THROW(xov::kursdateiLesen(zipSchreiben(ordner.filePath("leer.zip"), {{"nur-ordner/", {}}})), xov::Fehler);
    // A zip inside the zip is not unpacked further.
    const QString innen = zipSchreiben(ordner.filePath("innen.zip"), {{"eurofxref.csv", inhaltVon(csv2024)}});
    EXPECT_TRUE(fehlerVon([&] { xov::kursdateiLesen(zipSchreiben(ordner.filePath("aussen.zip"), {{"innen.zip", inhaltVon(innen)}})); })
                    .beschreibung().contains(QStringLiteral("ist ein Zip-Archiv in einem Zip-Archiv")));
}
