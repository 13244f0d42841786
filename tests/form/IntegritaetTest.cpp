// What a bookkeeper meets in the first week: the dialog changes no stored value behind the
// user's back, never stores a half-typed number, never keeps the user in a dialog they cannot
// leave, and never invites typing that cannot be stored. Driven with keys and clicks on real files.

#include "Hilfen.h"
#include "platform/Fehler.h"
#include "services/DbVerbindung.h"
#include "form/DbListe.h"
#include "form/InputFeld.h"
#include "form/TabStrip.h"
#include "tools/xov-db/Schema.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QWheelEvent>
#include <gtest/gtest.h>

using namespace xov;
using test::tabKlicken;
using test::tippen;

namespace {

const QStringList LeereZahlen = {"MandBagatellBetrag", "MandMahnspesen", "MandReferat", "MandMiEinktoBlz", "MandAnwNummer",
                                 "MandMahnfixText", "MandAnzMahnStu", "MandEurKurs", "MandEur2Fach", "MandVoranmPeriode"};

void zahlenLeeren(const test::Datenbanken& db) {
    db.mandSql(QStringLiteral("UPDATE AllgMandDaten SET %1 = NULL").arg(LeereZahlen.join(QStringLiteral(" = NULL, "))));
    // Values a field cannot show as typed; only a file's loose column types hold them.
    if (!test::serverLauf()) db.mandSql("UPDATE AllgMandDaten SET MandZahlschKorrPunkte = 12.7, MandDvr = 1e300");
}

using test::unterschiede;
using test::zeile;

bool fokusImRahmen(test::Dialog& d, int seite) {
    QWidget* f = QApplication::focusWidget();
    return f && d->Frame1[seite - 1]->isAncestorOf(f);
}

}  // namespace

// --- Opening and closing changes nothing ---------------------------------------------------

TEST(Unveraendert, OeffnenBlaetternUndSchliessenLaesstDieZeileWieSieWar) {
    test::Datenbanken db;
    zahlenLeeren(db);
    const QStringList vorher = zeile(db);
    ASSERT_TRUE(vorher.contains("MandEurKurs=NULL") && (test::serverLauf() || vorher.contains("MandZahlschKorrPunkte=12.7")))
        << vorher.join(' ').toStdString();
    test::Meldungen meldungen;
    {
        test::Dialog d(test::info(db));
        EXPECT_EQ(d->feld("inpMandBagatellBetrag")->text(), QStringLiteral("0,00"));
        EXPECT_TRUE(d.escape());
    }
    EXPECT_EQ(unterschiede(vorher, zeile(db)), QStringList());
    {
        // Looking through the pages that set nothing of their own changes nothing either.
        test::Dialog d(test::info(db));
        for (int seite : {2, 3, 5, 6, 7, 1}) tabKlicken(d, seite);
        EXPECT_TRUE(d.escape());
    }
    EXPECT_EQ(unterschiede(vorher, zeile(db)), QStringList());
    EXPECT_TRUE(meldungen.texte.isEmpty()) << meldungen.texte.join('|').toStdString();
}

TEST(Unveraendert, NurDasGeaenderteFeldWirdGeschrieben) {
    test::Datenbanken db;
    zahlenLeeren(db);
    const QStringList vorher = zeile(db);
    test::Dialog d(test::info(db));
    tippen(d->feld("inpMandOrt"), "Graz");
    tippen(d->feld("inpMandMahnspesen"), "7,5");
    QTest::keyClick(d->feld("inpMandMahnspesen"), Qt::Key_Tab);
    EXPECT_TRUE(d.escape());
    EXPECT_EQ(unterschiede(vorher, zeile(db)), QStringList({"MandOrt='Graz'", "MandMahnspesen=7.5"}));
}

TEST(Unveraendert, LeereDvrWirdAbsichtlichNull) {
    test::Datenbanken db;
    db.mandSql("UPDATE AllgMandDaten SET MandDvr = NULL");
    test::Dialog d(test::info(db));
    EXPECT_TRUE(d.escape());
    EXPECT_EQ(test::gespeichert(db.mand, "SELECT MandDvr FROM AllgMandDaten"), QStringLiteral("0"));
}

// Stored values the field cannot show as typed (a minus where none may be typed, text in a
// number column, numbers far beyond the field) are no input of the user's: the dialog closes
// and writes nothing.
class GespeicherteWerte : public ::testing::TestWithParam<const char*> {};

