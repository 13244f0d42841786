// xov-mandstamm: the host program. Its options fill the call information and call the component.

#include "platform/Verbindungsangabe.h"
#include "component/xovMandStamm.h"
#include "platform/Datenbank.h"
#include "platform/Fehler.h"
#include "platform/Meldung.h"
#include "platform/Variant.h"
#include "tools/xov-db/Pruefen.h"
#include "tools/xov-db/Schema.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDate>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QStandardPaths>
#include <QPushButton>
#include <QTabBar>
#include <QTextStream>
#include <QTimer>
#include <QTranslator>

namespace {

QString datenOrdner() {
    const QString umgebung = qEnvironmentVariable("XOV_DATEN");
    if (!umgebung.isEmpty()) return umgebung;
    return QDir::homePath() + QStringLiteral("/.local/share/xovMandStamm");
}

// Renders each tab page of the open dialog to DIR/seite-N.png, then closes the dialog. Only the
// dialog itself is rendered, never a box in front of it (boxes do not wait in this mode).
void seitenAlsBilder(const QString& dir) {
    QDialog* dialog = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == QLatin1String("frmMandStamm") && w->isVisible()) dialog = qobject_cast<QDialog*>(w);
    if (!dialog) {
        QTimer::singleShot(50, [dir] { seitenAlsBilder(dir); });
        return;
    }
    QDir().mkpath(dir);
    QTextStream aus(stdout);
    auto* tabs = dialog->findChild<QTabBar*>(QStringLiteral("TabStrip1"));
    const int anzahl = tabs ? tabs->count() : 1;
    for (int i = 0; i < anzahl; ++i) {
        if (tabs) tabs->setCurrentIndex(i);
        // Preparing a page changes texts (account names), whose layout requests are posted while
        // the first round runs: settle them, so the picture shows what the user sees.
        QApplication::processEvents();
        QApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        QApplication::processEvents();
        const QString datei = QStringLiteral("%1/seite-%2.png").arg(dir).arg(i + 1);
        dialog->grab().save(datei);
        aus << datei << '\n';
    }
    // The rate chart of the currency page's current currency, when the last page shown offers it.
    if (auto* knopf = dialog->findChild<QPushButton*>(QStringLiteral("cmdKursgrafik")); knopf && knopf->isVisible()) {
        knopf->click();
        if (auto* grafik = dialog->findChild<QDialog*>(QStringLiteral("dlgKursgrafik"))) {
            QApplication::processEvents();
            const QString datei = dir + QStringLiteral("/kursgrafik.png");
            grafik->grab().save(datei);
            aus << datei << '\n';
            grafik->close();
        }
    }
    aus.flush();
    dialog->close();
    QApplication::processEvents();
    if (dialog->isVisible()) {
        // A check or the write refused to close (its message went to standard error): end
        // without saving rather than wait for a user who is not there.
        xov::unbeaufsichtigtMelden(QApplication::applicationName(),
                                   QStringLiteral("Der Dialog ließ sich nicht schließen; er wird ohne Speichern beendet."),
                                   QString(), true);
        dialog->done(QDialog::Rejected);
    }
}

// An option value that cannot be used: the run ends before the call, naming the option.
struct FalscheOption {
    QString text;
};

// Qt's own window-system arguments ("-platform offscreen", "-style fusion") are the window
// system's business: the options are read without them, before any window system is needed.
QStringList ohneFensterArgumente(const QStringList& argumente) {
    static const QStringList mitWert = {"platform", "platformpluginpath", "platformtheme", "plugin", "display", "style",
                                        "stylesheet", "qwindowgeometry", "qwindowtitle", "qwindowicon", "session", "geometry"};
    static const QStringList ohneWert = {"reverse", "nograb", "dograb", "widgetcount"};
    QStringList rest;
    for (int i = 0; i < argumente.size(); ++i) {
        QString name = argumente.at(i);
        if (i == 0 || !name.startsWith(u'-') || name == QLatin1String("--")) {
            rest << argumente.at(i);
            continue;
        }
        name.remove(0, name.startsWith(QLatin1String("--")) ? 2 : 1);
        if (ohneWert.contains(name)) continue;
        if (mitWert.contains(name)) {
            ++i;
            continue;
        }
        rest << argumente.at(i);
    }
    return rest;
}

