#include "tools/xov-db/Waehrungen.h"
#include "platform/Datenbank.h"
#include "platform/Fehler.h"
#include "platform/Variant.h"
#include "tools/xov-db/Protokoll.h"
#include "tools/xov-db/Schema.h"

#include <QDate>
#include <cmath>

namespace xovdb {

namespace {

// Whether the table has a unique index on exactly (WID, AenderDatum), declared with the table or
// later. Each engine keeps its indexes in its own catalogue.
bool eindeutigerSchluessel(xov::Verbindung& v, bool server) {
    if (server) {
        // "CREATE UNIQUE INDEX name ON schema.allgwaehrung USING btree (wid, aenderdatum)"
        const auto erg = v.abfragen(QStringLiteral("SELECT indexdef FROM pg_indexes WHERE schemaname = current_schema() "
                                                   "AND tablename = 'allgwaehrung'"));
        for (const auto& z : erg.zeilen) {
            const QString def = z.value(0).toString().simplified().toLower();
            if (def.startsWith(QLatin1String("create unique index ")) && def.endsWith(QLatin1String("(wid, aenderdatum)")))
                return true;
        }
        return false;
    }
    for (const auto& index : v.abfragen(QStringLiteral("PRAGMA index_list(AllgWaehrung)")).zeilen) {
        // seq, name, unique, ...
        if (index.value(2).toInt() != 1) continue;
        QStringList spalten;
        for (const auto& s : v.abfragen(QStringLiteral("PRAGMA index_info(\"%1\")").arg(index.value(1).toString())).zeilen)
            spalten << s.value(2).toString().toLower();
        if (spalten == QStringList{QStringLiteral("wid"), QStringLiteral("aenderdatum")}) return true;
    }
    return false;
}

}  // namespace

QStringList waehrungsSchluesselErgaenzen(const QString& faPfad, const QString& passwort) {
    auto v = xov::verbindungOeffnen(faPfad, passwort);
    v->spaltenVon(QStringLiteral("AllgWaehrung"));  // 3078 before anything changes
    QStringList doppelt;
    const auto erg = v->abfragen(QStringLiteral("SELECT WID, AenderDatum, count(*) FROM AllgWaehrung GROUP BY WID, AenderDatum "
                                                "HAVING count(*) > 1 ORDER BY WID, AenderDatum"));
    for (const auto& z : erg.zeilen) {
        const QVariant d = z.at(1);
        const QString datum = d.typeId() == QMetaType::QDate ? xov::datumAlsText(d.toDate()) : d.toString();
        doppelt << QStringLiteral("WID %1 am %2: %3 Datensätze").arg(z.at(0).toString(), datum, z.at(2).toString());
    }
    xov::Transaktion t(*v);
    v->ausfuehren(QStringLiteral("CREATE INDEX IF NOT EXISTS AllgWaehrungCode ON AllgWaehrung (Waehrungscode, WID)"));
    if (doppelt.isEmpty() && !eindeutigerSchluessel(*v, xov::Verbindungsangabe::istServerAdresse(faPfad)))
        v->ausfuehren(QStringLiteral("CREATE UNIQUE INDEX AllgWaehrungWidDatum ON AllgWaehrung (WID, AenderDatum)"));
    strukturProtokollieren(*v, QStringLiteral("AllgWaehrung"), {});
    t.bestaetigen();
    return doppelt;
}

void langeKursverlaeufe(const QString& faPfad, const QString& passwort, int proWaehrung,
                        const std::function<void(qint64, qint64)>& fortschritt) {
    struct W { const char* code; const char* name; const char* land; double kurs; };
    const W waehrungen[20] = {
        {"USD", "US-Dollar", "USA", 1.0850},          {"CHF", "Schweizer Franken", "CH", 0.9420},
        {"GBP", "Britisches Pfund", "GB", 0.8560},    {"JPY", "Japanischer Yen", "J", 161.20},
        {"CZK", "Tschechische Krone", "CZ", 25.310},  {"HUF", "Ungarischer Forint", "H", 395.80},
        {"PLN", "Polnischer Zloty", "PL", 4.3210},    {"SEK", "Schwedische Krone", "S", 11.420},
        {"NOK", "Norwegische Krone", "N", 11.650},    {"DKK", "Dänische Krone", "DK", 7.4590},
        {"CAD", "Kanadischer Dollar", "CDN", 1.4730}, {"AUD", "Australischer Dollar", "AUS", 1.6380},
        {"NZD", "Neuseeland-Dollar", "NZ", 1.7890},   {"CNY", "Renminbi Yuan", "CN", 7.8420},
        {"HKD", "Hongkong-Dollar", "HK", 8.4710},     {"SGD", "Singapur-Dollar", "SGP", 1.4560},
        {"TRY", "Türkische Lira", "TR", 35.120},      {"RON", "Rumänischer Leu", "RO", 4.9760},
        {"BGN", "Bulgarischer Lew", "BG", 1.9558},    {"ZAR", "Südafrikanischer Rand", "ZA", 20.140}};
    auto v = xov::verbindungOeffnen(faPfad, passwort);
    xov::Transaktion t(*v);
    v->ausfuehren(QStringLiteral("DELETE FROM AllgWaehrung"));
    const QDate heute = QDate::currentDate();
    for (int w = 0; w < 20; ++w) {
        const W& a = waehrungen[w];
        for (int tag = 0; tag < proWaehrung; ++tag) {
            const double eif = std::round(a.kurs * (1.0 + 0.03 * std::sin(tag / 45.0 + w)) * 10000) / 10000;
            v->ausfuehren(waehrungTabelle().einfuegenSql(),
                          {w + 1, QString::fromLatin1(a.code), QString::fromUtf8(a.name), QString::fromLatin1(a.land),
                           heute.addDays(-tag), eif, std::round(10000 / eif) / 10000});
        }
        if (fortschritt) fortschritt(qint64(w + 1) * proWaehrung, qint64(20) * proWaehrung);
    }
    t.bestaetigen();
    waehrungsSchluesselErgaenzen(faPfad, passwort);
}

}  // namespace xovdb
