#include "u8g2font.h"

#include "firmwareglyphs.h"
#include "u8g2bytes.h"

#include <algorithm>

namespace U8g2Font {

namespace {
using namespace U8g2Bytes;

// Whether the font's blank glyphs were written as the library's converter
// writes them, rather than as encode() does: placed where the font file's
// box for them lay, that place counting in the header's font box, and with
// an end bit after the box, which can take a byte of its own.
bool placesBlanks(QByteArrayView data, const std::vector<Part> &records, const std::vector<DrawnGlyph> &glyphs)
{
    int left = 0, right = 0, bottom = 0, top = 0;
    bool any = false;
    std::vector<int> blanks;
    for (const DrawnGlyph &glyph : glyphs) {
        if (glyph.bits.rows() == 0) {
            if (glyph.x != 0 || glyph.y != 0)
                return true;
            blanks.push_back(glyph.codePoint);
            continue;
        }
        left = any ? std::min(left, glyph.x) : glyph.x;
        right = any ? std::max(right, glyph.x + glyph.bits.cols()) : glyph.x + glyph.bits.cols();
        bottom = any ? std::min(bottom, -glyph.y - glyph.bits.rows()) : -glyph.y - glyph.bits.rows();
        top = any ? std::max(top, -glyph.y) : -glyph.y;
        any = true;
    }
    if (blanks.empty())
        return false;
    if (data[kBoxWidth] != char(right - left) || data[kBoxHeight] != char(top - bottom) || data[kBoxX] != char(left)
        || data[kBoxY] != char(bottom))
        return true;
    const int boxBits = uchar(data[kWidthBits]) + uchar(data[kHeightBits]) + uchar(data[kXBits]) + uchar(data[kYBits])
                        + uchar(data[kAdvanceBits]);
    for (const Part &part : records) {
        if (part.kind == Part::Kind::Glyph && part.size > prefixSize(part.codePoint) + (boxBits + 7) / 8
            && std::binary_search(blanks.begin(), blanks.end(), part.codePoint))
            return true;
    }
    return false;
}
} // namespace

U8g2Source::Opened open(QByteArrayView data)
{
    U8g2Source::Opened opened;
    qsizetype larger = 0;
    const std::optional<std::vector<DrawnGlyph>> glyphs = decode(data, &larger, &opened.error);
    if (!glyphs)
        return opened;
    FirmwareGlyphs::Placed placed = FirmwareGlyphs::place(*glyphs);
    if (placed.fontGlyphs > 0 || larger > 0) {
        opened.fontGlyphs = qsizetype(glyphs->size()) + larger;
        opened.whole = decodeStored;
    }

    U8g2Bytes::Kept kept;
    // decode() has checked the header's widths.
    kept.runBits = std::pair(int(uchar(data[U8g2Bytes::kZeroBits])), int(uchar(data[U8g2Bytes::kOneBits])));
    // decode() has walked the same parts.
    const std::vector<Part> records = parts(data).value_or(std::vector<Part>());
    if (placesBlanks(data, records, *glyphs)) {
        for (const DrawnGlyph &glyph : *glyphs) {
            // A blank glyph's record gives its box's bottom row as y, which
            // the decoder turned into the top row of a box of no rows.
            if (glyph.bits.rows() == 0)
                kept.blanks[glyph.codePoint] = {glyph.x, -glyph.y};
        }
    }
    U8g2Bytes::keep(kept, &placed.set);
    for (const Part &part : records) {
        if (part.kind == Part::Kind::Glyph)
            opened.starts.emplace_back(part.codePoint, part.offset);
    }
    opened.set = std::move(placed.set);
    return opened;
}

std::vector<FirmwareSource::Font> find(const CSourceReader::Source &source)
{
    return U8g2Source::find(source, U8g2Source::Kind::U8g2, open);
}

ReadResult read(const CSourceReader::Source &source, const FirmwareSource::Font &font, const QString &path)
{
    return U8g2Source::read(source, font, path, U8g2Source::Kind::U8g2, open);
}

} // namespace U8g2Font
