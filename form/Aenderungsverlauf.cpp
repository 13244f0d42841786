#include "form/Aenderungsverlauf.h"
#include "form/Feldtabelle.h"
#include "form/frmMandStamm.h"
#include "platform/Aenderungsprotokoll.h"
#include "platform/Datenbank.h"
#include "platform/Datenquelle.h"
#include "platform/Fehler.h"

#include <QContextMenuEvent>
#include <QDateTime>
#include <QDialog>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

using namespace xov;

namespace {

// What a field shows the history of.
struct Verlaufsziel {
    QString bezeichnung;   // the field as the user knows it
    QString tabelle;
    QStringList spalten;
    int zeile = -1;        // currency page: the row of the currency; -2: the current row
};

QString text(const QVariant& v) { return v.isNull() || !v.isValid() || v.metaType().id() == QMetaType::Nullptr ? QString() : v.toString(); }

class Verlaufsfenster : public QDialog {
public:
    Verlaufsfenster(frmMandStamm& d, const Verlaufsziel& ziel, int wid) : QDialog(&d) {
        setObjectName(QStringLiteral("frmAenderungsverlauf"));
        setAttribute(Qt::WA_DeleteOnClose);
        setWindowTitle(QStringLiteral("Änderungsverlauf – ") + ziel.bezeichnung);
        auto* layout = new QVBoxLayout(this);
        m_hinweis = new QLabel(this);
        m_hinweis->setObjectName(QStringLiteral("lblVerlaufHinweis"));
        m_tabelle = new QTableWidget(0, 6, this);
        m_tabelle->setObjectName(QStringLiteral("tblVerlauf"));
        m_tabelle->setHorizontalHeaderLabels({QStringLiteral("Wann"), QStringLiteral("Wo"), QStringLiteral("Wer"), QStringLiteral("Was"),
                                              QStringLiteral("Alt"), QStringLiteral("Neu")});
        m_tabelle->setEditTriggers(QAbstractItemView::NoEditTriggers);
        m_tabelle->setSelectionBehavior(QAbstractItemView::SelectRows);
        m_tabelle->verticalHeader()->hide();
        m_tabelle->horizontalHeader()->setStretchLastSection(true);
        auto* knoepfe = new QDialogButtonBox(QDialogButtonBox::Close, this);
        knoepfe->button(QDialogButtonBox::Close)->setText(QStringLiteral("Schließen"));
        connect(knoepfe, &QDialogButtonBox::rejected, this, &QDialog::close);
        layout->addWidget(m_hinweis);
        layout->addWidget(m_tabelle);
        layout->addWidget(knoepfe);
        resize(720, 320);
        try {
            fuellen(ziel.tabelle == QLatin1String("AllgMandDaten") ? *d.MAData : *d.FAData, ziel, wid);
        } catch (const Fehler& f) {
            m_hinweis->setText(QStringLiteral("Der Änderungsverlauf lässt sich nicht lesen (Fehler %1: %2).").arg(f.nummer()).arg(f.beschreibung()));
        }
    }

private:
    // The logged changes of the target, newest first; of a currency row only its own.
    void fuellen(Datenquelle& quelle, const Verlaufsziel& ziel, int wid) {
        auto v = quelle.verbindung();
        if (!protokollVorhanden(*v)) {
            m_hinweis->setText(QStringLiteral("Diese Datenbank hat noch kein Änderungsprotokoll."));
            return;
        }
        QVector<Protokolleintrag> liste;
        for (const QString& s : ziel.spalten) liste += protokollLesen(*v, ziel.tabelle, s);
        if (wid > 0) {
            const QString eigen = QStringLiteral("WID=%1").arg(wid);
            liste.removeIf([&eigen](const Protokolleintrag& e) {
                const QString k = text(e.schluessel);
                return k != eigen && !k.startsWith(eigen + QStringLiteral(", "));
            });
        }
        std::sort(liste.begin(), liste.end(), [](const Protokolleintrag& a, const Protokolleintrag& b) { return a.nr > b.nr; });
        m_hinweis->setText(liste.isEmpty() ? QStringLiteral("Für dieses Feld sind keine Änderungen protokolliert.")
                                           : QStringLiteral("%1, neueste zuerst").arg(liste.size() == 1 ? QStringLiteral("1 Änderung")
                                                                                                          : QStringLiteral("%1 Änderungen").arg(liste.size())));
        m_tabelle->setRowCount(int(liste.size()));
        for (int z = 0; z < liste.size(); ++z) {
            const QStringList zellen = zellenVon(liste.at(z), ziel.spalten.size() > 1);
            for (int s = 0; s < zellen.size(); ++s) {
                auto* zelle = new QTableWidgetItem(zellen.at(s));
                zelle->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);  // read only
                m_tabelle->setItem(z, s, zelle);
            }
        }
        m_tabelle->resizeColumnsToContents();
    }

