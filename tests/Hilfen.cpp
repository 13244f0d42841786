#include "Hilfen.h"

#include "component/Aufrufinformation.h"
#include "form/TabStrip.h"
#include "platform/Datenbank.h"
#include "platform/Variant.h"
#include "tools/xov-db/Schema.h"

namespace test {

QString Serverdatenbanken::neu(const char* art) {
    static int laufend = 0;
    adressen << testServer() + QStringLiteral("xovt_%1_%2_%3").arg(QCoreApplication::applicationPid()).arg(++laufend)
                                   .arg(QLatin1String(art));
    return adressen.last();
}

Serverdatenbanken::~Serverdatenbanken() {
    for (const QString& a : adressen) {
        try { xov::datenbankEntfernen({a, xov::DbPasswort}); } catch (const xov::Fehler& f) {
            ADD_FAILURE() << "Testdatenbank bleibt: " << f.what();
        }
    }
}

Datenbanken::Datenbanken(int jahr, const QStringList& ohneSpalten, bool fuellen, const QString& passwort)
    : Datenbanken(serverLauf() && passwort == xov::DbPasswort ? Engine::Server : Engine::Datei, jahr, ohneSpalten, fuellen, passwort) {}

Datenbanken::Datenbanken(test::Engine e, int jahr, const QStringList& ohneSpalten, bool fuellen, const QString& passwort) : engine(e) {
    const auto anlegen = [&](const QString& m, const QString& f) {
        xovdb::anlegen(m, f, passwort, ohneSpalten);
        if (fuellen && ohneSpalten.isEmpty()) xovdb::demoFuellen(m, f, passwort, jahr);
    };
    mand = e == Engine::Server ? server.neu("mand") : ordner.filePath(QStringLiteral("mandant.db"));
    fa = e == Engine::Server ? server.neu("fa") : ordner.filePath(QStringLiteral("gemeinsam.db"));
    if (e == Engine::Server) {
        anlegen(mand, fa);
        return;
    }
    // Creating a keyed file derives its key several times, on purpose slowly: each kind of database
    // files is created once in this process and copied byte for byte for every test that asks for it.
    static QTemporaryDir vorlagen;
    static QHash<QString, QString> jeArt;  // the kind -> its folder in `vorlagen`
    QString& vorlage = jeArt[QStringLiteral("%1|%2|%3|%4").arg(jahr).arg(ohneSpalten.join(u','), QString::number(fuellen), passwort)];
    if (vorlage.isEmpty()) {
        const QString neu = vorlagen.filePath(QString::number(jeArt.size()));
        QDir().mkpath(neu);
        anlegen(neu + QStringLiteral("/m.db"), neu + QStringLiteral("/f.db"));
        vorlage = neu;
    }
    if (!QFile::copy(vorlage + QStringLiteral("/m.db"), mand) || !QFile::copy(vorlage + QStringLiteral("/f.db"), fa))
        ADD_FAILURE() << "Testdatenbanken nicht kopiert nach " << mand.toStdString();
}

QString Datenbanken::fehlend() const {
    return engine == Engine::Server ? testServer() + QStringLiteral("xovt_gibt_es_nicht") : ordner.filePath(QStringLiteral("fehlt.db"));
}

void Datenbanken::mandSql(const QString& sql, const QVariantList& p) const { xov::verbindungOeffnen(mand, xov::DbPasswort)->ausfuehren(sql, p); }
void Datenbanken::faSql(const QString& sql, const QVariantList& p) const { xov::verbindungOeffnen(fa, xov::DbPasswort)->ausfuehren(sql, p); }
QVariant Datenbanken::mandWert(const QString& sql) const { return xov::verbindungOeffnen(mand, xov::DbPasswort)->abfragen(sql).zeilen.value(0).value(0); }
QVariant Datenbanken::faWert(const QString& sql) const { return xov::verbindungOeffnen(fa, xov::DbPasswort)->abfragen(sql).zeilen.value(0).value(0); }

Sperre::Sperre(const QString& pfad, const QString& passwort) {
    m_prozess.start(QStringLiteral("sqlcipher"), {pfad});
    if (!m_prozess.waitForStarted(5000)) return;
    m_prozess.write((passwort.isEmpty() ? QByteArray() : "PRAGMA key='" + passwort.toUtf8() + "';\n") +
                    "PRAGMA locking_mode=EXCLUSIVE;\nBEGIN EXCLUSIVE;\nCOMMIT;\n.print gesperrt\n");
    QByteArray ausgabe;
    while (!ausgabe.contains("gesperrt") && m_prozess.waitForReadyRead(5000)) ausgabe += m_prozess.readAllStandardOutput();
    m_aktiv = ausgabe.contains("gesperrt");
}

Sperre::~Sperre() {
    m_prozess.closeWriteChannel();
    if (!m_prozess.waitForFinished(5000)) m_prozess.kill();
}

Meldungen::Meldungen(Antwort antwort) : m_antwort(std::move(antwort)) {
    connect(&m_timer, &QTimer::timeout, this, &Meldungen::pruefen);
    m_timer.start(10);
}

void Meldungen::pruefen() {
    QWidget* modal = QApplication::activeModalWidget();
    auto* box = qobject_cast<QMessageBox*>(modal);
    if (!box && (!modal || modal->objectName() != QLatin1String("xovAllgError"))) return;
    titel << modal->windowTitle();
    if (box) {
        texte << box->text();
        const auto knopf = m_antwort ? m_antwort(box->text()) : QMessageBox::NoButton;
        QAbstractButton* b = knopf != QMessageBox::NoButton ? box->button(knopf) : nullptr;
        return QTest::mouseClick(b ? b : box->buttons().first(), Qt::LeftButton);
    }
    auto text = [&](const char* n) { auto* l = modal->findChild<QLabel*>(QLatin1String(n)); return l ? l->text() : QString(); };
    QString t = QStringLiteral("xovAllgError %1: %2 @ %3").arg(text("lblNummer"), text("lblBeschreibung"), text("lblStelle"));
    if (text("lblProgramm") != QStringLiteral("–")) t += QStringLiteral(" [%1]").arg(text("lblProgramm"));
    if (text("lblHilfe") != QStringLiteral("–")) t += QStringLiteral(" ? %1").arg(text("lblHilfe"));
    texte << t;
    QTest::mouseClick(modal->findChild<QPushButton*>(QStringLiteral("cmdSchliessen")), Qt::LeftButton);
}

Dialog::Dialog(const QVariantList& info, int tabStripNr, QScreen* bildschirm) {
    aufruf = xov::aufrufUebernehmen(info);
    aufruf.TabStripNr = tabStripNr;
    form = std::make_unique<frmMandStamm>(aufruf);
    if (bildschirm) form->setScreen(bildschirm);
    form->Form_Load();
    form->show();
    aktivieren(form.get());
}

namespace {
QString quoteText(const QVariant& w) {
    if (xov::istNull(w)) return QStringLiteral("NULL");
    switch (w.typeId()) {
    case QMetaType::LongLong: case QMetaType::Int: return w.toString();
    // 15 digits as SQLite shows them, a whole number with ".0" (170.0, 1.0e+20)
    case QMetaType::Double: return QString::number(w.toDouble(), 'g', 15).replace(QRegularExpression("^(-?\\d+)(e|$)"), "\\1.0\\2");
    case QMetaType::QDate: return QLatin1Char('\'') + w.toDate().toString(Qt::ISODate) + QLatin1Char('\'');
    case QMetaType::QByteArray: return QStringLiteral("X'") + QString::fromLatin1(w.toByteArray().toHex().toUpper()) + QLatin1Char('\'');
    default: return QLatin1Char('\'') + w.toString().replace(QLatin1Char('\''), QLatin1String("''")) + QLatin1Char('\'');
    }
}
}  // namespace

QString gespeichert(const QString& datenbank, const QString& sql, const QVariantList& p) {
    const auto e = xov::verbindungOeffnen(datenbank, xov::DbPasswort)->abfragen(sql, p);
    QStringList zeilen;
    for (const auto& z : e.zeilen) {
        QStringList werte;
        for (const QVariant& w : z) werte << quoteText(w);
        zeilen << werte.join(QLatin1Char('|'));
    }
    return zeilen.join(QStringLiteral(" ; "));
}

QStringList zeile(const test::Datenbanken& db) {
    const auto e = xov::verbindungOeffnen(db.mand, xov::DbPasswort)->abfragen(QStringLiteral("SELECT * FROM AllgMandDaten"));
    QStringList werte;
    if (e.zeilen.isEmpty()) return werte;
    for (const auto& s : xovdb::mandantenSpalten())
        for (int i = 0; i < e.spalten.size(); ++i)
            if (s.name.compare(e.spalten.at(i), Qt::CaseInsensitive) == 0)
                werte << s.name + QLatin1Char('=') + quoteText(e.zeilen.first().at(i));
    return werte;
}

Lauf starten(const QString& programm, const QStringList& argumente, int ms, const QProcessEnvironment& umgebung) {
    const QString imBau = QCoreApplication::applicationDirPath() + QLatin1Char('/') + programm;
    QProcess p;
    p.setProcessEnvironment(umgebung);
    p.start(QFile::exists(imBau) ? imBau : programm, argumente);
    const bool fertig = p.waitForFinished(ms);
    if (!fertig) p.kill();
    p.waitForFinished();
    return {fertig && p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

void tabKlicken(Dialog& d, int seite) {
    QTest::mouseClick(d->TabStrip1, Qt::LeftButton, {}, d->TabStrip1->tabRect(d->TabStrip1->indexVon(seite)).center());
    QApplication::processEvents();
}

void tippen(QWidget* f, const char* text) {
    QTest::mouseClick(f, Qt::LeftButton);
    if (!fokusAuf(f)) ADD_FAILURE() << "kein Fokus in " << f->objectName().toStdString();
    if (auto* e = qobject_cast<QLineEdit*>(f)) e->selectAll();
    if (*text) QTest::keyClicks(f, text);
    else QTest::keyClick(f, Qt::Key_Delete);
}

QVariantList info(const Datenbanken& db, Optionen o) {
    QVariantList i(100);
    i[0] = db.mand;
    i[1] = db.fa;
    i[2] = o.ohneIndex ? 1 : 0;
    i[4] = QStringLiteral("Access 2000;");
    i[5] = QDate(2024, 3, 1);
    i[9] = o.eingeschraenkt ? 20 : 0;
    i[11] = 2024;
    i[60] = QVariantList(201, 0);
    i[61] = o.waehrung ? 1 : 0;
    return i;
}

bool verschluesselt(const QString& pfad) {
    QFile f(pfad);
    return f.open(QIODevice::ReadOnly) && !f.read(16).startsWith("SQLite format 3");
}

}  // namespace test
