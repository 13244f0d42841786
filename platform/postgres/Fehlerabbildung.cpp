// The map from SQLSTATE to the dialog's numbers. States are read from their codes, never from the
// message text, which the server writes in its own language; the text is only carried along as
// the detail of the German sentence, and the name of a missing column or table is taken from
// between its quotes.

#include "platform/postgres/Fehlerabbildung.h"
#include "platform/Fehler.h"

#include <QRegularExpression>

namespace xov::postgres {
namespace {

// The name quoted in a server message ("spalte" or »spalte«), or the whole message.
QString genannterName(const QString& text) {
    static const QRegularExpression name(QStringLiteral("[\"»]([^\"«]+)[\"«]"));
    const auto m = name.match(text);
    return m.hasMatch() ? m.captured(1) : text;
}

}  // namespace

QString zustandAusMeldung(const QString& meldung) {
    // "...failed: FATAL:  28P01: ...": the code follows the severity, whose word may be translated.
    static const QRegularExpression zustand(QStringLiteral(":\\s+[^:\\s]+:\\s+([0-9A-Z]{5}):\\s"));
    const auto m = zustand.match(meldung);
    return m.hasMatch() ? m.captured(1) : QString();
}

QString satzAusMeldung(const QString& meldung) {
    QString satz = meldung.section(QLatin1Char('\n'), 0, 0).trimmed();
    static const QRegularExpression vorspann(QStringLiteral("^.*?:\\s+[A-Z]+:\\s+(?:[0-9A-Z]{5}:\\s+)?"));
    const auto m = vorspann.match(satz);
    if (m.hasMatch()) satz = satz.mid(m.capturedEnd());
    return satz;
}

void serverFehler(const QString& zustand, const QString& text, const QString& adresse) {
    const QString server = QStringLiteral("Server meldet: ") + text;
    const auto mit = [&](int nummer, const QString& satz) { throw Fehler(nummer, satz + QStringLiteral(" (") + server + QLatin1Char(')')); };
    if (zustand.isEmpty())
        mit(FehlerNr::DateiNichtGefunden, QStringLiteral("Der Datenbankserver von %1 ist nicht erreichbar").arg(adresse));
    if (zustand == QLatin1String("28P01") || zustand == QLatin1String("28000"))
        mit(FehlerNr::FalschesPasswort,
            QStringLiteral("Ungültiges Kennwort: der Datenbankserver weist die Anmeldung an %1 ab").arg(adresse));
    if (zustand == QLatin1String("3D000"))
        mit(FehlerNr::DateiNichtGefunden, QStringLiteral("Die Datenbank %1 gibt es auf dem Server nicht").arg(adresse));
    if (zustand == QLatin1String("42P04")) fehlerWerfen(FehlerNr::DateiVorhanden, adresse);
    if (zustand == QLatin1String("42703")) fehlerWerfen(FehlerNr::SpalteFehlt, genannterName(text));
    if (zustand == QLatin1String("42P01")) fehlerWerfen(FehlerNr::TabelleFehlt, genannterName(text));
    if (zustand == QLatin1String("23505")) fehlerWerfen(FehlerNr::DoppelterSchluessel, text);
    if (zustand == QLatin1String("55P03") || zustand == QLatin1String("40P01") || zustand == QLatin1String("40001"))
        fehlerWerfen(FehlerNr::DatensatzGesperrt, text);
    if (zustand == QLatin1String("22003")) fehlerWerfen(FehlerNr::Ueberlauf, text);
    if (zustand.startsWith(QLatin1String("22")) || zustand == QLatin1String("42804"))
        fehlerWerfen(FehlerNr::Typunvertraeglich, text);
    if (zustand == QLatin1String("25006") || zustand == QLatin1String("42501"))
        mit(FehlerNr::NurLesen, QStringLiteral("Die Datenbank %1 kann nicht geschrieben werden").arg(adresse));
    if (zustand == QLatin1String("53100"))
        mit(FehlerNr::DatentraegerVoll, QStringLiteral("Der Datenträger des Datenbankservers ist voll"));
    if (zustand.startsWith(QLatin1String("08")) || zustand.startsWith(QLatin1String("57P")))
        mit(FehlerNr::VerbindungUnterbrochen,
            QStringLiteral("Die Verbindung zum Datenbankserver von %1 ist unterbrochen").arg(adresse));
    throw Fehler(FehlerNr::AnweisungFehlgeschlagen, QStringLiteral("Die Datenbank meldet einen Fehler (") + server + QLatin1Char(')'));
}

}  // namespace xov::postgres
