// The engine contract: one suite that every database engine behind Verbindung must pass, on real
// databases, with a second process where another workstation is needed: encrypted files and the
// test server. Then the messages that say in German what happened to a file: the engine's own text
// as a detail, a damaged keyed file; the numbers stay those the callers know.

#include "Hilfen.h"
#include "platform/Datenbank.h"
#include "platform/Datenquelle.h"
#include "platform/Fehlerhilfe.h"
#include "platform/Variant.h"

using namespace xov;
using test::fehlerVon;
using test::nummerVon;

namespace {

const Schreibziel Mandant{QStringLiteral("AllgMandDaten"), {}};
const Schreibziel Finanzaemter{QStringLiteral("AllgFaDaten"), {QStringLiteral("FaNummer")}};
const Schreibziel Waehrungen{QStringLiteral("AllgWaehrung"), {QStringLiteral("WID"), QStringLiteral("AenderDatum")}};

struct Enginefall {
    const char* name;
    test::Engine art;
    // The statements of a second process that hold the client row (a file: the whole database,
    // exclusively; a server: the row), and the number a write of that row then meets.
    QStringList zeileHalten;
    int schreibenGehalten;
};
void PrintTo(const Enginefall& f, std::ostream* os) { *os << f.name; }

class EngineVertrag : public ::testing::TestWithParam<Enginefall> {
protected:
    void SetUp() override {
        XOV_SERVER_NOETIG(GetParam().art);
        m_db = std::make_unique<test::Datenbanken>(GetParam().art);
    }
    std::unique_ptr<test::Datenbanken> m_db;
    test::Datenbanken& db() const { return *m_db; }
    bool datei() const { return GetParam().art == test::Engine::Datei; }

    std::unique_ptr<Datenquelle> quelle(const QString& datei, const QString& sql, const QVariantList& p = {},
                                        const Schreibziel& ziel = {}) const {
        auto q = std::make_unique<Datenquelle>(QStringLiteral("Test"));
        q->setDatabaseName(datei);
        q->setConnect(QStringLiteral("Access 2000;pwd=") + DbPasswort + ';');  // as the dialog's sources have it
        q->setRecordSource(sql, p, ziel);
        q->Refresh();
        return q;
    }
    // A second process that runs `befehle` on `datei` and holds what they took until it ends.
    std::unique_ptr<test::Zweitprozess> andererHaelt(const QString& datei, const QStringList& befehle) const {
        auto p = std::make_unique<test::Zweitprozess>();
        for (const QString& sql : befehle) EXPECT_EQ(p->befehl({"sql", datei, DbPasswort, sql}), QStringLiteral("ok"));
        return p;
    }
};

// Sets the fields of the current row or the new one.
void setzen(Recordset* rs, std::initializer_list<std::pair<const char*, QVariant>> werte) {
    for (const auto& [feld, wert] : werte) rs->Fields(feld).setValue(wert);
}

void byteAendern(const QString& pfad, qint64 stelle) {
    QFile f(pfad);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    QByteArray inhalt = f.readAll();
    inhalt[stelle] = static_cast<char>(inhalt[stelle] ^ 0x5a);
    ASSERT_TRUE(f.seek(0) && f.write(inhalt) == inhalt.size());
}

}  // namespace

