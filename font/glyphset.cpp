#include "glyphset.h"

#include <algorithm>

GlyphSet::GlyphSet(int cols, int rows)
    : ascent(std::clamp(rows, kMinSize, kMaxSize))
    , m_cols(std::clamp(cols, kMinSize, kMaxSize))
    , m_rows(std::clamp(rows, kMinSize, kMaxSize))
{
}

GlyphSet GlyphSet::emptyCopy() const
{
    GlyphSet copy(m_cols, m_rows);
    copy.fontName = fontName;
    copy.ascent = ascent;
    copy.xOffset = xOffset;
    copy.properties = properties;
    copy.exportOptions = exportOptions;
    return copy;
}

GlyphSet::GlyphSet(int cols, int rows, std::vector<Glyph> glyphs)
    : GlyphSet(cols, rows)
{
    m_glyphs = std::move(glyphs);
    for (size_t i = 0; i < m_glyphs.size(); ++i) {
        m_glyphs[i].bits = fitted(m_glyphs[i].bits);
        m_rising = m_rising && (i == 0 || m_glyphs[i - 1].codePoint < m_glyphs[i].codePoint);
    }
}

Drawing GlyphSet::fitted(const Drawing &bits) const
{
    if (bits.rows() == m_rows && bits.cols() == m_cols)
        return bits;
    Drawing result(m_rows, m_cols);
    for (int r = 0; r < m_rows; ++r) {
        for (int c = 0; c < m_cols; ++c)
            result.set(r, c, bits.isSet(r, c));
    }
    return result;
}

void GlyphSet::append(Glyph glyph)
{
    glyph.bits = fitted(glyph.bits);
    m_rising = m_rising && (m_glyphs.empty() || m_glyphs.back().codePoint < glyph.codePoint);
    m_glyphs.push_back(std::move(glyph));
}

void GlyphSet::setBits(qsizetype index, const Drawing &bits)
{
    if (index < 0 || index >= size())
        return;
    m_glyphs[size_t(index)].bits = fitted(bits);
}

void GlyphSet::setAdvance(qsizetype index, std::optional<int> advance)
{
    if (index >= 0 && index < size())
        m_glyphs[size_t(index)].advance = advance;
}

qsizetype GlyphSet::indexOf(int codePoint) const
{
    if (m_rising) {
        const auto at = std::lower_bound(m_glyphs.begin(), m_glyphs.end(), codePoint,
                                         [](const Glyph &glyph, int code) { return glyph.codePoint < code; });
        return at == m_glyphs.end() || at->codePoint != codePoint ? -1 : qsizetype(at - m_glyphs.begin());
    }
    const auto found = std::find_if(m_glyphs.begin(), m_glyphs.end(),
                                    [codePoint](const Glyph &glyph) { return glyph.codePoint == codePoint; });
    return found == m_glyphs.end() ? -1 : qsizetype(found - m_glyphs.begin());
}
