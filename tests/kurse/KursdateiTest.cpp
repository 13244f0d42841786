// Rate files as an attacker or a careless download delivers them: each is refused at once with a
// German message, the tool ends with status 1, holds less than 100 MB while refusing it and leaves
// the database as it was. And the spellings a real file may take (byte order marks, UTF-16).

#include "Hilfen.h"
#include "kurse/Kursdateien.h"
#include "kurse/Kursdatei.h"
#include "platform/Fehlerhilfe.h"

#include <QCoreApplication>
#include <QProcess>
#include <QStringEncoder>
#include <gtest/gtest.h>

#include <functional>
#include <sys/stat.h>

using test::csv2024;
using test::fehlerVon;
using test::inhaltVon;
using test::xmlTag;
using test::zipSchreiben;

namespace {

struct Messung {
    int status = -1;
    long maxRssKb = 0;
    QString fehler;
};

// Runs xov-db and takes its peak resident memory from getrusage in a small process of its own
// (this test program's mode --xov-speicher), so that only the tool's memory counts.
Messung xovDbMessen(const QStringList& argumente) {
    QProcess p;
    p.start(QCoreApplication::applicationFilePath(),
            QStringList{QStringLiteral("--xov-speicher"), QCoreApplication::applicationDirPath() + QStringLiteral("/xov-db")} + argumente);
    Messung m;
    if (!p.waitForFinished(120000)) {
        p.kill();
        p.waitForFinished();
        return m;
    }
    const QStringList zahlen = QString::fromUtf8(p.readAllStandardOutput()).trimmed().split(u'\n').last().split(u' ');
    m.fehler = QString::fromUtf8(p.readAllStandardError());
    if (zahlen.size() == 2) {
        m.status = zahlen.at(0).toInt();
        m.maxRssKb = zahlen.at(1).trimmed().toLong();
    }
    return m;
}

struct Feindlich {
    const char* name;
    std::function<QString(const QString& ordner)> anlegen;  // the path to read
    const char* meldung;                                    // a part of the German message
};

QString datei(const QString& ordner, const char* name, const QByteArray& inhalt) {
    return test::schreiben(ordner + QLatin1Char('/') + QLatin1String(name), inhalt);
}

const QByteArray kopf = "Date,USD,JPY,\n";

const Feindlich feindlich[] = {
    {"ZipMitAchtzigMegabyteZeilenumbruechen",
     [](const QString& o) { return zipSchreiben(o + "/leer.zip", {{"eurofxref-hist.csv", kopf + QByteArray(80 * 1024 * 1024, '\n')}}); },
     "größer als 64 MB"},
    {"ZipDessenKopfVierGibibyteBehauptet",
     [](const QString& o) {
         const QString p = zipSchreiben(o + "/luege.zip", {{"eurofxref-hist.csv", inhaltVon(csv2024)}});
         QByteArray z = inhaltVon(p);
         // The uncompressed size in the local header (offset 22) and the central directory (offset 24).
         const char gross[4] = {'\xF0', '\xFF', '\xFF', '\xFF'};
         z.replace(22, 4, gross, 4);
         z.replace(z.indexOf("PK\x01\x02") + 24, 4, gross, 4);
         return test::schreiben(p, z);
     },
     "statt der angegebenen 4.294.967.280"},
    {"FifoWirdNichtGeoeffnet",
     [](const QString& o) {
         const QString p = o + QStringLiteral("/fifo");
         EXPECT_EQ(mkfifo(QFile::encodeName(p).constData(), 0600), 0);
         return p;
     },
     "ist eine benannte Pipe (FIFO), keine Kursdatei"},
    {"AchtzigMegabyteLeerzeilen", [](const QString& o) { return datei(o, "leer.csv", kopf + QByteArray(80 * 1024 * 1024, '\n')); },
     "größer als 64 MB"},
    {"NurDieKopfzeile", [](const QString& o) { return datei(o, "kopf.csv", kopf); }, "enthält keinen einzigen Kurs"},
    {"ZeileLaengerAlsEinMegabyte", [](const QString& o) { return datei(o, "lang.csv", kopf + QByteArray(2 * 1024 * 1024, '7')); },
     "Zeile 2: die Zeile ist länger als 1 MB"},
    {"ZweiCsvImZip",
     [](const QString& o) {
         return zipSchreiben(o + "/zwei.zip", {{"tag.csv", kopf + "2024-01-02,1.1,150,\n"}, {"eurofxref-hist.csv", inhaltVon(csv2024)}});
     },
     "enthält 2 Dateien (\"tag.csv\", \"eurofxref-hist.csv\"); erwartet ist genau eine Kursdatei"},
    {"MehrAlsHunderttausendTage",
     [](const QString& o) {
         QByteArray b = kopf;
         for (int i = 0; i <= 100'000; ++i) b += "2024-01-02,1.1,150,\n";
         return datei(o, "tage.csv", b);
     },
     "Zeile 100.002: die Datei enthält mehr als 100.000 Tage"},
    {"MehrAlsZweihundertWaehrungen",
     [](const QString& o) {
         QByteArray b = "Date";
         for (int i = 0; i < 201; ++i) b += ',' + QByteArray(1, char('A' + i / 26 % 26)) + char('A' + i % 26) + 'X';
         return datei(o, "breit.csv", b + "\n2024-01-02" + QByteArray(201, ',').replace(",", ",1") + '\n');
     },
     "die Datei nennt mehr als 200 Währungen"},
    {"MehrAlsEineMillionKurse",
     [](const QString& o) {
         QByteArray zeileKopf = "Date", zeile = "2024-01-02";
         for (int i = 0; i < 200; ++i) {
             zeileKopf += ',' + QByteArray(1, char('A' + i / 26 % 26)) + char('A' + i % 26) + 'Y';
             zeile += ",1";
         }
         QByteArray b = zeileKopf + '\n';
         for (int i = 0; i < 5001; ++i) b += zeile + '\n';
         return datei(o, "viele.csv", b);
     },
     "die Datei enthält mehr als 1.000.000 Kurse"},
};

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
    const QString pfad = GetParam().anlegen(db.ordner.path());
    const Messung m = xovDbMessen({QStringLiteral("kurse-einlesen"), db.fa, pfad});
    EXPECT_EQ(m.status, 1) << m.fehler.toStdString();
    EXPECT_TRUE(m.fehler.contains(QString::fromUtf8(GetParam().meldung))) << m.fehler.toStdString();
    EXPECT_LT(m.maxRssKb, hoechsterSpeicherKb) << "höchster Speicher in kB";
    RecordProperty("hoechsterSpeicherKb", std::to_string(m.maxRssKb));
    EXPECT_EQ(db.faWert("SELECT count(*) FROM AllgWaehrung").toInt(), vorher);
}

INSTANTIATE_TEST_SUITE_P(Kursdatei, FeindlicheKursdatei, testing::ValuesIn(feindlich),
                         [](const testing::TestParamInfo<Feindlich>& i) { return std::string(i.param.name); });

TEST(Kursdatei, DieEchteHistorieBleibtUnterDenGrenzen) {
    test::Datenbanken db;
    const Messung m = xovDbMessen({QStringLiteral("kurse-einlesen"), db.fa, csv2024});
    EXPECT_LT(m.maxRssKb, hoechsterSpeicherKb);
    EXPECT_EQ(m.status, 0) << m.fehler.toStdString();
}

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
    const auto lesen = [](const QString& datum) {
        return xov::kurseAusInhalt("Date,USD,\n" + datum.toLatin1() + ",1.5,\n", QStringLiteral("k.csv"));
    };
    EXPECT_EQ(lesen(QStringLiteral("1999-01-04")).first().datum, QDate(1999, 1, 4));
    const QDate grenze = QDate::currentDate().addYears(1);
    EXPECT_EQ(lesen(grenze.toString(Qt::ISODate)).first().datum, grenze);
    for (const QString& falsch : {QStringLiteral("9999-12-31"), QStringLiteral("1998-12-31"), grenze.addDays(1).toString(Qt::ISODate)}) {
        const QString text = fehlerVon([&] { lesen(falsch); }).beschreibung();
        EXPECT_TRUE(text.contains(QStringLiteral("k.csv, Zeile 2: das Datum"))) << falsch.toStdString() << ' ' << text.toStdString();
        EXPECT_TRUE(text.contains(QStringLiteral("liegt nicht zwischen dem 01.01.1999 und dem"))) << text.toStdString();
    }
    EXPECT_THROW(xov::kurseAusInhalt("<E><Cube><Cube time='9999-12-31'><Cube currency='USD' rate='1.5'/></Cube></Cube></E>",
                                     QStringLiteral("k.xml")),
                 xov::Fehler);
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
        QStringEncoder enc(kodierung, QStringEncoder::Flag::WriteBom);
        const QByteArray xml16 = enc(QString::fromUtf8(xml).replace(QStringLiteral("UTF-8"), QStringLiteral("UTF-16")));
        const auto tage = xov::kurseAusInhalt(xml16, QStringLiteral("utf16.xml"));
        ASSERT_EQ(tage.size(), 1);
        EXPECT_EQ(tage.first().datum, QDate(2026, 10, 2));
        EXPECT_EQ(tage.first().kurse.size(), 5);
        QStringEncoder enc2(kodierung, QStringEncoder::Flag::WriteBom);
        const auto tageCsv = xov::kurseAusInhalt(enc2(QString::fromUtf8(csv)), QStringLiteral("utf16.csv"));
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