TEST_P(EngineVertrag, LesenBewegenSuchenUndAbgewieseneZugriffe) {
    auto q = quelle(db().fa, QStringLiteral("SELECT *  FROM AllgFaDaten  ORDER BY Faname"));
    auto* rs = q->Recordset();
    ASSERT_EQ(rs->RecordCount(), 13);
    EXPECT_EQ(rs->Fields("faname").Value().toString(), QStringLiteral(" keine Definition"));  // sorts first
    int n = 0;
    for (rs->MoveFirst(); !rs->Eof(); rs->MoveNext()) ++n;
    EXPECT_EQ(n, 13);
    EXPECT_EQ(nummerVon([&] { rs->MoveNext(); }), FehlerNr::KeinAktuellerDatensatz);
    rs->FindFirst(QStringLiteral("faort"), QStringLiteral("wien"));
    EXPECT_FALSE(rs->NoMatch());
    EXPECT_EQ(rs->Fields("FaNummer").Value().toInt(), 3);
    rs->FindFirst(QStringLiteral("FaPlz"), 1210);
    EXPECT_EQ(rs->Fields("FaNummer").Value().toInt(), 4);
    rs->FindFirst(QStringLiteral("FaNummer"), 999);
    EXPECT_TRUE(rs->NoMatch());
    EXPECT_EQ(rs->Fields("FAORT").Value().toString(), QStringLiteral("Wien"));  // position unchanged

    auto leer = quelle(db().fa, QStringLiteral("SELECT * FROM AllgFaDaten WHERE FaNummer = ?"), {4711}, Finanzaemter);
    EXPECT_TRUE(leer->Recordset()->Eof());
    EXPECT_TRUE(leer->Recordset()->Bof());
    EXPECT_EQ(nummerVon([&] { leer->Recordset()->Fields("FaName").Value(); }), FehlerNr::KeinAktuellerDatensatz);
    EXPECT_EQ(nummerVon([&] { leer->Recordset()->Edit(); }), FehlerNr::KeinAktuellerDatensatz);

    // Typed text travels as a parameter, never as SQL.
    auto wortlich = quelle(db().mand, QStringLiteral("SELECT KontoBezeichnung FROM ObjKanzleiKontenstamm WHERE KontoJJ = ? AND KontoNr = ?"),
                           {2024, QStringLiteral("2000' OR '1'='1")});
    EXPECT_EQ(wortlich->Recordset()->RecordCount(), 0);

    // A missing column or table, a duplicate key, a write through a source without a target.
    auto v = verbindungOeffnen(db().fa, DbPasswort);
    EXPECT_EQ(nummerVon([&] { quelle(db().fa, QStringLiteral("SELECT GibtEsNicht FROM AllgFaDaten")); }), FehlerNr::SpalteFehlt);
    EXPECT_EQ(nummerVon([&] { v->ausfuehren(QStringLiteral("UPDATE AllgFaDaten SET GibtEsNicht = 1")); }), FehlerNr::SpalteFehlt);
    EXPECT_EQ(nummerVon([&] { v->einfuegen(QStringLiteral("AllgFaDaten"), {{QStringLiteral("GibtEsNicht"), 1}}, {}); }),
              FehlerNr::SpalteFehlt);
    EXPECT_EQ(nummerVon([&] { quelle(db().fa, QStringLiteral("SELECT * FROM Fehlt")); }), FehlerNr::TabelleFehlt);
    EXPECT_EQ(nummerVon([&] { v->spaltenVon(QStringLiteral("Fehlt")); }), FehlerNr::TabelleFehlt);

    auto waehrungen = quelle(db().fa, QStringLiteral("SELECT * FROM AllgWaehrung ORDER BY WID, AenderDatum"), {}, Waehrungen);
    rs = waehrungen->Recordset();
    EXPECT_EQ(nummerVon([&] { rs->Fields("GibtEsNicht"); }), FehlerNr::SpalteFehlt);
    const QDate alt = rs->Fields("AenderDatum").Value().toDate();
    rs->MoveNext();
    const QDate zweite = rs->Fields("AenderDatum").Value().toDate();
    rs->MoveFirst();
    rs->Edit();
    setzen(rs, {{"AenderDatum", zweite}, {"Waehrungscode", "XXX"}});  // (WID, AenderDatum) is unique
    EXPECT_EQ(nummerVon([&] { rs->Update(); }), FehlerNr::DoppelterSchluessel);
    rs->CancelUpdate();
    EXPECT_EQ(rs->Fields("AenderDatum").Value().toDate(), alt);
    EXPECT_EQ(db().faWert("SELECT count(*) FROM AllgWaehrung WHERE Waehrungscode = 'XXX'").toInt(), 0);

    auto lesen = quelle(db().fa, QStringLiteral("SELECT * FROM AllgWaehrung"));
    for (void (Recordset::*schritt)() : {&Recordset::AddNew, &Recordset::Edit, &Recordset::Delete})
        EXPECT_EQ(nummerVon([&] { (lesen->Recordset()->*schritt)(); }), FehlerNr::NurLesen);
}

