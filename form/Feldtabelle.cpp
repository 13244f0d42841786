#include "form/Feldtabelle.h"
#include "platform/Zusicherung.h"

#include <QHash>

namespace xov {

const QVector<SeitenDef>& seitentabellen() {
    static const QVector<SeitenDef> seiten = [] {
        QVector<SeitenDef> s = {seite1Anschrift(), seite2MandStamm2(), seite3MandStamm3(), seite4MandStamm4(),
                                seite5Anreden(),   seite6KontoZuord(), seite7IndexBez(),   seite8Fremdwaehrung()};
        for (SeitenDef& seite : s)
            for (FeldDef& f : seite.felder) f.seite = seite.nummer;
        return s;
    }();
    return seiten;
}

const SeitenDef& seitentabelle(int nummer) {
    const auto& s = seitentabellen();
    if (!XOV_ASSERT_MIT(nummer >= 1 && nummer <= s.size(), "Seitennummer")) return s.first();
    return s.at(nummer - 1);
}

const QVector<FeldDef>& feldtabelle() {
    static const QVector<FeldDef> alle = [] {
        QVector<FeldDef> t;
        for (const SeitenDef& s : seitentabellen()) t += s.felder;
        return t;
    }();
    return alle;
}

const FeldDef* felddef(const QString& name) {
    static const QHash<QString, const FeldDef*> index = [] {
        QHash<QString, const FeldDef*> h;
        for (const FeldDef& f : feldtabelle()) h.insert(f.name, &f);
        return h;
    }();
    const FeldDef* f = index.value(name);
    XOV_ASSERT_MIT(f, qPrintable(name));
    return f;
}

const FeldDef* felddefZurSpalte(const QString& spalte) {
    for (const FeldDef& f : feldtabelle())
        if (!f.spalte.isEmpty() && f.spalte.compare(spalte, Qt::CaseInsensitive) == 0) return &f;
    return nullptr;
}

const FeldDef* listeZumCodefeld(const QString& codeFeld) {
    for (const FeldDef& l : feldtabelle())
        if (l.art == Art::Liste && l.codeFeld == codeFeld) return &l;
    return nullptr;
}

QString beschriftung(const FeldDef& f) {
    QString t = f.label.trimmed();
    while (t.endsWith(QLatin1Char(':'))) t.chop(1);
    t = t.trimmed();
    bool nummer = false;
    t.toInt(&nummer);
    return nummer ? QString() : t;
}

bool istEingabe(Art art) {
    switch (art) {
    case Art::Text: case Art::Ganzzahl: case Art::Betrag: case Art::Kurs: case Art::Wechselkurs: case Art::Datum:
    case Art::Monat: case Art::Code:
        return true;
    default:
        return false;
    }
}

bool istZahl(Art art) {
    return art == Art::Ganzzahl || art == Art::Betrag || art == Art::Kurs || art == Art::Wechselkurs || art == Art::Code;
}

}  // namespace xov
