#pragma once
// A keystroke a field refuses is never silent: a short beep, and where the refusal needs a word,
// a German hint beside the field. The hint lies over the window like a tooltip, so that nothing
// of the layout moves; it goes with the field's next accepted key, when the field loses the
// focus, or after a few seconds.

#include <QString>

class QKeyEvent;
class QLabel;
class QWidget;

namespace xov {

// A key that would type its character while Alt is held: a shortcut nobody answered, never
// text. Ctrl with Alt that gives another character than the key's own is AltGr ("@" and "€" on
// a German keyboard) and types. (A line edit never types with Ctrl alone.)
bool tipptMitAlt(const QKeyEvent* e);

void eingabeAbweisen(QWidget* feld, const QString& hinweis = {});
// Hides the hint shown for this field, if any.
void hinweisVerbergen(QWidget* feld);
// The hint of the field's window (object name "lblEingabeHinweis"); null before the first one.
QLabel* eingabeHinweis(QWidget* fenster);
// How many keystrokes the fields of this window refused so far; each one beeped once.
int abgewieseneTasten(const QWidget* fenster);

}  // namespace xov
