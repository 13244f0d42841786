#pragma once
// The currency page: up to 20 currencies in fixed rows (row r is the currency with WID r + 1),
// the dated rate history of the current row in a grid, newest first, and the rate-entry frame
// with the reciprocal rate. The page finds its controls by name inside the frame it is given
// and reads the call's state only through the callbacks of Aufrufzustand.

#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <array>
#include <functional>
#include <optional>

#include "currency/Waehrungsdaten.h"

class InputFeld;
class Kursverlauf;
class QLabel;
class QPushButton;
class QTableView;
class QWidget;

namespace xov {
class Datenquelle;
class Fehler;
}

class Waehrungsseite : public QObject {
    Q_OBJECT
    // Read by the change history of the page's fields, which knows no currency page.
    Q_PROPERTY(int aktuelleZeile READ aktuelleZeile)
public:
    using Kurs = xov::waehrung::Kurs;
    // What the page reads from the call, asked whenever it matters.
    struct Aufrufzustand {
        std::function<bool()> eingeschraenkt;       // restricted mode: names and codes locked
        std::function<bool()> waehrungsstart;       // opened on this page (TabStripNr 7): focus stays
        std::function<bool()> formBereit;           // the form has finished loading
        std::function<void(const xov::Fehler&)> fehlerMelden;  // an unexpected failure
    };

    Waehrungsseite(QWidget* seite, QPushButton* cmdNeuerKurs, xov::Datenquelle* FAData, Aufrufzustand zustand,
                   QObject* parent = nullptr);

    // Fills the rows from the table; every selection of the page.
    void WährungenLaden();
    // Prepares the selected page: locks in restricted mode, otherwise the focus and the history.
    void SeiteVorbereiten();
    void KursHistorieLaden(qint16 zeile);
    // The current currency row (0 to 19): the row whose field was entered last.
    int aktuelleZeile() const { return AktuelleWährungsZeile; }
    // After rates were read in from a file: the history anew, the frame showing the grid's day.
    void VerlaufNachEinlesen();
    // The stored rate of the frame's date for the current currency.
    std::optional<Kurs> KursZumDatumSuchen();
    // The WID of another currency that uses the current row's code.
    std::optional<int> WährungscodeVergeben();
    void KursSpeichern();
    // Before the page is left or the dialog closes: a rate being typed in the rate frame is
    // handled as leaving its field would handle it, so that nothing typed is lost. False when it
    // was refused (the message was shown and the focus is where the user must act).
    bool eingabeAbschliessen();

private:
    qint32 AktuelleWährungsZeile = 0;  // the current currency row; changes when another row is entered
    void verbinden();
    // Runs the handling after the focus change that caused it, in the order of the events,
    // while the dialog is shown; failures go to the error report.
    void danach(std::function<void()> schritt);
    void ausfuehren(const std::function<void()>& schritt);

    // A field's leave is outstanding until it is handled; a way out of the page finishes it at once.
    void verlassenVormerken(InputFeld* f);
    void zeileBetretenDanach(int i, InputFeld* f);
    // F6: from a row field to the rate date of its currency; from the rate entry back to the row.
    void zeileOderKurs();
    // false: refused, with the message shown and the focus where the user must act.
    bool verlassen(InputFeld* f);
    bool abschliessen(InputFeld* f);
    bool datumAbschliessen();
    bool kursAbschliessen(InputFeld* f);
    // The text the field held when it got the focus; leaving it compares against it.
    QString eingang(const InputFeld* f) const;

    void zeileBetreten(int i, InputFeld* feld);
    // A name, code or country code left: stored, asked about or refused as the decision says.
    bool kopfVerlassen(int i, xov::waehrung::Kopffeld feld);
    bool kopfEntscheiden(int i, xov::waehrung::Kopffeld feld, const QString& eingabe);
    bool nameVomCodeSpeichern(int i);
    InputFeld* kopfFeld(int i, xov::waehrung::Kopffeld feld) const;
    // What the dialog knows about the row now: as read, as stored, the typed code's other user.
    xov::waehrung::Kopflage kopflage(int i, const QString& code = {});
    // The row shows the currency as stored (nothing: as it is), and counts as read so.
    void zeileZeigen(int i, const std::optional<xov::waehrung::Kopf>& kopf);
    void datumBetreten();
    void datumVerlassen();
    // A rate field entered while the frame has no date: the message, and the focus to the date.
    bool ohneDatum();
    void euroinFremdBetreten();
    void euroinFremdVerlassen();
    // Writes 1 / EuroinFremd to 10 places into FremdinEuro where that rate changed; true then.
    bool kehrwertEintragen();
    // After that: a stored rate of this date gets the reciprocal as the field shows it.
    void kehrwertWieAngezeigtSpeichern();
    // The focus on to FremdinEuro after its rate was computed.
    void zumKehrwert();
    void fremdinEuroVerlassen();
    void neuerKurs();
    void umrechnen();
    void rasterZeileGewaehlt(int zeile);

