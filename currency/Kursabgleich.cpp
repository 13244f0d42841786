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

void Waehrungsseite::gelesenMerken(const QDate& datum, const std::optional<Kurs>& kurs) {
    m_gelesen = Gelesen{AktuelleWährungsZeile + 1, datum, kurs};
}

std::optional<Kurs> Waehrungsseite::gesehen(const QDate& datum, const std::optional<Kurs>& gespeichert) const {
    if (m_gelesen && m_gelesen->wid == AktuelleWährungsZeile + 1 && m_gelesen->datum == datum) return m_gelesen->kurs;
    return gespeichert;
}

bool Waehrungsseite::kursAbgleichen(const QDate& datum, const Kurs& eigener) {
    const int n = AktuelleWährungsZeile + 1;
    // Each round reads what is stored and asks; a rate changed again while the user decided is
    // found by the write and asked about anew.
    for (int runde = 0; runde < 20; ++runde) {
        const auto gespeichert = m_daten.kursAm(n, datum);
        const auto frage = kursAbgleichFrage(code(n - 1), datum, gespeichert, gesehen(datum, gespeichert), eigener);
        if (!frage) {  // the same rate: nothing to decide
            kursZeigen(datum, gespeichert);
            return true;
        }
        const int antwort = Meldung(*frage, Stil::JaNeinAbbrechen + Stil::Frage);
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
    m_eingang.insert(inpEuroinFremd, inpEuroinFremd->text());
    KursHistorieLaden(static_cast<qint16>(AktuelleWährungsZeile));
    rasterAufRahmen();
}
