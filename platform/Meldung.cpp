#include "platform/Meldung.h"

#include <QApplication>
#include <QMessageBox>
#include <QPointer>

namespace xov {

QString anwendungsTitel() { return QStringLiteral("xopMandStamm"); }

int Meldung(const QString& text, int stil, const QString& titel) {
    QWidget* eltern = QApplication::activeModalWidget();
    if (!eltern) eltern = QApplication::activeWindow();
    QPointer<QWidget> zurueck(eltern);

    QString anzeige = text;
    anzeige.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QMessageBox box(eltern);
    box.setWindowTitle(titel.isEmpty() ? anwendungsTitel() : titel);
    box.setText(anzeige);
    box.setTextFormat(Qt::PlainText);
    switch (stil & 0x70) {
    case 16: box.setIcon(QMessageBox::Critical); break;
    case 32: box.setIcon(QMessageBox::Question); break;
    case 48: box.setIcon(QMessageBox::Warning); break;
    case 64: box.setIcon(QMessageBox::Information); break;
    default: break;
    }
    switch (stil & 0x7) {
    case 1: box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel); break;
    case 3: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel); break;
    case 4: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
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
