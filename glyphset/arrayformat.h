#pragma once

#include "readresult.h"

#include <QString>
#include <QStringView>

// Glyphs from C or assembler source: the hexadecimal numbers of the text, read
// as the editor reads a drawing from bytes, cut into glyphs of one readout's
// values each.
namespace ArrayFormat {

struct Options
{
    int cols = 8;
    int rows = 8;
    BitOrder order = BitOrder::Horizontal;
    int firstCodePoint = 0x20;
};

ReadResult read(QStringView text, const QString &fileName, const Options &options);

} // namespace ArrayFormat
