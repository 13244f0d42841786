// A fast typist at the shown dialog, by keyboard through every page: the keyboard order of each
// page its table's order, every field entered selected, typing replacing it and Alt typing
// nothing, every control named for a screen reader, and a check-digit hint on page 1 moving
// nothing; a click places the cursor, AltGr types, a refused key says so without moving
// anything, Enter presses a focused button and its Alt shortcut does too. (A name twice in the
// tables or a bound column the database lacks shows in every dialog test.)

#include "Hilfen.h"
#include "form/InputFeld.h"
#include "form/InputFeldHinweis.h"
#include "form/TabStrip.h"

using namespace xov;

namespace {

QWidget* fokus() { return QApplication::focusWidget(); }
std::string name(const QWidget* w) { return w ? w->objectName().toStdString() : std::string("(keiner)"); }
void taste(Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier) { QTest::keyClick(fokus(), k, m); }

// A line edit entered by keyboard holds its whole text selected.
bool ganzMarkiert(QWidget* w) {
    auto* e = qobject_cast<QLineEdit*>(w);
    return !e || e->text().isEmpty() || e->selectedText() == e->text();
}

QString zugang(QWidget* w, QAccessible::Text art = QAccessible::Name) {
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
    return a ? a->text(art).trimmed() : QString();
}

// The controls a user reaches in `bereich` that have no name for a screen reader.
QStringList ohneNamen(QWidget* bereich) {
    QStringList fehlend;
    for (QWidget* w : bereich->findChildren<QWidget*>()) {
        if (!w->isVisibleTo(bereich) || w->focusPolicy() == Qt::NoFocus) continue;
        const bool feld = qobject_cast<QLineEdit*>(w) && !qobject_cast<QComboBox*>(w->parentWidget());  // not a list's own editor
        if ((feld || qobject_cast<QComboBox*>(w) || qobject_cast<QAbstractButton*>(w) || qobject_cast<QAbstractItemView*>(w)) &&
            zugang(w).isEmpty())
            fehlend << w->objectName();
    }
    return fehlend;
}

QString beispiel(const InputFeld* f) {
    switch (f->feldtype()) {
    case InputFeld::Textfeld: return QStringLiteral("Neu");
    case InputFeld::Datum: return QStringLiteral("01.02.2024");
    case InputFeld::Monat: return QStringLiteral("02.2024");
    default: return f->dezimalstellen() > 0 ? QStringLiteral("12,34") : QStringLiteral("7");
    }
}

// The control reached by Tab: selected; in one field of each kind typing replaces the value (put
// back again); Alt (with Shift, with Ctrl) and a letter no button answers type nothing, a beep each.
void feldPruefen(QWidget* w, QSet<int>& artenGetippt) {
    EXPECT_TRUE(ganzMarkiert(w)) << name(w);
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
    test::abarbeiten();  // what entering a field sets off (a currency row loads its rate) runs first
    auto* e = qobject_cast<QLineEdit*>(w);
    auto* l = qobject_cast<QComboBox*>(w);
    if (!e && !l) return;
    const QString text = e ? e->text() : l->currentText();
    const int abgewiesen = abgewieseneTasten(w);
    for (char c : {'A', 'M', 'Z'})
        for (auto m : {Qt::KeyboardModifiers(Qt::AltModifier), Qt::AltModifier | Qt::ShiftModifier, Qt::AltModifier | Qt::ControlModifier})
            QTest::keyClick(w, static_cast<Qt::Key>(c), m);
    EXPECT_EQ(e ? e->text() : l->currentText(), text) << name(w);
    EXPECT_EQ(abgewieseneTasten(w) - abgewiesen, 9) << name(w);
}

// Tab from the first control of the page visits the page's controls in the table's order, each
// once and no other; Shift+Tab goes back and Enter on, each arriving selected; Enter on the
// page's last field stays on the page and never reaches a button below it.
void seiteDurchgehen(test::Dialog& d, const SeitenDef& s) {
    QFrame* rahmen = d->Frame1[s.nummer - 1];
    QStringList erwartet;
    for (const FeldDef& f : s.felder) {
        QWidget* w = d->steuerelement(f.name);
        if (f.art != xov::Art::Anzeige && f.art != xov::Art::Beschriftung && w->isVisible() && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus))
            erwartet << f.name;
    }
    if (erwartet.isEmpty()) return;  // page 4 shows nothing
    d->steuerelement(erwartet.first())->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(test::fokusAuf(d->steuerelement(erwartet.first())));
    QStringList besucht;
    QSet<int> artenGetippt;
    while (besucht.size() < erwartet.size() + 40 && rahmen->isAncestorOf(fokus()) && !besucht.contains(fokus()->objectName())) {
        besucht << fokus()->objectName();
        feldPruefen(fokus(), artenGetippt);
        taste(Qt::Key_Tab);
    }
    // Shift+Tab from the buttons below the pages leads into the page, and Tab from there through
    // the buttons as they are shown, left to right, to the tab strip; Shift+Tab from the page's
    // first control reaches the strip too (also on a page built later).
    QList<QPushButton*> leiste;
    for (auto* k : d->fraUntererTeil->findChildren<QPushButton*>())
        if (k->isVisible()) leiste << k;
    std::sort(leiste.begin(), leiste.end(), [](auto* a, auto* b) { return a->x() < b->x(); });
    leiste.first()->setFocus(Qt::TabFocusReason);
    taste(Qt::Key_Backtab);
    EXPECT_TRUE(rahmen->isAncestorOf(fokus())) << "Seite " << s.nummer << ": " << name(fokus());
    for (QPushButton* k : leiste) {
        taste(Qt::Key_Tab);
        EXPECT_EQ(fokus(), k) << "Seite " << s.nummer << ": " << name(fokus());
    }
    taste(Qt::Key_Tab);
    EXPECT_EQ(fokus(), d->TabStrip1) << "Seite " << s.nummer << ": " << name(fokus());
    d->steuerelement(besucht.first())->setFocus(Qt::TabFocusReason);
    taste(Qt::Key_Backtab);
    EXPECT_EQ(fokus(), d->TabStrip1) << "Seite " << s.nummer << ": " << name(fokus());
    // The currency page shows its rate frame and grid as the current row asks: its 60 row fields
    // are the fixed part of its order.
    EXPECT_EQ(besucht.mid(0, s.nummer == 8 ? 60 : -1), erwartet.mid(0, s.nummer == 8 ? 60 : -1)) << "Seite " << s.nummer;
    if (besucht.size() >= 2 && qobject_cast<InputFeld*>(d->steuerelement(besucht.at(0)))) {
        d->steuerelement(besucht.at(1))->setFocus(Qt::TabFocusReason);
        taste(Qt::Key_Backtab);
        EXPECT_TRUE(fokus()->objectName() == besucht.at(0) && ganzMarkiert(fokus())) << name(fokus());
        taste(Qt::Key_Return);
        EXPECT_TRUE(fokus()->objectName() == besucht.at(1) && ganzMarkiert(fokus())) << name(fokus());
    }
    for (auto it = besucht.crbegin(); it != besucht.crend(); ++it) {
        auto* letztes = qobject_cast<InputFeld*>(d->steuerelement(*it));
        if (!letztes || !letztes->isEnabled()) continue;
        letztes->setFocus(Qt::TabFocusReason);
        taste(Qt::Key_Return);
        taste(Qt::Key_Return);
        EXPECT_TRUE(d->isVisible() && rahmen->isAncestorOf(fokus())) << name(letztes) << " -> " << name(fokus());
        break;
    }
}

