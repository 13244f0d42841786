#include "platform/Aenderungsprotokoll.h"
#include "platform/Datenbank.h"
#include "platform/Datenquelle.h"
#include "platform/Fehler.h"
#include "platform/Variant.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDateTime>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QSysInfo>

#include <pwd.h>
#include <unistd.h>

namespace xov {

namespace {

const QStringList& inhaltSpalten() {
    static const QStringList s = {QStringLiteral("Nr"),         QStringLiteral("Zeitpunkt"),  QStringLiteral("Arbeitsplatz"),
                                  QStringLiteral("Benutzer"),   QStringLiteral("Datenbankrolle"), QStringLiteral("Programm"),
                                  QStringLiteral("Tabelle"),    QStringLiteral("Schluessel"), QStringLiteral("Spalte"),
                                  QStringLiteral("AlterTyp"),   QStringLiteral("AlterWert"),  QStringLiteral("NeuerTyp"),
                                  QStringLiteral("NeuerWert"),  QStringLiteral("Art"),        QStringLiteral("Bemerkung")};
    return s;
}

QVariant textOderNull(const QString& t) { return t.isEmpty() ? nullWert() : QVariant(t); }

// Who and where, the same for every entry of this process.
struct Herkunft {
    QString arbeitsplatz, benutzer, programm;
};

const Herkunft& herkunft() {
    static const Herkunft h = [] {
        Herkunft x;
        x.arbeitsplatz = QSysInfo::machineHostName();
        if (const passwd* pw = getpwuid(geteuid())) x.benutzer = QString::fromLocal8Bit(pw->pw_name);
        if (x.benutzer.isEmpty()) x.benutzer = qEnvironmentVariable("USER");
        const QString datei = QCoreApplication::instance() ? QFileInfo(QCoreApplication::applicationFilePath()).fileName() : QString();
        x.programm = (datei.isEmpty() ? QString() : datei + QLatin1Char(' ')) + QStringLiteral("(xovMandStamm " XOV_VERSION ")");
        return x;
    }();
    return h;
}

QString klartext(const QVariant& v) { return istNull(v) || istLeer(v) ? QString() : v.toString(); }

}  // namespace

const QStringList& protokollSpalten() {
    static const QStringList s = inhaltSpalten() + QStringList{QStringLiteral("Hash")};
    return s;
}

QByteArray kanonischeForm(const Protokolleintrag& e) {
    QByteArray b;
    b.reserve(256);
    const auto feld = [&b](const QVariant& v) {
        if (istNull(v) || istLeer(v)) {
            b += '-';
            return;
        }
        const QByteArray u = v.toString().toUtf8();
        b += QByteArray::number(u.size());
        b += ':';
        b += u;
    };
    feld(QString::number(e.nr));
    for (const QVariant* v : {&e.zeitpunkt, &e.arbeitsplatz, &e.benutzer, &e.rolle, &e.programm, &e.tabelle, &e.schluessel, &e.spalte,
                              &e.alterTyp, &e.alterWert, &e.neuerTyp, &e.neuerWert, &e.art, &e.bemerkung})
        feld(*v);
    return b;
}

QString kettenHash(const QString& vorigerHash, const Protokolleintrag& e) {
    QCryptographicHash h(QCryptographicHash::Sha256);
    h.addData(vorigerHash.toLatin1());
    h.addData(kanonischeForm(e));
    return QString::fromLatin1(h.result().toHex());
}

QString wertTyp(const QVariant& v) {
    if (istNull(v) || istLeer(v)) return QStringLiteral("Null");
    switch (v.typeId()) {
    case QMetaType::Bool: return QStringLiteral("Wahrheitswert");
    case QMetaType::Int: case QMetaType::Short: case QMetaType::LongLong: case QMetaType::UInt: case QMetaType::Long:
    case QMetaType::UShort: case QMetaType::ULongLong:
        return QStringLiteral("Ganzzahl");
    case QMetaType::Double: case QMetaType::Float: return QStringLiteral("Zahl");
    case QMetaType::QDate: return QStringLiteral("Datum");
    case QMetaType::QDateTime: return QStringLiteral("Zeitpunkt");
    case QMetaType::QByteArray: return QStringLiteral("Bytes");
    default: return QStringLiteral("Text");
    }
}

QVariant wertText(const QVariant& v) {
    const QString typ = wertTyp(v);
    if (typ == QLatin1String("Null")) return nullWert();
    if (typ == QLatin1String("Wahrheitswert")) return v.toBool() ? QStringLiteral("wahr") : QStringLiteral("falsch");
    if (typ == QLatin1String("Ganzzahl")) return QString::number(v.toLongLong());
    // Every bit of the number: the shortest text that reads back as the same double.
    if (typ == QLatin1String("Zahl")) return QString::number(v.toDouble(), 'g', QLocale::FloatingPointShortest);
    if (typ == QLatin1String("Datum")) return v.toDate().toString(Qt::ISODate);
    if (typ == QLatin1String("Zeitpunkt")) return v.toDateTime().toString(Qt::ISODateWithMs);
    if (typ == QLatin1String("Bytes")) return QString::fromLatin1(v.toByteArray().toHex());
    return v.toString();
}

QVariant wertAus(const QVariant& typVariant, const QVariant& textVariant) {
    const QString typ = klartext(typVariant), text = klartext(textVariant);
    if (typ.isEmpty() || typ == QLatin1String("Null")) return nullWert();
    if (typ == QLatin1String("Ganzzahl")) return text.toLongLong();
    if (typ == QLatin1String("Zahl")) return text.toDouble();
    if (typ == QLatin1String("Wahrheitswert")) return text == QLatin1String("wahr");
    if (typ == QLatin1String("Datum")) return QDate::fromString(text, Qt::ISODate);
    if (typ == QLatin1String("Zeitpunkt")) return QDateTime::fromString(text, Qt::ISODateWithMs);
    if (typ == QLatin1String("Bytes")) return QByteArray::fromHex(text.toLatin1());
    return text;
}

QString wertAnzeige(const QVariant& typVariant, const QVariant& textVariant) {
    const QString typ = klartext(typVariant), text = klartext(textVariant);
    if (typ.isEmpty() || typ == QLatin1String("Null")) return QStringLiteral("(kein Wert)");
    if (typ == QLatin1String("Zahl")) {
        QString t = text;
        if (!t.contains(QLatin1Char('e')) && !t.contains(QLatin1Char('n'))) t.replace(QLatin1Char('.'), QLatin1Char(','));
        return t;
    }
    if (typ == QLatin1String("Datum")) {
        const QDate d = QDate::fromString(text, Qt::ISODate);
        return d.isValid() ? d.toString(QStringLiteral("dd.MM.yyyy")) : text;
    }
    if (typ == QLatin1String("Zeitpunkt")) return zeitpunktAnzeige(text);
    if (typ == QLatin1String("Ganzzahl") || typ == QLatin1String("Wahrheitswert")) return text;
    if (typ == QLatin1String("Bytes")) return QStringLiteral("Bytes ") + text;
    return QLatin1Char('"') + text + QLatin1Char('"');
}

QString zeitpunktAnzeige(const QVariant& zeitpunkt) {
    const QDateTime z = QDateTime::fromString(klartext(zeitpunkt), Qt::ISODateWithMs);
    return z.isValid() ? z.toLocalTime().toString(QStringLiteral("dd.MM.yyyy HH:mm:ss")) : klartext(zeitpunkt);
}

bool gleichGespeichert(const QVariant& a, const QVariant& b) {
    return wertTyp(a) == wertTyp(b) && wertText(a) == wertText(b);
}

QString schluesselText(const QStringList& spalten, const QVariantList& werte) {
    QStringList teile;
    for (int i = 0; i < spalten.size() && i < werte.size(); ++i)
        teile << spalten.at(i) + QLatin1Char('=') + klartext(wertText(werte.at(i)));
    return teile.join(QStringLiteral(", "));
}

bool protokollVorhanden(Verbindung& v) { return v.tabellen().contains(ProtokollTabelle, Qt::CaseInsensitive); }

bool protokollTabelleAnlegen(Verbindung& v) {
    if (protokollVorhanden(v)) return false;
    Transaktion t(v);
    v.ausfuehren(QStringLiteral("CREATE TABLE AllgAenderungsprotokoll (Nr INTEGER NOT NULL PRIMARY KEY, Zeitpunkt TEXT NOT NULL, "
                                "Arbeitsplatz TEXT, Benutzer TEXT, Datenbankrolle TEXT, Programm TEXT, Tabelle TEXT NOT NULL, "
                                "Schluessel TEXT, Spalte TEXT, AlterTyp TEXT, AlterWert TEXT, NeuerTyp TEXT, NeuerWert TEXT, "
                                "Art TEXT NOT NULL, Bemerkung TEXT, Hash TEXT NOT NULL)"));
    if (!v.rolle().isEmpty()) {
        // On a server the log only grows: whoever writes through the application's role cannot
        // change or remove an entry; what an administrator does past this the chain shows.
        v.ausfuehren(QStringLiteral(
            "CREATE OR REPLACE FUNCTION allgaenderungsprotokoll_unveraenderlich() RETURNS trigger LANGUAGE plpgsql AS $$ "
            "BEGIN RAISE EXCEPTION 'Das Änderungsprotokoll kann nicht geändert oder gelöscht werden' USING ERRCODE = '42501'; END $$"));
        v.ausfuehren(QStringLiteral("CREATE TRIGGER allgaenderungsprotokoll_nur_anfuegen BEFORE UPDATE OR DELETE ON AllgAenderungsprotokoll "
                                    "FOR EACH ROW EXECUTE FUNCTION allgaenderungsprotokoll_unveraenderlich()"));
        v.ausfuehren(QStringLiteral("CREATE TRIGGER allgaenderungsprotokoll_nie_leeren BEFORE TRUNCATE ON AllgAenderungsprotokoll "
                                    "FOR EACH STATEMENT EXECUTE FUNCTION allgaenderungsprotokoll_unveraenderlich()"));
        v.ausfuehren(QStringLiteral("REVOKE UPDATE, DELETE, TRUNCATE ON AllgAenderungsprotokoll FROM PUBLIC"));
    }
    t.bestaetigen();
    return true;
}

Aenderungsprotokoll::Aenderungsprotokoll(Verbindung& v) : m_v(v), m_aktiv(protokollVorhanden(v)) {}

void Aenderungsprotokoll::eintragen(const QString& tabelle, const QString& schluessel, const QVariant& spalte, const QVariant& alt,
                                    const QVariant& neu, const QString& art, const QVariant& bemerkung) {
    if (!m_aktiv) return;
    if (!m_endeGelesen) {
        // The end of the chain, read inside the transaction that writes: the engines serialize
        // writers, and a second writer with the same number fails on the key.
        const auto ende = m_v.abfragen(QStringLiteral("SELECT Nr, Hash FROM AllgAenderungsprotokoll ORDER BY Nr DESC LIMIT 1"));
        m_nr = ende.zeilen.isEmpty() ? 0 : ende.zeilen.first().at(0).toLongLong();
        m_hash = ende.zeilen.isEmpty() ? ErsterVorgaenger : ende.zeilen.first().at(1).toString();
        m_endeGelesen = true;
    }
    const Herkunft& h = herkunft();
    Protokolleintrag e;
    e.nr = m_nr + 1;
    e.zeitpunkt = QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs);
    e.arbeitsplatz = textOderNull(h.arbeitsplatz);
    e.benutzer = textOderNull(h.benutzer);
    const QString rolle = m_v.rolle();
    e.rolle = rolle.isEmpty() ? nullWert() : QVariant(rolle);
    e.programm = h.programm;
    e.tabelle = tabelle;
    e.schluessel = textOderNull(schluessel);
    e.spalte = istLeer(spalte) ? nullWert() : spalte;
    const bool mitWerten = !istLeer(spalte) && !istNull(spalte);
    e.alterTyp = mitWerten ? QVariant(wertTyp(alt)) : nullWert();
    e.alterWert = mitWerten ? wertText(alt) : nullWert();
    e.neuerTyp = mitWerten ? QVariant(wertTyp(neu)) : nullWert();
    e.neuerWert = mitWerten ? wertText(neu) : nullWert();
    e.art = art;
    e.bemerkung = istLeer(bemerkung) || bemerkung.toString().isEmpty() ? nullWert() : bemerkung;
    e.hash = kettenHash(m_hash, e);
    m_v.ausfuehren(QStringLiteral("INSERT INTO AllgAenderungsprotokoll (Nr, Zeitpunkt, Arbeitsplatz, Benutzer, Datenbankrolle, Programm, "
                                  "Tabelle, Schluessel, Spalte, AlterTyp, AlterWert, NeuerTyp, NeuerWert, Art, Bemerkung, Hash) "
                                  "VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)"),
                   {e.nr, e.zeitpunkt, e.arbeitsplatz, e.benutzer, e.rolle, e.programm, e.tabelle, e.schluessel, e.spalte, e.alterTyp,
                    e.alterWert, e.neuerTyp, e.neuerWert, e.art, e.bemerkung, e.hash});
    m_nr = e.nr;
    m_hash = e.hash;
}

