#pragma once

// Qt gives a plain QWidget the role of a client area whether or not it is a
// window, so screen readers on Linux see the program's own windows (the main
// window, help and about) as fillers, not frames. Installs the interface
// that gives such a top-level window the window role; the main window calls
// it before it builds itself.
namespace WindowAccessible {
void install();
}
