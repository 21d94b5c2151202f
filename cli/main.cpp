#include "exportcommand.h"
#include "programmodule.h"

#include <cstdio>

// The program itself needs QtCore alone: "KELVOR21 export ..." runs here,
// and the window, with Qt Widgets and everything it loads, comes from its
// module only when it is asked for.
int main(int argc, char *argv[])
{
    if (ExportCommand::isRequested(argc, argv))
        return ExportCommand::run(argc, argv);

    QString error;
    const auto windowMain = reinterpret_cast<int (*)(int, char **)>(
            ProgramModule::resolve(ProgramModule::Window, "kelvorWindowMain", &error));
    if (!windowMain) {
        std::fprintf(stderr, "KELVOR21: %s\n", error.toLocal8Bit().constData());
        return 1;
    }
    return windowMain(argc, argv);
}