    // One logged change as its row shows it: when, where, who, what, the old and the new value.
    static QStringList zellenVon(const Protokolleintrag& e, bool mitSpalte) {
        QString wer = text(e.benutzer);
        if (!text(e.rolle).isEmpty()) wer += QStringLiteral(" (") + text(e.rolle) + QLatin1Char(')');
        QString was = text(e.art);
        const QString k = text(e.schluessel);
        const qsizetype tag = k.indexOf(QLatin1String("AenderDatum="));
        if (tag >= 0) {
            const QDate datum = QDate::fromString(k.mid(tag + 12, 10), Qt::ISODate);
            was += QStringLiteral(", Kurs vom ") + (datum.isValid() ? datum.toString(QStringLiteral("dd.MM.yyyy")) : k.mid(tag + 12));
        }
        if (mitSpalte) was += QStringLiteral(", ") + text(e.spalte);
        if (!text(e.bemerkung).isEmpty()) was += QStringLiteral(" (") + text(e.bemerkung) + QLatin1Char(')');
        return {zeitpunktAnzeige(e.zeitpunkt), text(e.arbeitsplatz), wer, was,
                wertAnzeige(e.alterTyp, e.alterWert), wertAnzeige(e.neuerTyp, e.neuerWert)};
    }

    QLabel* m_hinweis = nullptr;
    QTableWidget* m_tabelle = nullptr;
};

// Watches the fields for the context menu and adds the entry to the field's own menu.
class Verlaufsmenue : public QObject {
public:
    explicit Verlaufsmenue(frmMandStamm& d) : QObject(&d), m_d(d) {}
    void anbieten(QWidget* feld, Verlaufsziel ziel) {
        m_ziele.insert(feld, std::move(ziel));
        feld->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* o, QEvent* e) override {
        auto* feld = qobject_cast<QWidget*>(o);
        if (!feld || !m_ziele.contains(feld)) return false;
        if (e->type() == QEvent::KeyPress) {
            const auto* k = static_cast<QKeyEvent*>(e);
            if (k->key() == Qt::Key_Menu || (k->key() == Qt::Key_F10 && k->modifiers() == Qt::ShiftModifier)) {
                m_taste.start();
                const QRect schreibmarke = feld->inputMethodQuery(Qt::ImCursorRectangle).toRect();
                zeigen(feld, feld->mapToGlobal(schreibmarke.isValid() ? schreibmarke.bottomLeft() : feld->rect().center()));
                return true;
            }
        } else if (e->type() == QEvent::ContextMenu) {
            const auto* c = static_cast<QContextMenuEvent*>(e);
            // The platform may follow the menu key with its own event: one menu only.
            if (c->reason() == QContextMenuEvent::Keyboard && m_taste.isValid() && m_taste.elapsed() < 500) return true;
            zeigen(feld, c->globalPos());
            return true;
        }
        return false;
    }

private:
    void zeigen(QWidget* feld, const QPoint& wo) {
        auto* zeile = qobject_cast<QLineEdit*>(feld);
        QMenu* menue = zeile ? zeile->createStandardContextMenu() : new QMenu(feld);
        menue->setAttribute(Qt::WA_DeleteOnClose);
        menue->setObjectName(QStringLiteral("mnuFeld"));
        if (!menue->isEmpty()) menue->addSeparator();
        QAction* verlauf = menue->addAction(QStringLiteral("Änderungsverlauf…"));
        verlauf->setObjectName(QStringLiteral("actAenderungsverlauf"));
        const QPointer<QWidget> ziel(feld);
        connect(verlauf, &QAction::triggered, this, [this, ziel] {
            if (ziel) oeffnen(ziel);
        });
        menue->popup(wo);
    }

