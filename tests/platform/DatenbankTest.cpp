// The data layer on real SQLCipher files: keying, error numbers, and the recordset contract.

#include "Hilfen.h"
#include "platform/Datenbank.h"
#include "platform/Datenquelle.h"
#include "platform/Fehler.h"
#include "platform/Variant.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace xov;

namespace {

const QString Pw = QStringLiteral("lagerbestand4");

int nummerVon(const std::function<void()>& f) {
    try { f(); } catch (const Fehler& e) { return e.nummer(); }
    return 0;
}

const Schreibziel Mandant{QStringLiteral("AllgMandDaten"), {}};
const Schreibziel Finanzaemter{QStringLiteral("AllgFaDaten"), {QStringLiteral("FaNummer")}};
const Schreibziel Waehrungen{QStringLiteral("AllgWaehrung"), {QStringLiteral("WID"), QStringLiteral("AenderDatum")}};

std::unique_ptr<Datenquelle> quelle(const QString& pfad, const QString& sql, const QVariantList& p = {},
                                    const Schreibziel& ziel = {}) {
    auto q = std::make_unique<Datenquelle>(QStringLiteral("Test"));
    q->setDatabaseName(pfad);
    q->setConnect(QStringLiteral("Access 2000;pwd=") + Pw + QLatin1Char(';'));
    q->setRecordSource(sql, p, ziel);
    q->Refresh();
    return q;
}

}  // namespace

TEST(Datenbank, DateiIstVerschluesseltUndSqlCipherIstGebunden) {
    test::Datenbanken db;
    const auto e = verbindungOeffnen(db.mand, Pw)->abfragen(QStringLiteral("PRAGMA cipher_version"));
    ASSERT_EQ(e.zeilen.size(), 1);
    EXPECT_FALSE(e.zeilen.first().first().toString().isEmpty());
    QFile f(db.mand);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_FALSE(f.read(16).startsWith("SQLite format 3"));
}

TEST(Datenbank, OeffnenMeldetFehlendeDateiFalschesPasswortUndSperre) {
    test::Datenbanken db;
    EXPECT_EQ(nummerVon([&] { verbindungOeffnen(db.ordner.filePath("fehlt.db"), Pw); }), FehlerNr::DateiNichtGefunden);
    EXPECT_FALSE(QFile::exists(db.ordner.filePath("fehlt.db")));
    EXPECT_EQ(nummerVon([&] { verbindungOeffnen(db.fa, QStringLiteral("falsch")); }), FehlerNr::FalschesPasswort);
    test::Sperre sperre(db.fa, Pw);
    ASSERT_TRUE(sperre.aktiv());
    EXPECT_EQ(nummerVon([&] { verbindungOeffnen(db.fa, Pw); }), FehlerNr::ExklusivGesperrt);
}

TEST(Recordset, LeeresErgebnisIstEofUndBof) {
    test::Datenbanken db;
    auto q = quelle(db.fa, QStringLiteral("SELECT * FROM AllgFaDaten WHERE FaNummer = ?"), {4711}, Finanzaemter);
    auto* rs = q->Recordset();
    EXPECT_EQ(rs->RecordCount(), 0);
    EXPECT_TRUE(rs->Eof());
    EXPECT_TRUE(rs->Bof());
    EXPECT_EQ(nummerVon([&] { rs->Fields("FaName").Value(); }), FehlerNr::KeinAktuellerDatensatz);
    EXPECT_EQ(nummerVon([&] { rs->Edit(); }), FehlerNr::KeinAktuellerDatensatz);
}

TEST(Recordset, BewegenSuchenUndSpaltenOhneGrossKlein) {
    test::Datenbanken db;
    auto q = quelle(db.fa, QStringLiteral("SELECT *  FROM AllgFaDaten  ORDER BY Faname"));
    auto* rs = q->Recordset();
    ASSERT_EQ(rs->RecordCount(), 13);
    EXPECT_FALSE(rs->Eof());
    EXPECT_EQ(rs->Fields("faname").Value().toString(), QStringLiteral(" keine Definition"));  // sorts first
    int n = 0;
    for (rs->MoveFirst(); !rs->Eof(); rs->MoveNext()) ++n;
    EXPECT_EQ(n, 13);
    EXPECT_EQ(nummerVon([&] { rs->MoveNext(); }), FehlerNr::KeinAktuellerDatensatz);

    rs->FindFirst(QStringLiteral("FaNummer = 29"));
    EXPECT_FALSE(rs->NoMatch());
    EXPECT_EQ(rs->Fields("FAORT").Value().toString(), QStringLiteral("Linz"));
    rs->FindFirst(QStringLiteral("FaOrt = 'wien' AND FaPlz = 1210"));
    EXPECT_FALSE(rs->NoMatch());
    EXPECT_EQ(rs->Fields("FaNummer").Value().toInt(), 4);
    rs->FindFirst(QStringLiteral("FaNummer = 999"));
    EXPECT_TRUE(rs->NoMatch());
    EXPECT_EQ(rs->Fields("FaNummer").Value().toInt(), 4);  // position unchanged

    EXPECT_EQ(nummerVon([&] { rs->Fields("GibtEsNicht"); }), FehlerNr::SpalteFehlt);
    EXPECT_EQ(nummerVon([&] { quelle(db.fa, QStringLiteral("SELECT GibtEsNicht FROM AllgFaDaten")); }), FehlerNr::SpalteFehlt);
    EXPECT_EQ(nummerVon([&] { quelle(db.fa, QStringLiteral("SELECT * FROM Fehlt")); }), FehlerNr::TabelleFehlt);
}

