#include <gtest/gtest.h>

#include "Hilfen.h"

#include <QApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QLocale>
#include <QTemporaryDir>
#include <QTranslator>

namespace {
// A run on the server engine without a test server has nothing to test.
class OhneServer : public ::testing::Environment {
public:
    void SetUp() override {
        if (test::serverLauf() && test::testServer().isEmpty()) GTEST_SKIP() << "kein Testserver (XOV_PG_TEST)";
    }
};
}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir laufzeit;
    qputenv("XDG_RUNTIME_DIR", laufzeit.path().toUtf8());
    // Settings and help lookups must not see the developer's own files.
    qputenv("USERPROFILE", laufzeit.path().toUtf8());
    QApplication app(argc, argv);
    QTranslator t;
    if (t.load(QLocale(QLocale::German), QStringLiteral("qtbase"), QStringLiteral("_"),
               QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&t);
    // The second process of the tests that hold or share a database with this one.
    if (argc > 1 && qstrcmp(argv[1], "--xov-helfer") == 0) return test::helferAusfuehren();
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new OhneServer);
    return RUN_ALL_TESTS();
}
