#include "bdfformat.h"

#include "bdfparser.h"

#include <algorithm>

// Reading a BDF font: the parser's glyphs placed in the matrix they make,
// or only those of the code points asked for, with the font's lines kept
// for saving into it.
namespace BdfFormat {

namespace {

// The font whole beside `set`, the glyphs of it that were opened, for a
// save into the file.
std::shared_ptr<Source> source(ParsedFont &font, const QByteArray &bytes, const GlyphSet &set,
                               const std::vector<qsizetype> &opened)
{
    auto source = std::make_shared<Source>();
    // Bytes that a view maps go when it does, and the source outlives it:
    // bytes that are not the caller's own alone are copied.
    source->bytes = bytes.isDetached() ? bytes : QByteArray(bytes.constData(), bytes.size());
    source->fontBox = font.fontBox;
    source->fontBoxLine = font.fontBoxLine;
    source->startProperties = font.startProperties;
    source->properties = std::move(font.propertyLines);
    source->endProperties = font.endProperties;
    source->charsLine = font.charsLine >= 0 ? font.charsLine : font.glyphs.front().lines.begin;
    source->glyphs.reserve(font.glyphs.size());
    for (const RawGlyph &raw : font.glyphs)
        source->glyphs.push_back(raw.lines);
    source->opened = opened;
    source->asRead = set;
    return source;
}

// The set of the glyphs of `font` that `options` take, placed in the matrix
// they make together.
ReadResult toSet(ParsedFont &font, const QByteArray &bytes, const QString &fileName, const Options &options)
{
    std::vector<const GlyphExtent *> extents;
    extents.reserve(font.glyphs.size());
    for (const RawGlyph &raw : font.glyphs)
        extents.push_back(&raw.extent);
    const FontSubset::Layout layout = FontSubset::layOut(font.fontBox, font.whole, extents, options);
    if (!layout.misfit.isEmpty())
        return ReadResult::atLine(fileName, layout.line, layout.misfit);

    // A font smaller than the smallest matrix gets the smallest, its glyphs
    // at the lower left, so that the baseline stays where it was.
    Box matrix = layout.cell;
    matrix.w = std::max(matrix.w, GlyphSet::kMinSize);
    matrix.h = std::max(matrix.h, GlyphSet::kMinSize);
    GlyphSet set(matrix.w, matrix.h);
    set.fontName = font.fontName;
    set.ascent = matrix.h + matrix.y;
    set.xOffset = matrix.x;
    set.properties = std::move(font.properties);
    set.exportOptions = font.options;
    set.reserve(layout.glyphs);
    const bool part = layout.glyphs < qsizetype(font.glyphs.size());
    std::vector<qsizetype> opened;
    const int top = matrix.y + matrix.h;
    for (size_t i = 0; i < font.glyphs.size(); ++i) {
        if (!layout.taken[i])
            continue;
        RawGlyph &raw = font.glyphs[i];
        if (part)
            opened.push_back(qsizetype(i));
        Glyph glyph;
        glyph.codePoint = raw.extent.codePoint;
        glyph.name = std::move(raw.extent.name);
        glyph.advance = raw.advance;
        glyph.bits = Drawing(matrix.h, matrix.w);
        const Box &ink = raw.extent.ink;
        const int firstRow = top - (ink.y + ink.h);
        const int firstCol = ink.x - matrix.x;
        // A raw row holds the ink's leftmost pixel in its top bit; a
        // drawing's row holds column c in bit c.
        for (int r = 0; r < ink.h; ++r) {
            const quint32 bits = Drawing::reversed(raw.rows[size_t(r)]);
            glyph.bits.setRowBits(firstRow + r, firstCol >= 0 ? bits << firstCol : bits >> -firstCol);
        }
        set.append(std::move(glyph));
    }
    ReadResult result(std::move(set), QString(), std::move(font.notes));
    if (part) {
        result.fontGlyphs = qsizetype(font.glyphs.size());
        result.bdfSource = source(font, bytes, *result.set, opened);
    }
    return result;
}

Scan toScan(ParsedFont &font)
{
    Scan result;
    result.fontBox = font.fontBox;
    result.whole = font.whole;
    result.glyphs.reserve(font.glyphs.size());
    for (RawGlyph &raw : font.glyphs)
        result.glyphs.push_back(std::move(raw.extent));
    return result;
}

} // namespace

ReadResult read(const QByteArray &bytes, const QString &fileName, const Options &options)
{
    BdfParser parser(bytes);
    if (!parser.parse())
        return ReadResult::atLine(fileName, parser.lineNumber(), parser.error());
    return toSet(parser.font(), bytes, fileName, options);
}

Scan scan(const QByteArray &bytes, const QString &fileName)
{
    BdfParser parser(bytes);
    if (!parser.parse()) {
        Scan failed;
        failed.error = ReadResult::atLine(fileName, parser.lineNumber(), parser.error()).error;
        return failed;
    }
    return toScan(parser.font());
}

std::shared_ptr<const Source> sourceFor(const QByteArray &bytes, const GlyphSet &set, std::vector<qsizetype> opened)
{
    BdfParser parser(bytes);
    if (!parser.parse() || parser.font().glyphs.empty() || qsizetype(opened.size()) != set.size())
        return nullptr;
    ParsedFont &font = parser.font();
    for (qsizetype index : opened) {
        if (index < 0 || index >= qsizetype(font.glyphs.size()))
            return nullptr;
    }
    return source(font, bytes, set, opened);
}

namespace {
// The code points that fit, suggested in one line: as many whole ranges as
// fit this many characters.
constexpr qsizetype kSuggestionChars = 60;

QString suggestion(const CodePoints::Ranges &ranges)
{
    CodePoints::Ranges shown;
    for (const auto &range : ranges) {
        shown.append(range);
        if (shown.size() > 1 && CodePoints::format(shown).size() > kSuggestionChars) {
            shown.removeLast();
            return CodePoints::format(shown) + QStringLiteral(" and more");
        }
    }
    return CodePoints::format(shown);
}
} // namespace

ReadResult readFor(const QByteArray &bytes, const QString &fileName, const CodePoints::Ranges &ranges)
{
    ReadResult whole = read(bytes, fileName);
    if (whole.ok())
        return whole;
    const Scan scanned = scan(bytes, fileName);
    if (!scanned.ok())
        return whole; // damaged, not too large
    ReadResult result = std::move(whole);
    CodePoints::Ranges fitting;
    if (!ranges.isEmpty()) {
        result = read(bytes, fileName, {ranges});
        if (result.ok())
            return result;
        fitting = defaultSubset(scanned, ranges);
    }
    if (fitting.isEmpty())
        fitting = defaultSubset(scanned);
    if (!fitting.isEmpty())
        result.error += QStringLiteral("; these code points fit (--range): %1").arg(suggestion(fitting));
    return result;
}

} // namespace BdfFormat
