// Long commands of the database tool show how far they are on a terminal, on one line that is
// rewritten, and nothing at all when their output goes to a file or a pipe.

#include "Hilfen.h"
#include "kurse/LangeKursdatei.h"

namespace {

// The tool on a terminal of its own, as an administrator sees it (script gives it one).
QString amTerminal(const QStringList& argumente) {
    QStringList befehl{QCoreApplication::applicationDirPath() + QStringLiteral("/xov-db")};
    for (const QString& a : argumente) befehl << QLatin1Char('\'') + a + QLatin1Char('\'');
    return test::starten(QStringLiteral("script"), {QStringLiteral("-qefc"), befehl.join(u' '), QStringLiteral("/dev/null")}, 120000)
        .aus;
}

}  // namespace

TEST(Fortschritt, ZeileAmTerminalUndNichtsInEinerDatei) {
    test::Datenbanken db;
    const QString datei = test::langeKursdatei(db.ordner.path(), 1200);
    const QString terminal = amTerminal({"kurse-einlesen", db.fa, datei});
    EXPECT_TRUE(terminal.contains(QStringLiteral("\rKurse einlesen: 1.200 von 1.200 Tagen"))) << terminal.toStdString();
    EXPECT_TRUE(terminal.contains(QStringLiteral("USD: 1200 hinzugefügt"))) << terminal.toStdString();

    const test::Lauf l = test::xovDb({"kurse-einlesen", db.fa, datei, "--ersetzen"});
    EXPECT_EQ(l.status, 0) << l.fehler.toStdString();
    EXPECT_FALSE(l.fehler.contains(QStringLiteral("Kurse einlesen:"))) << l.fehler.toStdString();
    EXPECT_FALSE(l.aus.contains(QLatin1Char('\r')));

    // Copying counts its records.
    const QString kopie = amTerminal({"kopieren", db.fa, db.ordner.filePath(QStringLiteral("kopie.db"))});
    EXPECT_TRUE(kopie.contains(QStringLiteral("\rKopieren: "))) << kopie.toStdString();
    EXPECT_TRUE(kopie.contains(QStringLiteral("Datensätzen"))) << kopie.toStdString();
}
