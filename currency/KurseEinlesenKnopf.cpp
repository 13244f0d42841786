#include "currency/KurseEinlesenKnopf.h"

#include "currency/Waehrungsseite.h"
#include "form/InputFeld.h"
#include "form/frmMandStamm.h"
#include "kurse/Kurseinlesen.h"
#include "platform/Datenquelle.h"
#include "platform/Fehler.h"
#include "platform/Meldung.h"
#include "platform/Variant.h"
#include "services/Aufruf.h"

#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressDialog>
#include <QPushButton>
#include <algorithm>
#include <optional>

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

// A date field of the options: empty is no limit, anything else must be a date.
InputFeld* datumsfeld(QDialog* dlg, const QString& name) {
    auto* f = new InputFeld(dlg);
    f->setObjectName(name);
    f->einstellen(InputFeld::Datum, 10, 0, true, true);
    f->setPlaceholderText(QStringLiteral("TT.MM.JJJJ"));
    return f;
}

// What the database tool's options offer (--ab, --bis, --ersetzen), chosen in a small dialog;
// by default every day of the file, and a day the page has a rate for already keeps it.
std::optional<Einleseoptionen> optionenWaehlen(QWidget* eltern, const QString& datei, const QVector<Tageskurse>& tage) {
    QDialog dlg(eltern);
    dlg.setObjectName(QStringLiteral("dlgKurseEinlesenOptionen"));
    dlg.setWindowTitle(QStringLiteral("Kurse einlesen"));
    auto* form = new QFormLayout(&dlg);
    QString umfang = QStringLiteral("Die Datei enthält keine Kurse.");
    if (!tage.isEmpty()) {
        const auto [erster, letzter] = std::minmax_element(tage.begin(), tage.end(), [](const Tageskurse& a, const Tageskurse& b) { return a.datum < b.datum; });
        umfang = erster->datum == letzter->datum
                     ? QStringLiteral("Die Datei enthält die Kurse vom %1.").arg(datumAlsText(erster->datum))
                     : QStringLiteral("Die Datei enthält die Kurse vom %1 bis %2.").arg(datumAlsText(erster->datum), datumAlsText(letzter->datum));
    }
    auto* info = new QLabel(QStringLiteral("Datei: %1\n%2").arg(QFileInfo(datei).fileName(), umfang), &dlg);
    info->setObjectName(QStringLiteral("lblKurseDatei"));
    form->addRow(info);
    InputFeld* ab = datumsfeld(&dlg, QStringLiteral("inpKurseAb"));
    InputFeld* bis = datumsfeld(&dlg, QStringLiteral("inpKurseBis"));
    form->addRow(QStringLiteral("Ab Datum (leer: ab dem ersten Tag):"), ab);
    form->addRow(QStringLiteral("Bis Datum (leer: bis zum letzten Tag):"), bis);
    auto* ersetzen = new QCheckBox(QStringLiteral("Vorhandene Tage mit dem Kurs der Datei ersetzen"), &dlg);
    ersetzen->setObjectName(QStringLiteral("chkKurseErsetzen"));
    form->addRow(ersetzen);
    auto* knoepfe = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dlg);
    knoepfe->button(QDialogButtonBox::Ok)->setText(QStringLiteral("Einlesen"));
    knoepfe->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Abbrechen"));
    form->addRow(knoepfe);
    Einleseoptionen o;
    o.datei = datei;
    QObject::connect(knoepfe, &QDialogButtonBox::rejected, &dlg, &QDialog::reject);
    QObject::connect(knoepfe, &QDialogButtonBox::accepted, &dlg, [&] {
        for (auto [feld, datum] : {std::pair{ab, &o.ab}, std::pair{bis, &o.bis}}) {
            const QString text = feld->text().trimmed();
            const auto d = datumAusText(text);
            if (!text.isEmpty() && !d) {
                Meldung(QStringLiteral("\"%1\" ist kein Datum. Bitte z.B. 01.12.2024 eingeben oder das Feld leer lassen.").arg(text));
                feld->setFocus(Qt::OtherFocusReason);
                return;
            }
            *datum = d.value_or(QDate());
        }
        if (o.ab.isValid() && o.bis.isValid() && o.bis < o.ab) {
            Meldung(QStringLiteral("Das Datum \"bis\" liegt vor dem Datum \"ab\"."));
            bis->setFocus(Qt::OtherFocusReason);
            return;
        }
        o.ersetzen = ersetzen->isChecked();
        dlg.accept();
    });
    if (dlg.exec() != QDialog::Accepted) return std::nullopt;
    return o;
}

