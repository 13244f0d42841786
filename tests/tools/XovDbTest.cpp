// The database tool completes an old client database so that the dialog opens without the
// structure message.

#include "Hilfen.h"
#include "services/DbVerbindung.h"
#include "platform/Datenbank.h"
#include "tools/xov-db/Schema.h"

#include <gtest/gtest.h>

TEST(XovDb, FelderErgaenzenMachtAlteDatenbankVollstaendig) {
    test::Datenbanken db(2024, {"MandFaxNr", "MandCreditorID"});
    db.mandSql("INSERT INTO AllgMandDaten (MandName, MandOrt, MandPlz, MandAnschrift) VALUES ('Alt', 'Linz', 4020, 'Hauptplatz 1')");
    const QStringList neu = xovdb::felderErgaenzen(db.mand, xov::DbPasswort);
    EXPECT_EQ(neu, QStringList({"MandFaxNr", "MandCreditorID"}));
    EXPECT_TRUE(xovdb::felderErgaenzen(db.mand, xov::DbPasswort).isEmpty());
    EXPECT_EQ(xov::verbindungOeffnen(db.mand, xov::DbPasswort)->spaltenVon("AllgMandDaten").size(), xovdb::mandantenSpalten().size());
    EXPECT_EQ(db.mandWert("SELECT MandOrt FROM AllgMandDaten").toString(), QStringLiteral("Linz"));  // rows kept
    test::Meldungen meldungen;
    test::Dialog d(test::info(db));
    EXPECT_TRUE(meldungen.texte.isEmpty()) << meldungen.texte.join('|').toStdString();
    EXPECT_FALSE(d.aufruf.Eingeschraenkt);
}
