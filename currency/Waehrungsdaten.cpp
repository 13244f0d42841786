#include "currency/Waehrungsdaten.h"
#include "currency/Waehrungsprotokoll.h"
#include "platform/Datenbank.h"
#include "platform/Datenquelle.h"
#include "platform/Fehler.h"
#include "platform/Variant.h"

using namespace xov;

namespace {
const QString EinKurs = QStringLiteral("SELECT * FROM AllgWaehrung WHERE WID = ? AND AenderDatum = ?");

QString text(const QVariant& v) { return istNull(v) ? QString() : v.toString(); }
}  // namespace

namespace {
// Rates are written back into AllgWaehrung, one record per currency and date.
const Schreibziel Kurse{QStringLiteral("AllgWaehrung"), {QStringLiteral("WID"), QStringLiteral("AenderDatum")}};
}  // namespace

std::shared_ptr<Verbindung> Waehrungsdaten::verbindung() const { return m_quelle->verbindung(); }

int Waehrungsdaten::abfragen(const QString& sql, const QVariantList& parameter, bool schreibbar) {
    m_quelle->setRecordSource(sql, parameter, schreibbar ? Kurse : Schreibziel{});
    m_quelle->Refresh();
    return m_quelle->Recordset()->RecordCount();
}

QVector<Waehrungsdaten::Waehrung> Waehrungsdaten::waehrungen() {
    abfragen(QStringLiteral("SELECT DISTINCT WID, Waehrungscode, WaehrungscodeBezeichnung, Laenderkennzeichen "
                            "FROM AllgWaehrung ORDER BY WID"),
             {});
    QVector<Waehrung> liste;
    Recordset* rs = m_quelle->Recordset();
    for (int z = 0; z < rs->RecordCount(); ++z) {
        auto wert = [&](int spalte) { return rs->data(rs->index(z, spalte), Qt::EditRole); };
        liste.append({static_cast<int>(alsInt32(wert(0))), text(wert(1)), text(wert(2)), text(wert(3))});
    }
    return liste;
}

std::optional<xov::waehrung::Kopf> Waehrungsdaten::kopfVon(int wid) {
    if (abfragen(QStringLiteral("SELECT * FROM AllgWaehrung WHERE WID = ? ORDER BY AenderDatum DESC LIMIT 1"), {wid}) == 0)
        return std::nullopt;
    Recordset* rs = m_quelle->Recordset();
    return waehrung::Kopf{text(rs->Fields(QStringLiteral("Waehrungscode")).Value()),
                          text(rs->Fields(QStringLiteral("WaehrungscodeBezeichnung")).Value()),
                          text(rs->Fields(QStringLiteral("Laenderkennzeichen")).Value())};
}

void Waehrungsdaten::kopfSetzen(int wid, const QString& spalte, const QString& wert, const waehrung::Kopf& erwartet) {
    auto v = verbindung();
    Transaktion t(*v);
    // Looked at again inside the writing transaction: a change made between the decision and the
    // write is refused, never overwritten.
    if (kopfVon(wid) != erwartet)
        fehlerWerfen(FehlerNr::DatensatzGeaendert, QStringLiteral("AllgWaehrung: WID %1").arg(wid));
    // Only the records of the currency as it was read: none another workstation recoded meanwhile.
    abfragen(QStringLiteral("SELECT * FROM AllgWaehrung WHERE WID = ? AND Waehrungscode = ?"), {wid, erwartet.code}, true);
    auto protokoll = waehrungProtokollieren(*v, wid);
    Recordset* rs = m_quelle->Recordset();
    for (rs->MoveFirst(); !rs->Eof(); rs->MoveNext()) {
        rs->Edit();
        rs->Fields(spalte).setValue(wert);
        rs->Update();
    }
    protokoll.eintragen();
    t.bestaetigen();
}

std::optional<int> Waehrungsdaten::codeVergebenAn(const QString& code, int wid) {
    // Compared exactly: a code is never a pattern. Two ranges, so that an index on the code and
    // WID finds the answer without walking the currency's own records.
    if (abfragen(QStringLiteral("SELECT WID FROM (SELECT WID FROM AllgWaehrung WHERE Waehrungscode = ? AND WID < ? UNION ALL "
                                "SELECT WID FROM AllgWaehrung WHERE Waehrungscode = ? AND WID > ?) AS andere LIMIT 1"),
                 {code, wid, code, wid}) == 0)
        return std::nullopt;
    return alsInt32(m_quelle->Recordset()->Fields(QStringLiteral("WID")).Value());
}

