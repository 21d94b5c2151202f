#pragma once

#include <QString>
#include <QtGlobal>

// The parts of the program that are loaded only when they are needed, so
// that the command line starts with QtCore alone: the window (Qt Widgets),
// and the readers of pictures and outline fonts (QtGui). Each is a module
// in a folder fixed relative to the program's own (lib/kelvor2/modules
// beside bin on Linux, in the build tree as when installed), never searched
// for.
namespace ProgramModule {

enum Module { Window, RenderedFonts };

// The function `symbol` of `module`, which is loaded on first use and stays
// loaded; null, with one sentence naming the module file in `error`, when
// it cannot be loaded or lacks the function.
QFunctionPointer resolve(Module module, const char *symbol, QString *error);

// Where `module` is looked for.
QString path(Module module);

} // namespace ProgramModule
