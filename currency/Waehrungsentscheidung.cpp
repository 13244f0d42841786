#include "currency/Waehrungsentscheidung.h"

namespace xov::waehrung {

namespace {

const QChar Anf(34);
const QString CrLf = QStringLiteral("\r\n");

QString inAnf(const QString& s) { return Anf + s + Anf; }

const QString& wertVon(const Kopf& k, Kopffeld feld) {
    switch (feld) {
    case Kopffeld::Name: return k.name;
    case Kopffeld::Code: return k.code;
    case Kopffeld::Land: return k.land;
    }
    return k.code;
}

// "PLN" (Polnischer Zloty)
QString waehrungText(const Kopf& k) {
    return k.name.isEmpty() ? inAnf(k.code) : inAnf(k.code) + QStringLiteral(" (") + k.name + QLatin1Char(')');
}

QString fremdeWaehrung(const Kopflage& lage, const QString& eingabe) {
    return QStringLiteral("Zeile %1 gehört inzwischen zur Währung %2, die an einem anderen Arbeitsplatz angelegt oder geändert wurde.")
               .arg(lage.zeile + 1)
               .arg(waehrungText(*lage.gespeichert)) +
           CrLf + CrLf + QStringLiteral("Gespeichert: %1, Ihre Eingabe: %2").arg(waehrungText(*lage.gespeichert), eingabe) + CrLf + CrLf +
           QStringLiteral("Ihre Eingabe wurde nicht gespeichert; die Zeile zeigt jetzt die gespeicherte Währung.");
}

QString frage(const Kopflage& lage, Kopffeld feld, const QString& eingabe) {
    const QString was = bezeichnung(feld);
    const QString anderer = wertVon(*lage.gespeichert, feld);
    return QStringLiteral("%1 der Währung %2 in Zeile %3 wurde inzwischen an einem anderen Arbeitsplatz geändert.")
               .arg(was, inAnf(lage.gelesen->code))
               .arg(lage.zeile + 1) +
           CrLf + CrLf + QStringLiteral("%1: anderer Arbeitsplatz %2, Ihre Eingabe %3").arg(was, inAnf(anderer), inAnf(eingabe)) + CrLf + CrLf +
           QStringLiteral("Wollen Sie Ihre Eingabe speichern?") + CrLf + QStringLiteral("Ja: Ihre Eingabe speichern") + CrLf +
           QStringLiteral("Nein: den Wert des anderen Arbeitsplatzes übernehmen");
}

Entscheidung abweisen(const QString& text, const QString& gespeichert) {
    return {Entscheidung::Art::Abweisen, text, {}, gespeichert};
}

}  // namespace

QString kursNichtGeloescht(const QString& code, const QString& tag, const QString& euroinFremd, const QString& fremdinEuro, int zeile) {
    const QString kopf = QStringLiteral("Der Kurs für %1 (Zeile %2) vom %3 ").arg(inAnf(code)).arg(zeile + 1).arg(tag);
    if (euroinFremd.isEmpty()) return kopf + QStringLiteral("wurde inzwischen an einem anderen Arbeitsplatz gelöscht.");
    return kopf + QStringLiteral("wurde inzwischen an einem anderen Arbeitsplatz geändert und nicht gelöscht.") + CrLf + CrLf +
           QStringLiteral("EuroinFremd: anderer Arbeitsplatz %1").arg(euroinFremd) + CrLf +
           QStringLiteral("FremdinEuro: anderer Arbeitsplatz %1").arg(fremdinEuro) + CrLf + CrLf +
           QStringLiteral("Wollen Sie ihn löschen, geben Sie beide Kurse noch einmal mit 0 ein.");
}

QString doppelterCode(const QString& code, int wid) {
    return QStringLiteral("Der von Ihnnen gerade eben eingegebene Währungscode ") + inAnf(code) + QStringLiteral(" wird bereits") +
           QChar(13) + QStringLiteral("in Zeile ") + QString::number(wid) + QStringLiteral(" verwendet. Keine doppelten Einträge möglich!");
}

QString bezeichnung(Kopffeld feld) {
    switch (feld) {
    case Kopffeld::Name: return QStringLiteral("Die Bezeichnung");
    case Kopffeld::Code: return QStringLiteral("Der Währungscode");
    case Kopffeld::Land: return QStringLiteral("Das Länderkennzeichen");
    }
    return {};
}

std::optional<QString> kursGehoertZurZeile(const Kopflage& lage) {
    if (!lage.gespeichert || (lage.gelesen && lage.gelesen->code == lage.gespeichert->code)) return std::nullopt;
    return fremdeWaehrung(lage, inAnf(lage.gelesen ? lage.gelesen->code : QString()));
}

Entscheidung kopfAendern(const Kopflage& lage, Kopffeld feld, const QString& eingabe) {
    using Art = Entscheidung::Art;
    const QString stand = lage.gespeichert ? wertVon(*lage.gespeichert, feld) : QString();
    // A code another currency uses is refused, whether or not this one has records yet.
    if (feld == Kopffeld::Code && !eingabe.isEmpty() && lage.codeAnderswo) {
        return abweisen(doppelterCode(eingabe, *lage.codeAnderswo), stand);
    }
    // Without a record nothing is stored: the row goes in with the currency's first rate.
    if (!lage.gespeichert) return {Art::Nichts, {}, {}, eingabe};
    if (stand == eingabe) return {Art::Nichts, {}, {}, stand};
    // The row looked empty when this dialog read it: its records belong to a currency the user
    // never saw.
    if (!lage.gelesen) return abweisen(fremdeWaehrung(lage, inAnf(eingabe)), stand);
    // A currency without a code would lose its identity.
    if (feld == Kopffeld::Code && eingabe.isEmpty()) return abweisen(QStringLiteral("Bitte Währungscode angeben!"), stand);
    // Another workstation changed this value since it was read: the user decides whose stays.
    if (stand != wertVon(*lage.gelesen, feld)) return {Art::Fragen, frage(lage, feld, eingabe), eingabe, stand};
    return {Art::Speichern, {}, eingabe, stand};
}

}  // namespace xov::waehrung
