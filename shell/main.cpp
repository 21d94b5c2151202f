#include "look.h"
#include "mainwindow.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("KELVOR"));
    QApplication::setApplicationVersion(QStringLiteral(PROJECT_VERSION));
    QApplication::setWindowIcon(Look::applicationIcon());
    QGuiApplication::setDesktopFileName(QStringLiteral("kelvor"));

    // The main window lives for the whole run: created and loaded, then shown
    // centred. Closing it ends the program; so does its Exit button.
    MainWindow frmMain;
    frmMain.showCentred();
    return QApplication::exec();
}
