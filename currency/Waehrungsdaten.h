#pragma once
// Every read and write of the currency page on AllgWaehrung, in one place: standard SQL with
// bound parameters through the data source FAData. A currency is one WID with its code, name and
// country code repeated in each of its records; a rate is the record of one WID and date.

#include "currency/Waehrungsentscheidung.h"

#include <QDate>
#include <QString>
#include <QVector>
#include <memory>
#include <optional>

namespace xov {
class Datenquelle;
class Verbindung;
}

class Waehrungsdaten {
public:
    explicit Waehrungsdaten(xov::Datenquelle* quelle) : m_quelle(quelle) {}

    struct Waehrung {
        int wid = 0;
        QString code, name, land;
    };
    using Kurs = xov::waehrung::Kurs;

    // One entry per currency and spelling, in WID order.
    QVector<Waehrung> waehrungen();
    // Code, name and country code of the currency's newest record; none without records.
    std::optional<xov::waehrung::Kopf> kopfVon(int wid);
    // Writes `wert` into the column of every record of the currency in one transaction, when the
    // currency is still stored as `erwartet`: 3197 when another workstation changed it since.
    void kopfSetzen(int wid, const QString& spalte, const QString& wert, const xov::waehrung::Kopf& erwartet);
    // The WID of another currency that uses exactly this code.
    std::optional<int> codeVergebenAn(const QString& code, int wid);
    std::optional<Kurs> kursAm(int wid, const QDate& datum);
    // Adds the rate of a day in one transaction: 3022 when the currency has a rate of that day
    // already, also where the table has no key on currency and day.
    void kursEinfuegen(const Waehrung& w, const QDate& datum, const Kurs& kurs);
    // Changes the rate of a day from `alt`, as it was read, to `neu`: 3197 when the record is gone
    // or holds another rate (changed at another workstation since).
    void kursAendern(int wid, const QDate& datum, const Kurs& alt, const Kurs& neu);
    // Deletes the rate of a day in one transaction when it is still `erwartet` (none: any); false
    // when it is gone or holds another rate.
    bool kursLoeschen(int wid, const QDate& datum, const std::optional<Kurs>& erwartet = std::nullopt);

    // The connection of FAData's database, shared with every other user of that file.
    std::shared_ptr<xov::Verbindung> verbindung() const;

private:
    // Points FAData at the query, runs it and returns the number of records; with `schreibbar`
    // its records can be written back, identified by currency and day.
    int abfragen(const QString& sql, const QVariantList& parameter, bool schreibbar = false);
    // The rate of the record FAData is on; a missing rate reads 0.
    Kurs kursDesSatzes() const;
    xov::Datenquelle* m_quelle;
};
