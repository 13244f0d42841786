#include "platform/Aenderungsprotokoll.h"
#include "platform/Datenbank.h"
#include "platform/Fehler.h"
#include "platform/Variant.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDateTime>
#include <QFileInfo>
#include <QSysInfo>

#include <pwd.h>
#include <unistd.h>

namespace xov {

namespace {

const QStringList& inhaltSpalten() {
    static const QStringList s = {QStringLiteral("Nr"),         QStringLiteral("Zeitpunkt"),  QStringLiteral("Arbeitsplatz"),
                                  QStringLiteral("Benutzer"),   QStringLiteral("Datenbankrolle"), QStringLiteral("Programm"),
                                  QStringLiteral("Tabelle"),    QStringLiteral("Schluessel"), QStringLiteral("Spalte"),
                                  QStringLiteral("AlterTyp"),   QStringLiteral("AlterWert"),  QStringLiteral("NeuerTyp"),
                                  QStringLiteral("NeuerWert"),  QStringLiteral("Art"),        QStringLiteral("Bemerkung")};
    return s;
}

QVariant textOderNull(const QString& t) { return t.isEmpty() ? nullWert() : QVariant(t); }

// Who and where, the same for every entry of this process.
struct Herkunft {
    QString arbeitsplatz, benutzer, programm;
};

const Herkunft& herkunft() {
    static const Herkunft h = [] {
        Herkunft x;
        x.arbeitsplatz = QSysInfo::machineHostName();
        if (const passwd* pw = getpwuid(geteuid())) x.benutzer = QString::fromLocal8Bit(pw->pw_name);
        if (x.benutzer.isEmpty()) x.benutzer = qEnvironmentVariable("USER");
        const QString datei = QCoreApplication::instance() ? QFileInfo(QCoreApplication::applicationFilePath()).fileName() : QString();
        x.programm = (datei.isEmpty() ? QString() : datei + QLatin1Char(' ')) + QStringLiteral("(xovMandStamm " XOV_VERSION ")");
        return x;
    }();
    return h;
}

}  // namespace

const QStringList& protokollSpalten() {
    static const QStringList s = inhaltSpalten() + QStringList{QStringLiteral("Hash")};
    return s;
}

QByteArray kanonischeForm(const Protokolleintrag& e) {
    QByteArray b;
    b.reserve(256);
    const auto feld = [&b](const QVariant& v) {
        if (istNull(v) || istLeer(v)) {
            b += '-';
            return;
        }
        const QByteArray u = v.toString().toUtf8();
        b += QByteArray::number(u.size());
        b += ':';
        b += u;
    };
    feld(QString::number(e.nr));
    for (const QVariant* v : {&e.zeitpunkt, &e.arbeitsplatz, &e.benutzer, &e.rolle, &e.programm, &e.tabelle, &e.schluessel, &e.spalte,
                              &e.alterTyp, &e.alterWert, &e.neuerTyp, &e.neuerWert, &e.art, &e.bemerkung})
        feld(*v);
    return b;
}

QString kettenHash(const QString& vorigerHash, const Protokolleintrag& e) {
    QCryptographicHash h(QCryptographicHash::Sha256);
    h.addData(vorigerHash.toLatin1());
    h.addData(kanonischeForm(e));
    return QString::fromLatin1(h.result().toHex());
}

bool protokollVorhanden(Verbindung& v) { return v.tabellen().contains(ProtokollTabelle, Qt::CaseInsensitive); }

bool protokollTabelleAnlegen(Verbindung& v) {
    if (protokollVorhanden(v)) return false;
    Transaktion t(v);
    v.ausfuehren(QStringLiteral("CREATE TABLE AllgAenderungsprotokoll (Nr INTEGER NOT NULL PRIMARY KEY, Zeitpunkt TEXT NOT NULL, "
                                "Arbeitsplatz TEXT, Benutzer TEXT, Datenbankrolle TEXT, Programm TEXT, Tabelle TEXT NOT NULL, "
                                "Schluessel TEXT, Spalte TEXT, AlterTyp TEXT, AlterWert TEXT, NeuerTyp TEXT, NeuerWert TEXT, "
                                "Art TEXT NOT NULL, Bemerkung TEXT, Hash TEXT NOT NULL)"));
    if (!v.rolle().isEmpty()) {
        // On a server the log only grows: whoever writes through the application's role cannot
        // change or remove an entry; what an administrator does past this the chain shows.
        v.ausfuehren(QStringLiteral(
            "CREATE OR REPLACE FUNCTION allgaenderungsprotokoll_unveraenderlich() RETURNS trigger LANGUAGE plpgsql AS $$ "
            "BEGIN RAISE EXCEPTION 'Das Änderungsprotokoll kann nicht geändert oder gelöscht werden' USING ERRCODE = '42501'; END $$"));
        v.ausfuehren(QStringLiteral("CREATE TRIGGER allgaenderungsprotokoll_nur_anfuegen BEFORE UPDATE OR DELETE ON AllgAenderungsprotokoll "
                                    "FOR EACH ROW EXECUTE FUNCTION allgaenderungsprotokoll_unveraenderlich()"));
        v.ausfuehren(QStringLiteral("CREATE TRIGGER allgaenderungsprotokoll_nie_leeren BEFORE TRUNCATE ON AllgAenderungsprotokoll "
                                    "FOR EACH STATEMENT EXECUTE FUNCTION allgaenderungsprotokoll_unveraenderlich()"));
        v.ausfuehren(QStringLiteral("REVOKE UPDATE, DELETE, TRUNCATE ON AllgAenderungsprotokoll FROM PUBLIC"));
    }
    t.bestaetigen();
    return true;
}

Aenderungsprotokoll::Aenderungsprotokoll(Verbindung& v) : m_v(v), m_aktiv(protokollVorhanden(v)) {}

void Aenderungsprotokoll::eintragen(const QString& tabelle, const QString& schluessel, const QVariant& spalte, const QVariant& alt,
                                    const QVariant& neu, const QString& art, const QVariant& bemerkung) {
    if (!m_aktiv) return;
    if (!m_endeGelesen) {
        // The end of the chain, read inside the transaction that writes: the engines serialize
        // writers, and a second writer with the same number fails on the key.
        const auto ende = m_v.abfragen(QStringLiteral("SELECT Nr, Hash FROM AllgAenderungsprotokoll ORDER BY Nr DESC LIMIT 1"));
        m_nr = ende.zeilen.isEmpty() ? 0 : ende.zeilen.first().at(0).toLongLong();
        m_hash = ende.zeilen.isEmpty() ? ErsterVorgaenger : ende.zeilen.first().at(1).toString();
        m_endeGelesen = true;
    }
    const Herkunft& h = herkunft();
    Protokolleintrag e;
    e.nr = m_nr + 1;
    e.zeitpunkt = QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs);
    e.arbeitsplatz = textOderNull(h.arbeitsplatz);
    e.benutzer = textOderNull(h.benutzer);
    const QString rolle = m_v.rolle();
    e.rolle = rolle.isEmpty() ? nullWert() : QVariant(rolle);
    e.programm = h.programm;
    e.tabelle = tabelle;
    e.schluessel = textOderNull(schluessel);
    e.spalte = istLeer(spalte) ? nullWert() : spalte;
    const bool mitWerten = !istLeer(spalte) && !istNull(spalte);
    e.alterTyp = mitWerten ? QVariant(wertTyp(alt)) : nullWert();
    e.alterWert = mitWerten ? wertText(alt) : nullWert();
    e.neuerTyp = mitWerten ? QVariant(wertTyp(neu)) : nullWert();
    e.neuerWert = mitWerten ? wertText(neu) : nullWert();
    e.art = art;
    e.bemerkung = istLeer(bemerkung) || bemerkung.toString().isEmpty() ? nullWert() : bemerkung;
    e.hash = kettenHash(m_hash, e);
    static const QString einfuegen = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                         .arg(bezeichner(ProtokollTabelle), spaltenliste(protokollSpalten()),
                                              QStringList(protokollSpalten().size(), QStringLiteral("?")).join(u','));
    m_v.ausfuehren(einfuegen,
                   {e.nr, e.zeitpunkt, e.arbeitsplatz, e.benutzer, e.rolle, e.programm, e.tabelle, e.schluessel, e.spalte, e.alterTyp,
                    e.alterWert, e.neuerTyp, e.neuerWert, e.art, e.bemerkung, e.hash});
    m_nr = e.nr;
    m_hash = e.hash;
}

