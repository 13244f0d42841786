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