TEST_P(GespeicherteWerte, OeffnenUndSchliessenOhneEingabe) {
    test::Datenbanken db;
    try {
        db.mandSql(QString::fromUtf8(GetParam()));
    } catch (const xov::Fehler& f) {
        XOV_NUR_DATEI(f.what());  // a server refuses to store such a value in the first place
        throw;
    }
    const QStringList vorher = zeile(db);
    test::Meldungen meldungen;
    {
        test::Dialog d(test::info(db));
        for (int seite : {2, 3, 5, 1}) tabKlicken(d, seite);
        EXPECT_TRUE(d.escape()) << meldungen.texte.join('|').toStdString();
    }
    EXPECT_TRUE(meldungen.texte.isEmpty()) << meldungen.texte.join('|').toStdString();
    EXPECT_EQ(unterschiede(vorher, zeile(db)), QStringList());
}

INSTANTIATE_TEST_SUITE_P(
    Gespeichert, GespeicherteWerte,
    ::testing::Values("UPDATE AllgMandDaten SET MandName = 'Ä' || hex(zeroblob(3000)), MandOrt = 'Größe ÄÖÜäöüß €', MandNation = 'ÖSTERR'",
                      "UPDATE AllgMandDaten SET MandPlz = 1060.6, MandDvr = '4711', MandBagatellBetrag = '5,5', MandMahnspesen = 12",
                      "UPDATE AllgMandDaten SET MandPlz = 9223372036854775807, MandBagatellBetrag = 1e300, MandMahnspesen = 1e-300",
                      "UPDATE AllgMandDaten SET MandMahnspesen = -3.5, MandPlz = -1010, MandReferat = -12",
                      "UPDATE AllgMandDaten SET MandDvr = 'DVR 4711', MandBagatellBetrag = 'fünf'",
                      "UPDATE AllgMandDaten SET MandDvr = -1e300, MandMiEinktoBlz = -5"),
    [](const auto& info) { return "Fall" + std::to_string(info.index); });

// --- Half-typed numbers ---------------------------------------------------------------------

struct Getippt {
    const char* tasten;
    const char* zuSehen;   // what the field holds after the keystrokes
    bool meldung;          // leaving it is refused with a message
};
void PrintTo(const Getippt& g, std::ostream* os) { *os << '"' << g.tasten << '"'; }

class Zahleneingabe : public ::testing::TestWithParam<Getippt> {};

