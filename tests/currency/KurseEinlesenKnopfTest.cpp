// "Kurse einlesen…" on the currency page: a rate file chosen in the file dialog, the tool's
// options chosen in a small dialog by typing and clicking, the summary, and the history at once.

#include "currency/WaehrungsseiteHilfen.h"
#include "kurse/Kursdateien.h"
#include "form/InputFeld.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>

using test::csv2024;
using test::Seite;

namespace {

// Answers the file dialog with the file, then hands the options dialog to `optionen`, which
// acts in it as a user does.
struct Einlesen {
    QTimer timer;
    bool dateiGewaehlt = false, optionenGesehen = false;
    Einlesen(const QString& datei, std::function<void(QDialog*)> optionen) {
        timer.callOnTimeout([this, datei, optionen] {
            QWidget* w = QApplication::activeModalWidget();
            if (auto* f = qobject_cast<QFileDialog*>(w); f && !dateiGewaehlt) {
                // The path into the file name field and Enter, as a user answers it. selectFile()
                // would leave the field alone once it has the focus, and the dialog then waits.
                auto* name = f->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
                if (!name) return;
                dateiGewaehlt = true;
                name->setText(datei);
                QTest::keyClick(name, Qt::Key_Return);
            } else if (w && w->objectName() == QLatin1String("dlgKurseEinlesenOptionen") && !optionenGesehen) {
                optionenGesehen = true;
                optionen(qobject_cast<QDialog*>(w));
            }
        });
        timer.start(10);
    }
};

QPushButton* knopf(QDialog* dlg, QDialogButtonBox::StandardButton b) { return dlg->findChild<QDialogButtonBox*>()->button(b); }

}  // namespace

// From, to and replacing existing days, as the tool's --ab, --bis and --ersetzen; a date that is
// none is refused with a message and the dialog stays.
TEST(Referenzkurse, KnopfMitZeitraumUndErsetzenWieDasWerkzeug) {
    test::Datenbanken db;
    db.faSql("DELETE FROM AllgWaehrung");
    test::waehrung(db, 1, "USD", "US-Dollar", "USA", {{QDate(2024, 12, 31), 1.1, 0.9091}});
    test::waehrung(db, 2, "SEK", "Schwedische Krone", "S", {{QDate(2023, 12, 1), 11.0, 0.0909}});
    test::Meldungen meldungen;
    Seite s(db);
    EXPECT_TRUE(QTest::qWaitForWindowActive(s.d->form.get(), 2000));  // the keyboard is the page's again
    Einlesen e(csv2024, [&](QDialog* dlg) {
        auto* ab = dlg->findChild<InputFeld*>("inpKurseAb");
        auto* bis = dlg->findChild<InputFeld*>("inpKurseBis");
        QTest::keyClicks(ab, "32.12.2024");
        QTest::mouseClick(knopf(dlg, QDialogButtonBox::Ok), Qt::LeftButton);
        EXPECT_EQ(meldungen.texte.value(0), QStringLiteral("\"32.12.2024\" ist kein Datum. Bitte z.B. 01.12.2024 eingeben oder das Feld leer lassen."));
        EXPECT_TRUE(dlg->isVisible());
        ab->selectAll();
        QTest::keyClicks(ab, "3.12.24");  // a Tuesday: the Monday before has a rate
        QTest::keyClicks(bis, "30.11.2024");
        QTest::mouseClick(knopf(dlg, QDialogButtonBox::Ok), Qt::LeftButton);
        EXPECT_EQ(meldungen.texte.value(1), QStringLiteral("Das Datum \"bis\" liegt vor dem Datum \"ab\"."));
        bis->selectAll();
        QTest::keyClicks(bis, "31.12.2024");
        QTest::mouseClick(dlg->findChild<QCheckBox*>("chkKurseErsetzen"), Qt::LeftButton);
        QTest::mouseClick(knopf(dlg, QDialogButtonBox::Ok), Qt::LeftButton);
    });
    QTest::mouseClick(s->findChild<QPushButton*>("cmdKurseEinlesen"), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return meldungen.texte.size() >= 3; }, 10000));
    EXPECT_EQ(meldungen.texte.at(2), QStringLiteral("Kurse aus %1 eingelesen:\nUSD: 18 hinzugefügt, 1 ersetzt, 0 behalten, 0 übersprungen\n"
                                                    "SEK: 19 hinzugefügt, 0 behalten, 0 übersprungen").arg(csv2024));
    EXPECT_EQ(db.faWert("SELECT EuroinFremd FROM AllgWaehrung WHERE WID = 1 AND AenderDatum = '2024-12-31'").toDouble(), 1.0389);
    EXPECT_EQ(db.faWert("SELECT count(*) FROM AllgWaehrung WHERE AenderDatum < '2024-12-03' AND AenderDatum > '2024-01-01'").toInt(), 0);
    // The history of the current row (USD) shows the new rates at once, the replaced one first.
    ASSERT_EQ(s.raster()->model()->rowCount(), 19);
    EXPECT_EQ(s.rasterZeile(0).mid(0, 2), QStringList({"31.12.2024", "1,0389"}));
    // The grid highlights the day the frame shows, with the rate read in.
    EXPECT_EQ(s.raster()->currentIndex().row(), 0);
    EXPECT_EQ(s.datum()->text() + " " + s.eif()->text(), "31.12.2024 1,0389");
    // The keyboard is the page's again.
    s.tippen(s.land(1), "se");
    EXPECT_EQ(db.faWert("SELECT count(DISTINCT Laenderkennzeichen) || Laenderkennzeichen FROM AllgWaehrung WHERE WID = 2").toString(), "1SE");
}