int Aenderungsprotokoll::zeileEintragen(const QString& tabelle, const QString& schluessel, const QStringList& spalten,
                                        const QVector<QVariant>& alt, const QVector<QVariant>& neu, const QString& art) {
    int n = 0;
    for (int i = 0; i < spalten.size() && i < alt.size() && i < neu.size(); ++i) {
        if (gleichGespeichert(alt.at(i), neu.at(i))) continue;
        eintragen(tabelle, schluessel, spalten.at(i), alt.at(i), neu.at(i), art);
        ++n;
    }
    return n;
}

Zeilenprotokoll::Zeilenprotokoll(Datenquelle& quelle, const QString& tabelle) : m_quelle(quelle), m_tabelle(tabelle) {
    if (!quelle.hatRecordset()) return;
    Recordset* rs = quelle.Recordset();
    // Nothing to write: no transaction either, so that a closing without changes never waits for a lock.
    const Spaltenwerte ausstehend = quelle.ausstehendeWerte();
    if (rs->Eof() || rs->Bof() || ausstehend.isEmpty()) return;
    for (const auto& [name, w] : ausstehend) m_schreibweise.insert(name.toLower(), name);
    for (const QString& s : rs->spalten()) m_vorher << rs->Fields(s).Value();
    m_v = quelle.verbindung();
    m_t = std::make_unique<Transaktion>(*m_v);
}

