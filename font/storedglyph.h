#pragma once

#include <QByteArray>

#include <vector>

// A glyph of any size as a font file stores it, placed relative to the pen
// as a DrawnGlyph is: for the glyphs too large for a glyph set, which a
// font opened in part keeps to be saved whole. Its rows are kept as BDF
// keeps them: whole bytes each, the leftmost pixel in the top bit.
struct StoredGlyph
{
    StoredGlyph(int codePoint, int advance, int x, int y, int cols, int rows)
        : codePoint(codePoint)
        , advance(advance)
        , x(x)
        , y(y)
        , cols(cols)
        , rows(rows)
        , bits(qsizetype(rows) * rowBytes(), '\0')
    {
    }

    qsizetype rowBytes() const { return (cols + 7) / 8; }
    bool isSet(int row, int col) const
    {
        return row >= 0 && row < rows && col >= 0 && col < cols
                && (uchar(bits[row * rowBytes() + col / 8]) & (0x80u >> (col % 8)));
    }
    void set(int row, int col)
    {
        if (row < 0 || row >= rows || col < 0 || col >= cols)
            return;
        char &byte = bits[row * rowBytes() + col / 8];
        byte = char(uchar(byte) | (0x80u >> (col % 8)));
    }

    int codePoint = -1;
    QByteArray name; // empty where the font gives none
    int advance = 0;
    int x = 0; // where the left column lies
    int y = 0; // where the top row lies
    int cols = 0;
    int rows = 0;
    QByteArray bits;
};

// The glyphs of a font opened in part that its set leaves out, in code
// order, with the cell its form declares (GFX's line height in `rows`,
// u8x8's tiles in pixels; 0 where the form declares none): what writing
// the font again in its own form adds to the set, so that it is written
// whole.
struct LeftOut
{
    std::vector<StoredGlyph> glyphs;
    int cols = 0;
    int rows = 0;
    int descent = 0; // the rows of `rows` below the baseline, where the form keeps a baseline (LVGL)
};
