#pragma once
// What a change on the currency page does, decided without a widget: from what this dialog read,
// what is stored now and what the user typed, a decision to store, to ask (with the question's
// text) or to refuse (with the message and the field concerned). Several workstations share the
// currencies: a currency another workstation created, recoded or changed since this dialog read
// it is never overwritten unasked, and records this dialog never saw are never recoded.

#include <QString>
#include <optional>

namespace xov::waehrung {

// Code, name and country code of one currency, as every one of its records repeats them.
struct Kopf {
    QString code, name, land;
    friend bool operator==(const Kopf&, const Kopf&) = default;
};

enum class Kopffeld { Name, Code, Land };

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
// currency of this row since (the row then shows what is stored); none when the write may go on.
std::optional<QString> kursGehoertZurZeile(const Kopflage& lage);

// A rate not deleted because another workstation changed (or deleted) it since it was read;
// the rates as stored now, empty when it is gone.
QString kursNichtGeloescht(const QString& code, const QString& tag, const QString& euroinFremd, const QString& fremdinEuro, int zeile);
// The message for a code another currency (`wid`) uses already.
QString doppelterCode(const QString& code, int wid);
// The German words for a field in the questions and messages.
QString bezeichnung(Kopffeld feld);

}  // namespace xov::waehrung
