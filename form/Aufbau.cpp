// Building the dialog from the pages' tables: frames, controls, labels, widths and the design
// keyboard order (a page's controls when the page is built); the strip below the pages; the keys
// of the dialog.

#include "form/DbListe.h"
#include "form/Seite.h"
#include "form/Steuerelemente.h"
#include "form/TabStrip.h"
#include "form/Zugangsnamen.h"
#include "form/frmMandStamm.h"
#include "platform/Datenquelle.h"
#include "services/Aufruf.h"
#include "services/Fehlerbericht.h"

#include <QGridLayout>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QStackedWidget>
#include <QVBoxLayout>

using namespace xov;

// The dialog keeps the proportions of its design (11030 x 7805 twips) at a size that gives
// every row of the longest page room: 15 twips a pixel, enlarged by 1.35.
int frmMandStamm::twipsNachPixel(int t) { return qRound(t / 15.0 * 1.35); }

namespace {
int twips(int t) { return frmMandStamm::twipsNachPixel(t); }

// The frames inside a page, each with its grid, registered by name.
QHash<QString, QGridLayout*> rahmenAufbauen(const SeitenDef& s, QFrame* frame, QGridLayout* seitenRaster,
                                            QHash<QString, QWidget*>& steuer) {
    QHash<QString, QGridLayout*> rahmenRaster;
    for (const RahmenDef& r : s.rahmen) {
        QWidget* eltern = r.eltern.isEmpty() ? frame : steuer.value(r.eltern);
        QWidget* box = r.rahmenlos ? new QWidget(eltern) : new QGroupBox(r.titel, eltern);
        box->setObjectName(r.name);
        auto* raster = new QGridLayout(box);
        if (r.rahmenlos) raster->setContentsMargins(0, 0, 0, 0);
        raster->setVerticalSpacing(r.zeilenabstand);
        rahmenRaster.insert(r.name, raster);
        QGridLayout* ziel = r.eltern.isEmpty() ? seitenRaster : rahmenRaster.value(r.eltern);
        ziel->addWidget(box, r.zeile, r.paar * 2, r.zeilen, r.paare * 2);
        if (!r.sichtbar) box->hide();
        steuer.insert(r.name, box);
    }
    return rahmenRaster;
}

// Spare room goes below and to the right of a page's fields, so that they stay together.
void dehnungSetzen(const SeitenDef& s, QGridLayout* seitenRaster, const QHash<QString, QGridLayout*>& rahmenRaster) {
    seitenRaster->setRowStretch(seitenRaster->rowCount(), 1);
    if (s.nummer == 8) {
        seitenRaster->setColumnStretch(1, 0);
        seitenRaster->setColumnStretch(3, 2);
    } else {
        seitenRaster->setColumnStretch(seitenRaster->columnCount(), 1);
    }
    for (const RahmenDef& r : s.rahmen) {
        QGridLayout* raster = rahmenRaster.value(r.name);
        if (r.rahmenlos) raster->setRowStretch(raster->rowCount(), 1);
        for (int c = 1; c < raster->columnCount(); c += 2) raster->setColumnStretch(c, 1);
    }
}
}  // namespace

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
    // Every page's frame at once; its controls when the page is built.
    for (const SeitenDef& s : seitentabellen()) {
        auto* frame = new QFrame(m_seiten);
        frame->setObjectName(QStringLiteral("Frame1(%1)").arg(s.nummer - 1));
        Frame1[s.nummer - 1] = frame;
        m_seiten->addWidget(frame);
        m_steuer.insert(frame->objectName(), frame);
    }
    untenAufbauen();
    for (const SeitenDef& s : seitentabellen()) m_seite[s.nummer - 1] = seiteErzeugen(*this, s);
    tastenVerbinden();
    resize(twips(11030), twips(7805));
}

