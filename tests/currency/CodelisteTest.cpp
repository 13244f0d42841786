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

struct Tastatur {
    QWidget* dialog;
    void taste(Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier) const {
        QTest::keyClick(dialog->windowHandle(), k, m);
        Seite::ruhe();
    }
    void tippen(const char* text) const {
        for (const char* c = text; *c; ++c) QTest::keyClick(dialog->windowHandle(), *c);
        Seite::ruhe();
    }
};

QAbstractItemView* liste(InputFeld* f) { return f->completer() ? f->completer()->popup() : nullptr; }

QStringList angeboten(InputFeld* f) {
    QStringList l;
    auto* m = liste(f)->model();
    for (int i = 0; i < m->rowCount(); ++i) l << m->index(i, 0).data().toString();
    return l;
}

// Clicks into the code field and empties it, as a user starts a code.
void leeren(Seite&, InputFeld* f) {
    QTest::mouseClick(f, Qt::LeftButton);
    ASSERT_TRUE(test::fokusAuf(f));
    f->selectAll();
    QTest::keyClick(f, Qt::Key_Delete);
}

}  // namespace

TEST(Codeliste, ErsteBuchstabenBietenCodeUndNamenPfeilUndEnterSetzenDenCode) {
    test::Datenbanken db;  // USD, CHF and GBP in rows 1 to 3
    test::Meldungen m;
    Seite s(db);
    Tastatur t{s.d->form.get()};
    leeren(s, s.kurz(4));
    t.tippen("us");
    ASSERT_TRUE(liste(s.kurz(4))->isVisible());
    EXPECT_TRUE(angeboten(s.kurz(4)).contains(QStringLiteral("USD – US-Dollar"))) << angeboten(s.kurz(4)).join("|").toStdString();
    EXPECT_EQ(s.kurz(4)->text(), "us");  // the list offers, the field keeps what is typed
    // Escape closes the list only.
    t.taste(Qt::Key_Escape);
    EXPECT_FALSE(liste(s.kurz(4))->isVisible());
    EXPECT_TRUE(s->isVisible());
    EXPECT_TRUE(test::fokusAuf(s.kurz(4)));

    leeren(s, s.kurz(4));
    t.tippen("JP");
    ASSERT_TRUE(liste(s.kurz(4))->isVisible());
    EXPECT_EQ(angeboten(s.kurz(4)).value(0), QStringLiteral("JPY – Japanischer Yen"));
    t.taste(Qt::Key_Down);
    t.taste(Qt::Key_Return);
    EXPECT_FALSE(liste(s.kurz(4))->isVisible());
    EXPECT_EQ(s.kurz(4)->text(), "JPY");
    EXPECT_TRUE(test::fokusAuf(s.kurz(4)));
    // Tab then leaves the full code as always: the empty name gets the German name.
    t.taste(Qt::Key_Tab);
    EXPECT_TRUE(test::fokusAuf(s.land(4)));
    EXPECT_EQ(s.lang(4)->text(), QStringLiteral("Japanischer Yen"));
    EXPECT_TRUE(m.texte.isEmpty()) << m.texte.join("|").toStdString();
}
