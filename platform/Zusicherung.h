#pragma once
// Programmer errors apart from user messages: XOV_ASSERT(bedingung) logs the failed condition
// with file and line as a critical message and gives false, so that the caller can go on with a
// safe value instead of dereferencing null. It never shows a box: what the user can act on is a
// Meldung or a Fehler with its number, never an assertion.
//
//   auto* feld = findChild<QLineEdit*>(name);
//   if (!XOV_ASSERT(feld)) return {};

#include <QtGlobal>

namespace xov::detail {
bool zusicherungFehlgeschlagen(const char* bedingung, const char* datei, int zeile, const char* wovon = nullptr);
}  // namespace xov::detail

#define XOV_ASSERT(bedingung) \
    (static_cast<bool>(bedingung) ? true : ::xov::detail::zusicherungFehlgeschlagen(#bedingung, __FILE__, __LINE__))
// The same, naming what was looked for (a control's name, say) in the log.
#define XOV_ASSERT_MIT(bedingung, wovon) \
    (static_cast<bool>(bedingung) ? true : ::xov::detail::zusicherungFehlgeschlagen(#bedingung, __FILE__, __LINE__, (wovon)))