TEST_P(Zahleneingabe, NurZahlenErreichenDieDatenbank) {
    const Getippt g = GetParam();
    test::Datenbanken db;
    test::Meldungen meldungen;
    test::Dialog d(test::info(db));
    InputFeld* betrag = d->feld("inpMandBagatellBetrag");
    tippen(betrag, g.tasten);
    EXPECT_EQ(betrag->text(), QString::fromUtf8(g.zuSehen));
    QTest::keyClick(betrag, Qt::Key_Tab);
    if (g.meldung) {
        ASSERT_TRUE(QTest::qWaitFor([&] { return meldungen.texte.size() == 1; }, 2000));
        EXPECT_TRUE(meldungen.texte.first().contains(QStringLiteral("keine vollständige Zahl"))) << meldungen.texte.first().toStdString();
        EXPECT_TRUE(test::fokusAuf(betrag));
        EXPECT_FALSE(d.escape());  // closing runs the same check
        EXPECT_EQ(meldungen.texte.size(), 2);
        tabKlicken(d, 2);
        EXPECT_EQ(d->TabStrip1->aktuelleSeite(), 1);
        tippen(betrag, "1.234,5");
    }
    EXPECT_TRUE(d.escape());
    EXPECT_FALSE(test::gespeichert(db.mand, "SELECT MandBagatellBetrag FROM AllgMandDaten").startsWith(u'\''));  // no text
    if (g.meldung) {
        EXPECT_EQ(db.mandWert("SELECT MandBagatellBetrag FROM AllgMandDaten").toDouble(), 1234.5);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Betraege, Zahleneingabe,
    ::testing::Values(Getippt{"-", "-", true}, Getippt{",", ",", true}, Getippt{"1..2", "1.2", true},
                      Getippt{"1.2", "1.2", true}, Getippt{"12.34,5", "12.345", false}, Getippt{"-1.234,56", "-1.234,5", false}),
    [](const auto& info) { return "Fall" + std::to_string(info.index); });

// --- Checks on fields nobody can edit never trap the user -----------------------------------

TEST(Gesperrt, UnbearbeitbareFelderHaltenNichtAuf) {
    test::Datenbanken db;
    db.mandSql("UPDATE AllgMandDaten SET MandMonStatusDatum = NULL, MandZahlschKorrPunkte = 500");
    test::Meldungen meldungen;
    {
        test::Dialog d(test::info(db));
        tabKlicken(d, 3);
        tabKlicken(d, 4);  // the month-status date is never editable here
        EXPECT_EQ(d->TabStrip1->aktuelleSeite(), 4);
        tabKlicken(d, 5);  // page 4 shows no field at all
        EXPECT_EQ(d->TabStrip1->aktuelleSeite(), 5);
        tabKlicken(d, 3);
        EXPECT_TRUE(d.escape());
    }
    EXPECT_TRUE(meldungen.texte.isEmpty()) << meldungen.texte.join('|').toStdString();
    EXPECT_EQ(db.mandWert("SELECT MandZahlschKorrPunkte FROM AllgMandDaten").toInt(), 500);
    EXPECT_TRUE(db.mandWert("SELECT MandMonStatusDatum IS NULL FROM AllgMandDaten").toBool());
}

TEST(Gesperrt, EingeschraenktMitPostleitzahlNull) {
    test::Datenbanken db;
    db.mandSql("UPDATE AllgMandDaten SET MandPlz = 0");
    auto info = test::info(db);
    info[9] = 20;
    test::Meldungen meldungen;
    test::Dialog d(info);
    EXPECT_FALSE(d->feld("inpMandPlz")->isEnabled());
    EXPECT_TRUE(d.escape());
    EXPECT_TRUE(meldungen.texte.isEmpty()) << meldungen.texte.join('|').toStdString();
}

TEST(Gesperrt, WaehrungsStartmodusLaesstBlaetternUndSchliessen) {
    test::Datenbanken db;
    auto info = test::info(db);
    info[61] = 1;
    test::Meldungen meldungen;
    test::Dialog d(info, 7);
    EXPECT_TRUE(d->cmdHilfe->isVisible());
    EXPECT_TRUE(d->lblAuswahlMonStatus->isVisible());
    EXPECT_FALSE(d->cmdBeenden->isVisible());
    tabKlicken(d, 1);
    EXPECT_FALSE(d->feld("inpMandOrt")->isEnabled());  // no client row: nothing to type into
    tabKlicken(d, 2);
    EXPECT_EQ(d->TabStrip1->aktuelleSeite(), 2);
    tabKlicken(d, 1);
    EXPECT_TRUE(d.escape());
    EXPECT_TRUE(meldungen.texte.isEmpty()) << meldungen.texte.join('|').toStdString();
}

TEST(Gesperrt, UnlesbarerKontenstammMeldetEinmalUndLaesstGehen) {
    test::Datenbanken db;
    test::Meldungen meldungen;
    test::Dialog d(test::info(db));
    db.mandSql("DROP TABLE ObjKanzleiKontenstamm");  // another program broke the chart
    tabKlicken(d, 6);
    ASSERT_EQ(meldungen.texte.size(), 1) << meldungen.texte.join('|').toStdString();
    EXPECT_TRUE(meldungen.texte.first().startsWith(QStringLiteral("xovAllgError 3078"))) << meldungen.texte.first().toStdString();
    tabKlicken(d, 1);
    EXPECT_EQ(d->TabStrip1->aktuelleSeite(), 1);
    EXPECT_EQ(meldungen.texte.size(), 2);  // the leaving attempt looked again, once
    tabKlicken(d, 6);
    EXPECT_TRUE(d.escape());
    EXPECT_EQ(meldungen.texte.size(), 4) << meldungen.texte.join("|").toStdString();
    EXPECT_EQ(db.mandWert("SELECT MandKonto30 FROM AllgMandDaten").toString(), QStringLiteral("2800"));
}

// --- Focus after a page switch --------------------------------------------------------------

TEST(Fokus, LandetAufDemErstenFeldDerNeuenSeite) {
    test::Datenbanken db;
    auto info = test::info(db);
    info[61] = 1;
    test::Meldungen meldungen;
    test::Dialog d(info);
    tippen(d->feld("inpMandOrt"), "Wien");
    tabKlicken(d, 2);
    EXPECT_TRUE(test::fokusAuf(d->feld("InputFeld1")));
    // Keyboard only: every page takes the focus, never a button below the pages or the strip.
    for (int seite : {3, 4, 5, 6, 7, 8, 1, 2}) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ControlModifier);
        QApplication::processEvents();
        ASSERT_EQ(d->TabStrip1->aktuelleSeite(), seite);
        if (seite == 4) continue;  // page 4 shows no field
        EXPECT_TRUE(fokusImRahmen(d, seite)) << seite << " " << QApplication::focusWidget()->objectName().toStdString();
    }
    EXPECT_TRUE(meldungen.texte.isEmpty()) << meldungen.texte.join('|').toStdString();
}

