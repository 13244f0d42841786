// xov-db protokoll: the German listing, and the check of the chain against entries edited,
// deleted or moved afterwards with the sqlcipher shell (the check reads the log through
// the engine and is the same for a server; on a server the application's role cannot change the
// log: XovDbServer).

#include "tools/WerkzeugHilfen.h"
#include "currency/Waehrungsdaten.h"
#include "platform/Datenquelle.h"

using namespace xov;

namespace {

// Five entries: a currency renamed, a rate added (five columns) — enough to tamper in the middle.
void fuenfEintraege(const test::Datenbanken& db) {
    Datenquelle quelle(QStringLiteral("FAData"));
    quelle.setDatabaseName(db.fa);
    quelle.setConnect(QStringLiteral("Access 2000;pwd=") + DbPasswort + QLatin1Char(';'));
    Waehrungsdaten daten(&quelle);
    daten.kopfSetzen(1, QStringLiteral("WaehrungscodeBezeichnung"), QStringLiteral("Dollar"), *daten.kopfVon(1));
    const auto k = verbindungOeffnen(db.fa, DbPasswort)->abfragen(QStringLiteral("SELECT AenderDatum, EuroinFremd, FremdinEuro "
        "FROM AllgWaehrung WHERE WID = 1 ORDER BY AenderDatum DESC LIMIT 1")).zeilen.at(0);
    daten.kursAendern(1, k.at(0).toDate(), {k.at(1).toDouble(), k.at(2).toDouble()}, {1.25, 0.8});
    daten.kopfSetzen(2, QStringLiteral("Laenderkennzeichen"), QStringLiteral("CHE"), *daten.kopfVon(2));
    daten.kopfSetzen(3, QStringLiteral("WaehrungscodeBezeichnung"), QStringLiteral("Pfund Sterling"), *daten.kopfVon(3));
}

// Changes past the application, as with the sqlcipher shell (a file has no guard of its own);
// {P} stands for the log table.
struct Eingriff {
    const char* name;
    const char* sql;
    int nr;  // the entry the check must name
};
void PrintTo(const Eingriff& e, std::ostream* os) { *os << e.name; }

const Eingriff eingriffe[] = {
    {"WertGeaendert", "UPDATE {P} SET NeuerWert = '1.3' WHERE Nr = 3", 3},
    {"Geloescht", "DELETE FROM {P} WHERE Nr = 2", 2},
    {"Umgestellt", "UPDATE {P} SET Nr = -2 WHERE Nr = 2; UPDATE {P} SET Nr = 2 WHERE Nr = 4; UPDATE {P} SET Nr = 4 WHERE Nr = -2", 2},
};

class Manipulation : public ::testing::TestWithParam<Eingriff> {};

}  // namespace

TEST_P(Manipulation, PruefenNenntDenErstenBeschaedigtenEintrag) {
    test::Datenbanken db(test::Engine::Datei);
    fuenfEintraege(db);
    for (const QString& sql : QString::fromUtf8(GetParam().sql).replace("{P}", "AllgAenderungsprotokoll").split(QStringLiteral("; ")))
        db.faSql(sql);
    const QString erwartet = QStringLiteral("Erster beschädigter Eintrag: Nr. %1\n").arg(GetParam().nr);
    test::werkzeug::abgewiesen({"protokoll", db.fa, "--pruefen"}, erwartet);
}

INSTANTIATE_TEST_SUITE_P(Datei, Manipulation, ::testing::ValuesIn(eingriffe),
                         [](const auto& info) { return std::string(info.param.name); });

