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

// A glyph set as a u8g2 font (u8g2_SetFont, u8g2_DrawGlyph, u8g2_DrawUTF8):
// each glyph trimmed to its ink, run-length coded, drawn with the pen on the
// baseline, which lies under a letter's bottom row.
namespace U8g2Font {

// The font's bytes, or nothing with one sentence in `error` saying which
// glyph does not fit the format and why. The glyphs must have code points
// 0..0xFFFF in ascending order, each once, as the library finds glyphs by
// walking sorted records.
// With `leftOut`, its glyphs are written among the set's as they stand.
std::optional<QByteArray> encode(const GlyphSet &set, QString *error = nullptr, const LeftOut *leftOut = nullptr);

// The glyphs of a font as the library finds and draws them, in code order,
// or nothing with "byte N: what is wrong" in `error` when the data is
// malformed, or when the library would not find a glyph or draw it where its
// record says, or when a glyph is larger than 16 x 16 pixels. Reads nothing
// outside `data`, whatever it holds.
std::optional<std::vector<DrawnGlyph>> decode(QByteArrayView data, QString *error = nullptr);
// The same, but leaving out the glyphs larger than 16 x 16 pixels, which
// `larger` counts, rather than refusing the font; their runs are checked
// all the same.
std::optional<std::vector<DrawnGlyph>> decode(QByteArrayView data, qsizetype *larger, QString *error);
// Every glyph, those larger than 16 x 16 too, as stored glyphs; none where
// decode() refuses the bytes.
std::vector<StoredGlyph> decodeStored(QByteArrayView data);

// A font's bytes as a set of one cell that holds its glyphs where they lie
// (FirmwareGlyphs::place), with their advances and what encode() needs to
// write the same bytes again (U8g2Bytes::Kept). Glyphs larger than 16 x 16
// are left out; nothing, with "byte N: what is wrong", where decode()
// refuses the bytes.
U8g2Source::Opened open(QByteArrayView data);

// The u8g2 fonts among the declarations (FirmwareSource), and one of them
// as a set with its name and export choices.
std::vector<FirmwareSource::Font> find(const CSourceReader::Source &source);
ReadResult read(const CSourceReader::Source &source, const FirmwareSource::Font &font, const QString &path);

// A piece of a font's bytes, for writing the font out piece by piece.
struct Part
{
    enum class Kind { Header, Glyph, SectionEnd, LookupTable };
    Kind kind = Kind::Header;
    qsizetype offset = 0;
    qsizetype size = 0;
    int codePoint = -1; // a glyph's, or -1
};

// The pieces of a font in the order they lie, as decode() finds them: the
// header, the records of the codes below 256, their end mark, the lookup
// table of the codes from 256, their records and the final end mark.
std::optional<std::vector<Part>> parts(QByteArrayView data, QString *error = nullptr);

// The set as a C file that defines the font, as the library's own fonts are
// defined: `const uint8_t name[N] U8G2_FONT_SECTION("name")`, with a comment
// naming each glyph's record. It compiles as C99 and as C++ where "u8g2.h"
// is found. `name` is a C name (CSource::isIdentifier).
// Fails when the set does not fit the format (encode()).
CSource::File write(const GlyphSet &set, const QString &name, const std::vector<int> &sources = {},
                    const LeftOut *leftOut = nullptr);

} // namespace U8g2Font
