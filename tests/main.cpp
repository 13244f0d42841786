#include "Hilfen.h"

#include <dlfcn.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

extern char** environ;

namespace {

// The test program's mode "--xov-speicher PROGRAMM ARGUMENTE...": runs the program, waits for it
// and writes "STATUS MAXRSS_KB" (getrusage of that child) to standard output.
int speicherMessen(char** argv) {
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv, environ) != 0) return 127;
    int status = 0;
    rusage ru{};
    if (wait4(pid, &status, 0, &ru) != pid) return 127;
    std::printf("%d %ld\n", WIFEXITED(status) ? WEXITSTATUS(status) : -1, ru.ru_maxrss);
    return 0;
}

// A run on the server engine without a test server has nothing to test.
struct OhneServer : ::testing::Environment {
    void SetUp() override { XOV_SERVER_NOETIG(test::serverLauf() ? test::Engine::Server : test::Engine::Datei); }
};

QString beschreiben(QWidget* w) {
    return QStringLiteral("%1 \"%2\" (Titel \"%3\")")
        .arg(QString::fromLatin1(w->metaObject()->className()), w->objectName(), w->windowTitle());
}

// The windows of each test. A modal window that waits in its own event loop with nothing left to
// answer it would hold the test for ever: when the same one has waited 45 seconds, the process
// ends naming it, so that a run never hangs and the test fails with that text. A window a test
// leaves open falls on the next one (focus, modal loops, stray timers): after each test every
// visible top-level window fails the test by name and is closed.
class Fensterwache : public ::testing::EmptyTestEventListener {
public:
    Fensterwache() {
        m_timer.setInterval(500);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { pruefen(); });
    }
    void OnTestStart(const ::testing::TestInfo&) override { m_fenster.clear(); m_timer.start(); }
    void OnTestEnd(const ::testing::TestInfo&) override {
        m_timer.stop();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (!w->isVisible() || w->windowType() == Qt::ToolTip) continue;
            ADD_FAILURE() << "Fenster bleibt offen: " << beschreiben(w).toStdString();
            w->close();
        }
    }

private:
    void pruefen() {
        QWidget* w = QApplication::activeModalWidget();
        // Only a window in an event loop of its own waits; a dialog merely shown does not.
        if (!w || QThread::currentThread()->loopLevel() == 0) { m_fenster.clear(); return; }
        if (w != m_fenster) { m_fenster = w; m_seit.start(); return; }
        if (m_seit.elapsed() < 45000) return;
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        std::fprintf(stderr, "%s.%s: Modales Fenster wartet seit %lld s ohne Antwort: %s; der Testlauf endet.\n",
                     test->test_suite_name(), test->name(), m_seit.elapsed() / 1000, qPrintable(beschreiben(w)));
        std::fflush(stderr);
        std::_Exit(3);
    }
    QTimer m_timer;
    QPointer<QWidget> m_fenster;
    QElapsedTimer m_seit;
};

}  // namespace

int main(int argc, char** argv) {
#ifdef XOV_OPENSSL_SPEICHER
    // OpenSSL's memory outside the sanitizer, here and in every program the tests start (see
    // tests/OpenSslSpeicher.cpp); the sanitizer is told that the preloaded library is no fault.
    dlopen(XOV_OPENSSL_SPEICHER, RTLD_NOW);
    qputenv("LD_PRELOAD", XOV_OPENSSL_SPEICHER);
    qputenv("ASAN_OPTIONS", qgetenv("ASAN_OPTIONS") + ":verify_asan_link_order=0");
#endif
    // Peak memory of another program alone: started from this small, fresh process, the program
    // inherits none of the test process's peak (Linux carries it over exec).
    if (argc > 2 && qstrcmp(argv[1], "--xov-speicher") == 0) return speicherMessen(argv + 2);
    QTemporaryDir laufzeit;
    qputenv("XDG_RUNTIME_DIR", laufzeit.path().toUtf8());
    // Settings and help lookups must not see the developer's own files.
    qputenv("USERPROFILE", laufzeit.path().toUtf8());
    // The offscreen platform's own screen first, exactly as it is without a configuration (every
    // window opens there), and beside it the large screens the scaling tests put their forms on.
    const QString bildschirme = laufzeit.filePath(QStringLiteral("bildschirme.json"));
    QFile datei(bildschirme);
    const bool geschrieben = datei.open(QIODevice::WriteOnly) && datei.write(R"({"screens": [
            {"name": "", "x": 0, "y": 0, "width": 800, "height": 800, "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1},
            {"name": "1280x1024", "x": 800, "y": 0, "width": 1280, "height": 1024, "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1},
            {"name": "1920x1200", "x": 2080, "y": 0, "width": 1920, "height": 1200, "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})") > 0;
    datei.close();
    qputenv("QT_QPA_PLATFORM", geschrieben ? "offscreen:configfile=" + bildschirme.toUtf8() : QByteArray("offscreen"));
    QApplication app(argc, argv);
    // The programs the tests start (some as another user, who cannot read this folder) get the
    // plain platform.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTranslator t;
    if (t.load(QLocale(QLocale::German), QStringLiteral("qtbase"), QStringLiteral("_"),
               QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&t);
    // The second process of the tests that hold or share a database with this one.
    if (argc > 1 && qstrcmp(argv[1], "--xov-helfer") == 0) return test::helferAusfuehren();
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new OhneServer);
    ::testing::UnitTest::GetInstance()->listeners().Append(new Fensterwache);
    return RUN_ALL_TESTS();
}
