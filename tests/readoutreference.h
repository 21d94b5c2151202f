#pragma once

#include <cstdio>
#include <string>

// The readouts worked out from the pixels alone, written from the rules and
// apart from the editor's code: the one reference that the property test, the
// soak and the fuzzer check the editor against.
namespace ReadoutReference {

enum class Order {
    Vertical,              // one value per column, the top cell its lowest bit
    Horizontal,            // one value per row, the rightmost cell its lowest bit
    HorizontalLeftToRight, // one value per row, the leftmost cell its lowest bit
};

// The value of column or row `index`: its cells spelled out as binary
// digits, most significant first, and read in base 2. `isSet(row, col)`.
template <typename IsSet>
unsigned lineValue(const IsSet &isSet, int rows, int cols, Order order, int index)
{
    std::string digits;
    if (order == Order::Vertical) {
        for (int r = rows - 1; r >= 0; --r)
            digits += isSet(r, index) ? '1' : '0';
    } else if (order == Order::Horizontal) {
        for (int c = 0; c < cols; ++c)
            digits += isSet(index, c) ? '1' : '0';
    } else {
        for (int c = cols - 1; c >= 0; --c)
            digits += isSet(index, c) ? '1' : '0';
    }
    return unsigned(std::stoul(digits, nullptr, 2));
}

// A readout cell's text brought to an even length by the padding rule, for a
// readout of `valueCount` values: zeros in front, to four digits above 8
// values; up to 8, "00" for nothing and one zero before an odd length.
inline std::string padded(std::string text, int valueCount)
{
    if (valueCount > 8) {
        while (text.size() < 4)
            text.insert(0, "0");
        return text;
    }
    if (text.empty())
        return "00";
    if (text.size() == 1 || text.size() == 3)
        text.insert(0, "0");
    return text;
}

// What a readout cell shows for `value` right after its line is computed.
inline std::string text(unsigned value, int valueCount)
{
    char digits[16];
    std::snprintf(digits, sizeof digits, "%X", value);
    return padded(digits, valueCount);
}

} // namespace ReadoutReference
