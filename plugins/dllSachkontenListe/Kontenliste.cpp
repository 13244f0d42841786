// dllSachkontenListe: the suite's account picker. A modal German list of the chart of accounts
// of one year, number and name, filtered by number or name as the user types; Enter or a double
// click chooses, Escape chooses none.

#include "platform/Verbindungsangabe.h"
#include "platform/Datenbank.h"
#include "platform/Fehler.h"
#include "platform/Schnittstellen.h"
#include "platform/Recordset.h"
#include "platform/Variant.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QVBoxLayout>

namespace {

// The accounts as a list of whole rows, one chosen at a time, read-only.
QTableView* tabelleBauen(QWidget* fenster, QAbstractItemModel* modell) {
    auto* tabelle = new QTableView(fenster);
    tabelle->setObjectName(QStringLiteral("tblKonten"));
    tabelle->setModel(modell);
    tabelle->setSelectionBehavior(QAbstractItemView::SelectRows);
    tabelle->setSelectionMode(QAbstractItemView::SingleSelection);
    tabelle->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tabelle->verticalHeader()->hide();
    tabelle->verticalHeader()->setDefaultSectionSize(tabelle->fontMetrics().height() + 6);
    tabelle->horizontalHeader()->setStretchLastSection(true);
    tabelle->setColumnWidth(0, 110);
    return tabelle;
}

// Enter in the list chooses, arrow keys in the search box move through the list.
struct Tasten : QObject {
    QTableView* tabelle = nullptr;
    std::function<void()> waehlen;
    bool eventFilter(QObject* o, QEvent* e) override {
        if (e->type() != QEvent::KeyPress) return false;
        const int t = static_cast<QKeyEvent*>(e)->key();
        if (t == Qt::Key_Return || t == Qt::Key_Enter) {
            waehlen();
            return true;
        }
        if (o != tabelle && (t == Qt::Key_Down || t == Qt::Key_Up || t == Qt::Key_PageDown || t == Qt::Key_PageUp)) {
            QApplication::sendEvent(tabelle, e);
            return true;
        }
        return false;
    }
};

class Kontenliste : public QObject, public xov::SachkontenListeSchnittstelle {
    Q_OBJECT
    Q_INTERFACES(xov::SachkontenListeSchnittstelle)
public:
    QString GewaehltesKonto() const override { return m_konto; }

    void KontenAufruf(QVariantList& info) override {
        m_konto.clear();
        const QString pfad = xov::alsText(info.value(0));
        const int jahr = xov::alsInt16(info.value(11));
        auto verbindung = xov::verbindungOeffnen(pfad, xov::DbPasswort);
        xov::Recordset konten(verbindung, verbindung->abfragen(QStringLiteral(
            "SELECT KontoNr, KontoBezeichnung FROM ObjKanzleiKontenstamm WHERE KontoJJ = ? ORDER BY KontoNr"), {jahr}));

        QDialog fenster(QApplication::activeModalWidget() ? QApplication::activeModalWidget() : QApplication::activeWindow());
        fenster.setObjectName(QStringLiteral("dllSachkontenListe"));
        fenster.setWindowTitle(QStringLiteral("Sachkonten %1").arg(jahr));
        auto* layout = new QVBoxLayout(&fenster);
        auto* hinweis = new QLabel(QStringLiteral("&Suchen nach Kontonummer oder Bezeichnung:"), &fenster);
        auto* suche = new QLineEdit(&fenster);
        suche->setObjectName(QStringLiteral("txtSuche"));
        suche->setClearButtonEnabled(true);
        hinweis->setBuddy(suche);
        layout->addWidget(hinweis);
        layout->addWidget(suche);

        QSortFilterProxyModel filter;
        filter.setSourceModel(&konten);
        filter.setFilterKeyColumn(-1);  // number or name
        filter.setFilterCaseSensitivity(Qt::CaseInsensitive);
        auto* tabelle = tabelleBauen(&fenster, &filter);
        layout->addWidget(tabelle, 1);
        auto* knoepfe = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &fenster);
        knoepfe->button(QDialogButtonBox::Ok)->setText(QStringLiteral("Übernehmen"));
        layout->addWidget(knoepfe);
        auto waehlen = [&] {
            const QModelIndex i = tabelle->currentIndex();
            if (!i.isValid()) return;
            m_konto = filter.data(filter.index(i.row(), 0), Qt::EditRole).toString();
            fenster.accept();
        };
        QObject::connect(suche, &QLineEdit::textChanged, &fenster, [&](const QString& t) {
            filter.setFilterFixedString(t);
            if (filter.rowCount() > 0) tabelle->setCurrentIndex(filter.index(0, 0));
        });
        QObject::connect(suche, &QLineEdit::returnPressed, &fenster, waehlen);
        QObject::connect(tabelle, &QTableView::doubleClicked, &fenster, waehlen);
        QObject::connect(knoepfe, &QDialogButtonBox::accepted, &fenster, waehlen);
        QObject::connect(knoepfe, &QDialogButtonBox::rejected, &fenster, &QDialog::reject);
        Tasten tasten;
        tasten.tabelle = tabelle;
        tasten.waehlen = waehlen;
        suche->installEventFilter(&tasten);
        tabelle->installEventFilter(&tasten);
        if (filter.rowCount() > 0) tabelle->setCurrentIndex(filter.index(0, 0));
        fenster.resize(460, 520);
        suche->setFocus();
        fenster.exec();
        suche->removeEventFilter(&tasten);
        tabelle->removeEventFilter(&tasten);
    }

private:
    QString m_konto;
};

class KontenlisteFabrik : public QObject, public xov::KomponentenFabrik {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID XovKomponentenFabrik_iid FILE "dllSachkontenListe.json")
    Q_INTERFACES(xov::KomponentenFabrik)
public:
    QObject* erzeugen(const QString&) override { return new Kontenliste; }
};

}  // namespace

#include "Kontenliste.moc"
