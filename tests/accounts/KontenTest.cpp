// The account fields of page 6 against a real chart of accounts, and the account picker.

#include "Hilfen.h"
#include "services/DbVerbindung.h"
#include "form/InputFeld.h"
#include "form/TabStrip.h"
#include "platform/Komponenten.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <gtest/gtest.h>

using namespace xov;

namespace {

const QString Meldung = QStringLiteral("Sammelkonto-Nummer nicht im Kontenstamm existent.\nAndere Auswahl oder leer einsetzen");

void seite6(test::Dialog& d) { test::tabKlicken(d, 6); }

QString label(test::Dialog& d, const char* name) { return d->findChild<QLabel*>(name)->text(); }

// Types the entry into the field and leaves it with Tab; true when the check let it go.
bool pruefe(test::Dialog& d, const char* feld, const QString& text) {
    InputFeld* f = d->feld(feld);
    QTest::mouseClick(f, Qt::LeftButton);
    f->selectAll();
    if (text.isEmpty()) QTest::keyClick(f, Qt::Key_Delete);
    else QTest::keyClicks(f, text.toLatin1().constData());
    QTest::keyClick(f, Qt::Key_Tab);
    QTest::qWait(30);
    return d->FehlerFeld() != QLatin1String(feld);
}

// Drives the picker when it opens: types the search text and chooses, or presses Escape.
void imPicker(const QString& suche, bool waehlen) {
    QTimer::singleShot(20, [=] {
        QWidget* w = QApplication::activeModalWidget();
        if (!w || w->objectName() != QLatin1String("dllSachkontenListe")) {
            imPicker(suche, waehlen);
            return;
        }
        auto* feld = w->findChild<QLineEdit*>("txtSuche");
        QTest::keyClicks(feld, suche.toLatin1().constData());
        QTest::keyClick(feld, waehlen ? Qt::Key_Return : Qt::Key_Escape);
    });
}

}  // namespace

TEST(Kontopruefung, LeereEintraegeUndNachschlagen) {
    test::Datenbanken db;
    db.mandSql("INSERT INTO ObjKanzleiKontenstamm VALUES (2024, '4711  ', 'Durchlaufende Posten'), (2023, '5555', 'Altes Konto'), "
               "(2024, '123456', 'Sechsstellig'), (2024, '7001 ', NULL)");
    test::Meldungen meldungen;
    test::Dialog d(test::info(db));
    seite6(d);
    for (const char* leer : {"", " ", "0", "000"}) {
        d->findChild<QLabel*>("lblMandKonto30Text")->setText("=alt");
        EXPECT_TRUE(pruefe(d, "inpMandKonto30", leer)) << leer;
        EXPECT_EQ(d->feld("inpMandKonto30")->text(), QString()) << leer;
        EXPECT_EQ(label(d, "lblMandKonto30Text"), QString()) << leer;
    }
    EXPECT_TRUE(meldungen.texte.isEmpty());
    EXPECT_TRUE(pruefe(d, "inpMandKonto30", "2800"));
    EXPECT_EQ(label(d, "lblMandKonto30Text"), QStringLiteral("=Bank Erste Bank"));
    EXPECT_TRUE(pruefe(d, "inpMandKonto30", "4711"));  // stored with trailing blanks
    EXPECT_EQ(label(d, "lblMandKonto30Text"), QStringLiteral("=Durchlaufende Posten"));
    EXPECT_TRUE(pruefe(d, "inpMandKonto30", "7001"));  // a null name
    EXPECT_EQ(label(d, "lblMandKonto30Text"), QStringLiteral("="));
    EXPECT_TRUE(meldungen.texte.isEmpty());

    for (const char* falsch : {"00", "0000", "5555", "9999", "1234567", "28' OR 1=1"}) {
        EXPECT_FALSE(pruefe(d, "inpMandKonto30", falsch)) << falsch;
        EXPECT_EQ(label(d, "lblMandKonto30Text"), QStringLiteral("=ungültige Kontonr")) << falsch;
        EXPECT_EQ(d->feld("inpMandKonto30")->text(), QString::fromLatin1(falsch));  // the field keeps its text
        EXPECT_EQ(d->FehlerFeld(), QStringLiteral("inpMandKonto30"));
    }
    EXPECT_EQ(meldungen.texte, QStringList(6, Meldung));
}