// The listing in German, filtered; a copy takes the log along and adds one entry naming source
// and target, and the chain holds.
TEST(XovDbProtokoll, ListeAufDeutschGefiltertUndKopiertMitEintrag) {
    test::Datenbanken db;
    fuenfEintraege(db);
    test::Lauf l = test::xovDb({"protokoll", db.fa, "--tabelle", "allgwaehrung", "--feld", "EuroinFremd"});
    EXPECT_TRUE(l.aus.contains(QRegularExpression(QStringLiteral("^Nr\\. 2  \\d\\d\\.\\d\\d\\.\\d{4} \\d\\d:\\d\\d:\\d\\d  geändert  Arbeitsplatz "))))
        << l.aus.toStdString();
    EXPECT_TRUE(l.aus.contains(QRegularExpression(QStringLiteral("AllgWaehrung WID=1, AenderDatum=\\d{4}-\\d\\d-\\d\\d, Feld 1 EUR in "
                                                                 "Fremdwährung \\(EuroinFremd\\): 1,\\d+ → 1,25\n"))))
        << l.aus.toStdString();
    EXPECT_TRUE(l.aus.endsWith("1 Eintrag von 5\n")) << l.aus.toStdString();
    l = test::xovDb({"protokoll", db.fa, "--ab", QDate::currentDate().addDays(2).toString("dd.MM.yyyy")});
    EXPECT_TRUE(l.aus.endsWith("0 Einträge von 5\n")) << l.aus.toStdString();
    l = test::xovDb({"protokoll", db.fa, "--feld", "WaehrungscodeBezeichnung", "--bis", QDate::currentDate().toString(Qt::ISODate)});
    EXPECT_TRUE(l.aus.contains("Feld Währungsname (WaehrungscodeBezeichnung): \"US-Dollar\" → \"Dollar\"\n    in 6 Datensätzen\n"))
        << l.aus.toStdString();
    EXPECT_TRUE(l.aus.endsWith("2 Einträge von 5\n"));
    test::werkzeug::abgewiesen({"protokoll", db.fa, "--bis", "gestern"}, "\"gestern\" ist kein Datum");

    const QString ziel = db.ordner.filePath("kopie.db");
    ASSERT_EQ(test::xovDb({"kopieren", db.fa, ziel}).status, 0);
    EXPECT_TRUE(test::xovDb({"protokoll", ziel, "--pruefen"}).aus.contains("unversehrt: 6 Einträge"));  // 5 + the copy
    l = test::xovDb({"protokoll", ziel, "--tabelle", "(alle Tabellen)"});
    EXPECT_TRUE(l.aus.contains(QStringLiteral("vollständig kopiert von %1 nach %2").arg(db.fa, ziel))) << l.aus.toStdString();
}

// Completing an older database adds the missing columns and the log, enters what it added, and a
// second run finds nothing to add.
TEST(XovDbProtokoll, FelderErgaenzenLegtDasProtokollAnUndTraegtEin) {
    test::Datenbanken db(2024, {QStringLiteral("MandFaxNr"), QStringLiteral("MandCreditorID")});
    db.mandSql("DROP TABLE AllgAenderungsprotokoll");
    db.faSql("DROP TABLE AllgAenderungsprotokoll");
    test::werkzeug::abgewiesen({"protokoll", db.mand}, "hat noch kein Änderungsprotokoll; xov-db felder-ergaenzen legt es an.");
    test::Lauf l = test::xovDb({"felder-ergaenzen", db.mand, db.fa});
    EXPECT_TRUE(l.aus.startsWith(QStringLiteral("ergänzt: MandFaxNr, MandCreditorID\n"))) << l.fehler.toStdString();
    EXPECT_EQ(test::xovDb({"felder-ergaenzen", db.mand}).aus, QStringLiteral("alle Felder vorhanden\n"));
    l = test::xovDb({"protokoll", db.mand});
    EXPECT_TRUE(l.aus.contains(QRegularExpression("  Struktur ergänzt  .*\n    AllgAenderungsprotokoll\n    Tabelle angelegt\n")));
    EXPECT_TRUE(l.aus.contains("AllgMandDaten, Feld Fax-Nr (MandFaxNr): (kein Wert) → (kein Wert)\n    Spalte angelegt\n")) << l.aus.toStdString();
    EXPECT_EQ(test::xovDb({"protokoll", db.fa, "--pruefen"}).status, 0);
}
