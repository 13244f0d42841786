// Pages 1 and 2 show a hint beside the UID, the tax number and the creditor ID when a check
// digit does not fit. A hint only: it holds no field and changes no value. Page 1's period list
// also locks or frees the tax fields.

#include "form/DbListe.h"
#include "form/InputFeld.h"
#include "form/Pruefziffern.h"
#include "form/Seite.h"
#include "form/frmMandStamm.h"
#include "platform/Meldung.h"
#include "platform/Variant.h"
#include "services/Aufruf.h"

#include <QLabel>

namespace xov {
namespace {

// The field's hint is also what a screen reader tells of it.
void hinweisZeigen(QLabel* l, QWidget* feld, const QString& text) {
    feld->setAccessibleDescription(text);
    l->setText(text);
    l->setVisible(!text.isEmpty());  // hidden, it takes no room on the page
}

// A hint in a row of its own: hidden, it keeps the height of its line and the width of the
// longest text it can show, so that showing it moves nothing below or beside it.
void hinweisImPlatzZeigen(QLabel* l, QWidget* feld, const QString& text) {
    feld->setAccessibleDescription(text);
    QSizePolicy platz = l->sizePolicy();
    platz.setRetainSizeWhenHidden(true);
    l->setSizePolicy(platz);
    int breite = 0;
    for (const QString& t : pruefziffernHinweise()) breite = std::max(breite, l->fontMetrics().horizontalAdvance(t));
    l->setMinimumWidth(breite);
    l->setText(text.isEmpty() ? QStringLiteral(" ") : text);
    l->setVisible(!text.isEmpty());
}

class Seite1 : public Seite {
public:
    using Seite::Seite;
    void verbinden() override {
        m_uid = m_dialog.findChild<QLabel*>(QStringLiteral("lblMandUIDHinweis"));
        m_steuer = m_dialog.findChild<QLabel*>(QStringLiteral("lblSteuerNrHinweis"));
        m_uid->setStyleSheet(QStringLiteral("color: #a05000;"));
        m_steuer->setStyleSheet(QStringLiteral("color: #a05000;"));
        aktualisieren();
        QObject::connect(m_dialog.feld(QStringLiteral("inpMandUID")), &QLineEdit::textChanged, m_uid, [this] { aktualisieren(); });
        QObject::connect(m_dialog.feld(QStringLiteral("inpSteuerNr")), &QLineEdit::textChanged, m_steuer, [this] { aktualisieren(); });
        QObject::connect(m_dialog.cmbFaNr, &QComboBox::currentIndexChanged, m_steuer, [this] { aktualisieren(); });
    }
    void zeigen() override {
        aktualisieren();
        Seite::zeigen();
    }

    // The VAT-return period: its list shows the stored code, and without a period (code 0) the
    // tax number, the department and the tax office stay locked.
    void listenAbgleichen() override {
        QComboBox* l = m_dialog.liste(QStringLiteral("cmbVoranmPeriode"));
        const double wert = code(m_dialog.feld(QStringLiteral("inpVoranmPeriode")));
        // A negative code is as unknown to the list as one beyond its last item.
        if (wert > l->count() - 1 || wert < 0) {
            Meldung(QStringLiteral("ungültiger Wert inpVoranmPeriode.Text"));
        } else {
            m_dialog.listeSetzen(l->objectName(), alsInt16(wert));
        }
        steuerfelderFreigeben(wert != 0);
    }
    void auswahlUebernommen(const QString& liste) override {
        if (liste == QLatin1String("cmbVoranmPeriode"))
            steuerfelderFreigeben(code(m_dialog.feld(QStringLiteral("inpVoranmPeriode"))) != 0);
    }

private:
    // Freed only outside restricted mode and never where the database lacks the column.
    void steuerfelderFreigeben(bool frei) {
        if (frei && m_dialog.aufruf().eingeschraenktAufgerufen()) return;
        for (const char* name : {"inpSteuerNr", "inpReferat", "cmbFaNr"})
            if (!frei || !m_dialog.dauerhaftGesperrt(QLatin1String(name))) m_dialog.steuerelement(QLatin1String(name))->setEnabled(frei);
    }

    void aktualisieren() {
        InputFeld* uid = m_dialog.feld(QStringLiteral("inpMandUID"));
        hinweisImPlatzZeigen(m_uid, uid, uidHinweis(uid->text()));
        const DbListe* fa = m_dialog.cmbFaNr;
        const QVariant faNummer = fa->currentIndex() >= 0 ? fa->currentData() : fa->wert();
        hinweisImPlatzZeigen(m_steuer, m_dialog.feld(QStringLiteral("inpSteuerNr")), steuerNrHinweis(faNummer.toString(), m_dialog.feld(QStringLiteral("inpSteuerNr"))->text()));
    }
    QLabel* m_uid = nullptr;
    QLabel* m_steuer = nullptr;
};

class Seite2 : public Seite {
public:
    using Seite::Seite;
    void verbinden() override {
        m_kreditor = m_dialog.findChild<QLabel*>(QStringLiteral("lblMandCreditorIDHinweis"));
        m_kreditor->setStyleSheet(QStringLiteral("color: #a05000;"));
        InputFeld* feld = m_dialog.feld(QStringLiteral("inpMandCreditorID"));
        hinweisZeigen(m_kreditor, feld, creditorIdHinweis(feld->text()));
        QObject::connect(feld, &QLineEdit::textChanged, m_kreditor,
                         [this, feld](const QString& text) { hinweisZeigen(m_kreditor, feld, creditorIdHinweis(text)); });
    }

private:
    QLabel* m_kreditor = nullptr;
};

}  // namespace

std::unique_ptr<Seite> seite1(frmMandStamm& dialog, const SeitenDef& def) { return std::make_unique<Seite1>(dialog, def); }
std::unique_ptr<Seite> seite2(frmMandStamm& dialog, const SeitenDef& def) { return std::make_unique<Seite2>(dialog, def); }

}  // namespace xov