Zeilenprotokoll::~Zeilenprotokoll() = default;

void Zeilenprotokoll::abschliessen() {
    if (!m_t) return;
    Recordset* rs = m_quelle.Recordset();
    QVector<QVariant> nachher;
    if (!rs->Eof() && !rs->Bof())
        for (const QString& s : rs->spalten()) nachher << rs->Fields(s).Value();
    bool geschrieben = false;
    for (int i = 0; i < nachher.size() && i < m_vorher.size(); ++i) geschrieben = geschrieben || !gleichGespeichert(nachher.at(i), m_vorher.at(i));
    if (geschrieben) {
        // The row as the database holds it now, with the types it stored.
        QVector<QVariant> gespeichert;
        try {
            gespeichert = m_quelle.zeileNeuLesen();
        } catch (const Fehler&) {
            gespeichert = nachher;
        }
        // The columns as the fields spell them (a server reports them in lower case).
        QStringList spalten = rs->spalten();
        for (QString& s : spalten) s = m_schreibweise.value(s.toLower(), s);
        Aenderungsprotokoll(*m_v).zeileEintragen(m_tabelle, QString(), spalten, m_vorher, gespeichert, Aenderungsart::Geaendert);
    }
    m_t->bestaetigen();
    m_t.reset();
}

Satzprotokoll::Satzprotokoll(Verbindung& v, const QString& tabelle, const QStringList& bereichSpalten, const QVariantList& bereich,
                             const QStringList& satzschluessel, const QStringList& spalten)
    : m_v(v), m_tabelle(tabelle), m_bereichSpalten(bereichSpalten), m_satzschluessel(satzschluessel), m_spalten(spalten),
      m_bereich(bereich) {
    m_vorher = lesen();
}

