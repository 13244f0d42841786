// A rate saved while another workstation changed or entered the rate of the same currency and
// day: never overwritten unseen, never two records of one day. The user is told both rates and
// decides whose rate stays; cancelling stores nothing and keeps the typed rate.

#include "currency/Kursverlauf.h"
#include "currency/Waehrungsseite.h"
#include "currency/WaehrungsseiteIntern.h"
#include "form/InputFeld.h"
#include "platform/Fehler.h"
#include "platform/Meldung.h"
#include "platform/Variant.h"

using namespace xov;
using namespace xov::waehrung;
using Kurs = Waehrungsdaten::Kurs;

void Waehrungsseite::gelesenMerken(const QDate& datum, const std::optional<Kurs>& kurs) {
    m_gelesen = Gelesen{AktuelleWährungsZeile + 1, datum, kurs};
}

std::optional<Kurs> Waehrungsseite::gesehen(const QDate& datum, const std::optional<Kurs>& gespeichert) const {
    if (m_gelesen && m_gelesen->wid == AktuelleWährungsZeile + 1 && m_gelesen->datum == datum) return m_gelesen->kurs;
    return gespeichert;
}

Kurs Waehrungsseite::eigenerKurs(const std::optional<Kurs>& alt, double eif) const {
    const double fie = zahlIn(inpFremdinEuro).value_or(0.0);
    if (alt && alt->euroinFremd != eif && !umgerechnet() && eif != 0) return {eif, KehrwertRunden(eif)};
    return {eif, fie};
}

namespace {
QString zeile(const char* feld, const std::optional<double>& anderer, double eigener) {
    QString z = QString::fromLatin1(feld) + QStringLiteral(": ");
    if (anderer) z += QStringLiteral("anderer Arbeitsplatz ") + InputFeld::kursText(*anderer) + QStringLiteral(", ");
    return z + QStringLiteral("Ihre Eingabe ") + InputFeld::kursText(eigener);
}
}  // namespace

bool Waehrungsseite::kursAbgleichen(const QDate& datum, const Kurs& eigener) {
    const int r = AktuelleWährungsZeile, n = r + 1;
    const QString waehrung = Anf + code(r) + Anf, tag = datumAlsText(datum), CrLf = QStringLiteral("\r\n");
    // Each round reads what is stored and asks; a rate changed again while the user decided is
    // found by the write and asked about anew.
    for (int runde = 0; runde < 20; ++runde) {
        const auto gespeichert = m_daten.kursAm(n, datum);
        if (gespeichert && *gespeichert == eigener) {  // the same rate: nothing to decide
            kursZeigen(datum, gespeichert);
            return true;
        }
        const auto alt = gesehen(datum, gespeichert);
        QString text;
        if (gespeichert && alt) text = QStringLiteral("Der Kurs für %1 vom %2 wurde inzwischen an einem anderen Arbeitsplatz geändert.");
        else if (gespeichert) text = QStringLiteral("Für %1 wurde am %2 inzwischen an einem anderen Arbeitsplatz ein Kurs erfasst.");
        else text = QStringLiteral("Der Kurs für %1 vom %2 wurde inzwischen an einem anderen Arbeitsplatz gelöscht.");
        text = text.arg(waehrung, tag) + CrLf + CrLf +
               zeile("EuroinFremd", gespeichert ? std::optional(gespeichert->euroinFremd) : std::nullopt, eigener.euroinFremd) + CrLf +
               zeile("FremdinEuro", gespeichert ? std::optional(gespeichert->fremdinEuro) : std::nullopt, eigener.fremdinEuro) + CrLf +
               CrLf + QStringLiteral("Wollen Sie Ihren Kurs speichern?") + CrLf + QStringLiteral("Ja: Ihren Kurs speichern") + CrLf +
               (gespeichert ? QStringLiteral("Nein: den Kurs des anderen Arbeitsplatzes übernehmen")
                            : QStringLiteral("Nein: den Kurs gelöscht lassen")) +
               CrLf + QStringLiteral("Abbrechen: nichts speichern und weiter bearbeiten");
        const int antwort = Meldung(text, 3 + 32);
        if (antwort == Antwort::Nein) {
            kursZeigen(datum, gespeichert);
            return true;
        }
        if (antwort != Antwort::Ja) {
            fokusNach(inpEuroinFremd);
            return false;
        }
        try {
            if (gespeichert) {
                m_daten.kursAendern(n, datum, *gespeichert, eigener);
            } else {
                m_daten.kursEinfuegen(neuerSatz(), datum, eigener);
            }
        } catch (const Fehler& f) {
            if (f.nummer() != FehlerNr::DatensatzGeaendert && f.nummer() != FehlerNr::DoppelterSchluessel) throw;
            continue;
        }
        kursZeigen(datum, eigener);
        return true;
    }
    fehlerWerfen(FehlerNr::DatensatzGeaendert, QStringLiteral("AllgWaehrung"));
}

void Waehrungsseite::kursZeigen(const QDate& datum, const std::optional<Kurs>& kurs) {
    gelesenMerken(datum, kurs);
    if (kurs) {
        inpEuroinFremd->setzeZahl(kurs->euroinFremd);
        inpFremdinEuro->setzeZahl(kurs->fremdinEuro);
    } else {
        inpEuroinFremd->setzeText(QString());
        inpFremdinEuro->setzeText(QString());
    }
    // The rate shown is no change of the user's: leaving the field computes no reciprocal from it.
    m_euroinFremdEingang = inpEuroinFremd->text();
    KursHistorieLaden(static_cast<qint16>(AktuelleWährungsZeile));
    rasterAufRahmen();
}
