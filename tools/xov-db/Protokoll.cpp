#include "tools/xov-db/Protokoll.h"
#include "form/Feldtabelle.h"
#include "platform/Aenderungsprotokoll.h"
#include "platform/Datenbank.h"
#include "platform/Fehler.h"
#include "platform/Variant.h"
#include "tools/xov-db/Pruefen.h"

#include <QDateTime>

namespace xovdb {

void strukturProtokollieren(xov::Verbindung& v, const QString& tabelle, const QStringList& spalten) {
    const bool neu = xov::protokollTabelleAnlegen(v);
    xov::Aenderungsprotokoll p(v);
    if (neu)
        p.eintragen(xov::ProtokollTabelle, QString(), QVariant(), QVariant(), QVariant(), xov::Aenderungsart::StrukturErgaenzt,
                    QStringLiteral("Tabelle angelegt"));
    for (const QString& s : spalten)
        p.eintragen(tabelle, QString(), s, xov::nullWert(), xov::nullWert(), xov::Aenderungsart::StrukturErgaenzt,
                    QStringLiteral("Spalte angelegt"));
}

void kopieProtokollieren(xov::Verbindung& v, const QString& von, const QString& nach) {
    xov::Aenderungsprotokoll(v).eintragen(QStringLiteral("(alle Tabellen)"), QString(), QVariant(), QVariant(), QVariant(),
                                          xov::Aenderungsart::Kopiert,
                                          QStringLiteral("vollständig kopiert von %1 nach %2").arg(von, nach));
}

QString spaltenName(const QString& tabelle, const QString& spalte) {
    QString name;
    if (tabelle.compare(QLatin1String("AllgMandDaten"), Qt::CaseInsensitive) == 0) {
        for (const xov::FeldDef& f : xov::feldtabelle()) {
            if (f.spalte.compare(spalte, Qt::CaseInsensitive) != 0) continue;
            QString l = f.label.trimmed();
            while (l.endsWith(QLatin1Char(':'))) l.chop(1);
            bool zahl = false;
            l.trimmed().toInt(&zahl);
            if (!l.trimmed().isEmpty() && !zahl) name = l.trimmed();
            if (!name.isEmpty()) break;
        }
    } else if (tabelle.compare(QLatin1String("AllgWaehrung"), Qt::CaseInsensitive) == 0) {
        static const QHash<QString, QString> namen = {
            {QStringLiteral("waehrungscode"), QStringLiteral("Währungscode")},
            {QStringLiteral("waehrungscodebezeichnung"), QStringLiteral("Währungsname")},
            {QStringLiteral("laenderkennzeichen"), QStringLiteral("Länderkürzel")},
            {QStringLiteral("euroinfremd"), QStringLiteral("1 EUR in Fremdwährung")},
            {QStringLiteral("fremdineuro"), QStringLiteral("1 Fremdwährungseinheit in EUR")}};
        name = namen.value(spalte.toLower());
    }
    return name.isEmpty() ? spalte : name + QStringLiteral(" (") + spalte + QLatin1Char(')');
}

namespace {

QString text(const QVariant& v) { return xov::istNull(v) || xov::istLeer(v) ? QString() : v.toString(); }


void zeigen(const xov::Protokolleintrag& e, QTextStream& aus) {
    QString wer = text(e.arbeitsplatz);
    if (!text(e.benutzer).isEmpty()) wer += QStringLiteral(", Benutzer ") + text(e.benutzer);
    if (!text(e.rolle).isEmpty()) wer += QStringLiteral(" (Datenbankrolle ") + text(e.rolle) + QLatin1Char(')');
    aus << "Nr. " << e.nr << "  " << xov::zeitpunktAnzeige(e.zeitpunkt) << "  " << text(e.art) << "  Arbeitsplatz " << wer << ", "
        << text(e.programm) << '\n';
    QString was = text(e.tabelle);
    if (!text(e.schluessel).isEmpty()) was += QLatin1Char(' ') + text(e.schluessel);
    if (!text(e.spalte).isEmpty())
        was += QStringLiteral(", Feld ") + spaltenName(text(e.tabelle), text(e.spalte)) + QStringLiteral(": ") +
               xov::wertAnzeige(e.alterTyp, e.alterWert) + QStringLiteral(" → ") + xov::wertAnzeige(e.neuerTyp, e.neuerWert);
    aus << "    " << was << '\n';
    if (!text(e.bemerkung).isEmpty()) aus << "    " << text(e.bemerkung) << '\n';
}

}  // namespace

int protokollBefehl(QStringList a, QTextStream& aus, QTextStream& fehler) {
    const bool pruefen = a.removeAll(QStringLiteral("--pruefen")) > 0;
    const QString ab = wertNehmen(a, QStringLiteral("--ab"));
    const QString bis = wertNehmen(a, QStringLiteral("--bis"));
    const QString tabelle = wertNehmen(a, QStringLiteral("--tabelle"));
    const QString feld = wertNehmen(a, QStringLiteral("--feld"));
    if (a.size() != 1)
        throw Abweisung{QStringLiteral("Aufruf: xov-db protokoll DB [--ab DATUM] [--bis DATUM] [--tabelle T] [--feld F] [--pruefen]")};
    const QDate von = ab.isNull() ? QDate() : datumAus(ab), nach = bis.isNull() ? QDate() : datumAus(bis);
    if (von.isValid() && nach.isValid() && nach < von)
        throw Abweisung{QStringLiteral("--bis %1 liegt vor --ab %2.").arg(xov::datumAlsText(nach), xov::datumAlsText(von))};
    const QString db = a.first();
    vorhandeneDatenbankPruefen(db);
    auto v = xov::verbindungOeffnen(db, xov::DbPasswort);
    if (!xov::protokollVorhanden(*v))
        throw Abweisung{QStringLiteral("%1 hat noch kein Änderungsprotokoll; xov-db felder-ergaenzen legt es an.").arg(dieDatenbank(db))};

    // The whole log is read even for a part of it: the chain is checked from its first entry.
    const QVector<xov::Protokolleintrag> alle = xov::protokollLesen(*v);
    int gezeigt = 0;
    for (const xov::Protokolleintrag& e : alle) {
        if (!tabelle.isEmpty() && text(e.tabelle).compare(tabelle, Qt::CaseInsensitive) != 0) continue;
        if (!feld.isEmpty() && text(e.spalte).compare(feld, Qt::CaseInsensitive) != 0) continue;
        const QDate tag = QDateTime::fromString(text(e.zeitpunkt), Qt::ISODateWithMs).toLocalTime().date();
        if ((von.isValid() && tag < von) || (nach.isValid() && tag > nach)) continue;
        if (!pruefen) zeigen(e, aus);
        ++gezeigt;
    }
    if (!pruefen) {
        aus << (gezeigt == 1 ? QStringLiteral("1 Eintrag") : QStringLiteral("%1 Einträge").arg(gezeigt)) << " von " << alle.size() << '\n';
        return 0;
    }
    if (const auto bruch = xov::ketteFinden(alle)) {
        aus.flush();
        fehler << "Das Änderungsprotokoll von " << anzeige(db) << " ist nicht unversehrt: " << bruch->grund << ".\n"
               << "Erster beschädigter Eintrag: Nr. " << bruch->nr << '\n';
        return 1;
    }
    aus << "Das Änderungsprotokoll von " << anzeige(db) << " ist unversehrt: " << alle.size()
        << (alle.size() == 1 ? " Eintrag" : " Einträge") << ", die Kette der Prüfsummen ist vollständig.\n";
    return 0;
}

}  // namespace xovdb
