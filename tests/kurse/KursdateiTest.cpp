// Rate files as an attacker or a careless download delivers them: each is refused at once with a
// German message, the tool ends with status 1, holds less than 100 MB while refusing it and leaves
// the database as it was. And what the parser reads or refuses: numbers, days, the spellings a
// real file may take (byte order marks, UTF-16), control characters in its messages, zips.

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
        v.push_back({name + std::string("Xml"), QStringEncoder(kodierung, mitMarke)(QString::fromLatin1(xml(tag, "1.5"))), {}, tag, 1.5});
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
        const QString text = fehlerVon([&] { xov::kurseAusInhalt(i.text, QStringLiteral("k")); }).beschreibung();
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

TEST(Kursdatei, ZipMitGenauEinerDateiCsvOderXml) {
    QTemporaryDir ordner;
    EXPECT_EQ(xov::kursdateiLesen(zipSchreiben(ordner.filePath("tag.zip"), {{"ordner/", {}}, {"ordner/eurofxref.xml", inhaltVon(xmlTag)}})).size(), 1);
    EXPECT_THROW(xov::kursdateiLesen(zipSchreiben(ordner.filePath("leer.zip"), {{"nur-ordner/", {}}})), xov::Fehler);
    // A zip inside the zip is not unpacked further.
    const QString innen = zipSchreiben(ordner.filePath("innen.zip"), {{"eurofxref.csv", inhaltVon(csv2024)}});
    EXPECT_TRUE(fehlerVon([&] { xov::kursdateiLesen(zipSchreiben(ordner.filePath("aussen.zip"), {{"innen.zip", inhaltVon(innen)}})); })
                    .beschreibung().contains(QStringLiteral("ist ein Zip-Archiv in einem Zip-Archiv")));
}
