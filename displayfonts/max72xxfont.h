#pragma once

#include "csource.h"
#include "csourcereader.h"
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

// A glyph set as a font for MD_MAX72XX, the MAX7219 LED-matrix library
// under MD_Parola (setFont, getChar): the header 'F', the version, the
// first and last code (a byte each in version 1, two bytes high first in
// version 2) and the height; then for each code from the first to the last
// its width and that many column bytes from the left, bit 0 the top row.
// A width of 0 draws nothing. The library's older fonts have no header:
// they hold codes 0 to 255 of 8 rows. A matrix has 8 rows, so a glyph may
// have ink in the top 8 rows of its cell only. The library puts a blank
// column after each char, which the width leaves out: a glyph's advance is
// its width and one. A glyph is drawn with the top-left corner of its
// columns at the cursor; where ink lies left of the pen, the whole font
// moves right by that much, so that every glyph keeps its place beside the
// others.
namespace Max72xxFont {

constexpr char kMark = 'F';
constexpr int kRows = 8;
// The library counts codes in 16 bits up to the last one inclusive, so a
// font whose last code is 0xFFFF never ends its count.
constexpr int kLastCode = 0xFFFE;

// The font's bytes, version 1 where every code is up to 255 and version 2
// otherwise, or nothing with one sentence in `error` when the set is empty,
// holds a code past kLastCode, a glyph with ink below the cell's 8th row or
// above it (named), or one wider than 255 columns. The glyphs must have
// code points in ascending order, each once. With `leftOut`, its glyphs are
// written among the set's as they stand, in a cell of its rows.
std::optional<QByteArray> encode(const GlyphSet &set, QString *error = nullptr, const LeftOut *leftOut = nullptr);

// Every code of width above 0, as the library draws it: its columns'
// top-left corner `rows` rows above the pen's baseline, all 8 bits of each
// byte, its advance its width and one. Nothing, with "byte N: what is
// wrong" in `error`, where the codes run past the end of the data. Reads
// nothing outside `data`; bytes after the last code are passed over.
struct Decoded
{
    std::vector<StoredGlyph> glyphs;
    std::vector<qsizetype> widthAt; // for each glyph, the offset of its width byte
    // Each code of width 0 and the offset of its width byte: no glyph, or a
    // blank one of an advance of 1 or less, which the file's comments tell.
    std::vector<std::pair<int, qsizetype>> blanks;
    int version = 0;                // 0 for a font without the header
    int first = 0;
    int last = 0;
    int height = 0; // as the header says
    // The cell's rows: the height, from 1 to 8, and more where ink lies
    // below it.
    int rows = 0;
    qsizetype end = 0; // one past the last code's bytes
};
std::optional<Decoded> decode(QByteArrayView data, QString *error = nullptr);

// The fonts among the declarations: one-dimensional arrays of bytes whose
// header (or, without one, the 256 codes) and length agree (FirmwareSource),
// and one of them as a set with its name and export choices. A font wider
// than 16 pixels opens for the glyphs that fit (FirmwareGlyphs::place) and
// keeps the others to be saved whole.
std::vector<FirmwareSource::Font> find(const CSourceReader::Source &source);
ReadResult read(const CSourceReader::Source &source, const FirmwareSource::Font &font, const QString &path);

// The set as a C file that defines the font as the library's own font is
// defined: `const uint8_t name[] PROGMEM`, the header commented, a line of
// bytes per code naming its glyph. `name` is a C name
// (CSource::isIdentifier). Fails when the set does not fit the format.
CSource::File write(const GlyphSet &set, const QString &name, const std::vector<int> &sources = {},
                    const LeftOut *leftOut = nullptr);

} // namespace Max72xxFont
