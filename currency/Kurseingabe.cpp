// The rate-entry frame of the currency page: finding the rate of a date, saving, changing and
// deleting a rate, the date and rate fields entered and left, a new rate, and the reciprocal.

#include "currency/Kursverlauf.h"
#include "currency/Waehrungsseite.h"
#include "currency/WaehrungsseiteIntern.h"
#include "form/InputFeld.h"
#include "platform/Datenquelle.h"
#include "platform/Fehler.h"
#include "platform/Meldung.h"
#include "platform/Variant.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <cmath>

using namespace xov;
using namespace xov::waehrung;

std::optional<Waehrungsdaten::Kurs> Waehrungsseite::KursZumDatumSuchen() {
    const auto datum = datumAusText(inpWährungsDatum->text());
    if (!datum) return std::nullopt;
    return m_daten.kursAm(AktuelleWährungsZeile + 1, *datum);
}

std::optional<Waehrungsdaten::Kurs> Waehrungsseite::gemerkterKurs() const {
    if (!m_gelesen || m_gelesen->wid != AktuelleWährungsZeile + 1) return std::nullopt;
    return m_gelesen->kurs;
}

bool Waehrungsseite::umgerechnet() const {
    const auto x = zahlIn(inpEuroinFremd), y = zahlIn(inpFremdinEuro);
    return m_umrechnung && x && y && *x == m_umrechnung->euroinFremd && *y == m_umrechnung->fremdinEuro;
}

void Waehrungsseite::KursSpeichern() { kursSpeichern(); }

bool Waehrungsseite::kursSpeichern() {
    // A. The frame.
    const QString d = inpWährungsDatum->Text();
    if (keinDatum(d)) return true;
    const auto datum = datumAusText(d);
    if (!datum) {
        Meldung(DatumKeinDatum);
        fokusNach(inpWährungsDatum);
        return false;
    }
    for (InputFeld* feld : {inpEuroinFremd, inpFremdinEuro}) {
        if (feld->text().trimmed().isEmpty() || zahlIn(feld)) continue;
        Meldung(keineZahlIn(feld == inpEuroinFremd ? QStringLiteral("EuroinFremd") : QStringLiteral("FremdinEuro")));
        // The field gets back the rate the frame was filled with.
        if (const auto k = gemerkterKurs()) {
            const double gemerkt = feld == inpEuroinFremd ? k->euroinFremd : k->fremdinEuro;
            if (gemerkt > 0) feld->setzeZahl(gemerkt);
        }
        fokusNach(feld);
        return false;
    }
    if (inpFremdinEuro->text().trimmed().isEmpty() || inpEuroinFremd->text().trimmed().isEmpty()) return true;
    const double eif = *zahlIn(inpEuroinFremd), fie = *zahlIn(inpFremdinEuro);
    // B. Both rates 0: the rate of that date is deleted.
    if (eif == 0 && fie == 0) return kursLoeschenNachFrage(*datum);
    // C. Saving: the row's code first.
    InputFeld* codeFeld = inpWährungsBezKurz[AktuelleWährungsZeile];
    if (codeFeld->text().isEmpty()) {
        Meldung(KeinCode);
        fokusNach(codeFeld);
        return false;
    }
    if (const auto doppelteWID = WährungscodeVergeben()) {
        Meldung(QStringLiteral("Währungscode wird bereits in Zeile %1 verwendet").arg(*doppelteWID));
        fokusNach(codeFeld);
        return false;
    }
    // A pair with one rate 0 is no rate: nothing is stored, for a new date as for an existing one
    // (a reciprocal that rounds to 0 at 10 places included).
    if (eif == 0 || fie == 0) return true;
    // The rate stored now, and the one the user saw: when they differ, another workstation changed
    // or entered the rate of this day meanwhile, and the user decides whose rate stays.
    const auto gespeichert = m_daten.kursAm(AktuelleWährungsZeile + 1, *datum);
    const auto alt = gesehen(*datum, gespeichert);
    if (!(gespeichert == alt)) return kursAbgleichen(*datum, eigenerKurs(alt, eif));
    if (gespeichert) return kursDesTagesAendern(*datum, *gespeichert, eigenerKurs(alt, eif));
    return kursHinzufuegen(*datum, {eif, fie});
}

