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

namespace {

// One balance per currency of the page with a code; the first row of a code wins.
QVector<Einlesebilanz> bilanzAnlegen(const QVector<Einlesewaehrung>& waehrungen, QHash<QString, int>& nachCode) {
    QVector<Einlesebilanz> bilanz;
    for (const auto& w : waehrungen) {
        const QString code = w.code.trimmed().toUpper();
        if (code.isEmpty() || nachCode.contains(code)) continue;
        nachCode.insert(code, int(bilanz.size()));
        bilanz.append(Einlesebilanz{w, 0, 0, 0, 0});
    }
    return bilanz;
}

using Tage = QHash<QDate, QPair<QVariant, QVariant>>;

// The stored days of the currency with their rates: a day to replace that holds the file's rates
// already is kept, not counted as replaced.
Tage gespeicherteTage(Verbindung& v, int wid) {
    Tage tage;
    for (const auto& z : v.abfragen(QStringLiteral("SELECT AenderDatum, EuroinFremd, FremdinEuro FROM AllgWaehrung WHERE WID = ?"), {wid}).zeilen)
        tage.insert(z.at(0).typeId() == QMetaType::QDate ? z.at(0).toDate() : QDate::fromString(z.at(0).toString(), Qt::ISODate), {z.at(1), z.at(2)});
    return tage;
}

// One rate of the file for one currency: added, replaced (with its entry in the log) or kept.
void kursNehmen(Verbindung& v, Aenderungsprotokoll& protokoll, Einlesebilanz& b, Tage& vorhanden, const QDate& tag, double kurs,
                bool ersetzen) {
    const QString iso = tag.toString(Qt::ISODate);
    if (const auto alt = vorhanden.constFind(tag); alt != vorhanden.constEnd()) {
        const auto gleich = [](const QVariant& w, double z) { return w.typeId() == QMetaType::Double && w.toDouble() == z; };
        if (!ersetzen || (gleich(alt->first, kurs) && gleich(alt->second, kehrwert(kurs)))) {
            ++b.behalten;
            return;
        }
        v.ausfuehren(QStringLiteral("UPDATE AllgWaehrung SET EuroinFremd = ?, FremdinEuro = ? WHERE WID = ? AND AenderDatum = ?"),
                     {kurs, kehrwert(kurs), b.waehrung.wid, iso});
        ersetztProtokollieren(protokoll, b.waehrung.wid, tag, *alt, kurs, kehrwert(kurs));
        ++b.ersetzt;
        return;
    }
    const auto& w = b.waehrung;
    v.ausfuehren(QStringLiteral("INSERT INTO AllgWaehrung (WID, Waehrungscode, WaehrungscodeBezeichnung, Laenderkennzeichen, "
                                "AenderDatum, EuroinFremd, FremdinEuro) VALUES (?,?,?,?,?,?,?)"),
                 {w.wid, w.code.trimmed().toUpper(), w.name, w.land, iso, kurs, kehrwert(kurs)});
    vorhanden.insert(tag, {kurs, kehrwert(kurs)});
    ++b.hinzugefuegt;
}

}  // namespace

QVector<Einlesebilanz> kurseEinlesen(Verbindung& v, const QVector<Tageskurse>& tage, const QVector<Einlesewaehrung>& waehrungen,
                                     const Einleseoptionen& optionen) {
    QHash<QString, int> nachCode;  // code -> index in bilanz
    QVector<Einlesebilanz> bilanz = bilanzAnlegen(waehrungen, nachCode);
    if (bilanz.isEmpty()) return bilanz;
    Transaktion t(v);
    Aenderungsprotokoll protokoll(v);
    QVector<Tage> vorhanden;
    for (const auto& b : std::as_const(bilanz)) vorhanden.append(gespeicherteTage(v, b.waehrung.wid));
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
        for (const auto& [code, kurs] : tag.kurse) {
            const auto it = nachCode.constFind(code);
            if (it == nachCode.constEnd() || gesehen[*it]) continue;
            gesehen[*it] = true;
            kursNehmen(v, protokoll, bilanz[*it], vorhanden[*it], tag.datum, kurs, optionen.ersetzen);
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
