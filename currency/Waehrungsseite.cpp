// The currency page: rows of currencies, the rate history of the current row and the
// rate-entry frame. Every handler of a field runs after the focus change that caused it, in the
// order the changes happened: a message box inside a focus change would scramble the focus
// events, and a save must see the fields as the user left them.

#include "currency/Waehrungsseite.h"
#include "currency/Kursverlauf.h"
#include "currency/WaehrungsseiteIntern.h"
#include "form/InputFeld.h"
#include "platform/Datenquelle.h"
#include "platform/Fehler.h"
#include "platform/Meldung.h"
#include "platform/Variant.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QTimer>

using namespace xov;
using namespace xov::waehrung;

namespace {

template <typename T>
T* finden(QWidget* seite, const QString& name) {
    T* w = seite->findChild<T*>(name);
    Q_ASSERT_X(w, "Waehrungsseite", qPrintable(name));
    return w;
}

}  // namespace

Waehrungsseite::Waehrungsseite(QWidget* seite, QPushButton* neuerKurs, Datenquelle* FAData, Aufrufzustand zustand,
                               QObject* parent)
    : QObject(parent), m_seite(seite), cmdNeuerKurs(neuerKurs), m_zustand(std::move(zustand)), m_daten(FAData),
      m_verlauf(new Kursverlauf(this)) {
    setObjectName(QStringLiteral("Waehrungsseite"));
    for (int i = 0; i < 20; ++i) {
        inpWährungsBezLang[i] = finden<InputFeld>(seite, QStringLiteral("inpWährungsBezLang(%1)").arg(i));
        inpWährungsBezKurz[i] = finden<InputFeld>(seite, QStringLiteral("inpWährungsBezKurz(%1)").arg(i));
        inpLänderKürzel[i] = finden<InputFeld>(seite, QStringLiteral("inpLänderKürzel(%1)").arg(i));
    }
    TDBGridWährung = finden<QTableView>(seite, QStringLiteral("TDBGridWährung"));
    Frame7 = finden<QWidget>(seite, QStringLiteral("Frame7"));
    inpWährungsDatum = finden<InputFeld>(seite, QStringLiteral("inpWährungsDatum"));
    inpEuroinFremd = finden<InputFeld>(seite, QStringLiteral("inpEuroinFremd"));
    inpFremdinEuro = finden<InputFeld>(seite, QStringLiteral("inpFremdinEuro"));
    cmdUmrechnen = finden<QPushButton>(seite, QStringLiteral("cmdUmrechnen"));
    lblEuro = finden<QLabel>(seite, QStringLiteral("lblEuro"));
    lblFremd = finden<QLabel>(seite, QStringLiteral("lblFremd"));
    TDBGridWährung->setModel(m_verlauf);
    // The button computes from the field the user is in; a click must not take the focus from it.
    cmdUmrechnen->setFocusPolicy(Qt::NoFocus);
    m_verlauf->beiFehler = [this](const Fehler& f) {
        QTimer::singleShot(0, this, [this, f] { if (m_zustand.fehlerMelden) m_zustand.fehlerMelden(f); });
    };
    verbinden();
}

void Waehrungsseite::fokusNach(QWidget* ziel) {
    // The field the user went on to loses the focus to the page, not to the user: its leave is
    // no entry of the user's and must not save what was just refused.
    auto* jetzt = qobject_cast<InputFeld*>(QApplication::focusWidget());
    ziel->setFocus(Qt::OtherFocusReason);
    if (jetzt && jetzt != ziel) m_ausstehend.removeAll(jetzt);
}

QString Waehrungsseite::code(int zeile) const { return inpWährungsBezKurz[zeile]->text(); }

bool Waehrungsseite::keinDatum(const QString& text) { return text.trimmed().isEmpty() || zahlAusText(text) == 0.0; }

// ---- rows ----

void Waehrungsseite::WährungenLaden() {
    for (const Waehrungsdaten::Waehrung& w : m_daten.waehrungen()) {
        // Row r is the currency with WID r + 1; each code is shown once.
        if (w.wid < 1 || w.wid > 20) continue;
        bool gezeigt = false;
        for (const InputFeld* f : inpWährungsBezKurz) gezeigt = gezeigt || f->text() == w.code;
        // What the row shows is what this dialog read: later changes are compared with it.
        if (gezeigt && code(w.wid - 1) == w.code) m_kopfGelesen[w.wid - 1] = Kopf{w.code, w.name, w.land};
        if (gezeigt) continue;
        const int r = w.wid - 1;
        inpWährungsBezLang[r]->spaltenwertAnzeigen(w.name);
        inpWährungsBezKurz[r]->spaltenwertAnzeigen(w.code);
        inpLänderKürzel[r]->spaltenwertAnzeigen(w.land);
        m_kopfGelesen[r] = Kopf{w.code, w.name, w.land};
        // What a field held before the user entered it, also when its entry was not seen.
        for (InputFeld* f : {inpWährungsBezLang[r], inpWährungsBezKurz[r], inpLänderKürzel[r]}) m_eingang.insert(f, f->text());
    }
}

void Waehrungsseite::SeiteVorbereiten() {
    const bool eingeschraenkt = m_zustand.eingeschraenkt && m_zustand.eingeschraenkt();
    if (eingeschraenkt) {
        for (int i = 0; i < 20; ++i) {
            inpWährungsBezLang[i]->setEnabled(false);
            inpWährungsBezKurz[i]->setEnabled(false);
        }
    } else if (!(m_zustand.waehrungsstart && m_zustand.waehrungsstart())) {
        inpWährungsBezLang[0]->setFocus(Qt::OtherFocusReason);
    }
    if (!eingeschraenkt) KursHistorieLaden(static_cast<qint16>(AktuelleWährungsZeile));
    // The history is read, not edited in place; a click selects the whole rate.
    TDBGridWährung->setEditTriggers(QAbstractItemView::NoEditTriggers);
    TDBGridWährung->setTabKeyNavigation(false);  // Tab leaves the grid; the arrow keys walk its days
    TDBGridWährung->setSelectionBehavior(QAbstractItemView::SelectRows);
    kursbeschriftungSetzen(code(AktuelleWährungsZeile));
}

