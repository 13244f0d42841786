#pragma once
// The change log of a database, table AllgAenderungsprotokoll: one entry per changed column of a
// master-data row, written inside the transaction of the change itself, so that a change without
// its entry or an entry without its change never exists. The log is only ever added to.
//
// Each entry carries a SHA-256 over the previous entry's hash and its own canonical form
// (kanonischeForm), so an entry edited, deleted, inserted or moved afterwards breaks the chain at
// its number (ketteFinden).

#include <QDate>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>
#include <memory>
#include <optional>

namespace xov {

class Verbindung;
class Datenquelle;
class Transaktion;

inline const QString ProtokollTabelle = QStringLiteral("AllgAenderungsprotokoll");

// The kinds of change as the log stores them.
namespace Aenderungsart {
inline const QString Geaendert = QStringLiteral("geändert");
inline const QString Hinzugefuegt = QStringLiteral("hinzugefügt");
inline const QString Geloescht = QStringLiteral("gelöscht");
inline const QString Eingelesen = QStringLiteral("aus Kursdatei");
inline const QString Kopiert = QStringLiteral("kopiert");
inline const QString StrukturErgaenzt = QStringLiteral("Struktur ergänzt");
}  // namespace Aenderungsart

// The columns of the log in table order.
const QStringList& protokollSpalten();

// One entry as stored. Every column is text except Nr; a value is stored as its type name
// ("Null", "Text", "Ganzzahl", "Zahl", "Datum", "Bytes", "Wahrheitswert") and its exact text.
struct Protokolleintrag {
    qint64 nr = 0;
    QVariant zeitpunkt;  // UTC to the millisecond, "2026-12-06T22:35:12.345Z"
    QVariant arbeitsplatz, benutzer, rolle, programm;
    QVariant tabelle, schluessel, spalte;
    QVariant alterTyp, alterWert, neuerTyp, neuerWert;
    QVariant art, bemerkung;
    QString hash;  // 64 hex digits
};

// The bytes the hash covers besides the previous hash: every column but Hash in table order,
// each as "-" for Null or "<UTF-8 length>:<UTF-8 bytes>", one after the other.
QByteArray kanonischeForm(const Protokolleintrag& e);
// SHA-256 in hex over the previous entry's hash (64 zeros before the first entry) and the
// canonical form.
QString kettenHash(const QString& vorigerHash, const Protokolleintrag& e);
inline const QString ErsterVorgaenger = QString(64, QLatin1Char('0'));

// A value's plain text: "" for Null and Empty.
QString klartext(const QVariant& v);
// A value's stored type name and text; Empty counts as Null.
QString wertTyp(const QVariant& v);
QVariant wertText(const QVariant& v);
// "WID=3, AenderDatum=2024-03-01": the key of a row as the log names it.
QString schluesselText(const QStringList& spalten, const QVariantList& werte);

// Creates the log table (and on a server the trigger that refuses UPDATE, DELETE and TRUNCATE on
// it) where it is missing; returns whether it was created. Joins the caller's transaction.
bool protokollTabelleAnlegen(Verbindung& v);
bool protokollVorhanden(Verbindung& v);

// Writes entries on a connection inside the caller's transaction. Where the database has no log
// table yet (a database not yet completed by the database tool) nothing is written.
class Aenderungsprotokoll {
public:
    explicit Aenderungsprotokoll(Verbindung& v);
    bool aktiv() const { return m_aktiv; }
    void eintragen(const QString& tabelle, const QString& schluessel, const QVariant& spalte, const QVariant& alt,
                   const QVariant& neu, const QString& art, const QVariant& bemerkung = {});
    // One entry per column whose stored value (type included) differs between `alt` and `neu`;
    // returns how many.
    int zeileEintragen(const QString& tabelle, const QString& schluessel, const QStringList& spalten,
                       const QVector<QVariant>& alt, const QVector<QVariant>& neu, const QString& art);

private:
    Verbindung& m_v;
    bool m_aktiv = false;
    bool m_endeGelesen = false;
    qint64 m_nr = 0;
    QString m_hash;
};

// Two stored values are the same: same type and same text.
bool gleichGespeichert(const QVariant& a, const QVariant& b);

// The write of a data source's current row with its entries: begun before the write (which then
// joins this transaction), abschliessen() reads the row as stored, enters every changed column
// and commits. Destroyed without abschliessen() it rolls the write back.
class Zeilenprotokoll {
public:
    Zeilenprotokoll(Datenquelle& quelle, const QString& tabelle);
    ~Zeilenprotokoll();
    void abschliessen();
    Zeilenprotokoll(const Zeilenprotokoll&) = delete;
    Zeilenprotokoll& operator=(const Zeilenprotokoll&) = delete;

private:
    Datenquelle& m_quelle;
    QString m_tabelle;
    QVector<QVariant> m_vorher;
    QHash<QString, QString> m_schreibweise;
    std::shared_ptr<Verbindung> m_v;
    std::unique_ptr<Transaktion> m_t;
};

// The change of the records of `tabelle` where `bereich` holds (e.g. WID = 3): reads their
// columns `spalten` before the change, and eintragen() reads them again and enters what was
// added, changed or deleted, each record identified by `satzschluessel`. Identical changes of several records (a currency's
// name in each of its rates) become one entry naming the range and the number of records.
class Satzprotokoll {
public:
    Satzprotokoll(Verbindung& v, const QString& tabelle, const QStringList& bereichSpalten, const QVariantList& bereich,
                  const QStringList& satzschluessel, const QStringList& spalten);
    void eintragen(const QString& art = {});

private:
    struct Saetze {
        QStringList spalten;
        QVector<QVector<QVariant>> zeilen;
    };
    Saetze lesen();
    Verbindung& m_v;
    QString m_tabelle;
    QStringList m_bereichSpalten, m_satzschluessel, m_spalten;
    QVariantList m_bereich;
    Saetze m_vorher;
};

// A stored value as the user reads it: "(kein Wert)" for Null, text in double quotes, numbers
// with the decimal comma and every stored digit, dates as TT.MM.JJJJ.
QString wertAnzeige(const QVariant& typ, const QVariant& text);
// The stored UTC time of an entry in local time, "TT.MM.JJJJ HH:MM:SS".
QString zeitpunktAnzeige(const QVariant& zeitpunkt);

// The entries of a log in number order, optionally only those of a table and column.
QVector<Protokolleintrag> protokollLesen(Verbindung& v, const QString& tabelle = {}, const QString& spalte = {});

// The first entry at which the chain breaks, and why; none when the chain is whole.
struct Kettenbruch {
    qint64 nr = 0;
    QString grund;
};
std::optional<Kettenbruch> ketteFinden(const QVector<Protokolleintrag>& eintraege);

}  // namespace xov
