// The currency page's helpers for the user: the completion list of the code fields, driven by
// keys as the keyboard sends them (to the dialog's window, which hands them to an open list or to
// the focus field); "Kursgrafik…", whose window shows the current currency's two rates over the
// chosen period, names the point under the mouse, and follows the row the user enters; and
// "Kurse einlesen…": a rate file chosen in the file dialog, the tool's options chosen in a small
// dialog by typing and clicking, the summary, and the history at once.

#include "currency/WaehrungsseiteHilfen.h"
#include "form/InputFeld.h"
#include "kurse/Kursdateien.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QCompleter>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QtCharts/QChartView>
#include <QtCharts/QLineSeries>
#include <gtest/gtest.h>


namespace {

// Keys as the keyboard sends them: to the dialog's window, which hands them to an open list or
// to the focus field.
void taste(const test::Seite& s, Qt::Key k) {
    QTest::keyClick(s->windowHandle(), k);
    test::Seite::ruhe();
}
void tippen(const test::Seite& s, const char* text) {
    for (const char* c = text; *c; ++c) QTest::keyClick(s->windowHandle(), *c);
    test::Seite::ruhe();
}

QAbstractItemView* liste(InputFeld* f) { return f->completer() ? f->completer()->popup() : nullptr; }

QStringList angeboten(InputFeld* f) {
    QStringList l;
    for (int i = 0; i < liste(f)->model()->rowCount(); ++i) l << liste(f)->model()->index(i, 0).data().toString();
    return l;
}

QList<QLineSeries*> reihen(QDialog* g) {
    QList<QLineSeries*> r;
    for (QAbstractSeries* s : g->findChild<QChartView*>()->chart()->series()) r << qobject_cast<QLineSeries*>(s);
    return r;
}
QString punkt(QDialog* g) { return g->findChild<QLabel*>(QStringLiteral("lblKursgrafikPunkt"))->text(); }

QPushButton* knopf(QWidget* dlg, QDialogButtonBox::StandardButton b) { return dlg->findChild<QDialogButtonBox*>()->button(b); }

}  // namespace

