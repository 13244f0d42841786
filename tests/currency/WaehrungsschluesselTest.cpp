// The database tool and the currency table's key: one record per currency and date.

#include "currency/WaehrungsseiteHilfen.h"
#include "services/DbVerbindung.h"
#include "platform/Datenbank.h"
#include "platform/Fehler.h"

#include <QCoreApplication>
#include <QProcess>
#include <gtest/gtest.h>

namespace {

QString xovDb(const QStringList& argumente, int* status) {
    QProcess p;
    p.start(QCoreApplication::applicationDirPath() + QStringLiteral("/xov-db"), argumente);
    p.waitForFinished(120000);
    *status = p.exitCode();
    return QString::fromUtf8(p.readAllStandardOutput() + p.readAllStandardError());
}

const char* Einfuegen = "INSERT INTO AllgWaehrung (WID, Waehrungscode, AenderDatum, EuroinFremd) VALUES (1, 'USD', ?, 1.1)";

}  // namespace

TEST(Waehrungsschluessel, AelterDateiMitDoppeltenWerdenGenanntNichtGeloescht) {
    test::Datenbanken db;
    test::ohneSchluessel(db);
    for (int i = 0; i < 2; ++i) db.faSql(Einfuegen, {QDate(2024, 3, 1)});
    int status = 0;
    QString aus = xovDb({"felder-ergaenzen", db.mand, db.fa}, &status);
    EXPECT_EQ(status, 1);
    EXPECT_TRUE(aus.contains("WID 1 am 01.03.2024: 2 Datensätze")) << aus.toStdString();
    EXPECT_EQ(db.faWert("SELECT count(*) FROM AllgWaehrung").toInt(), 2);
    // Cleaned up, the tool adds the key; a second rate of that day is then refused.
    db.faSql("DELETE FROM AllgWaehrung WHERE rowid = (SELECT max(rowid) FROM AllgWaehrung)");
    aus = xovDb({"felder-ergaenzen", db.mand, db.fa}, &status);
    EXPECT_EQ(status, 0) << aus.toStdString();
    try {
        db.faSql(Einfuegen, {QDate(2024, 3, 1)});
        ADD_FAILURE() << "zweiter Kurs am selben Tag angenommen";
    } catch (const xov::Fehler& f) {
        EXPECT_EQ(f.nummer(), xov::FehlerNr::DoppelterSchluessel);
    }
}
