// xov-db: creates, fills, completes and copies the databases of the client master-data dialog,
// files and databases on a server alike. Every argument is checked before any database is
// touched; a database the command was not asked to create or fill is never changed, and a
// refusal names it in one German sentence (a server address without its password).

#include "platform/Verbindungsangabe.h"
#include "platform/Datenbank.h"
#include "platform/Fehler.h"
#include "platform/Variant.h"
#include "kurse/Kurs.h"
#include "kurse/Kurseinlesen.h"
#include "tools/xov-db/Fortschritt.h"
#include "tools/xov-db/Kopieren.h"
#include "tools/xov-db/Protokoll.h"
#include "tools/xov-db/Pruefen.h"
#include "tools/xov-db/Schema.h"
#include "tools/xov-db/Waehrungen.h"

#include <QCoreApplication>
#include <QDate>
#include <QTextStream>

namespace {

int hilfe(QTextStream& aus) {
    aus << "Aufruf:\n"
           "  xov-db anlegen MANDANTEN-DB GEMEINSAME-DB    legt beide Datenbanken leer an\n"
           "  xov-db demo MANDANTEN-DB GEMEINSAME-DB [JAHR] legt sie an, wo sie fehlen, und füllt Demodaten ein;\n"
           "                                                eine vorhandene Datenbank nur, wenn sie leer ist\n"
           "       --lange-kursverlaeufe                    dazu 20 Währungen mit je 2.000 Tageskursen\n"
           "  xov-db felder-ergaenzen MANDANTEN-DB [GEMEINSAME-DB]\n"
           "                                                ergänzt fehlende Felder von AllgMandDaten und die\n"
           "                                                Schlüssel von AllgWaehrung\n"
           "  xov-db kurs GEMEINSAME-DB CODE DATUM [--hoechstalter TAGE]\n"
           "                                                der Kurs, der am DATUM gilt: der letzte am oder vor\n"
           "                                                dem Tag; ein älterer als TAGE (7) wird angemerkt\n"
           "  xov-db kurse-einlesen GEMEINSAME-DB DATEI [--ab DATUM] [--bis DATUM] [--ersetzen]\n"
           "                                                liest die Referenzkurse der Zentralbank (XML, CSV, Zip)\n"
           "                                                für die Währungen der Seite Fremdwährung ein\n"
           "  xov-db kopieren VON NACH [VON NACH]          kopiert eine Mandanten- oder gemeinsame Datenbank\n"
           "                                                vollständig in eine neue oder leere, z.B. von der Datei\n"
           "                                                auf den Server oder zurück; ein zweites Paar wird mit\n"
           "                                                dem ersten zusammen übernommen. Jeder Datensatz wird\n"
           "                                                gezählt und Wert für Wert verglichen; bei einem Fehler\n"
           "                                                bleibt das Ziel, wie es war\n"
           "  xov-db protokoll DB [--ab DATUM] [--bis DATUM] [--tabelle T] [--feld F] [--pruefen]\n"
           "                                                listet das Änderungsprotokoll der Datenbank; mit --pruefen\n"
           "                                                wird die Kette der Prüfsummen vom ersten Eintrag an geprüft\n"
           "                                                (Rückgabe 1 und der erste beschädigte Eintrag, wenn sie bricht)\n"
           "Jede Datenbank ist eine Datei oder eine Serveradresse postgresql://BENUTZER@HOST:PORT/DATENBANK.\n"
           "Die Datenbanken tragen das feste Kennwort der Anwendung.\n"
           "Das Kennwort am Server kommt aus PGPASSWORD, PGPASSFILE oder ~/.pgpass, oder aus einer Datei:\n"
           "  --passwort-datei DATEI                       erste Zeile der DATEI ist das Kennwort am Server\n"
           "Ohne diese Angaben gilt das Kennwort der Anwendung. Ein Kennwort in der Adresse selbst sieht\n"
           "jeder Benutzer des Rechners in der Prozessliste, bis das Programm es überschreibt.\n"
           "Beispiel: einen Mandanten und die gemeinsamen Tabellen auf den Server bringen:\n"
           "  xov-db kopieren mandant.db postgresql://xov@dbserver/mandant gemeinsam.db postgresql://xov@dbserver/gemeinsam\n";
    aus.flush();
    return 2;
}

using xovdb::Abweisung;
using xovdb::anzeige;
using xovdb::datumAus;
using xovdb::wertNehmen;

int jahrAus(const QString& text) {
    if (const int jahr = xovdb::vierstelligesJahr(text)) return jahr;
    throw Abweisung{QStringLiteral("Das Jahr \"%1\" ist ungültig; erwartet wird eine vierstellige Jahreszahl.").arg(text)};
}

// The client and the shared database of one call are two different databases.
void verschiedenPruefen(const QString& mand, const QString& fa) {
    if (xovdb::gleicheDatenbank(mand, fa))
        throw Abweisung{QStringLiteral("Mandanten- und gemeinsame Datenbank müssen zwei verschiedene %1 sein (%2).")
                            .arg(xov::Verbindungsangabe::istServerAdresse(mand) ? QStringLiteral("Datenbanken") : QStringLiteral("Dateien"),
                                 anzeige(mand))};
}

void demo(const QString& mand, const QString& fa, const QString& jahrText, bool langeKurse, QTextStream& aus) {
    const int jahr = jahrText.isNull() ? QDate::currentDate().year() : jahrAus(jahrText);
    verschiedenPruefen(mand, fa);
    const bool mandNeu = xovdb::demoZielPruefen(mand, xovdb::mandantenTabellen());
    const bool faNeu = xovdb::demoZielPruefen(fa, xovdb::gemeinsameTabellen());
    // From here on databases change; what this run created goes again when a later step fails.
    QStringList angelegt;
    try {
        if (mandNeu) { xovdb::mandantAnlegen(mand, xov::DbPasswort); angelegt << mand; }
        if (faNeu) { xovdb::gemeinsamAnlegen(fa, xov::DbPasswort); angelegt << fa; }
        xovdb::demoFuellen(mand, fa, xov::DbPasswort, jahr);
        if (langeKurse) {
            xovdb::Fortschrittszeile zeile(QStringLiteral("Kursverläufe anlegen"), QStringLiteral("Kursen"));
            xovdb::langeKursverlaeufe(fa, xov::DbPasswort, 2000, [&zeile](qint64 erledigt, qint64 gesamt) { zeile.zeigen(erledigt, gesamt); });
        }
        xovdb::anlageAbschliessen(angelegt, xov::DbPasswort);
    } catch (...) {
        for (const QString& db : angelegt) {
            try { xov::datenbankEntfernen({db, xov::DbPasswort}); } catch (const xov::Fehler&) {}
        }
        throw;
    }
    aus << "Demodaten für " << jahr << " eingefüllt: " << anzeige(mand) << ", " << anzeige(fa) << '\n';
}

// A failure that shows the database is none of the suite: its table is missing, or a file does
// not open with the suite's password. A server that refuses the login says so itself.
bool keineDatenbankDerAnwendung(const xov::Fehler& f, const QString& db) {
    return f.nummer() == xov::FehlerNr::TabelleFehlt ||
           (f.nummer() == xov::FehlerNr::FalschesPasswort && !xov::Verbindungsangabe::istServerAdresse(db));
}

// The keys of AllgWaehrung; duplicates are named, never deleted.
bool waehrungsSchluessel(const QString& fa, QTextStream& aus, QTextStream& fehler) {
    QStringList doppelt;
    try {
        doppelt = xovdb::waehrungsSchluesselErgaenzen(fa, xov::DbPasswort);
    } catch (const xov::Fehler& f) {
        if (!keineDatenbankDerAnwendung(f, fa)) throw;
        throw Abweisung{QStringLiteral("%1 ist keine gemeinsame Datenbank der Anwendung; sie bleibt unverändert.").arg(xovdb::dieDatenbank(fa))};
    }
    if (doppelt.isEmpty()) {
        aus << "AllgWaehrung: ein Kurs je Währung und Tag ist gesichert\n";
        return true;
    }
    fehler << "AllgWaehrung in " << anzeige(fa) << " enthält mehrere Kurse einer Währung am selben Tag; der eindeutige Schlüssel "
              "(WID, AenderDatum) wird erst angelegt, wenn sie bereinigt sind. Nichts wurde gelöscht:\n";
    for (const QString& d : doppelt) fehler << "  " << d << '\n';
    return false;
}


// Numbers as a bookkeeper reads them: decimal comma, every published digit, no exponent.
QString zahlText(double x) {
    QString t = xov::deutsch().toString(x, 'f', 10);
    while (t.endsWith(QLatin1Char('0'))) t.chop(1);
    if (t.endsWith(xov::deutsch().decimalPoint())) t.chop(1);
    return t;
}

int kurs(const QString& fa, const QString& code, const QString& datumText, const QString& grenzeText, QTextStream& aus) {
    xovdb::vorhandeneDatenbankPruefen(fa);
    const QDate datum = datumAus(datumText);
    int grenze = xov::KursHoechstalterTage;
    if (!grenzeText.isNull()) {
        bool ok = false;
        grenze = grenzeText.toInt(&ok);
        if (!ok || grenze < 0) throw Abweisung{QStringLiteral("--hoechstalter erwartet eine Anzahl Tage, nicht \"%1\".").arg(grenzeText)};
    }
    const xov::KursAmTag k = xov::kursZumDatum(fa, code, datum, grenze);
    aus << k.code << " am " << xov::datumAlsText(datum) << ": Kurs vom " << xov::datumAlsText(k.datum) << ", EuroinFremd "
        << zahlText(k.euroinFremd) << ", FremdinEuro " << zahlText(k.fremdinEuro) << '\n';
    if (k.veraltet)
        aus << "Warnung: der Kurs ist " << k.alterTage << " Tage alt (mehr als " << grenze << " Tage); bitte prüfen, ob ein neuerer fehlt.\n";
    return 0;
}

// VON NACH [VON NACH]: every name differs from every other.
void kopieren(const QStringList& namen, QTextStream& aus) {
    for (int i = 0; i < namen.size(); ++i) {
        if (namen.at(i).trimmed().isEmpty()) throw Abweisung{QStringLiteral("Ein Datenbankname ist leer.")};
        for (int j = 0; j < i; ++j)
            if (xovdb::gleicheDatenbank(namen.at(i), namen.at(j)))
                throw Abweisung{QStringLiteral("%1 ist zweimal genannt; Quelle und Ziel müssen verschiedene Datenbanken sein.")
                                    .arg(xovdb::dieDatenbank(namen.at(i)))};
    }
    QVector<QPair<QString, QString>> paare;
    for (int i = 0; i + 1 < namen.size(); i += 2) paare.append({namen.at(i), namen.at(i + 1)});
    xovdb::kopieren(paare, aus);
}

int kurseEinlesen(QStringList a, QTextStream& aus) {
    const bool ersetzen = a.removeAll(QStringLiteral("--ersetzen")) > 0;
    const QString ab = wertNehmen(a, QStringLiteral("--ab"));
    const QString bis = wertNehmen(a, QStringLiteral("--bis"));
    if (a.size() != 3) throw Abweisung{QStringLiteral("Aufruf: xov-db kurse-einlesen GEMEINSAME-DB DATEI [--ab DATUM] [--bis DATUM] [--ersetzen]")};
    xov::Einleseoptionen o;
    o.ersetzen = ersetzen;
    o.datei = a.at(2);
    if (!ab.isNull()) o.ab = datumAus(ab);
    if (!bis.isNull()) o.bis = datumAus(bis);
    if (o.ab.isValid() && o.bis.isValid() && o.bis < o.ab)
        throw Abweisung{QStringLiteral("--bis %1 liegt vor --ab %2: kein Tag dazwischen, nichts wurde eingelesen.")
                            .arg(xov::datumAlsText(o.bis), xov::datumAlsText(o.ab))};
    xovdb::vorhandeneDatenbankPruefen(a.at(1));
    // The whole file first: a file that breaks off is refused before the database is opened.
    const auto tage = xov::kursdateiLesen(a.at(2));
    auto v = xov::verbindungOeffnen(a.at(1), xov::DbPasswort);
    xovdb::Fortschrittszeile zeile(QStringLiteral("Kurse einlesen"), QStringLiteral("Tagen"));
    o.fortschritt = [&zeile](int erledigt, int gesamt) { return zeile.zeigen(erledigt, gesamt); };
    const auto bilanz = xov::kurseEinlesen(*v, tage, xov::gespeicherteWaehrungen(*v), o);
    for (const QString& z : xov::bilanzZeilen(bilanz)) aus << z << '\n';
    return 0;
}

}  // namespace