Satzprotokoll::Saetze Satzprotokoll::lesen() {
    QStringList wo;
    for (const QString& s : m_bereichSpalten) wo << bezeichner(s) + QStringLiteral(" = ?");
    // Named columns, so that every engine gives them back as spelled here.
    const auto erg = m_v.abfragen(QStringLiteral("SELECT %1 FROM %2 WHERE %3")
                                      .arg(spaltenliste(m_satzschluessel + m_spalten), bezeichner(m_tabelle), wo.join(QStringLiteral(" AND "))),
                                  m_bereich);
    return {m_satzschluessel + m_spalten, erg.zeilen};
}

void Satzprotokoll::eintragen(const QString& art) {
    const Saetze nachher = lesen();
    // Each record by its key, with its values by lower-case column name.
    struct Satz {
        QString schluessel;
        QHash<QString, QVariant> werte;
    };
    const auto ordnen = [this](const Saetze& s) {
        QVector<Satz> saetze;
        for (const auto& z : s.zeilen) {
            Satz satz;
            QVariantList schluessel;
            for (int i = 0; i < s.spalten.size(); ++i) satz.werte.insert(s.spalten.at(i).toLower(), z.at(i));
            for (const QString& k : m_satzschluessel) schluessel << satz.werte.value(k.toLower());
            satz.schluessel = schluesselText(m_satzschluessel, schluessel);
            saetze << satz;
        }
        return saetze;
    };
    const QVector<Satz> alt = ordnen(m_vorher), neu = ordnen(nachher);
    const QStringList& spalten = m_spalten;

    struct Aenderung {
        QString spalte, satz, art;
        QVariant alt, neu;
        int anzahl = 1;
    };
    QVector<Aenderung> liste;
    QHash<QString, int> gleiche;  // column, values and kind -> index in liste
    const auto merken = [&](const QString& satz, const QString& spalte, const QVariant& a, const QVariant& n, const QString& eigeneArt) {
        if (gleichGespeichert(a, n)) return;
        const QString wie = art.isEmpty() ? eigeneArt : art;
        const QString k = spalte + u'\x1f' + wertTyp(a) + u'\x1f' + klartext(wertText(a)) + u'\x1f' + wertTyp(n) + u'\x1f' +
                          klartext(wertText(n)) + u'\x1f' + wie;
        if (const auto it = gleiche.constFind(k); it != gleiche.constEnd()) {
            ++liste[*it].anzahl;
            return;
        }
        gleiche.insert(k, int(liste.size()));
        liste << Aenderung{spalte, satz, wie, a, n};
    };
    QHash<QString, int> altNach;
    for (int i = 0; i < alt.size(); ++i) altNach.insert(alt.at(i).schluessel, i);
    QSet<QString> gesehen;
    for (const Satz& s : neu) {
        gesehen.insert(s.schluessel);
        const auto it = altNach.constFind(s.schluessel);
        for (const QString& sp : std::as_const(spalten)) {
            const QVariant n = s.werte.value(sp.toLower());
            if (it == altNach.constEnd()) merken(s.schluessel, sp, nullWert(), n, Aenderungsart::Hinzugefuegt);
            else merken(s.schluessel, sp, alt.at(*it).werte.value(sp.toLower()), n, Aenderungsart::Geaendert);
        }
    }
    for (const Satz& s : alt) {
        if (gesehen.contains(s.schluessel)) continue;
        for (const QString& sp : std::as_const(spalten)) merken(s.schluessel, sp, s.werte.value(sp.toLower()), nullWert(), Aenderungsart::Geloescht);
    }
    if (liste.isEmpty()) return;
    Aenderungsprotokoll p(m_v);
    const QString bereich = schluesselText(m_bereichSpalten, m_bereich);
    for (const Aenderung& a : std::as_const(liste)) {
        if (a.anzahl == 1) p.eintragen(m_tabelle, a.satz, a.spalte, a.alt, a.neu, a.art);
        else p.eintragen(m_tabelle, bereich, a.spalte, a.alt, a.neu, a.art, QStringLiteral("in %1 Datensätzen").arg(a.anzahl));
    }
}

