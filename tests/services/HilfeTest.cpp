// Online help as the user meets it: the help topics the host passes in any integer list, and a
// help check that recovers from a failing step.

#include "Hilfen.h"
#include "services/DbVerbindung.h"
#include "form/InputFeld.h"
#include "platform/Variant.h"
#include "services/Fehlerbericht.h"

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

QString hilfedateiAnlegen(const test::Datenbanken& db) {
    const QString pfad = db.ordner.filePath(QStringLiteral("hilfe.html"));
    QFile f(pfad);
    f.open(QIODevice::WriteOnly);
    f.write("<html></html>");
    return pfad;
}

template <typename T>
QVariant ids(int anzahl, T thema) {
    QList<T> l(anzahl, T(0));
    l[15] = thema;
    return QVariant::fromValue(l);
}

}  // namespace

TEST(Hilfe, ThemenAusJederGanzzahlListeDesHosts) {
    test::Datenbanken db;
    auto info = test::info(db);
    info[7] = hilfedateiAnlegen(db);
    struct Fall { const char* name; QVariant liste; };
    QVariantList varianten(201, 0);
    varianten[15] = 4711.0;
    const Fall faelle[] = {{"int", ids<int>(201, 4711)},        {"qint16", ids<qint16>(201, 4711)},
                           {"qint64", ids<qint64>(201, 4711)},  {"double", ids<double>(201, 4711.0)},
                           {"Variants", varianten},             {"kurze Liste", ids<int>(16, 4711)}};
    for (const Fall& f : faelle) {
        UrlFaenger faenger;
        info[60] = f.liste;
        test::Meldungen meldungen;
        test::Dialog d(info);
        d->feld("inpMandOrt")->setFocus();
        ASSERT_TRUE(test::fokusAuf(d->feld("inpMandOrt")));
        QTest::keyClick(d->feld("inpMandOrt"), Qt::Key_F1);
        ASSERT_EQ(faenger.urls.size(), 1) << f.name;
        EXPECT_EQ(faenger.urls.first().fragment(), QStringLiteral("4711")) << f.name;
        EXPECT_TRUE(meldungen.texte.isEmpty()) << f.name << ": " << meldungen.texte.join('|').toStdString();
    }
}

TEST(Hilfe, FehlschlagenderSchrittWirdGemeldetUndDiePruefungGehtWeiter) {
    test::Datenbanken db;
    auto info = test::info(db);
    info[7] = hilfedateiAnlegen(db);
    UrlFaenger faenger;
    {
        test::Meldungen meldungen;
        test::Dialog d(info);
        QTest::mouseClick(d->cmdHilfe, Qt::LeftButton);
        EXPECT_EQ(faenger.urls.size(), 1);
        EXPECT_TRUE(d.aufruf.HilfeOk);
    }
    // A help file entry that is no text: the report, then the empty-file check.
    const QVariant keineTexte[] = {nullWert(), QVariant(QVariantList{QStringLiteral("a.html")})};
    const QString stelle = QStringLiteral(" @ xov..., in mdlFehlerXO, HilfeAufrufChk");
    const QString leer = QStringLiteral("Die Definition für den App.Helpfile = leer\nEs kann keine Onlinehilfe angezeigt werden !");
    for (const QVariant& w : keineTexte) {
        info[7] = w;
        test::Meldungen meldungen;
        test::Dialog d(info);
        QTest::mouseClick(d->cmdHilfe, Qt::LeftButton);
        ASSERT_EQ(meldungen.texte.size(), 2) << meldungen.texte.join('|').toStdString();
        EXPECT_TRUE(meldungen.texte.at(0).startsWith(QStringLiteral("xovAllgError ")));
        EXPECT_TRUE(meldungen.texte.at(0).endsWith(stelle)) << meldungen.texte.at(0).toStdString();
        EXPECT_EQ(meldungen.texte.at(1), leer);
        EXPECT_FALSE(d.aufruf.HilfeOk);
        // F1 the same way; never an address opened.
        test::aktivieren(d.form.get());
        d->feld("inpMandOrt")->setFocus();
        ASSERT_TRUE(test::fokusAuf(d->feld("inpMandOrt")));
        QTest::keyClick(d->feld("inpMandOrt"), Qt::Key_F1);
        EXPECT_EQ(meldungen.texte.size(), 4);
        EXPECT_EQ(faenger.urls.size(), 1);
    }
}

TEST(Fehlerbericht, HilfeVerweisDesDialogsImFehlerfenster) {
    test::Datenbanken db;
    auto info = test::info(db);
    info[1] = db.ordner.filePath("fehlt.db");
    info[7] = hilfedateiAnlegen(db);
    info[60] = ids<int>(201, 4711);
    test::Meldungen meldungen;
    test::Dialog d(info);
    ASSERT_GE(meldungen.texte.size(), 1);
    EXPECT_TRUE(meldungen.texte.first().startsWith(QStringLiteral("xovAllgError 3024: ")));
    EXPECT_TRUE(meldungen.texte.first().endsWith(QStringLiteral(" @ XovMandStamm, in Form_Load ? %1#4711").arg(info[7].toString())))
        << meldungen.texte.first().toStdString();
}

#include "HilfeTest.moc"
