#pragma once

#include "csource.h"
#include "csourcereader.h"
#include "drawnglyph.h"
#include "firmwaresource.h"
#include "glyphset.h"
#include "readresult.h"
#include "storedglyph.h"
#include "u8g2source.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>
#include <vector>

// A glyph set as a u8x8 font (u8x8_SetFont, u8x8_DrawGlyph): every code from
// the first to the last as whole 8 x 8 tiles, each tile eight bytes, one per
// column from the left, bit 0 the top row. A cell larger than a tile takes
// two tiles across or down, and sits in the top-left corner of its tiles, as
// u8x8 draws a glyph from its top-left tile, so the rows and columns past
// the cell are clear. There is no baseline and no advance.
namespace U8x8Font {

constexpr int kHeaderSize = 4; // first code, last code, tiles across, tiles down
constexpr int kTileBytes = 8;
// What the comment of a code without a glyph says after the code point.
constexpr char16_t kNoGlyph[] = u", no glyph";

// The font's bytes, or nothing with one sentence in `error` when the set is
// empty or holds a code past 255. The glyphs must have code points in
// ascending order, each once; codes between them without a glyph are blank.
// With `leftOut`, its glyphs are written among the set's as they stand, in
// tiles that hold its cell, each glyph placed by where it lies from the pen
// with the tiles' bottom on the baseline.
std::optional<QByteArray> encode(const GlyphSet &set, QString *error = nullptr, const LeftOut *leftOut = nullptr);

// Every code from the first to the last, as u8x8 draws it: the tiles'
// top-left corner at the pen, the advance the tiles' width. Nothing, with
// "byte N: what is wrong" in `error`, when the data is malformed or its
// glyphs are larger than 16 x 16 pixels. Bytes after the last glyph are
// ignored, as the library never reads them.
std::optional<std::vector<DrawnGlyph>> decode(QByteArrayView data, QString *error = nullptr);

// The bytes a font with the header at the start of `data` takes, header
// included, or -1 where there is no header or it holds no glyph.
qsizetype fontSize(QByteArrayView data);

// A font's bytes as a set: every code from the first to the last, each its
// tiles whole (the cell at the top-left corner of its tiles, as encode()
// writes it, so that it writes the same bytes), standing on the baseline.
// Tiles larger than 16 x 16 pixels: the glyphs trimmed to their ink, placed
// as FirmwareGlyphs::place() places them, those that fit. Nothing, with
// "byte N: what is wrong", where the header or the length are wrong.
U8g2Source::Opened open(QByteArrayView data);

// The u8x8 fonts among the declarations (FirmwareSource), and one of them
// as a set with its name and export choices.
std::vector<FirmwareSource::Font> find(const CSourceReader::Source &source);
ReadResult read(const CSourceReader::Source &source, const FirmwareSource::Font &font, const QString &path);

// The set as a C file that defines the font, as the library's own fonts are
// defined: `const uint8_t name[N] U8X8_FONT_SECTION("name")`, a comment
// naming each code and a line per tile. It compiles as C99 and as C++ where
// "u8x8.h" is found. `name` is a C name
// (CSource::isIdentifier). Fails when the set does not fit the format
// (encode()).
CSource::File write(const GlyphSet &set, const QString &name, const std::vector<int> &sources = {},
                    const LeftOut *leftOut = nullptr);

} // namespace U8x8Font
