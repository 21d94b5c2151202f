#pragma once

#include "openoptions.h"
#include "readresult.h"

#include <QByteArray>

// Glyphs cut from a picture (PNG, BMP, anything QImage reads): cells of the
// matrix size, left to right and top to bottom, a pixel darker than the
// threshold making a set cell. Needs QtGui, not a display.
namespace ImageSheet {

using Options = PictureOptions;

ReadResult read(const QByteArray &bytes, const QString &fileName, const Options &options);

} // namespace ImageSheet
