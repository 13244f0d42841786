// xov-mandstamm: the host program. Its options fill the call information and call the component.

#include "platform/Verbindungsangabe.h"
#include "component/xovMandStamm.h"
#include "platform/Datenbank.h"
#include "platform/Fehler.h"
#include "platform/Meldung.h"
#include "platform/Variant.h"
#include "tools/xov-db/Schema.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDate>
#include <QDialog>
#include <QDir>
#include <QLibraryInfo>
#include <QLocale>
#include <QStandardPaths>
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

int jahrAus(const QString& wert) {
    bool ok = false;
    const int j = wert.trimmed().toInt(&ok);
    if (!ok || j < 1000 || j > 9999)
        throw FalscheOption{QStringLiteral("--jahr \"%1\": erwartet wird eine vierstellige Jahreszahl.").arg(wert)};
    return j;
}

}  // namespace

int main(int argc, char* argv[]) {
    // A password in a server address leaves the process list before anything else runs.
    const xov::VerdeckteArgumente verdeckt(argc, argv);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("xov-mandstamm"));
    xov::anlagenAlsGanzes(true);  // demo databases appear only when complete
    // Qt's own lines of the help ("Aufruf:", "Optionen:", -h) in German: translation before parsing.
    QTranslator qtDeutsch;
    if (qtDeutsch.load(QLocale(QLocale::German), QStringLiteral("qtbase"), QStringLiteral("_"),
                       QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtDeutsch);
    QCommandLineParser p;
    p.setApplicationDescription(QStringLiteral("Öffnet die Mandanten-Stammdaten auf einer Mandanten- und einer gemeinsamen Datenbank."));
    p.addHelpOption();
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
    p.process(verdeckt.wiederherstellen(app.arguments()));

    QTextStream fehler(stderr);
    QString mandPfad = p.value(mand), faPfad = p.value(fa);
    int buchjahr = QDate::currentDate().year();
    QDate monatsstatus = QDate::currentDate();
    qint32 tabStripNr = 0;
    QVariantList ids(201, 0);
    ids[15] = 1000;  // the dialog's topic in the shipped help page
    try {
        if (!p.positionalArguments().isEmpty())
            throw FalscheOption{QStringLiteral("Unerwartetes Argument \"%1\".").arg(p.positionalArguments().first())};
        for (const auto* o : {&mand, &fa, &bilder, &hilfeDatei})
            if (p.isSet(*o) && p.value(*o).trimmed().isEmpty())
                throw FalscheOption{QStringLiteral("--%1: der Wert ist leer.").arg(o->names().last())};
        if (p.isSet(jahr)) buchjahr = jahrAus(p.value(jahr));
        if (p.isSet(monat)) {
            const auto d = xov::datumAusText(p.value(monat));
            if (!d) throw FalscheOption{QStringLiteral("--monatsstatus \"%1\": kein gültiges Datum TT.MM.JJJJ.").arg(p.value(monat))};
            monatsstatus = *d;
        }
        bool ok = false;
        tabStripNr = p.value(tabStrip).trimmed().toInt(&ok);
        if (!ok) throw FalscheOption{QStringLiteral("--tabstripnr \"%1\": erwartet wird eine ganze Zahl.").arg(p.value(tabStrip))};
        if (p.isSet(hilfeIds)) {
            const QStringList teile = p.value(hilfeIds).split(u',');
            for (int i = 0; i < teile.size() && i < ids.size(); ++i) {
                const short id = teile.at(i).trimmed().toShort(&ok);
                if (!ok) throw FalscheOption{QStringLiteral("--hilfe-ids: \"%1\" ist keine Kontextnummer (ganze Zahl bis 32767).").arg(teile.at(i))};
                ids[i] = id;
            }
        }
    } catch (const FalscheOption& f) {
        fehler << "Ungültige Option " << f.text << "\n";
        return 2;
    }
    const bool unbeaufsichtigt = p.isSet(bilder);
    xov::setzeUnbeaufsichtigt(unbeaufsichtigt);
    try {
        if (p.isSet(passwortDatei)) xov::serverKennwortSetzen(xov::kennwortAusDatei(p.value(passwortDatei)));
        if (p.isSet(demo) || p.isSet(bilder)) {
            const QString ordner = datenOrdner();
            QDir().mkpath(ordner);
            if (!p.isSet(mand)) mandPfad = ordner + QStringLiteral("/mandant.db");
            if (!p.isSet(fa)) faPfad = ordner + QStringLiteral("/gemeinsam.db");
            // Only absent databases are created (files or on a server); an existing one is never overwritten.
            if (!xovdb::datenbankVorhanden(mandPfad, xov::DbPasswort) && !xovdb::datenbankVorhanden(faPfad, xov::DbPasswort)) {
                // Complete only when filled: a run stopped halfway leaves nothing the next one refuses.
                xovdb::anlegen(mandPfad, faPfad, xov::DbPasswort, {}, false);
                try {
                    xovdb::demoFuellen(mandPfad, faPfad, xov::DbPasswort, buchjahr);
                } catch (...) {
                    for (const QString& db : {mandPfad, faPfad}) {
                        try { xov::datenbankEntfernen({db, xov::DbPasswort}); } catch (const xov::Fehler&) {}
                    }
                    throw;
                }
                xovdb::anlageAbschliessen({mandPfad, faPfad}, xov::DbPasswort);
            }
        }
        if (mandPfad.isEmpty() || faPfad.isEmpty()) {
            fehler << "Bitte --mandant und --finanzamt angeben, oder --demo.\n";
            return 2;
        }
        QVariantList info(100);
        info[0] = mandPfad;
        info[1] = faPfad;
        info[2] = p.isSet(ohneIndex) ? 1 : 0;
        info[4] = p.value(format);
        info[5] = monatsstatus;
        QString hilfe = p.value(hilfeDatei);
        if (!p.isSet(hilfeDatei) && p.isSet(demo)) hilfe = QStringLiteral(XOV_HILFE_QUELLE);
        info[7] = hilfe;
        info[9] = p.isSet(eingeschraenkt) ? 20 : 0;
        info[10] = 0;
        info[11] = buchjahr;
        info[20] = QString();
        info[60] = ids;
        info[61] = p.isSet(waehrung) || p.isSet(bilder) ? 1 : 0;

        xovMandStamm komponente;
        komponente.setTabStripNr(tabStripNr);
        if (p.isSet(bilder)) QTimer::singleShot(0, [dir = p.value(bilder)] { seitenAlsBilder(dir); });
        komponente.Mand_Aufruf(info);
    } catch (const xov::Fehler& f) {
        fehler << "Fehler " << f.nummer() << ": " << f.beschreibung() << '\n';
        return 1;
    }
    return unbeaufsichtigt && xov::gemeldeteFehler() > 0 ? 1 : 0;
}
