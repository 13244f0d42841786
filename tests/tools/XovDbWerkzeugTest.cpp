// The database tool run as the administrator runs it: as a process, on real files. It never
// changes a file it was not asked to create or fill, and says in one German sentence why not.

#include "Hilfen.h"

using test::Lauf;
using test::xovDb;

namespace {

// A refused command. In its arguments {m} and {f} stand for filled demo files, {leer} for a 0-byte
// file, {neu}, {neu2} and {ordner}/fehlt/ for paths where nothing is; `genannt` the file its
// sentence names.
struct Abweisung {
    const char* name;
    QStringList argumente;
    const char* genannt;
};
void PrintTo(const Abweisung& a, std::ostream* os) { *os << a.name; }

const Abweisung abweisungen[] = {
    {"DemoJahrKeineZahl", {"demo", "{neu}", "{neu2}", "abc"}, ""},
    {"DemoJahrNegativ", {"demo", "{neu}", "{neu2}", "-5"}, ""},
    {"DemoOrdnerFehlt", {"demo", "{neu}", "{ordner}/fehlt/g.db"}, ""},
    {"DemoZweimalDieselbe", {"demo", "{neu}", "{neu}"}, "{neu}"},
    // a filled client database; its missing (mistyped) partner is not created either
    {"DemoInGefuellte", {"demo", "{m}", "{neu2}", "2023"}, "{m}"},
    {"DemoInLeereDatei", {"demo", "{leer}", "{neu2}"}, "{leer}"},  // no database of the suite
    {"AnlegenNebenVorhandener", {"anlegen", "{neu}", "{f}"}, "{f}"},
    {"ErgaenzenEinerGemeinsamen", {"felder-ergaenzen", "{f}"}, "{f}"},
};

QByteArray dateiinhalt(const QString& pfad) {
    QFile f(pfad);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class Abgewiesen : public testing::TestWithParam<Abweisung> {};

}  // namespace

TEST_P(Abgewiesen, InEinemSatzUndJedeDateiBleibtWieSieWar) {
    test::Datenbanken db;
    QFile(db.ordner.filePath(QStringLiteral("leer.db"))).open(QIODevice::WriteOnly);
    const auto einsetzen = [&](QString t) {
        return t.replace("{m}", db.mand).replace("{f}", db.fa).replace("{leer}", db.ordner.filePath("leer.db"))
            .replace("{neu2}", db.ordner.filePath("neu2.db")).replace("{neu}", db.ordner.filePath("neu.db")).replace("{ordner}", db.ordner.path());
    };
    const QByteArray m = dateiinhalt(db.mand), f = dateiinhalt(db.fa);
    QStringList argumente;
    for (const QString& a : GetParam().argumente) argumente << einsetzen(a);
    const Lauf l = xovDb(argumente);
    EXPECT_EQ(l.status, 1);
    EXPECT_EQ(l.fehler.trimmed().count(u'\n'), 0) << l.fehler.toStdString();
    EXPECT_TRUE(l.fehler.contains(einsetzen(QString::fromUtf8(GetParam().genannt)))) << l.fehler.toStdString();
    EXPECT_FALSE(l.fehler.contains(QStringLiteral("Fehler 3"))) << l.fehler.toStdString();
    EXPECT_EQ(QDir(db.ordner.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList({"gemeinsam.db", "leer.db", "mandant.db"}));  // nothing half-created
    EXPECT_EQ(dateiinhalt(db.mand), m);
    EXPECT_EQ(dateiinhalt(db.fa), f);
    EXPECT_EQ(QFileInfo(db.ordner.filePath("leer.db")).size(), 0);
}

INSTANTIATE_TEST_SUITE_P(XovDbWerkzeug, Abgewiesen, testing::ValuesIn(abweisungen),
                         [](const testing::TestParamInfo<Abweisung>& i) { return std::string(i.param.name); });

// An empty database of the suite (created by `anlegen`) is filled; the missing partner is created.
TEST(XovDbWerkzeug, DemoFuelltEineLeereDatenbankUndLegtDieFehlendeAn) {
    QTemporaryDir ordner;
    const QString mand = ordner.filePath("m.db"), fa = ordner.filePath("g.db");
    ASSERT_EQ(xovDb({"anlegen", mand, fa}).status, 0);
    QFile::remove(fa);
    EXPECT_EQ(xovDb({"demo", mand, fa, "2023"}).status, 0);
    EXPECT_EQ(test::gespeichert(mand, "SELECT MandBuchjahr FROM AllgMandDaten"), "2023");
    EXPECT_TRUE(QFile::exists(fa));
}
