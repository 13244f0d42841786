#pragma once
// Error numbers, the one exception type that carries them, and the error trap
// that lets a procedure run its steps one by one like its step list reads.

#include <QString>
#include <QByteArray>
#include <exception>
#include <functional>
#include <initializer_list>

namespace xov {

// The numbers the dialog tests for. Platform numbers (9, 13, ...) and the numbers of the
// database engine (3xxx) keep the meaning the callers expect; engine situations without a
// number of their own get FehlerNr::EngineBasis plus the engine's result code.
namespace FehlerNr {
constexpr int Ueberlauf = 6;               // overflow in a conversion
constexpr int IndexAusserhalb = 9;         // subscript out of range
constexpr int Abgebrochen = 18;            // the user cancelled a running operation
constexpr int Typunvertraeglich = 13;      // type mismatch
constexpr int InternerFehler = 51;         // a failure that is not ours (std::exception)
constexpr int NullUnzulaessig = 94;        // invalid use of null
constexpr int KomponenteFehlt = 429;       // component cannot be created
constexpr int DruckerFehler = 482;         // reported silently by the error report
constexpr int AktualisierenOhneEdit = 3020;// Update or field write without AddNew or Edit
constexpr int KeinAktuellerDatensatz = 3021;
constexpr int DoppelterSchluessel = 3022;
constexpr int DateiNichtGefunden = 3024;
constexpr int NurLesen = 3027;
constexpr int KeineBerechtigung = 3033;   // the file's owner, group or mode cannot be kept
constexpr int FalschesPasswort = 3031;
constexpr int VerbindungUnterbrochen = 3151;  // the database server went away or cannot be reached again
constexpr int TabelleFehlt = 3078;
constexpr int DatensatzGesperrt = 3260;    // the row is locked by another connection (server)
constexpr int DatensatzGeaendert = 3197;   // the row to write is no longer as it was read, or not unique
constexpr int FremdeDatei = 3343;          // a file that is not a database of the suite
constexpr int DateiVorhanden = 3204;       // a database file to be created exists already
constexpr int SpalteFehlt = 3265;
constexpr int ExklusivGesperrt = 3356;     // held exclusively by another process when opened
constexpr int Gesperrt = 3704;             // locked by another process while reading or writing
constexpr int EngineBasis = 30000;         // + SQLite result code for everything else
// The engine situations both engines raise themselves, by the SQLite result code they stand for.
constexpr int AnweisungFehlgeschlagen = EngineBasis + 1;  // a statement or the transaction failed
constexpr int KeinSpeicher = EngineBasis + 7;             // the engine could not get memory
constexpr int EinAusgabe = EngineBasis + 10;              // reading or writing a file failed
constexpr int Beschaedigt = EngineBasis + 11;             // a copy or file is incomplete
constexpr int DatentraegerVoll = EngineBasis + 13;
constexpr int NichtOeffenbar = EngineBasis + 14;          // a file cannot be created or put in place
constexpr int Fehlbedienung = EngineBasis + 21;           // an empty statement text
constexpr int ParameterZahl = EngineBasis + 25;           // more values than placeholders
}  // namespace FehlerNr

class Fehler : public std::exception {
public:
    Fehler(int nummer, QString beschreibung, QString quelle = QStringLiteral("xopMandStamm"));
    int nummer() const { return m_nummer; }
    const QString& beschreibung() const { return m_beschreibung; }
    const QString& quelle() const { return m_quelle; }
    const char* what() const noexcept override { return m_what.constData(); }

private:
    int m_nummer;
    QString m_beschreibung;
    QString m_quelle;
    QByteArray m_what;
};

// The standard German description of a platform or engine number, e.g. for 13 "Typen unverträglich".
QString standardBeschreibung(int nummer);
// Throws Fehler with the standard description, followed by a detail when one is given.
[[noreturn]] void fehlerWerfen(int nummer, const QString& detail = {});
// The Fehler inside the current exception; anything else becomes InternerFehler with its text.
Fehler aktuellerFehler();

// What a trap's handler decides after a failure: go on with the next step or leave the procedure.
enum class Fortsetzung { NaechsterSchritt, Verlassen };
using Fehlerbehandlung = std::function<Fortsetzung(const Fehler&)>;
using Schritt = std::function<void()>;

// Runs the steps in order. A failing step goes to the handler, which decides whether the next
// step runs. Returns false when the handler left the procedure.
bool mitFehlerfalle(std::initializer_list<Schritt> schritte, const Fehlerbehandlung& behandlung);

}  // namespace xov