TEST_P(EngineVertrag, OeffnenMitKennwortUndTransaktionBestaetigtOderZurueckgenommen) {
    EXPECT_EQ(nummerVon([&] { verbindungOeffnen(db().fehlend(), DbPasswort); }), FehlerNr::DateiNichtGefunden);
    EXPECT_FALSE(QFile::exists(db().fehlend()));
    EXPECT_EQ(nummerVon([&] { verbindungOeffnen(Verbindungsangabe{db().fa, QStringLiteral("falsch")}); }), FehlerNr::FalschesPasswort);
    EXPECT_EQ(nummerVon([&] { datenbankAnlegen(db().fa, DbPasswort); }), FehlerNr::DateiVorhanden);
    auto v = verbindungOeffnen(db().fa, DbPasswort);
    {
        Transaktion t(*v);
        v->ausfuehren(QStringLiteral("INSERT INTO AllgFaDaten (FaNummer, FaName) VALUES (?, ?)"), {999, QStringLiteral("zurückgenommen")});
        Transaktion innen(*v);  // joins the outer one
        v->ausfuehren(QStringLiteral("INSERT INTO AllgFaDaten (FaNummer, FaName) VALUES (?, ?)"), {997, QStringLiteral("innen")});
        innen.bestaetigen();
    }
    EXPECT_EQ(v->abfragen(QStringLiteral("SELECT count(*) FROM AllgFaDaten WHERE FaNummer IN (997, 999)")).zeilen[0][0].toInt(), 0);
    {
        Transaktion t(*v);
        EXPECT_EQ(v->ausfuehren(QStringLiteral("UPDATE AllgFaDaten SET FaOrt = ? WHERE FaNummer = ?"), {QStringLiteral("Linz"), 29}), 1);
        t.bestaetigen();
    }
    // A commit the database refuses (a deferred reference checked only then) is rolled back: nothing
    // of it stays, and the next transaction begins.
    v->ausfuehren(QStringLiteral("CREATE TABLE Eltern (Id INTEGER PRIMARY KEY)"));
    v->ausfuehren(QStringLiteral("CREATE TABLE Kind (EId INTEGER REFERENCES Eltern (Id) DEFERRABLE INITIALLY DEFERRED)"));
    if (datei()) v->ausfuehren(QStringLiteral("PRAGMA foreign_keys = ON"));
    {
        Transaktion t(*v);
        v->ausfuehren(QStringLiteral("INSERT INTO Kind (EId) VALUES (1)"));
        EXPECT_THROW(t.bestaetigen(), Fehler);
    }
    EXPECT_EQ(v->abfragen(QStringLiteral("SELECT count(*) FROM Kind")).zeilen[0][0].toInt(), 0);
    EXPECT_NO_THROW(Transaktion(*v).bestaetigen());
    v.reset();
    EXPECT_EQ(db().faWert(QStringLiteral("SELECT FaOrt FROM AllgFaDaten WHERE FaNummer = 29")).toString(), QStringLiteral("Linz"));
}

