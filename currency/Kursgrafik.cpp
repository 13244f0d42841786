#include "currency/Kursgrafik.h"

#include "form/InputFeld.h"
#include "form/frmMandStamm.h"
#include "platform/Datenbank.h"
#include "platform/Datenquelle.h"
#include "platform/Fehler.h"
#include "platform/Variant.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QVBoxLayout>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>
#include <QtCharts/QDateTimeAxis>
#include <QtCharts/QLineSeries>
#include <QtCharts/QValueAxis>
#include <algorithm>

namespace xov {
namespace {

struct Kurspunkt {
    QDate datum;
    double euroinFremd, fremdinEuro;
};

const QLocale deutsch(QLocale::German, QLocale::Germany);

// The row of a currency field ("inpWährungsBezKurz(3)" → 3); -1 for any other widget.
int waehrungszeile(const QWidget* w) {
    static const QRegularExpression muster(QStringLiteral("^inp(?:WährungsBezLang|WährungsBezKurz|LänderKürzel)\\((\\d+)\\)$"));
    const auto treffer = w ? muster.match(w->objectName()) : QRegularExpressionMatch();
    return treffer.hasMatch() ? treffer.captured(1).toInt() : -1;
}

class Kursgrafikfenster : public QDialog {
public:
    explicit Kursgrafikfenster(frmMandStamm& d) : QDialog(&d), m_dialog(d) {
        setObjectName(QStringLiteral("dlgKursgrafik"));
        setAttribute(Qt::WA_DeleteOnClose);
        setModal(false);
        resize(760, 480);
        auto* zeitraum = new QComboBox(this);
        zeitraum->setObjectName(QStringLiteral("cmbKursgrafikZeitraum"));
        zeitraum->addItems({QStringLiteral("Ein Jahr"), QStringLiteral("Fünf Jahre"), QStringLiteral("Alles")});
        zeitraum->setCurrentIndex(2);
        auto* zeitraumLabel = new QLabel(QStringLiteral("&Zeitraum:"), this);
        zeitraumLabel->setBuddy(zeitraum);
        m_punkt = new QLabel(this);
        m_punkt->setObjectName(QStringLiteral("lblKursgrafikPunkt"));
        // The line keeps its height when it is empty: pointing at the chart moves nothing.
        m_punkt->setMinimumHeight(m_punkt->fontMetrics().height() + 4);
        m_chart = new QChart;
        m_chart->setLocalizeNumbers(true);
        m_chart->setLocale(deutsch);
        auto* ansicht = new QChartView(m_chart, this);
        ansicht->setObjectName(QStringLiteral("chvKursgrafik"));
        ansicht->setRenderHint(QPainter::Antialiasing);
        auto* kopf = new QHBoxLayout;
        kopf->addWidget(zeitraumLabel);
        kopf->addWidget(zeitraum);
        kopf->addStretch();
        auto* spalte = new QVBoxLayout(this);
        spalte->addLayout(kopf);
        spalte->addWidget(ansicht, 1);
        spalte->addWidget(m_punkt);
        connect(zeitraum, &QComboBox::currentIndexChanged, this, [this](int i) {
            m_zeitraum = i;
            zeichnen();
        });
        // The page's current currency is the row whose field last had the focus.
        connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* jetzt) {
            if (const int z = waehrungszeile(jetzt); z >= 0 && z != m_zeile && jetzt->window() == &m_dialog) zeigen(z);
        });
    }

