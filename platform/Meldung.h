#pragma once
// The one message-box function: German buttons, the style as the platform numbers it (the
// buttons, plus a symbol, plus the default button) and the answer as the platform's number.

#include <QString>

namespace xov {

// A message's style: one set of buttons, plus one symbol, plus the default button where it is
// not the first, e.g. `Stil::JaNeinAbbrechen + Stil::Frage`.
namespace Stil {
constexpr int Ok = 0, OkAbbrechen = 1, JaNeinAbbrechen = 3, JaNein = 4;
constexpr int Knoepfe = 0x7;  // the bits of the buttons
constexpr int Kritisch = 16, Frage = 32, Ausrufezeichen = 48, Information = 64;
constexpr int Symbol = 0x70;  // the bits of the symbol
constexpr int ZweiterKnopfStandard = 256, DritterKnopfStandard = 512;
}  // namespace Stil

// The button the user chose.
namespace Antwort {
constexpr int Ok = 1, Abbrechen = 2, Ja = 6, Nein = 7;
}

// The title shown when a message brings none of its own.
QString anwendungsTitel();

// Shows the box modally over the active window and gives that window the focus back afterwards,
// so that a following setFocus works also without a window manager. Line breaks may be CRLF or CR.
int Meldung(const QString& text, int stil = Stil::Ok, const QString& titel = {});

// Unattended runs (the host program's picture mode): no box waits. Each message is written to
// standard error (title, text, buttons) and answered with its default button; the error report
// writes there too. Every message that is not a question or an information counts as an error.
void setzeUnbeaufsichtigt(bool an);
bool unbeaufsichtigt();
// Writes one message to standard error and counts it; for the error report.
void unbeaufsichtigtMelden(const QString& titel, const QString& text, const QString& knoepfe, bool fehler);
int gemeldeteFehler();

}  // namespace xov
