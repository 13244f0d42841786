// xov-db: creates, fills and completes the databases of the client master-data dialog.
// Every argument is checked before any file is touched; a file the command was not asked to
// create or fill is never changed, and a refusal names the file in one German sentence.

#include "platform/Verbindungsangabe.h"
#include "platform/Datenbank.h"
#include "platform/Fehler.h"
#include "platform/Variant.h"
#include "kurse/Kurs.h"
#include "kurse/Kurseinlesen.h"
#include "tools/xov-db/Schema.h"
#include "tools/xov-db/Waehrungen.h"

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
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
           "Die Datenbanken tragen das feste Kennwort der Anwendung.\n";
    aus.flush();
    return 2;
}

// A refusal: the German sentence that the tool prints instead of doing anything.
struct Abweisung {
    QString satz;
};

// A file that is to be created: it must not exist, and its folder must.
void neueDateiPruefen(const QString& pfad) {
    if (pfad.isEmpty()) throw Abweisung{QStringLiteral("Ein Dateiname fehlt.")};
    if (QFileInfo::exists(pfad))
        throw Abweisung{QStringLiteral("Die Datei %1 gibt es bereits; sie bleibt unverändert.").arg(pfad)};
    const QFileInfo ordner(QFileInfo(pfad).absolutePath());
    if (!ordner.isDir())
        throw Abweisung{QStringLiteral("Der Ordner %1 für die Datei %2 existiert nicht.").arg(ordner.filePath(), pfad)};
}

