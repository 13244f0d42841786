// A currency row's name, code and country code left changed. The decision model says what
// happens (Waehrungsentscheidung.h); the page shows its message or question and writes. Every
// write compares the currency's records with what this dialog read, inside its transaction.

#include "currency/Waehrungsseite.h"
#include "currency/WaehrungsseiteIntern.h"
#include "form/InputFeld.h"
#include "platform/Fehler.h"
#include "platform/Meldung.h"

using namespace xov;
using namespace xov::waehrung;

namespace {
QString spalte(Kopffeld feld) {
    switch (feld) {
    case Kopffeld::Name: return QStringLiteral("WaehrungscodeBezeichnung");
    case Kopffeld::Code: return QStringLiteral("Waehrungscode");
    case Kopffeld::Land: return QStringLiteral("Laenderkennzeichen");
    }
    return {};
}

void setzen(Kopf& k, Kopffeld feld, const QString& wert) {
    (feld == Kopffeld::Name ? k.name : feld == Kopffeld::Code ? k.code : k.land) = wert;
}
}  // namespace

InputFeld* Waehrungsseite::kopfFeld(int i, Kopffeld feld) const {
    return feld == Kopffeld::Name ? inpWährungsBezLang[i] : feld == Kopffeld::Code ? inpWährungsBezKurz[i] : inpLänderKürzel[i];
}

Kopflage Waehrungsseite::kopflage(int i, const QString& c) {
    Kopflage lage{i, m_kopfGelesen[i], m_daten.kopfVon(i + 1), std::nullopt};
    if (!c.isEmpty()) lage.codeAnderswo = m_daten.codeVergebenAn(c, i + 1);
    return lage;
}

void Waehrungsseite::zeileZeigen(int i, const std::optional<Kopf>& kopf) {
    m_kopfGelesen[i] = kopf;
    if (!kopf) return;
    for (Kopffeld f : {Kopffeld::Name, Kopffeld::Code, Kopffeld::Land}) {
        InputFeld* feld = kopfFeld(i, f);
        const QString wert = f == Kopffeld::Name ? kopf->name : f == Kopffeld::Code ? kopf->code : kopf->land;
        if (feld->text() != wert) feld->setzeText(wert);
        m_eingang.insert(feld, wert);
    }
    if (i == AktuelleWährungsZeile) kursbeschriftungSetzen(kopf->code);
}

bool Waehrungsseite::kopfVerlassen(int i, Kopffeld feld) {
    InputFeld* f = kopfFeld(i, feld);
    const QString text = f->text();
    const bool gross = feld != Kopffeld::Name;
    if (text != eingang(f) && !kopfEntscheiden(i, feld, gross ? text.toUpper() : text)) return false;
    // A code or country code shows in upper case; a stored code typed in lower case stays as typed.
    const auto gelesen = m_kopfGelesen[i];
    const bool wieGespeichert = feld == Kopffeld::Code && gelesen && gelesen->code == f->text().toUpper() && f->text() != eingang(f);
    if (gross && !f->text().isEmpty() && !wieGespeichert) f->setzeText(f->text().toUpper());
    m_eingang.insert(f, f->text());
    if (feld == Kopffeld::Code && !nameVomCodeSpeichern(i)) return false;
    return true;
}

bool Waehrungsseite::nameVomCodeSpeichern(int i) {
    // The German name the page filled in for a known code (Waehrungscodes.cpp) is stored like a
    // typed one, so that a currency never has two names.
    InputFeld* name = inpWährungsBezLang[i];
    const QString text = name->text();
    if (!m_kopfGelesen[i] || text == m_kopfGelesen[i]->name || name->property("xovNameVomCode").toString() != text) return true;
    const bool ok = kopfEntscheiden(i, Kopffeld::Name, text);
    m_eingang.insert(name, name->text());
    return ok;
}

bool Waehrungsseite::kopfEntscheiden(int i, Kopffeld feld, const QString& eingabe) {
    InputFeld* f = kopfFeld(i, feld);
    // Each round reads what is stored and decides; a change made while the user was asked is
    // found by the write and decided anew.
    for (int runde = 0; runde < 20; ++runde) {
        const Kopflage lage = kopflage(i, feld == Kopffeld::Code ? eingabe : QString());
        const Entscheidung e = kopfAendern(lage, feld, eingabe);
        if (e.art == Entscheidung::Art::Nichts) {
            if (lage.gespeichert && !lage.gelesen) {
                zeileZeigen(i, lage.gespeichert);
            } else if (lage.gespeichert) {
                // Only this field is settled: another field another workstation changed stays
                // as read, so that its own change is still compared with what the user saw.
                Kopf k = *lage.gelesen;
                setzen(k, feld, feld == Kopffeld::Name ? lage.gespeichert->name : feld == Kopffeld::Code ? lage.gespeichert->code : lage.gespeichert->land);
                m_kopfGelesen[i] = k;
            }
            if (feld == Kopffeld::Code) {
                if (lage.gespeichert) KursHistorieLaden(static_cast<qint16>(i));
                kursbeschriftungSetzen(lage.gespeichert ? lage.gespeichert->code : eingabe);
            }
            return true;
        }
        if (e.art == Entscheidung::Art::Abweisen) {
            if (feld == Kopffeld::Code) KursHistorieLaden(static_cast<qint16>(i));
            Meldung(e.text);
            zeileZeigen(i, lage.gespeichert);
            f->setzeText(e.gespeichert);
            m_eingang.insert(f, e.gespeichert);
            fokusNach(f);
            return false;
        }
        if (e.art == Entscheidung::Art::Fragen && Meldung(e.text, Stil::JaNein + Stil::Frage) != Antwort::Ja) {
            zeileZeigen(i, lage.gespeichert);
            return true;
        }
        try {
            m_daten.kopfSetzen(i + 1, spalte(feld), e.wert, *lage.gespeichert);
        } catch (const Fehler& fehler) {
            if (fehler.nummer() != FehlerNr::DatensatzGeaendert) throw;
            continue;
        }
        Kopf neu = *lage.gespeichert;
        setzen(neu, feld, e.wert);
        zeileZeigen(i, neu);
        return true;
    }
    fehlerWerfen(FehlerNr::DatensatzGeaendert, QStringLiteral("AllgWaehrung"));
}

bool Waehrungsseite::zeileGehoertZurWaehrung() {
    const int r = AktuelleWährungsZeile;
    const Kopflage lage = kopflage(r);
    const auto meldung = kursGehoertZurZeile(lage, code(r));
    if (!meldung) return true;
    Meldung(*meldung);
    zeileZeigen(r, lage.gespeichert);
    KursHistorieLaden(static_cast<qint16>(r));
    fokusNach(inpEuroinFremd);
    return false;
}

Waehrungsdaten::Waehrung Waehrungsseite::neuerSatz() {
    // A stored currency keeps its name, code and country code in every record: a new rate
    // repeats them as stored. A new currency gets what its row shows.
    const int r = AktuelleWährungsZeile;
    const auto gespeichert = m_daten.kopfVon(r + 1);
    const Kopf k = gespeichert ? *gespeichert : Kopf{code(r).toUpper(), inpWährungsBezLang[r]->text(), inpLänderKürzel[r]->text().toUpper()};
    zeileZeigen(r, k);
    return {r + 1, k.code, k.name, k.land};
}