Waehrungsdaten::Kurs Waehrungsdaten::kursDesSatzes() const {
    Recordset* rs = m_quelle->Recordset();
    auto zahl = [&](const char* spalte) {
        const QVariant v = rs->Fields(QString::fromLatin1(spalte)).Value();
        return istNull(v) ? 0.0 : alsDouble(v);
    };
    return Kurs{zahl("EuroinFremd"), zahl("FremdinEuro")};
}

std::optional<Waehrungsdaten::Kurs> Waehrungsdaten::kursAm(int wid, const QDate& datum) {
    if (abfragen(EinKurs, {wid, datum}) == 0) return std::nullopt;
    return kursDesSatzes();
}

void Waehrungsdaten::kursEinfuegen(const Waehrung& w, const QDate& datum, const Kurs& kurs) {
    auto v = verbindung();
    Transaktion t(*v);
    // Looked up inside the writing transaction: a rate of that day another workstation entered
    // since the dialog looked is found here, where no key on currency and day refuses it.
    if (abfragen(EinKurs, {w.wid, datum}, true) > 0)
        fehlerWerfen(FehlerNr::DoppelterSchluessel, QStringLiteral("AllgWaehrung: WID %1 am %2").arg(w.wid).arg(datumAlsText(datum)));
    Recordset* rs = m_quelle->Recordset();
    rs->AddNew();
    rs->Fields(QStringLiteral("Waehrungscode")).setValue(w.code);
    rs->Fields(QStringLiteral("AenderDatum")).setValue(datum);
    rs->Fields(QStringLiteral("WaehrungscodeBezeichnung")).setValue(w.name);
    rs->Fields(QStringLiteral("Laenderkennzeichen")).setValue(w.land);
    rs->Fields(QStringLiteral("EuroinFremd")).setValue(kurs.euroinFremd);
    rs->Fields(QStringLiteral("FremdinEuro")).setValue(kurs.fremdinEuro);
    rs->Fields(QStringLiteral("WID")).setValue(w.wid);
    auto protokoll = kursProtokollieren(*v, w.wid, datum);
    rs->Update();
    protokoll.eintragen();
    t.bestaetigen();
}

void Waehrungsdaten::kursAendern(int wid, const QDate& datum, const Kurs& alt, const Kurs& neu) {
    auto v = verbindung();
    Transaktion t(*v);
    // The record is written back identified by every value as read here, so that a change made
    // between this read and the write is refused as well.
    m_quelle->setRecordSource(EinKurs, {wid, datum}, Schreibziel{QStringLiteral("AllgWaehrung"), {}});
    m_quelle->Refresh();
    Recordset* rs = m_quelle->Recordset();
    if (rs->RecordCount() != 1 || !(kursDesSatzes() == alt))
        fehlerWerfen(FehlerNr::DatensatzGeaendert, QStringLiteral("AllgWaehrung: WID %1 am %2").arg(wid).arg(datumAlsText(datum)));
    auto protokoll = kursProtokollieren(*v, wid, datum);
    rs->Edit();
    rs->Fields(QStringLiteral("EuroinFremd")).setValue(neu.euroinFremd);
    rs->Fields(QStringLiteral("FremdinEuro")).setValue(neu.fremdinEuro);
    rs->Update();
    protokoll.eintragen();
    t.bestaetigen();
}

bool Waehrungsdaten::kursLoeschen(int wid, const QDate& datum, const std::optional<Kurs>& erwartet) {
    auto v = verbindung();
    Transaktion t(*v);
    if (abfragen(EinKurs, {wid, datum}, true) == 0 || (erwartet && !(kursDesSatzes() == *erwartet))) return false;
    auto protokoll = kursProtokollieren(*v, wid, datum);
    m_quelle->Recordset()->Delete();
    protokoll.eintragen();
    t.bestaetigen();
    return true;
}