// Wrong check digits show page 1's hints beside their fields, right ones hide them: the version
// label and the dialog's width stay, and a screen reader tells the hint with its field.
void hinweiseVerschiebenNichts(test::Dialog& d) {
    auto* version = d->findChild<QLabel*>("lblVersionsNr");
    auto* uid = d->findChild<QLabel*>("lblMandUIDHinweis");
    auto* steuer = d->findChild<QLabel*>("lblSteuerNrHinweis");
    ASSERT_TRUE(version && uid && steuer);
    QApplication::processEvents();
    ASSERT_FALSE(uid->isVisible() || steuer->isVisible());  // the demo client's numbers, or typed again below
    EXPECT_EQ(zugang(d->feld("inpMandUID"), QAccessible::Description), QString());
    const QPoint vorher = version->mapTo(d.form.get(), QPoint());
    const int breite = d->width();
    test::tippen(d->feld("inpMandUID"), "ATU13585626");
    test::tippen(d->feld("inpSteuerNr"), "123/4567");
    QApplication::processEvents();
    ASSERT_TRUE(uid->isVisible() && steuer->isVisible());
    EXPECT_EQ(version->mapTo(d.form.get(), QPoint()), vorher);
    EXPECT_EQ(d->width(), breite);
    EXPECT_FALSE(uid->text().isEmpty());
    EXPECT_EQ(zugang(d->feld("inpMandUID"), QAccessible::Description), uid->text());
    test::tippen(d->feld("inpMandUID"), "ATU13585627");
    test::tippen(d->feld("inpSteuerNr"), "123/4561");
}

// A click puts the cursor where it lands instead of selecting; AltGr types its character,
// and Alt with the letter of a button hidden on this page presses nothing. Each field of the
// table takes `vorher` and refuses the next key with a beep and a hint inside the dialog that
// moves no control of the page; the next key taken clears the hint, and so does leaving.
void tippenUndAbweisen(test::Dialog& d) {
    struct Abweisung { const char *feld, *vorher, *taste, *hinweis; };
    const Abweisung faelle[] = {
        {"inpMandBagatellBetrag", "5", "x", "Nur eine Zahl wie 1.234,56."},
        {"inpMandBagatellBetrag", "12,34", "5", "Höchstens 2 Nachkommastellen."},
        {"inpMandAnschrift", "Neubaugasse 12 Hinterhaus Stiege 3 Tuer7", "x", "Höchstens 40 Zeichen."},
        {"inpMandDvr", "4711", "-", "Hier ist kein Minus möglich."},
        {"inpMandBuchjahr", "2024", ",", "Nur ganze Zahlen, ohne Komma."},
    };
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
}

