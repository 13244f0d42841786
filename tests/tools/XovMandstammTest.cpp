// The host program in unattended use: run as a process with --bilder, no box may wait; option
// values are checked before the call; the help is German throughout.

#include "Hilfen.h"

namespace {

using test::Lauf;

// The host program unattended, its data folder `daten` (a status of -1: it did not end in time or
// crashed); `anzeige` false: without any display (no platform named, DISPLAY empty).
Lauf host(const QStringList& argumente, const QString& daten, bool anzeige = true) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* v : {"QT_QPA_PLATFORM", "WAYLAND_DISPLAY", "QT_QPA_PLATFORMTHEME", "DISPLAY"})
        if (!anzeige) env.insert(QString::fromLatin1(v), QString());
    for (const char* v : {"XOV_DATEN", "XDG_RUNTIME_DIR", "USERPROFILE"}) env.insert(QString::fromLatin1(v), daten);
    return test::starten(QStringLiteral("xov-mandstamm"), argumente, 90000, env);
}

}  // namespace

// Without any display (no platform named, DISPLAY empty): the help (German throughout) and the
// option faults answer, because the options are read before a window system is needed; a faulty
// value is refused before the call, and nothing is created.
struct OhneAnzeige {
    const char* name;
    QStringList argumente;
    int status;
    const char* erwartet;  // in standard output for the help, in standard error otherwise
};
void PrintTo(const OhneAnzeige& o, std::ostream* os) { *os << o.name; }

class XovMandstammOhneAnzeige : public ::testing::TestWithParam<OhneAnzeige> {};

TEST_P(XovMandstammOhneAnzeige, AntwortetAufDeutsch) {
    QTemporaryDir daten;
    const Lauf l = host(GetParam().argumente, daten.path(), false);
    EXPECT_EQ(l.status, GetParam().status) << l.fehler.toStdString();
    EXPECT_TRUE((GetParam().status == 0 ? l.aus : l.fehler).contains(QString::fromUtf8(GetParam().erwartet))) << (l.aus + l.fehler).toStdString();
    EXPECT_FALSE(l.fehler.contains(QStringLiteral("display"))) << l.fehler.toStdString();
    for (const char* englisch : {"Usage:", "Options:", "Displays", "help on"}) EXPECT_FALSE(l.aus.contains(QLatin1String(englisch))) << englisch;
    EXPECT_TRUE(QDir(daten.path()).entryList(QDir::Files).isEmpty());  // nothing created
}

INSTANTIATE_TEST_SUITE_P(
    Faelle, XovMandstammOhneAnzeige,
    ::testing::Values(OhneAnzeige{"Hilfe", {"--help"}, 0, "Optionen:"},
                      OhneAnzeige{"JahrKeineZahl", {"--demo", "--jahr", "abc"}, 2, "--jahr \"abc\""},
                      OhneAnzeige{"MonatsstatusKeinTag", {"--demo", "--monatsstatus", "31.02.2024"}, 2, "--monatsstatus"},
                      OhneAnzeige{"SeiteKeineZahl", {"--demo", "--tabstripnr", "sieben"}, 2, "--tabstripnr"},
                      OhneAnzeige{"MandantLeer", {"--demo", "-m", ""}, 2, "--mandant"},
                      OhneAnzeige{"HilfeIdsKeineZahlen", {"--demo", "--hilfe-ids", "1,zwei"}, 2, "--hilfe-ids"},
                      OhneAnzeige{"UnbekannteOption", {"--gibtsnicht"}, 1, "Unbekannte Option"}),
    [](const auto& info) { return std::string(info.param.name); });

// The demo on the server, its databases created by the first run only; no box waits (a file that is
// no database: Pfade/KeineDatenbankdatei).
TEST(XovMandstamm, BilderOhneWartendeMeldung) {
    XOV_SERVER_NOETIG(test::Engine::Server);
    test::Serverdatenbanken s;
    const QString mand = s.neu("mand"), fa = s.neu("fa");
    QTemporaryDir daten;
    // Good data: every page, no message, status 0; the second run finds the databases there.
    for (const char* lauf : {"erster", "zweiter"}) {
        const Lauf l = host({"--demo", "-m", mand, "-f", fa, "--jahr", "2019", "--bilder", daten.filePath(lauf)}, daten.path());
        EXPECT_EQ(l.status, 0) << lauf << ": " << l.fehler.toStdString();
        EXPECT_FALSE(l.fehler.contains(QStringLiteral("Meldung"))) << l.fehler.toStdString();
        EXPECT_TRUE(QFile::exists(daten.filePath(QStringLiteral("%1/seite-8.png").arg(lauf))));
    }
    EXPECT_EQ(test::gespeichert(mand, "SELECT count(*) FROM AllgMandDaten"), "1");
    EXPECT_FALSE(QFile::exists(daten.filePath("mandant.db")));  // the files stay the default only

    // Without --jahr the account check speaks: written out, answered, and the run ends.
    const Lauf l = host({"-m", mand, "-f", fa, "--bilder", daten.filePath("jahr")}, daten.path());
    EXPECT_NE(l.status, -1) << "hängt";
    EXPECT_TRUE(QFile::exists(daten.filePath("jahr/seite-1.png")));
}
