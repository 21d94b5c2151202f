#pragma once

#include "codepoints.h"
#include "glyphexport.h"
#include "pagelayout.h"
#include "storedglyph.h"

#include <QLatin1String>
#include <QString>

#include <memory>
#include <optional>
#include <vector>

class QIODevice;
struct ReadResult;

namespace CSourceReader {
struct Source;
}
namespace FirmwareSource {
struct Font;
}

// A glyph set exported as source code in one of several formats: the lines
// Copy to Text writes, a C header of readout values, or the font formats
// that display libraries draw from as they stand. Every format writes the
// glyphs that the ranges take, at the code points the remaps give them.
namespace FontExport {

enum class Format {
    Lines, // one Copy to Text line per glyph, as Export to Text writes
    C,     // a C header: an array of readout values, a row per glyph
    Gfx,   // a GFXfont for the Adafruit GFX library
    U8g2,  // a u8g2 font
    U8x8,  // a u8x8 font of 8 x 8 tiles
    Pages, // a column's 8-row pages as bytes, bit 0 the top row
    Oled,  // a font for ThingPulse's SSD1306/SH1106 OLED library
    Lvgl,  // an lv_font_t for LVGL, 1 bit a pixel
    Max72xx, // a font for MD_MAX72XX's LED matrices
};

// Every format, in the order lists show them.
std::vector<Format> formats();
// Its name on the command line: "lines", "c", "gfx", "u8g2", "u8x8", "pages",
// "oled", "lvgl", "max72xx".
QLatin1String name(Format format);
std::optional<Format> formatNamed(QStringView name);
// "lines, c, gfx, u8g2, u8x8, pages, oled, lvgl, max72xx", for messages.
QString nameList();
// What a user reads in a list: "GFX font (Adafruit GFX)".
QString title(Format format);
// What it writes, as --help lists it: "a GFXfont for the Adafruit GFX
// library".
QString description(Format format);
// The highest code point the format holds: 8-bit libraries take no more
// than 255.
int highestCodePoint(Format format);

// The choices that apply to some formats only; every format takes the
// ranges and remaps.
enum class Choice {
    Name,        // the C name of the font's data
    Orientation, // the bit order of the values written
    Prefix,      // the prefix and delimiter of each byte
    Comments,    // a comment naming each glyph, where it is a choice
    PageOrder,
    Widths,
};
bool takes(Format format, Choice choice);

// The suffix of the file to propose: ".c" for a font defined as the
// libraries define their own, to be compiled once, ".h" for a header.
QLatin1String suffix(Format format);

using PageOrder = PageLayout::Order;

// Whether `name` can name the font's data in the format: a C name
// (CSource::isIdentifier) that the format's library does not declare.
// False with the reason in `why`. The export asks this before anything
// else; its writers take only such names.
bool isName(Format format, QStringView name, QString *why = nullptr);

struct Options
{
    Format format = Format::Lines;
    // The order, prefix, delimiter, comments and ranges; every format takes
    // the ranges, the lines and C formats the rest.
    GlyphExport::Options lines;
    CodePoints::Remaps remaps;
    // The C name of the font's data, for every format but lines.
    QString name;
    PageOrder pageOrder = PageOrder::Column;
    bool widths = false; // pages: each glyph's width before its bytes
    // For a font opened in part and written back whole (gfx, u8g2, u8x8):
    // the glyphs the set left out, written as they stand among its own.
    std::shared_ptr<const LeftOut> leftOut;
};

// The glyphs an export takes, as a set of their own at their new code
// points. Lines keep the set's order and its glyphs without a code point;
// every other format takes only glyphs with one, sorted by code point, and
// refuses two glyphs at one code point or one beyond the format's reach,
// naming it.
struct Selection
{
    std::optional<GlyphSet> set;
    // For each glyph of `set`, its code point before the remaps, or
    // Glyph::kNoCodePoint.
    std::vector<int> sourceCodePoints;
    QString error;
};
Selection select(const GlyphSet &set, const Options &options);

struct Result
{
    QString text;
    QString error; // one sentence; empty when the export succeeded

    bool ok() const { return error.isEmpty(); }
};

// The whole export as text. Lines end in CR LF for the lines format (as in
// Text1) and in LF for every other one.
Result write(const GlyphSet &set, const Options &options);

// The glyphs as the format's own reader would draw them from the exported
// bytes, for a preview: what the display will show. Each glyph stands for
// the character it was exported for, its code point before the remaps, so
// that a text typed as it reads is drawn as a firmware draws it once its
// strings are mapped the same way: with Cyrillic moved to 0xC0, "Б" is the
// glyph at 0xC1, and "Á", whose code Б took, has none. The empty entries a
// format keeps between glyphs stand for no character.
struct Drawn
{
    std::vector<DrawnGlyph> glyphs;
    int lineHeight = 0;
    QString error;
};
Drawn drawn(const GlyphSet &set, const Options &options);

// How a format's fonts are read back from C source (see FirmwareSource):
// its fonts among a file's declarations, and one of them as a set. Null
// for a format that cannot be read back, such as lines.
struct Reader
{
    std::vector<FirmwareSource::Font> (*find)(const CSourceReader::Source &source) = nullptr;
    ReadResult (*read)(const CSourceReader::Source &source, const FirmwareSource::Font &font,
                       const QString &path) = nullptr;
};
Reader readerOf(Format format);

// Compares `existing` with the export of `set`, as GlyphExport::check does
// for lines.
GlyphExport::Difference check(QIODevice &existing, const GlyphSet &set, const Options &options);
// Compares `existing` with `wanted` byte for byte: where they first differ,
// by its line.
GlyphExport::Difference compare(QIODevice &existing, const QByteArray &wanted);

} // namespace FontExport
