// The factory that chooses the engine, the shared connections of a caller, and the row writes
// that every engine runs the same way.

#include "platform/Datenbank.h"
#include "platform/Fehler.h"
#include "platform/Variant.h"
#include "platform/Zusicherung.h"
#include "platform/postgres/Postgres.h"
#include "platform/sqlcipher/SqlCipher.h"

#include <QFile>

namespace xov {

std::shared_ptr<Verbindung> verbindungOeffnen(const Verbindungsangabe& angabe) {
    return angabe.server() ? postgres::oeffnen(angabe, false) : sqlcipher::oeffnen(angabe, false);
}

std::shared_ptr<Verbindung> datenbankAnlegen(const Verbindungsangabe& angabe) {
    return angabe.server() ? postgres::oeffnen(angabe, true) : sqlcipher::oeffnen(angabe, true);
}

void datenbankEntfernen(const Verbindungsangabe& angabe) {
    if (angabe.server()) {
        postgres::entfernen(angabe);
    } else if (sqlcipher::anlageVerwerfen(angabe.datei)) {
        return;
    } else if (QFile::exists(angabe.datei) && !QFile::remove(angabe.datei)) {
        fehlerWerfen(FehlerNr::NurLesen, angabe.datei);
    }
}

std::shared_ptr<Verbindung> Verbindungen::oeffnen(const Verbindungsangabe& angabe) {
    const QString k = angabe.kennung();
    if (auto v = m_offen.value(k).lock()) return v;
    auto v = oeffner ? oeffner(angabe) : verbindungOeffnen(angabe);
    m_offen.insert(k, v);
    return v;
}

Verbindungen& Verbindungen::von(QObject* obj) {
    QObject* wurzel = obj;
    while (wurzel->parent()) wurzel = wurzel->parent();
    if (auto* v = wurzel->findChild<Verbindungen*>(QString(), Qt::FindDirectChildrenOnly)) return *v;
    return *new Verbindungen(wurzel);
}

QString bezeichner(const QString& name) {
    QString n = name;
    return QLatin1Char('"') + n.replace(QLatin1Char('"'), QLatin1String("\"\"")) + QLatin1Char('"');
}

QString einfuegenSql(const QString& tabelle, const Spaltenwerte& werte, QVariantList& parameter) {
    QStringList namen, platz;
    for (const auto& [name, w] : werte) { namen << bezeichner(name); platz << QStringLiteral("?"); parameter << w; }
    const QString t = bezeichner(tabelle);
    return namen.isEmpty() ? QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(t)
                           : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)").arg(t, namen.join(u','), platz.join(u','));
}

QString spaltenliste(const QStringList& spalten) {
    QStringList namen;
    for (const QString& s : spalten) namen << bezeichner(s);
    return namen.join(u',');
}

QStringList namenAus(const Abfrageergebnis& erg, int spalte, const QString& tabelle) {
    QStringList namen;
    for (const auto& z : erg.zeilen) namen << z.at(spalte).toString();
    if (namen.isEmpty() && !tabelle.isEmpty()) fehlerWerfen(FehlerNr::TabelleFehlt, tabelle);
    return namen;
}

Bindeart bindeart(const QVariant& v) {
    if (istNull(v) || istLeer(v)) return Bindeart::Null;
    switch (v.typeId()) {
    case QMetaType::Bool: return Bindeart::Wahrheitswert;
    case QMetaType::Int: case QMetaType::Short: case QMetaType::LongLong: case QMetaType::UInt:
    case QMetaType::Long: case QMetaType::UShort:
        return Bindeart::Ganzzahl;
    case QMetaType::Double: case QMetaType::Float: return Bindeart::Kommazahl;
    case QMetaType::QByteArray: return Bindeart::Bytes;
    case QMetaType::QDate: case QMetaType::QDateTime: return Bindeart::Datum;
    default: return Bindeart::Text;
    }
}

namespace {

// "a = ? AND b IS NULL ...": the row as it was read, by its key columns or by all columns.
QString bedingung(const Schreibziel& ziel, const QStringList& spalten, const QVector<QVariant>& gelesen,
                  QVariantList& parameter) {
    QStringList teile;
    auto vergleich = [&](int i) {
        if (istNull(gelesen.at(i))) {
            teile << bezeichner(spalten.at(i)) + QStringLiteral(" IS NULL");
        } else {
            teile << bezeichner(spalten.at(i)) + QStringLiteral(" = ?");
            parameter << gelesen.at(i);
        }
    };
    if (ziel.schluessel.isEmpty()) {
        for (int i = 0; i < spalten.size(); ++i) vergleich(i);
    }
    for (const QString& s : ziel.schluessel) {
        int i = int(spalten.size()) - 1;
        while (i >= 0 && spalten.at(i).compare(s, Qt::CaseInsensitive) != 0) --i;
        if (!XOV_ASSERT(i >= 0)) fehlerWerfen(FehlerNr::NurLesen, s);  // the result lacks its key
        vergleich(i);
    }
    return teile.join(QStringLiteral(" AND "));
}

void genauEineZeile(qint64 geaendert, const QString& tabelle) {
    if (geaendert != 1) fehlerWerfen(FehlerNr::DatensatzGeaendert, tabelle);
}

}  // namespace

void zeileAendern(Verbindung& v, const Schreibziel& ziel, const QStringList& spalten, const QVector<QVariant>& gelesen,
                  const Spaltenwerte& werte) {
    if (werte.isEmpty()) return;
    QStringList zuweisung;
    QVariantList parameter;
    for (const auto& [name, w] : werte) {
        zuweisung << bezeichner(name) + QStringLiteral(" = ?");
        parameter << w;
    }
    const QString wo = bedingung(ziel, spalten, gelesen, parameter);
    Transaktion t(v);
    genauEineZeile(v.ausfuehren(QStringLiteral("UPDATE %1 SET %2 WHERE %3")
                                    .arg(bezeichner(ziel.tabelle), zuweisung.join(QStringLiteral(", ")), wo),
                                parameter),
                   ziel.tabelle);
    t.bestaetigen();
}

void zeileLoeschen(Verbindung& v, const Schreibziel& ziel, const QStringList& spalten, const QVector<QVariant>& gelesen) {
    QVariantList parameter;
    const QString wo = bedingung(ziel, spalten, gelesen, parameter);
    Transaktion t(v);
    genauEineZeile(v.ausfuehren(QStringLiteral("DELETE FROM %1 WHERE %2").arg(bezeichner(ziel.tabelle), wo), parameter),
                   ziel.tabelle);
    t.bestaetigen();
}

}  // namespace xov

namespace xov {

void anlagenAlsGanzes(bool ein) {
    sqlcipher::anlagenAlsGanzes(ein);
    postgres::anlagenAlsGanzes(ein);
}

void anlageAbschliessen(const Verbindungsangabe& angabe) {
    if (angabe.server()) postgres::anlageAbschliessen(angabe);
    else sqlcipher::anlageAbschliessen(angabe.datei);
}

void anlagenAbschliessen(const QVector<Verbindungsangabe>& angaben) {
    QVector<Verbindungsangabe> server;
    for (const auto& a : angaben)
        if (a.server()) server << a;
    postgres::anlagenAbschliessen(server);
    for (const auto& a : angaben)
        if (!a.server()) sqlcipher::anlageAbschliessen(a.datei);
}

bool anlageUnvollstaendig(const Verbindungsangabe& angabe) { return angabe.server() && postgres::anlageUnvollstaendig(angabe); }

}  // namespace xov
