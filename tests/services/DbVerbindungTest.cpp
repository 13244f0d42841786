// Binding the data sources and the password routine on real files.

#include "Hilfen.h"
#include "services/Aufruf.h"
#include "services/DbVerbindung.h"
#include "platform/Datenbank.h"
#include "platform/Datenquelle.h"
#include "platform/Fehler.h"
#include "services/DbVerbindung.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using namespace xov;

namespace {

QByteArray inhalt(const QString& pfad) {
    QFile f(pfad);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

struct Form : QObject {
    Datenquelle* MAData = new Datenquelle("MAData", this);
    Datenquelle* FAData = new Datenquelle("FAData", this);
    Datenquelle* KKData = new Datenquelle("KKData", this);
};

}  // namespace

TEST(DbVerbindung, ConnectTextFuerAccess2000UndAlles) {
    test::Datenbanken db;
    for (const QVariant& format : {QVariant(QStringLiteral("Access 2000;")), QVariant(), QVariant(QStringLiteral("Jet 4"))}) {
        Aufruf aufruf;
        aufruf.AufrufInfo[4] = format;
        Form form;
        form.MAData->setDatabaseName(db.mand);
        Set_DBConnect(&form, aufruf);
        const QString erwartet = format.toString() == QLatin1String("Access 2000;") ? QStringLiteral("Access 2000;")
                                                                                      : QStringLiteral("Access;");
        for (auto* q : {form.MAData, form.FAData, form.KKData})
            EXPECT_EQ(q->Connect(), erwartet + QStringLiteral("pwd=lagerbestand4;"));
        EXPECT_EQ(aufruf.AufrufInfo.at(4).toString(), erwartet);
    }
}

TEST(DbVerbindung, PasswortFuerUnverschluesselteDatei) {
    test::Datenbanken db(2024, {}, true, QString());
    ASSERT_TRUE(inhalt(db.mand).startsWith("SQLite format 3"));
    const int konten = verbindungOeffnen(db.mand, QString())->abfragen("SELECT count(*) FROM ObjKanzleiKontenstamm").zeilen[0][0].toInt();
    ASSERT_GT(konten, 0);
    test::Meldungen meldungen;
    Set_DBPassword(db.mand);
    EXPECT_TRUE(meldungen.texte.isEmpty());
    EXPECT_FALSE(inhalt(db.mand).startsWith("SQLite format 3"));
    EXPECT_FALSE(QFile::exists(db.mand + ".xov-neu"));
    EXPECT_THROW(verbindungOeffnen(db.mand, QString()), Fehler);
    EXPECT_EQ(db.mandWert("SELECT count(*) FROM ObjKanzleiKontenstamm").toInt(), konten);
    EXPECT_EQ(db.mandWert("SELECT MandName FROM AllgMandDaten").toString(), QStringLiteral("Hausverwaltung Gruber & Söhne GmbH"));

    const QByteArray verschluesselt = inhalt(db.mand);
    Set_DBPassword(db.mand);  // second call: already keyed, silent, untouched
    EXPECT_EQ(inhalt(db.mand), verschluesselt);
    EXPECT_TRUE(meldungen.texte.isEmpty());
}

TEST(DbVerbindung, PasswortStillBeiFehlenderOderGesperrterDatei) {
    test::Datenbanken db(2024, {}, true, QString());
    test::Meldungen meldungen;
    Set_DBPassword(db.ordner.filePath("fehlt.db"));
    EXPECT_FALSE(QFile::exists(db.ordner.filePath("fehlt.db")));
    {
        test::Sperre sperre(db.mand);
        ASSERT_TRUE(sperre.aktiv());
        Set_DBPassword(db.mand);
    }
    EXPECT_TRUE(meldungen.texte.isEmpty());
    EXPECT_TRUE(inhalt(db.mand).startsWith("SQLite format 3"));  // left as it was
}

TEST(DbVerbindung, AndererFehlerZeigtDieEnglischeMeldung) {
    test::Datenbanken db(2024, {}, true, QString());
    // The copy cannot be written: its place is taken by a folder.
    ASSERT_TRUE(QDir().mkpath(db.mand + ".xov-neu/belegt"));
    const QByteArray vorher = inhalt(db.mand);
    test::Meldungen meldungen;
    Set_DBPassword(db.mand);
    ASSERT_EQ(meldungen.texte.size(), 1);
    EXPECT_EQ(meldungen.titel.first(), QStringLiteral("An Error has Occured!"));
    EXPECT_TRUE(meldungen.texte.first().startsWith(QStringLiteral("The following error has occured.\n\nError Number: ")));
    EXPECT_TRUE(meldungen.texte.first().contains(QStringLiteral("\nError Source: Set_DBPassword\nError Description: ")));
    EXPECT_EQ(inhalt(db.mand), vorher);  // the original stays as it was
}
