// The rent account's name and short name: two lines high, wrapping, the whole text visible, and
// edited, read and saved like every other input field.

#include "Hilfen.h"
#include "form/InputFeld.h"
#include "form/TabStrip.h"

#include <QFontMetrics>
#include <QSignalSpy>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QTest>
#include <gtest/gtest.h>

namespace {

const QString Bezeichnung = QStringLiteral("Erste Bank Mieteneingangskonto Wien-Mariahilf Nr 7");  // 50 characters

void seite2(test::Dialog& d) {
    const int i = d->TabStrip1->indexVon(2);
    QTest::mouseClick(d->TabStrip1, Qt::LeftButton, {}, d->TabStrip1->tabRect(i).center());
    QApplication::processEvents();
}

// The text room of a field: its contents without frame and the line edit's own margins.
QRect textRaum(const QLineEdit* e) {
    return e->contentsRect().marginsRemoved(e->textMargins()).adjusted(2, 1, -2, -1);
}

}  // namespace

TEST(Mehrzeilig, ZweiZeilenHochUndDerGanzeTextSichtbar) {
    test::Datenbanken db;
    db.mandSql(QStringLiteral("UPDATE AllgMandDaten SET MandMikoBezeich = ?, MandMikoKurzbez = ?"),
               {Bezeichnung, QStringLiteral("Mietenkonto Mariahi")});
    test::Meldungen meldungen;
    test::Dialog d(test::info(db));
    seite2(d);
    for (const char* name : {"InputFeld3", "InputFeld4"}) {
        InputFeld* f = d->feld(QLatin1String(name));
        ASSERT_NE(f, nullptr) << name;
        const QFontMetrics fm(f->font());
        const QRect raum = textRaum(f);
        EXPECT_GE(raum.height(), 2 * fm.height()) << name;
        const QRect noetig = fm.boundingRect(raum, Qt::TextWordWrap, f->text());
        EXPECT_LE(noetig.height(), raum.height()) << name << ": " << f->text().toStdString();
        EXPECT_LE(noetig.width(), raum.width()) << name;
    }
    EXPECT_EQ(d->feld("InputFeld3")->Text(), Bezeichnung);
    EXPECT_TRUE(meldungen.texte.isEmpty());
}

TEST(Mehrzeilig, KlickInDieZweiteZeileTippenUndSpeichern) {
    test::Datenbanken db;
    db.mandSql(QStringLiteral("UPDATE AllgMandDaten SET MandMikoBezeich = ?"), {Bezeichnung});
    test::Meldungen meldungen;
    test::Dialog d(test::info(db));
    seite2(d);
    InputFeld* f = d->feld("InputFeld3");
    QSignalSpy got(f, &InputFeld::GotFocus), lost(f, &InputFeld::LostFocus), leave(f, &InputFeld::LeaveField);
    const QRect raum = textRaum(f);
    const QFontMetrics fm(f->font());
    // The left edge of the second line: past everything that the first line holds.
    QTest::mouseClick(f, Qt::LeftButton, {}, QPoint(raum.left() + 1, raum.top() + fm.height() + fm.height() / 2));
    ASSERT_TRUE(test::fokusAuf(f));
    EXPECT_EQ(got.count(), 1);
    const int pos = f->cursorPosition();
    EXPECT_GT(pos, 15);
    EXPECT_LT(pos, Bezeichnung.size());
    EXPECT_TRUE(Bezeichnung.at(pos - 1) == QLatin1Char(' ') || Bezeichnung.at(pos - 1) == QLatin1Char('-'))
        << "Zeile beginnt bei " << pos;
    QTest::keyClick(f, Qt::Key_Backspace);
    QTest::keyClicks(f, "|");
    QString erwartet = Bezeichnung;
    erwartet[pos - 1] = QLatin1Char('|');
    EXPECT_EQ(f->Text(), erwartet);
    QTest::keyClicks(f, "zu viel");  // the limit of 50 characters holds
    EXPECT_EQ(f->Text(), erwartet);
    QTest::keyClick(f, Qt::Key_Tab);
    EXPECT_EQ(leave.count(), 1);
    EXPECT_EQ(lost.count(), 1);
    EXPECT_EQ(f->spaltenwert().toString(), erwartet);
    EXPECT_TRUE(d.schliessen());
    EXPECT_EQ(db.mandWert(QStringLiteral("SELECT MandMikoBezeich FROM AllgMandDaten")).toString(), erwartet);
    EXPECT_TRUE(meldungen.texte.isEmpty()) << meldungen.texte.join('|').toStdString();
}
