#pragma once

#include "drawing.h"

#include <QtAlgorithms>

#include <utility>
#include <vector>

// A glyph as a display library draws it: its pixels placed relative to the
// pen, and how far the pen moves after it. The pen stands at (0, 0) on the
// baseline; x grows to the right and y downwards, so the bottom row of a
// letter without a descender is y = -1 and a descender's rows are y >= 0.
//
// A glyph set's glyph is drawn with its whole cell: column c at
// x = c + xOffset, row r at y = r - ascent. What a format stores, a tight box
// or whole tiles, gives the same pixels at the same places.
struct DrawnGlyph
{
    int codePoint = -1;
    int advance = 0;
    int x = 0; // where bits' left column lies
    int y = 0; // where bits' top row lies
    Drawing bits{0, 0};

    // The set pixels as (x, y) pairs, row by row from the top, left to
    // right: the same list for the same picture, however it is boxed.
    std::vector<std::pair<int, int>> pixels() const
    {
        std::vector<std::pair<int, int>> result;
        size_t count = 0;
        for (int r = 0; r < bits.rows(); ++r)
            count += size_t(qPopulationCount(bits.rowBits(r)));
        result.reserve(count);
        for (int r = 0; r < bits.rows(); ++r) {
            for (int c = 0; c < bits.cols(); ++c) {
                if (bits.isSet(r, c))
                    result.emplace_back(x + c, y + r);
            }
        }
        return result;
    }
};
