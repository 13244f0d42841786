#pragma once
// The error report through the suite's common error window, the message about missing
// database fields, and the check of the online help file.

namespace xov {

class Fehler;
struct Aufruf;

// Hands the failure to xovAllgError with AufrufProgramm, KomponentenName and the help reference
// (the host's help file at the dialog's topic, where given), then empties KomponentenName. Without the component a plain box says so; 482 is silent. Never raises.
void FehlerAufruf(const Fehler& fehler, Aufruf& aufruf);

// The message that the database lacks fields and how to add them.
void DbStrukturHinweis(int nummer);

// Points the help at AufrufInfo(7) and checks that the file exists; shows why not otherwise.
// A step that fails is reported and the next one runs, so HilfeOk is true only for an existing
// file. Returns HilfeOk and keeps it, with the help file, in the call's state.
bool HilfeAufrufChk(Aufruf& aufruf);

}  // namespace xov