int Aenderungsprotokoll::zeileEintragen(const QString& tabelle, const QString& schluessel, const QStringList& spalten,
                                        const QVector<QVariant>& alt, const QVector<QVariant>& neu, const QString& art) {
    int n = 0;
    for (int i = 0; i < spalten.size() && i < alt.size() && i < neu.size(); ++i) {
        if (gleichGespeichert(alt.at(i), neu.at(i))) continue;
        eintragen(tabelle, schluessel, spalten.at(i), alt.at(i), neu.at(i), art);
        ++n;
    }
    return n;
}

QVector<Protokolleintrag> protokollLesen(Verbindung& v, const QString& tabelle, const QString& spalte) {
    QString sql = QStringLiteral("SELECT %1 FROM AllgAenderungsprotokoll").arg(spaltenliste(protokollSpalten()));
    QVariantList p;
    if (!tabelle.isEmpty()) {
        sql += QStringLiteral(" WHERE lower(Tabelle) = ?");
        p << tabelle.toLower();
        if (!spalte.isEmpty()) {
            sql += QStringLiteral(" AND lower(Spalte) = ?");
            p << spalte.toLower();
        }
    }
    sql += QStringLiteral(" ORDER BY Nr");
    const auto erg = v.abfragen(sql, p);
    QVector<Protokolleintrag> liste;
    liste.reserve(erg.zeilen.size());
    for (const auto& z : erg.zeilen) {
        Protokolleintrag e;
        e.nr = z.at(0).toLongLong();
        e.zeitpunkt = z.at(1); e.arbeitsplatz = z.at(2); e.benutzer = z.at(3); e.rolle = z.at(4); e.programm = z.at(5);
        e.tabelle = z.at(6); e.schluessel = z.at(7); e.spalte = z.at(8); e.alterTyp = z.at(9); e.alterWert = z.at(10);
        e.neuerTyp = z.at(11); e.neuerWert = z.at(12); e.art = z.at(13); e.bemerkung = z.at(14);
        e.hash = klartext(z.at(15));
        // A value an administrator wrote in another type is read as its text, as the hash saw it.
        for (QVariant* w : {&e.zeitpunkt, &e.arbeitsplatz, &e.benutzer, &e.rolle, &e.programm, &e.tabelle, &e.schluessel, &e.spalte,
                            &e.alterTyp, &e.alterWert, &e.neuerTyp, &e.neuerWert, &e.art, &e.bemerkung})
            if (!istNull(*w) && w->typeId() != QMetaType::QString) *w = klartext(wertText(*w));
        liste << e;
    }
    return liste;
}

std::optional<Kettenbruch> ketteFinden(const QVector<Protokolleintrag>& eintraege) {
    QString vorher = ErsterVorgaenger;
    qint64 erwartet = 1;
    for (const Protokolleintrag& e : eintraege) {
        if (e.nr > erwartet)
            return Kettenbruch{erwartet, e.nr == erwartet + 1 ? QStringLiteral("Eintrag Nr. %1 fehlt (gelöscht)").arg(erwartet)
                                                              : QStringLiteral("die Einträge Nr. %1 bis %2 fehlen (gelöscht)").arg(erwartet).arg(e.nr - 1)};
        if (e.nr < erwartet)
            return Kettenbruch{e.nr, QStringLiteral("Eintrag Nr. %1 steht doppelt oder außer der Reihe").arg(e.nr)};
        if (kettenHash(vorher, e) != e.hash)
            return Kettenbruch{e.nr, QStringLiteral("Eintrag Nr. %1 passt nicht zu seiner Prüfsumme oder zu seinem Vorgänger "
                                                    "(nachträglich geändert, eingefügt oder umgestellt)").arg(e.nr)};
        vorher = e.hash;
        ++erwartet;
    }
    return std::nullopt;
}

}  // namespace xov
