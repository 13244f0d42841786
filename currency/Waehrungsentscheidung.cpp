#include "currency/Waehrungsentscheidung.h"
#include "form/InputFeld.h"
#include "kurse/Kurs.h"
#include "platform/Variant.h"

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

const QString DatumKeinDatum = QStringLiteral("Im Feld ") + Anf + QStringLiteral("Datum") + Anf + QStringLiteral(" sind nur Datumsangaben erlaubt!");
const QString KeinCode = QStringLiteral("Bitte Währungscode angeben!");
const QString CodeLaenge = QStringLiteral("Währungscode muss 3stellig sein. Bitte abändern!");
const QString LandLaenge = QStringLiteral("Länderkennzeichen darf maximal 3 Zeichen lang sein!");
const QString NurDatum = QStringLiteral("Nur Datumseingaben erlaubt!");

QString keineZahlIn(const QString& feld) {
    return QStringLiteral("In dem Feld ") + Anf + QLatin1Char(' ') + feld + QLatin1Char(' ') + Anf +
           QStringLiteral(" ist nur die Eingabe von Zahlen erlaubt!");
}

namespace {

using KArt = Kursentscheidung::Art;

Kursentscheidung entscheidung(KArt art, const QString& text = {}, Kursfeld feld = Kursfeld::Datum) {
    Kursentscheidung e;
    e.art = art;
    e.text = text;
    e.feld = feld;
    return e;
}

Kursentscheidung kursAbweisen(const QString& text, Kursfeld feld, std::optional<double> zurueck = std::nullopt) {
    Kursentscheidung e = entscheidung(KArt::Abweisen, text, feld);
    e.zurueck = zurueck;
    return e;
}

// A rate field that holds text but no number: refused; it gets back the rate the frame was
// filled with, where that is greater than 0.
std::optional<Kursentscheidung> keineZahl(const Kurslage& l) {
    for (const Kursfeld feld : {Kursfeld::EuroinFremd, Kursfeld::FremdinEuro}) {
        const bool eif = feld == Kursfeld::EuroinFremd;
        if ((eif ? l.euroinFremd : l.fremdinEuro).trimmed().isEmpty() || (eif ? l.eif : l.fie)) continue;
        std::optional<double> zurueck;
        if (l.gemerkt && (eif ? l.gemerkt->euroinFremd : l.gemerkt->fremdinEuro) > 0)
            zurueck = eif ? l.gemerkt->euroinFremd : l.gemerkt->fremdinEuro;
        return kursAbweisen(keineZahlIn(eif ? QStringLiteral("EuroinFremd") : QStringLiteral("FremdinEuro")), feld, zurueck);
    }
    return std::nullopt;
}

// The first rate of a day: the code of three letters, the country code of at most three, and
// the row still showing the currency stored under its number.
Kursentscheidung einfuegen(const Kurslage& l, const QDate& tag) {
    if (l.code.size() != 3) return kursAbweisen(CodeLaenge, Kursfeld::Code);
    if (l.land.size() > 3) return kursAbweisen(LandLaenge, Kursfeld::Land);
    if (const auto fremd = kursGehoertZurZeile(l.zeile, l.code)) {
        Kursentscheidung e = kursAbweisen(*fremd, Kursfeld::EuroinFremd);
        e.zeileFremd = true;
        return e;
    }
    Kursentscheidung e = entscheidung(KArt::Einfuegen);
    e.tag = tag;
    e.kurs = {*l.eif, *l.fie};
    return e;
}

}  // namespace

Kursentscheidung kursSpeichern(const Kurslage& l) {
    if (l.datum.trimmed().isEmpty() || zahlAusText(l.datum) == 0.0) return {};
    const auto tag = datumAusText(l.datum);
    if (!tag) return kursAbweisen(DatumKeinDatum, Kursfeld::Datum);
    if (auto e = keineZahl(l)) return *e;
    if (!l.eif || !l.fie) return {};
    const double eif = *l.eif, fie = *l.fie;
    if (eif == 0 && fie == 0) {
        Kursentscheidung e = entscheidung(KArt::Loeschen, QStringLiteral("Wollen Sie den WährungsKurs für ") + inAnf(l.code) +
                                                              QStringLiteral(" vom ") + datumAlsText(*tag) + QStringLiteral(" löschen?"));
        e.tag = *tag;
        return e;
    }
    if (l.code.isEmpty()) return kursAbweisen(KeinCode, Kursfeld::Code);
    if (l.zeile.codeAnderswo)
        return kursAbweisen(QStringLiteral("Währungscode wird bereits in Zeile %1 verwendet").arg(*l.zeile.codeAnderswo), Kursfeld::Code);
    // A pair with one rate 0 is no rate (a reciprocal that rounds to 0 included).
    if (eif == 0 || fie == 0) return {};
    // The user's rate: a changed EuroinFremd brings its reciprocal, unless the pair was converted.
    const bool neu = l.gesehen && l.gesehen->euroinFremd != eif && !l.umgerechnet;
    if (l.gespeichert == l.gesehen && !l.gespeichert) return einfuegen(l, *tag);
    Kursentscheidung e = entscheidung(l.gespeichert != l.gesehen ? KArt::Abgleichen : KArt::Aendern);
    e.tag = *tag;
    e.kurs = {eif, neu ? xov::kehrwert(eif, 4) : fie};
    e.kehrwertNeu = e.art == KArt::Aendern && neu;
    return e;
}

std::optional<QString> kursAbgleichFrage(const QString& code, const QDate& tag, const std::optional<Kurs>& gespeichert,
                                         const std::optional<Kurs>& gesehen, const Kurs& eigener) {
    if (gespeichert == eigener) return std::nullopt;
    QString text;
    if (gespeichert && gesehen) text = QStringLiteral("Der Kurs für %1 vom %2 wurde inzwischen an einem anderen Arbeitsplatz geändert.");
    else if (gespeichert) text = QStringLiteral("Für %1 wurde am %2 inzwischen an einem anderen Arbeitsplatz ein Kurs erfasst.");
    else text = QStringLiteral("Der Kurs für %1 vom %2 wurde inzwischen an einem anderen Arbeitsplatz gelöscht.");
    auto zeile = [&](const char* feld, double Kurs::*wert) {
        QString z = QString::fromLatin1(feld) + QStringLiteral(": ");
        if (gespeichert) z += QStringLiteral("anderer Arbeitsplatz ") + InputFeld::kursText((*gespeichert).*wert) + QStringLiteral(", ");
        return z + QStringLiteral("Ihre Eingabe ") + InputFeld::kursText(eigener.*wert);
    };
    return text.arg(inAnf(code), datumAlsText(tag)) + CrLf + CrLf + zeile("EuroinFremd", &Kurs::euroinFremd) + CrLf +
           zeile("FremdinEuro", &Kurs::fremdinEuro) + CrLf + CrLf + QStringLiteral("Wollen Sie Ihren Kurs speichern?") + CrLf +
           QStringLiteral("Ja: Ihren Kurs speichern") + CrLf +
           (gespeichert ? QStringLiteral("Nein: den Kurs des anderen Arbeitsplatzes übernehmen") : QStringLiteral("Nein: den Kurs gelöscht lassen")) +
           CrLf + QStringLiteral("Abbrechen: nichts speichern und weiter bearbeiten");
}

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

std::optional<QString> kursGehoertZurZeile(const Kopflage& lage, const QString& eingabe) {
    if (!lage.gespeichert || (lage.gelesen && lage.gelesen->code == lage.gespeichert->code)) return std::nullopt;
    return fremdeWaehrung(lage, inAnf(eingabe.trimmed().toUpper()));
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
