#pragma once

#include "readresult.h"

#include <QByteArray>

// Glyphs cut from a picture (PNG, BMP, anything QImage reads): cells of the
// matrix size, left to right and top to bottom, a pixel darker than the
// threshold making a set cell. Needs QtGui, not a display.
namespace ImageSheet {

struct Options
{
    int cols = 8;
    int rows = 8;
    int threshold = 128; // a pixel whose grey level is below this is set
    int firstCodePoint = 0x20;
};

ReadResult read(const QByteArray &bytes, const QString &fileName, const Options &options);

} // namespace ImageSheet
