#include <gtest/gtest.h>

#include "Hilfen.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QPointer>
#include <QThread>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
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

// A modal window that waits in its own event loop with nothing left to answer it would hold the
// test for ever. When the same one has waited `frist` seconds (XOV_TEST_MODAL_FRIST, 45 by default),
// the test fails naming it and the window is rejected; if that does not end its loop either, the
// process ends with the same words, so that a run never hangs.
class Modalwache : public ::testing::EmptyTestEventListener {
public:
    Modalwache() {
        m_frist = qEnvironmentVariableIntValue("XOV_TEST_MODAL_FRIST") * 1000;
        if (m_frist <= 0) m_frist = 45000;
        m_timer.setInterval(500);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { pruefen(); });
    }
    void OnTestStart(const ::testing::TestInfo&) override { m_fenster.clear(); m_timer.start(); }
    void OnTestEnd(const ::testing::TestInfo&) override { m_timer.stop(); }

private:
    static QString beschreiben(QWidget* w) {
        return QStringLiteral("%1 \"%2\" (Titel \"%3\")").arg(QString::fromLatin1(w->metaObject()->className()), w->objectName(), w->windowTitle());
    }
    void pruefen() {
        QWidget* w = QApplication::activeModalWidget();
        // Only a window in an event loop of its own waits; a dialog merely shown does not.
        if (!w || QThread::currentThread()->loopLevel() == 0) { m_fenster.clear(); return; }
        if (w != m_fenster) { m_fenster = w; m_seit.start(); m_abgewiesen = false; return; }
        if (m_seit.elapsed() < (m_abgewiesen ? 5000 : m_frist)) return;
        const QString text = QStringLiteral("Modales Fenster wartet seit %1 s ohne Antwort: %2").arg(m_seit.elapsed() / 1000).arg(beschreiben(w));
        if (m_abgewiesen) {
            std::fprintf(stderr, "%s; es schließt sich nicht, der Testlauf endet.\n", qPrintable(text));
            std::fflush(stderr);
            std::_Exit(3);
        }
        ADD_FAILURE() << text.toStdString();
        m_abgewiesen = true;
        m_seit.start();
        if (auto* d = qobject_cast<QDialog*>(w)) d->reject(); else w->close();
    }
    QTimer m_timer;
    QPointer<QWidget> m_fenster;
    QElapsedTimer m_seit;
    qint64 m_frist = 45000;
    bool m_abgewiesen = false;
};

// A window a test leaves open falls on the next one (focus, modal loops, stray timers): after
// each test every visible top-level window fails the test by name and is closed.
class Fensterwache : public ::testing::EmptyTestEventListener {
public:
    void OnTestEnd(const ::testing::TestInfo&) override {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (!w->isVisible() || w->windowType() == Qt::ToolTip) continue;
            ADD_FAILURE() << "Fenster bleibt offen: " << QStringLiteral("%1 \"%2\" (Titel \"%3\")")
                                 .arg(QString::fromLatin1(w->metaObject()->className()), w->objectName(), w->windowTitle()).toStdString();
            w->close();
        }
    }
};

}  // namespace

int main(int argc, char** argv) {
    // Peak memory of another program alone: started from this small, fresh process, the program
    // inherits none of the test process's peak (Linux carries it over exec).
    if (argc > 2 && qstrcmp(argv[1], "--xov-speicher") == 0) return test::speicherMessen(argc - 2, argv + 2);
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
    ::testing::UnitTest::GetInstance()->listeners().Append(new Modalwache);
    ::testing::UnitTest::GetInstance()->listeners().Append(new Fensterwache);
    return RUN_ALL_TESTS();
}
