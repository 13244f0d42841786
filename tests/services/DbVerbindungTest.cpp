// Binding the data sources and the password step on real files.

#include "Hilfen.h"
#include "platform/Datenquelle.h"
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
    for (const QVariant& format : {QVariant(QStringLiteral("Access 2000;")), QVariant(), QVariant(QStringLiteral("Jet 4"))}) {
        Aufruf aufruf;
        aufruf.AufrufInfo[4] = format;
        Form form;
        Set_DBConnect(&form, aufruf);
        const QString erwartet = format.toString() == QLatin1String("Access 2000;") ? QStringLiteral("Access 2000;") : QStringLiteral("Access;");
        for (auto* q : {form.MAData, form.FAData, form.KKData}) EXPECT_EQ(q->Connect(), erwartet + QStringLiteral("pwd=") + DbPasswort + ';');
        EXPECT_EQ(aufruf.AufrufInfo.at(4).toString(), erwartet);
    }
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
    ASSERT_EQ(meldungen.titel, QStringList{"An Error has Occured!"});
    EXPECT_TRUE(meldungen.texte.first().contains(QStringLiteral("\nError Source: Set_DBPassword\n"))) << meldungen.texte.first().toStdString();
    EXPECT_EQ(inhalt(db.mand), vorher);  // the original stays as it was
}
