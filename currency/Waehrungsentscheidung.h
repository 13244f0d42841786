#pragma once
// What a change on the currency page does, decided without a widget: from what this dialog read,
// what is stored now and what the user typed, a decision to store, to ask (with the question's
// text) or to refuse (with the message and the field concerned). Several workstations share the
// currencies: a currency another workstation created, recoded or changed since this dialog read
// it is never overwritten unasked, and records this dialog never saw are never recoded.

#include <QDate>
#include <QString>
#include <optional>

namespace xov::waehrung {

// Code, name and country code of one currency, as every one of its records repeats them.
struct Kopf {
    QString code, name, land;
    friend bool operator==(const Kopf&, const Kopf&) = default;
};

enum class Kopffeld { Name, Code, Land };

// One rate: units of the foreign currency for 1 EUR, and EUR for 1 unit of it.
struct Kurs {
    double euroinFremd = 0, fremdinEuro = 0;
    friend bool operator==(const Kurs&, const Kurs&) = default;
};

struct Entscheidung {
    enum class Art {
        Nichts,     // nothing to store (no record yet, or the value is stored already)
        Speichern,  // write `wert`
        Fragen,     // ask `text` (Yes/No); Yes: write `wert`, No: the field shows `gespeichert`
        Abweisen,   // show `text`; nothing is written; the field shows `gespeichert`
    };
    Art art = Art::Nichts;
    QString text;
    QString wert;         // what is written on Speichern or after Yes
    QString gespeichert;  // what the field shows when the user's value is not written
};

// What the dialog knows about one row when a name, code or country code is left changed.
struct Kopflage {
    int zeile = 0;                     // 0 to 19; the currency WID is zeile + 1
    std::optional<Kopf> gelesen;       // as this dialog last read or wrote it; none: the row was empty
    std::optional<Kopf> gespeichert;   // as stored now; none: the currency has no record
    std::optional<int> codeAnderswo;   // the WID of another currency that uses the typed code
};

// A name, code or country code left with a changed text (`eingabe`, code and country code in
// upper case).
Entscheidung kopfAendern(const Kopflage& lage, Kopffeld feld, const QString& eingabe);

// Before a rate of a day without one is added, or a rate is deleted: the currency the row shows
// must still be the one stored. A message when another workstation created or recoded the
// currency of this row since (the row then shows what is stored), naming the code the row showed
// (`eingabe`); none when the write may go on.
std::optional<QString> kursGehoertZurZeile(const Kopflage& lage, const QString& eingabe);

// The messages of the rate frame, as the page shows them.
QString keineZahlIn(const QString& feld);  // "EuroinFremd" or "FremdinEuro"
extern const QString DatumKeinDatum, KeinCode, CodeLaenge, LandLaenge, NurDatum;

enum class Kursfeld { Datum, EuroinFremd, FremdinEuro, Code, Land };

// What the rate frame holds when its rate is to be saved, and what is stored for its day.
struct Kurslage {
    QString datum;                     // the date field's text
    QString euroinFremd, fremdinEuro;  // the rate fields' texts
    std::optional<double> eif, fie;    // their numbers, when complete
    std::optional<Kurs> gemerkt;       // the rate the frame was filled with (a refused field gets it back)
    std::optional<Kurs> gesehen;       // the day's rate as the user saw it (none: no rate that day)
    std::optional<Kurs> gespeichert;   // the day's rate as stored now
    bool umgerechnet = false;          // the pair is the one the conversion button computed
    Kopflage zeile;                    // the row's currency; codeAnderswo: another user of its code
    QString code, land;                // as the row shows them
};

struct Kursentscheidung {
    enum class Art {
        Nichts,      // nothing to store and nothing to say (no date, a rate missing, one rate 0)
        Abweisen,    // show `text`; the focus to `feld`, a refused rate field gets `zurueck`
        Loeschen,    // ask `text` (Yes/No/Cancel); Yes deletes the day's rate as it was seen
        Aendern,     // the stored rate of the day becomes `kurs`
        Einfuegen,   // the day gets its first rate `kurs` (a new currency its first record)
        Abgleichen,  // another workstation changed or entered the day's rate: the user decides
    };
    Art art = Art::Nichts;
    QString text;
    Kursfeld feld = Kursfeld::Datum;
    std::optional<double> zurueck;
    bool zeileFremd = false;     // refused: the row now belongs to another currency, and shows it
    bool kehrwertNeu = false;    // Aendern: FremdinEuro was computed anew; the field shows it
    QDate tag;
    Kurs kurs;
};

// A rate-entry field left (or a way out of the page taken) with the frame as it stands.
Kursentscheidung kursSpeichern(const Kurslage& lage);

// The question when the day's rate as stored (none: deleted) is not the one the user saw (none:
// the day had none); none when the stored rate is the user's already.
std::optional<QString> kursAbgleichFrage(const QString& code, const QDate& tag, const std::optional<Kurs>& gespeichert,
                                         const std::optional<Kurs>& gesehen, const Kurs& eigener);

// A rate not deleted because another workstation changed (or deleted) it since it was read;
// the rates as stored now, empty when it is gone.
QString kursNichtGeloescht(const QString& code, const QString& tag, const QString& euroinFremd, const QString& fremdinEuro, int zeile);
// The message for a code another currency (`wid`) uses already.
QString doppelterCode(const QString& code, int wid);
// The German words for a field in the questions and messages.
QString bezeichnung(Kopffeld feld);

}  // namespace xov::waehrung
