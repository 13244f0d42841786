// Building the dialog from the field table, and binding its fields to MAData.

#include "form/frmMandStamm.h"
#include "component/Modul.h"
#include "currency/Waehrungsseite.h"
#include "form/Feldtabelle.h"
#include "form/InputFeld.h"
#include "form/InputFeldMehrzeilig.h"
#include "form/TabStrip.h"
#include "platform/Datenquelle.h"
#include "platform/Fehler.h"
#include "platform/Variant.h"
#include "services/Fehlerbericht.h"

#include <QCheckBox>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QStackedWidget>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QTableView>
#include <QVBoxLayout>

using namespace xov;

// The dialog keeps the proportions of its design (11030 x 7805 twips) at a size that gives
// every row of the longest page room: 15 twips a pixel, enlarged by 1.35.
int frmMandStamm::twipsNachPixel(int t) { return qRound(t / 15.0 * 1.35); }

namespace {
int twips(int t) { return frmMandStamm::twipsNachPixel(t); }

// A field is as wide as the text it may hold up to its limit, so that nothing it holds is cut
// and the eye finds short fields short. A digit is a little wider than the average letter of
// mixed text; numbers gain room for their thousands points; a field of several lines holds its
// share of the limit per line with room for breaking at word ends.
void breiteSetzen(QLineEdit* e, const FeldDef& f) {
    int zeichen = static_cast<int>(f.maxwert);
    if (f.art == Art::Eingabe && f.feldtype == InputFeld::Zahl && !f.keintausendpkt) zeichen += zeichen / 3;
    zeichen = f.zeilen > 1 ? (zeichen + f.zeilen - 1) / f.zeilen + 6 : zeichen + 2;
    const QMargins rand = e->textMargins();
    QStyleOptionFrame option;
    option.initFrom(e);
    option.lineWidth = e->hasFrame() ? e->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, e) : 0;
    const int text = e->fontMetrics().horizontalAdvance(QString(zeichen, QLatin1Char('0'))) + 2 * 2 + rand.left() + rand.right();
    e->setFixedWidth(e->style()->sizeFromContents(QStyle::CT_LineEdit, &option, QSize(text, e->sizeHint().height()), e).width());
}
// A field without the focus shows the beginning of its text, as it is read: after loading, after
// a program wrote it, and after the user left it. A message box or a context menu taking the
// focus for a moment leaves the cursor where the user had it.
class AnfangZeigen : public QObject {
public:
    explicit AnfangZeigen(QLineEdit* e) : QObject(e) {
        e->installEventFilter(this);
        connect(e, &QLineEdit::textChanged, this, [e] {
            if (!e->hasFocus()) e->setCursorPosition(0);
        });
    }
    bool eventFilter(QObject* o, QEvent* ereignis) override {
        if (ereignis->type() == QEvent::FocusOut) {
            const auto grund = static_cast<QFocusEvent*>(ereignis)->reason();
            if (grund != Qt::ActiveWindowFocusReason && grund != Qt::PopupFocusReason) static_cast<QLineEdit*>(o)->setCursorPosition(0);
        }
        return false;
    }
};

}  // namespace

DbListe::DbListe(QWidget* parent) : QComboBox(parent) {
    connect(this, &QComboBox::activated, this, [this](int i) {
        if (itemData(i) != m_wert) m_geaendert = true;
        m_wert = itemData(i);
    });
}

void DbListe::zeilenLaden(Datenquelle* quelle, const QString& anzeige, const QString& gebunden) {
    clear();
    const Recordset* rs = quelle->Recordset();
    const int a = rs->spalteVon(anzeige), g = rs->spalteVon(gebunden);
    if (a < 0) fehlerWerfen(FehlerNr::SpalteFehlt, anzeige);
    if (g < 0) fehlerWerfen(FehlerNr::SpalteFehlt, gebunden);
    for (int z = 0; z < rs->RecordCount(); ++z)
        addItem(rs->data(rs->index(z, a), Qt::EditRole).toString(), rs->data(rs->index(z, g), Qt::EditRole));
    auswaehlen();
}

