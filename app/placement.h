#pragma once

#include <QMargins>
#include <QRect>
#include <QSettings>
#include <QSize>
#include <QString>

// Where windows stand: the main window's placement in the per-user settings
// store, written when the window closes and never read back; and where a
// window that works beside the main window opens.
namespace Placement {

// The room kept between the main window and a window beside it.
constexpr int kGap = 8;

// The geometry (without frame) for a window of `size`, which may shrink to
// `minimumSize`, opened beside the main window, whose frame is `mainFrame`
// and whose grid (the area never to cover) is `grid`, on a screen whose
// free area is `available`; all in global pixels. `frame` is what the
// window manager adds around a window, as it did around the main window:
// a window not yet shown has no frame to ask for.
//
// It goes beside the main window, on the side with more room, narrowed or
// shortened to the room where its minimum size still fits. Where neither
// side has the room, it goes below or above the main window, or over it
// but beside its grid, where most of it stands clear of the main window
// (its area less twice what it covers). It is always wholly on
// the screen where it fits there, and covers the grid only where no place
// beside it holds its minimum size: then at that size, in the screen's
// corner where it covers least of the grid.
QRect besideMain(const QRect &mainFrame, const QRect &grid, const QSize &size, const QSize &minimumSize,
                 const QRect &available, const QMargins &frame = {});

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
