#include "kurse/Kurseinlesen.h"

#include "kurse/Einleseprotokoll.h"
#include "kurse/Kurs.h"
#include "platform/Datenbank.h"
#include "platform/Fehler.h"

#include <QHash>
#include <QSet>

namespace xov {

QVector<Einlesewaehrung> gespeicherteWaehrungen(Verbindung& v) {
    QVector<Einlesewaehrung> liste;
    const auto erg = v.abfragen(QStringLiteral("SELECT WID, Waehrungscode, WaehrungscodeBezeichnung, Laenderkennzeichen FROM AllgWaehrung "
                                               "WHERE WID BETWEEN 1 AND 20 ORDER BY WID, AenderDatum DESC"));
    for (const auto& z : erg.zeilen) {
        const int wid = z.at(0).toInt();
        if (!liste.isEmpty() && liste.last().wid == wid) continue;
        liste.append({wid, z.at(1).toString(), z.at(2).toString(), z.at(3).toString()});
    }
    return liste;
}

QVector<Einlesebilanz> kurseEinlesen(Verbindung& v, const QVector<Tageskurse>& tage, const QVector<Einlesewaehrung>& waehrungen,
                                     const Einleseoptionen& optionen) {
    QVector<Einlesebilanz> bilanz;
    QHash<QString, int> nachCode;  // code -> index in bilanz; the first row of a code wins
    for (const auto& w : waehrungen) {
        const QString code = w.code.trimmed().toUpper();
        if (code.isEmpty() || nachCode.contains(code)) continue;
        nachCode.insert(code, bilanz.size());
        bilanz.append(Einlesebilanz{w, 0, 0, 0, 0});
    }
    if (bilanz.isEmpty()) return bilanz;

    Transaktion t(v);
    Aenderungsprotokoll protokoll(v);
    // The stored days with their rates: a day to replace that holds the file's rates already is
    // kept, not counted as replaced.
    QVector<QHash<QDate, QPair<QVariant, QVariant>>> vorhanden(bilanz.size());
    for (int i = 0; i < bilanz.size(); ++i)
        for (const auto& z : v.abfragen(QStringLiteral("SELECT AenderDatum, EuroinFremd, FremdinEuro FROM AllgWaehrung WHERE WID = ?"),
                                        {bilanz[i].waehrung.wid}).zeilen)
            vorhanden[i].insert(z.at(0).typeId() == QMetaType::QDate ? z.at(0).toDate() : QDate::fromString(z.at(0).toString(), Qt::ISODate),
                                {z.at(1), z.at(2)});

    const QString einfuegen = QStringLiteral("INSERT INTO AllgWaehrung (WID, Waehrungscode, WaehrungscodeBezeichnung, Laenderkennzeichen, "
                                             "AenderDatum, EuroinFremd, FremdinEuro) VALUES (?,?,?,?,?,?,?)");
    const QString ersetzen = QStringLiteral("UPDATE AllgWaehrung SET EuroinFremd = ?, FremdinEuro = ? WHERE WID = ? AND AenderDatum = ?");
    QVector<bool> gesehen(bilanz.size());
    QSet<QDate> tageGelesen;
    const int gesamt = static_cast<int>(tage.size());
    int erledigt = 0;
    const auto melden = [&] {
        if (optionen.fortschritt && !optionen.fortschritt(erledigt, gesamt))
            throw Fehler(FehlerNr::Abgebrochen, QStringLiteral("Das Einlesen wurde abgebrochen."));
    };
    for (const Tageskurse& tag : tage) {
        if (erledigt++ % 50 == 0) melden();
        if ((optionen.ab.isValid() && tag.datum < optionen.ab) || (optionen.bis.isValid() && tag.datum > optionen.bis)) continue;
        if (tageGelesen.contains(tag.datum)) continue;  // a day twice in one file counts once
        tageGelesen.insert(tag.datum);
        gesehen.fill(false);
        const QString iso = tag.datum.toString(Qt::ISODate);
        for (const auto& [code, kurs] : tag.kurse) {
            const auto it = nachCode.constFind(code);
            if (it == nachCode.constEnd() || gesehen[*it]) continue;
            gesehen[*it] = true;
            Einlesebilanz& b = bilanz[*it];
            if (const auto alt = vorhanden[*it].constFind(tag.datum); alt != vorhanden[*it].constEnd()) {
                const auto gleich = [](const QVariant& w, double z) { return w.typeId() == QMetaType::Double && w.toDouble() == z; };
                if (!optionen.ersetzen || (gleich(alt->first, kurs) && gleich(alt->second, kehrwert(kurs)))) {
                    ++b.behalten;
                    continue;
                }
                v.ausfuehren(ersetzen, {kurs, kehrwert(kurs), b.waehrung.wid, iso});
                ersetztProtokollieren(protokoll, b.waehrung.wid, tag.datum, *alt, kurs, kehrwert(kurs));
                ++b.ersetzt;
                continue;
            }
            const auto& w = b.waehrung;
            v.ausfuehren(einfuegen, {w.wid, w.code.trimmed().toUpper(), w.name, w.land, iso, kurs, kehrwert(kurs)});
            vorhanden[*it].insert(tag.datum, {kurs, kehrwert(kurs)});
            ++b.hinzugefuegt;
        }
        for (int i = 0; i < bilanz.size(); ++i)
            if (!gesehen[i]) ++bilanz[i].uebersprungen;
    }
    erledigt = gesamt;
    melden();
    einlesenProtokollieren(protokoll, optionen, bilanz);
    t.bestaetigen();
    return bilanz;
}

QStringList bilanzZeilen(const QVector<Einlesebilanz>& bilanz) {
    QStringList zeilen;
    for (const auto& b : bilanz) {
        QString z = QStringLiteral("%1: %2 hinzugefügt, ").arg(b.waehrung.code.trimmed().toUpper()).arg(b.hinzugefuegt);
        if (b.ersetzt > 0) z += QStringLiteral("%1 ersetzt, ").arg(b.ersetzt);
        z += QStringLiteral("%1 behalten, %2 übersprungen").arg(b.behalten).arg(b.uebersprungen);
        zeilen << z;
    }
    if (zeilen.isEmpty()) zeilen << QStringLiteral("Keine Währung der Seite Fremdwährung hat einen Währungscode; nichts eingelesen.");
    return zeilen;
}

}  // namespace xov
