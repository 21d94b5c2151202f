#pragma once

#include "bitorder.h"
#include "csource.h"
#include "glyphset.h"
#include "readresult.h"

#include <QStringView>

#include <vector>

namespace CSourceReader {
struct Source;
}
namespace FirmwareSource {
struct Font;
}

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

// The headers write() writes in a C file, known by the array whose name
// gives its constants: Count, Width, Height and Values.
std::vector<FirmwareSource::Font> find(const CSourceReader::Source &source);

// The header's glyphs as a set: each row drawn in the bit order its
// comment names (where none does, vertical if the values are as many as
// the columns and not the rows, else horizontal), at the code point of
// First or of the Codes table; its name from the line above the summary;
// the order as the set's export options and the export choices that write
// it again as it stands. One line naming `path`, the line and the font
// where the constants do not fit together or a value holds more bits than
// its line has cells.
ReadResult read(const CSourceReader::Source &source, const FirmwareSource::Font &font, const QString &path);

} // namespace CHeader