TEST(Fokus, KontenauswahlFuelltKeinFeldDasNiemandBetrat) {
    test::Datenbanken db;
    test::Meldungen meldungen;
    test::Dialog d(test::info(db));
    const QString debitor = d->feld("inpDebitSammelKoNr")->text();
    tabKlicken(d, 6);
    QTimer::singleShot(20, [] {
        const std::function<void()> waehlen = [&waehlen] {
            QWidget* w = QApplication::activeModalWidget();
            if (!w || w->objectName() != QLatin1String("dllSachkontenListe")) return QTimer::singleShot(20, waehlen);
            auto* suche = w->findChild<QLineEdit*>("txtSuche");
            QTest::keyClicks(suche, "Kassa");
            QTest::keyClick(suche, Qt::Key_Return);
        };
        waehlen();
    });
    QTest::mouseClick(d->findChild<QPushButton*>("cmdKontenAuswahl"), Qt::LeftButton);
    EXPECT_EQ(d->feld("inpDebitSammelKoNr")->text(), debitor);
}

// --- Keys and the wheel that change nothing ---------------------------------------------------

TEST(Tasten, EnterBleibtAufDerSeiteUndDrueecktKeinenKnopf) {
    test::Datenbanken db;
    test::Meldungen meldungen;
    test::Dialog d(test::info(db));
    tabKlicken(d, 2);
    InputFeld* letztes = d->feld("inpMandCreditorID");
    QTest::mouseClick(letztes, Qt::LeftButton);
    ASSERT_TRUE(test::fokusAuf(letztes));
    QTest::keyClick(letztes, Qt::Key_Return);
    EXPECT_TRUE(fokusImRahmen(d, 2)) << QApplication::focusWidget()->objectName().toStdString();
    // Page 1: Enter from the UID field, Enter again, then a blank typed by habit.
    tabKlicken(d, 1);
    InputFeld* uid = d->feld("inpMandUID");
    QTest::mouseClick(uid, Qt::LeftButton);
    ASSERT_TRUE(test::fokusAuf(uid));
    QTest::keyClick(uid, Qt::Key_Return);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    QApplication::processEvents();
    EXPECT_TRUE(d->isVisible());
    EXPECT_TRUE(fokusImRahmen(d, 1)) << QApplication::focusWidget()->objectName().toStdString();
}

TEST(Tasten, MausradUeberEinerNichtBetretenenListeAendertNichts) {
    test::Datenbanken db;
    const QString fa = test::gespeichert(db.mand, "SELECT MandFaNr FROM AllgMandDaten");
    const QString periode = test::gespeichert(db.mand, "SELECT MandVoranmPeriode FROM AllgMandDaten");
    {
        test::Dialog d(test::info(db));
        for (QComboBox* liste : {static_cast<QComboBox*>(d->cmbFaNr), d->liste("cmbVoranmPeriode")}) {
            const QPoint p = liste->rect().center();
            QWheelEvent rad(p, liste->mapToGlobal(p), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(liste, &rad);
        }
        EXPECT_TRUE(d.escape());
    }
    EXPECT_EQ(test::gespeichert(db.mand, "SELECT MandFaNr FROM AllgMandDaten"), fa);
    EXPECT_EQ(test::gespeichert(db.mand, "SELECT MandVoranmPeriode FROM AllgMandDaten"), periode);
}

// --- Page keys in an open list --------------------------------------------------------------

TEST(Listen, BlaetterTastenImOffenenListenfeldAendernNichts) {
    test::Datenbanken db;
    const int periode = db.mandWert("SELECT MandVoranmPeriode FROM AllgMandDaten").toInt();
    const int fa = db.mandWert("SELECT MandFaNr FROM AllgMandDaten").toInt();
    {
        test::Dialog d(test::info(db));
        for (QComboBox* liste : {d->liste("cmbVoranmPeriode"), static_cast<QComboBox*>(d->cmbFaNr)}) {
            QTest::mouseClick(liste, Qt::LeftButton);
            ASSERT_TRUE(QTest::qWaitFor([&] { return liste->view()->isVisible(); }, 2000));
            QTest::keyClick(liste->view(), Qt::Key_PageDown);
            QTest::keyClick(liste->view(), Qt::Key_PageDown);
            QTest::keyClick(liste->view(), Qt::Key_Return);
            ASSERT_TRUE(QTest::qWaitFor([&] { return !liste->view()->isVisible(); }, 2000));
        }
        EXPECT_TRUE(d.escape());
    }
    EXPECT_EQ(db.mandWert("SELECT MandVoranmPeriode FROM AllgMandDaten").toInt(), periode);
    EXPECT_EQ(db.mandWert("SELECT MandFaNr FROM AllgMandDaten").toInt(), fa);
}
