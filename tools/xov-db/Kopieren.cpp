// Filling the targets of a copy, each in one transaction, and putting every target back as it
// was when any of them fails.

#include "tools/xov-db/Fortschritt.h"
#include "tools/xov-db/Kopieren.h"
#include "tools/xov-db/Kopierteile.h"
#include "platform/Aenderungsprotokoll.h"
#include "platform/Datenbank.h"
#include "tools/xov-db/Protokoll.h"
#include "platform/Verbindungsangabe.h"
#include "platform/Fehler.h"
#include "tools/xov-db/Pruefen.h"
#include "tools/xov-db/Schema.h"
#include "tools/xov-db/Zeilenvergleich.h"

#include <functional>
#include <QFileInfo>
#include <memory>
#include <vector>

namespace xovdb {

namespace {

// Values per INSERT of several rows: the oldest SQLite allows 999 bound parameters.
constexpr int WerteJeAnweisung = 900;

// What failed while a target was filled: the table (empty when none) and the German text.
struct Kopierfehler {
    QString tabelle;
    QString text;
};

qint64 anzahl(xov::Verbindung& v, const QString& tabelle) {
    return v.abfragen(QStringLiteral("SELECT count(*) FROM %1").arg(xov::bezeichner(tabelle))).zeilen.at(0).at(0).toLongLong();
}

QString datensaetze(qint64 n) {
    return n == 1 ? QStringLiteral("1 Datensatz") : QStringLiteral("%1 Datensätze").arg(n);
}

// Inserts the rows, several per statement, then counts them and compares them with the source.
void tabelleFuellen(xov::Verbindung& v, const Tabelle& t, const std::function<void(qint64)>& eingefuegt) {
    const QStringList zielSpalten = v.spaltenVon(t.name);
    QStringList fehlend, anzeige;
    for (const QString& s : t.spalten) {
        anzeige << schreibweise(s);
        if (!zielSpalten.contains(s, Qt::CaseInsensitive)) fehlend << schreibweise(s);
    }
    if (!fehlend.isEmpty())
        throw Kopierfehler{t.name, (fehlend.size() == 1 ? QStringLiteral("dem Ziel fehlt die Spalte ") : QStringLiteral("dem Ziel fehlen die Spalten ")) +
                                       fehlend.join(QStringLiteral(", "))};
    if (anzahl(v, t.name) > 0) throw Kopierfehler{t.name, QStringLiteral("das Ziel enthält bereits Datensätze")};
    const int n = int(t.spalten.size());
    const int jeAnweisung = qMax(1, WerteJeAnweisung / n);
    const QString zeile = QLatin1Char('(') + QStringList(n, QStringLiteral("?")).join(u',') + QLatin1Char(')');
    const auto anweisung = [&](int zeilen) {
        return QStringLiteral("INSERT INTO %1 (%2) VALUES %3")
            .arg(xov::bezeichner(t.name), xov::spaltenliste(t.spalten), QStringList(zeilen, zeile).join(u','));
    };
    const QString voll = anweisung(jeAnweisung);
    for (int i = 0; i < t.zeilen.size(); i += jeAnweisung) {
        const int k = qMin(jeAnweisung, int(t.zeilen.size()) - i);
        QVariantList werte;
        werte.reserve(k * n);
        for (int z = i; z < i + k; ++z)
            for (const QVariant& w : t.zeilen.at(z)) werte << w;
        v.ausfuehren(k == jeAnweisung ? voll : anweisung(k), werte);
        eingefuegt(k);
    }
    const qint64 gezaehlt = anzahl(v, t.name);
    if (gezaehlt != t.zeilen.size())
        throw Kopierfehler{t.name, QStringLiteral("%1 gelesen, %2 im Ziel gezählt").arg(datensaetze(t.zeilen.size()), datensaetze(gezaehlt))};
    const auto zurueck = v.abfragen(QStringLiteral("SELECT %1 FROM %2").arg(xov::spaltenliste(t.spalten), xov::bezeichner(t.name))).zeilen;
    const QString unterschied = zeilenUnterschied(anzeige, t.zeilen, zurueck);
    if (!unterschied.isNull()) throw Kopierfehler{t.name, unterschied};
}

// Creates the target where it is new and fills every table inside the target's one transaction,
// which stays open until every pair is done.
void zielFuellen(Ziel& z, const Quelle& q, const std::function<void(qint64)>& eingefuegt) {
    try {
        if (z.neu) {
            z.v = xov::datenbankAnlegen(z.db, xov::DbPasswort);
            z.angelegt = true;
        }
        z.t = std::make_unique<xov::Transaktion>(*z.v);
        if (z.neu && q.mandant) mandantenTabellenAnlegen(*z.v);
        if (z.neu && q.gemeinsam) gemeinsameTabellenAnlegen(*z.v);
    } catch (const xov::Fehler& f) {
        throw Kopierfehler{{}, QStringLiteral("Fehler %1: %2").arg(QString::number(f.nummer()), f.beschreibung())};
    }
    for (const Tabelle& t : q.tabellen) {
        try {
            tabelleFuellen(*z.v, t, eingefuegt);
        } catch (const xov::Fehler& f) {
            throw Kopierfehler{t.name, QStringLiteral("Fehler %1: %2").arg(QString::number(f.nummer()), f.beschreibung())};
        }
    }
}

// Puts every target back as it was: open transactions are rolled back, targets created by this
// run removed, targets already committed emptied again. Returns one sentence per target.
QString zuruecksetzen(std::vector<Ziel>& ziele, const QVector<Quelle>& quellen, int bestaetigt) {
    QStringList saetze;
    for (int i = 0; i < int(ziele.size()); ++i) {
        Ziel& z = ziele[size_t(i)];
        const QString name = dieDatenbank(z.db);
        try {
            if (i < bestaetigt && !z.angelegt) {
                xov::Transaktion leeren(*z.v);
                for (const Tabelle& t : quellen.at(i).tabellen) z.v->ausfuehren(QStringLiteral("DELETE FROM %1").arg(xov::bezeichner(t.name)));
                leeren.bestaetigen();
            }
            z.t.reset();
            z.v.reset();
            if (z.angelegt) {
                xov::datenbankEntfernen({z.db, xov::DbPasswort});
                // A server database may have been there, empty, for this run to fill.
                saetze << (xov::Verbindungsangabe::istServerAdresse(z.db)
                               ? QStringLiteral("%1 war vor diesem Lauf leer oder nicht vorhanden und ist es wieder.")
                               : QStringLiteral("%1 war in diesem Lauf angelegt und ist wieder entfernt."))
                              .arg(name);
            } else {
                saetze << (z.neu ? QStringLiteral("%1 wurde nicht angelegt.") : QStringLiteral("%1 bleibt, wie sie war.")).arg(name);
            }
        } catch (const xov::Fehler& f) {
            saetze << QStringLiteral("%1 ließ sich nicht zurücksetzen (Fehler %2: %3); bitte prüfen.").arg(name, QString::number(f.nummer()), f.beschreibung());
        }
    }
    return saetze.join(u' ');
}

}  // namespace

void kopieren(const QVector<QPair<QString, QString>>& paare, QTextStream& aus) {
    QVector<Quelle> quellen;
    for (const auto& p : paare) quellen << quelleLesen(p.first);
    std::vector<Ziel> ziele;
    for (int i = 0; i < paare.size(); ++i) ziele.push_back(zielPruefen(paare.at(i).second, quellen.at(i)));

    // From here on targets change; on any failure every one of them is put back.
    qint64 gesamt = 0, erledigt = 0;
    for (const Quelle& q : quellen)
        for (const Tabelle& t : q.tabellen) gesamt += t.zeilen.size();
    Fortschrittszeile zeile(QStringLiteral("Kopieren"), QStringLiteral("Datensätzen"));
    const auto eingefuegt = [&](qint64 n) { zeile.zeigen(erledigt += n, gesamt); };
    int i = 0;
    try {
        for (; i < paare.size(); ++i) {
            zielFuellen(ziele[size_t(i)], quellen.at(i), eingefuegt);
            kopieProtokollieren(*ziele[size_t(i)].v, anzeige(paare.at(i).first), anzeige(paare.at(i).second));
        }
    } catch (const Kopierfehler& k) {
        const QString wo = k.tabelle.isEmpty() ? QString() : QStringLiteral(", Tabelle ") + schreibweise(k.tabelle);
        throw Abweisung{QStringLiteral("Kopieren von %1 nach %2 fehlgeschlagen%3: %4. %5")
                            .arg(anzeige(paare.at(i).first), anzeige(paare.at(i).second), wo, k.text, zuruecksetzen(ziele, quellen, 0))};
    } catch (...) {
        zuruecksetzen(ziele, quellen, 0);
        throw;
    }
    int bestaetigt = 0;
    try {
        for (; bestaetigt < paare.size(); ++bestaetigt) ziele[size_t(bestaetigt)].t->bestaetigen();
    } catch (const xov::Fehler& f) {
        throw Abweisung{QStringLiteral("Die Kopie nach %1 ließ sich nicht bestätigen (Fehler %2: %3). %4")
                            .arg(anzeige(paare.at(bestaetigt).second), QString::number(f.nummer()), f.beschreibung(),
                                 zuruecksetzen(ziele, quellen, bestaetigt))};
    }
    // The targets this run created take their place only now, complete, together.
    QVector<xov::Verbindungsangabe> neu;
    for (Ziel& z : ziele) {
        if (!z.angelegt) continue;
        z.t.reset();
        z.v.reset();  // a file is renamed only with no connection to it open
        neu.append({z.db, xov::DbPasswort});
    }
    try {
        xov::anlagenAbschliessen(neu);
    } catch (const xov::Fehler& f) {
        throw Abweisung{QStringLiteral("Die Kopie ließ sich nicht abschließen (Fehler %1: %2). %3")
                            .arg(QString::number(f.nummer()), f.beschreibung(), zuruecksetzen(ziele, quellen, int(paare.size())))};
    }
    for (int p = 0; p < paare.size(); ++p) {
        aus << "Von " << anzeige(paare.at(p).first) << " nach " << anzeige(paare.at(p).second)
            << (ziele[size_t(p)].angelegt ? " (neu angelegt)" : "") << ":\n";
        for (const Tabelle& t : quellen.at(p).tabellen) aus << "  " << schreibweise(t.name) << ": " << datensaetze(t.zeilen.size()) << " kopiert\n";
    }
    aus << "Jeder Datensatz ist im Ziel gezählt und Wert für Wert mit der Quelle verglichen.\n";
}

}  // namespace xovdb
