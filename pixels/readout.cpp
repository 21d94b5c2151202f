#include "readout.h"

namespace Readout {

QString hexText(quint32 value)
{
    // Digits from the lowest up, into the end of a buffer: one allocation,
    // where number() and toUpper() would take two.
    constexpr int kMaxDigits = 8;
    char digits[kMaxDigits];
    int count = 0;
    do {
        digits[kMaxDigits - 1 - count++] = kHexDigits[value & 0xF];
        value >>= 4;
    } while (value != 0);
    return QString::fromLatin1(digits + kMaxDigits - count, count);
}

QString padded(const QString &text, int valueCount)
{
    const int length = paddedLength(text.size(), valueCount);
    return length == text.size() ? text : QString(length - text.size(), QLatin1Char('0')) + text;
}

} // namespace Readout