TEST(Recordset, SchreibenNurMitEditOderAddNew) {
    test::Datenbanken db;
    auto q = quelle(db.fa, QStringLiteral("SELECT * FROM AllgFaDaten"), {}, Finanzaemter);
    auto* rs = q->Recordset();
    EXPECT_EQ(nummerVon([&] { rs->Fields("FaOrt").setValue("X"); }), FehlerNr::AktualisierenOhneEdit);
    EXPECT_EQ(nummerVon([&] { rs->Update(); }), FehlerNr::AktualisierenOhneEdit);
}

TEST(Recordset, EditUpdateSchreibtNullUndWerteInDieDatei) {
    test::Datenbanken db;
    {
        auto q = quelle(db.mand, QStringLiteral("SELECT * FROM AllgMandDaten "), {}, Mandant);
        auto* rs = q->Recordset();
        rs->Edit();
        rs->Fields("mandfaxnr").setValue(nullWert());
        rs->Fields("MandPlz").setValue(8010);
        rs->Fields("MandOrt").setValue(QStringLiteral("Graz-Straßgang"));
        EXPECT_EQ(rs->Fields("MandOrt").Value().toString(), QStringLiteral("Graz-Straßgang"));  // buffer reads back
        rs->Update();
        EXPECT_TRUE(istNull(rs->Fields("MandFaxNr").Value()));
    }
    auto q = quelle(db.mand, QStringLiteral("SELECT * FROM AllgMandDaten "), {}, Mandant);
    EXPECT_TRUE(istNull(q->Recordset()->Fields("MandFaxNr").Value()));
    EXPECT_EQ(q->Recordset()->Fields("MandPlz").Value().toInt(), 8010);
    EXPECT_EQ(q->Recordset()->Fields("MandOrt").Value().toString(), QStringLiteral("Graz-Straßgang"));
}

TEST(Recordset, AddNewLastModifiedBookmarkUndDelete) {
    test::Datenbanken db;
    auto q = quelle(db.fa, QStringLiteral("SELECT * FROM AllgWaehrung WHERE WID = ? ORDER BY AenderDatum DESC"), {1}, Waehrungen);
    auto* rs = q->Recordset();
    const int vorher = rs->RecordCount();
    const QString ersterCode = rs->Fields("Waehrungscode").Value().toString();
    rs->AddNew();
    rs->Fields("WID").setValue(1);
    rs->Fields("Waehrungscode").setValue("USD");
    rs->Fields("AenderDatum").setValue(QDate(1999, 1, 4));
    rs->Fields("EuroinFremd").setValue(1.1789);
    rs->Update();
    EXPECT_EQ(rs->RecordCount(), vorher + 1);
    EXPECT_EQ(rs->Fields("Waehrungscode").Value().toString(), ersterCode);  // current row unchanged
    rs->setBookmark(rs->LastModified());
    EXPECT_EQ(rs->Fields("AenderDatum").Value().toDate(), QDate(1999, 1, 4));
    EXPECT_EQ(db.faWert("SELECT AenderDatum FROM AllgWaehrung WHERE EuroinFremd = 1.1789").toString(),
              QStringLiteral("1999-01-04"));  // stored as ISO text
    rs->Delete();
    EXPECT_EQ(db.faWert("SELECT count(*) FROM AllgWaehrung WHERE WID = 1").toInt(), vorher);

    // ISO dates sort: the newest first with DESC.
    auto h = quelle(db.fa, QStringLiteral("SELECT * FROM AllgWaehrung WHERE AllgWaehrung.WID = 1 ORDER BY AllgWaehrung.AenderDatum DESC"));
    QDate davor(9999, 1, 1);
    for (h->Recordset()->MoveFirst(); !h->Recordset()->Eof(); h->Recordset()->MoveNext()) {
        const QDate d = h->Recordset()->Fields("AenderDatum").Value().toDate();
        EXPECT_LT(d, davor);
        davor = d;
    }
    EXPECT_EQ(h->Recordset()->rowCount(), vorher);
    EXPECT_EQ(h->Recordset()->data(h->Recordset()->index(0, h->Recordset()->spalten().indexOf("EuroinFremd"))).toString().contains(','), true);
}

