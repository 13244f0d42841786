// The per-user settings file and the factor derived from it: plain text work without widgets,
// kept apart from the scaling of the form so that it can be fuzzed with QtCore alone.

#include "services/Skalierung.h"
#include "platform/Variant.h"

#include <QDir>
#include <QFile>
#include <QTextStream>
#include <cmath>

namespace xov {

QString IniLesen(const QString& pfad, const QString& abschnitt, const QString& schluessel) {
    // The settings file is read by hand: QSettings would turn "1,5" into a list.
    QFile f(pfad);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text)) return {};
    QTextStream ein(&f);
    bool imAbschnitt = false;
    while (!ein.atEnd()) {
        const QString zeile = ein.readLine().trimmed();
        if (zeile.startsWith(QLatin1Char('[')) && zeile.endsWith(QLatin1Char(']'))) {
            imAbschnitt = zeile.mid(1, zeile.size() - 2).trimmed().compare(abschnitt, Qt::CaseInsensitive) == 0;
            continue;
        }
        const int gleich = zeile.indexOf(QLatin1Char('='));
        if (!imAbschnitt || gleich < 0 || zeile.startsWith(QLatin1Char(';'))) continue;
        if (zeile.left(gleich).trimmed().compare(schluessel, Qt::CaseInsensitive) != 0) continue;
        QString wert = zeile.mid(gleich + 1).trimmed();
        if (wert.size() >= 2 && wert.startsWith(QLatin1Char('"')) && wert.endsWith(QLatin1Char('"'))) wert = wert.mid(1, wert.size() - 2);
        return wert.left(31);  // a buffer of 32 characters
    }
    return {};
}

QString iniPfad() {
    QString ordner = qEnvironmentVariable("USERPROFILE");
    if (ordner.isEmpty()) ordner = QDir::homePath();
    return ordner + QStringLiteral("/XOV-Settings.ini");
}

std::optional<float> faktorBerechnen(const QString& skalieren, const QString& skFaktor, int breite) {
    if (breite == 800) return std::nullopt;
    if (skalieren.isEmpty() || skalieren == QLatin1String("0")) return std::nullopt;
    if (skFaktor == QLatin1String("10")) return 2.0f;
    double c = 0;  // a setting that is no number leaves c at 0
    if (const auto s = zahlAusText(skFaktor)) {
        if (breite == 1024) c = *s * 10 / 3;
        else if (breite == 1280) c = *s * 10 / 5;
        else if (breite > 1280) c = *s * 10 / 8;
        else c = *s;
    }
    c = std::nearbyint(c * 10000) / 10000;
    if (c == 10) return 2.0f;
    // "1," followed by c: the decimal digits of c become those of the factor. A c with
    // decimals gives no number; the dialog then stays unscaled instead of shrinking to nothing.
    const auto f = zahlAusText(QStringLiteral("1,") + deutsch().toString(c, 'g', 10).remove(deutsch().groupSeparator()));
    // "1," and digits lie between 1 and 2; a setting written with an exponent ("8e300") would
    // otherwise give a factor of 10^300 or infinity, and the form's geometry would overflow.
    if (!f || !(*f >= 1.0 && *f <= 2.0)) return std::nullopt;
    return static_cast<float>(*f);
}

}  // namespace xov
