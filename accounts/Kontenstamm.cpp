#include "accounts/Kontenstamm.h"
#include "platform/Datenquelle.h"
#include "platform/Fehler.h"
#include "platform/Komponenten.h"
#include "platform/Variant.h"

namespace xov {

bool kontoLeer(const QString& eingabe) {
    const QString s = ohneBlanksRechts(eingabe);
    return s.isEmpty() || s == QLatin1String("0") || s == QLatin1String("000");
}

std::optional<QString> kontoBezeichnung(Datenquelle& kk, const QString& mandDb, qint16 jahr, const QString& nummer) {
    // The range on KontoNr keeps the lookup on the chart's index of year and number.
    const QString nr = ohneBlanksRechts(nummer);
    kk.setDatabaseName(mandDb);
    kk.setRecordSource(QStringLiteral("SELECT KontoBezeichnung FROM ObjKanzleiKontenstamm WHERE KontoJJ = ? "
                                      "AND KontoNr >= ? AND KontoNr < ? AND rtrim(KontoNr) = ?"),
                       {static_cast<int>(jahr), nr, nr + QLatin1Char('!'), nr});
    kk.Refresh();
    Recordset* rs = kk.Recordset();
    if (rs->RecordCount() == 0) return std::nullopt;
    const QVariant name = rs->Fields(QStringLiteral("KontoBezeichnung")).Value();
    return istNull(name) ? QString() : name.toString();
}

QString kontoAuswaehlen(QVariantList& aufrufInfo, qint16 kontoJahr) {
    auto picker = komponenteErzeugen(QStringLiteral("dllSachkontenListe"));
    auto* liste = qobject_cast<SachkontenListeSchnittstelle*>(picker.get());
    if (!liste) fehlerWerfen(FehlerNr::KomponenteFehlt, QStringLiteral("dllSachkontenListe"));
    if (aufrufInfo.size() < 101) aufrufInfo.resize(101);
    aufrufInfo[11] = QVariant::fromValue<qint16>(kontoJahr);
    liste->KontenAufruf(aufrufInfo);
    return ohneBlanksRechts(liste->GewaehltesKonto());
}

}  // namespace xov