bool Waehrungsseite::kursLoeschenNachFrage(const QDate& datum) {
    const int r = AktuelleWährungsZeile, n = r + 1;
    const int antwort = Meldung(QStringLiteral("Wollen Sie den WährungsKurs für ") + Anf + code(r) + Anf + QStringLiteral(" vom ") +
                                    datumAlsText(datum) + QStringLiteral(" löschen?"),
                                3);
    if (antwort != Antwort::Ja) {
        fokusNach(antwort == Antwort::Nein ? inpEuroinFremd : inpWährungsDatum);
        return false;
    }
    if (!zeileGehoertZurWaehrung()) return false;
    // Deleted only as the user saw it: a rate another workstation changed or entered meanwhile stays.
    const auto gespeichert = m_daten.kursAm(n, datum);
    if (gespeichert && !m_daten.kursLoeschen(n, datum, gesehen(datum, gespeichert))) {
        const auto jetzt = m_daten.kursAm(n, datum);
        Meldung(kursNichtGeloescht(code(r), datumAlsText(datum), jetzt ? InputFeld::kursText(jetzt->euroinFremd) : QString(),
                                   jetzt ? InputFeld::kursText(jetzt->fremdinEuro) : QString(), r));
        kursZeigen(datum, jetzt);
        fokusNach(inpEuroinFremd);
        return false;
    }
    KursHistorieLaden(static_cast<qint16>(r));
    for (InputFeld* f : {inpWährungsDatum, inpEuroinFremd, inpFremdinEuro}) f->setzeText(QString());
    rasterAufRahmen();
    gelesenMerken(datum, std::nullopt);
    return true;
}

bool Waehrungsseite::kursDesTagesAendern(const QDate& datum, const Waehrungsdaten::Kurs& gespeichert, const Waehrungsdaten::Kurs& neu) {
    const int r = AktuelleWährungsZeile;
    if (gespeichert.euroinFremd != neu.euroinFremd && !umgerechnet()) {
        inpFremdinEuro->setzeZahl(neu.fremdinEuro);
        zumKehrwert();
    }
    try {
        m_daten.kursAendern(r + 1, datum, gespeichert, neu);
    } catch (const Fehler& f) {
        // Changed at another workstation between the look and the write.
        if (f.nummer() != FehlerNr::DatensatzGeaendert) throw;
        return kursAbgleichen(datum, neu);
    }
    gelesenMerken(datum, neu);
    KursHistorieLaden(static_cast<qint16>(r));
    rasterAufRahmen();
    return true;
}

bool Waehrungsseite::kursHinzufuegen(const QDate& datum, const Waehrungsdaten::Kurs& kurs) {
    // A record is added: the first rate of this date, for a new currency its first record.
    const int r = AktuelleWährungsZeile;
    InputFeld* codeFeld = inpWährungsBezKurz[r];
    if (codeFeld->text().size() != 3) {
        Meldung(CodeLaenge);
        fokusNach(codeFeld);
        return false;
    }
    codeFeld->setzeText(codeFeld->text().toUpper());
    InputFeld* landFeld = inpLänderKürzel[r];
    if (landFeld->text().size() > 3) {
        Meldung(LandLaenge);
        fokusNach(landFeld);
        return false;
    }
    landFeld->setzeText(landFeld->text().toUpper());
    if (!zeileGehoertZurWaehrung()) return false;
    try {
        m_daten.kursEinfuegen(neuerSatz(), datum, kurs);
    } catch (const Fehler& f) {
        // Another workstation entered the rate of this day between the look and the write.
        if (f.nummer() != FehlerNr::DoppelterSchluessel) throw;
        return kursAbgleichen(datum, kurs);
    }
    gelesenMerken(datum, kurs);
    KursHistorieLaden(static_cast<qint16>(r));
    rasterZeigen(true);
    rasterAufRahmen();
    return true;
}

void Waehrungsseite::datumBetreten() {
    if (code(AktuelleWährungsZeile).isEmpty()) {
        if (auto* beenden = m_seite->window()->findChild<QPushButton*>(QStringLiteral("cmdBeenden")); beenden && beenden->isVisible())
            beenden->setFocus(Qt::OtherFocusReason);
        return;
    }
    kursbeschriftungSetzen(code(AktuelleWährungsZeile));
}

void Waehrungsseite::datumVerlassen() {
    if (code(AktuelleWährungsZeile).isEmpty()) {
        inpWährungsBezLang[0]->setFocus(Qt::OtherFocusReason);
        return;
    }
    const QString text = inpWährungsDatum->text();
    // An empty date is no date yet: nothing to look up, nothing to save; a rate field entered
    // next asks for it.
    if (keinDatum(text)) return;
    if (!datumAusText(text)) {
        fokusNach(inpWährungsDatum);
        Meldung(NurDatum);
        return;
    }
    if (text != eingang(inpWährungsDatum)) {
        inpEuroinFremd->setzeText(QString());
        inpFremdinEuro->setzeText(QString());
        const auto gefunden = KursZumDatumSuchen();
        if (gefunden) {
            inpEuroinFremd->setzeZahl(gefunden->euroinFremd);
            inpFremdinEuro->setzeZahl(gefunden->fremdinEuro);
        }
        // The leave is handled after the next field took the focus: a rate shown there now is
        // selected, so that typing replaces it, and counts as the rate the user entered with.
        for (InputFeld* f : {inpEuroinFremd, inpFremdinEuro})
            if (f->hasFocus()) f->selectAll();
        if (inpEuroinFremd->hasFocus()) m_euroinFremdEingang = inpEuroinFremd->text();
        gelesenMerken(*datumAusText(text), gefunden);
        KursHistorieLaden(static_cast<qint16>(AktuelleWährungsZeile));
        rasterAufRahmen();
    } else {
        kursSpeichern();
    }
}

