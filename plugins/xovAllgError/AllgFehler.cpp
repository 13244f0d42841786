// xovAllgError: the suite's common error window. Shows number, description, program, location
// and help reference, copies all of it to the clipboard on request, and returns when closed.

#include "platform/Schnittstellen.h"

#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

class AllgFehler : public QObject, public xov::AllgFehlerSchnittstelle {
    Q_OBJECT
    Q_INTERFACES(xov::AllgFehlerSchnittstelle)
public:
    void setFehlerNr(qint32 n) override { m_nummer = n; }
    void setBeschreibung(const QString& t) override { m_beschreibung = t; }
    void setHilfeDatei(const QString& t) override { m_hilfeDatei = t; }
    void setHilfeKontext(const QString& t) override { m_hilfeKontext = t; }
    void setAufrufProgramm(const QString& t) override { m_programm = t; }
    void setKomponentenName(const QString& t) override { m_ort = t; }
    void setModus(qint32 w) override { m_modus = w; }
    void setZusatz1(const QVariant& w) override { m_zusatz1 = w; }
    void setZusatz2(const QVariant& w) override { m_zusatz2 = w; }
    qint16 Antwort() const override { return m_antwort; }

    void FehlerAnzeigen() override {
        QDialog fenster(QApplication::activeModalWidget() ? QApplication::activeModalWidget() : QApplication::activeWindow());
        fenster.setObjectName(QStringLiteral("xovAllgError"));
        fenster.setWindowTitle(QStringLiteral("Programmfehler"));
        auto* layout = new QVBoxLayout(&fenster);
        auto* kopf = new QLabel(QStringLiteral("Bei der Verarbeitung ist ein unerwarteter Fehler aufgetreten."), &fenster);
        kopf->setWordWrap(true);
        layout->addWidget(kopf);
        auto* form = new QFormLayout;
        auto zeile = [&](const QString& label, const QString& wert, const char* name) {
            auto* l = new QLabel(wert.isEmpty() ? QStringLiteral("–") : wert, &fenster);
            l->setObjectName(QLatin1String(name));
            l->setWordWrap(true);
            l->setTextInteractionFlags(Qt::TextSelectableByMouse);
            form->addRow(label, l);
        };
        zeile(QStringLiteral("Fehlernummer:"), QString::number(m_nummer), "lblNummer");
        zeile(QStringLiteral("Beschreibung:"), m_beschreibung, "lblBeschreibung");
        zeile(QStringLiteral("Programm:"), m_programm, "lblProgramm");
        zeile(QStringLiteral("Stelle:"), m_ort, "lblStelle");
        zeile(QStringLiteral("Hilfe:"), hilfeVerweis(), "lblHilfe");
        layout->addLayout(form);
        auto* knoepfe = new QDialogButtonBox(&fenster);
        auto* kopieren = knoepfe->addButton(QStringLiteral("In die Zwischenablage kopieren"), QDialogButtonBox::ActionRole);
        kopieren->setObjectName(QStringLiteral("cmdKopieren"));
        auto* ok = knoepfe->addButton(QStringLiteral("Schließen"), QDialogButtonBox::AcceptRole);
        ok->setObjectName(QStringLiteral("cmdSchliessen"));
        ok->setDefault(true);
        connect(kopieren, &QPushButton::clicked, &fenster, [this] { QApplication::clipboard()->setText(alsText()); });
        connect(knoepfe, &QDialogButtonBox::accepted, &fenster, &QDialog::accept);
        layout->addWidget(knoepfe);
        fenster.setMinimumWidth(460);
        m_antwort = fenster.exec() == QDialog::Accepted ? 1 : 2;
    }

private:
    QString hilfeVerweis() const {
        if (m_hilfeDatei.isEmpty()) return {};
        return m_hilfeKontext.isEmpty() || m_hilfeKontext == QLatin1String("0") ? m_hilfeDatei
                                                                                 : m_hilfeDatei + QLatin1Char('#') + m_hilfeKontext;
    }
    QString alsText() const {
        return QStringLiteral("Fehlernummer: %1\nBeschreibung: %2\nProgramm: %3\nStelle: %4\nHilfe: %5\n")
            .arg(m_nummer).arg(m_beschreibung, m_programm, m_ort, hilfeVerweis());
    }

    qint32 m_nummer = 0;
    QString m_beschreibung, m_hilfeDatei, m_hilfeKontext, m_programm, m_ort;
    qint32 m_modus = 0;
    QVariant m_zusatz1, m_zusatz2;
    qint16 m_antwort = 0;
};

class AllgFehlerFabrik : public QObject, public xov::KomponentenFabrik {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID XovKomponentenFabrik_iid FILE "xovAllgError.json")
    Q_INTERFACES(xov::KomponentenFabrik)
public:
    QObject* erzeugen(const QString&) override { return new AllgFehler; }
};

}  // namespace

#include "AllgFehler.moc"