TEST(Recordset, AbgewiesenesSchreibenLaesstDieZeileWieSieWar) {
    test::Datenbanken db;
    auto q = quelle(db.fa, QStringLiteral("SELECT * FROM AllgWaehrung ORDER BY WID, AenderDatum"), {}, Waehrungen);
    auto* rs = q->Recordset();
    const QDate alt = rs->Fields("AenderDatum").Value().toDate();
    rs->MoveNext();
    const QDate zweite = rs->Fields("AenderDatum").Value().toDate();
    rs->MoveFirst();
    rs->Edit();
    rs->Fields("AenderDatum").setValue(zweite);  // (WID, AenderDatum) is unique
    rs->Fields("Waehrungscode").setValue("XXX");
    EXPECT_EQ(nummerVon([&] { rs->Update(); }), FehlerNr::DoppelterSchluessel);
    rs->CancelUpdate();
    EXPECT_EQ(rs->Fields("AenderDatum").Value().toDate(), alt);
    EXPECT_EQ(db.faWert("SELECT count(*) FROM AllgWaehrung WHERE Waehrungscode = 'XXX'").toInt(), 0);
    auto neu = quelle(db.fa, QStringLiteral("SELECT * FROM AllgWaehrung ORDER BY WID, AenderDatum"));
    EXPECT_EQ(neu->Recordset()->Fields("AenderDatum").Value().toDate(), alt);
}

TEST(Recordset, GesperrteDateiWeistSchreibenAbOhneAenderung) {
    test::Datenbanken db;
    auto q = quelle(db.mand, QStringLiteral("SELECT * FROM AllgMandDaten "), {}, Mandant);
    auto* rs = q->Recordset();
    const QString ort = rs->Fields("MandOrt").Value().toString();
    test::Sperre sperre(db.mand, Pw);
    ASSERT_TRUE(sperre.aktiv());
    rs->Edit();
    rs->Fields("MandOrt").setValue(QStringLiteral("Linz"));
    EXPECT_EQ(nummerVon([&] { rs->Update(); }), FehlerNr::Gesperrt);
    EXPECT_TRUE(rs->imEditModus());  // the typed values stay for another try
    rs->CancelUpdate();
    EXPECT_EQ(rs->Fields("MandOrt").Value().toString(), ort);
}

TEST(Datenquelle, AbfrageMitParameterNimmtEingabeWoertlich) {
    test::Datenbanken db;
    auto q = quelle(db.mand, QStringLiteral("SELECT KontoBezeichnung FROM ObjKanzleiKontenstamm WHERE KontoJJ = ? AND KontoNr = ?"),
                    {2024, QStringLiteral("2000' OR '1'='1")});
    EXPECT_EQ(q->Recordset()->RecordCount(), 0);
    EXPECT_EQ(nummerVon([&] { q->Recordset()->AddNew(); }), FehlerNr::NurLesen);  // no Schreibziel
}

TEST(Transaktion, NachSperrkonfliktBleibtZuruecknehmenWirksam) {
    test::Datenbanken db;
    auto v = verbindungOeffnen(db.fa, Pw);
    {
        test::Sperre sperre(db.fa, Pw);
        ASSERT_TRUE(sperre.aktiv());
        EXPECT_EQ(nummerVon([&] { Transaktion t(*v); }), FehlerNr::Gesperrt);
    }
    {
        Transaktion t(*v);
        v->ausfuehren(QStringLiteral("INSERT INTO AllgFaDaten (FaNummer, FaName) VALUES (999, 'zurückgenommen')"));
    }  // not confirmed: rolled back
    EXPECT_EQ(v->abfragen(QStringLiteral("SELECT count(*) FROM AllgFaDaten WHERE FaNummer = 999")).zeilen[0][0].toInt(), 0);
    {
        Transaktion t(*v);
        v->ausfuehren(QStringLiteral("INSERT INTO AllgFaDaten (FaNummer, FaName) VALUES (998, 'bestätigt')"));
        t.bestaetigen();
    }
    v.reset();
    EXPECT_EQ(db.faWert(QStringLiteral("SELECT count(*) FROM AllgFaDaten WHERE FaNummer IN (998, 999)")).toInt(), 1);
}
