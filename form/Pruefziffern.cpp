#include "form/Pruefziffern.h"

namespace xov {

namespace {

QString ohneTrenner(const QString& text) {
    QString s;
    for (const QChar c : text)
        if (!c.isSpace()) s += c.toUpper();
    return s;
}

bool nurZiffern(const QString& s) {
    for (const QChar c : s)
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) return false;
    return !s.isEmpty();
}

int ziffer(const QString& s, int i) { return s.at(i).unicode() - '0'; }
int quersumme(int n) { return n / 10 + n % 10; }

}  // namespace

const QStringList& pruefziffernHinweise() {
    static const QStringList texte{QStringLiteral("UID: nach ATU werden 8 Ziffern erwartet"),
                                   QStringLiteral("Prüfziffer der UID passt nicht"),
                                   QStringLiteral("Prüfziffer der Steuernummer passt nicht")};
    return texte;
}

QString uidHinweis(const QString& uid) {
    const QString s = ohneTrenner(uid);
    if (!s.startsWith(QLatin1String("ATU"))) return {};  // other countries' numbers are not checked here
    const QString z = s.mid(3);
    if (z.size() != 8 || !nurZiffern(z)) return pruefziffernHinweise().at(0);
    int summe = 0;
    for (int i = 0; i < 7; ++i) summe += i % 2 == 0 ? ziffer(z, i) : quersumme(2 * ziffer(z, i));
    const int pruef = (10 - (summe + 4) % 10) % 10;
    return pruef == ziffer(z, 7) ? QString() : pruefziffernHinweise().at(1);
}

QString steuerNrHinweis(const QString& faNummer, const QString& steuerNr) {
    QString nummer;
    for (const QChar c : steuerNr)
        if (c.isDigit()) nummer += c;
    bool ok = false;
    const int fa = faNummer.trimmed().toInt(&ok);
    // Without a known two-digit office or with another number of digits there is nothing to check.
    if (!ok || fa < 1 || fa > 99 || nummer.size() != 7) return {};
    const QString neun = QStringLiteral("%1").arg(fa, 2, 10, QLatin1Char('0')) + nummer;
    int summe = 0;
    for (int i = 0; i < 8; ++i) summe += i % 2 == 0 ? ziffer(neun, i) : quersumme(2 * ziffer(neun, i));
    const int pruef = (10 - summe % 10) % 10;
    return pruef == ziffer(neun, 8) ? QString() : pruefziffernHinweise().at(2);
}

QString creditorIdHinweis(const QString& id) {
    const QString s = ohneTrenner(id);
    if (s.isEmpty()) return {};
    const auto alnum = [](QChar c) { return (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) || (c >= QLatin1Char('0') && c <= QLatin1Char('9')); };
    bool form = s.size() >= 8 && s.size() <= 35 && s.at(0).isLetter() && s.at(1).isLetter() && nurZiffern(s.mid(2, 2));
    for (const QChar c : s) form = form && alnum(c);
    if (!form) return QStringLiteral("Kreditor-ID: Aufbau Land, 2 Prüfziffern, 3 Zeichen, nationale Kennung erwartet");
    // The national part, then country and check digits; letters count as 10 to 35.
    const QString kette = s.mid(7) + s.left(4);
    int rest = 0;
    for (const QChar c : kette) {
        const int wert = c.isDigit() ? c.unicode() - '0' : c.unicode() - 'A' + 10;
        rest = (wert >= 10 ? rest * 100 : rest * 10) + wert;
        rest %= 97;
    }
    return rest == 1 ? QString() : QStringLiteral("Prüfziffer der Kreditor-ID passt nicht");
}

}  // namespace xov
