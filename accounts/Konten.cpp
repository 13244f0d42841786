// The eight account fields of page 6: each entry is looked up in the chart of accounts of the
// booking year, its name shown beside it; a number the chart lacks is refused. The account
// picker fills the account field entered last.

#include "component/Modul.h"
#include "form/InputFeld.h"
#include "form/frmMandStamm.h"
#include "platform/Datenquelle.h"
#include "platform/Fehler.h"
#include "platform/Komponenten.h"
#include "platform/Meldung.h"
#include "platform/Variant.h"
#include "services/Fehlerbericht.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>

using namespace xov;

namespace {

struct KontoFeld {
    const char* feld;
    const char* label;
};

// In the order of the whole-page check.
constexpr KontoFeld KontoFelder[] = {
    {"inpKreditSammelKoNr", "lblKreditSammelKoText"}, {"inpDebitSammelKoNr", "lblDebitSammelKoText"},
    {"inpMandKonto30", "lblMandKonto30Text"},         {"inpMandKonto8", "lblMandKonto8Text"},
    {"inpMandKonto11", "lblMandKonto11Text"},         {"inpMandKonto12", "lblMandKonto12Text"},
    {"inpMandKonto13", "lblMandKonto13Text"},         {"inpMandKonto7", "lblMandKonto7Text"}};

// The order in which a pick looks for the account field entered last.
constexpr const char* AuswahlReihenfolge[] = {"inpKreditSammelKoNr", "inpMandKonto30", "inpMandKonto8", "inpMandKonto11",
                                              "inpMandKonto12", "inpMandKonto13", "inpMandKonto7", "inpDebitSammelKoNr"};

const KontoFeld* kontoFeld(const QString& name) {
    for (const KontoFeld& k : KontoFelder)
        if (name == QLatin1String(k.feld)) return &k;
    return nullptr;
}

}  // namespace

void frmMandStamm::KontoSuchen() {
    // The number travels as a parameter. Trailing blanks count on neither side; the range on
    // KontoNr keeps the lookup on the chart's index of year and number.
    const QString nr = ohneBlanksRechts(KontoNrSuche);
    KKData->setDatabaseName(modul().MandDbPfad);
    KKData->setRecordSource(QStringLiteral("SELECT KontoBezeichnung FROM ObjKanzleiKontenstamm WHERE KontoJJ = ? "
                                           "AND KontoNr >= ? AND KontoNr < ? AND rtrim(KontoNr) = ?"),
                            {static_cast<int>(modul().KontoJahr), nr, nr + QLatin1Char('!'), nr});
    KKData->Refresh();
}

void frmMandStamm::KontoFeldFokus() {
    if (const KontoFeld* k = kontoFeld(KontoFeldName)) {
        feld(QLatin1String(k->feld))->setFocus(Qt::OtherFocusReason);
        modul().FehlerFeld = KontoFeldName;
    }
}

void frmMandStamm::KontoFeldLeeren() {
    if (const KontoFeld* k = kontoFeld(KontoFeldName)) {
        feld(QLatin1String(k->feld))->setText(QString());
        qobject_cast<QLabel*>(steuerelement(QLatin1String(k->label)))->setText(QString());
    }
}

void frmMandStamm::KontoUngueltig() {
    if (const KontoFeld* k = kontoFeld(KontoFeldName))
        qobject_cast<QLabel*>(steuerelement(QLatin1String(k->label)))->setText(QStringLiteral("=ungültige Kontonr"));
}

void frmMandStamm::KontoNameZeigen() {
    if (const KontoFeld* k = kontoFeld(KontoFeldName)) {
        const QVariant name = KKData->Recordset()->Fields(QStringLiteral("KontoBezeichnung")).Value();
        qobject_cast<QLabel*>(steuerelement(QLatin1String(k->label)))->setText(QLatin1Char('=') + (istNull(name) ? QString() : name.toString()));
    }
}

void frmMandStamm::SammelkontoPrüfen() {
    Modulzustand& m = modul();
    m.FehlerFlag = true;
    m.FehlerFeld.clear();
    // The whole entry is looked up: a number the chart lacks never passes on its first six characters.
    const QString s = ohneBlanksRechts(KontoNrEingabe);
    if (s.isEmpty() || s == QLatin1String("0") || s == QLatin1String("000")) {
        KontoFeldLeeren();
        m.FehlerFlag = false;
        return;
    }
    // Once the chart could not be read in this attempt, the other fields are not looked up again.
    if (m_kontenstammUnlesbar) {
        m.FehlerFlag = false;
        return;
    }
    KontoNrSuche = s;
    try {
        KontoSuchen();
    } catch (...) {
        // The chart cannot be read (file gone, locked, damaged): reported once, and the entry is
        // no input error of the user's, who can still leave the page and close.
        m_kontenstammUnlesbar = true;
        m.FehlerFlag = false;
        FehlerAufruf(aktuellerFehler());
        return;
    }
    if (KKData->Recordset()->RecordCount() != 0) {
        m.FehlerFlag = false;
        KontoNameZeigen();
        return;
    }
    KontoUngueltig();
    // A field the user cannot change (restricted mode, no row) keeps its number unreported.
    const KontoFeld* k = kontoFeld(KontoFeldName);
    if (k && !bearbeitbar(feld(QLatin1String(k->feld)))) {
        m.FehlerFlag = false;
        return;
    }
    if (!m.FormBereit) return;
    ++m_pruefungLaeuft;
    Meldung(QStringLiteral("Sammelkonto-Nummer nicht im Kontenstamm existent.\r\nAndere Auswahl oder leer einsetzen"));
    --m_pruefungLaeuft;
    if (!SammelpruefungAktiv) KontoFeldFokus();
}

