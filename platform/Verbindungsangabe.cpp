// Reading the connect string; apart from the engine so that it can be fuzzed with QtCore alone.

#include "platform/Verbindungsangabe.h"

#include <QFileInfo>

namespace xov {

Verbindungsangabe Verbindungsangabe::aus(const QString& datei, const QString& connect) {
    const QLatin1String marke("pwd=");
    Verbindungsangabe a{datei, {}};
    const qsizetype anfang = connect.indexOf(marke, 0, Qt::CaseInsensitive);
    if (anfang < 0) return a;
    const qsizetype wert = anfang + marke.size();
    const qsizetype ende = connect.indexOf(QLatin1Char(';'), wert);
    a.passwort = connect.mid(wert, ende < 0 ? -1 : ende - wert);
    return a;
}

QString Verbindungsangabe::kennung() const {
    return QFileInfo(datei).absoluteFilePath() + QChar(0) + passwort;
}

}  // namespace xov
