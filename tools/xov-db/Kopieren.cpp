#include "tools/xov-db/Fortschritt.h"
#include "tools/xov-db/Kopieren.h"
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

struct Tabelle {
    QString name;         // as the suite spells it
    QStringList spalten;  // as the source reports them
    Zeilen zeilen;
};

struct Quelle {
    bool mandant = false, gemeinsam = false;  // which tables of the suite it holds
    QVector<Tabelle> tabellen;
};

struct Ziel {
    QString db;
    bool neu = false;       // did not exist: this run creates it
    bool angelegt = false;  // created by this run already
    std::shared_ptr<xov::Verbindung> v;
    std::unique_ptr<xov::Transaktion> t;
};

// What failed while a target was filled: the table (empty when none) and the German text.
struct Kopierfehler {
    QString tabelle;
    QString text;
};

bool server(const QString& db) { return xov::Verbindungsangabe::istServerAdresse(db); }

// A file that does not open with the suite's password (or is no database at all); a lock or a
// server's refusal is reported as what it is.
bool fremdeDatei(const xov::Fehler& f, const QString& db) {
    return !server(db) && f.nummer() == xov::FehlerNr::FalschesPasswort;
}

QStringList suiteTabellen() { return mandantenTabellen() + gemeinsameTabellen() << xov::ProtokollTabelle; }

bool alleDa(const QStringList& vorhanden, const QStringList& noetig) {
    for (const QString& t : noetig)
        if (!vorhanden.contains(t, Qt::CaseInsensitive)) return false;
    return true;
}

// A name as the suite spells it; a server reports table and column names in lower case.
QString schreibweise(const QString& name) {
    static const QStringList bekannt = [] {
        QStringList l = suiteTabellen();
        for (const auto& s : mandantenSpalten()) l << s.name;
        l << QStringLiteral("KontoJJ") << QStringLiteral("KontoNr") << QStringLiteral("KontoBezeichnung")
          << QStringLiteral("FaNummer") << QStringLiteral("FaName") << QStringLiteral("FaNummerAlt") << QStringLiteral("FaAnschrift")
          << QStringLiteral("FaPlz") << QStringLiteral("FaOrt") << QStringLiteral("WID") << QStringLiteral("Waehrungscode")
          << QStringLiteral("WaehrungscodeBezeichnung") << QStringLiteral("Laenderkennzeichen") << QStringLiteral("AenderDatum")
          << QStringLiteral("EuroinFremd") << QStringLiteral("FremdinEuro");
        return l;
    }();
    for (const QString& b : bekannt)
        if (b.compare(name, Qt::CaseInsensitive) == 0) return b;
    return name;
}

QString artVon(const Quelle& q) {
    if (q.mandant && q.gemeinsam) return QStringLiteral("Mandanten- und gemeinsame Datenbank");
    return q.mandant ? QStringLiteral("Mandanten-Datenbank") : QStringLiteral("gemeinsame Datenbank");
}

QString spaltenliste(const Tabelle& t) {
    QStringList s;
    for (const QString& n : t.spalten) s << xov::bezeichner(n);
    return s.join(QStringLiteral(", "));
}

qint64 anzahl(xov::Verbindung& v, const QString& tabelle) {
    return v.abfragen(QStringLiteral("SELECT count(*) FROM %1").arg(xov::bezeichner(tabelle))).zeilen.at(0).at(0).toLongLong();
}

QString datensaetze(qint64 n) {
    return n == 1 ? QStringLiteral("1 Datensatz") : QStringLiteral("%1 Datensätze").arg(n);
}

