#include "fontexport.h"

#include "cheader.h"
#include "csource.h"
#include "gfxfont.h"
#include "pagelayout.h"
#include "u8g2font.h"
#include "u8x8font.h"

#include <QHash>
#include <QIODevice>

#include <algorithm>
#include <iterator>

namespace FontExport {

namespace {

struct FormatInfo
{
    Format format;
    const char *name;
    const char *title;
    int highestCodePoint;
};

const FormatInfo kFormats[] = {
    {Format::Lines, "lines", "Copy to Text lines", CodePoints::kMax},
    {Format::C, "c", "C header of readout values", CodePoints::kMax},
    {Format::Gfx, "gfx", "GFX font (Adafruit GFX)", 0xFF},
    {Format::U8g2, "u8g2", "u8g2 font", 0xFFFF},
    {Format::U8x8, "u8x8", "u8x8 font of 8 x 8 tiles", 0xFF},
    {Format::Pages, "pages", "Pages of 8 rows (SSD1306, SH1106, ST7565, KS0108)", 0xFF},
};

const FormatInfo &info(Format format)
{
    return *std::find_if(std::begin(kFormats), std::end(kFormats),
                         [format](const FormatInfo &info) { return info.format == format; });
}

// A copy of the set's font-wide facts, with no glyphs.
GlyphSet emptyLike(const GlyphSet &set)
{
    GlyphSet copy(set.cols(), set.rows());
    copy.fontName = set.fontName;
    copy.ascent = set.ascent;
    copy.xOffset = set.xOffset;
    copy.properties = set.properties;
    copy.exportOptions = set.exportOptions;
    return copy;
}

QString glyphText(const Glyph &glyph)
{
    return GlyphExport::label(glyph);
}

PageLayout::Options pageOptions(const Options &options)
{
    PageLayout::Options pages;
    pages.order = options.pageOrder == PageOrder::Page ? PageLayout::Order::Page : PageLayout::Order::Column;
    pages.widthByte = options.widths;
    return pages;
}

Result fromFile(const CSource::File &file)
{
    return {file.text, file.error};
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

int highestCodePoint(Format format)
{
    return info(format).highestCodePoint;
}

QLatin1String name(PageOrder order)
{
    return order == PageOrder::Page ? QLatin1String("page") : QLatin1String("column");
}

std::optional<PageOrder> pageOrderNamed(QStringView text)
{
    for (const PageOrder order : {PageOrder::Column, PageOrder::Page}) {
        if (text == name(order))
            return order;
    }
    return std::nullopt;
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

    GlyphSet chosen = emptyLike(set);
    chosen.reserve(qsizetype(taken.size()));
    selection.sourceCodePoints.reserve(taken.size());
    for (const Taken &one : taken) {
        Glyph glyph = set.at(one.index);
        if (one.codePoint != one.source)
            glyph.placedFrom = one.source;
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
    if (options.format != Format::Lines && !CSource::isIdentifier(options.name, &result.error))
        return result;
    const Selection selection = select(set, options);
    if (!selection.set) {
        result.error = selection.error;
        return result;
    }
    GlyphExport::Options lines = options.lines;
    lines.ranges.clear(); // the selection holds just the glyphs they take
    switch (options.format) {
    case Format::Lines:
        result.text = GlyphExport::text(*selection.set, lines);
        break;
    case Format::U8g2:
        return fromFile(U8g2Font::write(*selection.set, options.name));
    case Format::U8x8:
        return fromFile(U8x8Font::write(*selection.set, options.name));
    case Format::C:
        return fromFile(CHeader::write(*selection.set, options.name, options.lines.output.order));
    case Format::Gfx:
        return fromFile(GfxFont::write(*selection.set, options.name));
    case Format::Pages:
        return fromFile(PageLayout::write(*selection.set, options.name, pageOptions(options)));
    }
    return result;
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
    result.lineHeight = chosen.rows();
    // What the display would show is what the library reads back from the
    // exported bytes, not the set itself.
    std::optional<std::vector<DrawnGlyph>> glyphs;
    switch (options.format) {
    case Format::U8g2:
        if (const std::optional<QByteArray> bytes = U8g2Font::encode(chosen, &result.error))
            glyphs = U8g2Font::decode(*bytes, &result.error);
        break;
    case Format::U8x8:
        if (const std::optional<QByteArray> bytes = U8x8Font::encode(chosen, &result.error))
            glyphs = U8x8Font::decode(*bytes, &result.error);
        result.lineHeight = (chosen.rows() + 7) / 8 * 8;
        break;
    case Format::Gfx: {
        const GfxFont::Result encoded = GfxFont::encode(chosen);
        if (encoded.font) {
            glyphs = GfxFont::decode(*encoded.font);
            result.lineHeight = encoded.font->yAdvance;
        } else {
            result.error = encoded.error;
        }
        break;
    }
    case Format::Pages: {
        const PageLayout::Result encoded = PageLayout::encode(chosen, pageOptions(options));
        if (encoded.font) {
            glyphs = PageLayout::decode(*encoded.font);
            result.lineHeight = (chosen.rows() + 7) / 8 * 8;
        } else {
            result.error = encoded.error;
        }
        break;
    }
    case Format::Lines:
    case Format::C:
    {
        // Lines and C hold a cell's values and nothing of where it stands:
        // a firmware draws the cell from the values, its top-left corner at
        // the pen, and moves on by its width.
        const BitOrder order = options.lines.output.order;
        glyphs.emplace();
        for (const Glyph &glyph : chosen.glyphs()) {
            const Drawing cell = order.drawing(order.values(glyph.bits), chosen.rows(), chosen.cols());
            glyphs->push_back({glyph.codePoint, chosen.cols(), 0, 0, cell});
        }
        break;
    }
    }
    if (!glyphs)
        return result;
    // Each glyph the export took stands for the character it was exported
    // for; an empty entry a format keeps between them stands for none.
    QHash<int, int> sources;
    sources.reserve(chosen.size());
    for (qsizetype i = 0; i < chosen.size(); ++i)
        sources.insert(chosen.at(i).codePoint, selection.sourceCodePoints[size_t(i)]);
    for (DrawnGlyph &glyph : *glyphs)
        glyph.codePoint = sources.value(glyph.codePoint, Glyph::kNoCodePoint);
    result.glyphs = std::move(*glyphs);
    return result;
}

GlyphExport::Difference check(QIODevice &existing, const GlyphSet &set, const Options &options)
{
    if (options.format == Format::Lines && options.remaps.isEmpty())
        return GlyphExport::check(existing, set, options.lines);

    GlyphExport::Difference difference;
    const Result expected = write(set, options);
    if (!expected.ok()) {
        difference.line = 1;
        difference.what = expected.error;
        return difference;
    }
    const QByteArray wanted = expected.text.toUtf8();
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
