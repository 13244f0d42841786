// A host program as small as a host can be: opens the dialog on the two databases it is given,
// prints the dialog's title once it is shown, and closes it again.
#include <xovMandStamm.h>
#include <QApplication>
#include <QDate>
#include <QTimer>
#include <QWidget>
#include <cstdio>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QVariantList info(100);
    info[0] = QString::fromLocal8Bit(argv[1]);
    info[1] = QString::fromLocal8Bit(argv[2]);
    info[5] = QDate::currentDate();
    info[11] = 2024;
    QTimer::singleShot(300, [] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->isVisible()) {
                std::printf("%s\n", qPrintable(w->windowTitle()));
                w->close();
            }
    });
    xovMandStamm k;
    k.Mand_Aufruf(info);
    return 0;
}
