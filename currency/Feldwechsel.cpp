// The currency page's fields entered and left. Each leave is handled after the focus change that
// caused it; until then it is outstanding. Every way out of the page (Escape, "Beenden", the close
// box, another page) first finishes the outstanding leaves and the field the user is in, as
// leaving that field would: stored, or refused with its message and the dialog kept open.

#include "currency/Waehrungsseite.h"
#include "currency/Kursverlauf.h"
#include "currency/WaehrungsseiteIntern.h"
#include "form/InputFeld.h"
#include "kurse/Kurs.h"
#include "platform/Fehler.h"
#include "platform/Meldung.h"
#include "platform/Variant.h"

#include <QApplication>
#include <QPushButton>
#include <QShortcut>
#include <QTableView>
#include <QTimer>

using namespace xov;
using namespace xov::waehrung;

void Waehrungsseite::verbinden() {
    for (int i = 0; i < 20; ++i) {
        for (InputFeld* f : {inpWährungsBezLang[i], inpWährungsBezKurz[i], inpLänderKürzel[i]}) {
            connect(f, &InputFeld::GotFocus, this, [this, i, f] {
                m_eingang.insert(f, f->text());
                zeileBetretenDanach(i, f);
            });
            connect(f, &InputFeld::LostFocus, this, [this, f] { verlassenVormerken(f); });
        }
    }
    for (InputFeld* f : {inpWährungsDatum, inpEuroinFremd, inpFremdinEuro}) {
        connect(f, &InputFeld::GotFocus, this, [this, f] { m_eingang.insert(f, f->text()); });
        connect(f, &InputFeld::LostFocus, this, [this, f] { verlassenVormerken(f); });
    }
    connect(inpWährungsDatum, &InputFeld::GotFocus, this, [this] { danach([this] { datumBetreten(); }); });
    // Enter in a rate field presses cmdUmrechnen while the field has the focus.
    for (InputFeld* f : {inpEuroinFremd, inpFremdinEuro}) {
        connect(f, &InputFeld::GotFocus, this, [this] { cmdUmrechnen->setDefault(true); });
        connect(f, &InputFeld::LostFocus, this, [this] { cmdUmrechnen->setDefault(false); });
    }
    connect(inpEuroinFremd, &InputFeld::GotFocus, this, [this] { danach([this] { euroinFremdBetreten(); }); });
    connect(inpFremdinEuro, &InputFeld::GotFocus, this, [this] {
        danach([this] {
            if (inpFremdinEuro->hasFocus()) ohneDatum();
        });
    });
    // F6: from a currency's row to its rate entry, and back.
    auto* f6 = new QShortcut(QKeySequence(Qt::Key_F6), m_seite, nullptr, nullptr, Qt::WidgetWithChildrenShortcut);
    connect(f6, &QShortcut::activated, this, [this] { ausfuehren([this] { zeileOderKurs(); }); });
    connect(cmdUmrechnen, &QPushButton::clicked, this, [this] { ausfuehren([this] { umrechnen(); }); });
    // At once: the leave of the field the click took the focus from is still outstanding and is
    // finished first, before a refusal's message could leave the focus anywhere.
    connect(cmdNeuerKurs, &QPushButton::clicked, this, [this] { ausfuehren([this] { neuerKurs(); }); });
    connect(TDBGridWährung->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& jetzt) {
                if (m_rasterWirdGesetzt || !jetzt.isValid()) return;
                const int zeile = jetzt.row();
                danach([this, zeile] { rasterZeileGewaehlt(zeile); });
            });
}

void Waehrungsseite::danach(std::function<void()> schritt) {
    QTimer::singleShot(0, this, [this, schritt = std::move(schritt)] {
        if (!m_seite->window()->isVisible() || (m_zustand.formBereit && !m_zustand.formBereit())) return;
        ausfuehren(schritt);
    });
}

void Waehrungsseite::ausfuehren(const std::function<void()>& schritt) {
    try {
        schritt();
    } catch (...) {
        if (m_zustand.fehlerMelden) m_zustand.fehlerMelden(aktuellerFehler());
        else throw;
    }
}

void Waehrungsseite::verlassenVormerken(InputFeld* f) {
    m_ausstehend.append(f);
    danach([this, f] {
        // Finished already by a way out of the page.
        if (!m_ausstehend.removeOne(f)) return;
        Schalter s(m_verlaesst);
        verlassen(f);
    });
}

