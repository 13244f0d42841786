// The connections a host keeps between its calls of the dialog must never show what is no
// longer there: a file replaced or keyed anew is read afresh, another process's password step
// after a call is not held up, and a server connection the server dropped is opened anew.

#include "Hilfen.h"
#include "component/Aufrufinformation.h"
#include "form/InputFeld.h"
#include "platform/Datenbank.h"
#include "platform/Fehlerhilfe.h"
#include "services/Verbindungsvorrat.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace xov;

namespace {

// One call of the dialog as a host's Mand_Aufruf makes it (without the modal loop): the client's
// town as the dialog shows it, and every message it gave.
struct Aufrufergebnis {
    QString ort;
    QStringList meldungen;
};
Aufrufergebnis aufrufen(const QVariantList& info) {
    test::Meldungen meldungen;
    Aufruf aufruf = aufrufUebernehmen(info);
    Aufrufergebnis e;
    {
        frmMandStamm form(aufruf);
        const Vorratsnutzung vorrat(&form);
        form.Form_Load();
        e.ort = form.feld(QStringLiteral("inpMandOrt"))->text();
    }
    e.meldungen = meldungen.texte;
    return e;
}

class Verbindungsvorrat_ : public ::testing::Test {
protected:
    void SetUp() override { Verbindungsvorrat::prozess().leeren(); }
    void TearDown() override { Verbindungsvorrat::prozess().leeren(); }
};

}  // namespace

TEST_F(Verbindungsvorrat_, DateiZwischenZweiAufrufenErsetztOderNeuVerschluesseltWirdFrischGelesen) {
    test::Datenbanken db;
    auto& vorrat = Verbindungsvorrat::prozess();
    EXPECT_EQ(aufrufen(test::info(db)).ort, QStringLiteral("Wien"));
    // Unchanged, the next call takes the kept connection.
    const auto behalten = vorrat.oeffnen({db.mand, DbPasswort});
    vorrat.ruhen();
    EXPECT_EQ(vorrat.oeffnen({db.mand, DbPasswort}), behalten);
    vorrat.ruhen();

    // Restored from another copy: the same path, another file.
    test::Datenbanken sicherung;
    sicherung.mandSql(QStringLiteral("UPDATE AllgMandDaten SET MandOrt = 'Graz'"));
    ASSERT_TRUE(QFile::remove(db.mand));
    ASSERT_TRUE(QFile::copy(sicherung.mand, db.mand));
    const Aufrufergebnis ersetzt = aufrufen(test::info(db));
    EXPECT_EQ(ersetzt.ort, QStringLiteral("Graz"));
    EXPECT_TRUE(ersetzt.meldungen.isEmpty()) << ersetzt.meldungen.join('|').toStdString();

    // Keyed anew in place by someone else: the kept key no longer opens it, nor does the call's.
    verbindungOeffnen(db.mand, DbPasswort)->ausfuehren(QStringLiteral("PRAGMA rekey = 'anders4711'"));
    EXPECT_EQ(test::nummerVon([&] { vorrat.oeffnen({db.mand, DbPasswort}); }), FehlerNr::FalschesPasswort);
}

TEST_F(Verbindungsvorrat_, PasswortschrittEinesAnderenProzessesNachDemAufrufWirdNichtAufgehalten) {
    XOV_NUR_DATEI("Passwortschritt und Dateisperren");
    test::Datenbanken db(2024, {}, true, QString());  // without password
    test::Zweitprozess anderer;
    ASSERT_TRUE(anderer.bereit());
    // While the other process has it open, the call's own step leaves it plain; the call reads it so.
    ASSERT_EQ(anderer.befehl({"oeffnen", db.mand, DbPasswort}), QStringLiteral("ok"));
    EXPECT_EQ(aufrufen(test::info(db)).ort, QStringLiteral("Wien"));
    EXPECT_FALSE(test::verschluesselt(db.mand));
    // The other process writes on; what it wrote survives the step once nobody has the file open.
    EXPECT_EQ(anderer.befehl({"sql", db.mand, DbPasswort, "UPDATE AllgMandDaten SET MandOrt = 'Graz'"}), QStringLiteral("ok"));
    ASSERT_EQ(anderer.befehl({"schliessen"}), QStringLiteral("ok"));

    // The call has ended: the kept connection must not make the other process's step skip.
    EXPECT_EQ(anderer.befehl({"passwort", db.mand}), QStringLiteral("ok\t\t"));  // no message
    EXPECT_TRUE(test::verschluesselt(db.mand));
    const Aufrufergebnis danach = aufrufen(test::info(db));
    EXPECT_EQ(danach.ort, QStringLiteral("Graz"));
    EXPECT_TRUE(danach.meldungen.isEmpty()) << danach.meldungen.join('|').toStdString();
}

TEST_F(Verbindungsvorrat_, VomServerZwischenZweiAufrufenBeendeteVerbindungWirdNeuAufgebaut) {
    XOV_SERVER_NOETIG(test::Engine::Server);
    test::Datenbanken db(test::Engine::Server);
    EXPECT_EQ(aufrufen(test::info(db)).ort, QStringLiteral("Wien"));
    // What a restart of the server does to the sessions it had: ended, the client not told.
    for (const QString& d : {db.mand, db.fa})
        verbindungOeffnen(d, DbPasswort)
            ->abfragen(QStringLiteral("SELECT pg_terminate_backend(pid) FROM pg_stat_activity WHERE datname = current_database() "
                                      "AND pid <> pg_backend_pid()"));
    db.mandSql(QStringLiteral("UPDATE AllgMandDaten SET MandOrt = 'Linz'"));
    const Aufrufergebnis danach = aufrufen(test::info(db));
    EXPECT_EQ(danach.ort, QStringLiteral("Linz"));
    EXPECT_TRUE(danach.meldungen.isEmpty()) << danach.meldungen.join('|').toStdString();
}
