#include "drawing.h"

#include <algorithm>

Drawing::Drawing(int rows, int cols)
    : m_rows(std::clamp(rows, 0, kMaxSize))
    , m_cols(std::clamp(cols, 0, kMaxSize))
{
}

// A drawing of the given size whose cell (r, c) is the cell source(r, c)
// names in this one; a cell outside this drawing is clear.
template <typename Source>
Drawing Drawing::mapped(int rows, int cols, Source source) const
{
    Drawing result(rows, cols);
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < cols; ++c) {
            const auto [fromRow, fromCol] = source(r, c);
            result.set(r, c, isSet(fromRow, fromCol));
        }
    }
    return result;
}

Drawing Drawing::shifted(int rowStep, int colStep) const
{
    return mapped(m_rows, m_cols, [=](int r, int c) { return std::pair(r - rowStep, c - colStep); });
}

Drawing Drawing::mirroredLeftRight() const
{
    return mapped(m_rows, m_cols, [this](int r, int c) { return std::pair(r, m_cols - 1 - c); });
}

Drawing Drawing::mirroredTopBottom() const
{
    return mapped(m_rows, m_cols, [this](int r, int c) { return std::pair(m_rows - 1 - r, c); });
}

Drawing Drawing::rotatedClockwise() const
{
    // The left column becomes the top row, read from the bottom up.
    return mapped(m_cols, m_rows, [this](int r, int c) { return std::pair(m_rows - 1 - c, r); });
}

Drawing Drawing::rotatedCounterClockwise() const
{
    // The right column becomes the top row, read from the top down.
    return mapped(m_cols, m_rows, [this](int r, int c) { return std::pair(c, m_cols - 1 - r); });
}
