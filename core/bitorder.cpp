#include "bitorder.h"

#include "drawing.h"
#include "readout.h"

QLatin1String BitOrder::name() const
{
    switch (m_kind) {
    case Vertical:
        return QLatin1String("vert");
    case HorizontalLeftToRight:
        return QLatin1String("horiz-ltr");
    case Horizontal:
        break;
    }
    return QLatin1String("horiz");
}

std::optional<BitOrder> BitOrder::fromName(QStringView name)
{
    for (const Kind kind : all()) {
        if (name == BitOrder(kind).name())
            return BitOrder(kind);
    }
    return std::nullopt;
}

QString BitOrder::nameList()
{
    QString list;
    for (const Kind kind : all()) {
        if (!list.isEmpty())
            list += QLatin1String(", ");
        list += BitOrder(kind).name();
    }
    return list;
}

namespace {
// The lowest `length` bits of `bits` in reverse order, `length` at most 16:
// the 16 bits are swapped in halves, then the ones past `length` shifted out.
quint32 reversed(quint32 bits, int length)
{
    quint32 v = bits & 0xFFFFu;
    v = (v >> 1 & 0x5555u) | (v & 0x5555u) << 1;
    v = (v >> 2 & 0x3333u) | (v & 0x3333u) << 2;
    v = (v >> 4 & 0x0F0Fu) | (v & 0x0F0Fu) << 4;
    v = (v >> 8 & 0x00FFu) | (v & 0x00FFu) << 8;
    return v >> (16 - length);
}
} // namespace

quint32 BitOrder::value(const Drawing &drawing, int index) const
{
    // A row's cells are stored as bits already, the leftmost in bit 0.
    if (m_kind == HorizontalLeftToRight)
        return drawing.rowBits(index);
    if (m_kind == Horizontal)
        return reversed(drawing.rowBits(index), drawing.cols());
    const int length = bitsPerValue(drawing.rows(), drawing.cols());
    quint32 result = 0;
    for (int cell = 0; cell < length; ++cell) {
        const bool set = isVertical() ? drawing.isSet(cell, index) : drawing.isSet(index, cell);
        result |= quint32(set) << bitOfCell(cell, length);
    }
    return result;
}

std::vector<quint32> BitOrder::values(const Drawing &drawing) const
{
    const int count = valueCount(drawing.rows(), drawing.cols());
    std::vector<quint32> result;
    result.reserve(size_t(count));
    for (int i = 0; i < count; ++i)
        result.push_back(value(drawing, i));
    return result;
}

Drawing BitOrder::drawing(const std::vector<quint32> &values, int rows, int cols) const
{
    const int length = bitsPerValue(rows, cols);
    Drawing result(rows, cols);
    for (size_t i = 0; i < values.size(); ++i) {
        const int line = int(i);
        for (int cell = 0; cell < length; ++cell) {
            const bool on = values[i] >> bitOfCell(cell, length) & 1u;
            if (isVertical())
                result.set(cell, line, on);
            else
                result.set(line, cell, on);
        }
    }
    return result;
}

QString BitOrder::hexString(const Drawing &drawing) const
{
    // Every value is computed, a blank drawing's zeros included.
    const int count = valueCount(drawing.rows(), drawing.cols());
    QString hex;
    hex.reserve(count * 4);
    for (int i = 0; i < count; ++i)
        hex += Readout::padded(Readout::hexText(value(drawing, i)), count);
    return hex;
}
