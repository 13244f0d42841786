#pragma once
// The one place where the dialog's SQL texts meet PostgreSQL's dialect. The texts are written for
// both engines; what still differs is translated here:
// - parameters: "?" becomes "$1", "$2", ...;
// - names: the suite's names are case-insensitive; PostgreSQL folds unquoted names to lower case,
//   so quoted names ("AllgMandDaten") are folded the same way;
// - column types in CREATE/ALTER TABLE: REAL is a double there and INTEGER holds 64 bits, as in
//   SQLite (DOUBLE PRECISION, BIGINT).

#include <QHash>
#include <QString>

namespace xov::postgres {

struct Uebersetzung {
    QString sql;
    int parameter = 0;
    // The spelling of every name in the text, by its lower-case form: result columns come back
    // folded and get their spelling back from here.
    QHash<QString, QString> schreibweisen;
};

Uebersetzung uebersetzen(const QString& sql);

}  // namespace xov::postgres