QWidget* frmMandStamm::seiteAufbauen(const SeitenDef& s) {
    QFrame* frame = Frame1[s.nummer - 1];
    auto* seitenRaster = new QGridLayout(frame);
    seitenRaster->setVerticalSpacing(s.zeilenabstand);
    const QHash<QString, QGridLayout*> rahmenRaster = rahmenAufbauen(s, frame, seitenRaster, m_steuer);

    QWidget* letztes = nullptr;
    for (const FeldDef& f : s.felder) {
        QWidget* eltern = f.rahmen.isEmpty() ? frame : m_steuer.value(f.rahmen);
        QGridLayout* raster = f.rahmen.isEmpty() ? seitenRaster : rahmenRaster.value(f.rahmen);
        QWidget* platz = nullptr;  // what the layout holds, when not the control itself
        QWidget* w = steuerelementBauen(f, eltern, platz);
        if (f.art == Art::DbListe) cmbFaNr = static_cast<DbListe*>(w);
        w->setObjectName(f.name);
        m_steuer.insert(f.name, w);
        if (!f.sichtbar) w->hide();
        if (!f.aktiv) w->setEnabled(false);

        if (f.art == Art::Beschriftung && !f.label.isEmpty()) {
            static_cast<QLabel*>(w)->setText(f.label);
            raster->addWidget(w, f.zeile, f.paar * 2);
            continue;
        }
        if (!f.label.isEmpty()) {
            auto* l = new QLabel(f.label, eltern);
            l->setObjectName(QStringLiteral("lbl_") + f.name);
            l->setBuddy(w);
            if (f.sichtbar) raster->addWidget(l, f.zeile, f.paar * 2, Qt::AlignRight | Qt::AlignVCenter);
            else l->hide();
        }
        if (f.sichtbar) raster->addWidget(platz ? platz : w, f.zeile, f.paar * 2 + 1, 1, f.spannweite * 2 - 1);
        // Design keyboard order: the table's order.
        if (f.art != Art::Anzeige && f.art != Art::Beschriftung) {
            if (letztes) QWidget::setTabOrder(letztes, w);
            letztes = w;
        }
    }
    dehnungSetzen(s, seitenRaster, rahmenRaster);
    zugangsnamenSetzen(s, [this](const QString& name) { return m_steuer.value(name); });
    return letztes;
}

void frmMandStamm::untenAufbauen() {
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
    // A click on "Beenden" leaves the focus in the field: closing then saves what is typed there
    // exactly as Escape does, instead of the field's leave running half-way while the dialog closes.
    cmdBeenden->setFocusPolicy(Qt::TabFocus);
    unten->addWidget(cmdHilfe);
    unten->addSpacing(twips(120));
    unten->addWidget(lblAuswahlMonStatusText);
    unten->addWidget(lblAuswahlMonStatus);
    unten->addStretch(1);
    knoepfe->addWidget(cmdNeuerKurs);
    knoepfe->addWidget(cmdBeenden);
    unten->addWidget(fraUntererTeil);
    static_cast<QVBoxLayout*>(layout())->addLayout(unten);
    for (auto* w : std::initializer_list<QWidget*>{fraUntererTeil, cmdNeuerKurs, cmdBeenden, cmdHilfe, lblAuswahlMonStatusText,
                                                   lblAuswahlMonStatus, TabStrip1})
        m_steuer.insert(w->objectName(), w);
}

void frmMandStamm::tastenVerbinden() {
    connect(cmdBeenden, &QPushButton::clicked, this, &QWidget::close);
    const auto hilfe = [this] {
        HilfeKontext();
        if (HilfeAufrufChk(m_aufruf)) hilfeOeffnen();
    };
    connect(cmdHilfe, &QPushButton::clicked, this, hilfe);
    connect(new QShortcut(QKeySequence(Qt::Key_F1), this), &QShortcut::activated, this, hilfe);
    const std::pair<QKeySequence, int> blaettern[] = {{QKeySequence(Qt::CTRL | Qt::Key_Tab), 1},
                                                      {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab), -1},
                                                      {QKeySequence(Qt::CTRL | Qt::Key_Backtab), -1},
                                                      {QKeySequence(Qt::CTRL | Qt::Key_PageDown), 1},
                                                      {QKeySequence(Qt::CTRL | Qt::Key_PageUp), -1}};
    for (const auto& [taste, schritt] : blaettern) {
        auto* k = new QShortcut(taste, this);
        connect(k, &QShortcut::activated, this, [this, s = schritt] { TabStrip1->blaettern(s); });
    }
}
