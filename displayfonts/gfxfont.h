#pragma once

#include "csource.h"
#include "drawnglyph.h"
#include "readresult.h"
#include "storedglyph.h"

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

class GlyphSet;
namespace CSourceReader {
struct Source;
}
namespace FirmwareSource {
struct Font;
}

// A glyph set as the graphics library's GFXfont holds it: each glyph's ink
// box packed row by row, the leftmost pixel in a byte's top bit, the bits of
// one row running on into the next and only a glyph's last byte padded; and
// for every code from first to last a record of where its bytes start, its
// box, its advance and the box's offset from the cursor. The cursor row is
// the bottom row of a letter without descender, so yOffset is 1 - (rows of
// ink above the baseline).
namespace GfxFont {

// The library's GFXglyph, its fields in its order. Held as int here; the
// encoder makes sure each fits its field (uint16, three uint8, two int8).
struct Glyph
{
    int bitmapOffset = 0;
    int width = 0;
    int height = 0;
    int xAdvance = 0;
    int xOffset = 0;
    int yOffset = 0;

    bool operator==(const Glyph &other) const
    {
        return bitmapOffset == other.bitmapOffset && width == other.width && height == other.height
                && xAdvance == other.xAdvance && xOffset == other.xOffset && yOffset == other.yOffset;
    }
};

struct Font
{
    QByteArray bitmap;
    std::vector<Glyph> glyphs; // one per code from first to last
    int first = 0;
    int last = -1;
    int yAdvance = 0; // the line height
};

struct Result
{
    std::optional<Font> font;
    QString error; // one sentence naming the code and what does not fit

    bool ok() const { return font.has_value(); }
};

// The set as a GFXfont. Its glyphs must have code points 0..255, each once
// (the caller selects them); each is placed by its code. A code between
// first and last that the set lacks gets an empty glyph of advance 0, so
// that it draws nothing and does not move the cursor, as the library does
// with a code outside the range. Refuses an empty set and any glyph whose
// advance or offsets do not fit their fields, rather than wrap them.
// With `leftOut`, the glyphs it holds are placed by their codes among the
// set's as they stand, and the line height is its rows.
Result encode(const GlyphSet &set, const LeftOut *leftOut = nullptr);

// Every glyph from first to last as the library draws it, relative to the
// pen on the baseline: its box at (xOffset, yOffset - 1), its advance. Bits
// past the bitmap's end are clear, and a box is cut to 16 x 16 pixels.
std::vector<DrawnGlyph> decode(const Font &font);
// The same for the glyph at `index` of font.glyphs.
DrawnGlyph decode(const Font &font, size_t index);

// Whether `name` is one the library's header declares, which a font cannot
// take.
bool isLibraryName(QStringView name);

// The set as a header for the graphics library: its bitmaps, its glyph
// table and the GFXfont, written as the library's own fonts are, with a
// comment naming each glyph. The includer declares GFXfont and PROGMEM (the
// library's header does). `name` names the font: a C name
// (CSource::isIdentifier) that the library does not declare. Fails with
// encode()'s message when the set does not fit the format.
CSource::File write(const GlyphSet &set, const QString &name, const std::vector<int> &sources = {},
                    const LeftOut *leftOut = nullptr);

// What write() says of the font first, after the font's name: "A GFXfont
// of 3 glyphs, 0x66 to 0x69, 9 pixels from line to line."
QString summary(qsizetype glyphs, int first, int last, int yAdvance);

// The GFXfonts of a C file, known by their content: a declaration of type
// GFXfont, or of any type whose initializer has the GFXfont's five members
// and names a list of bytes and a table of six numbers a row, first the
// bitmap and then the glyph table.
std::vector<FirmwareSource::Font> find(const CSourceReader::Source &source);

// The font `font` as a set: each glyph as the library draws it, placed in
// one cell yAdvance rows high where its glyphs fit (FirmwareGlyphs::place),
// a box larger than 16 x 16 left out; its name from the line above the
// summary; and the export choices that write it again as it stands. A code
// whose box is empty and whose advance is 0 has no glyph, as write() writes
// it, unless its comment names a glyph there. One line naming `path`, the
// line and the font where the font is damaged: a member that is not a
// number, or does not fit its field; first above last; a glyph table
// shorter than first to last; a box that runs past the bitmap.
ReadResult read(const CSourceReader::Source &source, const FirmwareSource::Font &font, const QString &path);

} // namespace GfxFont