// Each button's Alt shortcut from a field of its page presses it; whatever window it opens (file
// dialog, account picker) is closed again. Then Enter on the focused "Beenden" closes the dialog.
void knoepfeDruecken(test::Dialog& d) {
    QTimer schliesser;
    QObject::connect(&schliesser, &QTimer::timeout, [&] {
        auto* w = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (w && w != d.form.get() && !qobject_cast<QMessageBox*>(w)) w->reject();
    });
    schliesser.start(20);
    struct Fall { const char* knopf; int seite; Qt::Key kuerzel; const char* feld; };
    for (const Fall& fall : {Fall{"cmdKontenAuswahl", 6, Qt::Key_K, "inpMandKonto30"},
                             Fall{"cmdKurseEinlesen", 8, Qt::Key_E, "inpWährungsBezLang(0)"},
                             Fall{"cmdNeuerKurs", 8, Qt::Key_N, "inpWährungsBezLang(0)"}}) {
        SCOPED_TRACE(fall.knopf);
        if (d->TabStrip1->aktuelleSeite() != fall.seite) test::tabKlicken(d, fall.seite);
        QSignalSpy gedrueckt(d->findChild<QPushButton*>(fall.knopf), &QPushButton::clicked);
        d->feld(QString::fromUtf8(fall.feld))->setFocus(Qt::TabFocusReason);
        ASSERT_TRUE(test::fokusAuf(d->feld(QString::fromUtf8(fall.feld))));
        QTest::keyClick(QApplication::focusWidget(), fall.kuerzel, Qt::AltModifier);
        EXPECT_TRUE(QTest::qWaitFor([&] { return gedrueckt.count() == 1; }, 2000));
        EXPECT_TRUE(QTest::qWaitFor([] { return !QApplication::activeModalWidget(); }, 2000));  // what it opened is closed
        test::aktivieren(d.form.get());
    }
    d->cmdBeenden->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(test::fokusAuf(d->cmdBeenden));
    QTest::keyClick(d->cmdBeenden, Qt::Key_Return);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !d->isVisible(); }, 2000));
}

}  // namespace

// Opened on page 1 with the focus in the address, selected; Ctrl+Tab and Ctrl+PageDown by turns,
// one page each, through every page bring the focus into each (never left behind on the page
// left, a button or the strip); the hints are checked on page 1 before any other page was shown
// and after all were. Then typing on pages 1 and 3, and the buttons pressed by keyboard.
TEST(Tastatur, RundgangDurchJedeSeiteTippenUndKnoepfe) {
    test::Datenbanken db;
    test::Meldungen meldungen;
    test::Dialog d(test::info(db, {.waehrung = true}));
    QAccessible::setActive(true);
    ASSERT_TRUE(test::fokusAuf(d->feld("inpMandAnschrift"))) << name(fokus());
    EXPECT_TRUE(ganzMarkiert(fokus()));
    hinweiseVerschiebenNichts(d);
    for (const SeitenDef& s : seitentabellen()) {
        if (s.nummer != 1) taste(s.nummer % 2 ? Qt::Key_Tab : Qt::Key_PageDown, Qt::ControlModifier);
        ASSERT_EQ(d->TabStrip1->aktuelleSeite(), s.nummer);
        const bool imRahmen = s.nummer == 4 || d->Frame1[s.nummer - 1]->isAncestorOf(fokus());  // page 4 shows no field
        EXPECT_TRUE(s.nummer == 1 || (imRahmen && ganzMarkiert(fokus()))) << "Seite " << s.nummer << ": " << name(fokus());
        EXPECT_EQ(ohneNamen(d->Frame1[s.nummer - 1]), QStringList()) << "Seite " << s.nummer;
        seiteDurchgehen(d, s);
        if (HasFatalFailure()) return;
    }
    // The currency rows are told apart by their number and column; the button strip is named.
    EXPECT_EQ(zugang(d->feld(QStringLiteral("inpWährungsBezKurz(2)"))), QStringLiteral("Währung 3, Kurzbezeichnung"));
    EXPECT_EQ(ohneNamen(d->fraUntererTeil), QStringList());
    d->feld(QStringLiteral("inpWährungsBezLang(0)"))->setFocus(Qt::TabFocusReason);
    taste(Qt::Key_Tab, Qt::ControlModifier);
    ASSERT_EQ(d->TabStrip1->aktuelleSeite(), 1);
    hinweiseVerschiebenNichts(d);
    tippenUndAbweisen(d);
    knoepfeDruecken(d);
    EXPECT_TRUE(meldungen.texte.isEmpty()) << meldungen.alle();
}
