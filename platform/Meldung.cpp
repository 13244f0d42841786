#include "platform/Meldung.h"

#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QTextStream>
#include <QVector>

namespace xov {

QString anwendungsTitel() { return QStringLiteral("xopMandStamm"); }

namespace {
bool s_unbeaufsichtigt = false;
int s_fehler = 0;

// The platform's answer of the default button: the first, or the second or third where the style
// says so.
int standardAntwort(int stil, QString& knoepfe) {
    QVector<QPair<QString, int>> k;
    switch (stil & Stil::Knoepfe) {
    case Stil::OkAbbrechen: k = {{QStringLiteral("OK"), Antwort::Ok}, {QStringLiteral("Abbrechen"), Antwort::Abbrechen}}; break;
    case Stil::JaNeinAbbrechen: k = {{QStringLiteral("Ja"), Antwort::Ja}, {QStringLiteral("Nein"), Antwort::Nein}, {QStringLiteral("Abbrechen"), Antwort::Abbrechen}}; break;
    case Stil::JaNein: k = {{QStringLiteral("Ja"), Antwort::Ja}, {QStringLiteral("Nein"), Antwort::Nein}}; break;
    default: k = {{QStringLiteral("OK"), Antwort::Ok}}; break;
    }
    const int wahl = (stil & (Stil::ZweiterKnopfStandard | Stil::DritterKnopfStandard)) / Stil::ZweiterKnopfStandard;
    const int standard = qBound(0, wahl, int(k.size()) - 1);
    QStringList namen;
    for (int i = 0; i < k.size(); ++i) namen << (i == standard ? QLatin1Char('[') + k.at(i).first + QLatin1Char(']') : k.at(i).first);
    knoepfe = namen.join(QStringLiteral(" "));
    return k.at(standard).second;
}
}  // namespace

void setzeUnbeaufsichtigt(bool an) { s_unbeaufsichtigt = an; }
bool unbeaufsichtigt() { return s_unbeaufsichtigt; }
int gemeldeteFehler() { return s_fehler; }

void unbeaufsichtigtMelden(const QString& titel, const QString& text, const QString& knoepfe, bool fehler) {
    QString t = text;
    t.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QTextStream aus(stderr);
    aus << "Meldung [" << titel << "]: " << t.replace(QLatin1Char('\n'), QLatin1String("\n    ")) << "\n    Knöpfe: " << knoepfe << '\n';
    aus.flush();
    if (fehler) ++s_fehler;
}

int Meldung(const QString& text, int stil, const QString& titel) {
    if (s_unbeaufsichtigt) {
        QString knoepfe;
        const int antwort = standardAntwort(stil, knoepfe);
        const int symbol = stil & Stil::Symbol;
        unbeaufsichtigtMelden(titel.isEmpty() ? anwendungsTitel() : titel, text, knoepfe,
                              symbol != Stil::Frage && symbol != Stil::Information);
        return antwort;
    }
    QWidget* eltern = QApplication::activeModalWidget();
    if (!eltern) eltern = QApplication::activeWindow();
    QPointer<QWidget> zurueck(eltern);

    QString anzeige = text;
    anzeige.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QMessageBox box(eltern);
    box.setWindowTitle(titel.isEmpty() ? anwendungsTitel() : titel);
    box.setText(anzeige);
    box.setTextFormat(Qt::PlainText);
    switch (stil & Stil::Symbol) {
    case Stil::Kritisch: box.setIcon(QMessageBox::Critical); break;
    case Stil::Frage: box.setIcon(QMessageBox::Question); break;
    case Stil::Ausrufezeichen: box.setIcon(QMessageBox::Warning); break;
    case Stil::Information: box.setIcon(QMessageBox::Information); break;
    default: break;
    }
    switch (stil & Stil::Knoepfe) {
    case Stil::OkAbbrechen: box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel); break;
    case Stil::JaNeinAbbrechen: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel); break;
    case Stil::JaNein: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
    default: box.setStandardButtons(QMessageBox::Ok); break;
    }
    const int knopf = box.exec();
    if (zurueck) {
        zurueck->activateWindow();
        QApplication::setActiveWindow(zurueck);
    }
    switch (knopf) {
    case QMessageBox::Yes: return Antwort::Ja;
    case QMessageBox::No: return Antwort::Nein;
    case QMessageBox::Cancel: return Antwort::Abbrechen;
    default: return Antwort::Ok;
    }
}

}  // namespace xov