void DbListe::wertAnzeigen(const QVariant& wert) {
    m_wert = istNull(wert) ? QVariant() : wert;
    m_geaendert = false;
    auswaehlen();
}

void DbListe::auswaehlen() {
    int treffer = -1;
    for (int i = 0; m_wert.isValid() && i < count(); ++i)
        if (itemData(i).toLongLong() == m_wert.toLongLong()) treffer = i;
    setCurrentIndex(treffer);
}

frmMandStamm::frmMandStamm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmMandStamm"));
    setWindowTitle(QStringLiteral("Mandanten-Stammdaten"));
    // Form initialisation, once per form object.
    modul().KomponentenName = QStringLiteral("xovMandStamm");
    aufbauen();
    binden();
    m_waehrungsseite = new Waehrungsseite(
        Frame1[7], cmdNeuerKurs, FAData,
        {[] { return modul().Eingeschraenkt; }, [] { return modul().TabStripNr == 7; }, [] { return modul().FormBereit; },
         [](const Fehler& f) {
             modul().KomponentenName = QStringLiteral("XovMandStamm, Fremdwährung");
             FehlerAufruf(f);
         }},
        this);
}

frmMandStamm::~frmMandStamm() = default;

InputFeld* frmMandStamm::feld(const QString& name) const { return qobject_cast<InputFeld*>(m_steuer.value(name)); }
QComboBox* frmMandStamm::liste(const QString& name) const { return qobject_cast<QComboBox*>(m_steuer.value(name)); }

