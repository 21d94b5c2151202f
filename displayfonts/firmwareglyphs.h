#pragma once

#include "drawnglyph.h"
#include "glyphset.h"

#include <vector>

// A firmware font's glyphs, each drawn at its own place relative to the pen
// as its format stores it, made into a glyph set of one cell: the box that
// holds every glyph's pixels where they lie, so that each glyph keeps its
// place beside the others and its advance.
namespace FirmwareGlyphs {

struct Placed
{
    GlyphSet set;
    // Where the glyphs do not all fit in one cell of at most 16 x 16: how
    // many the font holds, of which `set` took those that fit. 0 otherwise.
    qsizetype fontGlyphs = 0;
};

// The glyphs in their order. A glyph's box counts where it has pixels; a
// blank glyph fits any cell. Where the cell that holds them all would be
// larger than 16 x 16, the cell is the one of at most 16 x 16 that holds the
// most glyphs whole (the rows first, then the columns), and the others are
// left out. A cell smaller than 3 x 3 grows to the right and downwards.
Placed place(const std::vector<DrawnGlyph> &glyphs);

} // namespace FirmwareGlyphs
