#include "platform/Recordset.h"
#include "platform/Fehler.h"
#include "platform/Variant.h"
#include "platform/Zusicherung.h"

namespace xov {

QVariant FeldRef::Value() const { return m_rs->lesen(m_spalte); }
void FeldRef::setValue(const QVariant& wert) const { m_rs->schreiben(m_spalte, wert); }

Recordset::Recordset(std::shared_ptr<Verbindung> verbindung, Abfrageergebnis ergebnis, Schreibziel ziel, QObject* parent)
    : QAbstractTableModel(parent), m_verbindung(std::move(verbindung)), m_ziel(std::move(ziel)),
      m_spaltenNamen(ergebnis.spalten), m_zeilen(std::move(ergebnis.zeilen)) {
    for (int i = 0; i < m_spaltenNamen.size(); ++i) m_spaltenIndex.insert(m_spaltenNamen.at(i).toLower(), i);
    // A writable source must select its key columns; naming one it does not select is a bug.
    for (const QString& s : std::as_const(m_ziel.schluessel))
        if (!XOV_ASSERT(hatSpalte(s))) m_ziel = {};
}

void Recordset::schreibbarPruefen() const {
    if (!m_ziel.schreibbar()) fehlerWerfen(FehlerNr::NurLesen);
}

int Recordset::spalteVon(const QString& name) const { return m_spaltenIndex.value(name.toLower(), -1); }

int Recordset::spalteOderFehler(const QString& name) const {
    const int s = spalteVon(name);
    if (s < 0) fehlerWerfen(FehlerNr::SpalteFehlt, name);
    return s;
}

FeldRef Recordset::Fields(const QString& name) { return FeldRef(this, spalteOderFehler(name)); }

QVariant Recordset::lesen(int spalte) const {
    if (m_puffer.contains(spalte)) return m_puffer.value(spalte);
    if (m_modus == Modus::Neu) return nullWert();
    if (Eof() || Bof()) fehlerWerfen(FehlerNr::KeinAktuellerDatensatz);
    return m_zeilen.at(m_pos).at(spalte);
}

void Recordset::schreiben(int spalte, const QVariant& wert) {
    if (m_modus == Modus::Keiner) fehlerWerfen(FehlerNr::AktualisierenOhneEdit);
    m_puffer.insert(spalte, istLeer(wert) ? nullWert() : wert);
}

void Recordset::positionieren(int pos) {
    if (m_modus != Modus::Keiner) CancelUpdate();
    m_pos = pos;
    Q_EMIT positionChanged();
}

void Recordset::MoveFirst() {
    if (RecordCount() == 0) fehlerWerfen(FehlerNr::KeinAktuellerDatensatz);
    positionieren(0);
}
void Recordset::MoveNext() {
    if (Eof()) fehlerWerfen(FehlerNr::KeinAktuellerDatensatz);
    positionieren(m_pos + 1);
}
namespace {
bool wertePassen(const QVariant& gespeichert, const QVariant& gesucht) {
    if (istNull(gespeichert) || istNull(gesucht)) return false;
    if (gesucht.typeId() == QMetaType::QString) return gespeichert.toString().compare(gesucht.toString(), Qt::CaseInsensitive) == 0;
    return gleichZahl(gespeichert, gesucht.toDouble());
}
}  // namespace

void Recordset::FindFirst(const QString& spalte, const QVariant& wert) {
    const int s = spalteOderFehler(spalte);
    for (int z = 0; z < RecordCount(); ++z) {
        if (wertePassen(m_zeilen.at(z).at(s), wert)) {
            m_keinTreffer = false;
            positionieren(z);
            return;
        }
    }
    m_keinTreffer = true;  // the position stays where it was
}

void Recordset::AddNew() {
    schreibbarPruefen();
    m_puffer.clear();
    m_modus = Modus::Neu;
}

void Recordset::Edit() {
    schreibbarPruefen();
    if (Eof() || Bof()) fehlerWerfen(FehlerNr::KeinAktuellerDatensatz);
    m_puffer.clear();
    m_modus = Modus::Bearbeiten;
}

void Recordset::CancelUpdate() {
    m_puffer.clear();
    m_modus = Modus::Keiner;
}

void Recordset::Update() {
    if (m_modus == Modus::Keiner) fehlerWerfen(FehlerNr::AktualisierenOhneEdit);
    Spaltenwerte werte;
    for (auto it = m_puffer.cbegin(); it != m_puffer.cend(); ++it) werte << qMakePair(m_spaltenNamen.at(it.key()), it.value());
    // The engine writes in one transaction; on a failure the buffer stays for another try.
    if (m_modus == Modus::Neu) {
        const auto zeile = m_verbindung->einfuegen(m_ziel.tabelle, werte, m_spaltenNamen);
        beginInsertRows({}, RecordCount(), RecordCount());
        m_zeilen << zeile;
        endInsertRows();
        m_zuletztGeaendert = RecordCount() - 1;
        if (RecordCount() == 1) m_pos = 0;
    } else {
        zeileAendern(*m_verbindung, m_ziel, m_spaltenNamen, m_zeilen.at(m_pos), werte);
        for (auto it = m_puffer.cbegin(); it != m_puffer.cend(); ++it) m_zeilen[m_pos][it.key()] = it.value();
        m_zuletztGeaendert = m_pos;
        Q_EMIT dataChanged(index(m_pos, 0), index(m_pos, columnCount() - 1));
    }
    m_puffer.clear();
    m_modus = Modus::Keiner;
}

void Recordset::Delete() {
    schreibbarPruefen();
    if (Eof() || Bof()) fehlerWerfen(FehlerNr::KeinAktuellerDatensatz);
    zeileLoeschen(*m_verbindung, m_ziel, m_spaltenNamen, m_zeilen.at(m_pos));
    beginRemoveRows({}, m_pos, m_pos);
    m_zeilen.removeAt(m_pos);
    endRemoveRows();
    m_puffer.clear();
    m_modus = Modus::Keiner;
    Q_EMIT positionChanged();
}

void Recordset::zeileErneuern(const QVector<QVariant>& werte) {
    if (m_modus != Modus::Keiner) fehlerWerfen(FehlerNr::AktualisierenOhneEdit);
    if (Eof() || Bof()) fehlerWerfen(FehlerNr::KeinAktuellerDatensatz);
    if (!XOV_ASSERT(werte.size() == m_spaltenNamen.size())) fehlerWerfen(FehlerNr::DatensatzGeaendert, m_ziel.tabelle);
    m_zeilen[m_pos] = werte;
    Q_EMIT dataChanged(index(m_pos, 0), index(m_pos, columnCount() - 1));
}

Recordset::Bookmark Recordset::LastModified() const {
    if (m_zuletztGeaendert < 0) fehlerWerfen(FehlerNr::KeinAktuellerDatensatz);
    return m_zuletztGeaendert;
}

void Recordset::setBookmark(Bookmark b) {
    if (b < 0 || b >= RecordCount()) fehlerWerfen(FehlerNr::KeinAktuellerDatensatz);
    positionieren(b);
}

int Recordset::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : RecordCount(); }
int Recordset::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : int(m_spaltenNamen.size()); }

QVariant Recordset::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= RecordCount()) return {};
    const QVariant& w = m_zeilen.at(index.row()).at(index.column());
    if (role == Qt::EditRole) return w;
    if (role != Qt::DisplayRole) return {};
    if (istNull(w)) return QString();
    if (w.typeId() == QMetaType::QDate) return datumAlsText(w.toDate());
    if (w.typeId() == QMetaType::Double) return deutsch().toString(w.toDouble(), 'g', 15);
    return w;
}

QVariant Recordset::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) return {};
    if (orientation == Qt::Horizontal && section >= 0 && section < m_spaltenNamen.size()) return m_spaltenNamen.at(section);
    if (orientation == Qt::Vertical) return section + 1;
    return {};
}

}  // namespace xov