// A row identified by its key (the rates), then one without a key, identified by the values read.
TEST_P(EngineVertrag, ZeileMitSchluesselUndOhneSchluesselNachGelesenenWerten) {
    {
        auto q = quelle(db().fa, QStringLiteral("SELECT * FROM AllgWaehrung WHERE WID = ? ORDER BY AenderDatum DESC"), {1}, Waehrungen);
        auto* rs = q->Recordset();
        const int vorher = rs->RecordCount();
        const QString ersterCode = rs->Fields("Waehrungscode").Value().toString();
        EXPECT_EQ(nummerVon([&] { rs->Fields("FremdinEuro").setValue(1); }), FehlerNr::AktualisierenOhneEdit);
        rs->AddNew();
        setzen(rs, {{"WID", 1}, {"Waehrungscode", "USD"}, {"AenderDatum", QDate(1999, 1, 4)}, {"EuroinFremd", 1.1789}});
        EXPECT_TRUE(istNull(rs->Fields("FremdinEuro").Value()));
        rs->Update();
        EXPECT_EQ(rs->RecordCount(), vorher + 1);
        EXPECT_EQ(rs->Fields("Waehrungscode").Value().toString(), ersterCode);  // current row unchanged
        rs->setBookmark(rs->LastModified());
        EXPECT_EQ(rs->Fields("AenderDatum").Value().toDate(), QDate(1999, 1, 4));
        EXPECT_TRUE(istNull(rs->Fields("FremdinEuro").Value()));  // as stored
        rs->Edit();
        rs->Fields("FremdinEuro").setValue(0.8482);
        rs->Update();
        EXPECT_EQ(db().faWert("SELECT FremdinEuro FROM AllgWaehrung WHERE WID = 1 AND AenderDatum = '1999-01-04'").toDouble(), 0.8482);
        rs->Delete();
        EXPECT_EQ(db().faWert("SELECT count(*) FROM AllgWaehrung WHERE WID = 1").toInt(), vorher);
        EXPECT_EQ(rs->RecordCount(), vorher);
    }
    {
        auto q = quelle(db().mand, QStringLiteral("SELECT * FROM AllgMandDaten "), {}, Mandant);
        auto* rs = q->Recordset();
        rs->Edit();
        setzen(rs, {{"mandfaxnr", nullWert()}, {"MandPlz", 8010}, {"MandOrt", QStringLiteral("Graz-Straßgang")}});
        EXPECT_EQ(rs->Fields("MandOrt").Value().toString(), QStringLiteral("Graz-Straßgang"));  // buffer reads back
        rs->Update();
        rs->Edit();  // the row as written identifies it again
        rs->Fields("MandPlz").setValue(QStringLiteral("8020"));
        rs->Update();
    }
    auto q = quelle(db().mand, QStringLiteral("SELECT * FROM AllgMandDaten "), {}, Mandant);
    auto* rs = q->Recordset();
    EXPECT_TRUE(istNull(rs->Fields("MandFaxNr").Value()));
    EXPECT_EQ(rs->Fields("MandPlz").Value().toInt(), 8020);
    EXPECT_EQ(rs->Fields("MandOrt").Value().toString(), QStringLiteral("Graz-Straßgang"));

    // Another workstation changed the row meanwhile: nothing is overwritten.
    db().mandSql(QStringLiteral("UPDATE AllgMandDaten SET MandName = 'Anderer Platz'"));
    rs->Edit();
    rs->Fields("MandOrt").setValue(QStringLiteral("Linz"));
    EXPECT_EQ(nummerVon([&] { rs->Update(); }), FehlerNr::DatensatzGeaendert);
    rs->CancelUpdate();
    EXPECT_EQ(db().mandWert(QStringLiteral("SELECT MandOrt FROM AllgMandDaten")).toString(), QStringLiteral("Graz-Straßgang"));

    // An empty table gets its row; the new row becomes current through LastModified.
    db().mandSql(QStringLiteral("DELETE FROM AllgMandDaten"));
    auto leer = quelle(db().mand, QStringLiteral("SELECT * FROM AllgMandDaten "), {}, Mandant);
    leer->Recordset()->AddNew();
    leer->Recordset()->Update();
    leer->Recordset()->setBookmark(leer->Recordset()->LastModified());
    EXPECT_TRUE(istNull(leer->Recordset()->Fields("MandName").Value()));
    EXPECT_EQ(db().mandWert(QStringLiteral("SELECT count(*) FROM AllgMandDaten")).toInt(), 1);
}

