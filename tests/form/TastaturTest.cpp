// A fast typist at the shown dialog: a click places the cursor, AltGr types, a refused key says
// so without moving anything, Enter presses a focused button and its Alt shortcut does too. The
// walk through every page by keyboard is in FeldtabelleTest.

#include "Hilfen.h"
#include "form/InputFeld.h"
#include "form/InputFeldHinweis.h"
#include "form/TabStrip.h"

namespace {

// Each button in turn, on its page: Enter while it has the focus presses it, and so does its Alt
// shortcut from a field of the page; whatever window it opens (file dialog, account picker) is
// closed again. "Beenden" last: Enter on it closes the dialog.
void knoepfeDruecken(test::Dialog& d) {
    QTimer schliesser;
    QObject::connect(&schliesser, &QTimer::timeout, [&] {
        auto* w = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (w && w != d.form.get() && !qobject_cast<QMessageBox*>(w)) w->reject();
    });
    schliesser.start(20);
    auto nurDerDialog = [&] { return QApplication::activeModalWidget() == d.form.get() || !QApplication::activeModalWidget(); };
    struct Fall { const char* knopf; int seite; Qt::Key kuerzel; };
    for (const Fall& fall : {Fall{"cmdKontenAuswahl", 6, Qt::Key_K}, Fall{"cmdKurseEinlesen", 8, Qt::Key_E},
                             Fall{"cmdNeuerKurs", 8, Qt::Key_N}, Fall{"cmdBeenden", 8, Qt::Key_B}}) {
        SCOPED_TRACE(fall.knopf);
        if (d->TabStrip1->aktuelleSeite() != fall.seite) test::tabKlicken(d, fall.seite);
        auto* k = d->findChild<QPushButton*>(fall.knopf);
        ASSERT_TRUE(k && k->isVisible());
        QSignalSpy gedrueckt(k, &QPushButton::clicked);
        k->setFocus(Qt::TabFocusReason);
        ASSERT_TRUE(test::fokusAuf(k));
        QTest::keyClick(k, Qt::Key_Return);
        EXPECT_TRUE(QTest::qWaitFor([&] { return gedrueckt.count() == 1; }, 2000));
        EXPECT_TRUE(QTest::qWaitFor(nurDerDialog, 2000));
        if (k == d->cmdBeenden) break;
        test::aktivieren(d.form.get());
        for (auto* f : d->Frame1[fall.seite - 1]->findChildren<InputFeld*>()) {
            if (!f->isVisible() || !f->isEnabled()) continue;
            f->setFocus(Qt::TabFocusReason);
            ASSERT_TRUE(test::fokusAuf(f));
            break;
        }
        QTest::keyClick(QApplication::focusWidget(), fall.kuerzel, Qt::AltModifier);
        EXPECT_TRUE(QTest::qWaitFor([&] { return gedrueckt.count() == 2; }, 2000));
        EXPECT_TRUE(QTest::qWaitFor(nurDerDialog, 2000));
        test::aktivieren(d.form.get());
    }
    EXPECT_TRUE(QTest::qWaitFor([&] { return !d->isVisible(); }, 2000));
}

}  // namespace

