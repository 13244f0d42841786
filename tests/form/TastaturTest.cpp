// A fast typist at the shown dialog: entering a field by keyboard selects it so that typing
// replaces it, Alt never types, Enter presses a focused button, a refused key says so, the
// dialog opens with the focus in a field, the button strip is visited as it is shown.

#include "Hilfen.h"
#include "currency/WaehrungsseiteHilfen.h"
#include "form/Feldtabelle.h"
#include "form/InputFeld.h"
#include "form/InputFeldHinweis.h"
#include "form/TabStrip.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

using namespace xov;

namespace {

QWidget* fokus() { return QApplication::focusWidget(); }
std::string name(const QWidget* w) { return w ? w->objectName().toStdString() : std::string("(keiner)"); }

void taste(Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier) {
    QTest::keyClick(fokus(), k, m);
    QApplication::processEvents();
}

// A line edit entered by keyboard holds its whole text selected.
bool ganzMarkiert(QWidget* w) {
    auto* e = qobject_cast<QLineEdit*>(w);
    return !e || e->text().isEmpty() || e->selectedText() == e->text();
}

QString beispiel(const InputFeld* f) {
    switch (f->feldtype()) {
    case InputFeld::Textfeld: return QStringLiteral("Neu");
    case InputFeld::Datum: return QStringLiteral("01.02.2024");
    case InputFeld::Monat: return QStringLiteral("02.2024");
    default: return f->dezimalstellen() > 0 ? QStringLiteral("12,34") : QStringLiteral("7");
    }
}

std::string seitenName(const ::testing::TestParamInfo<int>& i) { return "Seite" + std::to_string(i.param); }

}  // namespace

// --- Each page by keyboard: Tab selects, typing replaces, Alt types nothing -------------------

class JedeSeite : public ::testing::TestWithParam<int> {};

TEST_P(JedeSeite, TabMarkiertTippenErsetztAltTipptNichts) {
    const int seite = GetParam();
    test::Datenbanken db;
    test::Meldungen meldungen;
    test::Dialog d(test::info(db, {.waehrung = true}));
    if (seite != 1) test::tabKlicken(d, seite);
    QFrame* rahmen = d->Frame1[seite - 1];
    ASSERT_TRUE(rahmen->isAncestorOf(fokus())) << name(fokus());
    QSet<int> artenGetippt;
    QStringList besucht;
    for (int schritt = 0; schritt < 80 && rahmen->isAncestorOf(fokus()); ++schritt) {
        QWidget* w = fokus();
        if (besucht.contains(w->objectName())) break;
        besucht << w->objectName();
        EXPECT_TRUE(ganzMarkiert(w)) << name(w);
        // One field of each kind: typing replaces the selected value, then the value goes back.
        auto* f = qobject_cast<InputFeld*>(w);
        const int art = f ? f->feldtype() * 100 + f->dezimalstellen() : -1;
        if (f && f->isEnabled() && !artenGetippt.contains(art) && !f->text().isEmpty()) {
            artenGetippt << art;
            const QString vorher = f->text(), neu = beispiel(f);
            QTest::keyClicks(f, neu.toLatin1().constData());
            EXPECT_EQ(f->text(), neu) << name(f) << " zeigte " << vorher.toStdString();
            f->selectAll();
            QTest::keyClicks(f, vorher.toUtf8().constData());
        }
        // Alt (with Shift, with Ctrl) and a letter no button answers: nothing typed, a beep each.
        // What entering a field sets off (a currency row loads its rate) runs first.
        test::abarbeiten();
        auto* e = qobject_cast<QLineEdit*>(w);
        auto* l = qobject_cast<QComboBox*>(w);
        const QString text = e ? e->text() : l ? l->currentText() : QString();
        const int abgewiesen = abgewieseneTasten();
        for (char c : {'A', 'M', 'Z'})
            for (auto m : {Qt::KeyboardModifiers(Qt::AltModifier), Qt::AltModifier | Qt::ShiftModifier, Qt::AltModifier | Qt::ControlModifier})
                QTest::keyClick(w, static_cast<Qt::Key>(c), m);
        if (e || l) {
            EXPECT_EQ(e ? e->text() : l->currentText(), text) << name(w);
            EXPECT_EQ(abgewieseneTasten() - abgewiesen, 9) << name(w);
        }
        taste(Qt::Key_Tab);
    }
    EXPECT_FALSE(artenGetippt.isEmpty()) << besucht.join(' ').toStdString();
    // Back with Shift+Tab and on with Enter, each arriving selected.
    if (besucht.size() >= 2) {
        d->steuerelement(besucht.at(1))->setFocus(Qt::TabFocusReason);
        taste(Qt::Key_Backtab);
        EXPECT_EQ(fokus()->objectName(), besucht.at(0));
        EXPECT_TRUE(ganzMarkiert(fokus()));
        if (qobject_cast<InputFeld*>(fokus())) {
            taste(Qt::Key_Return);
            EXPECT_EQ(fokus()->objectName(), besucht.at(1));
            EXPECT_TRUE(ganzMarkiert(fokus()));
        }
    }
    // Enter on the page's last field stays on the page and never reaches a button below it.
    for (auto it = besucht.crbegin(); it != besucht.crend(); ++it) {
        auto* letztes = qobject_cast<InputFeld*>(d->steuerelement(*it));
        if (!letztes || !letztes->isEnabled()) continue;
        letztes->setFocus(Qt::TabFocusReason);
        taste(Qt::Key_Return);
        taste(Qt::Key_Return);
        EXPECT_TRUE(d->isVisible() && rahmen->isAncestorOf(fokus())) << name(letztes) << " -> " << name(fokus());
        break;
    }
    EXPECT_TRUE(meldungen.texte.isEmpty()) << meldungen.alle();
}

