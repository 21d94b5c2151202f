#include "mainwindow.h"
#include "startup.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    Startup::setUpApplication();

    // The main window lives for the whole run: created and loaded, then shown
    // centred. Closing it ends the program; so does its Exit button.
    MainWindow frmMain;
    frmMain.showCentred();
    return QApplication::exec();
}
