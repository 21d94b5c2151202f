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
    // A font named on the command line opens as a glyph set.
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() > 1)
        frmMain.openGlyphSet(arguments.at(1));
    return QApplication::exec();
}