// Page 4 shows no field a user can reach.
INSTANTIATE_TEST_SUITE_P(Seiten, JedeSeite, ::testing::Values(1, 2, 3, 5, 6, 7, 8), seitenName);

// A click puts the cursor where it lands instead of selecting; AltGr types its character, and
// Alt with the letter of a button hidden on this page presses nothing.
TEST(Tippen, MausklickAltGrUndKuerzelVerborgenerKnoepfe) {
    test::Datenbanken db;
    test::Dialog d(test::info(db));
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
}

// --- Enter on a focused button -----------------------------------------------------------------

struct KnopfFall {
    const char* knopf;
    int seite;
    Qt::Key kuerzel;  // with Alt
};
void PrintTo(const KnopfFall& k, std::ostream* os) { *os << k.knopf; }

class EnterAufKnopf : public ::testing::TestWithParam<KnopfFall> {};

TEST_P(EnterAufKnopf, DruecktIhnUndSeinKuerzelAuch) {
    test::Datenbanken db;
    test::Meldungen meldungen;
    test::Dialog d(test::info(db, {.waehrung = true}));
    // Whatever window the button opens (file dialog, account picker) is closed again.
    QTimer schliesser;
    QObject::connect(&schliesser, &QTimer::timeout, [&] {
        auto* w = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (w && w != d.form.get() && !qobject_cast<QMessageBox*>(w)) w->reject();
    });
    schliesser.start(20);
    test::tabKlicken(d, GetParam().seite);
    auto* k = d->findChild<QPushButton*>(GetParam().knopf);
    ASSERT_TRUE(k && k->isVisible());
    QSignalSpy gedrueckt(k, &QPushButton::clicked);
    k->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(test::fokusAuf(k));
    QTest::keyClick(k, Qt::Key_Return);
    EXPECT_TRUE(QTest::qWaitFor([&] { return gedrueckt.count() == 1; }, 2000));
    auto nurDerDialog = [&] { return QApplication::activeModalWidget() == d.form.get() || !QApplication::activeModalWidget(); };
    EXPECT_TRUE(QTest::qWaitFor(nurDerDialog, 2000));
    if (k == d->cmdBeenden) {
        EXPECT_TRUE(QTest::qWaitFor([&] { return !d->isVisible(); }, 2000));
        return;
    }
    // The shortcut from a field of the page.
    test::aktivieren(d.form.get());
    for (auto* f : d->Frame1[GetParam().seite - 1]->findChildren<InputFeld*>()) {
        if (!f->isVisible() || !f->isEnabled()) continue;
        f->setFocus(Qt::TabFocusReason);
        ASSERT_TRUE(test::fokusAuf(f));
        break;
    }
    QTest::keyClick(fokus(), GetParam().kuerzel, Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return gedrueckt.count() == 2; }, 2000));
    EXPECT_TRUE(QTest::qWaitFor(nurDerDialog, 2000));
}

