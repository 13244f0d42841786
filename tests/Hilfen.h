#pragma once
// Shared test helpers: real SQLCipher databases in a temporary folder, a second process that
// holds a database, and a watcher that answers message boxes and error windows for real.

// Every test file has Qt Widgets, Qt Test and GoogleTest through this header (the same three the
// test program's precompiled header holds).
#include <QtTest>
#include <QtWidgets>
#include <gtest/gtest.h>

#include "form/frmMandStamm.h"
#include "platform/Verbindungsangabe.h"
#include "services/Aufruf.h"

// Readable QString values in assertion messages.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }
inline void PrintTo(const QStringList& l, std::ostream* os) { *os << '[' << l.join(QStringLiteral("|")).toStdString() << ']'; }

namespace test {

// The engines a test can run on: encrypted files, or databases on the test server that
// scripts/test starts (its address in XOV_PG_TEST).
enum class Engine { Datei, Server };
inline const char* engineName(Engine e) { return e == Engine::Server ? "Server" : "Datei"; }
// The test server's address ("postgresql://xov@127.0.0.1:PORT/"), "" when none runs.
inline QString testServer() { return qEnvironmentVariable("XOV_PG_TEST"); }
// Skips the current test when it needs the server and none runs.
#define XOV_SERVER_NOETIG(engine) \
    if ((engine) == test::Engine::Server && test::testServer().isEmpty()) GTEST_SKIP() << "kein Testserver (XOV_PG_TEST)"

// Databases on the test server with names unique to this process, dropped again at the end.
struct Serverdatenbanken {
    QStringList adressen;
    QString neu(const char* art);
    Serverdatenbanken() = default;
    Serverdatenbanken(const Serverdatenbanken&) = delete;
    ~Serverdatenbanken();
};

struct Datenbanken {
    QTemporaryDir ordner;
    Serverdatenbanken server;
    QString mand, fa;   // file paths, or server addresses
    test::Engine engine = Engine::Datei;
    // Demo databases for `jahr`, keyed with the fixed password (on the test server in a server
    // run); `ohneSpalten` drops columns, an empty `passwort` leaves the files plain.
    explicit Datenbanken(int jahr = 2024, const QStringList& ohneSpalten = {}, bool fuellen = true,
                         const QString& passwort = xov::DbPasswort);
    // The same on the chosen engine; databases on the server are dropped again at the end.
    explicit Datenbanken(test::Engine e, int jahr = 2024, const QStringList& ohneSpalten = {}, bool fuellen = true,
                         const QString& passwort = xov::DbPasswort);
    // A database of the engine that does not exist.
    QString fehlend() const;
    // Runs SQL on the client or shared database with the fixed password.
    void mandSql(const QString& sql, const QVariantList& p = {}) const;
    void faSql(const QString& sql, const QVariantList& p = {}) const;
    QVariant mandWert(const QString& sql) const;
    QVariant faWert(const QString& sql) const;
};

// Holds a database file exclusively from a second process (the sqlcipher shell).
class Sperre {
public:
    explicit Sperre(const QString& pfad, const QString& passwort = {});
    ~Sperre();
    bool aktiv() const { return m_aktiv; }
private:
    QProcess m_prozess;
    bool m_aktiv = false;
};

// Answers every message box and error window that opens while it lives, and records them.
class Meldungen : public QObject {
public:
    using Antwort = std::function<QMessageBox::StandardButton(const QString& text)>;
    explicit Meldungen(Antwort antwort = {});
    QStringList texte;   // box text, CRLF shown as "\n"; error windows as "xovAllgError <nr>: <text> @ <stelle>",
                         // followed by " [<programm>]" and " ? <hilfe>" where the window shows them
    QStringList titel;
    std::string alle() const { return texte.join(QLatin1Char('|')).toStdString(); }  // for assertion messages
private:
    void pruefen();
    QTimer m_timer;
    Antwort m_antwort;
};

// The host's choices that tests vary.
struct Optionen {
    bool waehrung = false;        // the currency page shown
    bool eingeschraenkt = false;  // restricted mode: the address and tax fields locked
    bool ohneIndex = false;       // no index page
};
// Builds the call information (for the year 2024) as the host program does.
QVariantList info(const Datenbanken& db, Optionen o = {});

// The dialog opened as Mand_Aufruf opens it, but without the modal loop: the call information
// taken over, the form loaded, shown and active.
struct Dialog {
    // `bildschirm`: the screen the dialog opens on (the primary one when none is given).
    explicit Dialog(const QVariantList& info, int tabStripNr = 0, QScreen* bildschirm = nullptr);
    xov::Aufruf aufruf;  // the state of this call
    frmMandStamm* operator->() const { return form.get(); }
    // Clicks the close box (or presses Escape) and tells whether the dialog closed.
    bool schliessen() {
        form->close();
        QApplication::processEvents();
        return !form->isVisible();
    }
    bool escape() {
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : form.get(), Qt::Key_Escape);
        QApplication::processEvents();
        return !form->isVisible();
    }
    std::unique_ptr<frmMandStamm> form;
};

