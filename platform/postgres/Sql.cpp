#include "platform/postgres/Sql.h"

namespace xov::postgres {
namespace {

bool wortzeichen(QChar c) { return c.isLetterOrNumber() || c == QLatin1Char('_'); }

bool istDdl(const QString& sql) {
    const QString anfang = sql.trimmed().left(12).toUpper();
    return anfang.startsWith(QLatin1String("CREATE TABLE")) || anfang.startsWith(QLatin1String("ALTER TABLE"));
}

}  // namespace

Uebersetzung uebersetzen(const QString& sql) {
    Uebersetzung u;
    const bool ddl = istDdl(sql);
    QString& aus = u.sql;
    aus.reserve(sql.size() + 16);
    const qsizetype n = sql.size();
    for (qsizetype i = 0; i < n;) {
        const QChar c = sql.at(i);
        if (c == QLatin1Char('\'')) {  // a literal, '' inside it included, stays as written
            qsizetype j = i + 1;
            while (j < n) {
                if (sql.at(j) == QLatin1Char('\'')) {
                    if (j + 1 < n && sql.at(j + 1) == QLatin1Char('\'')) { j += 2; continue; }
                    break;
                }
                ++j;
            }
            aus += sql.mid(i, j + 1 - i);
            i = j + 1;
        } else if (c == QLatin1Char('"')) {  // a quoted name, "" inside it included
            qsizetype j = i + 1;
            QString name;
            while (j < n) {
                if (sql.at(j) == QLatin1Char('"')) {
                    if (j + 1 < n && sql.at(j + 1) == QLatin1Char('"')) { name += QLatin1Char('"'); j += 2; continue; }
                    break;
                }
                name += sql.at(j++);
            }
            const QString klein = name.toLower();
            u.schreibweisen.insert(klein, name);
            QString q = klein;
            aus += QLatin1Char('"') + q.replace(QLatin1Char('"'), QLatin1String("\"\"")) + QLatin1Char('"');
            i = j + 1;
        } else if (c == QLatin1Char('-') && i + 1 < n && sql.at(i + 1) == QLatin1Char('-')) {
            const qsizetype j = sql.indexOf(QLatin1Char('\n'), i);
            aus += sql.mid(i, j < 0 ? -1 : j - i);
            i = j < 0 ? n : j;
        } else if (c == QLatin1Char('?')) {
            aus += QLatin1Char('$') + QString::number(++u.parameter);
            ++i;
        } else if (wortzeichen(c)) {
            qsizetype j = i;
            while (j < n && wortzeichen(sql.at(j))) ++j;
            const QString wort = sql.mid(i, j - i);
            const QString gross = wort.toUpper();
            if (ddl && gross == QLatin1String("REAL")) aus += QLatin1String("DOUBLE PRECISION");
            else if (ddl && gross == QLatin1String("INTEGER")) aus += QLatin1String("BIGINT");
            else aus += wort;
            if (!wort.at(0).isDigit()) u.schreibweisen.insert(wort.toLower(), wort);
            i = j;
        } else {
            aus += c;
            ++i;
        }
    }
    return u;
}

}  // namespace xov::postgres
