#pragma once

#include "hexdigits.h"

#include <QString>
#include <QtAlgorithms>

#include <array>

// Text forms of the readout values: one value per matrix column or row, in
// the order BitOrder gives.
namespace Readout {

// Upper-case hexadecimal without leading zeros; "0" for zero.
QString hexText(quint32 value);

// Brings a readout cell's text to an even number of digits, zeros in front.
// `valueCount` is the number of values the readout shows (its cell count):
// above 8 every text becomes at least 4 digits; up to 8 an empty text becomes
// "00" and a text of 1 or 3 digits gains one zero, so a value keeps 2 digits
// up to 0xFF and 4 beyond. Texts of 4 or more characters stay as they are.
QString padded(const QString &text, int valueCount);
// The length padded() brings a text of `length` characters to.
constexpr int paddedLength(qsizetype length, int valueCount)
{
    if (valueCount > 8)
        return int(length < 4 ? 4 : length);
    if (length == 0)
        return 2;
    return int(length == 1 || length == 3 ? length + 1 : length);
}

// padded(hexText(value), valueCount) as ASCII into `out`, which has room
// for 8 characters; returns its length. Inline, and without a string: a
// whole font's export writes every value of every glyph.
inline int writePaddedHex(quint32 value, int valueCount, char *out)
{
    // Two digits at a time: "00", "01", ... "FF".
    static constexpr auto kPairs = [] {
        std::array<char, 512> pairs{};
        for (int byte = 0; byte < 256; ++byte) {
            pairs[size_t(2 * byte)] = kHexDigits[byte >> 4];
            pairs[size_t(2 * byte + 1)] = kHexDigits[byte & 0xF];
        }
        return pairs;
    }();
    const auto putPair = [](char *to, quint32 byte) {
        to[0] = kPairs[2 * byte];
        to[1] = kPairs[2 * byte + 1];
    };
    // A drawing's values have at most 16 bits, up to four digits, which
    // paddedLength() brings to four, or to two for a value up to FF among
    // at most 8.
    if (value <= 0xFFFF) {
        if (valueCount <= 8 && value <= 0xFF) {
            putPair(out, value);
            return 2;
        }
        putPair(out, value >> 8);
        putPair(out + 2, value & 0xFF);
        return 4;
    }
    const int digits = (32 - qCountLeadingZeroBits(value) + 3) / 4;
    const int length = paddedLength(digits, valueCount);
    for (int i = length - 1; i >= 0; --i, value >>= 4)
        out[i] = kHexDigits[value & 0xF];
    return length;
}

} // namespace Readout
