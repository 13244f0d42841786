// The page's unit: every entry is looked up in the chart of accounts of the booking year and its
// name shown beside it; a number the chart lacks is refused. The account picker fills the
// account field the user entered last.

#include "accounts/Kontenstamm.h"
#include "form/InputFeld.h"
#include "form/Seite.h"
#include "form/frmMandStamm.h"
#include "platform/Datenquelle.h"
#include "platform/Variant.h"
#include "services/Aufruf.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QScopeGuard>
#include <QScopedValueRollback>
#include <algorithm>

namespace xov {
namespace {

// The wait cursor while the chart is read; restored however the reading ends, and only the one
// set here, so that a cursor the host shows stays.
template <typename F>
auto mitWartecursor(F lesen) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const auto zurueck = qScopeGuard([] { QApplication::restoreOverrideCursor(); });
    return lesen();
}

class Seite6 : public Seite {
public:
    Seite6(frmMandStamm& dialog, const SeitenDef& def) : Seite(dialog, def) {
        for (const FeldDef& f : def.felder)
            if (f.pruefung == Pruefung::Konto) m_konten << &f;
        m_pruefFolge = m_konten;
        std::stable_sort(m_pruefFolge.begin(), m_pruefFolge.end(), [](auto* a, auto* b) { return a->pruefRang < b->pruefRang; });
    }

    void verbinden() override {
        for (const FeldDef* k : m_konten) {
            InputFeld* f = m_dialog.feld(k->name);
            // Only a field the user entered (mouse, Tab, Shift+Tab, a shortcut) becomes the
            // picker's target; the focus a page switch or a failed check puts there does not count.
            QObject::connect(f, &InputFeld::GotFocus, f, [this, k, f] {
                const Qt::FocusReason grund = f->fokusGrund();
                if (grund == Qt::MouseFocusReason || grund == Qt::TabFocusReason || grund == Qt::BacktabFocusReason ||
                    grund == Qt::ShortcutFocusReason)
                    m_aktivesKontoFeld = k->name;
            });
            QObject::connect(f, &InputFeld::LostFocus, f, [this, k] {
                m_dialog.beimVerlassen(k->name, [this, k] {
                    m_kontenstammUnlesbar = false;
                    SammelkontoPrüfen(*k);
                });
            });
        }
        auto* knopf = qobject_cast<QPushButton*>(m_dialog.steuerelement(QStringLiteral("cmdKontenAuswahl")));
        QObject::connect(knopf, &QPushButton::clicked, knopf, [this] { kontenAuswahl(); });
    }

    void vorbereiten() override {
        Seite::vorbereiten();
        const QString knopf = QStringLiteral("cmdKontenAuswahl");
        if (!m_dialog.aufruf().Eingeschraenkt && !m_dialog.dauerhaftGesperrt(knopf)) m_dialog.steuerelement(knopf)->setEnabled(true);
    }

    // Showing the page checks all eight fields again and fills their name labels; a number the
    // chart lacks gets its message, but the focus stays where it is.
    void zeigen() override {
        vorbereiten();
        const QScopedValueRollback<bool> sammel(m_sammelpruefung, true);
        m_kontenstammUnlesbar = false;
        for (const FeldDef* k : m_pruefFolge) SammelkontoPrüfen(*k);
    }

    bool pruefen() override {
        m_kontenstammUnlesbar = false;
        for (const FeldDef* k : m_pruefFolge)
            if (SammelkontoPrüfen(*k)) return true;
        return false;
    }

private:
    QLabel* nameLabel(const FeldDef& k) const { return qobject_cast<QLabel*>(m_dialog.steuerelement(k.nameLabel)); }

    // True when the entry is refused: the chart of the year lacks it and the user can change it.
    bool SammelkontoPrüfen(const FeldDef& k) {
        Aufruf& a = m_dialog.aufruf();
        m_dialog.fehlerFeldLeeren();
        InputFeld* feld = m_dialog.feld(k.name);
        const QString eingabe = feld->Text();
        if (kontoLeer(eingabe)) {
            feld->setText(QString());
            nameLabel(k)->setText(QString());
            return false;
        }
        // Once the chart could not be read in this attempt, the other fields are not looked up.
        if (m_kontenstammUnlesbar) return false;
        std::optional<QString> name;
        try {
            name = kontoBezeichnung(*m_dialog.KKData, a.MandDbPfad, a.KontoJahr, eingabe);
        } catch (...) {
            // Reported once; no input error of the user's, who can still leave the page and close.
            m_kontenstammUnlesbar = true;
            m_dialog.fehlerMelden({});
            return false;
        }
        if (name) {
            nameLabel(k)->setText(QLatin1Char('=') + *name);
            return false;
        }
        nameLabel(k)->setText(QStringLiteral("=ungültige Kontonr"));
        // A field the user cannot change (restricted mode, no row) keeps its number unreported.
        if (!m_dialog.bearbeitbar(feld)) return false;
        if (!a.FormBereit) return true;
        m_dialog.befundZeigen(k.name, {QStringLiteral("Sammelkonto-Nummer nicht im Kontenstamm existent.\r\n"
                                                      "Andere Auswahl oder leer einsetzen"), {}},
                              !m_sammelpruefung);
        return true;
    }

    void kontenAuswahl() {
        Aufruf& a = m_dialog.aufruf();
        a.AufrufProgramm = QStringLiteral("dllSachkontenListe");
        try {
            const QString konto = kontoAuswaehlen(a.AufrufInfo, a.KontoJahr);
            // Without a window manager the dialog is not made active again by itself.
            m_dialog.activateWindow();
            QApplication::setActiveWindow(&m_dialog);
            auto ziel = std::find_if(m_konten.begin(), m_konten.end(), [&](auto* k) { return k->name == m_aktivesKontoFeld; });
            if (!konto.isEmpty() && ziel != m_konten.end()) {
                const auto name = mitWartecursor([&] { return kontoBezeichnung(*m_dialog.KKData, a.MandDbPfad, a.KontoJahr, konto); });
                nameLabel(**ziel)->setText(name ? QStringLiteral("= ") + *name : QStringLiteral("=ungültige Kontonr"));
                InputFeld* feld = m_dialog.feld((*ziel)->name);
                feld->setzeText(konto);  // a pick is the user's change
                feld->setFocus(Qt::OtherFocusReason);
            }
        } catch (...) {
            m_dialog.fehlerMelden({});
        }
        m_aktivesKontoFeld.clear();
    }

    QVector<const FeldDef*> m_konten;      // keyboard order
    QVector<const FeldDef*> m_pruefFolge;  // the order of the whole-page check
    QString m_aktivesKontoFeld;            // the account field the user entered last
    bool m_sammelpruefung = false;         // the whole-page check runs: the focus stays
    bool m_kontenstammUnlesbar = false;    // the chart failed in the current attempt
};

}  // namespace

std::unique_ptr<Seite> seite6(frmMandStamm& dialog, const SeitenDef& def) { return std::make_unique<Seite6>(dialog, def); }

}  // namespace xov
