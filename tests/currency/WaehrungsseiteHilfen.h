#pragma once
// The dialog opened on the currency page as a user selects it, and currencies with their rates
// written into the shared database, for the currency page's tests.

#include "Hilfen.h"
#include "form/InputFeld.h"
#include "form/TabStrip.h"

#include <QDate>
#include <QLabel>
#include <QTableView>
#include <QTest>
#include <memory>
#include <tuple>

namespace test {

struct Seite {
    explicit Seite(test::Datenbanken& db, int modus = 0, int tabStripNr = 0) {
        QVariantList i = test::info(db);
        i[61] = 1;
        i[9] = modus;
        d = std::make_unique<test::Dialog>(i, tabStripNr);
        if (tabStripNr != 7) {
            const int tab = (*d)->TabStrip1->indexVon(8);
            QTest::mouseClick((*d)->TabStrip1, Qt::LeftButton, {}, (*d)->TabStrip1->tabRect(tab).center());
        }
        ruhe();
    }
    frmMandStamm* operator->() const { return d->form.get(); }
    InputFeld* f(const QString& name) const { return (*d)->feld(name); }
    InputFeld* lang(int i) const { return f(QStringLiteral("inpWährungsBezLang(%1)").arg(i)); }
    InputFeld* kurz(int i) const { return f(QStringLiteral("inpWährungsBezKurz(%1)").arg(i)); }
    InputFeld* land(int i) const { return f(QStringLiteral("inpLänderKürzel(%1)").arg(i)); }
    InputFeld* datum() const { return f(QStringLiteral("inpWährungsDatum")); }
    InputFeld* eif() const { return f(QStringLiteral("inpEuroinFremd")); }
    InputFeld* fie() const { return f(QStringLiteral("inpFremdinEuro")); }
    QTableView* raster() const { return qobject_cast<QTableView*>((*d)->steuerelement(QStringLiteral("TDBGridWährung"))); }
    QString label(const char* name) const { return qobject_cast<QLabel*>((*d)->steuerelement(QString::fromUtf8(name)))->text(); }
    QStringList zeile(int r) const { return {lang(r)->text(), kurz(r)->text(), land(r)->text()}; }
    QStringList rasterZeile(int z) const {
        QStringList t;
        for (int s = 0; s < 3; ++s) t << raster()->model()->index(z, s).data().toString();
        return t;
    }
    // Lets the handlers that follow a focus change run.
    static void ruhe() { QTest::qWait(80); }
    // Clicks into the field, replaces its text by typing, and leaves it with Tab.
    void tippen(InputFeld* feld, const QString& text, bool verlassen = true) {
        QTest::mouseClick(feld, Qt::LeftButton);
        ASSERT_TRUE(test::fokusAuf(feld)) << feld->objectName().toStdString();
        ruhe();
        feld->selectAll();
        QTest::keyClick(feld, Qt::Key_Delete);
        for (QChar c : text) QTest::sendKeyEvent(QTest::Click, feld, Qt::Key_unknown, QString(c), Qt::NoModifier);
        if (verlassen) weiter();
    }
    // Tab as the keyboard sends it: to an open completion list, else to the focus field.
    void weiter() {
        QWidget* liste = QApplication::activePopupWidget();
        QTest::keyClick(liste ? liste : QApplication::focusWidget(), Qt::Key_Tab);
        ruhe();
    }
    void rasterKlicken(int z) {
        QTest::mouseClick(raster()->viewport(), Qt::LeftButton, {}, raster()->visualRect(raster()->model()->index(z, 0)).center());
        ruhe();
    }
    void neuerKurs(const QString& datumText) {
        QTest::mouseClick((*d)->cmdNeuerKurs, Qt::LeftButton);
        ruhe();
        tippen(datum(), datumText);
    }
    std::unique_ptr<test::Dialog> d;
};

inline void waehrung(test::Datenbanken& db, int wid, const QString& code, const QString& name, const QString& land,
              const QVector<std::tuple<QDate, double, double>>& kurse) {
    for (const auto& [datum, eif, fie] : kurse)
        db.faSql("INSERT INTO AllgWaehrung (WID, Waehrungscode, WaehrungscodeBezeichnung, Laenderkennzeichen, AenderDatum, "
                 "EuroinFremd, FremdinEuro) VALUES (?,?,?,?,?,?,?)",
                 {wid, code, name, land, datum, eif, fie});
}

}  // namespace test