void einlesen(frmMandStamm& d, Waehrungsseite& seite) {
    // Without a window manager no window becomes active again when a dialog or a box over it
    // closes: the form takes the keyboard back, however this ends.
    struct Zurueck {
        QWidget* w;
        ~Zurueck() { if (w->isVisible()) w->activateWindow(); }
    } zurueck{&d};
    QFileDialog wahl(&d, QStringLiteral("Kurse einlesen"), QString(),
                     QStringLiteral("Referenzkurse der EZB (*.xml *.csv *.zip);;Alle Dateien (*)"));
    wahl.setObjectName(QStringLiteral("dlgKurseEinlesen"));
    wahl.setFileMode(QFileDialog::ExistingFile);
    wahl.setOption(QFileDialog::DontUseNativeDialog);
    if (wahl.exec() != QDialog::Accepted || wahl.selectedFiles().isEmpty()) return;
    const QString datei = wahl.selectedFiles().first();
    try {
        // The whole file first, as the tool reads it: a file that breaks off is refused at once.
        const auto tage = kursdateiLesen(datei);
        auto optionen = optionenWaehlen(&d, datei, tage);
        if (!optionen) return;
        // A long history shows its progress at once, a short file only when it takes longer than
        // a moment; "Abbrechen" rolls the one transaction back.
        QProgressDialog fortschritt(QStringLiteral("Kurse werden eingelesen…"), QStringLiteral("Abbrechen"), 0, 0, &d);
        fortschritt.setObjectName(QStringLiteral("dlgKurseEinlesenFortschritt"));
        fortschritt.setWindowTitle(QStringLiteral("Kurse einlesen"));
        fortschritt.setWindowModality(Qt::WindowModal);
        fortschritt.setMinimumDuration(tage.size() > 1000 ? 0 : 800);
        fortschritt.setAutoClose(false);
        optionen->fortschritt = [&fortschritt](int erledigt, int gesamt) {
            fortschritt.setMaximum(gesamt);
            fortschritt.setLabelText(QStringLiteral("Kurse werden eingelesen: %1 von %2 Tagen")
                                         .arg(QLocale(QLocale::German, QLocale::Germany).toString(erledigt),
                                              QLocale(QLocale::German, QLocale::Germany).toString(gesamt)));
            fortschritt.setValue(erledigt);
            return !fortschritt.wasCanceled();
        };
        const auto bilanz = kurseEinlesen(*d.FAData->verbindung(), tage, waehrungenDerSeite(d), *optionen);
        fortschritt.reset();
        seite.WährungenLaden();
        seite.VerlaufNachEinlesen();
        Meldung(QStringLiteral("Kurse aus %1 eingelesen:\r\n").arg(datei) + bilanzZeilen(bilanz).join(QStringLiteral("\r\n")), Stil::Information);
    } catch (const Fehler& f) {
        Meldung(f.beschreibung() + QStringLiteral("\r\nEs wurde kein Kurs eingelesen."), f.nummer() == FehlerNr::Abgebrochen ? Stil::Information : Stil::Ausrufezeichen);
    }
}

}  // namespace

void kurseEinlesenKnopf(frmMandStamm& d, Waehrungsseite& seite) {
    auto* knopf = new QPushButton(QStringLiteral("Kurse &einlesen…"), d.fraUntererTeil);  // Alt+E
    knopf->setObjectName(QStringLiteral("cmdKurseEinlesen"));
    knopf->setAutoDefault(false);
    knopf->hide();
    auto* leiste = static_cast<QHBoxLayout*>(d.fraUntererTeil->layout());
    leiste->insertWidget(leiste->indexOf(d.cmdNeuerKurs) + 1, knopf);
    QObject::connect(knopf, &QPushButton::clicked, &d, [&d, &seite] { einlesen(d, seite); });
}

}  // namespace xov