// A click puts the cursor where it lands instead of selecting; AltGr types its character, and
// Alt with the letter of a button hidden on this page presses nothing. Each field of the table
// takes `vorher` and refuses the next key with a beep and a hint inside the dialog that moves no
// control of the page; the next key taken clears the hint, and so does leaving. Then each button
// in turn, on its page: Enter while it has the focus presses it, and so does its Alt shortcut
// from a field of the page; whatever window it opens (file dialog, account picker) is closed
// again. "Beenden" last: Enter on it closes the dialog.
TEST(Tippen, KlickAltGrAbgewieseneTastenUndEnterAufKnoepfen) {
    struct Abweisung { const char *feld, *vorher, *taste, *hinweis; };
    const Abweisung faelle[] = {
        {"inpMandBagatellBetrag", "5", "x", "Nur eine Zahl wie 1.234,56."},
        {"inpMandBagatellBetrag", "12,34", "5", "Höchstens 2 Nachkommastellen."},
        {"inpMandAnschrift", "Neubaugasse 12 Hinterhaus Stiege 3 Tuer7", "x", "Höchstens 40 Zeichen."},
        {"inpMandDvr", "4711", "-", "Hier ist kein Minus möglich."},
        {"inpMandBuchjahr", "2024", ",", "Nur ganze Zahlen, ohne Komma."},
    };
    test::Datenbanken db;
    test::Meldungen meldungen;
    test::Dialog d(test::info(db, {.waehrung = true}));
    InputFeld* betrag = d->feld("inpMandBagatellBetrag");
    QTest::mouseClick(betrag, Qt::LeftButton, {}, QPoint(betrag->width() - 4, betrag->height() / 2));
    ASSERT_TRUE(test::fokusAuf(betrag));
    EXPECT_FALSE(betrag->hasSelectedText());
    InputFeld* telefon = d->feld("inpMandTelefonNr");
    test::tippen(telefon, "info");
    // AltGr+Q and AltGr+E as some systems send them: Ctrl+Alt with another character.
    QTest::sendKeyEvent(QTest::Click, telefon, Qt::Key_Q, QStringLiteral("@"), Qt::ControlModifier | Qt::AltModifier);
    QTest::sendKeyEvent(QTest::Click, telefon, Qt::Key_E, QString(QChar(0x20AC)), Qt::ControlModifier | Qt::AltModifier);
    QSignalSpy neuerKurs(d->cmdNeuerKurs, &QPushButton::clicked);
    for (Qt::Key k : {Qt::Key_N, Qt::Key_E, Qt::Key_K}) QTest::keyClick(telefon, k, Qt::AltModifier);
    EXPECT_EQ(telefon->text(), QStringLiteral("info@€"));
    EXPECT_EQ(neuerKurs.count(), 0);
    for (const Abweisung& a : faelle) {
        SCOPED_TRACE(a.hinweis);
        const int seite = xov::felddef(QString::fromUtf8(a.feld))->seite;
        if (d->TabStrip1->aktuelleSeite() != seite) test::tabKlicken(d, seite);
        InputFeld* f = d->feld(QString::fromUtf8(a.feld));
        test::tippen(f, a.vorher);
        const QString text = f->text();
        QHash<QWidget*, QRect> lage;
        for (QWidget* w : d->Frame1[seite - 1]->findChildren<QWidget*>()) lage.insert(w, w->geometry());
        const int abgewiesen = xov::abgewieseneTasten(f);
        QTest::keyClicks(f, a.taste);
        EXPECT_EQ(f->text(), text);
        EXPECT_EQ(xov::abgewieseneTasten(f) - abgewiesen, 1);
        QLabel* hinweis = xov::eingabeHinweis(d.form.get());
        ASSERT_TRUE(hinweis && hinweis->isVisible());
        EXPECT_EQ(hinweis->text(), QString::fromUtf8(a.hinweis));
        EXPECT_TRUE(d->rect().contains(hinweis->geometry()));
        for (auto it = lage.cbegin(); it != lage.cend(); ++it) EXPECT_EQ(it.key()->geometry(), it.value()) << it.key()->objectName().toStdString();
        QTest::keyClick(f, Qt::Key_Backspace);
        f->selectAll();
        QTest::keyClicks(f, a.vorher);
        EXPECT_FALSE(hinweis->isVisible());
        QTest::keyClicks(f, a.taste);
        EXPECT_TRUE(hinweis->isVisible());
        QTest::keyClick(f, Qt::Key_Tab);
        EXPECT_FALSE(hinweis->isVisible());
    }
    knoepfeDruecken(d);
    EXPECT_TRUE(meldungen.texte.isEmpty()) << meldungen.alle();
}