int main(int argc, char* argv[]) {
    // A password in a server address leaves the process list before anything else runs.
    const xov::VerdeckteArgumente verdeckt(argc, argv);
    QCoreApplication app(argc, argv);
    // A run that is killed while it creates a database leaves nothing the next run would refuse.
    xov::anlagenAlsGanzes(true);
    QTextStream aus(stdout), fehler(stderr);
    QStringList a = verdeckt.wiederherstellen(app.arguments()).mid(1);
    try {
        const QString kennwortDatei = wertNehmen(a, QStringLiteral("--passwort-datei"));
        if (!kennwortDatei.isNull()) xov::serverKennwortSetzen(xov::kennwortAusDatei(kennwortDatei));
        // kurse-einlesen reads its own options.
        if (a.size() >= 1 && a.first() == QLatin1String("kurse-einlesen")) return kurseEinlesen(a, aus);
        if (a.size() >= 1 && a.first() == QLatin1String("protokoll")) return xovdb::protokollBefehl(a.mid(1), aus, fehler);
        const bool langeKurse = a.removeAll(QStringLiteral("--lange-kursverlaeufe")) > 0;
        if (a.isEmpty() || a.first() == QLatin1String("--help")) return hilfe(aus);
        if (a.first() == QLatin1String("--version")) {
            aus << "xov-db " << XOV_VERSION << '\n';
            return 0;
        }
        const QString befehl = a.first();
        if (befehl == QLatin1String("anlegen") && a.size() == 3) {
            verschiedenPruefen(a.at(1), a.at(2));
            xovdb::neueDatenbankPruefen(a.at(1));
            xovdb::neueDatenbankPruefen(a.at(2));
            xovdb::anlegen(a.at(1), a.at(2), xov::DbPasswort);
            aus << "angelegt: " << anzeige(a.at(1)) << ", " << anzeige(a.at(2)) << '\n';
        } else if (befehl == QLatin1String("demo") && (a.size() == 3 || a.size() == 4)) {
            demo(a.at(1), a.at(2), a.size() == 4 ? a.at(3) : QString(), langeKurse, aus);
        } else if (befehl == QLatin1String("kopieren") && (a.size() == 3 || a.size() == 5)) {
            kopieren(a.mid(1), aus);
        } else if (befehl == QLatin1String("kurs")) {
            QStringList r = a;
            const QString grenze = wertNehmen(r, QStringLiteral("--hoechstalter"));
            if (r.size() != 4) return hilfe(aus);
            return kurs(r.at(1), r.at(2), r.at(3), grenze, aus);
        } else if (befehl == QLatin1String("felder-ergaenzen") && (a.size() == 2 || a.size() == 3)) {
            QStringList neu;
            try {
                neu = xovdb::felderErgaenzen(a.at(1), xov::DbPasswort);
            } catch (const xov::Fehler& f) {
                if (!keineDatenbankDerAnwendung(f, a.at(1))) throw;
                throw Abweisung{QStringLiteral("%1 ist keine Mandanten-Datenbank der Anwendung; sie bleibt unverändert.")
                                    .arg(xovdb::dieDatenbank(a.at(1)))};
            }
            aus << (neu.isEmpty() ? QStringLiteral("alle Felder vorhanden") : QStringLiteral("ergänzt: ") + neu.join(QStringLiteral(", ")))
                << '\n';
            if (a.size() == 3 && !waehrungsSchluessel(a.at(2), aus, fehler)) return 1;
        } else {
            return hilfe(aus);
        }
    } catch (const Abweisung& abw) {
        fehler << abw.satz << '\n';
        return 1;
    } catch (const xov::Fehler& f) {
        fehler << "Fehler " << f.nummer() << ": " << f.beschreibung() << '\n';
        return 1;
    }
    return 0;
}
