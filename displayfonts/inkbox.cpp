#include "inkbox.h"

#include "drawing.h"

#include <QtAlgorithms>

#include <algorithm>

InkBox InkBox::of(const Drawing &bits)
{
    // A row's bits are its cells from bit 0 on the left: the columns with
    // ink are the rows' bits together.
    quint32 columns = 0;
    int top = bits.rows(), bottom = -1;
    for (int r = 0; r < bits.rows(); ++r) {
        if (const quint16 row = bits.rowBits(r)) {
            columns |= row;
            top = std::min(top, r);
            bottom = r;
        }
    }
    if (bottom < 0)
        return {};
    const int left = qCountTrailingZeroBits(columns);
    const int right = 31 - qCountLeadingZeroBits(columns);
    return {top, left, bottom - top + 1, right - left + 1};
}
