// The completion list of the currency page's code fields, driven by keys as the keyboard sends
// them: to the dialog's window, which hands them to an open list or to the focus field.

#include "currency/WaehrungsseiteHilfen.h"
#include "form/InputFeld.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QTest>
#include <gtest/gtest.h>

using test::Seite;

namespace {

// Keys as the keyboard sends them: to the dialog's window, which hands them to an open list or
// to the focus field.
void taste(const Seite& s, Qt::Key k) {
    QTest::keyClick(s->windowHandle(), k);
    Seite::ruhe();
}
void tippen(const Seite& s, const char* text) {
    for (const char* c = text; *c; ++c) QTest::keyClick(s->windowHandle(), *c);
    Seite::ruhe();
}

QAbstractItemView* liste(InputFeld* f) { return f->completer() ? f->completer()->popup() : nullptr; }

QStringList angeboten(InputFeld* f) {
    QStringList l;
    for (int i = 0; i < liste(f)->model()->rowCount(); ++i) l << liste(f)->model()->index(i, 0).data().toString();
    return l;
}

}  // namespace

TEST(Codeliste, ErsteBuchstabenBietenCodeUndNamenPfeilUndEnterSetzenDenCode) {
    test::Datenbanken db;  // USD, CHF and GBP in rows 1 to 3
    test::Meldungen m;
    Seite s(db);
    InputFeld* code = s.kurz(4);
    s.tippen(code, "", false);
    tippen(s, "us");
    ASSERT_TRUE(liste(code)->isVisible());
    EXPECT_TRUE(angeboten(code).contains(QStringLiteral("USD – US-Dollar"))) << angeboten(code).join("|").toStdString();
    EXPECT_EQ(code->text(), "us");  // the list offers, the field keeps what is typed
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
    EXPECT_TRUE(test::fokusAuf(code));
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
    EXPECT_TRUE(m.texte.isEmpty()) << m.texte.join("|").toStdString();
}
