// The rent account's name: two lines high, wrapping, the whole text visible, and edited, read
// and saved like every other input field. And a one-line field stored longer than it shows: the
// beginning of its text shows while the field has no focus.

#include "Hilfen.h"
#include "form/InputFeld.h"

#include <QFontMetrics>
#include <QTest>
#include <gtest/gtest.h>

TEST(Mehrzeilig, GanzerTextSichtbarKlickInDieZweiteZeileTippenUndSpeichern) {
    const QString bezeichnung = QStringLiteral("Erste Bank Mieteneingangskonto Wien-Mariahilf Nr 7");  // 50 characters
    test::Datenbanken db;
    const QString anschrift = QStringLiteral("Mariahilfer Straße 123/4, Stiege 2, Tür 17, Hintaus");  // longer than 40
    db.mandSql(QStringLiteral("UPDATE AllgMandDaten SET MandMikoBezeich = ?, MandAnschrift = ?"), {bezeichnung, anschrift});
    test::Meldungen meldungen;
    test::Dialog d(test::info(db));
    InputFeld* lang = d->feld("inpMandAnschrift");
    EXPECT_EQ(lang->cursorPosition(), 0);
    lang->setFocus();
    ASSERT_TRUE(test::fokusAuf(lang));
    QTest::keyClick(lang, Qt::Key_End);
    QTest::keyClick(lang, Qt::Key_Tab);
    EXPECT_FALSE(lang->hasFocus());
    EXPECT_EQ(lang->cursorPosition(), 0);
    test::tabKlicken(d, 2);
    InputFeld* f = d->feld("InputFeld3");
    const QFontMetrics fm(f->font());
    const QRect raum = f->contentsRect().marginsRemoved(f->textMargins()).adjusted(2, 1, -2, -1);
    EXPECT_GE(raum.height(), 2 * fm.height());
    EXPECT_LE(fm.boundingRect(raum, Qt::TextWordWrap, f->text()).height(), raum.height());
    // The left edge of the second line: past everything that the first line holds.
    QTest::mouseClick(f, Qt::LeftButton, {}, QPoint(raum.left() + 1, raum.top() + fm.height() + fm.height() / 2));
    ASSERT_TRUE(test::fokusAuf(f));
    const int pos = f->cursorPosition();
    ASSERT_GT(pos, 15);
    EXPECT_LT(pos, bezeichnung.size());
    EXPECT_TRUE(bezeichnung.at(pos - 1) == QLatin1Char(' ') || bezeichnung.at(pos - 1) == QLatin1Char('-')) << pos;
    QTest::keyClick(f, Qt::Key_Backspace);
    QTest::keyClicks(f, "|zu viel");  // the limit of 50 characters holds
    QString erwartet = bezeichnung;
    erwartet[pos - 1] = QLatin1Char('|');
    EXPECT_EQ(f->Text(), erwartet);
    QTest::keyClick(f, Qt::Key_Tab);
    EXPECT_TRUE(d.schliessen());
    EXPECT_EQ(db.mandWert(QStringLiteral("SELECT MandMikoBezeich FROM AllgMandDaten")).toString(), erwartet);
    EXPECT_EQ(db.mandWert(QStringLiteral("SELECT MandAnschrift FROM AllgMandDaten")).toString(), anschrift);
    EXPECT_TRUE(meldungen.texte.isEmpty()) << meldungen.alle();
}
