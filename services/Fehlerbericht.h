#pragma once
// The error report through the suite's common error window, the message about missing
// database fields, and the check of the online help file.

namespace xov {

class Fehler;

// Hands the failure to xovAllgError with AufrufProgramm and KomponentenName, then empties
// KomponentenName. Without the component a plain box says so; 482 is silent. Never raises.
void FehlerAufruf(const Fehler& fehler);

// The message that the database lacks fields and how to add them.
void DbStrukturHinweis(int nummer);

// Points the help at AufrufInfo(7) and checks that the file exists; shows why not otherwise.
// Returns and keeps HilfeOk.
bool HilfeAufrufChk();
bool HilfeOk();
QString Hilfedatei();

}  // namespace xov
