#pragma once

#include <QRect>
#include <QSettings>
#include <QString>

// The main window's placement in the per-user settings store: written when the
// window closes, never read back.
namespace Placement {

// Writes the outer window's left edge, top edge, width and height, in twips,
// as plain decimal text: keys "MainLeft", "MainTop", "MainWidth" and
// "MainHeight" in section "Settings" of application "KELVOR". Returns false
// when the store could not be written, with the reason in `error`.
bool writeMainPlacement(const QRect &frameTwips, QString *error = nullptr);

// The store, in QSettings' default format: the native one (the registry on
// Windows, a property list on macOS, an INI file on Linux) unless a test has
// chosen the INI format, whose folder QSettings::setPath can move anywhere.
QSettings store();

} // namespace Placement