QVector<Protokolleintrag> protokollLesen(Verbindung& v, const QString& tabelle, const QString& spalte) {
    QString sql = QStringLiteral("SELECT %1 FROM AllgAenderungsprotokoll").arg(spaltenliste(protokollSpalten()));
    QVariantList p;
    if (!tabelle.isEmpty()) {
        sql += QStringLiteral(" WHERE lower(Tabelle) = ?");
        p << tabelle.toLower();
        if (!spalte.isEmpty()) {
            sql += QStringLiteral(" AND lower(Spalte) = ?");
            p << spalte.toLower();
        }
    }
    sql += QStringLiteral(" ORDER BY Nr");
    const auto erg = v.abfragen(sql, p);
    QVector<Protokolleintrag> liste;
    liste.reserve(erg.zeilen.size());
    for (const auto& z : erg.zeilen) {
        Protokolleintrag e;
        e.nr = z.at(0).toLongLong();
        e.zeitpunkt = z.at(1); e.arbeitsplatz = z.at(2); e.benutzer = z.at(3); e.rolle = z.at(4); e.programm = z.at(5);
        e.tabelle = z.at(6); e.schluessel = z.at(7); e.spalte = z.at(8); e.alterTyp = z.at(9); e.alterWert = z.at(10);
        e.neuerTyp = z.at(11); e.neuerWert = z.at(12); e.art = z.at(13); e.bemerkung = z.at(14);
        e.hash = klartext(z.at(15));
        // A value an administrator wrote in another type is read as its text, as the hash saw it.
        for (QVariant* w : {&e.zeitpunkt, &e.arbeitsplatz, &e.benutzer, &e.rolle, &e.programm, &e.tabelle, &e.schluessel, &e.spalte,
                            &e.alterTyp, &e.alterWert, &e.neuerTyp, &e.neuerWert, &e.art, &e.bemerkung})
            if (!istNull(*w) && w->typeId() != QMetaType::QString) *w = klartext(wertText(*w));
        liste << e;
    }
    return liste;
}

std::optional<Kettenbruch> ketteFinden(const QVector<Protokolleintrag>& eintraege) {
    QString vorher = ErsterVorgaenger;
    qint64 erwartet = 1;
    for (const Protokolleintrag& e : eintraege) {
        if (e.nr > erwartet)
            return Kettenbruch{erwartet, e.nr == erwartet + 1 ? QStringLiteral("Eintrag Nr. %1 fehlt (gelöscht)").arg(erwartet)
                                                              : QStringLiteral("die Einträge Nr. %1 bis %2 fehlen (gelöscht)").arg(erwartet).arg(e.nr - 1)};
        if (e.nr < erwartet)
            return Kettenbruch{e.nr, QStringLiteral("Eintrag Nr. %1 steht doppelt oder außer der Reihe").arg(e.nr)};
        if (kettenHash(vorher, e) != e.hash)
            return Kettenbruch{e.nr, QStringLiteral("Eintrag Nr. %1 passt nicht zu seiner Prüfsumme oder zu seinem Vorgänger "
                                                    "(nachträglich geändert, eingefügt oder umgestellt)").arg(e.nr)};
        vorher = e.hash;
        ++erwartet;
    }
    return std::nullopt;
}

}  // namespace xov
