// The option lists: each shows its items and writes the chosen code into the hidden field
// beside it, which is bound to the column; what a choice means beyond that, its page's unit does.

#include "form/DbListe.h"
#include "form/InputFeld.h"
#include "form/Seite.h"
#include "form/frmMandStamm.h"
#include "platform/Meldung.h"
#include "platform/Variant.h"
#include "services/Aufruf.h"

#include <QCheckBox>
#include <QAbstractItemView>
#include <QComboBox>
#include <QEvent>
#include <QKeyEvent>
#include <QProxyStyle>
#include <QTimer>

using namespace xov;

namespace {

// The lists of every page, from the tables: each writes its code into its hidden field.
QVector<const FeldDef*> listen() {
    QVector<const FeldDef*> l;
    for (const FeldDef& f : feldtabelle())
        if (f.art == Art::Liste) l << &f;
    return l;
}

QString feldZu(const QString& liste) {
    const FeldDef* d = felddef(liste);
    return d ? d->codeFeld : QString();
}

// The masked online access fields show each character as "*".
class SternStil : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget, QStyleHintReturn* ret) const override {
        if (hint == SH_LineEdit_PasswordCharacter) return '*';
        return QProxyStyle::styleHint(hint, option, widget, ret);
    }
};

}  // namespace

void frmMandStamm::listenFuellen(int seite) {
    // Each item carries its code as item data, equal to its position.
    for (const FeldDef* d : listen()) {
        if (seite != 0 ? d->seite != seite : !seiteGebaut(d->seite)) continue;
        QComboBox* l = liste(d->name);
        const bool vorher = l->blockSignals(true);
        l->clear();
        for (int i = 0; i < d->eintraege.size(); ++i) l->addItem(d->eintraege.at(i), i);
        l->setCurrentIndex(-1);
        l->blockSignals(vorher);
    }
}

void frmMandStamm::auswahlUebernehmen(const QString& name) {
    QComboBox* l = liste(name);
    InputFeld* f = feld(feldZu(name));
    if (l->currentIndex() < 0) return;
    // Writing the code the field already holds is no change: an empty code stays empty.
    const QString neu = QString::number(l->currentData().toInt());
    if (f->Text() != neu) f->setzeText(neu);
    if (const FeldDef* d = felddef(name)) seite(d->seite)->auswahlUebernommen(name);
}

void frmMandStamm::listeSetzen(const QString& name, int position) {
    QComboBox* l = liste(name);
    const bool vorher = l->blockSignals(true);
    l->setCurrentIndex(position);
    l->blockSignals(vorher);
    auswahlUebernehmen(name);
}

void frmMandStamm::listenVerbinden(const SeitenDef& seite) {
    for (const FeldDef* d : listen()) {
        if (d->seite != seite.nummer) continue;
        const QString name = d->name;
        connect(liste(name), &QComboBox::activated, this, [this, name] { auswahlUebernehmen(name); });
        // The wheel turned over a list the user has not entered changes nothing.
        liste(name)->installEventFilter(this);
    }
    if (seite.nummer != Seitennr::Anschrift) return;
    // Page keys are swallowed in the closed list and in its open drop-down alike.
    for (QComboBox* l : {liste(QStringLiteral("cmbVoranmPeriode")), static_cast<QComboBox*>(cmbFaNr)})
        l->view()->installEventFilter(this);
    cmbFaNr->installEventFilter(this);

    auto* schuetzen = qobject_cast<QCheckBox*>(steuerelement(QStringLiteral("chkUVASchuetzen")));
    auto* stil = new SternStil;
    stil->setParent(this);
    for (int i = 1; i <= 3; ++i) steuerelement(QStringLiteral("txtUVAFeld%1").arg(i))->setStyle(stil);
    connect(schuetzen, &QCheckBox::clicked, this, [this, schuetzen] {
        for (int i = 1; i <= 3; ++i)
            qobject_cast<QLineEdit*>(steuerelement(QStringLiteral("txtUVAFeld%1").arg(i)))
                ->setEchoMode(schuetzen->isChecked() ? QLineEdit::Password : QLineEdit::Normal);
    });
}

QString frmMandStamm::listeVon(const QString& feld) const {
    for (const FeldDef* d : listen())
        if (feld == d->codeFeld) return d->name;
    return {};
}

bool frmMandStamm::eventFilter(QObject* o, QEvent* e) {
    if (e->type() == QEvent::Wheel) {
        if (auto* w = qobject_cast<QWidget*>(o); w && !w->hasFocus()) return true;
    } else if (e->type() == QEvent::KeyPress) {
        // Page up and page down would jump through the period or office list unseen: swallowed.
        const int taste = static_cast<QKeyEvent*>(e)->key();
        const bool blaettern = taste == Qt::Key_PageUp || taste == Qt::Key_PageDown;
        if (blaettern && (o == liste(QStringLiteral("cmbVoranmPeriode")) || o == cmbFaNr || qobject_cast<QAbstractItemView*>(o)))
            return true;
    } else if (e->type() == QEvent::FocusOut && o == liste(QStringLiteral("cmbVoranmPeriode"))) {
        const auto grund = static_cast<QFocusEvent*>(e)->reason();
        if (grund != Qt::ActiveWindowFocusReason && grund != Qt::PopupFocusReason)
            QTimer::singleShot(0, this, [this] { seite(1)->listenAbgleichen(); });
    }
    return QDialog::eventFilter(o, e);
}
