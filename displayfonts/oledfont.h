#pragma once

#include "csource.h"
#include "csourcereader.h"
#include "drawnglyph.h"
#include "readresult.h"
#include "storedglyph.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>
#include <vector>

class GlyphSet;
namespace FirmwareSource {
struct Font;
}

// A glyph set as a font for ThingPulse's SSD1306/SH1106 OLED library
// (setFont, drawString): a header of the widest advance, the height, the
// first code and the number of codes; for each code a jump table entry of 4
// bytes (the offset of its bytes from the end of the table, high byte first,
// their count and the advance), 0xFFFF for a code without bytes; then each
// glyph's columns from the left, ceil(height / 8) bytes a column, bit 0 the
// top row, its trailing zero bytes left out as the library's converter
// leaves them out. A glyph is drawn with the top-left corner of its columns
// at the cursor: there is no baseline and no offset. Where ink lies left of
// the pen, the whole font moves right by that much, so that every glyph
// keeps its place beside the others.
namespace OledFont {

constexpr int kHeaderSize = 4;
constexpr int kEntrySize = 4;
constexpr int kNoBytes = 0xFFFF; // a jump table offset: nothing to draw

// The font's bytes, or nothing with one sentence in `error` when the set
// is empty, holds a code past 255, spans more than 255 codes or a glyph
// whose advance passes 255. The glyphs must have code points in ascending
// order, each once. With `leftOut`, its glyphs are written among the set's
// as they stand, in a cell of its rows.
std::optional<QByteArray> encode(const GlyphSet &set, QString *error = nullptr, const LeftOut *leftOut = nullptr);

// Every code that has bytes or an advance, as the library draws it: its
// columns' top-left corner `height` rows above the pen's baseline (the
// bottom of the cell), every bit of their bytes, the advance the entry's.
// Nothing, with "byte N: what is wrong" in `error`, where the header or an
// entry points outside the data. Reads nothing outside `data`.
struct Decoded
{
    std::vector<StoredGlyph> glyphs;
    int height = 0;
};
std::optional<Decoded> decode(QByteArrayView data, QString *error = nullptr);

// The OLED fonts among the declarations: one-dimensional arrays of bytes
// whose header, jump table and length agree (FirmwareSource), and one of
// them as a set with its name and export choices. A font taller or wider
// than 16 pixels opens for the glyphs that fit (FirmwareGlyphs::place) and
// keeps the others to be saved whole.
std::vector<FirmwareSource::Font> find(const CSourceReader::Source &source);
ReadResult read(const CSourceReader::Source &source, const FirmwareSource::Font &font, const QString &path);

// The set as a C file that defines the font as the library's own fonts are
// defined: `const uint8_t name[] PROGMEM`, the header and each jump table
// entry commented, a line of bytes per glyph. `name` is a C name
// (CSource::isIdentifier). Fails when the set does not fit the format.
CSource::File write(const GlyphSet &set, const QString &name, const std::vector<int> &sources = {},
                    const LeftOut *leftOut = nullptr);

} // namespace OledFont