// Every table of the source with all its rows: the tables of the suite first, in their order.
Quelle quelleLesen(const QString& db) {
    vorhandeneDatenbankPruefen(db);
    std::shared_ptr<xov::Verbindung> v;
    QStringList vorhanden;
    try {
        v = xov::verbindungOeffnen(db, xov::DbPasswort);
        vorhanden = v->tabellen();
    } catch (const xov::Fehler& f) {
        if (!fremdeDatei(f, db)) throw;
        throw Abweisung{QStringLiteral("%1 ist keine Datenbank der Anwendung (%2); nichts wurde kopiert.").arg(dieDatenbank(db), f.beschreibung())};
    }
    Quelle q;
    q.mandant = alleDa(vorhanden, mandantenTabellen());
    q.gemeinsam = alleDa(vorhanden, gemeinsameTabellen());
    if (!q.mandant && !q.gemeinsam)
        throw Abweisung{QStringLiteral("%1 ist keine Datenbank der Anwendung; nichts wurde kopiert.").arg(dieDatenbank(db))};
    QStringList reihe;
    for (const QString& t : suiteTabellen())
        if (vorhanden.contains(t, Qt::CaseInsensitive)) reihe << t;
    for (const QString& t : vorhanden)
        if (!suiteTabellen().contains(t, Qt::CaseInsensitive)) reihe << t;
    for (const QString& name : reihe) {
        Tabelle t{name, v->spaltenVon(name), {}};
        t.zeilen = v->abfragen(QStringLiteral("SELECT %1 FROM %2").arg(spaltenliste(t), xov::bezeichner(name))).zeilen;
        q.tabellen << t;
    }
    return q;
}

// A target either does not exist (then it is created) or is a database of the suite of the
// source's kind whose tables are all empty.
Ziel zielPruefen(const QString& db, const Quelle& q) {
    Ziel z;
    z.db = db;
    if (!datenbankVorhanden(db, xov::DbPasswort)) {
        neueDatenbankPruefen(db);
        QStringList fremd;
        for (const Tabelle& t : q.tabellen)
            if (!suiteTabellen().contains(t.name, Qt::CaseInsensitive)) fremd << t.name;
        if (!fremd.isEmpty())
            throw Abweisung{QStringLiteral("Die Quelle hat Tabellen, die eine neue Datenbank der Anwendung nicht hat (%1); "
                                           "sie kann nur in eine vorhandene Datenbank mit diesen Tabellen kopiert werden. "
                                           "%2 wurde nicht angelegt.").arg(fremd.join(QStringLiteral(", ")), dieDatenbank(db))};
        z.neu = true;
        return z;
    }
    const QString fremd = QStringLiteral("%1 ist keine %2 der Anwendung; sie bleibt unverändert.").arg(dieDatenbank(db), artVon(q));
    if (!server(db) && !QFileInfo(db).isFile()) throw Abweisung{fremd};
    QStringList vorhanden;
    try {
        z.v = xov::verbindungOeffnen(db, xov::DbPasswort);
        vorhanden = z.v->tabellen();
    } catch (const xov::Fehler& f) {
        if (!fremdeDatei(f, db)) throw;
        throw Abweisung{fremd.left(fremd.size() - 1) + QStringLiteral(" (") + f.beschreibung() + QStringLiteral(").")};
    }
    if ((q.mandant && !alleDa(vorhanden, mandantenTabellen())) || (q.gemeinsam && !alleDa(vorhanden, gemeinsameTabellen())))
        throw Abweisung{fremd};
    for (const Tabelle& t : q.tabellen)
        if (!vorhanden.contains(t.name, Qt::CaseInsensitive))
            throw Abweisung{QStringLiteral("%1 hat keine Tabelle %2; sie bleibt unverändert.").arg(dieDatenbank(db), t.name)};
    const QString voll = ersteGefuellteTabelle(*z.v, vorhanden);
    if (!voll.isNull())
        throw Abweisung{QStringLiteral("%1 enthält bereits Daten (Tabelle %2); kopiert wird nur in eine neue oder leere "
                                       "Datenbank. Sie bleibt unverändert.").arg(dieDatenbank(db), schreibweise(voll))};
    return z;
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
            .arg(xov::bezeichner(t.name), spaltenliste(t), QStringList(zeilen, zeile).join(u','));
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
    const auto zurueck = v.abfragen(QStringLiteral("SELECT %1 FROM %2").arg(spaltenliste(t), xov::bezeichner(t.name))).zeilen;
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