    void zeigen(int zeile) {
        m_zeile = zeile;
        m_punkte.clear();
        try {
            const auto erg = m_dialog.FAData->verbindung()->abfragen(
                QStringLiteral("SELECT AenderDatum, EuroinFremd, FremdinEuro FROM AllgWaehrung WHERE WID = ? ORDER BY AenderDatum"),
                {zeile + 1});
            auto zahl = [](const QVariant& v) { return istNull(v) ? 0.0 : alsDouble(v); };
            for (const auto& z : erg.zeilen) m_punkte.append({alsDatum(z.at(0)), zahl(z.at(1)), zahl(z.at(2))});
        } catch (const Fehler& f) {
            m_punkt->setText(QStringLiteral("Die Kurse konnten nicht gelesen werden: %1").arg(f.beschreibung()));
        }
        const auto text = [&](const char* name) {
            auto* f = m_dialog.findChild<InputFeld*>(QStringLiteral("%1(%2)").arg(QString::fromUtf8(name)).arg(zeile));
            return f ? f->text().trimmed() : QString();
        };
        m_code = text("inpWährungsBezKurz").toUpper();
        const QString name = text("inpWährungsBezLang");
        setWindowTitle(QStringLiteral("Kursgrafik – Zeile %1%2").arg(zeile + 1).arg(
            m_code.isEmpty() ? QString() : QStringLiteral(": %1 %2").arg(m_code, name).trimmed()));
        zeichnen();
    }

private:
    void zeichnen() {
        m_chart->removeAllSeries();
        for (QAbstractAxis* a : m_chart->axes()) {
            m_chart->removeAxis(a);
            delete a;
        }
        QVector<Kurspunkt> sichtbar;
        const QDate letzter = m_punkte.isEmpty() ? QDate() : m_punkte.last().datum;
        const QDate ab = m_zeitraum == 0 ? letzter.addYears(-1) : m_zeitraum == 1 ? letzter.addYears(-5) : QDate();
        for (const Kurspunkt& p : m_punkte)
            if (!ab.isValid() || p.datum > ab) sichtbar.append(p);
        m_punkt->setText(sichtbar.isEmpty() ? QStringLiteral("Für diese Währung ist kein Kurs gespeichert.") : QString());
        m_sichtbar = sichtbar;
        if (sichtbar.isEmpty()) return;

        auto* eif = new QLineSeries;
        auto* fie = new QLineSeries;
        eif->setName(QStringLiteral("EuroinFremd: 1 EUR = … %1").arg(m_code));
        fie->setName(QStringLiteral("FremdinEuro: 1 %1 = … EUR").arg(m_code));
        for (const Kurspunkt& p : sichtbar) {
            const qreal x = static_cast<qreal>(p.datum.startOfDay(Qt::UTC).toMSecsSinceEpoch());
            eif->append(x, p.euroinFremd);
            fie->append(x, p.fremdinEuro);
        }
        // A few rates are points; a long history a line.
        for (QLineSeries* s : {eif, fie}) {
            s->setPointsVisible(sichtbar.size() <= 60);
            m_chart->addSeries(s);
            connect(s, &QLineSeries::hovered, this, [this](const QPointF& p, bool an) { if (an) punktZeigen(p); });
        }
        auto* zeit = new QDateTimeAxis;
        zeit->setFormat(QStringLiteral("dd.MM.yyyy"));
        const QDateTime von = sichtbar.first().datum.startOfDay(Qt::UTC), bis = sichtbar.last().datum.startOfDay(Qt::UTC);
        // One day alone still gets a span around it; a short span no more ticks than days, so
        // that no date stands twice on the axis.
        const QDateTime anfang = von == bis ? von.addDays(-1) : von, ende = von == bis ? bis.addDays(1) : bis;
        zeit->setRange(anfang, ende);
        zeit->setTickCount(int(std::min<qint64>(6, anfang.daysTo(ende) + 1)));
        m_chart->addAxis(zeit, Qt::AlignBottom);
        achse(eif, Qt::AlignLeft, zeit, [](const Kurspunkt& p) { return p.euroinFremd; });
        achse(fie, Qt::AlignRight, zeit, [](const Kurspunkt& p) { return p.fremdinEuro; });
    }

