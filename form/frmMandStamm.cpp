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
    listenVerbinden();
    pruefungenVerbinden();
    for (auto& s : m_seite) s->verbinden();
    tastaturEinrichten(*this);
    aenderungsverlaufAnbieten(*this);  // "Änderungsverlauf…" in the fields' context menus
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
T* nachName(const QHash<QString, QWidget*>& steuer, const QString& name, frmMandStamm* dialog) {
    if (auto* w = qobject_cast<T*>(steuer.value(name)); XOV_ASSERT_MIT(w, qPrintable(name))) return w;
    auto* ersatz = new T(dialog);
    ersatz->hide();
    return ersatz;
}
}  // namespace

QWidget* frmMandStamm::steuerelement(const QString& name) const {
    return nachName<QWidget>(m_steuer, name, const_cast<frmMandStamm*>(this));
}
InputFeld* frmMandStamm::feld(const QString& name) const {
    return nachName<InputFeld>(m_steuer, name, const_cast<frmMandStamm*>(this));
}
QComboBox* frmMandStamm::liste(const QString& name) const {
    return nachName<QComboBox>(m_steuer, name, const_cast<frmMandStamm*>(this));
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
    for (const FeldDef& f : feldtabelle()) {
        if (f.spalte.isEmpty()) continue;
        QWidget* w = steuerelement(f.name);
        Bindung b;
        b.spalte = f.spalte;
        if (auto* e = qobject_cast<InputFeld*>(w)) {
            b.anzeigen = [e](const QVariant& v) { e->spaltenwertAnzeigen(v); };
            b.wert = [e] { return e->spaltenwert(); };
            b.geaendert = [e] { return e->geaendert(); };
        } else if (auto* l = qobject_cast<QLabel*>(w)) {
            b.anzeigen = [l](const QVariant& v) { l->setText(istNull(v) ? QString() : alsText(v)); };
        } else if (auto* d = dynamic_cast<DbListe*>(w)) {
            b.anzeigen = [d](const QVariant& v) { d->wertAnzeigen(v); };
            b.wert = [d] { return d->wert().isValid() ? d->wert() : nullWert(); };
            b.geaendert = [d] { return d->geaendert(); };
        } else if (auto* t = qobject_cast<QLineEdit*>(w)) {
            // A plain text box counts as changed once the user edited it.
            const int max = t->maxLength();
            auto geaendert = std::make_shared<bool>(false);
            connect(t, &QLineEdit::textEdited, this, [geaendert] { *geaendert = true; });
            b.anzeigen = [t, max, geaendert](const QVariant& v) {
                const QString text = istNull(v) ? QString() : v.toString();
                t->setMaxLength(std::max(max, static_cast<int>(text.size())));  // never cut a stored text
                t->setText(text);
                *geaendert = false;
            };
            b.wert = [t] { return QVariant(t->text()); };
            b.geaendert = [geaendert] { return *geaendert; };
        }
        MAData->binden(b);
    }
}
