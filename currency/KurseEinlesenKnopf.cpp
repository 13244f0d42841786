#include "currency/KurseEinlesenKnopf.h"

#include "currency/Waehrungsseite.h"
#include "form/InputFeld.h"
#include "form/frmMandStamm.h"
#include "kurse/Kurseinlesen.h"
#include "platform/Datenquelle.h"
#include "platform/Fehler.h"
#include "platform/Meldung.h"
#include "services/Aufruf.h"

#include <QFileDialog>
#include <QHBoxLayout>
#include <QPushButton>

namespace xov {

namespace {

// The currencies as the page shows them, also a row whose first rate is not saved yet.
QVector<Einlesewaehrung> waehrungenDerSeite(const frmMandStamm& d) {
    QVector<Einlesewaehrung> liste;
    for (int r = 0; r < 20; ++r) {
        const auto text = [&](const char* name) {
            auto* f = d.Frame1[7]->findChild<InputFeld*>(QStringLiteral("%1(%2)").arg(QString::fromUtf8(name)).arg(r));
            return f ? f->text().trimmed() : QString();
        };
        const QString code = text("inpWährungsBezKurz").toUpper();
        if (code.size() == 3) liste.append({r + 1, code, text("inpWährungsBezLang"), text("inpLänderKürzel").toUpper()});
    }
    return liste;
}

void einlesen(frmMandStamm& d, Waehrungsseite& seite) {
    QFileDialog wahl(&d, QStringLiteral("Kurse einlesen"), QString(),
                     QStringLiteral("Referenzkurse der EZB (*.xml *.csv *.zip);;Alle Dateien (*)"));
    wahl.setObjectName(QStringLiteral("dlgKurseEinlesen"));
    wahl.setFileMode(QFileDialog::ExistingFile);
    wahl.setOption(QFileDialog::DontUseNativeDialog);
    if (wahl.exec() != QDialog::Accepted || wahl.selectedFiles().isEmpty()) return;
    const QString datei = wahl.selectedFiles().first();
    try {
        const auto tage = kursdateiLesen(datei);
        const auto bilanz = kurseEinlesen(*d.FAData->verbindung(), tage, waehrungenDerSeite(d), Einleseoptionen{});
        seite.WährungenLaden();
        seite.KursHistorieLaden(static_cast<qint16>(seite.AktuelleWährungsZeile));
        Meldung(QStringLiteral("Kurse aus %1 eingelesen:\r\n").arg(datei) + bilanzZeilen(bilanz).join(QStringLiteral("\r\n")), 64);
    } catch (const Fehler& f) {
        Meldung(f.beschreibung() + QStringLiteral("\r\nEs wurde kein Kurs eingelesen."), 48);
    }
}

}  // namespace

void kurseEinlesenKnopf(frmMandStamm& d, Waehrungsseite& seite) {
    auto* knopf = new QPushButton(QStringLiteral("Kurse einlesen…"), d.fraUntererTeil);
    knopf->setObjectName(QStringLiteral("cmdKurseEinlesen"));
    knopf->setAutoDefault(false);
    knopf->hide();
    auto* leiste = static_cast<QHBoxLayout*>(d.fraUntererTeil->layout());
    leiste->insertWidget(leiste->indexOf(d.cmdNeuerKurs) + 1, knopf);
    QObject::connect(knopf, &QPushButton::clicked, &d, [&d, &seite] { einlesen(d, seite); });
}

}  // namespace xov
