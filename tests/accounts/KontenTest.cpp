// The account fields of page 6 against a real chart of accounts, and the account picker.

#include "Hilfen.h"
#include "form/InputFeld.h"
#include "form/TabStrip.h"
#include "platform/Komponenten.h"

namespace {

const QString Meldung = QStringLiteral("Sammelkonto-Nummer nicht im Kontenstamm existent.\nAndere Auswahl oder leer einsetzen");
const QString Ungueltig = QStringLiteral("=ungültige Kontonr");

QString label(test::Dialog& d, const char* name) { return d->findChild<QLabel*>(name)->text(); }

// Types the entry into account 30 and leaves it with Tab; true when the check let it go.
bool pruefe(test::Dialog& d, const char* text) {
    test::tippen(d->feld("inpMandKonto30"), text);
    QTest::keyClick(d->feld("inpMandKonto30"), Qt::Key_Tab);
    test::abarbeiten();
    return d->FehlerFeld() != QLatin1String("inpMandKonto30");
}

// Drives the picker when it opens: types the search text and chooses, or presses Escape.
void imPicker(const QString& suche, bool waehlen, bool runter) {
    QTimer::singleShot(20, [=] {
        QWidget* w = QApplication::activeModalWidget();
        if (!w || w->objectName() != QLatin1String("dllSachkontenListe")) return imPicker(suche, waehlen, runter);
        auto* feld = w->findChild<QLineEdit*>("txtSuche");
        QTest::keyClicks(feld, suche.toLatin1().constData());
        if (runter) QTest::keyClick(feld, Qt::Key_Down);  // moves through the list
        QTest::keyClick(feld, waehlen ? Qt::Key_Return : Qt::Key_Escape);
    });
}

// Clicks into the account field `feld` (none: the focus stays), then opens the picker with its
// button and searches, chooses or escapes there.
void picken(test::Dialog& d, const char* feld, const QString& suche, bool waehlen = true, bool runter = false) {
    if (feld) {
        QTest::mouseClick(d->feld(feld), Qt::LeftButton);
        EXPECT_TRUE(test::fokusAuf(d->feld(feld)));
    }
    imPicker(suche, waehlen, runter);
    QTest::mouseClick(d->findChild<QPushButton*>("cmdKontenAuswahl"), Qt::LeftButton);
}

}  // namespace

// Entering page 6 checks every account and reports each missing one; an account field takes empty
// entries and accounts of this year (stored with trailing blanks, a null name), and refuses others,
// the text kept; leaving the page stops at the first missing account.
TEST(Kontopruefung, SeiteUndFeldGegenDenKontenstamm) {
    test::Datenbanken db;
    db.mandSql("INSERT INTO ObjKanzleiKontenstamm VALUES (2024, '4711  ', 'Durchlaufende Posten'), (2023, '5555', 'Altes Konto'), "
               "(2024, '123456', 'Sechsstellig'), (2024, '7001 ', NULL)");
    db.mandSql("UPDATE AllgMandDaten SET MandKonto8 = '9991', MandKreditSammelKoNr = '9992', MandKonto7 = '9993'");
    test::Meldungen meldungen;
    test::Dialog d(test::info(db));
    d->feld("inpMandKonto30")->setFocus();  // the page's focus, not moved by the whole-page check
    test::tabKlicken(d, 6);
    EXPECT_EQ(meldungen.texte, QStringList(3, Meldung));
    for (const char* l : {"lblKreditSammelKoText", "lblMandKonto8Text", "lblMandKonto7Text"})
        EXPECT_EQ(label(d, l), Ungueltig) << l;
    EXPECT_EQ(label(d, "lblDebitSammelKoText"), QStringLiteral("=Lieferforderungen Inland"));
    EXPECT_TRUE(d->FehlerFeld().isEmpty());  // the focus stays where it was
    for (const char* falsch : {"00", "0000", "5555", "9999", "1234567", "28' OR 1=1"}) {
        EXPECT_FALSE(pruefe(d, falsch)) << falsch;
        EXPECT_EQ(label(d, "lblMandKonto30Text"), Ungueltig) << falsch;
        EXPECT_EQ(d->feld("inpMandKonto30")->text(), QString::fromLatin1(falsch));  // the field keeps its text
    }
    EXPECT_EQ(meldungen.texte, QStringList(9, Meldung));
    for (const char* leer : {"", " ", "0", "000"}) {
        EXPECT_TRUE(pruefe(d, leer)) << leer;
        EXPECT_EQ(d->feld("inpMandKonto30")->text() + label(d, "lblMandKonto30Text"), QString()) << leer;
    }
    for (auto [nummer, name] : {std::pair{"2800", "=Bank Erste Bank"}, {"4711", "=Durchlaufende Posten"}, {"7001", "="}}) {
        EXPECT_TRUE(pruefe(d, nummer));
        EXPECT_EQ(label(d, "lblMandKonto30Text"), QString::fromUtf8(name));
    }
    EXPECT_EQ(meldungen.texte.size(), 9);
    test::tabKlicken(d, 1);
    EXPECT_EQ(meldungen.texte.size(), 10);
    EXPECT_EQ(d->TabStrip1->aktuelleSeite(), 6);
    EXPECT_TRUE(test::fokusAuf(d->feld("inpKreditSammelKoNr")));
}

