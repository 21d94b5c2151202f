#pragma once

// The program's command line: "KELVOR21 export FONT [options]" writes a font's
// glyphs as source code without a window, and "--help" and "--version" answer
// at once. Anything else starts the window.
namespace ExportCommand {

// Exit statuses.
constexpr int kDone = 0;
constexpr int kDiffers = 1;   // --check found a difference
constexpr int kBadInput = 2;  // usage, a file that cannot be read, a fault in it

// Whether the arguments ask for the command line rather than the window:
// the first one is "export", "--help" or "--version".
bool isRequested(int argc, char *argv[]);

// Runs the command and gives its exit status, in four steps: the arguments
// parsed, the font opened, the options merged, the export written. BDF, PSF
// and source code need QtCore alone and no application object; a picture
// gets a QCoreApplication, an outline font, which Qt's font engine renders,
// a QGuiApplication on the offscreen platform, both through the module of
// QtGui readers. Never a widget, never a display.
int run(int argc, char *argv[]);

} // namespace ExportCommand
