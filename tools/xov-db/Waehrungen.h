#pragma once
// The currency table's keys and the long demo history of the database tool.

#include <functional>
#include <QString>
#include <QStringList>

namespace xovdb {

// One record per currency and date: the unique key on (WID, AenderDatum), and an index for the
// code lookup. A file whose table already holds two records of one currency and date keeps them
// and gets no unique key; the duplicates are returned, one line each, and nothing is deleted.
// 3078 when the file has no table AllgWaehrung.
QStringList waehrungsSchluesselErgaenzen(const QString& faPfad, const QString& passwort);

// Replaces the currencies by 20 currencies with `proWaehrung` daily rates each, the newest today.
// `fortschritt` is told how many of the records are written, now and then.
void langeKursverlaeufe(const QString& faPfad, const QString& passwort, int proWaehrung = 2000,
                        const std::function<void(qint64 erledigt, qint64 gesamt)>& fortschritt = {});

}  // namespace xovdb
