#include "exportcommand.h"
#include "mainwindow.h"
#include "startup.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    // "KELVOR21 export ..." runs without a window, before any application
    // object exists: the command makes the one it needs.
    if (ExportCommand::isRequested(argc, argv))
        return ExportCommand::run(argc, argv);

    QApplication app(argc, argv);
    Startup::setUpApplication();

    // The main window lives for the whole run: created and loaded, then shown
    // centred. Closing it ends the program; so does its Exit button.
    MainWindow frmMain;
    frmMain.showCentred();
    return QApplication::exec();
}
