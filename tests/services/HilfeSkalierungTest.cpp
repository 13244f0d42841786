// Online help and scaling as the user meets them: the messages when there is no help, the help
// topics the host passes in any integer list, a help check that recovers from a failing step; the
// factor rule, the settings file and the scaling of a form.

#include "Hilfen.h"
#include "form/InputFeld.h"
#include "platform/Variant.h"
#include "services/Skalierung.h"

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

}  // namespace

// No help file, a missing one, or an entry that is no text (reported as a failing step, after
// which the check goes on to the empty-file message): the help button and F1 tell the user, never
// an address opened. With a help file, F1 opens the field's topic, taken from the host's list of
// integers.
TEST(Hilfe, OhneBrauchbareHilfedateiMeldungSonstF1ZumThemaDesFeldes) {
    test::Datenbanken db;
    auto info = test::info(db);
    const QString fehlt = db.ordner.filePath("fehlt.html"), da = db.ordner.filePath("hilfe.html");
    ASSERT_TRUE(QFile(da).open(QIODevice::WriteOnly));
    QList<int> themen(201, 0);
    themen[15] = 4711;  // the town field's
    info[60] = QVariant::fromValue(themen);
    const QString leer = QStringLiteral("Die Definition für den App.Helpfile = leer\nEs kann keine Onlinehilfe angezeigt werden !");
    const QString nichtDa = QStringLiteral("Die Hilfedatei (App.HelpFile) %1 ist nicht auffindbar.\n"
                                           "Es kann keine Onlinehilfe angezeigt werden !");
    UrlFaenger faenger;
    const QVariant eintraege[] = {QString(), fehlt, nullWert(), QVariantList{QStringLiteral("a.html")}, da};
    for (int i = 0; i < 5; ++i) {
        const bool kaputt = i == 2 || i == 3;
        info[7] = eintraege[i];
        test::Meldungen meldungen;
        test::Dialog d(info);
        if (i < 4) {
            QTest::mouseClick(d->cmdHilfe, Qt::LeftButton);
            ASSERT_EQ(meldungen.texte.size(), kaputt ? 2 : 1) << meldungen.alle();
            EXPECT_EQ(meldungen.texte.last(), i == 1 ? nichtDa.arg(fehlt) : leer);
            EXPECT_TRUE(!kaputt || meldungen.texte.at(0).endsWith(" @ xov..., in mdlFehlerXO, HilfeAufrufChk")) << meldungen.alle();
        }
        test::aktivieren(d.form.get());
        d->feld("inpMandOrt")->setFocus();
        ASSERT_TRUE(test::fokusAuf(d->feld("inpMandOrt")));
        QTest::keyClick(d->feld("inpMandOrt"), Qt::Key_F1);  // the same messages again, or the topic opened
        EXPECT_EQ(meldungen.texte.size(), i == 4 ? 0 : kaputt ? 4 : 2) << meldungen.alle();
    }
    ASSERT_EQ(faenger.urls.size(), 1);  // only the last call's
    EXPECT_EQ(faenger.urls.first().toLocalFile(), da);
    EXPECT_EQ(faenger.urls.first().fragment(), QStringLiteral("4711"));
}

// The factor from the settings and the screen width; 0: none. Never on an 800-pixel screen, nor
// switched off; a computed value with decimals (2.5, 3.3333) or an exponent (10^300, then
// infinity) leaves the dialog unscaled instead of shrinking it.
TEST(Skalierung, FaktorTabelle) {
    struct Fall { const char* skalieren; const char* skFaktor; int breite; float faktor; };
    const Fall faelle[] = {
        {"1", "10", 1024, 2.0f}, {"1", "10", 1920, 2.0f}, {"1", "2", 1280, 1.4f}, {"1", "2", 1152, 1.2f},
        {"1", "3", 1024, 2.0f},  {"1", "15", 1000, 1.15f}, {"1", "20", 1000, 1.2f}, {"1", "", 1280, 1.0f},
        {"1", "viel", 1280, 1.0f}, {"ja", "5", 1000, 1.5f}, {"1", "10", 800, 0}, {"0", "10", 1280, 0},
        {"", "10", 1280, 0}, {"1", "2", 1600, 0}, {"1", "1", 1024, 0}, {"1", "8e300", 1920, 0}, {"1", "8E38", 1920, 0},
    };
    for (const Fall& f : faelle)
        EXPECT_FLOAT_EQ(faktorBerechnen(f.skalieren, f.skFaktor, f.breite).value_or(0), f.faktor) << f.skFaktor << " @ " << f.breite;
}

// The settings file read as Windows reads a private profile: sections and keys in any case, blanks
// around "=", a value cut after 31 characters; then the form, its fonts and a grid's columns
// scaled by the factor it gives.
TEST(Skalierung, EinstellungsdateiUndForm) {
    QTemporaryDir dir;
    const QString pfad = dir.filePath("XOV-Settings.ini");
    EXPECT_EQ(IniLesen(pfad, "Section1", "Skalieren"), QString());  // no file
    const QByteArray alt = qgetenv("USERPROFILE");
    qputenv("USERPROFILE", dir.path().toUtf8());
    QFile f(pfad);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("[section1]\r\nskalieren = 1\r\n[Section2]\r\nSkFaktor=2\r\nLang=1234567890123456789012345678901234567890\r\n");
    f.close();
    EXPECT_EQ(IniLesen(pfad, "Section2", "Lang"), QStringLiteral("1234567890123456789012345678901"));
    EXPECT_EQ(IniLesen(pfad, "Section2", "Skalieren"), QString());

    QWidget form;
    form.setFont(QFont(QStringLiteral("DejaVu Sans"), 8));
    form.setGeometry(100, 50, 500, 400);
    auto* normal = new QLabel("Ort:", &form);
    normal->setFont(QFont(QStringLiteral("DejaVu Serif"), 10));
    auto* raster = new QTableView(&form);
    QStandardItemModel modell(1, 2);
    raster->setModel(&modell);
    raster->setColumnWidth(0, 100);

    QScreen* bildschirm = test::bildschirm(1280, 1024);
    ASSERT_TRUE(bildschirm);
    form.setScreen(bildschirm);  // c = 4: factor 1.4
    EXPECT_FLOAT_EQ(FormSkalieren(&form, true, true).Faktor, 1.4f);
    EXPECT_EQ(form.size(), QSize(700, 560));
    EXPECT_NEAR(form.font().pointSizeF(), 8 * 1.4 * 1.4, 0.01);
    EXPECT_NEAR(normal->font().pointSizeF(), 14.0, 0.01);
    EXPECT_EQ(normal->font().family(), QStringLiteral("DejaVu Serif"));
    EXPECT_EQ(raster->columnWidth(0), 140);

    qputenv("USERPROFILE", alt);
}

#include "HilfeSkalierungTest.moc"
