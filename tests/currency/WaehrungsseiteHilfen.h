#pragma once
// The dialog opened on the currency page as a user selects it, the shared database with a few
// currencies, and a second workstation on it, for the currency page's tests.

#include "Hilfen.h"
#include "form/InputFeld.h"
#include "platform/Datenbank.h"

#include <QDate>
#include <QLabel>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <memory>
#include <tuple>

namespace test {

struct Seite {
    explicit Seite(test::Datenbanken& db) : d(std::make_unique<test::Dialog>(test::info(db, {.waehrung = true}))) {
        test::tabKlicken(*d, 8);
        ruhe();
    }
    frmMandStamm* operator->() const { return d->form.get(); }
    InputFeld* lang(int i) const { return (*d)->feld(QStringLiteral("inpWährungsBezLang(%1)").arg(i)); }
    InputFeld* kurz(int i) const { return (*d)->feld(QStringLiteral("inpWährungsBezKurz(%1)").arg(i)); }
    InputFeld* land(int i) const { return (*d)->feld(QStringLiteral("inpLänderKürzel(%1)").arg(i)); }
    InputFeld* datum() const { return (*d)->feld(QStringLiteral("inpWährungsDatum")); }
    InputFeld* eif() const { return (*d)->feld(QStringLiteral("inpEuroinFremd")); }
    InputFeld* fie() const { return (*d)->feld(QStringLiteral("inpFremdinEuro")); }
    QTableView* raster() const { return qobject_cast<QTableView*>((*d)->steuerelement(QStringLiteral("TDBGridWährung"))); }
    bool aktiv(InputFeld* f) const {
        test::aktivieren(d->form.get());
        return test::fokusAuf(f);
    }
    QStringList zeile(int r) const { return {lang(r)->text(), kurz(r)->text(), land(r)->text()}; }
    QStringList rasterZeile(int z) const {
        const QAbstractItemModel* m = raster()->model();
        return {m->index(z, 0).data().toString(), m->index(z, 1).data().toString(), m->index(z, 2).data().toString()};
    }
    // Lets the handlers that follow a focus change run: the page queues them as zero timers, each
    // of which may queue the next; the rounds of test::abarbeiten run them all.
    static void ruhe() { test::abarbeiten(); }
    static void klick(QWidget* w) {
        QTest::mouseClick(w, Qt::LeftButton);
        ruhe();
    }
    // A key as the keyboard sends it, to the focus field.
    static void taste(Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier) {
        QTest::keyClick(QApplication::focusWidget(), k, m);
        ruhe();
    }
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
    static void weiter() {
        QWidget* liste = QApplication::activePopupWidget();
        QTest::keyClick(liste ? liste : QApplication::focusWidget(), Qt::Key_Tab);
        ruhe();
    }
    void rasterKlicken(int z) {
        QTest::mouseClick(raster()->viewport(), Qt::LeftButton, {}, raster()->visualRect(raster()->model()->index(z, 0)).center());
        ruhe();
    }
    void neuerKurs(const QString& datumText) {
        klick((*d)->cmdNeuerKurs);
        tippen(datum(), datumText);
    }
    std::unique_ptr<test::Dialog> d;
};

inline void waehrung(const test::Datenbanken& db, int wid, const QString& code, const QString& name, const QString& land,
                     const QVector<std::tuple<QDate, double, double>>& kurse) {
    for (const auto& [datum, eif, fie] : kurse)
        db.faSql("INSERT INTO AllgWaehrung (WID, Waehrungscode, WaehrungscodeBezeichnung, Laenderkennzeichen, AenderDatum, "
                 "EuroinFremd, FremdinEuro) VALUES (?,?,?,?,?,?,?)", {wid, code, name, land, datum, eif, fie});
}

// The shared database with row 1 USD (02.01., 01.02. and 01.03.2024), row 2 CHF (01.03.2024) and
// row 3 JPY without a name (01.03. and 04.03.2024).
inline void waehrungen(const test::Datenbanken& db) {
    db.faSql("DELETE FROM AllgWaehrung");
    waehrung(db, 1, "USD", "US-Dollar", "USA",
             {{QDate(2024, 1, 2), 1.1, 0.9091}, {QDate(2024, 2, 1), 1.08, 0.9259}, {QDate(2024, 3, 1), 1.085, 0.9217}});
    waehrung(db, 2, "CHF", "Schweizer Franken", "CH", {{QDate(2024, 3, 1), 0.942, 1.0616}});
    waehrung(db, 3, "JPY", "", "J", {{QDate(2024, 3, 1), 160.0, 0.00625}, {QDate(2024, 3, 4), 161.0, 0.0062}});
}

// The other workstation: a connection of its own to the shared database.
inline void andererArbeitsplatz(const test::Datenbanken& db, const QString& sql, const QVariantList& p = {}) {
    xov::verbindungOeffnen(db.fa, xov::DbPasswort)->ausfuehren(sql, p);
}

// What is stored, as test::gespeichert gives it.
inline QString stand(const test::Datenbanken& db, const QString& sql, const QVariantList& p = {}) { return test::gespeichert(db.fa, sql, p); }

}  // namespace test
