// The rate-entry frame of the currency page: finding the rate of a date, saving, changing and
// deleting a rate, the date and rate fields entered and left, a new rate, and the reciprocal.

#include "currency/Kursverlauf.h"
#include "currency/Waehrungsseite.h"
#include "currency/WaehrungsseiteIntern.h"
#include "form/InputFeld.h"
#include "kurse/Kurs.h"
#include "platform/Datenquelle.h"
#include "platform/Fehler.h"
#include "platform/Meldung.h"
#include "platform/Variant.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTableView>

using namespace xov;
using namespace xov::waehrung;

std::optional<Kurs> Waehrungsseite::KursZumDatumSuchen() {
    const auto datum = datumAusText(inpWährungsDatum->text());
    if (!datum) return std::nullopt;
    return m_daten.kursAm(AktuelleWährungsZeile + 1, *datum);
}

std::optional<Kurs> Waehrungsseite::gemerkterKurs() const {
    if (!m_gelesen || m_gelesen->wid != AktuelleWährungsZeile + 1) return std::nullopt;
    return m_gelesen->kurs;
}

bool Waehrungsseite::umgerechnet() const {
    const auto x = zahlIn(inpEuroinFremd), y = zahlIn(inpFremdinEuro);
    return m_umrechnung && x && y && *x == m_umrechnung->euroinFremd && *y == m_umrechnung->fremdinEuro;
}

void Waehrungsseite::KursSpeichern() { kursSpeichern(); }

Kurslage Waehrungsseite::kurslage() {
    const int r = AktuelleWährungsZeile;
    Kurslage l;
    l.datum = inpWährungsDatum->Text();
    l.euroinFremd = inpEuroinFremd->text();
    l.fremdinEuro = inpFremdinEuro->text();
    l.eif = zahlIn(inpEuroinFremd);
    l.fie = zahlIn(inpFremdinEuro);
    l.gemerkt = gemerkterKurs();
    l.umgerechnet = umgerechnet();
    l.code = code(r);
    l.land = inpLänderKürzel[r]->text();
    // The stored state only when the frame holds a complete pair: an unfinished entry reads nothing.
    const auto tag = datumAusText(l.datum);
    if (!tag || !l.eif || !l.fie) return l;
    l.gespeichert = m_daten.kursAm(r + 1, *tag);
    l.gesehen = gesehen(*tag, l.gespeichert);
    l.zeile = kopflage(r, l.code.toUpper());
    return l;
}

bool Waehrungsseite::kursSpeichern() {
    const Kurslage lage = kurslage();
    const Kursentscheidung e = xov::waehrung::kursSpeichern(lage);
    switch (e.art) {
    case Kursentscheidung::Art::Nichts: return true;
    case Kursentscheidung::Art::Abweisen: return kursAbweisen(e, lage);
    case Kursentscheidung::Art::Loeschen: return kursLoeschenNachFrage(e);
    case Kursentscheidung::Art::Abgleichen: return kursAbgleichen(e.tag, e.kurs);
    case Kursentscheidung::Art::Aendern: return kursDesTagesAendern(e, *lage.gespeichert);
    case Kursentscheidung::Art::Einfuegen: return kursHinzufuegen(e);
    }
    return true;
}

bool Waehrungsseite::kursAbweisen(const Kursentscheidung& e, const Kurslage& lage) {
    const int r = AktuelleWährungsZeile;
    Meldung(e.text);
    if (e.zeileFremd) {
        zeileZeigen(r, lage.zeile.gespeichert);
        KursHistorieLaden(static_cast<qint16>(r));
    }
    InputFeld* feld = e.feld == Kursfeld::Datum         ? inpWährungsDatum
                      : e.feld == Kursfeld::EuroinFremd ? inpEuroinFremd
                      : e.feld == Kursfeld::FremdinEuro ? inpFremdinEuro
                      : e.feld == Kursfeld::Code        ? inpWährungsBezKurz[r]
                                                        : inpLänderKürzel[r];
    if (e.zurueck) feld->setzeZahl(*e.zurueck);
    fokusNach(feld);
    return false;
}

bool Waehrungsseite::kursLoeschenNachFrage(const Kursentscheidung& e) {
    const int r = AktuelleWährungsZeile, n = r + 1;
    const QDate& datum = e.tag;
    const int antwort = Meldung(e.text, Stil::JaNeinAbbrechen);
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

bool Waehrungsseite::kursDesTagesAendern(const Kursentscheidung& e, const Kurs& gespeichert) {
    const int r = AktuelleWährungsZeile;
    if (e.kehrwertNeu) {
        inpFremdinEuro->setzeZahl(e.kurs.fremdinEuro);
        zumKehrwert();
    }
    try {
        m_daten.kursAendern(r + 1, e.tag, gespeichert, e.kurs);
    } catch (const Fehler& f) {
        // Changed at another workstation between the look and the write.
        if (f.nummer() != FehlerNr::DatensatzGeaendert) throw;
        return kursAbgleichen(e.tag, e.kurs);
    }
    gelesenMerken(e.tag, e.kurs);
    KursHistorieLaden(static_cast<qint16>(r));
    rasterAufRahmen();
    return true;
}

bool Waehrungsseite::kursHinzufuegen(const Kursentscheidung& e) {
    const int r = AktuelleWährungsZeile;
    for (InputFeld* f : {inpWährungsBezKurz[r], inpLänderKürzel[r]}) f->setzeText(f->text().toUpper());
    try {
        m_daten.kursEinfuegen(neuerSatz(), e.tag, e.kurs);
    } catch (const Fehler& f) {
        // Another workstation entered the rate of this day between the look and the write.
        if (f.nummer() != FehlerNr::DoppelterSchluessel) throw;
        return kursAbgleichen(e.tag, e.kurs);
    }
    gelesenMerken(e.tag, e.kurs);
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
        if (inpEuroinFremd->hasFocus()) m_eingang.insert(inpEuroinFremd, inpEuroinFremd->text());
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
    m_eingang.insert(inpEuroinFremd, inpEuroinFremd->text());
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
    if (inpEuroinFremd->text() == eingang(inpEuroinFremd) && !inpFremdinEuro->text().trimmed().isEmpty()) return false;
    inpFremdinEuro->setzeZahl(kehrwert(*x));
    return true;
}

void Waehrungsseite::fremdinEuroVerlassen() { kursSpeichern(); }

void Waehrungsseite::neuerKurs() {
    // What is being typed is finished first, as leaving its field would finish it: a typed rate is
    // stored (or refused with its message, and stays), never emptied away.
    if (!eingabeAbschliessen()) return;
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
    m_umrechnung = Kurs{*x, kehrwert(*x, 4)};
    inpFremdinEuro->setzeZahl(m_umrechnung->fremdinEuro);
    inpFremdinEuro->setFocus(Qt::OtherFocusReason);
}
