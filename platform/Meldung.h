#pragma once
// The one message-box function: German buttons, the style numbers of the platform
// (0 OK, 1 OK/Abbrechen, 3 Ja/Nein/Abbrechen, 4 Ja/Nein; +16 critical, +32 question,
// +48 exclamation, +64 information) and the answer as the platform's number.

#include <QString>

namespace xov {

namespace Antwort {
constexpr int Ok = 1, Abbrechen = 2, Ja = 6, Nein = 7;
}

// The title shown when a message brings none of its own.
QString anwendungsTitel();

// Shows the box modally over the active window and gives that window the focus back afterwards,
// so that a following setFocus works also without a window manager. Line breaks may be CRLF or CR.
int Meldung(const QString& text, int stil = 0, const QString& titel = {});

// Unattended runs (the host program's picture mode): no box waits. Each message is written to
// standard error (title, text, buttons) and answered with its default button; the error report
// writes there too. Every message that is not a question or an information counts as an error.
void setzeUnbeaufsichtigt(bool an);
bool unbeaufsichtigt();
// Writes one message to standard error and counts it; for the error report.
void unbeaufsichtigtMelden(const QString& titel, const QString& text, const QString& knoepfe, bool fehler);
int gemeldeteFehler();

}  // namespace xov
