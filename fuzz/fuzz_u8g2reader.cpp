#include "csourcereader.h"
#include "firmwareglyphs.h"
#include "u8g2font.h"
#include "u8x8font.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

// u8g2 and u8x8 fonts read back. The first byte chooses what the rest is:
// - a glyph set, whose font of each format opens as a set that draws the
//   same glyphs, and encodes again to the same bytes;
// - a font's bytes, which open or are refused with "byte N: ..." naming a
//   byte inside them, never read out of bounds; a set they open as draws
//   the same once encoded and opened again, and a font opened in part
//   draws every glyph the same once written whole with those left out;
// - C text, whose u8g2 and u8x8 fonts are read or refused with one line.
namespace {

[[noreturn]] void fail(const char *format, const char *what)
{
    std::fprintf(stderr, "fuzz_u8g2reader: %s: %s\n", format, what);
    std::abort();
}

// Up to 48 glyphs of one cell, codes rising from 32 by steps of 1 to 256.
GlyphSet makeSet(const uint8_t *data, size_t size)
{
    size_t at = 0;
    const auto next = [&]() -> uint8_t { return at < size ? data[at++] : 0; };
    const int cols = 3 + next() % 14;
    const int rows = 3 + next() % 14;
    GlyphSet set(cols, rows);
    set.ascent = next() % (rows + 1);
    set.xOffset = int8_t(next()) % 8;
    int code = 31;
    while (at < size && set.size() < 48) {
        code += next() + 1;
        if (code > 0xFFFF)
            break;
        Glyph glyph{code, {}, Drawing(rows, cols), std::nullopt};
        glyph.advance = int8_t(next()) % 40;
        for (int r = 0; r < rows; ++r) {
            const unsigned bits = next() | unsigned(next()) << 8;
            for (int c = 0; c < cols; ++c)
                glyph.bits.set(r, c, bits >> c & 1u);
        }
        set.append(glyph);
    }
    return set;
}

// Whether the two sets draw the same glyphs with the same advances.
bool drawSame(const GlyphSet &a, const GlyphSet &b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        const DrawnGlyph x = a.drawn(a.at(i));
        const DrawnGlyph y = b.drawn(b.at(i));
        if (x.codePoint != y.codePoint || x.advance != y.advance || x.pixels() != y.pixels())
            return false;
    }
    return true;
}

void checkError(const char *format, const QString &error, qsizetype size)
{
    bool ok = false;
    const qsizetype byte = error.startsWith(QLatin1String("byte ")) ? error.mid(5, error.indexOf(u':') - 5).toLongLong(&ok) : -1;
    if (!ok || byte < 0 || byte > size || error.contains(u'\n'))
        fail(format, "a refusal that names no byte inside the data");
}

// Each glyph's code, advance and pixels where they lie from the pen.
std::vector<std::pair<std::pair<int, int>, std::vector<std::pair<int, int>>>> drawnOf(const std::vector<StoredGlyph> &glyphs)
{
    std::vector<std::pair<std::pair<int, int>, std::vector<std::pair<int, int>>>> drawn;
    for (const StoredGlyph &glyph : glyphs) {
        std::vector<std::pair<int, int>> pixels;
        for (int r = 0; r < glyph.rows; ++r) {
            for (int c = 0; c < glyph.cols; ++c) {
                if (glyph.isSet(r, c))
                    pixels.emplace_back(glyph.x + c, glyph.y + r);
            }
        }
        drawn.push_back({{glyph.codePoint, glyph.advance}, pixels});
    }
    return drawn;
}

// A font opened in part, or in a cell that does not tell where its glyphs
// lie, written whole again with the glyphs it left out, holds every glyph
// where it was.
void wholeRoundTrip(const char *format, const QByteArray &font, const U8g2Source::Opened &opened)
{
    const bool u8x8 = format[2] == 'x';
    if (!opened.whole)
        fail(format, "a font opened in part keeps no whole font");
    const std::vector<StoredGlyph> glyphs = opened.whole(font);
    ReadResult read(opened.set);
    FirmwareGlyphs::keepWhole(read, glyphs, opened.wholeCols, opened.wholeRows);
    if (!read.leftOut || (opened.fontGlyphs > 0 && !read.bdfSource))
        fail(format, "a font opened in part is not kept whole");
    QString error;
    const std::optional<QByteArray> again = u8x8 ? U8x8Font::encode(*read.set, &error, read.leftOut.get())
                                                  : U8g2Font::encode(*read.set, &error, read.leftOut.get());
    if (!again)
        return; // a glyph that the format's fields cannot hold once re-encoded
    const U8g2Source::Opened reopened = u8x8 ? U8x8Font::open(*again) : U8g2Font::open(*again);
    if (!reopened.set || !reopened.whole || drawnOf(reopened.whole(*again)) != drawnOf(glyphs))
        fail(format, "a font written whole draws otherwise");
}

// The set opened from `font` encodes to `font` again where it was encoded
// from a set, and draws the same glyphs once encoded and opened again.
void roundTrip(const char *format, const QByteArray &font, bool canonical)
{
    const bool u8x8 = format[2] == 'x';
    const U8g2Source::Opened opened = u8x8 ? U8x8Font::open(font) : U8g2Font::open(font);
    if (!opened.set) {
        if (canonical)
            fail(format, "its own font does not open");
        checkError(format, opened.error, font.size());
        return;
    }
    if (opened.fontGlyphs > 0 || opened.whole) {
        wholeRoundTrip(format, font, opened);
        return;
    }
    const std::optional<QByteArray> again = u8x8 ? U8x8Font::encode(*opened.set) : U8g2Font::encode(*opened.set);
    if (!again) {
        if (canonical)
            fail(format, "a font opened from its own bytes does not encode");
        return;
    }
    if (canonical && *again != font)
        fail(format, "a font opened from its own bytes encodes otherwise");
    const U8g2Source::Opened twice = u8x8 ? U8x8Font::open(*again) : U8g2Font::open(*again);
    if (!twice.set || !drawSame(*opened.set, *twice.set))
        fail(format, "an opened font draws otherwise once encoded and opened again");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const QByteArray rest(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));
    switch (data[0] % 3) {
    case 0: {
        const GlyphSet set = makeSet(data + 1, size - 1);
        if (const std::optional<QByteArray> font = U8g2Font::encode(set)) {
            const U8g2Source::Opened opened = U8g2Font::open(*font);
            if (!opened.set || !drawSame(set, *opened.set))
                fail("u8g2", "a set's font opens as other glyphs");
            roundTrip("u8g2", *font, true);
        }
        if (const std::optional<QByteArray> font = U8x8Font::encode(set))
            roundTrip("u8x8", *font, true);
        break;
    }
    case 1:
        roundTrip("u8g2", rest, false);
        roundTrip("u8x8", rest, false);
        break;
    default: {
        const CSourceReader::Source source = CSourceReader::read(rest);
        for (const auto find : {&U8g2Font::find, &U8x8Font::find}) {
            for (const FirmwareSource::Font &font : (*find)(source)) {
                const ReadResult read = font.format == FontExport::Format::U8x8 ? U8x8Font::read(source, font, "f.c")
                                                                                : U8g2Font::read(source, font, "f.c");
                if (!read.ok() && (read.error.isEmpty() || read.error.contains(u'\n')))
                    fail("c", "a refusal that is not one line");
            }
        }
        break;
    }
    }
    return 0;
}
