// Sizes as the user sees them: every text of a field, label, tab or button fits, on every page,
// unscaled and at factor 2 on a large screen, and the scaled dialog is the same layout, larger.

#include "Hilfen.h"
#include "form/InputFeld.h"
#include "form/InputFeldMehrzeilig.h"
#include "form/TabStrip.h"
#include "services/Skalierung.h"

using namespace xov;

namespace {

// Every bound text column holds a realistic text as long as its field allows, every number its
// largest value; the pages with checks (year, correction points, accounts) keep valid data.
void bisZurGrenzeFuellen(const test::Datenbanken& db) {
    const QString muster = QStringLiteral("Hausverwaltung Gruber & Söhne GmbH, Mariahilfer Straße 123/4, 1060 Wien, Sehr geehrte Damen und Herren");
    QStringList setzen;
    QVariantList werte;
    for (const FeldDef& f : feldtabelle()) {
        if (f.spalte.isEmpty() || !istEingabe(f.art) || !f.sichtbar || f.seite == 3 || f.seite == 4 || f.seite == 6) continue;
        if (f.art == xov::Art::Text) werte << muster.left(f.max);
        else if (f.art == xov::Art::Ganzzahl) werte << QString(f.max, QLatin1Char('9')).toLongLong();
        else if (istZahl(f.art)) werte << 9999.99;
        else continue;
        setzen << f.spalte + QStringLiteral(" = ?");
    }
    db.mandSql(QStringLiteral("UPDATE AllgMandDaten SET ") + setzen.join(QStringLiteral(", ")), werte);
}

// Checks that every visible text fits; adds each visible line edit's place in the dialog.
void seitePruefen(QDialog* dlg, int seite, QHash<QString, QRect>& plaetze) {
    auto passt = [&](QWidget* w, const QString& text, const QRect& raum, bool umbrechen) {
        const QFontMetrics fm(w->font());
        const QSize noetig = umbrechen ? fm.boundingRect(raum, Qt::TextWordWrap, text).size() : QSize(fm.horizontalAdvance(text), fm.height());
        EXPECT_TRUE(noetig.width() <= raum.width() && noetig.height() <= raum.height())
            << "Seite " << seite << ": " << w->objectName().toStdString() << " \"" << text.toStdString() << '"';
    };
    for (QLineEdit* e : dlg->findChildren<QLineEdit*>()) {
        if (!e->isVisibleTo(dlg) || qobject_cast<QComboBox*>(e->parentWidget())) continue;
        passt(e, e->text(), e->contentsRect().marginsRemoved(e->textMargins()).adjusted(2, 1, -2, -1), qobject_cast<InputFeldMehrzeilig*>(e));
        plaetze.insert(e->objectName(), QRect(e->mapTo(dlg, QPoint(0, 0)), e->size()));
    }
    for (QLabel* l : dlg->findChildren<QLabel*>())
        if (l->isVisibleTo(dlg) && !l->text().isEmpty()) passt(l, l->text(), l->contentsRect(), false);
    for (QPushButton* k : dlg->findChildren<QPushButton*>())
        if (k->isVisibleTo(dlg) && !k->text().isEmpty())  // "&e" shows as an underlined e
            passt(k, QString(k->text()).remove(QRegularExpression(QStringLiteral("&(?!&)"))), k->contentsRect(), false);
}

// Opens the dialog with every page on the screen, fills the currency names as the user types
// them, and checks each page; returns the places of the line edits, the dialog's under "".
QHash<QString, QRect> alleSeitenPruefen(const test::Datenbanken& db, QScreen* bildschirm = nullptr) {
    test::Meldungen meldungen;
    test::Dialog d(test::info(db, {.waehrung = true}), 0, bildschirm);
    QHash<QString, QRect> plaetze{{QString(), d->rect()}};
    TabStrip* tabs = d->TabStrip1;
    for (int i = 0; i < tabs->count(); ++i) {
        test::tabKlicken(d, tabs->seiteAn(i));
        if (tabs->seiteAn(i) == 8) {
            for (int z : {0, 19})
                for (const char* name : {"inpWährungsBezLang(%1)", "inpWährungsBezKurz(%1)", "inpLänderKürzel(%1)"}) {
                    auto* f = d->feld(QString::fromUtf8(name).arg(z));
                    f->setFocus();
                    EXPECT_TRUE(test::fokusAuf(f));
                    QTest::keyClicks(f, QByteArray(name).contains("Lang") ? "Bosnisch-herzegowinische Mark" : "BAM");
                }
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        EXPECT_LE(QFontMetrics(tabs->font()).horizontalAdvance(tabs->tabText(i)), tabs->tabRect(i).width()) << tabs->tabText(i).toStdString();
        seitePruefen(d.form.get(), tabs->seiteAn(i), plaetze);
    }
    EXPECT_TRUE(meldungen.texte.isEmpty()) << meldungen.alle();
    return plaetze;
}

}  // namespace

TEST(Groesse, AlleTextePassenUngeskaltUndBeiFaktor2DasselbeBildGroesser) {
    QScreen* gross = test::bildschirm(1920, 1200);
    ASSERT_TRUE(gross);
    test::Datenbanken db;
    bisZurGrenzeFuellen(db);
    const auto einfach = alleSeitenPruefen(db);
    QFile ini(iniPfad());
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly) && ini.write("[Section1]\nSkalieren=1\n[Section2]\nSkFaktor=10\n") > 0);
    ini.close();
    const auto doppelt = alleSeitenPruefen(db, gross);
    ini.remove();
    ASSERT_EQ(einfach.size(), doppelt.size());
    for (auto it = einfach.begin(); it != einfach.end(); ++it) {
        const QRect a = it.value(), b = doppelt.value(it.key());
        EXPECT_NEAR(b.width(), 2.0 * a.width(), 0.1 * a.width() + 2) << it.key().toStdString();
        EXPECT_NEAR(b.height(), 2.0 * a.height(), 0.15 * a.height() + 2) << it.key().toStdString();
        EXPECT_NEAR(b.x(), 2.0 * a.x(), 0.1 * a.x() + 6) << it.key().toStdString();
        EXPECT_NEAR(b.y(), 2.0 * a.y(), 0.1 * a.y() + 6) << it.key().toStdString();
    }
}