// Qt's own lines of the help ("Aufruf:", "Optionen:", -h) and its buttons ("&Ja") in German.
void qtAufDeutsch(QTranslator& t) {
    if (t.load(QLocale(QLocale::German), QStringLiteral("qtbase"), QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&t);
}

// What the options ask for, checked before anything is opened.
struct Optionen {
    QString mandPfad, faPfad, format, hilfe, bilder, passwortDatei;
    bool hilfeGesetzt = false, demo = false, eingeschraenkt = false, ohneIndex = false, waehrung = false;
    int buchjahr = QDate::currentDate().year();
    QDate monatsstatus = QDate::currentDate();
    qint32 tabStripNr = 0;
    QVariantList ids = QVariantList(201, 0);
};

// The values that must be checked before the call; a fault throws FalscheOption naming the option.
void werteNehmen(const QCommandLineParser& p, Optionen& o) {
    if (!p.positionalArguments().isEmpty())
        throw FalscheOption{QStringLiteral("Unerwartetes Argument \"%1\".").arg(p.positionalArguments().first())};
    for (const QString name : {"mandant", "finanzamt", "bilder", "hilfe"})
        if (p.isSet(name) && p.value(name).trimmed().isEmpty()) throw FalscheOption{QStringLiteral("--%1: der Wert ist leer.").arg(name)};
    if (p.isSet(QStringLiteral("jahr")) && !(o.buchjahr = xovdb::vierstelligesJahr(p.value(QStringLiteral("jahr")))))
        throw FalscheOption{QStringLiteral("--jahr \"%1\": erwartet wird eine vierstellige Jahreszahl.").arg(p.value(QStringLiteral("jahr")))};
    if (p.isSet(QStringLiteral("monatsstatus"))) {
        const auto d = xov::datumAusText(p.value(QStringLiteral("monatsstatus")));
        if (!d) throw FalscheOption{QStringLiteral("--monatsstatus \"%1\": kein gültiges Datum TT.MM.JJJJ.").arg(p.value(QStringLiteral("monatsstatus")))};
        o.monatsstatus = *d;
    }
    bool ok = false;
    o.tabStripNr = p.value(QStringLiteral("tabstripnr")).trimmed().toInt(&ok);
    if (!ok) throw FalscheOption{QStringLiteral("--tabstripnr \"%1\": erwartet wird eine ganze Zahl.").arg(p.value(QStringLiteral("tabstripnr")))};
    if (p.isSet(QStringLiteral("hilfe-ids"))) {
        const QStringList teile = p.value(QStringLiteral("hilfe-ids")).split(u',');
        for (int i = 0; i < teile.size() && i < o.ids.size(); ++i) {
            const short id = teile.at(i).trimmed().toShort(&ok);
            if (!ok) throw FalscheOption{QStringLiteral("--hilfe-ids: \"%1\" ist keine Kontextnummer (ganze Zahl bis 32767).").arg(teile.at(i))};
            o.ids[i] = id;
        }
    }
}

// Reads and checks the options without a window system, so that --help and a wrong option work
// on a machine without a display. Ends the run with the help (status 0) or with the option's
// fault (status 2) through `status`; otherwise returns what was asked for.
Optionen optionenLesen(const QStringList& argumente, int& status) {
    QCommandLineParser p;
    p.setApplicationDescription(QStringLiteral("Öffnet die Mandanten-Stammdaten auf einer Mandanten- und einer gemeinsamen Datenbank.\n\n"
                                               "Tasten im Dialog:\n"
                                               "  Strg+Tab, Strg+Umschalt+Tab, Strg+Bild ab/auf, Alt+1 bis Alt+8: Seite wechseln\n"
                                               "  Alt+B Beenden, Alt+N Neuer Kurs, Alt+E Kurse einlesen…, Alt+G Kursgrafik…, Alt+K Konten-Auswahl, F1 Hilfe\n"
                                               "  Eingabetaste auf einer Schaltfläche drückt sie; in einem Feld geht sie zum nächsten."));
    p.addHelpOption();
    p.addVersionOption();
    const QCommandLineOption mand({"m", "mandant"}, "Mandanten-Datenbank: Pfad oder Serveradresse postgresql://BENUTZER@HOST:PORT/DB (Info 0).", "datei");
    const QCommandLineOption fa({"f", "finanzamt"}, "Gemeinsame Datenbank mit Finanzämtern und Währungen: Pfad oder Serveradresse (Info 1).", "datei");
    const QCommandLineOption format("format", "Datenbankformat (Info 4): \"Access 2000;\" oder anderes.", "text", "Access 2000;");
    const QCommandLineOption monat("monatsstatus", "Monatsstatus-Datum TT.MM.JJJJ (Info 5); vorgegeben: heute.", "datum");
    const QCommandLineOption hilfeDatei("hilfe", "Hilfedatei im HTML-Format (Info 7).", "datei");
    const QCommandLineOption jahr("jahr", "Buchungsjahr für die Kontenprüfung (Info 11); vorgegeben: laufendes Jahr.", "jjjj");
    const QCommandLineOption eingeschraenkt("eingeschraenkt", "Eingeschränkter Modus: Info 9 = 20.");
    const QCommandLineOption ohneIndex("ohne-index", "Ohne die Seite \"IndexBez\" (Info 2 = 1).");
    const QCommandLineOption waehrung("waehrung", "Mit der Seite \"Fremdwährung\" (Info 61 = 1).");
    const QCommandLineOption hilfeIds("hilfe-ids", "Hilfe-Kontextnummern, durch Kommas getrennt (Info 60); die 16. gilt dem Dialog.", "liste");
    const QCommandLineOption tabStrip("tabstripnr", "Startmodus TabStripNr; 7 öffnet die Währungsseite.", "zahl", "0");
    const QCommandLineOption demo("demo", "Demo-Datenbanken im Datenordner verwenden (XOV_DATEN oder ~/.local/share/xovMandStamm); sie werden angelegt, wo sie fehlen.");
    const QCommandLineOption bilder("bilder", "Jede Seite des Dialogs als DIR/seite-N.png speichern und beenden. Keine Meldung wartet: "
                                              "jede wird auf die Standardfehlerausgabe geschrieben und mit ihrem Standardknopf "
                                              "beantwortet; nach einer Fehlermeldung endet der Lauf mit Status 1.", "dir");
    const QCommandLineOption passwortDatei("passwort-datei", "Kennwort am Datenbankserver: die erste Zeile der Datei (sonst PGPASSWORD, "
                                                             "PGPASSFILE, ~/.pgpass oder das Kennwort der Anwendung).", "datei");
    p.addOptions({mand, fa, format, monat, hilfeDatei, jahr, eingeschraenkt, ohneIndex, waehrung, hilfeIds, tabStrip, demo, bilder});
    p.addOption(passwortDatei);
    p.process(argumente);  // --help and unknown options end the run here, as Qt does it

    Optionen o;
    o.mandPfad = p.value(mand);
    o.faPfad = p.value(fa);
    o.format = p.value(format);
    o.hilfe = p.value(hilfeDatei);
    o.hilfeGesetzt = p.isSet(hilfeDatei);
    o.bilder = p.value(bilder);
    o.demo = p.isSet(demo);
    o.passwortDatei = p.value(passwortDatei);
    o.eingeschraenkt = p.isSet(eingeschraenkt);
    o.ohneIndex = p.isSet(ohneIndex);
    o.waehrung = p.isSet(waehrung);
    o.ids[15] = 1000;  // the dialog's topic in the shipped help page
    try {
        werteNehmen(p, o);
    } catch (const FalscheOption& f) {
        QTextStream(stderr) << "Ungültige Option " << f.text << "\n";
        status = 2;
    }
    return o;
}

// The demo databases in the data folder where no database is named; only absent ones are created
// (files or on a server), an existing one is never overwritten. They are complete only when
// filled: a run stopped halfway leaves nothing the next one refuses.
void demoDatenbanken(const Optionen& o, QString& mandPfad, QString& faPfad) {
    const QString ordner = datenOrdner();
    QDir().mkpath(ordner);
    if (o.mandPfad.isEmpty()) mandPfad = ordner + QStringLiteral("/mandant.db");
    if (o.faPfad.isEmpty()) faPfad = ordner + QStringLiteral("/gemeinsam.db");
    if (xovdb::datenbankVorhanden(mandPfad, xov::DbPasswort) || xovdb::datenbankVorhanden(faPfad, xov::DbPasswort)) return;
    xovdb::anlegen(mandPfad, faPfad, xov::DbPasswort, {}, false);
    try {
        xovdb::demoFuellen(mandPfad, faPfad, xov::DbPasswort, o.buchjahr);
    } catch (...) {
        for (const QString& db : {mandPfad, faPfad}) {
            try { xov::datenbankEntfernen({db, xov::DbPasswort}); } catch (const xov::Fehler&) {}
        }
        throw;
    }
    xovdb::anlageAbschliessen({mandPfad, faPfad}, xov::DbPasswort);
}

// The call information as a host fills it from the options.
QVariantList aufrufinformation(const Optionen& o, const QString& mandPfad, const QString& faPfad) {
    QVariantList info(100);
    info[0] = mandPfad;
    info[1] = faPfad;
    info[2] = o.ohneIndex ? 1 : 0;
    info[4] = o.format;
    info[5] = o.monatsstatus;
    QString hilfe = o.hilfe;
    // The demo's help page: the installed one, or in a build folder the one of the sources.
    if (!o.hilfeGesetzt && o.demo)
        hilfe = QFileInfo::exists(QStringLiteral(XOV_HILFE_INSTALLIERT)) ? QStringLiteral(XOV_HILFE_INSTALLIERT)
                                                                      : QStringLiteral(XOV_HILFE_QUELLE);
    info[7] = hilfe;
    info[9] = o.eingeschraenkt ? 20 : 0;
    info[10] = 0;
    info[11] = o.buchjahr;
    info[20] = QString();
    info[60] = o.ids;
    info[61] = o.waehrung || !o.bilder.isEmpty() ? 1 : 0;
    return info;
}

}  // namespace

