// The database tool and the currency table's key: one record per currency and date.

#include "currency/WaehrungsseiteHilfen.h"
#include "platform/Fehlerhilfe.h"

#include <gtest/gtest.h>

TEST(Waehrungsschluessel, AelterDateiMitDoppeltenWerdenGenanntNichtGeloescht) {
    test::Datenbanken db;
    test::ohneSchluessel(db);
    const char* einfuegen = "INSERT INTO AllgWaehrung (WID, Waehrungscode, AenderDatum, EuroinFremd) VALUES (1, 'USD', '2024-03-01', 1.1)";
    for (int i = 0; i < 2; ++i) db.faSql(einfuegen);
    test::Lauf l = test::xovDb({"felder-ergaenzen", db.mand, db.fa});
    EXPECT_EQ(l.status, 1);
    EXPECT_TRUE((l.aus + l.fehler).contains("WID 1 am 01.03.2024: 2 Datensätze")) << l.fehler.toStdString();
    EXPECT_EQ(db.faWert("SELECT count(*) FROM AllgWaehrung").toInt(), 2);
    // Cleaned up, the tool adds the key; a second rate of that day is then refused.
    db.faSql("DELETE FROM AllgWaehrung WHERE rowid = (SELECT max(rowid) FROM AllgWaehrung)");
    l = test::xovDb({"felder-ergaenzen", db.mand, db.fa});
    EXPECT_EQ(l.status, 0) << l.fehler.toStdString();
    EXPECT_EQ(test::fehlerVon([&] { db.faSql(einfuegen); }).nummer(), xov::FehlerNr::DoppelterSchluessel);
}
