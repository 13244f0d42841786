// What only a database server brings: a server process that stalls, a server that goes away while
// the dialog is open and comes back, two workstations racing for one day's rate.

#include "Hilfen.h"
#include "form/InputFeld.h"
#include "platform/Datenbank.h"
#include "platform/Fehlerhilfe.h"
#include "tools/xov-db/Schema.h"

#include <csignal>

using namespace xov;
using test::fehlerVon;

namespace {

// A server of this test's own, which it may stop and start again.
class EigenerServer {
public:
    EigenerServer() {
        const QString aus = skript(QStringLiteral("pg_cluster_starten; echo \"ORDNER=$PG_ORDNER\""));
        const auto m = QRegularExpression(QStringLiteral("Testserver: (\\S+) in .*\\nORDNER=(\\S+)")).match(aus);
        if (m.hasMatch()) { adresse = m.captured(1); m_ordner = m.captured(2); }
    }
    ~EigenerServer() {
        if (!m_ordner.isEmpty()) skript(QStringLiteral("PG_ORDNER=%1; pg_cluster_stoppen").arg(m_ordner));
    }
    bool anhalten() { return skript(QStringLiteral("pg_cluster_anhalten %1 && echo ok").arg(m_ordner)).contains("ok"); }
    bool fortsetzen() { return skript(QStringLiteral("pg_cluster_fortsetzen %1 && echo ok").arg(m_ordner)).contains("ok"); }
    QString adresse;

private:
    static QString skript(const QString& befehl) {
        QProcess p;
        p.start(QStringLiteral("bash"), {QStringLiteral("-c"),
                                         QStringLiteral("source '%1/scripts/pg-cluster.sh'; %2").arg(QStringLiteral(XOV_QUELLEN), befehl)});
        p.waitForFinished(120000);
        return QString::fromUtf8(p.readAllStandardOutput() + p.readAllStandardError());
    }
    QString m_ordner;
};

}  // namespace


// The server of this test's own: its stopped server process would hold up every other test's
// CREATE DATABASE on a shared one. Stopped (SIGSTOP), the kernel still acknowledges what is sent,
// so only the wait for the answer ends a statement; the connection comes back when it runs again.
// Then the whole server goes away while the dialog saves: the dialog stays open, saves later.
TEST(Server, AngehaltenerProzessUndServerWegBeimSpeichern) {
    XOV_SERVER_NOETIG(test::Engine::Server);
    EigenerServer server;
    ASSERT_FALSE(server.adresse.isEmpty());
    const QString mand = server.adresse + QStringLiteral("mandant"), fa = server.adresse + QStringLiteral("gemeinsam");
    xovdb::anlegen(mand, fa, DbPasswort);
    xovdb::demoFuellen(mand, fa, DbPasswort, 2024);
    test::Datenbanken dateien;  // only for the call information's shape
    QVariantList info = test::info(dateien);
    info[0] = mand;
    info[1] = fa;

    auto v = verbindungOeffnen(mand, DbPasswort);
    const pid_t pid = static_cast<pid_t>(v->abfragen(QStringLiteral("SELECT pg_backend_pid()")).zeilen[0][0].toLongLong());
    ASSERT_GT(pid, 0);
    ASSERT_EQ(::kill(pid, SIGSTOP), 0);
    const auto weiter = qScopeGuard([pid] { ::kill(pid, SIGCONT); });
    QElapsedTimer uhr;
    uhr.start();
    const Fehler f = fehlerVon([&] { v->ausfuehren(QStringLiteral("UPDATE AllgMandDaten SET MandOrt = 'Graz'")); });
    EXPECT_LT(uhr.elapsed(), 30000);
    EXPECT_EQ(f.nummer(), FehlerNr::VerbindungUnterbrochen) << f.what();
    EXPECT_TRUE(f.beschreibung().contains(QStringLiteral("antwortet nicht innerhalb von 20 Sekunden (Zeitüberschreitung)"))) << f.what();
    ::kill(pid, SIGCONT);
    const QString sql = QStringLiteral("SELECT MandOrt FROM AllgMandDaten");
    EXPECT_EQ(v->abfragen(sql).zeilen.value(0).value(0).toString(), QStringLiteral("Wien"));

    test::Meldungen meldungen;
    test::Dialog d(info);
    test::tippen(d->feld("inpMandAnschrift"), "Neubaugasse 7");
    ASSERT_TRUE(server.anhalten());
    // A connection that lost its server says why it cannot connect again.
    EXPECT_EQ(fehlerVon([&] { v->abfragen(sql); }).nummer(), FehlerNr::VerbindungUnterbrochen);
    const Fehler wieder = fehlerVon([&] { v->abfragen(sql); });
    EXPECT_EQ(wieder.nummer(), FehlerNr::VerbindungUnterbrochen);
    const QRegularExpression grund(QStringLiteral("nicht wieder aufbauen \\(Der Datenbankserver .* nicht erreichbar"));
    EXPECT_TRUE(wieder.beschreibung().contains(grund)) << wieder.what();
    EXPECT_FALSE(d.schliessen());
    ASSERT_EQ(meldungen.texte.size(), 1);
    EXPECT_TRUE(meldungen.texte.first().startsWith(QStringLiteral("xovAllgError 3151:"))) << meldungen.texte.first().toStdString();
    EXPECT_EQ(d->feld("inpMandAnschrift")->text(), QStringLiteral("Neubaugasse 7"));

    ASSERT_TRUE(server.fortsetzen());
    EXPECT_TRUE(d.schliessen()) << meldungen.alle();  // closing again saves
    EXPECT_EQ(test::gespeichert(mand, QStringLiteral("SELECT MandAnschrift FROM AllgMandDaten")), QStringLiteral("'Neubaugasse 7'"));
}

TEST(Server, GleichzeitigeTransaktionenLegenNieZweiKurseEinesTagesAn) {
    XOV_SERVER_NOETIG(test::Engine::Server);
    test::Datenbanken db(test::Engine::Server);
    // A table without the unique key: only the transactions keep the day unique.
    db.faSql(QStringLiteral("ALTER TABLE AllgWaehrung DROP CONSTRAINT allgwaehrung_wid_aenderdatum_key"));
    auto a = verbindungOeffnen(db.fa, DbPasswort), b = verbindungOeffnen(db.fa, DbPasswort);
    const QString zaehlen = QStringLiteral("SELECT count(*) FROM AllgWaehrung WHERE WID = 1 AND AenderDatum = ?");
    const QString einfuegen = QStringLiteral("INSERT INTO AllgWaehrung (WID, Waehrungscode, AenderDatum, EuroinFremd, FremdinEuro) "
                                             "VALUES (1, 'USD', ?, ?, ?)");
    const QDate tag(2030, 1, 2);
    Transaktion ta(*a), tb(*b);
    for (auto* v : {a.get(), b.get()}) EXPECT_EQ(v->abfragen(zaehlen, {tag}).zeilen[0][0].toInt(), 0);
    a->ausfuehren(einfuegen, {tag, 1.1, 0.9090909091});
    b->ausfuehren(einfuegen, {tag, 1.2, 0.8333333333});
    ta.bestaetigen();
    EXPECT_EQ(fehlerVon([&] { tb.bestaetigen(); }).nummer(), FehlerNr::DatensatzGesperrt);
    EXPECT_EQ(db.faWert(QStringLiteral("SELECT count(*) FROM AllgWaehrung WHERE WID = 1 AND AenderDatum = '2030-01-02'")).toInt(), 1);
}