TEST(Kontopruefung, GanzeSeiteMeldetJedesFehlendeKontoInTabellenfolge) {
    test::Datenbanken db;
    db.mandSql("UPDATE AllgMandDaten SET MandKonto8 = '9991', MandKreditSammelKoNr = '9992', MandKonto7 = '9993'");
    QStringList stand;
    test::Dialog* dialog = nullptr;
    test::Meldungen meldungen([&](const QString&) {
        // Which labels are marked when each message shows tells the order.
        QStringList markiert;
        for (const char* l : {"lblKreditSammelKoText", "lblMandKonto8Text", "lblMandKonto7Text"})
            if ((*dialog)->findChild<QLabel*>(l)->text() == QStringLiteral("=ungültige Kontonr")) markiert << l;
        stand << markiert.join(',');
        return QMessageBox::Ok;
    });
    test::Dialog d(test::info(db));
    dialog = &d;
    d->feld("inpMandKonto30")->setFocus();  // the page's focus, not moved by the whole-page check
    seite6(d);
    EXPECT_EQ(meldungen.texte, QStringList(3, Meldung));
    EXPECT_EQ(stand, QStringList({"lblKreditSammelKoText", "lblKreditSammelKoText,lblMandKonto8Text",
                                  "lblKreditSammelKoText,lblMandKonto8Text,lblMandKonto7Text"}));
    EXPECT_EQ(label(d, "lblDebitSammelKoText"), QStringLiteral("=Lieferforderungen Inland"));
    EXPECT_TRUE(d->FehlerFeld().isEmpty());  // the focus stays where it was
    // Leaving the page stops at the first missing account, in table order.
    const int i = d->TabStrip1->indexVon(1);
    QTest::mouseClick(d->TabStrip1, Qt::LeftButton, {}, d->TabStrip1->tabRect(i).center());
    EXPECT_EQ(meldungen.texte.size(), 4);
    EXPECT_EQ(d->TabStrip1->aktuelleSeite(), 6);
    EXPECT_TRUE(test::fokusAuf(d->feld("inpKreditSammelKoNr")));
}

TEST(Kontopruefung, TorNachFehlerInKonto30) {
    test::Datenbanken db;
    test::Meldungen meldungen;
    test::Dialog d(test::info(db));
    seite6(d);
    InputFeld* konto30 = d->feld("inpMandKonto30");
    konto30->setFocus();
    ASSERT_TRUE(test::fokusAuf(konto30));
    konto30->setText("8888");
    QTest::keyClick(konto30, Qt::Key_Tab);
    ASSERT_TRUE(QTest::qWaitFor([&] { return meldungen.texte.size() == 1; }, 2000));
    EXPECT_TRUE(test::fokusAuf(konto30));
    EXPECT_EQ(d->FehlerFeld(), QStringLiteral("inpMandKonto30"));
    // A click into the debtors' field re-checks Konto30, which takes the focus back; the
    // debtors' field, left on the way, checks nothing, although it holds a missing number too.
    d->feld("inpDebitSammelKoNr")->setText("7777");
    d->feld("inpDebitSammelKoNr")->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return meldungen.texte.size() == 2; }, 2000));
    QTest::qWait(50);
    EXPECT_EQ(meldungen.texte.size(), 2);
    EXPECT_TRUE(test::fokusAuf(konto30));
    EXPECT_EQ(d->FehlerFeld(), QStringLiteral("inpMandKonto30"));
    EXPECT_EQ(label(d, "lblDebitSammelKoText"), QStringLiteral("=Lieferforderungen Inland"));  // not checked
    konto30->setText("2800");
    QTest::keyClick(konto30, Qt::Key_Tab);
    QTest::qWait(50);
    EXPECT_EQ(meldungen.texte.size(), 2);
    EXPECT_TRUE(d->FehlerFeld().isEmpty());
    EXPECT_EQ(label(d, "lblMandKonto30Text"), QStringLiteral("=Bank Erste Bank"));
}

