// The changes of a data source's row and of a range of records, entered in the change log inside
// the transaction that writes them.

#include "platform/Aenderungsprotokoll.h"
#include "platform/Datenbank.h"
#include "platform/Datenquelle.h"
#include "platform/Fehler.h"
#include "platform/Variant.h"

#include <QHash>
#include <QSet>

namespace xov {

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

namespace {

// A record by its key, with its values by lower-case column name.
struct Satz {
    QString schluessel;
    QHash<QString, QVariant> werte;
};

QVector<Satz> ordnen(const QStringList& spalten, const QVector<QVector<QVariant>>& zeilen, const QStringList& satzschluessel) {
    QVector<Satz> saetze;
    for (const auto& z : zeilen) {
        Satz satz;
        QVariantList schluessel;
        for (int i = 0; i < spalten.size(); ++i) satz.werte.insert(spalten.at(i).toLower(), z.at(i));
        for (const QString& k : satzschluessel) schluessel << satz.werte.value(k.toLower());
        satz.schluessel = schluesselText(satzschluessel, schluessel);
        saetze << satz;
    }
    return saetze;
}

// The changed columns of the records; the same change of several records is one item with
// their number.
struct Aenderungen {
    struct Aenderung {
        QString spalte, satz, art;
        QVariant alt, neu;
        int anzahl = 1;
    };
    QString art;  // for every item; empty: each its own kind
    QVector<Aenderung> liste;
    QHash<QString, int> gleiche;  // column, values and kind -> index in liste

    void merken(const QString& satz, const QString& spalte, const QVariant& a, const QVariant& n, const QString& eigeneArt) {
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
    }
};

}  // namespace

void Satzprotokoll::eintragen(const QString& art) {
    const Saetze nachher = lesen();
    const QVector<Satz> alt = ordnen(m_vorher.spalten, m_vorher.zeilen, m_satzschluessel);
    const QVector<Satz> neu = ordnen(nachher.spalten, nachher.zeilen, m_satzschluessel);
    Aenderungen a{art, {}, {}};
    QHash<QString, int> altNach;
    for (int i = 0; i < alt.size(); ++i) altNach.insert(alt.at(i).schluessel, i);
    QSet<QString> gesehen;
    for (const Satz& s : neu) {
        gesehen.insert(s.schluessel);
        const auto it = altNach.constFind(s.schluessel);
        for (const QString& sp : std::as_const(m_spalten)) {
            const QVariant n = s.werte.value(sp.toLower());
            if (it == altNach.constEnd()) a.merken(s.schluessel, sp, nullWert(), n, Aenderungsart::Hinzugefuegt);
            else a.merken(s.schluessel, sp, alt.at(*it).werte.value(sp.toLower()), n, Aenderungsart::Geaendert);
        }
    }
    for (const Satz& s : alt) {
        if (gesehen.contains(s.schluessel)) continue;
        for (const QString& sp : std::as_const(m_spalten)) a.merken(s.schluessel, sp, s.werte.value(sp.toLower()), nullWert(), Aenderungsart::Geloescht);
    }
    if (a.liste.isEmpty()) return;
    Aenderungsprotokoll p(m_v);
    const QString bereich = schluesselText(m_bereichSpalten, m_bereich);
    for (const auto& e : std::as_const(a.liste)) {
        if (e.anzahl == 1) p.eintragen(m_tabelle, e.satz, e.spalte, e.alt, e.neu, e.art);
        else p.eintragen(m_tabelle, bereich, e.spalte, e.alt, e.neu, e.art, QStringLiteral("in %1 Datensätzen").arg(e.anzahl));
    }
}

}  // namespace xov
