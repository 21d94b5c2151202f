#pragma once

#include "fontexport.h"

#include <QBitArray>
#include <QHash>
#include <QStringView>

// A sample text laid out on a small monochrome display from an export's
// glyphs, as a display library draws a string: the pen starts at the left
// edge, each character's glyph is drawn at the pen (its set pixels only) and
// the pen moves on by the glyph's advance; "\n" starts the next line one line
// height lower. The first line's baseline lies just low enough for the
// tallest glyph of the font to fit above it, so that every line of a
// multi-line text stands at the same place whatever its characters.
class TextPreview
{
public:
    // The largest canvas side: larger than any display these fonts are for.
    static constexpr int kMaxSide = 2048;

    struct Canvas
    {
        int width = 0;
        int height = 0;
        QBitArray pixels; // row by row from the top

        bool isSet(int x, int y) const
        {
            return x >= 0 && x < width && y >= 0 && y < height && pixels.testBit(qsizetype(y) * width + x);
        }
    };

    struct Layout
    {
        Canvas canvas;
        int baseline = 0; // the first line's baseline: the row below a letter's bottom row
        int missing = 0;  // characters of the text that the font has no glyph for, skipped
    };

    TextPreview() = default;
    explicit TextPreview(FontExport::Drawn font);

    const FontExport::Drawn &font() const { return m_font; }
    // How far "\n" moves down: the export's line height, or the rows its
    // glyphs' ink spans when it gives none.
    int lineHeight() const { return m_lineHeight; }

    // The text on a canvas of `width` by `height` pixels (each clamped to
    // 0..kMaxSide); pixels beyond its edges are dropped.
    Layout lay(QStringView text, int width, int height) const;

private:
    FontExport::Drawn m_font;
    QHash<int, qsizetype> m_byCodePoint; // the first glyph for each code point
    int m_baseline = 0;
    int m_lineHeight = 1;
};
