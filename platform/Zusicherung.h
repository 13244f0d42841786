#pragma once
// Programmer errors apart from user messages: a condition that only a bug can break is checked
// with XOV_ZUSICHERN; when it fails, file, line and the condition are logged and the caller
// goes on with a safe value instead of dereferencing null. Users never see these.

#include <QtGlobal>

namespace xov {
void zusicherungVerletzt(const char* bedingung, const char* datei, int zeile, const char* detail);
}

// True when the condition holds; logs and gives false otherwise.
#define XOV_ZUSICHERN(bedingung, detail) \
    ((bedingung) ? true : (::xov::zusicherungVerletzt(#bedingung, __FILE__, __LINE__, (detail)), false))
