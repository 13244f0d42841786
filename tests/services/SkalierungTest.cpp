// The factor rule, the settings file and the scaling of a form.

#include "Hilfen.h"
#include "services/Skalierung.h"

#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <QTableView>
#include <QStandardItemModel>
#include <gtest/gtest.h>

using namespace xov;

TEST(Skalierung, FaktorTabelle) {
    struct Fall { const char* skalieren; const char* skFaktor; int breite; float faktor; };
    const Fall faelle[] = {
        {"1", "10", 1024, 2.0f}, {"1", "10", 1920, 2.0f}, {"1", "2", 1280, 1.4f}, {"1", "2", 1152, 1.2f},
        {"1", "3", 1024, 2.0f},  {"1", "15", 1000, 1.15f}, {"1", "20", 1000, 1.2f}, {"1", "", 1280, 1.0f},
        {"1", "viel", 1280, 1.0f}, {"ja", "5", 1000, 1.5f},
    };
    for (const Fall& f : faelle) {
        const auto k = faktorBerechnen(f.skalieren, f.skFaktor, f.breite);
        ASSERT_TRUE(k.has_value()) << f.skFaktor << " @ " << f.breite;
        EXPECT_FLOAT_EQ(*k, f.faktor) << f.skFaktor << " @ " << f.breite;
    }
    // Never on an 800-pixel screen, nor switched off; a computed value with decimals (2.5, 3.3333)
    // or an exponent (10^300, then infinity) leaves the dialog unscaled instead of shrinking it.
    const Fall ohne[] = {{"1", "10", 800, 0}, {"0", "10", 1280, 0}, {"", "10", 1280, 0}, {"1", "2", 1600, 0},
                         {"1", "1", 1024, 0}, {"1", "8e300", 1920, 0}, {"1", "8E38", 1920, 0}};
    for (const Fall& f : ohne) EXPECT_FALSE(faktorBerechnen(f.skalieren, f.skFaktor, f.breite)) << f.skFaktor << " @ " << f.breite;
}

TEST(Skalierung, IniLesenWieDasPrivateProfil) {
    QTemporaryDir dir;
    const QString pfad = dir.filePath("XOV-Settings.ini");
    EXPECT_EQ(IniLesen(pfad, "Section1", "Skalieren"), QString());  // no file
    QFile f(pfad);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("[section1]\r\nskalieren = 1234567890123456789012345678901234567890\r\n[Section2]\r\nSkFaktor=1,5\r\n");
    f.close();
    EXPECT_EQ(IniLesen(pfad, "Section1", "Skalieren"), QStringLiteral("1234567890123456789012345678901"));  // 31 characters
    EXPECT_EQ(IniLesen(pfad, "Section2", "SkFaktor"), QStringLiteral("1,5"));
    EXPECT_EQ(IniLesen(pfad, "Section2", "Skalieren"), QString());
}

TEST(Skalierung, FormUndSmallFontsSteuerelement) {
    QTemporaryDir dir;
    const QByteArray alt = qgetenv("USERPROFILE");
    qputenv("USERPROFILE", dir.path().toUtf8());
    QFile f(dir.filePath("XOV-Settings.ini"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("[Section1]\nSkalieren=1\n[Section2]\nSkFaktor=2\n");
    f.close();

    QWidget form;
    form.setFont(QFont(QStringLiteral("DejaVu Sans"), 8));
    form.setGeometry(100, 50, 500, 400);
    auto* normal = new QLabel("Ort:", &form);
    normal->setFont(QFont(QStringLiteral("DejaVu Serif"), 10));
    auto* klein = new QLabel("#", &form);
    klein->setFont(QFont(QStringLiteral("Small Fonts"), 7));
    auto* raster = new QTableView(&form);
    QStandardItemModel modell(1, 2);
    raster->setModel(&modell);
    raster->setColumnWidth(0, 100);

    QScreen* bildschirm = test::bildschirm(1280, 1024);
    ASSERT_TRUE(bildschirm);
    form.setScreen(bildschirm);  // c = 4: factor 1.4
    EXPECT_FLOAT_EQ(FormSkalieren(&form, true, true).Faktor, 1.4f);
    EXPECT_EQ(form.width(), 700);
    EXPECT_EQ(form.height(), 560);
    EXPECT_NEAR(form.font().pointSizeF(), 8 * 1.4 * 1.4, 0.01);
    EXPECT_NEAR(normal->font().pointSizeF(), 14.0, 0.01);
    EXPECT_EQ(normal->font().family(), QStringLiteral("DejaVu Serif"));
    EXPECT_EQ(klein->font().family(), QStringLiteral("DejaVu Sans"));  // takes the form's font name
    EXPECT_NEAR(klein->font().pointSizeF(), 9.8, 0.01);
    EXPECT_EQ(raster->columnWidth(0), 140);

    qputenv("USERPROFILE", alt);
}