void Waehrungsseite::zeileBetretenDanach(int i, InputFeld* f) {
    danach([this, i, f] {
        // A leave still being handled (its message box open) may refuse and take the focus back:
        // the row counts as entered only once that is settled.
        if (m_verlaesst) zeileBetretenDanach(i, f);
        else zeileBetreten(i, f);
    });
}

bool Waehrungsseite::verlassen(InputFeld* f) {
    for (int i = 0; i < 20; ++i) {
        if (f == inpWährungsBezLang[i]) return kopfVerlassen(i, Kopffeld::Name);
        if (f == inpWährungsBezKurz[i]) return kopfVerlassen(i, Kopffeld::Code);
        if (f == inpLänderKürzel[i]) return kopfVerlassen(i, Kopffeld::Land);
    }
    if (f == inpWährungsDatum) datumVerlassen();
    else if (f == inpEuroinFremd) euroinFremdVerlassen();
    else if (f == inpFremdinEuro) fremdinEuroVerlassen();
    return true;
}

void Waehrungsseite::zeileOderKurs() {
    QWidget* fokus = QApplication::focusWidget();
    for (int i = 0; i < 20; ++i) {
        if (fokus != inpWährungsBezLang[i] && fokus != inpWährungsBezKurz[i] && fokus != inpLänderKürzel[i]) continue;
        if (code(i).isEmpty()) {
            Meldung(KeinCode);
            return;
        }
        // After the row's entry and the field's leave: the rate date of this currency.
        danach([this, i] {
            if (AktuelleWährungsZeile != i || !m_seite->isAncestorOf(QApplication::focusWidget())) return;
            Frame7->show();
            inpWährungsDatum->setFocus(Qt::ShortcutFocusReason);
        });
        return;
    }
    const int r = AktuelleWährungsZeile;
    (inpWährungsBezLang[r]->isEnabled() ? inpWährungsBezLang[r] : inpLänderKürzel[r])->setFocus(Qt::ShortcutFocusReason);
}

QString Waehrungsseite::eingang(const InputFeld* f) const { return m_eingang.value(f); }

bool Waehrungsseite::eingabeAbschliessen() {
    // A rate or a row that cannot be written (database locked or gone) is reported; the page and
    // the dialog stay open with it, so that it can be saved once the database is back.
    try {
        while (!m_ausstehend.isEmpty())
            if (!abschliessen(m_ausstehend.takeFirst())) return false;
        auto* fokus = qobject_cast<InputFeld*>(QApplication::focusWidget());
        if (!fokus || !m_seite->isAncestorOf(fokus)) return true;
        if (!abschliessen(fokus)) return false;
        // Finished: a later leave of the field has nothing left to do.
        m_eingang.insert(fokus, fokus->text());
        return true;
    } catch (...) {
        if (!m_zustand.fehlerMelden) throw;
        m_zustand.fehlerMelden(aktuellerFehler());
        return false;
    }
}

bool Waehrungsseite::abschliessen(InputFeld* f) {
    if (f == inpWährungsDatum) return datumAbschliessen();
    if (f == inpEuroinFremd || f == inpFremdinEuro) return kursAbschliessen(f);
    return verlassen(f);
}

bool Waehrungsseite::datumAbschliessen() {
    const QString text = inpWährungsDatum->text();
    if (code(AktuelleWährungsZeile).isEmpty() || keinDatum(text)) return true;
    if (!datumAusText(text)) {
        Meldung(NurDatum);
        fokusNach(inpWährungsDatum);
        return false;
    }
    // A changed date only looks up that day's rate: nothing typed to store.
    return text != eingang(inpWährungsDatum) || kursSpeichern();
}

bool Waehrungsseite::kursAbschliessen(InputFeld* f) {
    const bool geaendert = f == inpEuroinFremd && inpEuroinFremd->text() != eingang(inpEuroinFremd);
    if (f == inpEuroinFremd) kehrwertEintragen();
    m_eingang.insert(inpEuroinFremd, inpEuroinFremd->text());
    if (!kursSpeichern()) return false;
    // As leaving the field would: the reciprocal to 10 places, and stored as shown.
    if (geaendert && !umgerechnet()) {
        if (const auto x = zahlIn(inpEuroinFremd); x && *x != 0) {
            inpFremdinEuro->setzeZahl(kehrwert(*x));
            kehrwertWieAngezeigtSpeichern();
        }
    }
    return true;
}
