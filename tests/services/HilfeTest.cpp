// Online help as the user meets it: the messages when there is none, the help topics the host
// passes in any integer list, and a help check that recovers from a failing step.

#include "Hilfen.h"
#include "form/InputFeld.h"
#include "platform/Variant.h"

#include <QDesktopServices>
#include <QFile>
#include <QPushButton>
#include <QTest>
#include <QUrl>
#include <gtest/gtest.h>

using namespace xov;

namespace {

class UrlFaenger : public QObject {
    Q_OBJECT
public:
    UrlFaenger() { QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "oeffnen"); }
    ~UrlFaenger() override { QDesktopServices::unsetUrlHandler(QStringLiteral("file")); }
    QList<QUrl> urls;
public Q_SLOTS:
    void oeffnen(const QUrl& url) { urls << url; }
};

void f1(test::Dialog& d) {
    test::aktivieren(d.form.get());
    d->feld("inpMandOrt")->setFocus();
    ASSERT_TRUE(test::fokusAuf(d->feld("inpMandOrt")));
    QTest::keyClick(d->feld("inpMandOrt"), Qt::Key_F1);
}

const QString Leer = QStringLiteral("Die Definition für den App.Helpfile = leer\nEs kann keine Onlinehilfe angezeigt werden !");

}  // namespace

// No help file, a missing one, or an entry that is no text (reported as a failing step, after
// which the check goes on to the empty-file message): the user is told, never an address opened.
TEST(Hilfe, OhneBrauchbareHilfedateiMeldungUndNieEineAdresse) {
    test::Datenbanken db;
    auto info = test::info(db);
    UrlFaenger faenger;
    const QString fehlt = db.ordner.filePath("fehlt.html");
    const QVariant eintraege[] = {QString(), fehlt, nullWert(), QVariantList{QStringLiteral("a.html")}};
    for (int i = 0; i < 4; ++i) {
        const bool kaputt = i >= 2;
        info[7] = eintraege[i];
        test::Meldungen meldungen;
        test::Dialog d(info);
        QTest::mouseClick(d->cmdHilfe, Qt::LeftButton);
        ASSERT_EQ(meldungen.texte.size(), kaputt ? 2 : 1) << meldungen.alle();
        EXPECT_EQ(meldungen.texte.last(), i == 1 ? QStringLiteral("Die Hilfedatei (App.HelpFile) %1 ist nicht auffindbar.\n"
                                                                  "Es kann keine Onlinehilfe angezeigt werden !").arg(fehlt)
                                                 : Leer);
        if (!kaputt) continue;
        EXPECT_TRUE(meldungen.texte.at(0).startsWith(QStringLiteral("xovAllgError ")));
        EXPECT_TRUE(meldungen.texte.at(0).endsWith(QStringLiteral(" @ xov..., in mdlFehlerXO, HilfeAufrufChk"))) << meldungen.texte.at(0).toStdString();
        EXPECT_FALSE(d.aufruf.HilfeOk);
        f1(d);
        EXPECT_EQ(meldungen.texte.size(), 4);
    }
    EXPECT_TRUE(faenger.urls.isEmpty());
}

TEST(Hilfe, F1OeffnetDasThemaDesFeldes) {
    test::Datenbanken db;
    auto info = test::info(db);
    info[7] = db.ordner.filePath(QStringLiteral("hilfe.html"));
    ASSERT_TRUE(QFile(info[7].toString()).open(QIODevice::WriteOnly));
    QList<int> themen(201, 0);  // the topic of the town field, in the host's list of integers
    themen[15] = 4711;
    info[60] = QVariant::fromValue(themen);
    UrlFaenger faenger;
    test::Meldungen meldungen;
    test::Dialog d(info);
    f1(d);
    ASSERT_EQ(faenger.urls.size(), 1);
    EXPECT_EQ(faenger.urls.first().toLocalFile(), info[7].toString());
    EXPECT_EQ(faenger.urls.first().fragment(), QStringLiteral("4711"));
    EXPECT_TRUE(meldungen.texte.isEmpty()) << meldungen.alle();
}

#include "HilfeTest.moc"