TEST(Kontenauswahl, FuelltDasZuletztBetreteneFeld) {
    test::Datenbanken db;
    test::Meldungen meldungen;
    test::Dialog d(test::info(db));
    seite6(d);
    auto* auswahl = d->findChild<QPushButton*>("cmdKontenAuswahl");
    QTest::mouseClick(d->feld("inpMandKonto12"), Qt::LeftButton);
    ASSERT_TRUE(test::fokusAuf(d->feld("inpMandKonto12")));
    imPicker(QStringLiteral("Nettol"), true);
    QTest::mouseClick(auswahl, Qt::LeftButton);
    EXPECT_EQ(d->feld("inpMandKonto12")->text(), QStringLiteral("3620"));
    EXPECT_EQ(label(d, "lblMandKonto12Text"), QStringLiteral("= Nettolöhne Arbeiter"));
    EXPECT_TRUE(test::fokusAuf(d->feld("inpMandKonto12")));
    EXPECT_EQ(d.aufruf.AufrufInfo.at(11).toInt(), 2024);

    // A second pick without entering an account field fills nothing.
    imPicker(QStringLiteral("Kassa"), true);
    QTest::mouseClick(auswahl, Qt::LeftButton);
    EXPECT_EQ(d->feld("inpMandKonto12")->text(), QStringLiteral("3620"));

    // A pick that chooses nothing changes nothing.
    QTest::mouseClick(d->feld("inpMandKonto7"), Qt::LeftButton);
    ASSERT_TRUE(test::fokusAuf(d->feld("inpMandKonto7")));
    imPicker(QString(), false);
    QTest::mouseClick(auswahl, Qt::LeftButton);
    EXPECT_EQ(d->feld("inpMandKonto7")->text(), QStringLiteral("3610"));
    EXPECT_TRUE(meldungen.texte.isEmpty()) << meldungen.texte.join('|').toStdString();
}

TEST(Kontenauswahl, SucheImPickerNachNummerUndName) {
    test::Datenbanken db;
    auto picker = komponenteErzeugen(QStringLiteral("dllSachkontenListe"));
    auto* liste = qobject_cast<SachkontenListeSchnittstelle*>(picker.get());
    ASSERT_NE(liste, nullptr);
    auto info = test::info(db);
    int zeilen = -1;
    QTimer::singleShot(20, [&] {
        QWidget* w = QApplication::activeModalWidget();
        ASSERT_NE(w, nullptr);
        auto* suche = w->findChild<QLineEdit*>("txtSuche");
        QTest::keyClicks(suche, "bank");
        zeilen = w->findChild<QTableView*>("tblKonten")->model()->rowCount();
        QTest::keyClick(suche, Qt::Key_Down);  // moves through the list
        QTest::keyClick(suche, Qt::Key_Return);
    });
    liste->KontenAufruf(info);
    EXPECT_EQ(zeilen, 3);  // Bank Erste Bank, Bank Raiffeisen, Bankspesen
    EXPECT_EQ(liste->GewaehltesKonto(), QStringLiteral("2810"));
    QTimer::singleShot(20, [] {
        auto* suche = QApplication::activeModalWidget()->findChild<QLineEdit*>("txtSuche");
        QTest::keyClicks(suche, "2890");
        QTest::keyClick(suche, Qt::Key_Return);
    });
    liste->KontenAufruf(info);
    EXPECT_EQ(liste->GewaehltesKonto(), QStringLiteral("2890"));
}

TEST(Kontenauswahl, FehlenderPickerMeldet429) {
    test::Datenbanken db;
    QTemporaryDir nurFehler;
    ASSERT_TRUE(QFile::copy(pluginOrdner() + "/xovAllgError.so", nurFehler.filePath("xovAllgError.so")));
    test::Meldungen meldungen;
    test::Dialog d(test::info(db));
    seite6(d);
    setzePluginOrdner(nurFehler.path());
    QTest::mouseClick(d->findChild<QPushButton*>("cmdKontenAuswahl"), Qt::LeftButton);
    setzePluginOrdner({});
    ASSERT_EQ(meldungen.texte.size(), 1);
    EXPECT_TRUE(meldungen.texte.first().startsWith(QStringLiteral("xovAllgError 429: ")));
    EXPECT_TRUE(meldungen.texte.first().endsWith(QStringLiteral("[dllSachkontenListe]"))) << meldungen.texte.first().toStdString();
}
