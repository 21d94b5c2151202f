#pragma once

#include "glyphset.h"
#include "storedglyph.h"
#include "u8g2bytes.h"

#include <QString>

#include <optional>
#include <vector>

// The glyphs of a u8g2 font as its records hold them, made from a glyph
// set and from the glyphs too large for one, for the encoder.
namespace U8g2Trimmed {

// A glyph trimmed to its ink: the box as the record stores it (y is the
// bottom row's height above the baseline, so 0 for a letter without a
// descender) and the box's pixels as alternating runs of clear and set
// pixels, row after row, starting with a clear run and ending with a set
// run, either of which may be 0.
struct Trimmed
{
    int code = 0;
    int w = 0;
    int h = 0;
    int x = 0;
    int y = 0;
    int advance = 0;
    // A blank glyph's x and y count in the header only where the set keeps
    // them from the bytes it was read from.
    bool placed = false;
    std::vector<int> runs;
};

// The set's glyphs trimmed to their ink, with those of `leftOut` among them
// in code order as they stand, or nothing when one does not fit the format.
std::optional<std::vector<Trimmed>> trimmedGlyphs(const GlyphSet &set, const U8g2Bytes::Kept &kept,
                                                  const LeftOut *leftOut, QString *error);

} // namespace U8g2Trimmed
