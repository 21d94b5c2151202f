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

// A readout cell's text brought to its width: 4 digits where the readout
// shows more than 8 values or the value passes FF, else 2, with zeros in
// front. A text already as long or longer stays as it is (a cell padded to 4
// digits keeps them when the readout later shows 8 values or fewer).
inline std::string padded(std::string text, int valueCount)
{
    const unsigned long value = text.empty() ? 0 : std::stoul(text, nullptr, 16);
    const std::size_t width = valueCount > 8 || value > 0xFF ? 4 : 2;
    if (text.size() < width)
        text.insert(0, width - text.size(), '0');
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
