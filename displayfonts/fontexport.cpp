#include "fontexport.h"

#include "cheader.h"
#include "csource.h"
#include "firmwareglyphs.h"
#include "gfxfont.h"
#include "lvglfont.h"
#include "max72xxfont.h"
#include "oledfont.h"
#include "pagelayout.h"
#include "u8g2font.h"
#include "u8x8font.h"

#include <QHash>
#include <QIODevice>

#include <algorithm>
#include <iterator>

namespace FontExport {

namespace {

// What a format's decoder draws of its export, for drawn().
struct Decoded
{
    std::optional<std::vector<DrawnGlyph>> glyphs;
    int lineHeight = 0;
    QString error;
};

PageLayout::Options pageOptions(const Options &options)
{
    return {options.pageOrder, options.widths};
}

using Sources = GlyphExport::Sources;

// Each format's writer and decoder, given the glyphs the export selected.

CSource::File writeLines(const GlyphSet &set, const Options &options, const Sources &sources)
{
    return {GlyphExport::text(set, options.lines, sources), QString()};
}

CSource::File writeC(const GlyphSet &set, const Options &options, const Sources &sources)
{
    return CHeader::write(set, options.name, options.lines.output.order, sources);
}

CSource::File writeGfx(const GlyphSet &set, const Options &options, const Sources &sources)
{
    return GfxFont::write(set, options.name, sources, options.leftOut.get());
}

CSource::File writeU8g2(const GlyphSet &set, const Options &options, const Sources &sources)
{
    return U8g2Font::write(set, options.name, sources, options.leftOut.get());
}

CSource::File writeU8x8(const GlyphSet &set, const Options &options, const Sources &sources)
{
    return U8x8Font::write(set, options.name, sources, options.leftOut.get());
}

CSource::File writePages(const GlyphSet &set, const Options &options, const Sources &sources)
{
    return PageLayout::write(set, options.name, pageOptions(options), sources);
}

CSource::File writeLvgl(const GlyphSet &set, const Options &options, const Sources &sources)
{
    return LvglFont::write(set, options.name, sources, options.leftOut.get());
}

CSource::File writeOled(const GlyphSet &set, const Options &options, const Sources &sources)
{
    return OledFont::write(set, options.name, sources, options.leftOut.get());
}

// Lines and C hold a cell's values and nothing of where it stands: a
// firmware draws the cell from the values, its top-left corner at the pen,
// and moves on by its width.
Decoded drawCells(const GlyphSet &set, const Options &options)
{
    const BitOrder order = options.lines.output.order;
    Decoded result{std::vector<DrawnGlyph>(), set.rows(), QString()};
    for (const Glyph &glyph : set.glyphs()) {
        const Drawing cell = order.drawing(order.values(glyph.bits), set.rows(), set.cols());
        result.glyphs->push_back({glyph.codePoint, set.cols(), 0, 0, cell});
    }
    return result;
}

Decoded drawGfx(const GlyphSet &set, const Options &)
{
    const GfxFont::Result encoded = GfxFont::encode(set);
    if (!encoded.font)
        return {std::nullopt, set.rows(), encoded.error};
    return {GfxFont::decode(*encoded.font), encoded.font->yAdvance, QString()};
}

Decoded drawU8g2(const GlyphSet &set, const Options &)
{
    Decoded result{std::nullopt, set.rows(), QString()};
    if (const std::optional<QByteArray> bytes = U8g2Font::encode(set, &result.error))
        result.glyphs = U8g2Font::decode(*bytes, &result.error);
    return result;
}

Decoded drawU8x8(const GlyphSet &set, const Options &)
{
    Decoded result{std::nullopt, PageLayout::pageCount(set.rows()) * 8, QString()};
    if (const std::optional<QByteArray> bytes = U8x8Font::encode(set, &result.error))
        result.glyphs = U8x8Font::decode(*bytes, &result.error);
    return result;
}

Decoded drawPages(const GlyphSet &set, const Options &options)
{
    const PageLayout::Result encoded = PageLayout::encode(set, pageOptions(options));
    if (!encoded.font)
        return {std::nullopt, set.rows(), encoded.error};
    return {PageLayout::decode(*encoded.font), PageLayout::pageCount(set.rows()) * 8, QString()};
}

Decoded drawLvgl(const GlyphSet &set, const Options &)
{
    Decoded result{std::nullopt, set.rows(), QString()};
    if (const std::optional<LvglFont::Font> font = LvglFont::encode(set, &result.error)) {
        if (const std::optional<std::vector<StoredGlyph>> glyphs = LvglFont::decode(*font, &result.error)) {
            result.glyphs = FirmwareGlyphs::drawable(*glyphs);
            result.lineHeight = font->lineHeight;
        }
    }
    return result;
}

Decoded drawOled(const GlyphSet &set, const Options &)
{
    Decoded result{std::nullopt, set.rows(), QString()};
    if (const std::optional<QByteArray> bytes = OledFont::encode(set, &result.error)) {
        if (const std::optional<OledFont::Decoded> font = OledFont::decode(*bytes, &result.error)) {
            result.glyphs = FirmwareGlyphs::drawable(font->glyphs);
            result.lineHeight = font->height;
        }
    }
    return result;
}

CSource::File writeMax72xx(const GlyphSet &set, const Options &options, const Sources &sources)
{
    return Max72xxFont::write(set, options.name, sources, options.leftOut.get());
}

Decoded drawMax72xx(const GlyphSet &set, const Options &)
{
    Decoded result{std::nullopt, set.rows(), QString()};
    if (const std::optional<QByteArray> bytes = Max72xxFont::encode(set, &result.error)) {
        if (const std::optional<Max72xxFont::Decoded> font = Max72xxFont::decode(*bytes, &result.error)) {
            result.glyphs = FirmwareGlyphs::drawable(font->glyphs);
            result.lineHeight = font->rows;
        }
    }
    return result;
}

constexpr unsigned bit(Choice choice)
{
    return 1u << unsigned(choice);
}

struct FormatInfo
{
    Format format;
    const char *name;
    const char *title;
    const char *description;
    int highestCodePoint;
    unsigned choices; // bits of Choice
    const char *suffix;
    CSource::File (*write)(const GlyphSet &, const Options &, const Sources &);
    Decoded (*draw)(const GlyphSet &, const Options &);
    // Names that the library's header declares, which a font cannot take.
    bool (*isLibraryName)(QStringView name) = nullptr;
    // Its fonts in C source, and one of them read back; see readerOf().
    decltype(Reader::find) find = nullptr;
    decltype(Reader::read) read = nullptr;
};

constexpr unsigned kNamed = bit(Choice::Name);

const FormatInfo kFormats[] = {
    {Format::Lines, "lines", "Copy to Text lines", "a Copy to Text line per glyph", CodePoints::kMax,
     bit(Choice::Orientation) | bit(Choice::Prefix) | bit(Choice::Comments), ".h", writeLines, drawCells},
    {Format::C, "c", "C header of readout values", "a C header with an array of the readout values, a row per glyph",
     CodePoints::kMax, kNamed | bit(Choice::Orientation), ".h", writeC, drawCells, nullptr, CHeader::find,
     CHeader::read},
    {Format::Gfx, "gfx", "GFX font (Adafruit GFX)", "a GFXfont for the Adafruit GFX library", 0xFF, kNamed, ".h",
     writeGfx, drawGfx, GfxFont::isLibraryName, GfxFont::find, GfxFont::read},
    {Format::U8g2, "u8g2", "u8g2 font", "a font for u8g2", 0xFFFF, kNamed, ".c", writeU8g2, drawU8g2, nullptr,
     U8g2Font::find, U8g2Font::read},
    {Format::U8x8, "u8x8", "u8x8 font of 8 x 8 tiles", "a font of 8 x 8 tiles for u8x8", 0xFF, kNamed, ".c",
     writeU8x8, drawU8x8, nullptr, U8x8Font::find, U8x8Font::read},
    {Format::Pages, "pages", "Pages of 8 rows (SSD1306, SH1106, ST7565, KS0108)",
     "a C header of each column's 8-row pages, bit 0 the top row, as page-addressed displays (SSD1306, SH1106, "
     "ST7565, KS0108) take them",
     0xFF, kNamed | bit(Choice::PageOrder) | bit(Choice::Widths), ".h", writePages, drawPages, nullptr,
     PageLayout::find, PageLayout::read},
    {Format::Oled, "oled", "OLED font (ThingPulse SSD1306/SH1106)",
     "a font for ThingPulse's SSD1306/SH1106 OLED library (setFont, drawString)", 0xFF, kNamed, ".h", writeOled,
     drawOled, nullptr, OledFont::find, OledFont::read},
    {Format::Lvgl, "lvgl", "LVGL font (lv_font_t, 1 bit)", "a C file of an lv_font_t for LVGL 8.3 and 9", CodePoints::kMax,
     kNamed, ".c", writeLvgl, drawLvgl, nullptr, LvglFont::find, LvglFont::read},
    {Format::Max72xx, "max72xx", "LED-matrix font (MD_MAX72XX / MD_Parola)",
     "a font for MAX7219 LED matrices with MD_MAX72XX or MD_Parola (setFont)", Max72xxFont::kLastCode, kNamed, ".h",
     writeMax72xx, drawMax72xx, nullptr, Max72xxFont::find, Max72xxFont::read},
};

const FormatInfo &info(Format format)
{
    return *std::find_if(std::begin(kFormats), std::end(kFormats),
                         [format](const FormatInfo &info) { return info.format == format; });
}

QString glyphText(const Glyph &glyph)
{
    return GlyphExport::label(glyph);
}

} // namespace

std::vector<Format> formats()
{
    std::vector<Format> all;
    for (const FormatInfo &format : kFormats)
        all.push_back(format.format);
    return all;
}

QLatin1String name(Format format)
{
    return QLatin1String(info(format).name);
}

std::optional<Format> formatNamed(QStringView text)
{
    for (const FormatInfo &format : kFormats) {
        if (text == QLatin1String(format.name))
            return format.format;
    }
    return std::nullopt;
}

QString nameList()
{
    QStringList names;
    for (const FormatInfo &format : kFormats)
        names.append(QLatin1String(format.name));
    return names.join(QLatin1String(", "));
}

QString title(Format format)
{
    return QString::fromUtf8(info(format).title);
}

QString description(Format format)
{
    return QString::fromUtf8(info(format).description);
}

int highestCodePoint(Format format)
{
    return info(format).highestCodePoint;
}

bool takes(Format format, Choice choice)
{
    return info(format).choices & bit(choice);
}

QLatin1String suffix(Format format)
{
    return QLatin1String(info(format).suffix);
}

bool isName(Format format, QStringView name, QString *why)
{
    if (!CSource::isIdentifier(name, why))
        return false;
    if (!info(format).isLibraryName || !info(format).isLibraryName(name))
        return true;
    if (why)
        *why = QStringLiteral("'%1' is a name that the library's header declares").arg(name);
    return false;
}

Reader readerOf(Format format)
{
    return {info(format).find, info(format).read};
}

Selection select(const GlyphSet &set, const Options &options)
{
    const bool lines = options.format == Format::Lines;
    struct Taken
    {
        int codePoint;
        int source;
        qsizetype index;
    };
    std::vector<Taken> taken;
    for (qsizetype i = 0; i < set.size(); ++i) {
        const Glyph &glyph = set.at(i);
        if (!GlyphExport::keeps(glyph, options.lines))
            continue;
        if (glyph.codePoint == Glyph::kNoCodePoint) {
            // A glyph that stands for no character cannot be drawn by a
            // display library; the lines name it in their comment.
            if (lines)
                taken.push_back({Glyph::kNoCodePoint, Glyph::kNoCodePoint, i});
            continue;
        }
        taken.push_back({CodePoints::remapped(options.remaps, glyph.codePoint), glyph.codePoint, i});
    }

    Selection selection;
    if (taken.empty()) {
        selection.error = !options.lines.ranges.isEmpty() ? QStringLiteral("no glyph lies in the code points chosen")
                : set.isEmpty()                           ? QStringLiteral("the font holds no glyphs")
                                                          : QStringLiteral("the font holds no glyph with a code point");
        return selection;
    }
    if (!lines) {
        std::stable_sort(taken.begin(), taken.end(),
                         [](const Taken &a, const Taken &b) { return a.codePoint < b.codePoint; });
        for (size_t i = 0; i < taken.size(); ++i) {
            const Glyph &glyph = set.at(taken[i].index);
            if (taken[i].codePoint > highestCodePoint(options.format)) {
                const QString where = taken[i].codePoint == taken[i].source
                        ? glyphText(glyph)
                        : QStringLiteral("%1, placed at %2").arg(glyphText(glyph), CodePoints::name(taken[i].codePoint));
                selection.error = QStringLiteral("%1 lies beyond the code points a %2 holds (up to %3): "
                                                 "choose other code points, or give it another place")
                                          .arg(where, title(options.format),
                                               CodePoints::name(highestCodePoint(options.format)));
                return selection;
            }
            if (i > 0 && taken[i].codePoint == taken[i - 1].codePoint) {
                selection.error = QStringLiteral("%1 and %2 would both stand at %3")
                                          .arg(glyphText(set.at(taken[i - 1].index)), glyphText(glyph),
                                               CodePoints::name(taken[i].codePoint));
                return selection;
            }
        }
    }

    GlyphSet chosen = set.emptyCopy();
    chosen.reserve(qsizetype(taken.size()));
    selection.sourceCodePoints.reserve(taken.size());
    for (const Taken &one : taken) {
        Glyph glyph = set.at(one.index);
        glyph.codePoint = one.codePoint;
        chosen.append(std::move(glyph));
        selection.sourceCodePoints.push_back(one.source);
    }
    selection.set = std::move(chosen);
    return selection;
}

Result write(const GlyphSet &set, const Options &options)
{
    Result result;
    if (takes(options.format, Choice::Name) && !isName(options.format, options.name, &result.error))
        return result;
    const Selection selection = select(set, options);
    if (!selection.set) {
        result.error = selection.error;
        return result;
    }
    Options chosen = options;
    chosen.lines.ranges.clear(); // the selection holds just the glyphs they take
    const CSource::File file = info(options.format).write(*selection.set, chosen, selection.sourceCodePoints);
    return {file.text, file.error};
}

Drawn drawn(const GlyphSet &set, const Options &options)
{
    Drawn result;
    const Selection selection = select(set, options);
    if (!selection.set) {
        result.error = selection.error;
        return result;
    }
    const GlyphSet &chosen = *selection.set;
    // What the display would show is what the library reads back from the
    // exported bytes, not the set itself.
    Decoded decoded = info(options.format).draw(chosen, options);
    result.lineHeight = decoded.lineHeight;
    result.error = decoded.error;
    if (!decoded.glyphs)
        return result;
    // Each glyph the export took stands for the character it was exported
    // for; an empty entry a format keeps between them stands for none.
    QHash<int, int> sources;
    sources.reserve(chosen.size());
    for (qsizetype i = 0; i < chosen.size(); ++i)
        sources.insert(chosen.at(i).codePoint, selection.sourceCodePoints[size_t(i)]);
    for (DrawnGlyph &glyph : *decoded.glyphs)
        glyph.codePoint = sources.value(glyph.codePoint, Glyph::kNoCodePoint);
    result.glyphs = std::move(*decoded.glyphs);
    return result;
}

GlyphExport::Difference check(QIODevice &existing, const GlyphSet &set, const Options &options)
{
    if (options.format == Format::Lines && options.remaps.isEmpty())
        return GlyphExport::check(existing, set, options.lines);

    const Result expected = write(set, options);
    if (!expected.ok()) {
        GlyphExport::Difference difference;
        difference.line = 1;
        difference.what = expected.error;
        return difference;
    }
    return compare(existing, expected.text.toUtf8());
}

GlyphExport::Difference compare(QIODevice &existing, const QByteArray &wanted)
{
    GlyphExport::Difference difference;
    const QByteArray found = existing.read(wanted.size() + 1);
    if (found == wanted)
        return difference;
    qsizetype at = 0;
    while (at < found.size() && at < wanted.size() && found[at] == wanted[at])
        ++at;
    difference.line = wanted.left(at).count('\n') + 1;
    difference.what = found.size() > wanted.size() && at == wanted.size()
            ? QStringLiteral("the text goes on after the export's end")
            : at == found.size() ? QStringLiteral("the text ends before the export does")
                                 : QStringLiteral("the text differs from the export");
    return difference;
}

} // namespace FontExport
