#include "platform/Datenquelle.h"
#include "platform/Fehler.h"
#include "platform/Variant.h"

namespace xov {

Datenquelle::Datenquelle(const QString& name, QObject* parent) : QObject(parent) { setObjectName(name); }

void Datenquelle::setRecordSource(const QString& sql, const QVariantList& parameter, const Schreibziel& ziel) {
    m_recordSource = sql;
    m_parameter = parameter;
    m_ziel = ziel;
}

std::shared_ptr<Verbindung> Datenquelle::verbindung() {
    const Verbindungsangabe angabe = Verbindungsangabe::aus(m_databaseName, m_connect);
    if (!m_verbindung || m_verbindungFuer != angabe.datei) {
        m_verbindung = Verbindungen::von(this).oeffnen(angabe);
        m_verbindungFuer = angabe.datei;
    }
    return m_verbindung;
}

void Datenquelle::Refresh() {
    // Open the connection first, or share the one the other sources of this dialog hold: a
    // missing file or a wrong password fails here.
    auto verbindung = Verbindungen::von(this).oeffnen(Verbindungsangabe::aus(m_databaseName, m_connect));
    m_verbindungFuer = Verbindungsangabe::aus(m_databaseName, m_connect).datei;
    auto* neu = new xov::Recordset(verbindung, verbindung->abfragen(m_recordSource, m_parameter), m_ziel, this);
    if (m_recordset) m_recordset->deleteLater();
    m_recordset = neu;
    m_verbindung = std::move(verbindung);
    connect(m_recordset, &xov::Recordset::positionChanged, this, [this] {
        gebundeneFelderAnzeigen();
        if (beiReposition) beiReposition();
    });
    gebundeneFelderAnzeigen();
    if (beiReposition) beiReposition();
}

xov::Recordset* Datenquelle::Recordset() const {
    if (!m_recordset) fehlerWerfen(FehlerNr::KeinAktuellerDatensatz, objectName());
    return m_recordset;
}

void Datenquelle::binden(Bindung bindung) { m_bindungen << std::move(bindung); }

void Datenquelle::gebundeneFelderAnzeigen() {
    if (!m_recordset || m_recordset->Eof() || m_recordset->Bof()) return;
    for (const Bindung& b : std::as_const(m_bindungen))
        if (m_recordset->hatSpalte(b.spalte)) b.anzeigen(m_recordset->Fields(b.spalte).Value());
}

QStringList Datenquelle::fehlendeSpalten() const {
    QStringList fehlend;
    if (!m_recordset) return fehlend;
    for (const Bindung& b : m_bindungen)
        if (!m_recordset->hatSpalte(b.spalte) && !fehlend.contains(b.spalte, Qt::CaseInsensitive)) fehlend << b.spalte;
    return fehlend;
}

bool Datenquelle::geaendert() const {
    for (const Bindung& b : m_bindungen)
        if (b.wert && b.geaendert && b.geaendert() && m_recordset->hatSpalte(b.spalte)) return true;
    return false;
}

Spaltenwerte Datenquelle::ausstehendeWerte() const {
    Spaltenwerte werte;
    if (!m_recordset) return werte;
    for (const Bindung& b : m_bindungen)
        if (b.wert && b.geaendert && b.geaendert() && m_recordset->hatSpalte(b.spalte)) werte << qMakePair(b.spalte, b.wert());
    return werte;
}

QVector<QVariant> Datenquelle::zeileNeuLesen() {
    xov::Recordset* rs = Recordset();
    if (rs->Eof() || rs->Bof()) fehlerWerfen(FehlerNr::KeinAktuellerDatensatz, objectName());
    const Abfrageergebnis e = verbindung()->abfragen(m_recordSource, m_parameter);
    // The fresh result's column for each column of the open one.
    QVector<int> quelle;
    for (const QString& s : rs->spalten()) {
        int i = int(e.spalten.size()) - 1;
        while (i >= 0 && e.spalten.at(i).compare(s, Qt::CaseInsensitive) != 0) --i;
        if (i < 0) fehlerWerfen(FehlerNr::SpalteFehlt, s);
        quelle << i;
    }
    QVector<QVector<QVariant>> gefunden;
    for (const QVector<QVariant>& z : e.zeilen) {
        bool passt = true;
        for (const QString& k : std::as_const(m_ziel.schluessel))
            passt = passt && z.at(quelle.at(rs->spalteVon(k))) == rs->Fields(k).Value();
        if (!passt) continue;
        QVector<QVariant> zeile;
        for (int i : std::as_const(quelle)) zeile << z.at(i);
        gefunden << zeile;
    }
    if (gefunden.size() != 1) fehlerWerfen(FehlerNr::DatensatzGeaendert, m_ziel.tabelle);
    return gefunden.first();
}

void Datenquelle::zeileUebernehmen(const QVector<QVariant>& zeile, const QStringList& zeigen) {
    xov::Recordset* rs = Recordset();
    rs->zeileErneuern(zeile);
    for (const Bindung& b : std::as_const(m_bindungen))
        if (zeigen.contains(b.spalte, Qt::CaseInsensitive) && rs->hatSpalte(b.spalte)) b.anzeigen(rs->Fields(b.spalte).Value());
}

bool Datenquelle::zeileSchreiben(int aktion) {
    if (!m_recordset || m_recordset->Eof() || m_recordset->Bof()) return true;
    bool speichern = geaendert();
    if (beiValidate) beiValidate(aktion, speichern);
    if (aktion == Abbrechen) return false;
    if (!speichern) return true;
    m_recordset->Edit();
    try {
        // Only what was changed is written: every other column keeps its stored value and type.
        for (const Bindung& b : std::as_const(m_bindungen))
            if (b.wert && b.geaendert && b.geaendert() && m_recordset->hatSpalte(b.spalte))
                m_recordset->Fields(b.spalte).setValue(b.wert());
        m_recordset->Update();
    } catch (...) {
        m_recordset->CancelUpdate();
        throw;
    }
    // The written row is what the fields show now; nothing is pending any more.
    gebundeneFelderAnzeigen();
    return true;
}

}  // namespace xov
