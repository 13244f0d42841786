// The second process of the tests: the same test program started with "--xov-helfer". It reads
// one command per line, fields separated by tabs, and answers one line: "ok", "ok<TAB>value" or
// "fehler<TAB>number<TAB>text". Message boxes are answered and their texts returned.
//   oeffnen PFAD PW        opens and holds a connection until "schliessen"
//   sql PFAD PW SQL        runs a statement on the (held or new) connection
//   passwort PFAD          the dialog's password step; answers "ok<TAB>box texts joined by |"
//   lesen PFAD             as the dialog opens the client database: password step, then MandName
//   schliessen             drops the held connections

#include "Hilfen.h"
#include "platform/Datenbank.h"
#include "platform/Fehler.h"
#include "services/DbVerbindung.h"

#include <iostream>

namespace test {

Zweitprozess::Zweitprozess(const QStringList& vorspann) {
    const QStringList befehl = vorspann + QStringList{QCoreApplication::applicationFilePath(), QStringLiteral("--xov-helfer")};
    m_prozess.start(befehl.first(), befehl.mid(1));
    m_bereit = m_prozess.waitForStarted(10000) && antwort(60000) == QLatin1String("bereit");
}

Zweitprozess::~Zweitprozess() {
    m_prozess.closeWriteChannel();
    if (!m_prozess.waitForFinished(10000)) m_prozess.kill();
}

void Zweitprozess::toeten() {
    m_prozess.kill();
    m_prozess.waitForFinished(10000);
}

void Zweitprozess::senden(const QStringList& befehl) {
    m_prozess.write(befehl.join(u'\t').toUtf8() + '\n');
    m_prozess.waitForBytesWritten(5000);
}

QString Zweitprozess::antwort(int ms) {
    const QDeadlineTimer frist(ms);
    while (!m_puffer.contains('\n')) {
        if (frist.hasExpired() || m_prozess.state() == QProcess::NotRunning) return QStringLiteral("kein Ende");
        m_prozess.waitForReadyRead(100);
        m_puffer += m_prozess.readAllStandardOutput();
    }
    const QByteArray zeile = m_puffer.left(m_puffer.indexOf('\n'));
    m_puffer.remove(0, zeile.size() + 1);
    return QString::fromUtf8(zeile);
}

bool nobodyErreichtDasTestprogramm() {
    return starten(QStringLiteral("runuser"), {"-u", "nobody", "--", "test", "-x", QCoreApplication::applicationFilePath()}, 10000).status == 0;
}

int helferAusfuehren() {
    std::map<QString, std::shared_ptr<xov::Verbindung>> gehalten;
    auto verbindung = [&](const QString& pfad, const QString& pw) {
        auto& v = gehalten[pfad + QChar(0) + pw];
        if (!v) v = xov::verbindungOeffnen(pfad, pw);
        return v;
    };
    auto schreiben = [](const QString& zeile) { std::cout << zeile.toStdString() << std::endl; };
    schreiben(QStringLiteral("bereit"));
    std::string eingabe;
    while (std::getline(std::cin, eingabe)) {
        const QStringList t = QString::fromStdString(eingabe).split(u'\t');
        const QString befehl = t.value(0);
        try {
            if (befehl == QLatin1String("oeffnen") || befehl == QLatin1String("sql")) {
                auto v = verbindung(t.value(1), t.value(2));
                if (befehl == QLatin1String("sql")) v->ausfuehren(t.value(3));
                schreiben(QStringLiteral("ok"));
            } else if (befehl == QLatin1String("passwort") || befehl == QLatin1String("lesen")) {
                Meldungen meldungen;
                QString wert;
                xov::Set_DBPassword(t.value(1));
                if (befehl == QLatin1String("lesen")) {
                    try {
                        wert = xov::verbindungOeffnen(t.value(1), xov::DbPasswort)
                                   ->abfragen(QStringLiteral("SELECT MandName FROM AllgMandDaten")).zeilen.value(0).value(0).toString();
                    } catch (const xov::Fehler& f) {
                        meldungen.texte << QStringLiteral("%1 %2").arg(f.nummer()).arg(f.beschreibung());
                    }
                }
                schreiben(QStringLiteral("ok\t") + meldungen.texte.join(u'|').replace(u'\n', u' ') + u'\t' + wert);
            } else if (befehl == QLatin1String("schliessen")) {
                gehalten.clear();
                schreiben(QStringLiteral("ok"));
            } else {
                schreiben(QStringLiteral("fehler\t0\tunbekannter Befehl"));
            }
        } catch (const xov::Fehler& f) {
            schreiben(QStringLiteral("fehler\t%1\t%2").arg(f.nummer()).arg(QString(f.beschreibung()).replace(u'\n', u' ')));
        }
    }
    return 0;
}

}  // namespace test
