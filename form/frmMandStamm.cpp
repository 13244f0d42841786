// The dialog object: its controls by name, the page units, and the binding of the fields to
// the client row.

#include "form/frmMandStamm.h"
#include "form/Aenderungsverlauf.h"
#include "form/DbListe.h"
#include "form/InputFeld.h"
#include "form/Seite.h"
#include "form/Tastatur.h"
#include "form/TabStrip.h"
#include "platform/Datenquelle.h"
#include "platform/Fehler.h"
#include "platform/Variant.h"
#include "platform/Zusicherung.h"
#include "services/Aufruf.h"
#include "services/Fehlerbericht.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>

using namespace xov;

frmMandStamm::frmMandStamm(Aufruf& aufruf, QWidget* parent) : QDialog(parent), m_aufruf(aufruf) {
    setObjectName(QStringLiteral("frmMandStamm"));
    setWindowTitle(QStringLiteral("Mandanten-Stammdaten"));
    // Form initialisation, once per form object.
    m_aufruf.KomponentenName = QStringLiteral("xovMandStamm");
    aufbauen();
    binden();
    tastaturEinrichten(*this);
    seiteBauen(Seitennr::Anschrift);  // the start page; the others when first shown or asked for
    TabStrip1->nachWechsel = [this] { nachSeitenwechsel(); };
    TabStrip1->vorWechsel = [this] { return Fehlerprüfungen_0(); };
    MAData->beiValidate = [this](int& aktion, bool&) {
        const Recordset* rs = MAData->Recordset();
        if (rs->Eof() || rs->Bof() || m_geradeGeprueft) return;
        if (Fehlerprüfungen_0()) aktion = Datenquelle::Abbrechen;
    };
    MAData->beiReposition = [this] {
        const Recordset* rs = MAData->Recordset();
        if (!rs->Eof() && !rs->Bof() && TabStrip1->aktuelleSeite() == 1) seite(1)->listenAbgleichen();
    };
}

frmMandStamm::~frmMandStamm() = default;

namespace {
// The control of the kind asked for; for a name that does not exist (a programmer's error, logged
// with file and line) a hidden stand-in that belongs to the dialog, so that nothing dereferences null.
template <typename T>
T* nachName(QWidget* gefunden, const QString& name, frmMandStamm* dialog) {
    if (auto* w = qobject_cast<T*>(gefunden); XOV_ASSERT_MIT(w, qPrintable(name))) return w;
    auto* ersatz = new T(dialog);
    ersatz->hide();
    return ersatz;
}
}  // namespace

QWidget* frmMandStamm::steuerelement(const QString& name) const {
    return nachName<QWidget>(gesucht(name), name, const_cast<frmMandStamm*>(this));
}
InputFeld* frmMandStamm::feld(const QString& name) const {
    return nachName<InputFeld>(gesucht(name), name, const_cast<frmMandStamm*>(this));
}
QComboBox* frmMandStamm::liste(const QString& name) const {
    return nachName<QComboBox>(gesucht(name), name, const_cast<frmMandStamm*>(this));
}

Seite* frmMandStamm::seite(int nummer) const {
    if (!XOV_ASSERT_MIT(nummer >= 1 && nummer <= 8, "Seitennummer")) return m_seite[0].get();
    return m_seite[nummer - 1].get();
}

void frmMandStamm::tabReihenfolgeSetzen(const SeitenDef& seite) {
    QWidget* vorher = nullptr;
    for (const FeldDef& f : seite.felder) {
        if (f.art == Art::Anzeige || f.art == Art::Beschriftung) continue;
        QWidget* w = steuerelement(f.name);
        if (vorher) QWidget::setTabOrder(vorher, w);
        vorher = w;
    }
}

void frmMandStamm::seitenknoepfeVerbergen() {
    cmdNeuerKurs->hide();
    if (auto* k = findChild<QPushButton*>(QStringLiteral("cmdKurseEinlesen"))) k->hide();
}

void frmMandStamm::fehlerMelden(const QString& stelle) {
    const Fehler f = aktuellerFehler();
    if (!stelle.isEmpty()) m_aufruf.KomponentenName = stelle;
    FehlerAufruf(f, m_aufruf);
}

void frmMandStamm::binden() {
    // A control whose page is not built keeps the value loaded for it until the page is built, and
    // counts as unchanged: its column keeps the stored value when the row is written.
    for (const FeldDef& f : feldtabelle()) {
        if (f.spalte.isEmpty()) continue;
        Bindung b;
        b.spalte = f.spalte;
        b.anzeigen = [this, name = f.name](const QVariant& v) {
            if (const auto fb = m_feldbindung.value(name)) {
                if (fb->anzeigen) fb->anzeigen(v);
            } else {
                m_geladen.insert(name, v);
            }
        };
        b.wert = [this, name = f.name] {
            const auto fb = m_feldbindung.value(name);
            return fb && fb->wert ? fb->wert() : QVariant();
        };
        b.geaendert = [this, name = f.name] {
            const auto fb = m_feldbindung.value(name);
            return fb && fb->wert && fb->geaendert && fb->geaendert();
        };
        MAData->binden(b);
    }
}
