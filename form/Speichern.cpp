// Writing the client row when the dialog closes. The row is written against the values this
// dialog read; when another workstation changed it meanwhile, the fields only the other changed
// take the other's values, the fields only this user changed keep the user's, and for fields both
// changed the user decides. Nothing typed is dropped without the user choosing it.

#include "form/Abgleich.h"
#include "form/DbListe.h"
#include "form/Feldtabelle.h"
#include "form/Seite.h"
#include "form/frmMandStamm.h"
#include "platform/Aenderungsprotokoll.h"
#include "platform/Datenquelle.h"
#include "platform/Fehler.h"
#include "platform/Meldung.h"
#include "platform/Variant.h"

#include <QCloseEvent>
#include <QScopedValueRollback>
#include <set>

using namespace xov;

namespace {

const QString CrLf = QStringLiteral("\r\n");

// The number a line of a numbered list carries as its label; "" for any other label.
QString zeilennummer(const FeldDef& f) {
    const QString t = f.label.trimmed().remove(QLatin1Char(':')).trimmed();
    bool ok = false;
    t.toInt(&ok);
    return ok ? t : QString();
}

// The field's name as the user reads it on the page.
QString bezeichnung(const FeldDef& f) {
    if (f.art == Art::Code)
        if (const FeldDef* l = listeZumCodefeld(f.name)) return bezeichnung(*l);
    if (const QString b = beschriftung(f); !b.isEmpty()) return b;
    // A line of a numbered list (salutations, index designations): page, number and column head.
    const SeitenDef& seite = seitentabelle(f.seite);
    QString nummer = zeilennummer(f), kopf;
    for (const FeldDef& g : seite.felder) {
        if (g.zeile == f.zeile && g.paar == 0 && !zeilennummer(g).isEmpty()) nummer = zeilennummer(g);
        if (g.art == Art::Beschriftung && g.zeile == 0 && g.paar == f.paar && !g.text.isEmpty()) kopf = g.text;
    }
    if (nummer.isEmpty()) return f.spalte;
    return seite.titel + QLatin1Char(' ') + nummer + (kopf.isEmpty() ? QString() : QStringLiteral(", ") + kopf);
}

// The value as the field shows it, in double quotes; "(leer)" for none.
QString wertText(const frmMandStamm& d, const FeldDef& f, const QVariant& v) {
    if (istNull(v) || istLeer(v) || v.toString().isEmpty()) return QStringLiteral("(leer)");
    QString t = v.toString();
    bool zahl = false;
    const double x = v.toDouble(&zahl);
    if (f.art == Art::Code) {
        const FeldDef* l = listeZumCodefeld(f.name);
        if (l && zahl && x >= 0 && x < l->eintraege.size() && x == static_cast<int>(x)) t = l->eintraege.at(static_cast<int>(x));
    } else if (f.art == Art::DbListe) {
        for (int i = 0; i < d.cmbFaNr->count(); ++i)
            if (abgleich::gleicherWert(d.cmbFaNr->itemData(i), v)) t = d.cmbFaNr->itemText(i);
    } else if (v.typeId() == QMetaType::QDate) {
        t = datumAlsText(v.toDate());
    } else if (zahl && v.typeId() != QMetaType::QString) {
        if (f.art == Art::Betrag) t = deutsch().toString(x, 'f', 2);
        else if (f.art == Art::Kurs) t = deutsch().toString(x, 'f', f.dezimalen);
        else if (x == static_cast<double>(static_cast<qlonglong>(x))) t = QString::number(static_cast<qlonglong>(x));
        else t = deutsch().toString(x, 'g', 15);
    }
    return QLatin1Char('"') + t + QLatin1Char('"');
}

}  // namespace

void frmMandStamm::closeEvent(QCloseEvent* e) {
    if (m_entladen) {
        e->accept();
        return;
    }
    if (Form_QueryUnload()) {
        e->ignore();
        return;
    }
    // Write the edited row. When that fails (locked by another workstation, disk full, file
    // gone) the user hears of it and the dialog stays open with everything typed.
    // The checks of the page have just passed: the row's validation need not repeat them (and a
    // chart that cannot be read is reported once per closing attempt, not twice).
    try {
        const QScopedValueRollback<bool> geprueft(m_geradeGeprueft, true);
        if (!zeileSpeichern()) {
            e->ignore();
            return;
        }
    } catch (...) {
        fehlerMelden(QStringLiteral("xovMandStamm, beim Speichern der Mandanten-Stammdaten"));
        e->ignore();
        return;
    }
    m_entladen = true;
    e->accept();
    QDialog::done(QDialog::Rejected);
}

