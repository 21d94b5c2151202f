#pragma once

#include "readresult.h"

#include <QString>
#include <QStringView>

// Glyphs from C or assembler source: the hexadecimal numbers of the text, read
// as the editor reads a drawing from bytes, cut into glyphs of one readout's
// values each, the first glyph for `firstCodePoint` and each next one for the
// next code point.
//
// A value comes as one number, or as two bytes, high byte first, where Copy
// to Text writes four digits: for values wider than 8 bits, and for readouts
// of more than 8 values whose high bytes are all 00. Where the numbers do not
// divide into whole glyphs and a glyph has at most 8 values of more than 8
// bits, Copy to Text wrote a value up to FF as one byte and a larger one as
// two: each line that holds numbers is then one glyph, read as the editor
// reads one, and a line that can be read more than one way is refused.
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