INSTANTIATE_TEST_SUITE_P(Knoepfe, EnterAufKnopf,
                         ::testing::Values(KnopfFall{"cmdBeenden", 1, Qt::Key_B}, KnopfFall{"cmdNeuerKurs", 8, Qt::Key_N},
                                           KnopfFall{"cmdKurseEinlesen", 8, Qt::Key_E}, KnopfFall{"cmdKontenAuswahl", 6, Qt::Key_K}),
                         [](const auto& info) { return std::string(info.param.knopf); });

// A rate typed and then Alt+B pressed is stored, as when "Beenden" is clicked.
TEST(Tippen, AltBSpeichertDenGetipptenKurs) {
    test::Datenbanken db;
    db.faSql("DELETE FROM AllgWaehrung");
    test::waehrung(db, 1, "USD", "US-Dollar", "USA", {{QDate(2024, 1, 2), 1.1, 0.9091}});
    test::Meldungen meldungen;
    test::Seite s(db);
    s.neuerKurs("04.03.2024");
    s.tippen(s.eif(), "1,6", false);
    QTest::keyClick(fokus(), Qt::Key_B, Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !s->isVisible(); }, 2000));
    EXPECT_EQ(test::gespeichert(db.fa, "SELECT EuroinFremd, FremdinEuro FROM AllgWaehrung WHERE WID = 1 AND AenderDatum = '2024-03-04'"),
              QStringLiteral("1.6|0.625"))
        << meldungen.alle();
}

// --- The first focus and the button strip ------------------------------------------------------

struct StartFall {
    const char* name;
    int tabStripNr;
    bool eingeschraenkt;
    const char* feld;
    const char* nachTab;  // where the first Tab goes; null: not asked
};
void PrintTo(const StartFall& s, std::ostream* os) { *os << s.name; }

class ErsterFokus : public ::testing::TestWithParam<StartFall> {};

TEST_P(ErsterFokus, SichtbarImFeldDerStartseite) {
    test::Datenbanken db;
    test::Dialog d(test::info(db, {.waehrung = true, .eingeschraenkt = GetParam().eingeschraenkt}), GetParam().tabStripNr);
    ASSERT_TRUE(QTest::qWaitFor([&] { return fokus() && fokus()->objectName() == QString::fromUtf8(GetParam().feld); }, 2000))
        << name(fokus());
    EXPECT_TRUE(ganzMarkiert(fokus()));
    if (GetParam().nachTab) {
        taste(Qt::Key_Tab);
        EXPECT_EQ(fokus()->objectName(), QString::fromUtf8(GetParam().nachTab));
    }
}