TEST_P(EngineVertrag, KonfliktMitZweitemProzess) {
    auto q = quelle(db().mand, QStringLiteral("SELECT * FROM AllgMandDaten "), {}, Mandant);
    auto* rs = q->Recordset();
    const QString ort = rs->Fields("MandOrt").Value().toString();
    auto v = verbindungOeffnen(db().fa, DbPasswort);
    {
        auto mandHalter = andererHaelt(db().mand, GetParam().zeileHalten);
        if (datei()) {  // a file held exclusively cannot even be opened or written elsewhere
            auto faHalter = andererHaelt(db().fa, GetParam().zeileHalten);
            EXPECT_EQ(nummerVon([&] { quelle(db().mand, QStringLiteral("SELECT * FROM AllgMandDaten ")); }), FehlerNr::ExklusivGesperrt);
            EXPECT_EQ(nummerVon([&] { Transaktion t(*v); }), FehlerNr::Gesperrt);
        } else {  // a server still reads the row as committed
            EXPECT_EQ(quelle(db().mand, QStringLiteral("SELECT * FROM AllgMandDaten "))->Recordset()->Fields("MandOrt").Value().toString(), ort);
        }
        rs->Edit();
        rs->Fields("MandOrt").setValue(QStringLiteral("Linz"));
        EXPECT_EQ(nummerVon([&] { rs->Update(); }), GetParam().schreibenGehalten);
        EXPECT_TRUE(rs->imEditModus());  // the typed values stay for another try
    }
    rs->CancelUpdate();
    EXPECT_EQ(rs->Fields("MandOrt").Value().toString(), ort);
    {
        Transaktion t(*v);  // a refused BEGIN left nothing behind
        v->ausfuehren(QStringLiteral("INSERT INTO AllgFaDaten (FaNummer, FaName) VALUES (998, 'bestätigt')"));
        t.bestaetigen();
    }
    EXPECT_EQ(db().faWert(QStringLiteral("SELECT count(*) FROM AllgFaDaten WHERE FaNummer = 998")).toInt(), 1);
    EXPECT_EQ(db().mandWert(QStringLiteral("SELECT MandOrt FROM AllgMandDaten")).toString(), ort);
    rs->Edit();  // once the other let go, the same write goes through
    rs->Fields("MandOrt").setValue(QStringLiteral("Linz"));
    rs->Update();
    EXPECT_EQ(db().mandWert(QStringLiteral("SELECT MandOrt FROM AllgMandDaten")).toString(), QStringLiteral("Linz"));
}

INSTANTIATE_TEST_SUITE_P(Engines, EngineVertrag,
                         ::testing::Values(Enginefall{"SqlCipher", test::Engine::Datei, {QStringLiteral("BEGIN EXCLUSIVE")}, FehlerNr::Gesperrt},
                                           Enginefall{"PostgreSql", test::Engine::Server,
                                                  {QStringLiteral("BEGIN"), QStringLiteral("SELECT * FROM AllgMandDaten FOR UPDATE")},
                                                  FehlerNr::DatensatzGesperrt}),
                         [](const auto& info) { return std::string(info.param.name); });

// (The engine's own text as the detail of a German sentence: Passwortschritt/DatentraegerVoll.)
TEST(Fehlertexte, BeschaedigteVerschluesselteDatei) {
    test::Datenbanken db;
    // The first page: a wrong key and damage cannot be told apart, so the message says both.
    byteAendern(db.mand, 200);
    const Fehler vorn = fehlerVon([&] { verbindungOeffnen(db.mand, DbPasswort); });
    EXPECT_EQ(vorn.nummer(), FehlerNr::FalschesPasswort);
    EXPECT_TRUE(vorn.beschreibung().startsWith("Ungültiges Kennwort, oder die Datenbankdatei ist beschädigt: " + db.mand))
        << vorn.beschreibung().toStdString();

    // A later page: the key has opened the file, so only damage remains.
    byteAendern(db.fa, QFileInfo(db.fa).size() - 300);
    const Fehler hinten = fehlerVon([&] {
        auto v = verbindungOeffnen(db.fa, DbPasswort);
        v->abfragen(QStringLiteral("PRAGMA integrity_check"));
        for (const char* t : {"AllgFaDaten", "AllgWaehrung"}) v->abfragen(QStringLiteral("SELECT * FROM %1").arg(QLatin1String(t)));
    });
    EXPECT_NE(hinten.nummer(), FehlerNr::FalschesPasswort);  // a wrong key, which the password step passes over in silence
    EXPECT_TRUE(hinten.beschreibung().startsWith(QStringLiteral("Die Datenbankdatei ist beschädigt"))) << hinten.beschreibung().toStdString();
}
