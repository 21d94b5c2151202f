#include "bitorder.h"

#include "drawing.h"
#include "readout.h"

namespace {
const BitOrder::Words kWords[] = {
    // Vertical
    {"vert", "Vertical", "column", "from the left", "top", "top"},
    // Horizontal
    {"horiz", "Horizontal", "row", "from the top", "leftmost", "rightmost"},
    // HorizontalLeftToRight
    {"horiz-ltr", "Horizontal, left to right", "row", "from the top", "leftmost", "leftmost"},
};
} // namespace

const BitOrder::Words &BitOrder::words() const
{
    return kWords[m_kind];
}

QLatin1String BitOrder::name() const
{
    return QLatin1String(words().name);
}

QString BitOrder::title() const
{
    return QString::fromLatin1(words().title);
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
    char hex[kMaxHexLength];
    return QString::fromLatin1(hex, writeHex(drawing, hex));
}

int BitOrder::writeHex(const Drawing &drawing, char *out) const
{
    // Every value is computed, a blank drawing's zeros included.
    const int count = valueCount(drawing.rows(), drawing.cols());
    int length = 0;
    for (int i = 0; i < count; ++i)
        length += Readout::writePaddedHex(value(drawing, i), count, out + length);
    return length;
}