    template <typename Wert>
    void achse(QLineSeries* s, Qt::Alignment seite, QDateTimeAxis* zeit, Wert wert) {
        auto* a = new QValueAxis;
        const auto [min, max] = std::minmax_element(m_sichtbar.begin(), m_sichtbar.end(),
                                                    [&](const Kurspunkt& x, const Kurspunkt& y) { return wert(x) < wert(y); });
        const double rand = std::max((wert(*max) - wert(*min)) * 0.05, std::abs(wert(*max)) * 0.01 + 1e-9);
        a->setRange(wert(*min) - rand, wert(*max) + rand);
        a->setLabelFormat(QStringLiteral("%.4f"));
        a->setLinePenColor(s->color());
        a->setLabelsColor(s->color());
        m_chart->addAxis(a, seite);
        s->attachAxis(zeit);
        s->attachAxis(a);
    }

    // The stored day nearest to where the mouse is, with both its rates.
    void punktZeigen(const QPointF& p) {
        if (m_sichtbar.isEmpty()) return;
        const QDate tag = QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(p.x()), Qt::UTC).date();
        const auto naechster = std::min_element(m_sichtbar.begin(), m_sichtbar.end(), [&](const Kurspunkt& a, const Kurspunkt& b) {
            return std::abs(a.datum.daysTo(tag)) < std::abs(b.datum.daysTo(tag));
        });
        m_punkt->setText(QStringLiteral("%1: 1 EUR = %2 %3, 1 %3 = %4 EUR")
                             .arg(datumAlsText(naechster->datum), InputFeld::kursText(naechster->euroinFremd), m_code,
                                  InputFeld::kursText(naechster->fremdinEuro)));
    }

    frmMandStamm& m_dialog;
    QChart* m_chart;
    QLabel* m_punkt;
    QVector<Kurspunkt> m_punkte, m_sichtbar;
    QString m_code;
    int m_zeile = 0;
    int m_zeitraum = 2;
};

// Shows and hides the chart's button with "Neuer Kurs", which the pages show on the currency page.
class Begleiter : public QObject {
public:
    Begleiter(QWidget* fuehrer, QWidget* folger) : QObject(folger), m_folger(folger) { fuehrer->installEventFilter(this); }
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::ShowToParent) m_folger->show();
        else if (e->type() == QEvent::HideToParent) m_folger->hide();
        return false;
    }

private:
    QWidget* m_folger;
};

}  // namespace

void kursgrafikKnopf(frmMandStamm& d) {
    auto* knopf = new QPushButton(QStringLiteral("Kursgrafik…"), d.fraUntererTeil);
    knopf->setObjectName(QStringLiteral("cmdKursgrafik"));
    knopf->setAutoDefault(false);
    knopf->setVisible(d.cmdNeuerKurs->isVisibleTo(d.fraUntererTeil));
    auto* leiste = static_cast<QHBoxLayout*>(d.fraUntererTeil->layout());
    QWidget* nachbar = d.findChild<QPushButton*>(QStringLiteral("cmdKurseEinlesen"));
    leiste->insertWidget(leiste->indexOf(nachbar ? nachbar : d.cmdNeuerKurs) + 1, knopf);
    new Begleiter(d.cmdNeuerKurs, knopf);
    // The page's current currency: the row whose field last had the focus, the first at the start.
    auto zeile = std::make_shared<int>(0);
    QObject::connect(qApp, &QApplication::focusChanged, knopf, [&d, zeile](QWidget*, QWidget* jetzt) {
        if (const int z = waehrungszeile(jetzt); z >= 0 && jetzt->window() == &d) *zeile = z;
    });
    auto fenster = std::make_shared<QPointer<Kursgrafikfenster>>();
    QObject::connect(knopf, &QPushButton::clicked, &d, [&d, fenster, zeile] {
        if (!*fenster) {
            *fenster = new Kursgrafikfenster(d);
            (*fenster)->zeigen(*zeile);
        }
        (*fenster)->show();
        (*fenster)->raise();
    });
}

}  // namespace xov