    void oeffnen(QWidget* feld) {
        const Verlaufsziel& ziel = m_ziele[feld];
        int wid = 0;
        if (ziel.zeile >= 0) wid = ziel.zeile + 1;
        if (ziel.zeile == -2)
            if (auto* seite = m_d.findChild<QObject*>(QStringLiteral("Waehrungsseite"))) wid = seite->property("aktuelleZeile").toInt() + 1;
        Verlaufsziel z = ziel;
        if (wid > 0) z.bezeichnung += QStringLiteral(" der Währung in Zeile %1").arg(wid);
        auto* fenster = new Verlaufsfenster(m_d, z, wid);
        fenster->show();
        fenster->raise();
        fenster->activateWindow();
    }

    frmMandStamm& m_d;
    QHash<QWidget*, Verlaufsziel> m_ziele;
    QElapsedTimer m_taste;
};

}  // namespace

void aenderungsverlaufAnbieten(frmMandStamm& d, QWidget* seite) {
    // One menu for the dialog, offered in the fields of each page as the page is built.
    auto* menue = static_cast<Verlaufsmenue*>(d.findChild<QObject*>(QStringLiteral("Verlaufsmenue"), Qt::FindDirectChildrenOnly));
    if (!menue) {
        menue = new Verlaufsmenue(d);
        menue->setObjectName(QStringLiteral("Verlaufsmenue"));
    }
    for (const FeldDef& f : feldtabelle()) {
        if (f.spalte.isEmpty()) continue;
        auto* w = seite->findChild<QWidget*>(f.name);
        if (!w) continue;
        QString bezeichnung = beschriftung(f);
        if (bezeichnung.isEmpty()) bezeichnung = f.spalte;
        menue->anbieten(w, {bezeichnung, QStringLiteral("AllgMandDaten"), {f.spalte}});
    }
    const QString waehrung = QStringLiteral("AllgWaehrung");
    for (int i = 0; i < 20; ++i) {
        const QVector<std::pair<QString, Verlaufsziel>> zeile = {
            {QStringLiteral("inpWährungsBezLang(%1)").arg(i), {QStringLiteral("Währungsbezeichnung"), waehrung, {QStringLiteral("WaehrungscodeBezeichnung")}, i}},
            {QStringLiteral("inpWährungsBezKurz(%1)").arg(i), {QStringLiteral("Währungscode"), waehrung, {QStringLiteral("Waehrungscode")}, i}},
            {QStringLiteral("inpLänderKürzel(%1)").arg(i), {QStringLiteral("Länderkürzel"), waehrung, {QStringLiteral("Laenderkennzeichen")}, i}}};
        for (const auto& [name, ziel] : zeile)
            if (auto* w = seite->findChild<QWidget*>(name)) menue->anbieten(w, ziel);
    }
    const QStringList kurse = {QStringLiteral("EuroinFremd"), QStringLiteral("FremdinEuro")};
    for (const auto& [name, ziel] : QVector<std::pair<const char*, Verlaufsziel>>{
             {"inpWährungsDatum", {QStringLiteral("Kurse"), waehrung, kurse, -2}},
             {"inpEuroinFremd", {QStringLiteral("Kurs 1 EUR in Fremdwährung"), waehrung, {kurse.at(0)}, -2}},
             {"inpFremdinEuro", {QStringLiteral("Kurs 1 Fremdwährungseinheit in EUR"), waehrung, {kurse.at(1)}, -2}},
             {"TDBGridWährung", {QStringLiteral("Kurse"), waehrung, kurse, -2}}})
        if (auto* w = seite->findChild<QWidget*>(QString::fromUtf8(name))) menue->anbieten(w, ziel);
}