bool Waehrungsseite::ohneDatum() {
    if (!keinDatum(inpWährungsDatum->Text())) return false;
    // A rate without its day cannot be stored: the user is told, not just sent back.
    if (!code(AktuelleWährungsZeile).isEmpty()) Meldung(NurDatum);
    fokusNach(inpWährungsDatum);
    return true;
}

void Waehrungsseite::euroinFremdBetreten() {
    if (!inpEuroinFremd->hasFocus() || ohneDatum()) return;
    m_euroinFremdEingang = inpEuroinFremd->text();
}

void Waehrungsseite::euroinFremdVerlassen() {
    // Only a leave that saved moves on to the other rate: after a refusal the focus is where the
    // user must act.
    const bool gespeichert = kursSpeichern();
    if (!kehrwertEintragen()) return;
    if (gespeichert) kehrwertWieAngezeigtSpeichern();
    if (gespeichert && QApplication::focusWidget() != inpWährungsDatum) zumKehrwert();
    // The user left the rate entry (clicked into a currency row): no leave of FremdinEuro follows,
    // so the pair is stored now, as that leave would store it.
    QWidget* fokus = QApplication::focusWidget();
    if (gespeichert && fokus && fokus != inpFremdinEuro && fokus != inpWährungsDatum && fokus != inpEuroinFremd) kursSpeichern();
}

void Waehrungsseite::zumKehrwert() {
    // A user who clicked into a currency row stays there: the row entry shows that row's rate.
    QWidget* fokus = QApplication::focusWidget();
    for (int i = 0; i < 20; ++i)
        if (fokus == inpWährungsBezLang[i] || fokus == inpWährungsBezKurz[i] || fokus == inpLänderKürzel[i]) return;
    inpFremdinEuro->setFocus(Qt::OtherFocusReason);
}

void Waehrungsseite::kehrwertWieAngezeigtSpeichern() {
    // Saving a changed rate of a stored date computed its reciprocal to 4 places; leaving the
    // field has just shown it to 10. The record gets what the field shows, also when no leave of
    // FremdinEuro follows (the user clicked elsewhere or closes the dialog).
    const auto eif = zahlIn(inpEuroinFremd), fie = zahlIn(inpFremdinEuro);
    const auto gespeichert = eif && fie ? KursZumDatumSuchen() : std::nullopt;
    if (gespeichert && gespeichert->euroinFremd == *eif && gespeichert->fremdinEuro != *fie) kursSpeichern();
}

bool Waehrungsseite::kehrwertEintragen() {
    const auto x = zahlIn(inpEuroinFremd);
    // The reciprocal of 0 does not exist: the other rate stays as it is. A rate the user only
    // passed through keeps the other rate as stored (a bank's rate need not be the exact
    // reciprocal); only a changed rate, or one without its other rate, gets it computed.
    if (!x || *x == 0 || umgerechnet()) return false;
    if (inpEuroinFremd->text() == m_euroinFremdEingang && !inpFremdinEuro->text().trimmed().isEmpty()) return false;
    inpFremdinEuro->setzeZahl(runden(1.0 / *x, 10));
    return true;
}

void Waehrungsseite::fremdinEuroVerlassen() { kursSpeichern(); }

void Waehrungsseite::neuerKurs() {
    // Never nothing in silence: a row without a code has no rates yet.
    if (code(AktuelleWährungsZeile).isEmpty()) {
        Meldung(KeinCode);
        fokusNach(inpWährungsBezKurz[AktuelleWährungsZeile]->isEnabled() ? inpWährungsBezKurz[AktuelleWährungsZeile]
                                                                          : inpLänderKürzel[AktuelleWährungsZeile]);
        return;
    }
    if (Frame7->isVisible()) {
        inpEuroinFremd->setzeText(QString());
        inpFremdinEuro->setzeText(QString());
    } else {
        Frame7->show();
    }
    inpWährungsDatum->setzeText(QString());
    m_gelesen.reset();
    inpWährungsDatum->setFocus(Qt::OtherFocusReason);
}

void Waehrungsseite::umrechnen() {
    const auto x = zahlIn(inpEuroinFremd);
    // Nothing to compute from an empty field, text that is no number, or 0.
    if (!x || *x == 0) return;
    // Four places on purpose: leaving the rate keeps them (the pair reads as converted).
    inpFremdinEuro->setzeZahl(KehrwertRunden(*x));
    m_umrechnung = Waehrungsdaten::Kurs{*x, KehrwertRunden(*x)};
    inpFremdinEuro->setFocus(Qt::OtherFocusReason);
}