TEST(Codeliste, ListeBietetCodesKursgrafikFolgtDerZeileKurseEinlesen) {
    test::Datenbanken db;
    db.faSql("DELETE FROM AllgWaehrung");
    test::waehrung(db, 1, "USD", "US-Dollar", "USA",
                   {{QDate(2022, 1, 3), 1.13, 0.885}, {QDate(2023, 6, 1), 1.07, 0.9346}, {QDate(2024, 5, 2), 1.07, 0.9346},
                    {QDate(2024, 12, 30), 1.0444, 0.9574875527}, {QDate(2024, 12, 31), 1.1, 0.9091}});
    test::waehrung(db, 2, "CHF", "Schweizer Franken", "CH", {{QDate(2024, 3, 1), 0.95, 1.0526}});
    test::waehrung(db, 4, "SEK", "Schwedische Krone", "S", {{QDate(2023, 12, 1), 11.0, 0.0909}});
    test::Meldungen m;
    test::Seite s(db);
    auto* grafikKnopf = s->findChild<QPushButton*>(QStringLiteral("cmdKursgrafik"));
    ASSERT_TRUE(grafikKnopf && grafikKnopf->isVisible());

    QTest::mouseClick(grafikKnopf, Qt::LeftButton);
    auto* g = s->findChild<QDialog*>(QStringLiteral("dlgKursgrafik"));
    ASSERT_TRUE(g && g->isVisible());
    EXPECT_FALSE(g->isModal());  // the page stays usable beside it
    auto r = reihen(g);
    ASSERT_EQ(r.size(), 2);
    ASSERT_EQ(r[0]->count(), 5);
    EXPECT_EQ(QPointF(r[0]->at(4).y(), r[1]->at(4).y()), QPointF(1.1, 0.9091));

    // A year back from the newest rate, five years, everything.
    auto* zeitraum = g->findChild<QComboBox*>(QStringLiteral("cmbKursgrafikZeitraum"));
    zeitraum->setCurrentIndex(0);
    EXPECT_EQ(reihen(g)[0]->count(), 3);
    zeitraum->setCurrentIndex(1);
    EXPECT_EQ(reihen(g)[0]->count(), 5);

    // The user enters the second row: the window follows with its one rate; the mouse on it names it.
    test::Seite::klick(s.kurz(1));
    ASSERT_EQ(g->windowTitle(), QStringLiteral("Kursgrafik – Zeile 2: CHF Schweizer Franken"));
    r = reihen(g);
    ASSERT_EQ(r.size(), 2);
    ASSERT_EQ(r[0]->count(), 1);
    emit r[0]->hovered(r[0]->at(0), true);
    EXPECT_EQ(punkt(g), QStringLiteral("01.03.2024: 1 EUR = 0,95 CHF, 1 CHF = 1,0526 EUR"));

    // A row without a rate says so instead of drawing an empty chart.
    test::aktivieren(s.d->form.get());
    test::Seite::klick(s.lang(2));
    ASSERT_EQ(g->windowTitle(), QStringLiteral("Kursgrafik – Zeile 3"));
    EXPECT_TRUE(reihen(g).isEmpty());
    EXPECT_EQ(punkt(g), QStringLiteral("Für diese Währung ist kein Kurs gespeichert."));
    g->close();

    // The list: first letters offer code and name of the currencies in use, arrows and Enter set
    // the code.
    test::aktivieren(s.d->form.get());
    InputFeld* code = s.kurz(4);
    s.tippen(code, "", false);
    tippen(s, "ro");
    ASSERT_TRUE(liste(code)->isVisible());
    EXPECT_EQ(angeboten(code), QStringList{QStringLiteral("RON – Rumänischer Leu")});  // not the withdrawn ROL
    EXPECT_EQ(code->text(), "ro");  // the list offers, the field keeps what is typed
    // No hint on a code not whole yet.
    EXPECT_FALSE(s->findChild<QLabel*>(QStringLiteral("lblWährungscodeHinweis"))->isVisible());
    // Escape closes the list only.
    taste(s, Qt::Key_Escape);
    EXPECT_FALSE(liste(code)->isVisible());
    EXPECT_TRUE(s->isVisible());
    EXPECT_TRUE(test::fokusAuf(code));

    s.tippen(code, "", false);
    tippen(s, "JP");
    ASSERT_TRUE(liste(code)->isVisible());
    EXPECT_EQ(angeboten(code).value(0), QStringLiteral("JPY – Japanischer Yen"));
    taste(s, Qt::Key_Down);
    taste(s, Qt::Key_Return);
    EXPECT_FALSE(liste(code)->isVisible());
    EXPECT_EQ(code->text(), "JPY");
    // Tab then leaves the full code as always: the empty name gets the German name.
    taste(s, Qt::Key_Tab);
    EXPECT_TRUE(test::fokusAuf(s.land(4)));
    EXPECT_EQ(s.lang(4)->text(), QStringLiteral("Japanischer Yen"));
    // A filled-in name follows the next code; a name the user typed stays.
    s.tippen(code, "cad");
    EXPECT_EQ(s.lang(4)->text(), QStringLiteral("Kanadischer Dollar"));
    s.tippen(s.lang(4), "Loonie");
    s.tippen(code, "jpy");
    EXPECT_EQ(s.lang(4)->text(), QStringLiteral("Loonie"));

    // "Kurse einlesen…" for the page's currencies (the typed JPY row too), the first row current:
    // from, to and replacing existing days (a day with the file's rates is kept), as the tool's
    // --ab, --bis and --ersetzen; a date that is none is refused with a message and the dialog stays.
    // The file dialog is answered with the path typed into its name field and Enter, as a user
    // answers it (selectFile() would leave a focused field alone, and the dialog wait); then the
    // options dialog, acted in as a user does.
    test::Seite::klick(s.land(0));
    QTimer antworten;
    bool dateiGewaehlt = false, optionenGesehen = false;
    antworten.callOnTimeout([&] {
        QWidget* dlg = QApplication::activeModalWidget();
        auto* name = qobject_cast<QFileDialog*>(dlg) ? dlg->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")) : nullptr;
        if (name && !dateiGewaehlt) {
            dateiGewaehlt = true;
            name->setText(test::csv2024);
            QTest::keyClick(name, Qt::Key_Return);
        }
        if (!dlg || dlg->objectName() != QLatin1String("dlgKurseEinlesenOptionen") || optionenGesehen) return;
        optionenGesehen = true;
        auto* ab = dlg->findChild<InputFeld*>("inpKurseAb");
        auto* bis = dlg->findChild<InputFeld*>("inpKurseBis");
        QTest::keyClicks(ab, "32.12.2024");
        QTest::mouseClick(knopf(dlg, QDialogButtonBox::Ok), Qt::LeftButton);
        EXPECT_EQ(m.texte.value(0), QStringLiteral("\"32.12.2024\" ist kein Datum. Bitte z.B. 01.12.2024 eingeben oder das Feld leer lassen."));
        EXPECT_TRUE(dlg->isVisible());
        ab->selectAll();
        QTest::keyClicks(ab, "3.12.24");  // a Tuesday: the Monday before has a rate
        QTest::keyClicks(bis, "30.11.2024");
        QTest::mouseClick(knopf(dlg, QDialogButtonBox::Ok), Qt::LeftButton);
        EXPECT_EQ(m.texte.value(1), QStringLiteral("Das Datum \"bis\" liegt vor dem Datum \"ab\"."));
        bis->selectAll();
        QTest::keyClicks(bis, "31.12.2024");
        QTest::mouseClick(dlg->findChild<QCheckBox*>("chkKurseErsetzen"), Qt::LeftButton);
        QTest::mouseClick(knopf(dlg, QDialogButtonBox::Ok), Qt::LeftButton);
    });
    antworten.start(10);
    QTest::mouseClick(s->findChild<QPushButton*>("cmdKurseEinlesen"), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return m.texte.size() >= 3; }, 10000));
    EXPECT_EQ(m.texte.at(2), QStringLiteral("Kurse aus %1 eingelesen:\nUSD: 17 hinzugefügt, 1 ersetzt, 1 behalten, 0 übersprungen\n"
                                             "CHF: 19 hinzugefügt, 0 behalten, 0 übersprungen\nSEK: 19 hinzugefügt, 0 behalten, 0 übersprungen\n"
                                             "JPY: 19 hinzugefügt, 0 behalten, 0 übersprungen")
                                 .arg(test::csv2024));
    // The history of the current row (USD) shows the new rates at once, the replaced one first.
    EXPECT_EQ(s.rasterZeile(0).mid(0, 2), QStringList({"31.12.2024", "1,0389"}));
    // The grid highlights the day the frame shows, with the rate read in.
    EXPECT_EQ(s.raster()->currentIndex().row(), 0);
    EXPECT_EQ(s.datum()->text() + " " + s.eif()->text(), "31.12.2024 1,0389");
    // The keyboard is the page's again.
    s.tippen(s.land(3), "se");
    EXPECT_EQ(test::stand(db, "SELECT DISTINCT Laenderkennzeichen FROM AllgWaehrung WHERE WID = 4"), "'SE'");
}

