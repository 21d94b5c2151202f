#include "textpreview.h"

#include <algorithm>
#include <climits>

TextPreview::TextPreview(FontExport::Drawn font)
    : m_font(std::move(font))
{
    // The rows the ink of the glyphs a text can reach spans around the
    // baseline: the tallest top places the first line, and the whole span is
    // the line height when the export gives none.
    int top = INT_MAX;
    int bottom = INT_MIN;
    const std::vector<DrawnGlyph> &glyphs = m_font.glyphs;
    m_byCodePoint.reserve(qsizetype(glyphs.size()));
    for (size_t i = 0; i < glyphs.size(); ++i) {
        const DrawnGlyph &glyph = glyphs[i];
        if (glyph.codePoint < 0 || m_byCodePoint.contains(glyph.codePoint))
            continue;
        m_byCodePoint.insert(glyph.codePoint, qsizetype(i));
        for (int r = 0; r < glyph.bits.rows(); ++r) {
            for (int c = 0; c < glyph.bits.cols(); ++c) {
                if (glyph.bits.isSet(r, c)) {
                    top = std::min(top, glyph.y + r);
                    bottom = std::max(bottom, glyph.y + r);
                    break;
                }
            }
        }
    }
    if (top == INT_MAX)
        top = bottom = 0;
    m_baseline = std::max(0, -top);
    m_lineHeight = m_font.lineHeight > 0 ? m_font.lineHeight : std::max(1, bottom - top + 1);
}

TextPreview::Layout TextPreview::lay(QStringView text, int width, int height) const
{
    Layout layout;
    Canvas &canvas = layout.canvas;
    canvas.width = std::clamp(width, 0, kMaxSide);
    canvas.height = std::clamp(height, 0, kMaxSide);
    canvas.pixels.resize(qsizetype(canvas.width) * canvas.height);
    layout.baseline = m_baseline;

    // Wide enough for any advance a font may give, over any text.
    qint64 penX = 0;
    qint64 baseline = m_baseline;
    for (const char32_t codePoint : text.toUcs4()) {
        if (codePoint == U'\n') {
            penX = 0;
            baseline += m_lineHeight;
            continue;
        }
        if (codePoint == U'\r') // a CR LF line end is one line break
            continue;
        const auto found = m_byCodePoint.constFind(int(codePoint));
        if (found == m_byCodePoint.cend()) {
            ++layout.missing;
            continue;
        }
        const DrawnGlyph &glyph = m_font.glyphs[size_t(*found)];
        for (int r = 0; r < glyph.bits.rows(); ++r) {
            const qint64 y = baseline + glyph.y + r;
            if (y < 0 || y >= canvas.height)
                continue;
            for (int c = 0; c < glyph.bits.cols(); ++c) {
                const qint64 x = penX + glyph.x + c;
                if (x >= 0 && x < canvas.width && glyph.bits.isSet(r, c))
                    canvas.pixels.setBit(y * canvas.width + x);
            }
        }
        penX += glyph.advance;
    }
    return layout;
}
