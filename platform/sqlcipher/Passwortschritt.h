#pragma once
// The password step of the SQLCipher engine: a database file of the suite without password gets
// the password.

#include <QString>

namespace xov::sqlcipher {

// An encrypted copy is written beside the file, checked, given the original's owner, group and
// mode, flushed to disk and renamed over the original, so that a crash leaves either the old
// file or the new one. The file must hold `kennTabelle` (AllgMandDaten, AllgFaDaten): any other
// file raises 3343 and stays as it is. A file that already has a password raises 3031, one that
// any connection has open 3356 (Dateisperre.h), one whose owner cannot be kept 3033; all stay.
void passwortVergeben(const QString& pfad, const QString& passwort, const QString& kennTabelle);

}  // namespace xov::sqlcipher
