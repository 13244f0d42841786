#include "services/Fehlerbericht.h"
#include "services/Aufruf.h"
#include "platform/Fehler.h"
#include "platform/Komponenten.h"
#include "platform/Meldung.h"
#include "platform/Variant.h"

#include <QFileInfo>

namespace xov {
namespace {

// The help file that the host named, or "" when it named none or no text.
QString hilfedateiDesAufrufs(const Aufruf& aufruf) {
    try {
        const QVariantList& info = aufruf.AufrufInfo;
        return info.size() > 7 ? alsText(info.at(7)) : QString();
    } catch (...) {
        return {};
    }
}

// Where the error window points for help: the component's help file at the dialog's topic,
// where the host gave them; an empty file and "0" otherwise.
std::pair<QString, QString> hilfeVerweis(const Aufruf& aufruf) {
    const QString datei = hilfedateiDesAufrufs(aufruf);
    const qint16 thema = aufruf.HilfeIds.value(15);
    return {datei, QString::number(datei.isEmpty() ? 0 : thema)};
}

}  // namespace

void FehlerAufruf(const Fehler& fehler, Aufruf& m) {
    if (unbeaufsichtigt()) {  // no window waits: the report goes to standard error
        unbeaufsichtigtMelden(QStringLiteral("xovAllgError"),
                              QStringLiteral("Fehler %1: %2\r\nStelle: %3").arg(fehler.nummer()).arg(fehler.beschreibung(), m.KomponentenName),
                              QStringLiteral("[OK]"), true);
        m.KomponentenName.clear();
        return;
    }
    try {
        auto obj = komponenteErzeugen(QStringLiteral("{FB67A95A-60B8-11D3-9C2E-CD95EB3EEC2B}"));
        auto* fenster = qobject_cast<AllgFehlerSchnittstelle*>(obj.get());
        if (!fenster) fehlerWerfen(FehlerNr::KomponenteFehlt, QStringLiteral("xovAllgError"));
        fenster->setFehlerNr(fehler.nummer());
        fenster->setBeschreibung(fehler.beschreibung());
        const auto [datei, kontext] = hilfeVerweis(m);
        fenster->setHilfeDatei(datei);
        fenster->setHilfeKontext(kontext);
        fenster->setAufrufProgramm(m.AufrufProgramm);
        fenster->setKomponentenName(m.KomponentenName);
        fenster->setZusatz1(QVariant());
        fenster->setZusatz2(QVariant());
        fenster->setModus(0);
        // Modal: the window is closed when this returns, and goes with this report.
        fenster->FehlerAnzeigen();
        (void)fenster->Antwort();
        m.KomponentenName.clear();
    } catch (...) {
        const Fehler neu = aktuellerFehler();
        // The box that stands in for the error window also says what went wrong.
        const QString urspruenglich = QStringLiteral("\r\n\r\nFehler %1: %2").arg(fehler.nummer()).arg(fehler.beschreibung()) +
                                      (m.KomponentenName.isEmpty() ? QString() : QStringLiteral("\r\nStelle: ") + m.KomponentenName);
        if (neu.nummer() == FehlerNr::KomponenteFehlt) {
            Meldung(QStringLiteral("das allgem. Fehlermeldungsprogramm xovAllgError konnte nicht aufgerufen werden") + urspruenglich);
        } else if (neu.nummer() != FehlerNr::DruckerFehler) {
            Meldung(QStringLiteral("Problem beim Aufruf des allg. Fehlermeldungsprogrammes xovAllgError: \r\n\r\nFehlerNr: %1 %2")
                        .arg(neu.nummer()).arg(neu.beschreibung()) + urspruenglich);
        }
    }
}

void DbStrukturHinweis(int nummer) {
    const QString crlf = QStringLiteral("\r\n");
    Meldung(QStringLiteral("Fehler-Nr: %1").arg(nummer) + crlf + crlf +
                QStringLiteral("Die Datenbank-Struktur wurde für die Verarbeitung in diesem Programm wurde um 1 oder "
                               "mehrere Daten-Felder erweitert - die in der aufgerufenen Datenbank noch "
                               "nicht berücksichtigt sind.") + crlf + crlf +
                QStringLiteral("BITTE BEENDIGEN SIE AUF JEDEN FALL DIESE VERARBEITUNG !!! ") + crlf + crlf +
                QStringLiteral("und führen Sie anschließend in:") + crlf +
                QStringLiteral("\"Hilfsprogramme\",\"Diverse DatenbankHilfsfunktionen\" ") + crlf +
                QStringLiteral("die Auswahl: \"alle neuen Felder abrufen\" durch.") + crlf + crlf +
                QStringLiteral("Anschließend können Sie diese Verarbeitung problemlos starten."),
            Stil::Ok, QStringLiteral("unkomplette Datenbanktabelle:"));
}

bool HilfeAufrufChk(Aufruf& a) {
    a.HilfeOk = true;
    // A failing step is reported and the next one runs, so that the checks below still decide.
    mitFehlerfalle(
        {
            [&] {
                a.Hilfedatei.clear();  // a help file entry that is no text leaves none defined
                a.Hilfedatei = a.AufrufInfo.size() > 7 ? alsText(a.AufrufInfo.at(7)) : QString();
            },
            [&] {
                if (!a.Hilfedatei.isEmpty()) return;
                Meldung(QStringLiteral("Die Definition für den App.Helpfile = leer\r\nEs kann keine Onlinehilfe angezeigt werden !"));
                a.HilfeOk = false;
            },
            [&] {
                if (a.Hilfedatei.isEmpty() || QFileInfo(a.Hilfedatei).isFile()) return;
                Meldung(QStringLiteral("Die Hilfedatei (App.HelpFile) %1 ist nicht auffindbar.\r\nEs kann keine Onlinehilfe angezeigt werden !")
                            .arg(a.Hilfedatei));
                a.HilfeOk = false;
            },
        },
        [&](const Fehler& f) {
            a.KomponentenName = QStringLiteral("xov..., in mdlFehlerXO, HilfeAufrufChk");
            FehlerAufruf(f, a);
            return Fortsetzung::NaechsterSchritt;
        });
    return a.HilfeOk;
}

}  // namespace xov
