#pragma once

#include "csource.h"
#include "drawnglyph.h"
#include "glyphset.h"

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
std::optional<QByteArray> encode(const GlyphSet &set, QString *error = nullptr);

// The glyphs of a font as the library finds and draws them, in code order,
// or nothing with "byte N: what is wrong" in `error` when the data is
// malformed, or when the library would not find a glyph or draw it where its
// record says, or when a glyph is larger than 16 x 16 pixels. Reads nothing
// outside `data`, whatever it holds.
std::optional<std::vector<DrawnGlyph>> decode(QByteArrayView data, QString *error = nullptr);

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
CSource::File write(const GlyphSet &set, const QString &name, const std::vector<int> &sources = {});

} // namespace U8g2Font
