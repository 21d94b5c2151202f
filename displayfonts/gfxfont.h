#pragma once

#include "csource.h"
#include "drawnglyph.h"

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

class GlyphSet;

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
Result encode(const GlyphSet &set);

// Every glyph from first to last as the library draws it, relative to the
// pen on the baseline: its box at (xOffset, yOffset - 1), its advance. Bits
// past the bitmap's end are clear, and a box is cut to 16 x 16 pixels.
std::vector<DrawnGlyph> decode(const Font &font);

// Whether `name` is one the library's header declares, which a font cannot
// take.
bool isLibraryName(QStringView name);

// The set as a header for the graphics library: its bitmaps, its glyph
// table and the GFXfont, written as the library's own fonts are, with a
// comment naming each glyph. The includer declares GFXfont and PROGMEM (the
// library's header does). `name` names the font: a C name
// (CSource::isIdentifier) that the library does not declare. Fails with
// encode()'s message when the set does not fit the format.
CSource::File write(const GlyphSet &set, const QString &name, const std::vector<int> &sources = {});

} // namespace GfxFont