bool frmMandStamm::zeileSpeichern() {
    // Each round writes, or reads what the other workstation stored and settles with the user;
    // a change made while the user decides is found by the next round's write.
    for (int runde = 0;; ++runde) {
        try {
            Zeilenprotokoll protokoll(*MAData, QStringLiteral("AllgMandDaten"));  // the write and its log entries: all or nothing
            const bool geschrieben = MAData->zeileSchreiben(Datenquelle::Schliessen);
            protokoll.abschliessen();
            return geschrieben;
        } catch (const Fehler& f) {
            if (f.nummer() != FehlerNr::DatensatzGeaendert || runde >= 20) throw;
        }
        if (!zeileAbgleichen()) return false;
    }
}

bool frmMandStamm::zeileAbgleichen() {
    Recordset* rs = MAData->Recordset();
    const QVector<QVariant> gespeichert = MAData->zeileNeuLesen();
    QVector<QVariant> geladen;
    for (const QString& s : rs->spalten()) geladen << rs->Fields(s).Value();
    // Stored exactly as read, yet not writable: no other workstation to settle with.
    if (gespeichert == geladen) fehlerWerfen(FehlerNr::DatensatzGeaendert, QStringLiteral("AllgMandDaten"));
    const abgleich::Ergebnis e = abgleich::vergleichen(rs->spalten(), geladen, gespeichert, MAData->ausstehendeWerte());

    // Columns without a field on the pages take the stored value without a word.
    QStringList beide, fremde;
    for (const abgleich::Spalte& s : e.beide)
        if (const FeldDef* f = felddefZurSpalte(s.name))
            beide << bezeichnung(*f) + QStringLiteral(": anderer Arbeitsplatz ") + wertText(*this, *f, s.anderer) +
                         QStringLiteral(", Ihre Eingabe ") + wertText(*this, *f, s.eigener);
    for (const abgleich::Spalte& s : e.fremde)
        if (const FeldDef* f = felddefZurSpalte(s.name)) fremde << bezeichnung(*f) + QStringLiteral(": ") + wertText(*this, *f, s.anderer);

    QString text = QStringLiteral("Die Mandanten-Stammdaten wurden inzwischen an einem anderen Arbeitsplatz geändert.") + CrLf;
    if (!beide.isEmpty()) text += CrLf + QStringLiteral("An beiden Arbeitsplätzen geändert:") + CrLf + beide.join(CrLf) + CrLf;
    if (!fremde.isEmpty())
        text += CrLf + QStringLiteral("Nur am anderen Arbeitsplatz geändert (wird übernommen):") + CrLf + fremde.join(CrLf) + CrLf;
    bool eigeneBehalten = true;
    if (!beide.isEmpty()) {
        if (!e.eigene.isEmpty()) text += CrLf + QStringLiteral("Ihre übrigen Eingaben werden gespeichert.") + CrLf;
        text += CrLf + QStringLiteral("Wollen Sie in den an beiden Arbeitsplätzen geänderten Feldern Ihre Eingaben speichern?") + CrLf +
                QStringLiteral("Ja: Ihre Eingaben speichern") + CrLf +
                QStringLiteral("Nein: die Werte des anderen Arbeitsplatzes übernehmen") + CrLf +
                QStringLiteral("Abbrechen: nichts speichern und weiter bearbeiten");
        const int antwort = Meldung(text, Stil::JaNeinAbbrechen + Stil::Frage);
        if (antwort != Antwort::Ja && antwort != Antwort::Nein) return false;
        eigeneBehalten = antwort == Antwort::Ja;
    } else if (!fremde.isEmpty()) {
        if (!e.eigene.isEmpty()) text += CrLf + QStringLiteral("Ihre Eingaben werden gespeichert.");
        Meldung(text, Stil::Information);
    }

    // The next write is checked against the row as now stored; the fields whose stored value wins show it.
    QStringList zeigen;
    for (const abgleich::Spalte& s : e.fremde) zeigen << s.name;
    if (!eigeneBehalten)
        for (const abgleich::Spalte& s : e.beide) zeigen << s.name;
    MAData->zeileUebernehmen(gespeichert, zeigen);
    // A list shows the code its hidden field now holds.
    std::set<int> seiten;
    for (const QString& s : std::as_const(zeigen))
        if (const FeldDef* f = felddefZurSpalte(s); f && f->art == Art::Code) seiten.insert(f->seite);
    for (int n : seiten)
        if (seiteGebaut(n)) seite(n)->listenAbgleichen();  // a page not built sets its lists when shown
    return true;
}
