// "Änderungsverlauf…" in a field's context menu: by right click, the menu key and Shift+F10, on
// page 1 for the field's column and on page 8 for the currency of the row; newest first.

#include "Hilfen.h"
#include "currency/Waehrungsdaten.h"
#include "form/InputFeld.h"
#include "form/TabStrip.h"
#include "platform/Datenquelle.h"

namespace {

// Opens the history window of the field through its context menu (the field's usual menu with
// the entry added), by the key given or else the right mouse button; its rows as
// "Wo|Wer|Was|Alt|Neu" without the time, read-only.
QStringList verlauf(test::Dialog& d, const char* name, QKeyCombination taste = {}, QString* titel = nullptr) {
    QWidget* feld = d->steuerelement(QString::fromUtf8(name));
    QContextMenuEvent rechtsklick(QContextMenuEvent::Mouse, QPoint(5, 5), feld->mapToGlobal(QPoint(5, 5)));
    if (taste.key() == Qt::Key_unknown) QApplication::sendEvent(feld, &rechtsklick);
    else QTest::keyClick(feld, taste.key(), taste.keyboardModifiers());
    QMenu* menue = nullptr;
    const bool offen = QTest::qWaitFor([&] { return (menue = qobject_cast<QMenu*>(QApplication::activePopupWidget())) != nullptr; }, 2000);
    QAction* eintrag = offen ? menue->findChild<QAction*>(QStringLiteral("actAenderungsverlauf")) : nullptr;
    if (!eintrag) {
        ADD_FAILURE() << "kein Kontextmenü mit dem Änderungsverlauf";
        return {};
    }
    EXPECT_GT(menue->actions().size(), 2) << "das übliche Menü des Feldes fehlt";
    eintrag->trigger();
    menue->close();
    QWidget* fenster = nullptr;
    EXPECT_TRUE(QTest::qWaitFor([&] { return (fenster = d->findChild<QWidget*>(QStringLiteral("frmAenderungsverlauf"))) && fenster->isVisible(); }, 2000));
    if (!fenster) return {};
    if (titel) *titel = fenster->windowTitle();
    auto* tabelle = fenster->findChild<QTableWidget*>(QStringLiteral("tblVerlauf"));
    QStringList zeilen;
    for (int z = 0; z < tabelle->rowCount(); ++z) {
        EXPECT_FALSE(tabelle->item(z, 0)->flags() & Qt::ItemIsEditable);
        QStringList zellen;
        for (int s = 1; s < tabelle->columnCount(); ++s) zellen << tabelle->item(z, s)->text();
        zeilen << zellen.join(u'|');
    }
    delete fenster;
    return zeilen;
}

class Aenderungsverlauf : public ::testing::TestWithParam<test::Engine> {
protected:
    void SetUp() override { XOV_SERVER_NOETIG(GetParam()); }
};

}  // namespace

// The town changed twice by closing the dialog, two currency names and a rate by the currency
// data; then one dialog shows each field's history, the same by each way of opening the menu.
TEST_P(Aenderungsverlauf, FeldDerSeite1UndWaehrungDerZeileNeuesteZuerst) {
    test::Datenbanken db(GetParam());
    for (const char* ort : {"Graz", "Linz"}) {
        test::Dialog d(test::info(db));
        test::tippen(d->feld("inpMandOrt"), ort);
        ASSERT_TRUE(d.schliessen());
    }
    {
        xov::Datenquelle quelle(QStringLiteral("FAData"));
        quelle.setDatabaseName(db.fa);
        quelle.setConnect(QStringLiteral("Access 2000;pwd=") + xov::DbPasswort + QLatin1Char(';'));
        Waehrungsdaten daten(&quelle);
        daten.kopfSetzen(1, QStringLiteral("WaehrungscodeBezeichnung"), QStringLiteral("Dollar"), *daten.kopfVon(1));
        daten.kopfSetzen(2, QStringLiteral("WaehrungscodeBezeichnung"), QStringLiteral("Franken"), *daten.kopfVon(2));
        daten.kursEinfuegen({1, "USD", "Dollar", "USA"}, QDate(2024, 3, 4), {1.0825, 0.9238});
    }
    test::Dialog d(test::info(db, {.waehrung = true}));
    QString titel;
    const QStringList l = verlauf(d, "inpMandOrt", {}, &titel);
    ASSERT_EQ(l.size(), 2) << l.join('\n').toStdString();
    EXPECT_TRUE(l.at(0).startsWith(QSysInfo::machineHostName() + '|')) << l.at(0).toStdString();
    EXPECT_TRUE(l.at(0).endsWith("|geändert|\"Graz\"|\"Linz\"")) << l.at(0).toStdString();
    EXPECT_TRUE(l.at(1).endsWith("|geändert|\"Wien\"|\"Graz\"")) << l.at(1).toStdString();
    EXPECT_EQ(titel, QStringLiteral("Änderungsverlauf – Ort"));
    EXPECT_EQ(verlauf(d, "inpMandOrt", Qt::Key_Menu), l);
    EXPECT_EQ(verlauf(d, "inpMandOrt", Qt::SHIFT | Qt::Key_F10), l);
    EXPECT_TRUE(verlauf(d, "inpMandPlz").isEmpty());  // a field without changes opens an empty window
    test::tabKlicken(d, 8);
    const auto ohneWoUndWer = [](QStringList zeilen) {
        for (QString& z : zeilen) z = z.section('|', 2);
        return zeilen;
    };
    EXPECT_EQ(ohneWoUndWer(verlauf(d, "inpWährungsBezLang(1)", {}, &titel)),
              QStringList{"geändert (in 6 Datensätzen)|\"Schweizer Franken\"|\"Franken\""});
    EXPECT_EQ(titel, QStringLiteral("Änderungsverlauf – Währungsbezeichnung der Währung in Zeile 2"));
    EXPECT_TRUE(verlauf(d, "inpWährungsBezKurz(1)").isEmpty());
    // The rate fields: the current row's currency (row 1, USD).
    EXPECT_EQ(ohneWoUndWer(verlauf(d, "inpEuroinFremd", Qt::SHIFT | Qt::Key_F10)),
              QStringList{"hinzugefügt, Kurs vom 04.03.2024|(kein Wert)|1,0825"});
    EXPECT_TRUE(d.schliessen());  // the dialog still closes as ever
}

INSTANTIATE_TEST_SUITE_P(DateiUndServer, Aenderungsverlauf, ::testing::Values(test::Engine::Datei, test::Engine::Server),
                         [](const auto& info) { return std::string(test::engineName(info.param)); });
