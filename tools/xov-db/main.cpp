// xov-db: creates, fills and completes the databases of the client master-data dialog.

#include "component/Modul.h"
#include "platform/Fehler.h"
#include "tools/xov-db/Schema.h"

#include <QCoreApplication>
#include <QDate>
#include <QFileInfo>
#include <QTextStream>

namespace {

int hilfe(QTextStream& aus) {
    aus << "Aufruf:\n"
           "  xov-db anlegen MANDANTEN-DB GEMEINSAME-DB    legt beide Datenbanken leer an\n"
           "  xov-db demo MANDANTEN-DB GEMEINSAME-DB [JAHR] legt sie an, wo sie fehlen, und füllt Demodaten ein\n"
           "  xov-db felder-ergaenzen MANDANTEN-DB          ergänzt fehlende Felder von AllgMandDaten\n"
           "Die Datenbanken tragen das feste Kennwort der Anwendung.\n";
    aus.flush();
    return 2;
}

}  // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QTextStream aus(stdout), fehler(stderr);
    const QStringList a = app.arguments().mid(1);
    if (a.isEmpty() || a.first() == QLatin1String("--help")) return hilfe(aus);
    try {
        const QString befehl = a.first();
        if (befehl == QLatin1String("anlegen") && a.size() == 3) {
            xovdb::anlegen(a.at(1), a.at(2), xov::DbPasswort);
            aus << "angelegt: " << a.at(1) << ", " << a.at(2) << '\n';
        } else if (befehl == QLatin1String("demo") && (a.size() == 3 || a.size() == 4)) {
            const int jahr = a.size() == 4 ? a.at(3).toInt() : QDate::currentDate().year();
            if (!QFileInfo::exists(a.at(1)) && !QFileInfo::exists(a.at(2))) xovdb::anlegen(a.at(1), a.at(2), xov::DbPasswort);
            xovdb::demoFuellen(a.at(1), a.at(2), xov::DbPasswort, jahr);
            aus << "Demodaten für " << jahr << " eingefüllt: " << a.at(1) << ", " << a.at(2) << '\n';
        } else if (befehl == QLatin1String("felder-ergaenzen") && a.size() == 2) {
            const QStringList neu = xovdb::felderErgaenzen(a.at(1), xov::DbPasswort);
            aus << (neu.isEmpty() ? QStringLiteral("alle Felder vorhanden") : QStringLiteral("ergänzt: ") + neu.join(QStringLiteral(", ")))
                << '\n';
        } else {
            return hilfe(aus);
        }
    } catch (const xov::Fehler& f) {
        fehler << "Fehler " << f.nummer() << ": " << f.beschreibung() << '\n';
        return 1;
    }
    return 0;
}
