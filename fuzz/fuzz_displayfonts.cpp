#include "firmwareglyphs.h"
#include "gfxfont.h"
#include "lvglfont.h"
#include "max72xxfont.h"
#include "oledfont.h"
#include "pagelayout.h"
#include "u8g2font.h"
#include "u8x8font.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

// The display libraries' font formats. Arbitrary bytes make a small glyph
// set; each format's font of it decodes to the glyphs the set draws, or the
// encoder says why the set does not fit (never for a set that plainly
// fits). The same bytes read as a font of each format decode or are refused
// with a message naming a byte inside them, never read out of bounds; GFX
// and page fonts, which are structures, decode any structure so.
namespace {

[[noreturn]] void fail(const char *format, const char *what)
{
    std::fprintf(stderr, "fuzz_displayfonts: %s: %s\n", format, what);
    std::abort();
}

bool moderate(const GlyphSet &set)
{
    if (std::abs(set.ascent) > 100 || std::abs(set.xOffset) > 100)
        return false;
    for (const Glyph &glyph : set.glyphs()) {
        if (std::abs(set.advanceOf(glyph)) > 100)
            return false;
    }
    return true;
}

// u8g2: every glyph, drawn from the pen on the baseline.
std::vector<DrawnGlyph> drawnAtPen(const GlyphSet &set)
{
    std::vector<DrawnGlyph> glyphs;
    for (const Glyph &glyph : set.glyphs())
        glyphs.push_back(set.drawn(glyph));
    return glyphs;
}

// u8x8: every code from the first to the last, blank where the set has no
// glyph, the cell at the top-left corner of its tiles.
std::vector<DrawnGlyph> drawnInTiles(const GlyphSet &set)
{
    std::vector<DrawnGlyph> glyphs;
    const int advance = (set.cols() + 7) / 8 * 8;
    for (int code = set.at(0).codePoint; code <= set.at(set.size() - 1).codePoint; ++code) {
        const qsizetype index = set.indexOf(code);
        glyphs.push_back({code, advance, 0, 0, index >= 0 ? set.at(index).bits : Drawing(0, 0)});
    }
    return glyphs;
}

// OLED: the glyphs that draw or advance, each moved right by as much as the
// font's ink lies left of the pen, the cell's top `rows` above the bottom.
int oledShift(const GlyphSet &set)
{
    int left = 0;
    for (const Glyph &glyph : set.glyphs()) {
        for (const auto &pixel : set.drawn(glyph).pixels())
            left = std::min(left, pixel.first);
    }
    return -left;
}

std::vector<DrawnGlyph> drawnForOled(const GlyphSet &set)
{
    const int shift = oledShift(set);
    std::vector<DrawnGlyph> glyphs;
    for (const Glyph &glyph : set.glyphs()) {
        const DrawnGlyph drawn = set.drawn(glyph);
        if (drawn.pixels().empty() && drawn.advance == 0)
            continue;
        glyphs.push_back({drawn.codePoint, drawn.advance, drawn.x + shift, drawn.y + set.ascent - set.rows(), drawn.bits});
    }
    return glyphs;
}

bool oledFits(const GlyphSet &set)
{
    if (set.isEmpty() || !moderate(set) || set.at(set.size() - 1).codePoint - set.at(0).codePoint >= 255)
        return false;
    const int shift = oledShift(set);
    int columns = 0;
    for (const Glyph &glyph : set.glyphs()) {
        const int advance = set.advanceOf(glyph);
        if (advance < 0 || advance > 255)
            return false;
        for (const auto &pixel : set.drawn(glyph).pixels())
            columns = std::max(columns, pixel.first + shift + 1);
    }
    return columns * ((set.rows() + 7) / 8) <= 255;
}

std::optional<std::vector<DrawnGlyph>> decodeOled(QByteArrayView data, QString *error)
{
    const std::optional<OledFont::Decoded> font = OledFont::decode(data, error);
    if (!font)
        return std::nullopt;
    return FirmwareGlyphs::drawable(font->glyphs);
}

// MD_MAX72XX: the glyphs of a width above 0 (their advance, less the
// library's blank column, or their ink), moved right as for OLED, the
// cell's top at most 8 rows above the bottom, the advance the width and one.
int max72xxWidth(const GlyphSet &set, const Glyph &glyph, int shift)
{
    int width = std::max(set.advanceOf(glyph) - 1, 0);
    for (const auto &pixel : set.drawn(glyph).pixels())
        width = std::max(width, pixel.first + shift + 1);
    return width;
}

std::vector<DrawnGlyph> drawnForMax72xx(const GlyphSet &set)
{
    const int shift = oledShift(set);
    const int rows = std::min(set.rows(), Max72xxFont::kRows);
    std::vector<DrawnGlyph> glyphs;
    for (const Glyph &glyph : set.glyphs()) {
        const DrawnGlyph drawn = set.drawn(glyph);
        const int width = max72xxWidth(set, glyph, shift);
        if (width > 0)
            glyphs.push_back({drawn.codePoint, width + 1, drawn.x + shift, drawn.y + set.ascent - rows, drawn.bits});
    }
    return glyphs;
}

bool max72xxFits(const GlyphSet &set)
{
    if (set.isEmpty() || !moderate(set))
        return false;
    for (const Glyph &glyph : set.glyphs()) {
        for (const auto &pixel : set.drawn(glyph).pixels()) {
            if (pixel.second + set.ascent >= Max72xxFont::kRows)
                return false;
        }
    }
    return true;
}

std::optional<std::vector<DrawnGlyph>> decodeMax72xx(QByteArrayView data, QString *error)
{
    const std::optional<Max72xxFont::Decoded> font = Max72xxFont::decode(data, error);
    if (!font)
        return std::nullopt;
    return FirmwareGlyphs::drawable(font->glyphs);
}

struct Format
{
    const char *name;
    int lastCode;
    std::optional<QByteArray> (*encode)(const GlyphSet &, QString *, const LeftOut *);
    std::optional<std::vector<DrawnGlyph>> (*decode)(QByteArrayView, QString *);
    // What decode() gives for the set's font.
    std::vector<DrawnGlyph> (*expected)(const GlyphSet &);
    // Whether the encoder must take the set.
    bool (*fits)(const GlyphSet &);
};

const Format kFormats[] = {
    {"u8g2", 0xFFFF, U8g2Font::encode, U8g2Font::decode, drawnAtPen, moderate},
    {"u8x8", 0xFF, U8x8Font::encode, U8x8Font::decode, drawnInTiles,
     [](const GlyphSet &set) { return !set.isEmpty(); }},
    {"oled", 0xFF, OledFont::encode, decodeOled, drawnForOled, oledFits},
    {"max72xx", Max72xxFont::kLastCode, Max72xxFont::encode, decodeMax72xx, drawnForMax72xx, max72xxFits},
};

class Input
{
public:
    Input(const uint8_t *data, size_t size)
        : m_data(data)
        , m_size(size)
    {
    }
    bool atEnd() const { return m_at >= m_size; }
    uint8_t next() { return m_at < m_size ? m_data[m_at++] : 0; }

private:
    const uint8_t *m_data;
    size_t m_size;
    size_t m_at = 0;
};

// A set of up to 64 glyphs, codes rising from 0 by steps of 1 to 256 or,
// with the top bit of the step set, by larger jumps.
GlyphSet makeSet(Input &in)
{
    const int cols = 3 + in.next() % 14;
    const int rows = 3 + in.next() % 14;
    GlyphSet set(cols, rows);
    set.ascent = int8_t(in.next());
    set.xOffset = int8_t(in.next());
    int code = -1;
    while (!in.atEnd() && set.size() < 64) {
        const uint8_t step = in.next();
        code += (step & 0x80 ? (step & 0x7F) << 8 | in.next() : step) + 1;
        if (code > 0xFFFF)
            break;
        Glyph glyph{code, {}, Drawing(rows, cols), std::nullopt};
        const uint8_t advance = in.next();
        if (advance != 0x80)
            glyph.advance = int8_t(advance);
        for (int r = 0; r < rows; ++r) {
            const unsigned bits = in.next() | unsigned(in.next()) << 8;
            for (int c = 0; c < cols; ++c)
                glyph.bits.set(r, c, bits >> c & 1u);
        }
        set.append(glyph);
    }
    return set;
}

GlyphSet upTo(const GlyphSet &set, int lastCode)
{
    GlyphSet result(set.cols(), set.rows());
    result.ascent = set.ascent;
    result.xOffset = set.xOffset;
    for (const Glyph &glyph : set.glyphs()) {
        if (glyph.codePoint <= lastCode)
            result.append(glyph);
    }
    return result;
}

void roundTrip(const Format &format, const GlyphSet &set)
{
    QString error;
    const std::optional<QByteArray> font = format.encode(set, &error, nullptr);
    if (!font) {
        if (error.isEmpty() || error.contains(u'\n'))
            fail(format.name, "a refusal without a one-line message");
        if (format.fits(set))
            fail(format.name, "a set that fits was refused");
        return;
    }
    const std::optional<std::vector<DrawnGlyph>> decoded = format.decode(*font, &error);
    if (!decoded)
        fail(format.name, "its own font does not decode");
    const std::vector<DrawnGlyph> expected = format.expected(set);
    if (decoded->size() != expected.size())
        fail(format.name, "another number of glyphs");
    for (size_t i = 0; i < expected.size(); ++i) {
        const DrawnGlyph &a = (*decoded)[i];
        const DrawnGlyph &b = expected[i];
        if (a.codePoint != b.codePoint || a.advance != b.advance || a.pixels() != b.pixels())
            fail(format.name, "a glyph decodes otherwise");
    }
}

// GFX and the page layouts keep a font as a structure rather than one byte
// array. Each code from the first to the last decodes to the set's glyph,
// or to a blank one that does not move the pen (GFX) or has width 0 (pages).
void roundTripGfx(const GlyphSet &set)
{
    const GfxFont::Result gfx = GfxFont::encode(set);
    if (!gfx.ok()) {
        if (gfx.error.isEmpty() || gfx.error.contains(u'\n'))
            fail("gfx", "a refusal without a one-line message");
        const bool fits = !set.isEmpty() && moderate(set)
                && std::all_of(set.glyphs().begin(), set.glyphs().end(),
                               [&set](const Glyph &glyph) { return set.advanceOf(glyph) >= 0; });
        if (fits)
            fail("gfx", "a set that fits was refused");
        return;
    }
    const std::vector<DrawnGlyph> decoded = GfxFont::decode(*gfx.font);
    if (gfx.font->bitmap.size() > 0xFFFF || decoded.size() != size_t(gfx.font->last - gfx.font->first + 1))
        fail("gfx", "a bitmap past 16-bit offsets, or not one glyph per code");
    for (const DrawnGlyph &glyph : decoded) {
        const qsizetype index = set.indexOf(glyph.codePoint);
        const bool same = index < 0 ? glyph.pixels().empty() && glyph.advance == 0
                                    : glyph.pixels() == set.drawn(set.at(index)).pixels()
                        && glyph.advance == set.advanceOf(set.at(index));
        if (!same)
            fail("gfx", "a glyph decodes otherwise");
    }
}

void roundTripPages(const GlyphSet &set)
{
    for (const PageLayout::Order order : {PageLayout::Order::Column, PageLayout::Order::Page}) {
        for (const bool widthByte : {false, true}) {
            const PageLayout::Result pages = PageLayout::encode(set, {order, widthByte});
            if (pages.ok() == set.isEmpty())
                fail("pages", "a set of glyphs refused, or an empty one taken");
            if (!pages.ok())
                continue;
            const std::vector<DrawnGlyph> decoded = PageLayout::decode(*pages.font);
            if (decoded.size() != size_t(set.at(set.size() - 1).codePoint - set.at(0).codePoint + 1))
                fail("pages", "not one record per code");
            for (const DrawnGlyph &glyph : decoded) {
                const qsizetype index = set.indexOf(glyph.codePoint);
                const Drawing cell = index < 0 ? Drawing(set.rows(), set.cols()) : set.at(index).bits;
                const int width = !widthByte ? set.cols()
                        : index < 0          ? 0
                                             : std::clamp(set.advanceOf(set.at(index)), 0, set.cols());
                if (!(glyph.bits == cell) || glyph.advance != width || glyph.x != 0 || glyph.y != 0)
                    fail("pages", "a record decodes otherwise");
            }
        }
    }
}

// LVGL: every glyph the set holds, blank ones too, from the pen on the
// baseline, its ink boxed tightly.
void roundTripLvgl(const GlyphSet &set)
{
    QString error;
    const std::optional<LvglFont::Font> font = LvglFont::encode(set, &error);
    if (!font) {
        if (error.isEmpty() || error.contains(u'\n'))
            fail("lvgl", "a refusal without a one-line message");
        const bool fits = !set.isEmpty() && moderate(set)
                && std::all_of(set.glyphs().begin(), set.glyphs().end(),
                               [&set](const Glyph &glyph) { return set.advanceOf(glyph) >= 0; });
        if (fits)
            fail("lvgl", "a set that fits was refused");
        return;
    }
    const std::optional<std::vector<StoredGlyph>> decoded = LvglFont::decode(*font, &error);
    if (!decoded || decoded->size() != size_t(set.size()))
        fail("lvgl", "its own font does not decode to the set's glyphs");
    const std::vector<DrawnGlyph> drawn = FirmwareGlyphs::drawable(*decoded);
    for (size_t i = 0; i < drawn.size(); ++i) {
        const Glyph &glyph = set.at(qsizetype(i));
        if (drawn[i].codePoint != glyph.codePoint || drawn[i].advance != set.advanceOf(glyph)
            || drawn[i].pixels() != set.drawn(glyph).pixels())
            fail("lvgl", "a glyph decodes otherwise");
    }
}

// Arbitrary numbers as an LVGL font's tables and bytes as its bitmap, of
// any depth and compression: decoding reads nothing outside them.
void decodeRawLvgl(Input &in, QByteArrayView data)
{
    LvglFont::Font font;
    font.bpp = 1 + in.next() % 8;
    font.bitmapFormat = in.next() % 3;
    font.glyphs.resize(size_t(in.next() % 8));
    for (LvglFont::GlyphDsc &glyph : font.glyphs)
        glyph = {quint32(in.next()), in.next() << 4, in.next() % 20, in.next() % 20, int8_t(in.next()), int8_t(in.next())};
    for (int i = in.next() % 4; i > 0; --i) {
        LvglFont::Cmap cmap;
        cmap.type = LvglFont::CmapType(in.next() % 4);
        cmap.rangeStart = in.next();
        cmap.rangeLength = in.next();
        cmap.glyphIdStart = in.next() % 10;
        for (int k = in.next() % 6; k > 0; --k) {
            cmap.unicodeList.push_back(in.next());
            cmap.glyphIdOfs.push_back(in.next() % 10);
        }
        font.cmaps.push_back(cmap);
    }
    font.bitmap = data.toByteArray().left(in.next());
    QString error;
    if (!LvglFont::decode(font, &error) && error.isEmpty())
        fail("lvgl", "a refusal without a message");
}

// Arbitrary bytes as the parts of a GFX font and of a page font: decoding
// reads nothing outside them.
void decodeRawStructures(Input &in, QByteArrayView data)
{
    GfxFont::Font gfx;
    gfx.first = in.next();
    for (int i = in.next() % 16; i > 0; --i) {
        GfxFont::Glyph glyph;
        glyph.bitmapOffset = in.next();
        glyph.bitmapOffset |= in.next() << 8;
        glyph.width = in.next();
        glyph.height = in.next();
        glyph.xAdvance = in.next();
        glyph.xOffset = int8_t(in.next());
        glyph.yOffset = int8_t(in.next());
        gfx.glyphs.push_back(glyph);
    }
    gfx.bitmap = data.toByteArray().left(in.next());
    if (GfxFont::decode(gfx).size() != gfx.glyphs.size())
        fail("gfx", "not one decoded glyph per entry");

    PageLayout::Font pages;
    pages.first = in.next();
    pages.count = in.next();
    pages.cols = in.next() % 20;
    pages.rows = in.next() % 20;
    const uint8_t options = in.next();
    pages.options = {options & 1 ? PageLayout::Order::Column : PageLayout::Order::Page, (options & 2) != 0};
    pages.bytes = data.toByteArray();
    if (PageLayout::decode(pages).size() > size_t(pages.count))
        fail("pages", "more records decoded than the font holds");
}

void decodeRaw(const Format &format, QByteArrayView data)
{
    QString error;
    const std::optional<std::vector<DrawnGlyph>> glyphs = format.decode(data, &error);
    if (glyphs) {
        for (const DrawnGlyph &glyph : *glyphs) {
            if (glyph.codePoint < 0 || glyph.codePoint > format.lastCode)
                fail(format.name, "a decoded code out of range");
        }
        return;
    }
    bool number = false;
    const qint64 offset = error.section(u':', 0, 0).mid(5).toLongLong(&number);
    if (!error.startsWith(QLatin1String("byte ")) || !number || offset < 0 || offset > data.size()
        || error.contains(u'\n'))
        fail(format.name, "a refusal that does not name a byte inside the data");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    Input in(data, size);
    const GlyphSet set = makeSet(in);
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    for (const Format &format : kFormats) {
        roundTrip(format, upTo(set, format.lastCode));
        decodeRaw(format, bytes);
    }
    const GlyphSet eightBit = upTo(set, 0xFF);
    roundTripGfx(eightBit);
    roundTripPages(eightBit);
    roundTripLvgl(set);
    Input again(data, size);
    decodeRawStructures(again, bytes);
    decodeRawLvgl(again, bytes);
    return 0;
}