int main(int argc, char* argv[]) {
    // A password in a server address leaves the process list before anything else runs.
    const xov::VerdeckteArgumente verdeckt(argc, argv);
    const QString name = QStringLiteral("xov-mandstamm");
    Optionen o;
    {
        QCoreApplication kern(argc, argv);
        QCoreApplication::setApplicationName(name);
        QCoreApplication::setApplicationVersion(QStringLiteral(XOV_VERSION));
        QTranslator qtDeutsch;
        qtAufDeutsch(qtDeutsch);
        int status = -1;
        o = optionenLesen(ohneFensterArgumente(verdeckt.wiederherstellen(QCoreApplication::arguments())), status);
        if (status >= 0) return status;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(name);
    xov::anlagenAlsGanzes(true);  // demo databases appear only when complete
    QTranslator qtDeutsch;
    qtAufDeutsch(qtDeutsch);

    QTextStream fehler(stderr);
    QString mandPfad = o.mandPfad, faPfad = o.faPfad;
    const bool unbeaufsichtigt = !o.bilder.isEmpty();
    xov::setzeUnbeaufsichtigt(unbeaufsichtigt);
    try {
        if (!o.passwortDatei.isEmpty()) xov::serverKennwortSetzen(xov::kennwortAusDatei(o.passwortDatei));
        if (o.demo || !o.bilder.isEmpty()) demoDatenbanken(o, mandPfad, faPfad);
        if (mandPfad.isEmpty() || faPfad.isEmpty()) {
            fehler << "Bitte --mandant und --finanzamt angeben, oder --demo.\n";
            return 2;
        }
        QVariantList info = aufrufinformation(o, mandPfad, faPfad);
        xovMandStamm komponente;
        komponente.setTabStripNr(o.tabStripNr);
        if (!o.bilder.isEmpty()) QTimer::singleShot(0, [dir = o.bilder] { seitenAlsBilder(dir); });
        komponente.Mand_Aufruf(info);
    } catch (const xov::Fehler& f) {
        fehler << "Fehler " << f.nummer() << ": " << f.beschreibung() << '\n';
        return 1;
    }
    return unbeaufsichtigt && xov::gemeldeteFehler() > 0 ? 1 : 0;
}
