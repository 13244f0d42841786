#include "kurse/Einleseprotokoll.h"
#include "platform/Variant.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>

namespace xov {

void ersetztProtokollieren(Aenderungsprotokoll& p, int wid, const QDate& datum, const QPair<QVariant, QVariant>& alt,
                           double euroinFremd, double fremdinEuro) {
    const QString tabelle = QStringLiteral("AllgWaehrung");
    const QString schluessel = schluesselText({QStringLiteral("WID"), QStringLiteral("AenderDatum")}, {wid, datum});
    p.zeileEintragen(tabelle, schluessel, {QStringLiteral("EuroinFremd"), QStringLiteral("FremdinEuro")}, {alt.first, alt.second},
                     {euroinFremd, fremdinEuro}, Aenderungsart::Eingelesen);
}

QString dateiPruefsumme(const QString& datei) {
    QFile f(datei);
    if (datei.isEmpty() || !f.open(QIODevice::ReadOnly)) return {};
    QCryptographicHash h(QCryptographicHash::Sha256);
    if (!h.addData(&f)) return {};
    return QString::fromLatin1(h.result().toHex());
}

void einlesenProtokollieren(Aenderungsprotokoll& p, const Einleseoptionen& optionen, const QVector<Einlesebilanz>& bilanz) {
    QStringList teile;
    if (!optionen.datei.isEmpty()) {
        const QString summe = dateiPruefsumme(optionen.datei);
        teile << QStringLiteral("Datei %1").arg(QFileInfo(optionen.datei).absoluteFilePath())
              << QStringLiteral("SHA-256 %1").arg(summe.isEmpty() ? QStringLiteral("nicht lesbar") : summe);
    }
    if (optionen.ab.isValid()) teile << QStringLiteral("ab %1").arg(datumAlsText(optionen.ab));
    if (optionen.bis.isValid()) teile << QStringLiteral("bis %1").arg(datumAlsText(optionen.bis));
    if (optionen.ersetzen) teile << QStringLiteral("vorhandene Kurse ersetzen");
    int hinzu = 0, ersetzt = 0;
    for (const auto& b : bilanz) {
        hinzu += b.hinzugefuegt;
        ersetzt += b.ersetzt;
    }
    teile << bilanzZeilen(bilanz);
    // An import that changed nothing still leaves its trace: the file was read for these currencies.
    p.eintragen(QStringLiteral("AllgWaehrung"), QString(), QVariant(), QVariant(), QVariant(), Aenderungsart::Eingelesen,
                QStringLiteral("Kurse eingelesen: %1 hinzugefügt, %2 ersetzt; ").arg(hinzu).arg(ersetzt) + teile.join(QStringLiteral("; ")));
}

}  // namespace xov