    // Saves the frame's rate as the decision model says (Waehrungsentscheidung.h): false when a
    // message was shown and the focus moved to the field concerned, or the user cancelled.
    bool kursSpeichern();
    // The frame, the row and what is stored for the frame's day.
    xov::waehrung::Kurslage kurslage();
    bool kursAbweisen(const xov::waehrung::Kursentscheidung& e, const xov::waehrung::Kurslage& lage);
    // The rate the frame was filled with for the current currency (a history day, a day found).
    std::optional<Kurs> gemerkterKurs() const;
    // The frame still shows the pair "umrechnen" put there (FremdinEuro to 4 places): leaving
    // the rate then keeps it instead of computing 10 places.
    bool umgerechnet() const;
    bool kursLoeschenNachFrage(const xov::waehrung::Kursentscheidung& e);
    bool kursDesTagesAendern(const xov::waehrung::Kursentscheidung& e, const Kurs& gespeichert);
    bool kursHinzufuegen(const xov::waehrung::Kursentscheidung& e);
    // Before a rate is added or deleted: the row still shows the currency stored under its number.
    bool zeileGehoertZurWaehrung();
    // The currency's head for a new record: as stored, or as the row shows a new one.
    Waehrungsdaten::Waehrung neuerSatz();
    // The rate of a day as this dialog last read it (none: no rate that day). Saving compares the
    // stored rate with it, so that a rate another workstation changed or entered since is never
    // overwritten unseen (Kursabgleich.cpp).
    struct Gelesen {
        int wid = 0;
        QDate datum;
        std::optional<Kurs> kurs;
    };
    void gelesenMerken(const QDate& datum, const std::optional<Kurs>& kurs);
    // What the user saw for the day; for a day this dialog did not read, the stored rate.
    std::optional<Kurs> gesehen(const QDate& datum, const std::optional<Kurs>& gespeichert) const;
    // The stored rate of the day is not the one the user saw: the user decides whose rate stays.
    // false when the user cancelled (nothing stored, the typed rate stays).
    bool kursAbgleichen(const QDate& datum, const Kurs& eigener);
    // The frame and the history after a settled rate (none: the day has no rate).
    void kursZeigen(const QDate& datum, const std::optional<Kurs>& kurs);
    void kursbeschriftungSetzen(const QString& code);
    void rasterZeigen(bool sichtbar);
    // The grid highlights the day the frame shows (none when the frame has no stored day).
    void rasterAufRahmen();
    bool rasterHatZeile() const;
    void rahmenFuellen(int zeile);
    QString code(int zeile) const;
    void fokusNach(QWidget* ziel);
    static bool keinDatum(const QString& text);

    QWidget* m_seite;
    QPushButton* cmdNeuerKurs;
    Aufrufzustand m_zustand;
    Waehrungsdaten m_daten;
    Kursverlauf* m_verlauf;
    bool m_rasterWirdGesetzt = false;  // the program moves the grid's current row
    int m_verlaufZeile = -1;            // the row whose history the grid holds; -1: none loaded
    std::optional<Gelesen> m_gelesen;
    std::optional<Kurs> m_umrechnung;  // the pair "umrechnen" computed last
    bool m_verlaesst = false;                    // a field's leave is being handled
    QList<InputFeld*> m_ausstehend;              // fields left whose leave is not handled yet
    QHash<const InputFeld*, QString> m_eingang;  // each field's text when it got the focus

    std::array<std::optional<xov::waehrung::Kopf>, 20> m_kopfGelesen;  // each row's currency as read

    std::array<InputFeld*, 20> inpWährungsBezLang{};
    std::array<InputFeld*, 20> inpWährungsBezKurz{};
    std::array<InputFeld*, 20> inpLänderKürzel{};
    QTableView* TDBGridWährung;
    QWidget* Frame7;
    InputFeld* inpWährungsDatum;
    InputFeld* inpEuroinFremd;
    InputFeld* inpFremdinEuro;
    QPushButton* cmdUmrechnen;
    QLabel* lblEuro;
    QLabel* lblFremd;
};