INSTANTIATE_TEST_SUITE_P(Startseiten, ErsterFokus,
                         ::testing::Values(StartFall{"Anschrift", 0, false, "inpMandAnschrift", "inpMandPlz"},
                                           StartFall{"Waehrungsstart", 7, false, "inpWährungsBezLang(0)", nullptr},
                                           StartFall{"Eingeschraenkt", 0, true, "TabStrip1", nullptr}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Knopfleiste, WirdInDerGezeigtenReihenfolgeBesucht) {
    test::Datenbanken db;
    test::Dialog d(test::info(db, {.waehrung = true}));
    test::tabKlicken(d, 8);
    QList<QPushButton*> leiste;
    for (auto* k : d->fraUntererTeil->findChildren<QPushButton*>())
        if (k->isVisible()) leiste << k;
    ASSERT_EQ(leiste.size(), 4);  // Neuer Kurs, Kurse einlesen…, Kursgrafik…, Beenden
    std::sort(leiste.begin(), leiste.end(), [](auto* a, auto* b) { return a->x() < b->x(); });
    leiste.first()->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(test::fokusAuf(leiste.first()));
    for (int i = 1; i < leiste.size(); ++i) {
        taste(Qt::Key_Tab);
        EXPECT_EQ(fokus(), leiste.at(i)) << i << ": " << name(fokus());
    }
}

// --- A refused key is never silent ---------------------------------------------------------------

struct Abweisung {
    const char* name;
    const char* feld;
    const char* vorher;  // typed first, accepted
    const char* taste;   // refused
    const char* hinweis;
};
void PrintTo(const Abweisung& a, std::ostream* os) { *os << a.name; }

class AbgewieseneTaste : public ::testing::TestWithParam<Abweisung> {};

TEST_P(AbgewieseneTaste, PiepstUndSagtWarumOhneDasLayoutZuVerschieben) {
    const Abweisung& a = GetParam();
    test::Datenbanken db;
    test::Meldungen meldungen;
    test::Dialog d(test::info(db));
    const int seite = felddef(QString::fromUtf8(a.feld))->seite;
    if (seite != 1) test::tabKlicken(d, seite);
    InputFeld* f = d->feld(QString::fromUtf8(a.feld));
    test::tippen(f, a.vorher);
    const QString text = f->text();
    QHash<QWidget*, QRect> lage;
    for (QWidget* w : d->Frame1[seite - 1]->findChildren<QWidget*>()) lage.insert(w, w->geometry());
    const int abgewiesen = abgewieseneTasten();
    QTest::keyClicks(f, a.taste);
    EXPECT_EQ(f->text(), text);
    EXPECT_EQ(abgewieseneTasten() - abgewiesen, 1);
    QLabel* hinweis = eingabeHinweis(d.form.get());
    ASSERT_TRUE(hinweis && hinweis->isVisible());
    EXPECT_EQ(hinweis->text(), QString::fromUtf8(a.hinweis));
    EXPECT_TRUE(d->rect().contains(hinweis->geometry()));
    for (auto it = lage.cbegin(); it != lage.cend(); ++it) EXPECT_EQ(it.key()->geometry(), it.value()) << name(it.key());
    // The next key the field takes clears the hint, and so does leaving the field.
    QTest::keyClick(f, Qt::Key_Backspace);
    f->selectAll();
    QTest::keyClicks(f, a.vorher);
    EXPECT_FALSE(hinweis->isVisible());
    QTest::keyClicks(f, a.taste);
    EXPECT_TRUE(hinweis->isVisible());
    taste(Qt::Key_Tab);
    EXPECT_FALSE(hinweis->isVisible());
}

INSTANTIATE_TEST_SUITE_P(
    Felder, AbgewieseneTaste,
    ::testing::Values(Abweisung{"BuchstabeImBetrag", "inpMandBagatellBetrag", "5", "x", "Nur eine Zahl wie 1.234,56."},
                      Abweisung{"DritteNachkommastelle", "inpMandBagatellBetrag", "12,34", "5", "Höchstens 2 Nachkommastellen."},
                      Abweisung{"VolleAnschrift", "inpMandAnschrift", "Neubaugasse 12 Hinterhaus Stiege 3 Tuer7", "x",
                                "Höchstens 40 Zeichen."},
                      Abweisung{"MinusImDvr", "inpMandDvr", "4711", "-", "Hier ist kein Minus möglich."},
                      Abweisung{"KommaInDerGanzzahl", "inpMandBuchjahr", "2024", ",", "Nur ganze Zahlen, ohne Komma."}),
    [](const auto& info) { return std::string(info.param.name); });

// Keyboard only, Ctrl+Tab through every page: the focus follows into each page, never stays
// behind on the page left, on a button below the pages or on the strip.
TEST(Seitentasten, StrgTabFuehrtDenFokusAufJedeSeite) {
    test::Datenbanken db;
    test::Meldungen meldungen;
    test::Dialog d(test::info(db, {.waehrung = true}));
    for (int seite : {2, 3, 4, 5, 6, 7, 8, 1}) {
        taste(Qt::Key_Tab, Qt::ControlModifier);
        ASSERT_EQ(d->TabStrip1->aktuelleSeite(), seite);
        if (seite != 4) EXPECT_TRUE(d->Frame1[seite - 1]->isAncestorOf(fokus())) << seite << " " << name(fokus());  // page 4 shows no field
    }
    EXPECT_TRUE(meldungen.texte.isEmpty()) << meldungen.alle();
}
