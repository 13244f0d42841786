#include "platform/Datenquelle.h"
#include "platform/Fehler.h"
#include "platform/Variant.h"

#include <QRegularExpression>

namespace xov {

Datenquelle::Datenquelle(const QString& name, QObject* parent) : QObject(parent) { setObjectName(name); }

void Datenquelle::setRecordSource(const QString& sql, const QVariantList& parameter) {
    m_recordSource = sql;
    m_parameter = parameter;
}

void Datenquelle::Refresh() {
    // Open (or share) the connection first: a missing file or wrong password fails here.
    auto verbindung = verbindungOeffnen(m_databaseName, passwortAus(m_connect));
    auto* neu = new xov::Recordset(verbindung, verbindung->abfragen(m_recordSource, m_parameter), this);
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

namespace {
bool gleicherWert(const QVariant& gespeichert, const QVariant& neu) {
    const bool nullAlt = istNull(gespeichert) || istLeer(gespeichert);
    const bool leerNeu = istNull(neu) || istLeer(neu) || (neu.typeId() == QMetaType::QString && neu.toString().isEmpty());
    if (nullAlt) return leerNeu;
    if (gespeichert.typeId() == QMetaType::QString || neu.typeId() == QMetaType::QString)
        return gespeichert.toString() == neu.toString();
    if (gespeichert.canConvert<double>() && neu.canConvert<double>() && gespeichert.typeId() != QMetaType::QDate)
        return gespeichert.toDouble() == neu.toDouble();
    return gespeichert == neu;
}
}  // namespace

bool Datenquelle::geaendert() const {
    for (const Bindung& b : m_bindungen)
        if (b.wert && m_recordset->hatSpalte(b.spalte) && !gleicherWert(m_recordset->Fields(b.spalte).Value(), b.wert()))
            return true;
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
        for (const Bindung& b : std::as_const(m_bindungen)) {
            if (!b.wert || !m_recordset->hatSpalte(b.spalte)) continue;
            const QVariant neu = b.wert();
            if (!gleicherWert(m_recordset->Fields(b.spalte).Value(), neu)) m_recordset->Fields(b.spalte).setValue(neu);
        }
        m_recordset->Update();
    } catch (...) {
        m_recordset->CancelUpdate();
        throw;
    }
    return true;
}

}  // namespace xov