void frmMandStamm::aufbauen() {
    auto* fraDataFrame = new QFrame(this);
    fraDataFrame->setObjectName(QStringLiteral("fraDataFrame"));
    fraDataFrame->setWindowTitle(QStringLiteral("DataFrame"));
    fraDataFrame->hide();
    MAData = new Datenquelle(QStringLiteral("MAData"), fraDataFrame);
    FAData = new Datenquelle(QStringLiteral("FAData"), fraDataFrame);
    KKData = new Datenquelle(QStringLiteral("KKData"), fraDataFrame);
    KKData->setDatabaseName(QStringLiteral("KKDATA"));

    auto* haupt = new QVBoxLayout(this);
    haupt->setContentsMargins(twips(120), twips(300) / 3, twips(120), twips(120) / 2);
    haupt->setSpacing(0);
    TabStrip1 = new TabStrip(this);
    haupt->addWidget(TabStrip1);
    m_seiten = new QStackedWidget(this);
    m_seiten->setObjectName(QStringLiteral("TabStrip1Flaeche"));
    m_seiten->setFrameShape(QFrame::StyledPanel);
    haupt->addWidget(m_seiten, 1);

    QVector<QGridLayout*> seitenRaster(9, nullptr);
    for (int i = 0; i < 8; ++i) {
        auto* frame = new QFrame(m_seiten);
        frame->setObjectName(QStringLiteral("Frame1(%1)").arg(i));
        auto* raster = new QGridLayout(frame);
        raster->setVerticalSpacing(i == 4 || i == 6 || i == 7 ? 1 : 6);
        seitenRaster[i + 1] = raster;
        Frame1[i] = frame;
        m_seiten->addWidget(frame);
    }

    // Frames inside the pages.
    QHash<QString, QGridLayout*> rahmenRaster;
    for (const RahmenDef& r : rahmentabelle()) {
        QWidget* eltern = r.eltern.isEmpty() ? Frame1[r.seite - 1] : m_steuer.value(r.eltern);
        QWidget* box = r.rahmenlos ? new QWidget(eltern) : new QGroupBox(r.titel, eltern);
        box->setObjectName(r.name);
        auto* raster = new QGridLayout(box);
        if (r.rahmenlos) raster->setContentsMargins(0, 0, 0, 0);
        raster->setVerticalSpacing(r.name == QLatin1String("fraWaehrungen") ? 1 : 4);
        rahmenRaster.insert(r.name, raster);
        QGridLayout* ziel = r.eltern.isEmpty() ? seitenRaster[r.seite] : rahmenRaster.value(r.eltern);
        ziel->addWidget(box, r.zeile, r.paar * 2, r.zeilen, r.paare * 2);
        if (!r.sichtbar) box->hide();
        m_steuer.insert(r.name, box);
    }

    QHash<int, QWidget*> letztesJeSeite;
    for (const FeldDef& f : feldtabelle()) {
        QWidget* eltern = f.rahmen.isEmpty() ? Frame1[f.seite - 1] : m_steuer.value(f.rahmen);
        QGridLayout* raster = f.rahmen.isEmpty() ? seitenRaster[f.seite] : rahmenRaster.value(f.rahmen);
        QWidget* w = nullptr;
        QWidget* platz = nullptr;  // what the layout holds, when not the control itself
        switch (f.art) {
        case Art::Eingabe: {
            auto* e = f.zeilen > 1 ? new InputFeldMehrzeilig(f.zeilen, eltern) : new InputFeld(eltern);
            e->einstellen(f.feldtype, f.maxwert, f.anzdezimalen, f.keinminus, f.keintausendpkt);
            e->setText(f.text);
            breiteSetzen(e, f);
            new AnfangZeigen(e);
            w = e;
            break;
        }
        case Art::Textfeld: {
            auto* e = new QLineEdit(eltern);
            e->setMaxLength(static_cast<int>(f.maxwert));
            e->setText(f.text);
            breiteSetzen(e, f);
            new AnfangZeigen(e);
            w = e;
            break;
        }
        case Art::Liste: w = new QComboBox(eltern); break;
        case Art::DbListe: {
            cmbFaNr = new DbListe(eltern);
            cmbFaNr->setPlaceholderText(f.text);
            w = cmbFaNr;
            break;
        }
        case Art::Anzeige:
        case Art::Beschriftung: w = new QLabel(f.text, eltern); break;
        case Art::Kontrollkaestchen: w = new QCheckBox(f.text, eltern); break;
        case Art::Knopf: {
            auto* k = new QPushButton(f.text, eltern);
            k->setAutoDefault(false);
            w = k;
            break;
        }
        case Art::Raster: {
            // The grid with its caption above it.
            platz = new QWidget(eltern);
            auto* spalte = new QVBoxLayout(platz);
            spalte->setContentsMargins(0, 0, 0, 0);
            auto* titel = new QLabel(f.text, platz);
            titel->setObjectName(f.name + QStringLiteral("_Titel"));
            spalte->addWidget(titel);
            auto* t = new QTableView(platz);
            spalte->addWidget(t, 1);
            t->setSelectionBehavior(QAbstractItemView::SelectRows);
            t->setSelectionMode(QAbstractItemView::SingleSelection);
            t->setEditTriggers(QAbstractItemView::NoEditTriggers);
            t->verticalHeader()->hide();
            t->setToolTip(f.text);
            w = t;
            break;
        }
        }
        w->setObjectName(f.name);
        m_steuer.insert(f.name, w);
        m_seiteVon.insert(f.name, f.seite);
        if (!f.sichtbar) w->hide();
        if (!f.aktiv) w->setEnabled(false);

        if (f.art == Art::Beschriftung && !f.label.isEmpty()) {
            static_cast<QLabel*>(w)->setText(f.label);
            raster->addWidget(w, f.zeile, f.paar * 2);
            continue;
        }
        if (!f.label.isEmpty() && f.sichtbar) {
            auto* l = new QLabel(f.label, eltern);
            l->setObjectName(QStringLiteral("lbl_") + f.name);
            l->setBuddy(w);
            raster->addWidget(l, f.zeile, f.paar * 2, Qt::AlignRight | Qt::AlignVCenter);
        } else if (!f.label.isEmpty()) {
            auto* l = new QLabel(f.label, eltern);
            l->setObjectName(QStringLiteral("lbl_") + f.name);
            l->hide();
        }
        if (f.sichtbar) raster->addWidget(platz ? platz : w, f.zeile, f.paar * 2 + 1, 1, f.spannweite * 2 - 1);
        // Design keyboard order: the table's order within each page.
        const bool nimmtFokus = f.art != Art::Anzeige && f.art != Art::Beschriftung;
        if (nimmtFokus) {
            if (QWidget* vorher = letztesJeSeite.value(f.seite)) QWidget::setTabOrder(vorher, w);
            letztesJeSeite.insert(f.seite, w);
        }
    }
    // Spare room goes below and to the right of a page's fields, so that they stay together.
    for (int s = 1; s <= 7; ++s) {
        QGridLayout* r = seitenRaster[s];
        r->setRowStretch(r->rowCount(), 1);
        r->setColumnStretch(r->columnCount(), 1);
    }
    seitenRaster[8]->setRowStretch(seitenRaster[8]->rowCount(), 1);
    for (const RahmenDef& r : rahmentabelle()) {
        if (r.rahmenlos) rahmenRaster.value(r.name)->setRowStretch(rahmenRaster.value(r.name)->rowCount(), 1);
        for (int c = 1; c < rahmenRaster.value(r.name)->columnCount(); c += 2) rahmenRaster.value(r.name)->setColumnStretch(c, 1);
    }
    seitenRaster[8]->setColumnStretch(1, 0);
    seitenRaster[8]->setColumnStretch(3, 2);

    // Below the pages: help and the month status on the left, and the strip fraUntererTeil with
    // the buttons on the right. Only the strip is hidden in currency start mode.
    auto* unten = new QHBoxLayout;
    unten->setContentsMargins(0, twips(90), 0, 0);
    cmdHilfe = new QPushButton(QStringLiteral("?"), this);
    cmdHilfe->setObjectName(QStringLiteral("cmdHilfe"));
    cmdHilfe->setFocusPolicy(Qt::NoFocus);  // help is about the field the user is in
    cmdHilfe->setFixedWidth(twips(400));
    lblAuswahlMonStatusText = new QLabel(QStringLiteral("MonatsStatus:"), this);
    lblAuswahlMonStatusText->setObjectName(QStringLiteral("lblAuswahlMonStatusText"));
    lblAuswahlMonStatus = new QLabel(QStringLiteral("#"), this);
    lblAuswahlMonStatus->setObjectName(QStringLiteral("lblAuswahlMonStatus"));
    fraUntererTeil = new QFrame(this);
    fraUntererTeil->setObjectName(QStringLiteral("fraUntererTeil"));
    auto* knoepfe = new QHBoxLayout(fraUntererTeil);
    knoepfe->setContentsMargins(0, 0, 0, 0);
    cmdNeuerKurs = new QPushButton(QStringLiteral("Neuer Kurs"), fraUntererTeil);
    cmdNeuerKurs->setObjectName(QStringLiteral("cmdNeuerKurs"));
    cmdNeuerKurs->hide();
    cmdBeenden = new QPushButton(QStringLiteral("Beenden"), fraUntererTeil);
    cmdBeenden->setObjectName(QStringLiteral("cmdBeenden"));
    for (QPushButton* k : {cmdHilfe, cmdNeuerKurs, cmdBeenden}) k->setAutoDefault(false);
    unten->addWidget(cmdHilfe);
    unten->addSpacing(twips(120));
    unten->addWidget(lblAuswahlMonStatusText);
    unten->addWidget(lblAuswahlMonStatus);
    unten->addStretch(1);
    knoepfe->addWidget(cmdNeuerKurs);
    knoepfe->addWidget(cmdBeenden);
    unten->addWidget(fraUntererTeil);
    haupt->addLayout(unten);
    for (auto* w : std::initializer_list<QWidget*>{fraUntererTeil, cmdNeuerKurs, cmdBeenden, cmdHilfe, lblAuswahlMonStatusText,
                                                   lblAuswahlMonStatus, TabStrip1})
        m_steuer.insert(w->objectName(), w);
    for (int i = 0; i < 8; ++i) m_steuer.insert(Frame1[i]->objectName(), Frame1[i]);

    connect(cmdBeenden, &QPushButton::clicked, this, &QWidget::close);
    connect(cmdHilfe, &QPushButton::clicked, this, [this] {
        HilfeKontext();
        if (HilfeAufrufChk()) hilfeOeffnen();
    });
    auto* f1 = new QShortcut(QKeySequence(Qt::Key_F1), this);
    connect(f1, &QShortcut::activated, this, [this] {
        HilfeKontext();
        if (HilfeAufrufChk()) hilfeOeffnen();
    });
    const std::pair<QKeySequence, int> blaettern[] = {{QKeySequence(Qt::CTRL | Qt::Key_Tab), 1},
                                                      {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab), -1},
                                                      {QKeySequence(Qt::CTRL | Qt::Key_Backtab), -1},
                                                      {QKeySequence(Qt::CTRL | Qt::Key_PageDown), 1},
                                                      {QKeySequence(Qt::CTRL | Qt::Key_PageUp), -1}};
    for (const auto& [taste, schritt] : blaettern) {
        auto* k = new QShortcut(taste, this);
        connect(k, &QShortcut::activated, this, [this, s = schritt] { TabStrip1->blaettern(s); });
    }
    TabStrip1->nachWechsel = [this] { nachSeitenwechsel(); };
    TabStrip1->vorWechsel = [this] {
        Fehlerprüfungen_0();
        return modul().FehlerFlag;
    };

    listenVerbinden();
    pruefungenVerbinden();
    kontenVerbinden();
    MAData->beiValidate = [this](int& aktion, bool&) {
        const Recordset* rs = MAData->Recordset();
        if (rs->Eof() || rs->Bof() || m_geradeGeprueft) return;
        Fehlerprüfungen_0();
        if (modul().FehlerFlag) aktion = Datenquelle::Abbrechen;
    };
    MAData->beiReposition = [this] {
        const Recordset* rs = MAData->Recordset();
        if (!rs->Eof() && !rs->Bof() && TabStrip1->aktuelleSeite() == 1) VoranmPeriodeAbgleichen();
    };
    resize(twips(11030), twips(7805));
}

void frmMandStamm::binden() {
    for (const FeldDef& f : feldtabelle()) {
        if (f.spalte.isEmpty()) continue;
        QWidget* w = m_steuer.value(f.name);
        Bindung b;
        b.spalte = f.spalte;
        if (auto* e = qobject_cast<InputFeld*>(w)) {
            b.anzeigen = [e](const QVariant& v) { e->spaltenwertAnzeigen(v); };
            b.wert = [e] { return e->spaltenwert(); };
            b.geaendert = [e] { return e->geaendert(); };
        } else if (auto* l = qobject_cast<QLabel*>(w)) {
            b.anzeigen = [l](const QVariant& v) { l->setText(istNull(v) ? QString() : alsText(v)); };
        } else if (w == cmbFaNr) {
            b.anzeigen = [this](const QVariant& v) { cmbFaNr->wertAnzeigen(v); };
            b.wert = [this] { return cmbFaNr->wert().isValid() ? cmbFaNr->wert() : nullWert(); };
            b.geaendert = [this] { return cmbFaNr->geaendert(); };
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
        // "MaData" and "MAData" name the same source.
        if (f.quelle.compare(MAData->objectName(), Qt::CaseInsensitive) == 0) MAData->binden(b);
    }
}
