#pragma once
// `xov-db kopieren`: a database of the suite, client or shared, moved completely from a file to a
// server or back (or file to file, server to server).

#include <QPair>
#include <QString>
#include <QTextStream>
#include <QVector>

namespace xovdb {

// Each pair is (source, target). Every source is read and every target checked before anything
// changes: a target must not exist yet (it is created) or be a database of the suite whose tables
// are all empty. Each target is filled in one transaction; afterwards its rows are counted and
// compared with the source, value by value as the engines give them. The transactions are
// committed together at the end. Any failure throws Abweisung naming the table and what failed;
// every target then stays as it was, and one created in this run is removed again.
void kopieren(const QVector<QPair<QString, QString>>& paare, QTextStream& aus);

}  // namespace xovdb
