// xov-mandstamm: the host program. Its options fill the call information and call the component.

#include "component/Modul.h"
#include "component/xovMandStamm.h"
#include "platform/Fehler.h"
#include "tools/xov-db/Schema.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDate>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTabBar>
#include <QTextStream>
#include <QTimer>

namespace {

QString datenOrdner() {
    const QString umgebung = qEnvironmentVariable("XOV_DATEN");
    if (!umgebung.isEmpty()) return umgebung;
    return QDir::homePath() + QStringLiteral("/.local/share/xovMandStamm");
}

// Renders each tab page of the open dialog to DIR/seite-N.png, then closes the dialog.
void seitenAlsBilder(const QString& dir) {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
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
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("xov-mandstamm"));
    QCommandLineParser p;
    p.setApplicationDescription(QStringLiteral("Öffnet die Mandanten-Stammdaten auf einer Mandanten- und einer gemeinsamen Datenbank."));
    p.addHelpOption();
    const QCommandLineOption mand({"m", "mandant"}, "Pfad der Mandanten-Datenbank (Info 0).", "datei");
    const QCommandLineOption fa({"f", "finanzamt"}, "Pfad der gemeinsamen Datenbank mit Finanzämtern und Währungen (Info 1).", "datei");
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
    const QCommandLineOption bilder("bilder", "Jede Seite des Dialogs als DIR/seite-N.png speichern und beenden.", "dir");
    p.addOptions({mand, fa, format, monat, hilfeDatei, jahr, eingeschraenkt, ohneIndex, waehrung, hilfeIds, tabStrip, demo, bilder});
    p.process(app);

    QTextStream fehler(stderr);
    QString mandPfad = p.value(mand), faPfad = p.value(fa);
    const int buchjahr = p.isSet(jahr) ? p.value(jahr).toInt() : QDate::currentDate().year();
    try {
        if (p.isSet(demo) || p.isSet(bilder)) {
            const QString ordner = datenOrdner();
            QDir().mkpath(ordner);
            if (mandPfad.isEmpty()) mandPfad = ordner + QStringLiteral("/mandant.db");
            if (faPfad.isEmpty()) faPfad = ordner + QStringLiteral("/gemeinsam.db");
            // Only absent files are created; an existing database is never overwritten.
            if (!QFileInfo::exists(mandPfad) && !QFileInfo::exists(faPfad)) {
                xovdb::anlegen(mandPfad, faPfad, xov::DbPasswort);
                xovdb::demoFuellen(mandPfad, faPfad, xov::DbPasswort, buchjahr);
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
        info[5] = p.isSet(monat) ? QVariant(p.value(monat)) : QVariant(QDate::currentDate());
        QString hilfe = p.value(hilfeDatei);
        if (!p.isSet(hilfeDatei) && p.isSet(demo)) hilfe = QStringLiteral(XOV_HILFE_QUELLE);
        info[7] = hilfe;
        info[9] = p.isSet(eingeschraenkt) ? 20 : 0;
        info[10] = 0;
        info[11] = buchjahr;
        info[20] = QString();
        QVariantList ids(201, 0);
        if (p.isSet(hilfeIds)) {
            const QStringList teile = p.value(hilfeIds).split(u',');
            for (int i = 0; i < teile.size() && i < ids.size(); ++i) ids[i] = teile.at(i).trimmed().toInt();
        } else {
            ids[15] = 1000;  // the dialog's topic in the shipped help page
        }
        info[60] = ids;
        info[61] = p.isSet(waehrung) || p.isSet(bilder) ? 1 : 0;

        xovMandStamm komponente;
        komponente.setTabStripNr(p.value(tabStrip).toInt());
        if (p.isSet(bilder)) QTimer::singleShot(0, [dir = p.value(bilder)] { seitenAlsBilder(dir); });
        komponente.Mand_Aufruf(info);
    } catch (const xov::Fehler& f) {
        fehler << "Fehler " << f.nummer() << ": " << f.beschreibung() << '\n';
        return 1;
    }
    return 0;
}
