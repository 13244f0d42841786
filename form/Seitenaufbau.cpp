// A page's controls are built when the page is first shown or when code asks for one of them:
// the dialog opens with its start page alone. Building a page connects its controls as the dialog
// connects them, gives them the values loaded meanwhile and applies the locks decided meanwhile.

#include "form/Aenderungsverlauf.h"
#include "form/DbListe.h"
#include "form/InputFeld.h"
#include "form/Seite.h"
#include "form/Tastatur.h"
#include "form/frmMandStamm.h"
#include "platform/Datenquelle.h"
#include "platform/Variant.h"

#include <QFrame>
#include <QLabel>

using namespace xov;

namespace {
// The page a control or frame of the tables belongs to; 0 for every other name.
int seiteVon(const QString& name) {
    if (const FeldDef* f = felddef(name)) return f->seite;
    for (const SeitenDef& s : seitentabellen())
        for (const RahmenDef& r : s.rahmen)
            if (r.name == name) return s.nummer;
    return 0;
}
}  // namespace

void frmMandStamm::seiteBauen(int nummer) {
    if (!Seitennr::gueltig(nummer) || m_gebaut[nummer - 1]) return;
    m_gebaut[nummer - 1] = true;
    const SeitenDef& s = seitentabelle(nummer);
    QWidget* letztes = seiteAufbauen(s);
    listenFuellen(nummer);
    seiteBinden(s);
    listenVerbinden(s);
    pruefungenVerbinden(s);
    m_seite[nummer - 1]->verbinden();
    seitentastenEinrichten(*this, nummer, letztes);
    aenderungsverlaufAnbieten(*this, Frame1[nummer - 1]);  // "Änderungsverlauf…" in the fields' context menus
    geladeneWerteZeigen(s);
    for (const FeldDef& f : s.felder)
        if (m_dauerhaftGesperrt.contains(f.name)) m_steuer.value(f.name)->setEnabled(false);
}

QWidget* frmMandStamm::gesucht(const QString& name) const {
    if (QWidget* w = m_steuer.value(name)) return w;
    if (const int n = seiteVon(name); Seitennr::gueltig(n) && !m_gebaut[n - 1]) const_cast<frmMandStamm*>(this)->seiteBauen(n);
    return m_steuer.value(name);
}

void frmMandStamm::seiteBinden(const SeitenDef& s) {
    for (const FeldDef& f : s.felder) {
        if (f.spalte.isEmpty()) continue;
        QWidget* w = m_steuer.value(f.name);
        auto b = std::make_shared<Bindung>();
        if (auto* e = qobject_cast<InputFeld*>(w)) {
            b->anzeigen = [e](const QVariant& v) { e->spaltenwertAnzeigen(v); };
            b->wert = [e] { return e->spaltenwert(); };
            b->geaendert = [e] { return e->geaendert(); };
        } else if (auto* l = qobject_cast<QLabel*>(w)) {
            b->anzeigen = [l](const QVariant& v) { l->setText(istNull(v) ? QString() : alsText(v)); };
        } else if (auto* d = dynamic_cast<DbListe*>(w)) {
            b->anzeigen = [d](const QVariant& v) { d->wertAnzeigen(v); };
            b->wert = [d] { return d->wert().isValid() ? d->wert() : nullWert(); };
            b->geaendert = [d] { return d->geaendert(); };
        } else if (auto* t = qobject_cast<QLineEdit*>(w)) {
            // A plain text box counts as changed once the user edited it.
            const int max = t->maxLength();
            auto geaendert = std::make_shared<bool>(false);
            connect(t, &QLineEdit::textEdited, this, [geaendert] { *geaendert = true; });
            b->anzeigen = [t, max, geaendert](const QVariant& v) {
                const QString text = istNull(v) ? QString() : v.toString();
                t->setMaxLength(std::max(max, static_cast<int>(text.size())));  // never cut a stored text
                t->setText(text);
                *geaendert = false;
            };
            b->wert = [t] { return QVariant(t->text()); };
            b->geaendert = [geaendert] { return *geaendert; };
        }
        m_feldbindung.insert(f.name, b);
    }
}

void frmMandStamm::geladeneWerteZeigen(const SeitenDef& s) {
    for (const FeldDef& f : s.felder) {
        if (!m_geladen.contains(f.name)) continue;
        const QVariant wert = m_geladen.take(f.name);
        if (const auto b = m_feldbindung.value(f.name); b && b->anzeigen) b->anzeigen(wert);
    }
}
