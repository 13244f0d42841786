#include "currency/Kursverlauf.h"
#include "form/InputFeld.h"
#include "platform/Datenbank.h"
#include "platform/Fehler.h"
#include "platform/Variant.h"

using namespace xov;

void Kursverlauf::laden(std::shared_ptr<Verbindung> verbindung, int wid) {
    beginResetModel();
    m_verbindung = std::move(verbindung);
    m_wid = wid;
    m_zeilen.clear();
    m_vollstaendig = true;
    endResetModel();
    seiteLesen();
}

QVector<Kursverlauf::Zeile> Kursverlauf::naechsteSeite() const {
    const auto erg = m_verbindung->abfragen(
        QStringLiteral("SELECT AenderDatum, EuroinFremd, FremdinEuro FROM AllgWaehrung WHERE WID = ? "
                       "ORDER BY AenderDatum DESC LIMIT ? OFFSET ?"),
        {m_wid, Seite, static_cast<int>(m_zeilen.size())});
    auto zahl = [](const QVariant& v) { return istNull(v) ? 0.0 : alsDouble(v); };
    QVector<Zeile> neu;
    neu.reserve(erg.zeilen.size());
    for (const auto& z : erg.zeilen) neu.append({alsDatum(z.at(0)), zahl(z.at(1)), zahl(z.at(2))});
    return neu;
}

void Kursverlauf::bisZeile(int zeile) {
    while (zeile >= m_zeilen.size() && canFetchMore({})) seiteLesen();
}

int Kursverlauf::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : static_cast<int>(m_zeilen.size()); }
int Kursverlauf::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : 4; }

QVariant Kursverlauf::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= m_zeilen.size() || index.column() > 2) return {};
    const Zeile& z = m_zeilen.at(index.row());
    if (role == Qt::TextAlignmentRole)
        return index.column() == 0 ? QVariant() : QVariant(Qt::AlignRight | Qt::AlignVCenter);
    if (role != Qt::DisplayRole && role != Qt::EditRole) return {};
    switch (index.column()) {
    case 0: return role == Qt::EditRole ? QVariant(z.datum) : QVariant(datumAlsText(z.datum));
    case 1: return role == Qt::EditRole ? QVariant(z.euroinFremd) : QVariant(InputFeld::kursText(z.euroinFremd));
    default: return role == Qt::EditRole ? QVariant(z.fremdinEuro) : QVariant(InputFeld::kursText(z.fremdinEuro));
    }
}

QVariant Kursverlauf::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal) return {};
    static const QStringList titel = {QStringLiteral("Datum"), QStringLiteral("EuroinFremd"), QStringLiteral("FremdinEuro"), QString()};
    return titel.value(section);
}

int Kursverlauf::zeileVon(const QDate& tag) {
    // Newest first: past an older day the history cannot hold it any more.
    for (int z = 0;; ++z) {
        if (z >= m_zeilen.size()) {
            if (!canFetchMore({})) return -1;
            seiteLesen();
            if (z >= m_zeilen.size()) return -1;
        }
        if (m_zeilen.at(z).datum == tag) return z;
        if (m_zeilen.at(z).datum < tag) return -1;
    }
}

bool Kursverlauf::canFetchMore(const QModelIndex& parent) const { return !parent.isValid() && !m_vollstaendig; }

void Kursverlauf::seiteLesen() {
    // A failure leaves the rows shown as they are and reads no further.
    m_vollstaendig = true;
    const QVector<Zeile> neu = naechsteSeite();
    m_vollstaendig = neu.size() < Seite;
    if (neu.isEmpty()) return;
    beginInsertRows({}, static_cast<int>(m_zeilen.size()), static_cast<int>(m_zeilen.size() + neu.size()) - 1);
    m_zeilen += neu;
    endInsertRows();
}

void Kursverlauf::fetchMore(const QModelIndex& parent) {
    if (parent.isValid() || !m_verbindung) return;
    // The view asks while it scrolls or paints: no failure may pass through it.
    try {
        seiteLesen();
    } catch (...) {
        if (beiFehler) beiFehler(aktuellerFehler());
    }
}