void Waehrungsseite::zeileBetreten(int i, InputFeld* feld) {
    // A refusal took the focus back before this entry was handled: the row was not entered.
    if (!feld->hasFocus()) return;
    // The current row's history was loaded with the page, except in restricted mode: then its
    // first entry loads it like any other row's.
    if (i != AktuelleWährungsZeile || m_verlaufZeile != i) {
        KursHistorieLaden(static_cast<qint16>(i));
        AktuelleWährungsZeile = i;
        if (rasterHatZeile()) {
            rasterZeigen(true);
            Frame7->hide();
        } else {
            rasterZeigen(false);
            for (InputFeld* f : {inpWährungsDatum, inpEuroinFremd, inpFremdinEuro}) f->setzeText(QString());
            m_gelesen.reset();
            Frame7->show();
        }
        QWidget* fokus = QApplication::focusWidget();
        if (!fokus || !fokus->isVisible()) feld->setFocus(Qt::OtherFocusReason);
    }
    if (rasterHatZeile()) {
        rahmenFuellen(TDBGridWährung->currentIndex().row());
        Frame7->show();
    }
    kursbeschriftungSetzen(code(i));
}

void Waehrungsseite::kursbeschriftungSetzen(const QString& code) {
    lblEuro->setText(QStringLiteral("1 EUR = \nxxx ") + code);
    lblFremd->setText(QStringLiteral("1 ") + code + QStringLiteral(" =\nxxx EUR"));
}

// ---- history ----

void Waehrungsseite::rasterZeigen(bool sichtbar) {
    // The grid with its caption: whatever holds it on the page.
    QWidget* w = TDBGridWährung;
    while (w->parentWidget() && w->parentWidget() != m_seite) w = w->parentWidget();
    TDBGridWährung->show();
    // Hidden, it keeps its place: the rate frame beside it never jumps.
    QSizePolicy platz = w->sizePolicy();
    platz.setRetainSizeWhenHidden(true);
    w->setSizePolicy(platz);
    w->setVisible(sichtbar);
}

bool Waehrungsseite::rasterHatZeile() const {
    const QModelIndex i = TDBGridWährung->currentIndex();
    return i.isValid() && i.row() < m_verlauf->rowCount() && m_verlauf->datum(i.row()).isValid();
}

void Waehrungsseite::rahmenFuellen(int zeile) {
    inpWährungsDatum->setzeText(datumAlsText(m_verlauf->datum(zeile)));
    inpEuroinFremd->setzeZahl(m_verlauf->euroinFremd(zeile));
    inpFremdinEuro->setzeZahl(m_verlauf->fremdinEuro(zeile));
    // What the frame shows is what a refused entry gets back, and what saving compares with.
    gelesenMerken(m_verlauf->datum(zeile), Kurs{m_verlauf->euroinFremd(zeile), m_verlauf->fremdinEuro(zeile)});
}

void Waehrungsseite::KursHistorieLaden(qint16 zeile) {
    {
        Schalter s(m_rasterWirdGesetzt);
        m_verlaufZeile = -1;
        m_verlauf->laden(m_daten.verbindung(), zeile + 1);
        m_verlaufZeile = zeile;
        if (m_verlauf->rowCount() < 1) {
            Frame7->show();
            rasterZeigen(false);
            return;
        }
        TDBGridWährung->setCurrentIndex(m_verlauf->index(0, 0));
    }
    rasterZeigen(true);
}

void Waehrungsseite::rasterAufRahmen() {
    const auto tag = datumAusText(inpWährungsDatum->text());
    const int z = tag ? m_verlauf->zeileVon(*tag) : -1;
    Schalter s(m_rasterWirdGesetzt);
    if (z < 0) {
        TDBGridWährung->setCurrentIndex(QModelIndex());
        TDBGridWährung->clearSelection();
        return;
    }
    TDBGridWährung->setCurrentIndex(m_verlauf->index(z, 0));
}

void Waehrungsseite::VerlaufNachEinlesen() {
    KursHistorieLaden(static_cast<qint16>(AktuelleWährungsZeile));
    if (m_verlauf->rowCount() < 1) return;
    // The day the frame showed, with its rate as read in now; else the newest day.
    const auto tag = datumAusText(inpWährungsDatum->text());
    int z = tag ? m_verlauf->zeileVon(*tag) : -1;
    if (z < 0) z = 0;
    {
        Schalter s(m_rasterWirdGesetzt);
        TDBGridWährung->setCurrentIndex(m_verlauf->index(z, 0));
    }
    rasterZeileGewaehlt(z);
}

void Waehrungsseite::rasterZeileGewaehlt(int zeile) {
    if (zeile < 0 || zeile >= m_verlauf->rowCount()) return;
    rahmenFuellen(zeile);
    Frame7->show();
}

// ---- a code used in two rows ----

std::optional<int> Waehrungsseite::WährungscodeVergeben() {
    const QString c = code(AktuelleWährungsZeile).toUpper();
    if (c.isEmpty()) return std::nullopt;
    return m_daten.codeVergebenAn(c, AktuelleWährungsZeile + 1);
}
