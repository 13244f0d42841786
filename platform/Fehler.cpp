#include "platform/Fehler.h"

namespace xov {

Fehler::Fehler(int nummer, QString beschreibung, QString quelle)
    : m_nummer(nummer), m_beschreibung(std::move(beschreibung)), m_quelle(std::move(quelle)),
      m_what(QStringLiteral("%1: %2").arg(m_nummer).arg(m_beschreibung).toUtf8()) {}

QString standardBeschreibung(int nummer) {
    switch (nummer) {
    case FehlerNr::Ueberlauf: return QStringLiteral("Überlauf");
    case FehlerNr::IndexAusserhalb: return QStringLiteral("Index außerhalb des gültigen Bereichs");
    case FehlerNr::Typunvertraeglich: return QStringLiteral("Typen unverträglich");
    case FehlerNr::InternerFehler: return QStringLiteral("Interner Fehler");
    case FehlerNr::NullUnzulaessig: return QStringLiteral("Unzulässige Verwendung von Null");
    case FehlerNr::KomponenteFehlt: return QStringLiteral("Objekterstellung durch ActiveX-Komponente nicht möglich");
    case FehlerNr::AktualisierenOhneEdit: return QStringLiteral("Aktualisieren oder Abbrechen ohne AddNew oder Edit");
    case FehlerNr::KeinAktuellerDatensatz: return QStringLiteral("Kein aktueller Datensatz");
    case FehlerNr::DoppelterSchluessel:
        return QStringLiteral("Die Änderungen wurden nicht durchgeführt, da sie doppelte Werte im Index oder Primärschlüssel erzeugen würden");
    case FehlerNr::DateiNichtGefunden: return QStringLiteral("Datei nicht gefunden");
    case FehlerNr::NurLesen: return QStringLiteral("Aktualisieren nicht möglich; Datenbank oder Objekt ist schreibgeschützt");
    case FehlerNr::KeineBerechtigung: return QStringLiteral("Keine Berechtigung");
    case FehlerNr::FalschesPasswort: return QStringLiteral("Ungültiges Kennwort");
    case FehlerNr::DateiVorhanden: return QStringLiteral("Die Datenbank ist bereits vorhanden");
    case FehlerNr::FremdeDatei: return QStringLiteral("Die Datei ist keine Datenbank der Anwendung");
    case FehlerNr::TabelleFehlt: return QStringLiteral("Die Tabelle wurde nicht gefunden");
    case FehlerNr::DatensatzGeaendert:
        return QStringLiteral("Der Datensatz wurde nicht gespeichert: er wurde seit dem Lesen von einem anderen Benutzer "
                              "geändert oder gelöscht, oder er ist nicht eindeutig");
    case FehlerNr::VerbindungUnterbrochen: return QStringLiteral("Die Verbindung zum Datenbankserver ist unterbrochen");
    case FehlerNr::DatensatzGesperrt:
        return QStringLiteral("Aktualisieren nicht möglich; der Datensatz ist zurzeit von einem anderen Benutzer gesperrt");
    case FehlerNr::SpalteFehlt: return QStringLiteral("Element in dieser Auflistung nicht gefunden");
    case FehlerNr::ExklusivGesperrt: return QStringLiteral("Die Datenbank ist von einem anderen Benutzer exklusiv geöffnet");
    case FehlerNr::Gesperrt: return QStringLiteral("Die Datenbank ist von einem anderen Benutzer gesperrt; bitte später erneut versuchen");
    default: return QStringLiteral("Fehler %1").arg(nummer);
    }
}

void fehlerWerfen(int nummer, const QString& detail) {
    QString text = standardBeschreibung(nummer);
    if (!detail.isEmpty()) text += QStringLiteral(" (") + detail + QLatin1Char(')');
    throw Fehler(nummer, text);
}

Fehler aktuellerFehler() {
    try {
        throw;
    } catch (const Fehler& f) {
        return f;
    } catch (const std::exception& e) {
        return Fehler(FehlerNr::InternerFehler, QString::fromLocal8Bit(e.what()));
    } catch (...) {
        return Fehler(FehlerNr::InternerFehler, standardBeschreibung(FehlerNr::InternerFehler));
    }
}

bool mitFehlerfalle(std::initializer_list<Schritt> schritte, const Fehlerbehandlung& behandlung) {
    for (const Schritt& schritt : schritte) {
        try {
            schritt();
        } catch (...) {
            if (behandlung(aktuellerFehler()) == Fortsetzung::Verlassen) return false;
        }
    }
    return true;
}

}  // namespace xov
