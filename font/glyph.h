#pragma once

#include "drawing.h"

#include <QByteArray>

#include <optional>

// One glyph of a set: its bitmap in the set's matrix, the character it draws
// and, where the font gave one, its name (a BDF STARTCHAR name such as
// "uni0041" or "A"). A glyph that stands for no character (BDF's ENCODING
// -1, a console-font slot without a Unicode entry) has kNoCodePoint and is
// known by its name.
struct Glyph
{
    static constexpr int kNoCodePoint = -1;

    int codePoint = kNoCodePoint;
    QByteArray name;
    Drawing bits{0, 0};
    // How far the pen moves after the glyph, in pixels (BDF's DWIDTH), 0
    // for a mark drawn over the glyph before it; none when the font did not
    // say, which means the matrix width (GlyphSet::advanceOf).
    std::optional<int> advance;
};
