#include "services/DbVerbindung.h"
#include "services/Aufruf.h"
#include "platform/Datenquelle.h"
#include "platform/Fehler.h"
#include "platform/Meldung.h"
#include "platform/sqlcipher/Passwortschritt.h"

namespace xov {

void Set_DBConnect(QObject* form, Aufruf& aufruf) {
    bool erste = true;
    for (Datenquelle* quelle : form->findChildren<Datenquelle*>()) {
        try {
            if (erste) Set_DBPassword(quelle->DatabaseName());
            erste = false;
            QVariantList& info = aufruf.AufrufInfo;
            if (info.size() < 101) info.resize(101);
            if (info.at(4).toString() != QLatin1String("Access 2000;") || info.at(4).typeId() != QMetaType::QString)
                info[4] = QStringLiteral("Access;");
            quelle->setConnect(info.at(4).toString());
            quelle->setConnect(quelle->Connect() + QStringLiteral("pwd=") + DbPasswort + QLatin1Char(';'));
        } catch (...) {
            // Binding ignores failures; the first Refresh of the source reports them.
        }
    }
}

void Set_DBPassword(const QString& pfad) {
    // A database on a server keeps its own logins; there is no file to encrypt.
    if (Verbindungsangabe::istServerAdresse(pfad)) return;
    try {
        sqlcipher::passwortVergeben(pfad, DbPasswort, QStringLiteral("AllgMandDaten"));
    } catch (const Fehler& f) {
        switch (f.nummer()) {
        case FehlerNr::FremdeDatei: case FehlerNr::KeineBerechtigung:
            // Skipped, the file untouched; the user hears why in German.
            Meldung(f.beschreibung(), Stil::Ausrufezeichen);
            return;
        case FehlerNr::FalschesPasswort: case 3001: case 3621: case FehlerNr::Gesperrt:
        case FehlerNr::DateiNichtGefunden: case FehlerNr::ExklusivGesperrt:
            return;
        default:
            Meldung(QStringLiteral("The following error has occured.\r\n\r\nError Number: %1\r\n"
                                   "Error Source: Set_DBPassword\r\nError Description: %2")
                        .arg(f.nummer()).arg(f.beschreibung()),
                    Stil::Kritisch, QStringLiteral("An Error has Occured!"));
        }
    }
}

}  // namespace xov