// For `demo`: true when the file must be created; an existing file must be an empty database
// of the suite of the right kind.
bool demoZielPruefen(const QString& pfad, const QStringList& tabellen) {
    if (pfad.isEmpty()) throw Abweisung{QStringLiteral("Ein Dateiname fehlt.")};
    if (!QFileInfo::exists(pfad)) {
        neueDateiPruefen(pfad);
        return true;
    }
    const QString fremd = QStringLiteral("Die Datei %1 ist keine %2 der Anwendung; sie bleibt unverändert.")
                              .arg(pfad, tabellen.contains(QLatin1String("AllgMandDaten")) ? QStringLiteral("Mandanten-Datenbank")
                                                                                           : QStringLiteral("gemeinsame Datenbank"));
    if (!QFileInfo(pfad).isFile()) throw Abweisung{fremd};
    try {
        auto v = xov::verbindungOeffnen(pfad, xov::DbPasswort);
        for (const QString& t : tabellen) {
            const auto namen = v->abfragen(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type='table' AND name=?"), {t});
            if (namen.zeilen.at(0).at(0).toInt() == 0) throw Abweisung{fremd};
        }
        for (const QString& t : tabellen) {
            if (v->abfragen(QStringLiteral("SELECT count(*) FROM \"%1\"").arg(t)).zeilen.at(0).at(0).toInt() > 0)
                throw Abweisung{QStringLiteral("Die Datenbank %1 enthält bereits Daten; Demodaten kommen nur in eine neue oder "
                                               "leere Datenbank. Sie bleibt unverändert.").arg(pfad)};
        }
    } catch (const xov::Fehler& f) {
        throw Abweisung{fremd.left(fremd.size() - 1) + QStringLiteral(" (") + f.beschreibung() + QStringLiteral(").")};
    }
    return false;
}

int jahrAus(const QString& text) {
    bool ok = false;
    const int jahr = text.trimmed().toInt(&ok);
    if (!ok || jahr < 1000 || jahr > 9999)
        throw Abweisung{QStringLiteral("Das Jahr \"%1\" ist ungültig; erwartet wird eine vierstellige Jahreszahl.").arg(text)};
    return jahr;
}

bool gleicheDatei(const QString& a, const QString& b) {
    return QFileInfo(a).absoluteFilePath() == QFileInfo(b).absoluteFilePath() ||
           (QFileInfo::exists(a) && QFileInfo(a).canonicalFilePath() == QFileInfo(b).canonicalFilePath());
}

void demo(const QString& mand, const QString& fa, const QString& jahrText, bool langeKurse, QTextStream& aus) {
    const int jahr = jahrText.isNull() ? QDate::currentDate().year() : jahrAus(jahrText);
    if (gleicheDatei(mand, fa))
        throw Abweisung{QStringLiteral("Mandanten- und gemeinsame Datenbank müssen zwei verschiedene Dateien sein (%1).").arg(mand)};
    const bool mandNeu = demoZielPruefen(mand, xovdb::mandantenTabellen());
    const bool faNeu = demoZielPruefen(fa, xovdb::gemeinsameTabellen());
    // From here on files change; what this run created goes again when a later step fails.
    QStringList angelegt;
    try {
        if (mandNeu) { xovdb::mandantAnlegen(mand, xov::DbPasswort); angelegt << mand; }
        if (faNeu) { xovdb::gemeinsamAnlegen(fa, xov::DbPasswort); angelegt << fa; }
        xovdb::demoFuellen(mand, fa, xov::DbPasswort, jahr);
        if (langeKurse) xovdb::langeKursverlaeufe(fa, xov::DbPasswort);
    } catch (...) {
        for (const QString& p : angelegt) QFile::remove(p);
        throw;
    }
    aus << "Demodaten für " << jahr << " eingefüllt: " << mand << ", " << fa << '\n';
}

// The keys of AllgWaehrung; duplicates are named, never deleted.
bool waehrungsSchluessel(const QString& fa, QTextStream& aus, QTextStream& fehler) {
    QStringList doppelt;
    try {
        doppelt = xovdb::waehrungsSchluesselErgaenzen(fa, xov::DbPasswort);
    } catch (const xov::Fehler& f) {
        if (f.nummer() != xov::FehlerNr::TabelleFehlt && f.nummer() != xov::FehlerNr::FalschesPasswort) throw;
        throw Abweisung{QStringLiteral("Die Datei %1 ist keine gemeinsame Datenbank der Anwendung; sie bleibt unverändert.").arg(fa)};
    }
    if (doppelt.isEmpty()) {
        aus << "AllgWaehrung: ein Kurs je Währung und Tag ist gesichert\n";
        return true;
    }
    fehler << "AllgWaehrung in " << fa << " enthält mehrere Kurse einer Währung am selben Tag; der eindeutige Schlüssel "
              "(WID, AenderDatum) wird erst angelegt, wenn sie bereinigt sind. Nichts wurde gelöscht:\n";
    for (const QString& d : doppelt) fehler << "  " << d << '\n';
    return false;
}

QDate datumAus(const QString& text) {
    QDate d = QDate::fromString(text.trimmed(), Qt::ISODate);
    if (!d.isValid()) d = xov::datumAusText(text).value_or(QDate());
    if (!d.isValid())
        throw Abweisung{QStringLiteral("\"%1\" ist kein Datum; erwartet wird z.B. 2024-03-30 oder 30.03.2024.").arg(text)};
    return d;
}

// Takes "--name WERT" out of the arguments; a null string when it is not there.
QString wertNehmen(QStringList& a, const QString& name) {
    const qsizetype i = a.indexOf(name);
    if (i < 0) return {};
    if (i + 1 >= a.size()) throw Abweisung{QStringLiteral("Nach %1 fehlt der Wert.").arg(name)};
    const QString wert = a.at(i + 1);
    a.remove(i, 2);
    return wert;
}

void gemeinsameDbPruefen(const QString& pfad) {
    if (!QFileInfo(pfad).isFile()) throw Abweisung{QStringLiteral("Die Datei %1 gibt es nicht.").arg(pfad)};
}

// Numbers as a bookkeeper reads them: decimal comma, every published digit, no exponent.
QString zahlText(double x) {
    QString t = xov::deutsch().toString(x, 'f', 10);
    while (t.endsWith(QLatin1Char('0'))) t.chop(1);
    if (t.endsWith(xov::deutsch().decimalPoint())) t.chop(1);
    return t;
}

int kurs(const QString& fa, const QString& code, const QString& datumText, const QString& grenzeText, QTextStream& aus) {
    gemeinsameDbPruefen(fa);
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

int kurseEinlesen(QStringList a, QTextStream& aus) {
    const bool ersetzen = a.removeAll(QStringLiteral("--ersetzen")) > 0;
    const QString ab = wertNehmen(a, QStringLiteral("--ab"));
    const QString bis = wertNehmen(a, QStringLiteral("--bis"));
    if (a.size() != 3) throw Abweisung{QStringLiteral("Aufruf: xov-db kurse-einlesen GEMEINSAME-DB DATEI [--ab DATUM] [--bis DATUM] [--ersetzen]")};
    xov::Einleseoptionen o;
    o.ersetzen = ersetzen;
    if (!ab.isNull()) o.ab = datumAus(ab);
    if (!bis.isNull()) o.bis = datumAus(bis);
    gemeinsameDbPruefen(a.at(1));
    // The whole file first: a file that breaks off is refused before the database is opened.
    const auto tage = xov::kursdateiLesen(a.at(2));
    auto v = xov::verbindungOeffnen(a.at(1), xov::DbPasswort);
    const auto bilanz = xov::kurseEinlesen(*v, tage, xov::gespeicherteWaehrungen(*v), o);
    for (const QString& z : xov::bilanzZeilen(bilanz)) aus << z << '\n';
    return 0;
}

}  // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QTextStream aus(stdout), fehler(stderr);
    QStringList a = app.arguments().mid(1);
    if (a.size() >= 1 && a.first() == QLatin1String("kurse-einlesen")) {
        try {
            return kurseEinlesen(a, aus);
        } catch (const Abweisung& abw) {
            fehler << abw.satz << '\n';
            return 1;
        } catch (const xov::Fehler& f) {
            fehler << "Fehler " << f.nummer() << ": " << f.beschreibung() << '\n';
            return 1;
        }
    }
    const bool langeKurse = a.removeAll(QStringLiteral("--lange-kursverlaeufe")) > 0;
    if (a.isEmpty() || a.first() == QLatin1String("--help")) return hilfe(aus);
    try {
        const QString befehl = a.first();
        if (befehl == QLatin1String("anlegen") && a.size() == 3) {
            if (gleicheDatei(a.at(1), a.at(2)))
                throw Abweisung{QStringLiteral("Mandanten- und gemeinsame Datenbank müssen zwei verschiedene Dateien sein (%1).").arg(a.at(1))};
            neueDateiPruefen(a.at(1));
            neueDateiPruefen(a.at(2));
            xovdb::anlegen(a.at(1), a.at(2), xov::DbPasswort);
            aus << "angelegt: " << a.at(1) << ", " << a.at(2) << '\n';
        } else if (befehl == QLatin1String("demo") && (a.size() == 3 || a.size() == 4)) {
            demo(a.at(1), a.at(2), a.size() == 4 ? a.at(3) : QString(), langeKurse, aus);
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
                if (f.nummer() != xov::FehlerNr::TabelleFehlt && f.nummer() != xov::FehlerNr::FalschesPasswort) throw;
                throw Abweisung{QStringLiteral("Die Datei %1 ist keine Mandanten-Datenbank der Anwendung; sie bleibt unverändert.").arg(a.at(1))};
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
