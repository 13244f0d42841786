#include "tools/xov-db/Schema.h"
#include "form/Feldtabelle.h"
#include "platform/Aenderungsprotokoll.h"
#include "platform/Datenbank.h"
#include "tools/xov-db/Protokoll.h"
#include "platform/Fehler.h"

#include <QFileInfo>

using xov::Verbindung;

namespace xovdb {

// The columns of AllgMandDaten are those the dialog's fields are bound to, each with the SQL
// type of its kind of field.
const QVector<Spaltendefinition>& mandantenSpalten() {
    static const QVector<Spaltendefinition> spalten = [] {
        QVector<Spaltendefinition> s;
        for (const xov::FeldDef& f : xov::feldtabelle()) {
            if (f.spalte.isEmpty()) continue;
            switch (f.art) {
            case xov::Art::Ganzzahl: case xov::Art::Code: case xov::Art::DbListe: s.append({f.spalte, "INTEGER"}); break;
            case xov::Art::Betrag: case xov::Art::Kurs: s.append({f.spalte, "REAL"}); break;
            case xov::Art::Datum: s.append({f.spalte, "DATE"}); break;
            default: s.append({f.spalte, "TEXT"}); break;
            }
        }
        return s;
    }();
    return spalten;
}

QString Tabellendefinition::anlegenSql(bool wennFehlt) const {
    QStringList s;
    for (const auto& d : spalten) s << d.name + QLatin1Char(' ') + d.typ;
    if (!zusatz.isEmpty()) s << zusatz;
    return QStringLiteral("CREATE TABLE %1%2 (%3)")
        .arg(wennFehlt ? QStringLiteral("IF NOT EXISTS ") : QString(), name, s.join(QStringLiteral(", ")));
}

QString Tabellendefinition::einfuegenSql() const {
    QStringList s;
    for (const auto& d : spalten) s << d.name;
    return QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
        .arg(name, s.join(u','), QStringList(spalten.size(), QStringLiteral("?")).join(u','));
}

const Tabellendefinition& kontenTabelle() {
    static const Tabellendefinition t{QStringLiteral("ObjKanzleiKontenstamm"),
                                      {{"KontoJJ", "INTEGER"}, {"KontoNr", "TEXT"}, {"KontoBezeichnung", "TEXT"}}, {}};
    return t;
}

const Tabellendefinition& finanzamtTabelle() {
    static const Tabellendefinition t{QStringLiteral("AllgFaDaten"),
                                      {{"FaNummer", "INTEGER"}, {"FaName", "TEXT"}, {"FaNummerAlt", "INTEGER"}, {"FaAnschrift", "TEXT"},
                                       {"FaPlz", "INTEGER"}, {"FaOrt", "TEXT"}},
                                      {}};
    return t;
}

const Tabellendefinition& waehrungTabelle() {
    static const Tabellendefinition t{QStringLiteral("AllgWaehrung"),
                                      {{"WID", "INTEGER NOT NULL"}, {"Waehrungscode", "TEXT"}, {"WaehrungscodeBezeichnung", "TEXT"},
                                       {"Laenderkennzeichen", "TEXT"}, {"AenderDatum", "DATE NOT NULL"}, {"EuroinFremd", "REAL"},
                                       {"FremdinEuro", "REAL"}},
                                      QStringLiteral("UNIQUE (WID, AenderDatum)")};
    return t;
}

QStringList bekannteSpalten() {
    QStringList l;
    for (const auto& s : mandantenSpalten()) l << s.name;
    for (const Tabellendefinition* t : {&kontenTabelle(), &finanzamtTabelle(), &waehrungTabelle()})
        for (const auto& s : t->spalten) l << s.name;
    return l;
}

namespace {

void kontenTabelleAnlegen(Verbindung& v) {
    v.ausfuehren(kontenTabelle().anlegenSql(true));
    v.ausfuehren("CREATE INDEX IF NOT EXISTS KontoJahrNr ON ObjKanzleiKontenstamm (KontoJJ, KontoNr)");
}

}  // namespace

QStringList mandantenTabellen() { return {QStringLiteral("AllgMandDaten"), kontenTabelle().name}; }
QStringList gemeinsameTabellen() { return {finanzamtTabelle().name, waehrungTabelle().name}; }

void mandantenTabellenAnlegen(Verbindung& mand, const QStringList& ohneSpalten) {
    QStringList spalten;
    for (const auto& s : mandantenSpalten())
        if (!ohneSpalten.contains(s.name, Qt::CaseInsensitive)) spalten << s.name + QLatin1Char(' ') + s.typ;
    xov::Transaktion t(mand);
    mand.ausfuehren(QStringLiteral("CREATE TABLE AllgMandDaten (%1)").arg(spalten.join(QStringLiteral(", "))));
    kontenTabelleAnlegen(mand);
    xov::protokollTabelleAnlegen(mand);
    t.bestaetigen();
}

void gemeinsameTabellenAnlegen(Verbindung& fa) {
    xov::Transaktion t(fa);
    fa.ausfuehren(finanzamtTabelle().anlegenSql());
    fa.ausfuehren(waehrungTabelle().anlegenSql());
    xov::protokollTabelleAnlegen(fa);
    t.bestaetigen();
}

void mandantAnlegen(const QString& mandPfad, const QString& passwort, const QStringList& ohneSpalten) {
    mandantenTabellenAnlegen(*xov::datenbankAnlegen(mandPfad, passwort), ohneSpalten);
}

void gemeinsamAnlegen(const QString& faPfad, const QString& passwort) {
    gemeinsameTabellenAnlegen(*xov::datenbankAnlegen(faPfad, passwort));
}

bool datenbankVorhanden(const QString& db, const QString& passwort) {
    if (!xov::Verbindungsangabe::istServerAdresse(db)) return QFileInfo::exists(db);
    try {
        // An empty database on a server (one an administrator created for the suite) is taken
        // over as a new one.
        // So is one that a killed creation left unfinished.
        return !xov::verbindungOeffnen(db, passwort)->tabellen().isEmpty() && !xov::anlageUnvollstaendig({db, passwort});
    } catch (const xov::Fehler& f) {
        if (f.nummer() == xov::FehlerNr::DateiNichtGefunden) return false;
        throw;
    }
}

void anlegen(const QString& mandPfad, const QString& faPfad, const QString& passwort, const QStringList& ohneSpalten, bool abschliessen) {
    for (const QString& p : {mandPfad, faPfad})
        if (!xov::Verbindungsangabe::istServerAdresse(p) && QFileInfo::exists(p))
            xov::fehlerWerfen(xov::FehlerNr::DateiVorhanden, p);
    mandantAnlegen(mandPfad, passwort, ohneSpalten);
    try {
        gemeinsamAnlegen(faPfad, passwort);
    } catch (...) {
        try { xov::datenbankEntfernen({mandPfad, passwort}); } catch (...) {}
        throw;
    }
    if (abschliessen) anlageAbschliessen({mandPfad, faPfad}, passwort);
}

void anlageAbschliessen(const QStringList& datenbanken, const QString& passwort) {
    try {
        QVector<xov::Verbindungsangabe> angaben;
        for (const QString& db : datenbanken) angaben.append({db, passwort});
        xov::anlagenAbschliessen(angaben);
    } catch (...) {
        for (const QString& db : datenbanken) {
            try { xov::datenbankEntfernen({db, passwort}); } catch (...) {}
        }
        throw;
    }
}

QStringList felderErgaenzen(const QString& mandPfad, const QString& passwort) {
    auto mand = xov::verbindungOeffnen(mandPfad, passwort);
    xov::Transaktion t(*mand);
    const QStringList vorhanden = mand->spaltenVon("AllgMandDaten");  // 3078 before anything changes
    QStringList ergaenzt;
    for (const auto& s : mandantenSpalten()) {
        if (vorhanden.contains(s.name, Qt::CaseInsensitive)) continue;
        mand->ausfuehren(QStringLiteral("ALTER TABLE AllgMandDaten ADD COLUMN %1 %2").arg(s.name, s.typ));
        ergaenzt << s.name;
    }
    kontenTabelleAnlegen(*mand);
    strukturProtokollieren(*mand, QStringLiteral("AllgMandDaten"), ergaenzt);
    t.bestaetigen();
    return ergaenzt;
}

}  // namespace xovdb
