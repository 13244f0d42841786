// Reading the connect string of a data source; apart from the data source so that it can be
// fuzzed with QtCore alone.

#include "platform/Datenquelle.h"

#include <QRegularExpression>

namespace xov {

QString Datenquelle::passwortAus(const QString& connect) {
    static const QRegularExpression pwd(QStringLiteral("pwd=([^;]*)"), QRegularExpression::CaseInsensitiveOption);
    return pwd.match(connect).captured(1);
}

}  // namespace xov
