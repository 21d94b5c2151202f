#include "fontsubset.h"

#include <QSet>

#include <algorithm>
#include <map>

namespace FontSubset {

QString quotedName(const QByteArray &name)
{
    return QStringLiteral("'%1'").arg(QString::fromUtf8(name));
}

Box Box::united(const Box &other) const
{
    if (other.isEmpty())
        return *this;
    if (isEmpty())
        return other;
    const int left = std::min(x, other.x);
    const int bottom = std::min(y, other.y);
    const int right = std::max(x + w, other.x + other.w);
    const int top = std::max(y + h, other.y + other.h);
    return {right - left, top - bottom, left, bottom};
}

namespace {

constexpr int kLargest = GlyphSet::kMaxSize;

// Which code points are taken, looked up at once.
class CodePointFilter
{
public:
    explicit CodePointFilter(const std::optional<CodePoints::Ranges> &ranges)
        : m_all(!ranges)
    {
        if (m_all)
            return;
        m_wanted.resize(size_t(CodePoints::kMax) + 1);
        for (const auto &[from, to] : *ranges) {
            for (int c = std::max(from, 0); c <= std::min(to, int(CodePoints::kMax)); ++c)
                m_wanted[size_t(c)] = true;
        }
    }

    bool takes(int codePoint) const
    {
        return m_all || (codePoint >= 0 && codePoint <= int(CodePoints::kMax) && m_wanted[size_t(codePoint)]);
    }

private:
    bool m_all;
    std::vector<bool> m_wanted;
};

// "glyph 'Agrave' (U+00C0)", "glyph 'logo'", "glyph U+00C0".
QString glyphLabel(const GlyphExtent &glyph)
{
    if (glyph.codePoint == Glyph::kNoCodePoint)
        return QStringLiteral("glyph %1").arg(quotedName(glyph.name));
    if (glyph.name.isEmpty())
        return QStringLiteral("glyph %1").arg(CodePoints::name(glyph.codePoint));
    return QStringLiteral("glyph %1 (%2)").arg(quotedName(glyph.name), CodePoints::name(glyph.codePoint));
}

// Printable ASCII first, then the other code points in order, unencoded
// glyphs last: the order in which glyphs are taken while they fit.
int takingRank(int codePoint)
{
    if (codePoint >= CodePoints::kFirstPrintable && codePoint <= CodePoints::kLastPrintable)
        return codePoint;
    if (codePoint == Glyph::kNoCodePoint)
        return CodePoints::kMax + 0x80;
    return codePoint + 0x7F;
}

QString largest()
{
    return QStringLiteral("more than the %1 x %1 this program edits").arg(kLargest);
}

// The matrix of the glyphs taken, in the order they are taken.
Layout cellOf(const Box &fontBox, const Box &whole, std::vector<const GlyphExtent *> taken)
{
    Layout result;
    if (whole.fits()) {
        result.cell = whole.isEmpty() ? Box{0, 0, fontBox.x, fontBox.y} : whole;
        return result;
    }
    std::stable_sort(taken.begin(), taken.end(), [](const GlyphExtent *a, const GlyphExtent *b) {
        return takingRank(a->codePoint) < takingRank(b->codePoint);
    });
    for (const GlyphExtent *glyph : taken) {
        if (!glyph->ink.fits()) {
            result.misfit = QStringLiteral("%1 has %2 x %3 pixels of ink, %4")
                                    .arg(glyphLabel(*glyph))
                                    .arg(glyph->ink.w)
                                    .arg(glyph->ink.h)
                                    .arg(largest());
            result.line = glyph->line;
            return result;
        }
    }
    Box ink;
    for (const GlyphExtent *glyph : taken) {
        const Box next = ink.united(glyph->ink);
        if (!next.fits()) {
            result.misfit = QStringLiteral("%1, %2 x %3 pixels of ink, does not fit with the others taken: together "
                                           "they are %4 x %5 pixels, %6")
                                    .arg(glyphLabel(*glyph))
                                    .arg(glyph->ink.w)
                                    .arg(glyph->ink.h)
                                    .arg(next.w)
                                    .arg(next.h)
                                    .arg(largest());
            result.line = glyph->line;
            return result;
        }
        ink = next;
    }
    // The font's box is kept in each direction where it fits with the ink,
    // so that a monospaced font keeps its width even where no glyph fills it.
    Box cell = ink.isEmpty() ? Box{0, 0, fontBox.x, fontBox.y} : ink;
    const Box both = ink.united(fontBox);
    if (both.w <= kLargest) {
        cell.x = both.x;
        cell.w = both.w;
    }
    if (both.h <= kLargest) {
        cell.y = both.y;
        cell.h = both.h;
    }
    result.cell = cell;
    return result;
}

std::vector<const GlyphExtent *> pointers(const Scan &scan)
{
    std::vector<const GlyphExtent *> glyphs;
    glyphs.reserve(scan.glyphs.size());
    for (const GlyphExtent &glyph : scan.glyphs)
        glyphs.push_back(&glyph);
    return glyphs;
}

} // namespace

Layout layOut(const Box &fontBox, const Box &whole, const std::vector<const GlyphExtent *> &glyphs,
              const Options &options)
{
    const CodePointFilter filter(options.codePoints);
    std::vector<bool> isTaken(glyphs.size());
    std::vector<const GlyphExtent *> taken;
    taken.reserve(glyphs.size());
    for (size_t i = 0; i < glyphs.size(); ++i) {
        if (filter.takes(glyphs[i]->codePoint)) {
            isTaken[i] = true;
            taken.push_back(glyphs[i]);
        }
    }
    Layout result = cellOf(fontBox, whole, taken);
    result.taken = std::move(isTaken);
    result.glyphs = qsizetype(taken.size());
    return result;
}

Fit fit(const Scan &scan, const Options &options)
{
    const Layout layout = layOut(scan.fontBox, scan.whole, pointers(scan), options);
    Fit result;
    result.glyphs = layout.glyphs;
    result.misfit = layout.misfit;
    result.line = layout.line;
    if (result.fits()) {
        result.cols = std::max(layout.cell.w, GlyphSet::kMinSize);
        result.rows = std::max(layout.cell.h, GlyphSet::kMinSize);
    }
    return result;
}

CodePoints::Ranges defaultSubset(const Scan &scan, const std::optional<CodePoints::Ranges> &within)
{
    // Every glyph of a code point is taken or none: its inks as one.
    std::map<int, Box> inks;
    for (const GlyphExtent &glyph : scan.glyphs) {
        if (glyph.codePoint != Glyph::kNoCodePoint) {
            Box &ink = inks[glyph.codePoint];
            ink = ink.united(glyph.ink);
        }
    }
    const CodePointFilter filter(within);
    std::vector<int> order;
    for (const auto &[codePoint, ink] : inks) {
        if (filter.takes(codePoint) && ink.fits())
            order.push_back(codePoint);
    }
    std::stable_sort(order.begin(), order.end(), [](int a, int b) { return takingRank(a) < takingRank(b); });
    Box together;
    QSet<int> taken;
    for (int codePoint : order) {
        const Box next = together.united(inks[codePoint]);
        if (next.fits()) {
            together = next;
            taken.insert(codePoint);
        }
    }
    CodePoints::Ranges ranges;
    bool open = false;
    for (const auto &[codePoint, ink] : inks) {
        if (!taken.contains(codePoint)) {
            open = false;
        } else if (open) {
            ranges.last().second = codePoint;
        } else {
            ranges.append({codePoint, codePoint});
            open = true;
        }
    }
    return ranges;
}

LeftOut leftOut(const Scan &scan, const CodePoints::Ranges &ranges, int few)
{
    const CodePointFilter filter(ranges);
    LeftOut result;
    std::vector<int> left;
    std::vector<bool> asciiTaken(CodePoints::kLastPrintable + 1);
    for (const GlyphExtent &glyph : scan.glyphs) {
        if (!filter.takes(glyph.codePoint)) {
            ++result.glyphs;
            if (glyph.codePoint != Glyph::kNoCodePoint)
                left.push_back(glyph.codePoint);
        } else if (glyph.codePoint <= CodePoints::kLastPrintable) {
            asciiTaken[size_t(glyph.codePoint)] = true;
        }
    }
    // Only the lowest few are wanted: no need to sort them all.
    const size_t shown = std::min(left.size(), size_t(std::max(few, 0)));
    std::partial_sort(left.begin(), left.begin() + qsizetype(shown), left.end());
    result.first = QList<int>(left.begin(), left.begin() + qsizetype(shown));
    for (int c = CodePoints::kFirstPrintable; c <= CodePoints::kLastPrintable; ++c) {
        if (!asciiTaken[size_t(c)])
            result.missingAscii.append(c);
    }
    return result;
}

} // namespace FontSubset