// The rows of `sql` on the database (file or server), each value as SQLite's quote() shows it
// ('text', 12, 12.5, 170.0, NULL; a date 'YYYY-MM-DD'), columns joined by "|", rows by " ; ".
// The same text on both engines, so that a number stored as text shows.
QString gespeichert(const QString& datenbank, const QString& sql, const QVariantList& p = {});
// Runs under XOV_TEST_ENGINE=Server: the dialog tests then use databases on the test server.
inline bool serverLauf() { return qEnvironmentVariable("XOV_TEST_ENGINE") == QLatin1String("Server"); }
// Skips a test that is about files only (encryption, file locks, SQLite's loose column types).
#define XOV_NUR_DATEI(grund) \
    if (test::serverLauf()) GTEST_SKIP() << "nur für Datenbankdateien: " << (grund)

// Every column of the client row with its stored type, as SQLite quotes it ("MandPlz=1060",
// "MandOrt='Wien'"): 12 and '12' differ.
QStringList zeile(const Datenbanken& db);
// The entries of `nachher` that are not in `vorher`.
inline QStringList unterschiede(const QStringList& vorher, QStringList nachher) {
    nachher.removeIf([&](const QString& w) { return vorher.contains(w); });
    return nachher;
}

// A program run as its own process: one of the build folder ("xov-db"), else a path or a program
// of PATH; killed when it has not ended after `ms` milliseconds.
struct Lauf {
    int status = -1;  // exit status; -1 when it crashed or was killed
    QString aus, fehler;
};
Lauf starten(const QString& programm, const QStringList& argumente, int ms = 60000,
             const QProcessEnvironment& umgebung = QProcessEnvironment::systemEnvironment());
// The database tool, as an administrator runs it.
inline Lauf xovDb(const QStringList& argumente) { return starten(QStringLiteral("xov-db"), argumente); }

// The test program's screen of that size beside the primary one (1280x1024, 1920x1200; see main.cpp).
inline QScreen* bildschirm(int breite, int hoehe) {
    for (QScreen* s : QGuiApplication::screens())
        if (s->size() == QSize(breite, hoehe)) return s;
    return nullptr;
}

// Clicks the tab of the page with the mouse.
void tabKlicken(Dialog& d, int seite);
// Clicks into the field, selects its text and types over it ("" deletes it).
void tippen(QWidget* feld, const char* text);

// Waits until the widget is the focus widget.
inline bool fokusAuf(QWidget* w) { return QTest::qWaitFor([w] { return QApplication::focusWidget() == w; }, 2000); }
// Runs what the last step posted (deferred checks, their message boxes) until nothing is left:
// for checking that something did NOT happen.
inline void abarbeiten() {
    for (int i = 0; i < 10; ++i) QCoreApplication::processEvents();
}
// Re-activates the dialog after a message box closed (no window manager here).
inline void aktivieren(QWidget* dialog) {
    dialog->activateWindow();
    QApplication::setActiveWindow(dialog);
    if (!QTest::qWaitForWindowActive(dialog, 2000)) ADD_FAILURE() << "Fenster wurde nicht aktiv";
}


// A second process of this test program that runs the data layer on request, one command per
// line (see Zweitprozess.cpp); `vorspann` runs it through another program (e.g. as another user).
class Zweitprozess {
public:
    explicit Zweitprozess(const QStringList& vorspann = {});
    ~Zweitprozess();
    bool bereit() const { return m_bereit; }
    void senden(const QStringList& befehl);   // without waiting for the answer
    QString antwort(int ms = 60000);          // the next answer line
    QString befehl(const QStringList& befehl, int ms = 60000) { senden(befehl); return antwort(ms); }
    void toeten();                             // SIGKILL, whatever it is doing
private:
    QProcess m_prozess;
    QByteArray m_puffer;
    bool m_bereit = false;
};

// Whether the user "nobody" may run this test program (as root, with the build folder readable
// by others; a checkout inside a private temporary folder is not).
bool nobodyErreichtDasTestprogramm();

// Whether the file at the path is not a plain SQLite file (its key applied, or no database at all).
bool verschluesselt(const QString& pfad);

// The loop of the second process; main() runs it when started with "--xov-helfer".
int helferAusfuehren();

}  // namespace test
