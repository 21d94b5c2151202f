#include "mainwindow.h"
#include "startup.h"

#include <QApplication>

// The window, in the module kelvor_window that the program loads when it is
// started without a command (main.cpp): everything from the application
// object to the end of the event loop.
extern "C" Q_DECL_EXPORT int kelvorWindowMain(int argc, char *argv[])
{
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
