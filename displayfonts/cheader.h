#pragma once

#include "bitorder.h"
#include "csource.h"
#include "glyphset.h"

#include <QStringView>

// A glyph set as a C header of its own: a two-dimensional array of each
// glyph's values in a bit order, one row per glyph with a comment naming
// it, and constants for the count and the cell's size. Code points that
// follow one another from the first need only its constant; any others get
// a table of each glyph's code point. Compiles as C99 and as C++.
namespace CHeader {

// The header for every glyph of `set` in set order; `name` names the array
// (a C name, as FontExport::isName takes). Values of up to 8 bits are uint8_t,
// wider ones uint16_t. Fails only for a set without glyphs.
CSource::File write(const GlyphSet &set, QStringView name, BitOrder order, const std::vector<int> &sources = {});

} // namespace CHeader
