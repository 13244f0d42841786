#pragma once
// Binding the form's data sources to their databases, and giving a client database without
// password the suite's fixed password.

#include "platform/Verbindungsangabe.h"

class QObject;
class QString;

namespace xov {

struct Aufruf;

// Sets the connect string of every data source of the form ("Access 2000;" or "Access;" from
// AufrufInfo(4), then "pwd=<password>;"); the first source's database gets the password first.
// Never reports an error.
void Set_DBConnect(QObject* form, Aufruf& aufruf);

// Gives the client database the fixed password. Already keyed, missing, open in another
// connection or process and three further numbers are silent; a file that is no client database
// of the suite, or whose owner and mode could not be kept, stays as it is with a German message;
// any other failure shows the English message box.
void Set_DBPassword(const QString& pfad);

}  // namespace xov