// The picker searches by name and by number; its choice fills only the account field the user
// entered last, and a pick that chooses nothing changes nothing. Then a chart another program
// broke while the dialog is open: each attempt to leave or enter page 6 reports it once and lets
// the user go; and without the picker: error 429 naming it, and the application's cursor as the
// host set it.
TEST(Kontenauswahl, SucheFuelltNurDasZuletztBetreteneFeldUnlesbarerKontenstammFehlenderPicker) {
    test::Datenbanken db;
    QTemporaryDir nurFehler;
    ASSERT_TRUE(QFile::copy(xov::pluginOrdner() + "/xovAllgError.so", nurFehler.filePath("xovAllgError.so")));
    test::Meldungen meldungen;
    test::Dialog d(test::info(db));
    test::tabKlicken(d, 6);
    // The focus the page switch put into an account field is no entering of it.
    auto* erstes = qobject_cast<InputFeld*>(QApplication::focusWidget());
    ASSERT_TRUE(erstes);
    const QString erstesVorher = erstes->text();
    picken(d, nullptr, QStringLiteral("Kassa"));
    EXPECT_EQ(erstes->text(), erstesVorher);
    // "bank" finds Bank Erste Bank, Bank Raiffeisen, Bankspesen: Down chooses the second.
    picken(d, "inpMandKonto12", QStringLiteral("bank"), true, true);
    EXPECT_EQ(d->feld("inpMandKonto12")->text(), QStringLiteral("2810"));
    EXPECT_TRUE(label(d, "lblMandKonto12Text").startsWith(QStringLiteral("= Bank Raiffeisen")))
        << label(d, "lblMandKonto12Text").toStdString();
    EXPECT_TRUE(test::fokusAuf(d->feld("inpMandKonto12")));
    // A second pick without entering an account field fills nothing.
    picken(d, nullptr, QStringLiteral("Kassa"));
    EXPECT_EQ(d->feld("inpMandKonto12")->text(), QStringLiteral("2810"));
    picken(d, "inpMandKonto7", QStringLiteral("2890"));
    EXPECT_EQ(d->feld("inpMandKonto7")->text(), QStringLiteral("2890"));
    picken(d, "inpMandKonto12", QString(), false);
    EXPECT_EQ(d->feld("inpMandKonto12")->text(), QStringLiteral("2810"));
    EXPECT_TRUE(meldungen.texte.isEmpty()) << meldungen.alle();
    db.mandSql("DROP TABLE ObjKanzleiKontenstamm");
    test::tabKlicken(d, 1);
    EXPECT_EQ(d->TabStrip1->aktuelleSeite(), 1);
    ASSERT_EQ(meldungen.texte.size(), 1) << meldungen.alle();
    EXPECT_TRUE(meldungen.texte.first().startsWith(QStringLiteral("xovAllgError 3078"))) << meldungen.alle();
    test::tabKlicken(d, 6);
    EXPECT_EQ(meldungen.texte.size(), 2);  // entering looked again, once
    xov::setzePluginOrdner(nurFehler.path());
    QApplication::setOverrideCursor(Qt::BusyCursor);  // the host shows that it works
    QTest::mouseClick(d->findChild<QPushButton*>("cmdKontenAuswahl"), Qt::LeftButton);
    xov::setzePluginOrdner({});
    ASSERT_TRUE(QApplication::overrideCursor());
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::BusyCursor);
    QApplication::restoreOverrideCursor();
    ASSERT_EQ(meldungen.texte.size(), 3);
    EXPECT_TRUE(meldungen.texte.last().startsWith(QStringLiteral("xovAllgError 429: ")));
    EXPECT_TRUE(meldungen.texte.last().endsWith(QStringLiteral("[dllSachkontenListe]"))) << meldungen.texte.last().toStdString();
    test::aktivieren(d.form.get());
    EXPECT_TRUE(d.escape());
    EXPECT_EQ(meldungen.texte.size(), 4) << meldungen.alle();
    EXPECT_EQ(db.mandWert("SELECT MandKonto30 FROM AllgMandDaten").toString(), QStringLiteral("2800"));
}