void frmMandStamm::kontoPruefen(const QString& name) {
    KontoNrEingabe = feld(name)->Text();
    KontoFeldName = name;
    SammelkontoPrüfen();
}

void frmMandStamm::AlleKontenPruefen() {
    m_kontenstammUnlesbar = false;
    for (const KontoFeld& k : KontoFelder) kontoPruefen(QLatin1String(k.feld));
}

bool frmMandStamm::KontenDerSeitePruefen() {
    m_kontenstammUnlesbar = false;
    for (const KontoFeld& k : KontoFelder) {
        kontoPruefen(QLatin1String(k.feld));
        if (modul().FehlerFlag) return true;
    }
    return false;
}

void frmMandStamm::kontenVerbinden() {
    for (const KontoFeld& k : KontoFelder) {
        const QString name = QLatin1String(k.feld);
        InputFeld* f = feld(name);
        // Only a field the user entered (mouse, Tab, Shift+Tab, a shortcut) becomes the picker's
        // target; the focus that a page switch or a failed check puts there does not count.
        connect(f, &InputFeld::GotFocus, this, [this, name, f] {
            const Qt::FocusReason grund = f->fokusGrund();
            if (grund == Qt::MouseFocusReason || grund == Qt::TabFocusReason || grund == Qt::BacktabFocusReason ||
                grund == Qt::ShortcutFocusReason)
                AktivesKontoFeld = name;
        });
        connect(f, &InputFeld::LostFocus, this, [this, name] {
            beimVerlassen(name, [this, name] {
                m_kontenstammUnlesbar = false;
                kontoPruefen(name);
            });
        });
    }
    connect(qobject_cast<QPushButton*>(steuerelement(QStringLiteral("cmdKontenAuswahl"))), &QPushButton::clicked, this,
            &frmMandStamm::kontenAuswahl);
}

void frmMandStamm::kontenAuswahl() {
    Modulzustand& m = modul();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m.AufrufProgramm = QStringLiteral("dllSachkontenListe");
    try {
        QString konto;
        {
            // A new picker for each pick, released right after.
            auto picker = komponenteErzeugen(QStringLiteral("dllSachkontenListe"));
            auto* liste = qobject_cast<SachkontenListeSchnittstelle*>(picker.get());
            if (!liste) fehlerWerfen(FehlerNr::KomponenteFehlt, QStringLiteral("dllSachkontenListe"));
            if (m.AufrufInfo.size() < 101) m.AufrufInfo.resize(101);
            m.AufrufInfo[11] = QVariant::fromValue<qint16>(m.KontoJahr);
            QApplication::restoreOverrideCursor();
            liste->KontenAufruf(m.AufrufInfo);
            // Without a window manager the dialog is not made active again by itself.
            activateWindow();
            QApplication::setActiveWindow(this);
            QApplication::setOverrideCursor(Qt::WaitCursor);
            konto = ohneBlanksRechts(liste->GewaehltesKonto());
        }
        if (!konto.isEmpty()) {
            for (const char* name : AuswahlReihenfolge) {
                if (AktivesKontoFeld != QLatin1String(name)) continue;
                KontoNrSuche = konto;
                KontoSuchen();
                const Recordset* rs = KKData->Recordset();
                auto* label = qobject_cast<QLabel*>(steuerelement(QLatin1String(kontoFeld(AktivesKontoFeld)->label)));
                if (rs->RecordCount() > 0) {
                    const QVariant name = KKData->Recordset()->Fields(QStringLiteral("Kontobezeichnung")).Value();
                    label->setText(QStringLiteral("= ") + (istNull(name) ? QString() : name.toString()));
                } else {
                    label->setText(QStringLiteral("=ungültige Kontonr"));
                }
                feld(AktivesKontoFeld)->setzeText(konto);  // a pick is the user's change
                feld(AktivesKontoFeld)->setFocus(Qt::OtherFocusReason);
                break;
            }
        }
    } catch (...) {
        const Fehler f = aktuellerFehler();
        QApplication::restoreOverrideCursor();
        FehlerAufruf(f);
        QApplication::setOverrideCursor(Qt::WaitCursor);
    }
    AktivesKontoFeld.clear();
    QApplication::restoreOverrideCursor();
}
