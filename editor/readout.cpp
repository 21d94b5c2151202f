#include "readout.h"

namespace Readout {

int bitOfCell(Order order, int index, int length)
{
    return order == Order::Horizontal ? length - 1 - index : index;
}

QString hexText(quint32 value)
{
    return QString::number(value, 16).toUpper();
}

QString padded(const QString &text, int valueCount)
{
    const qsizetype length = text.size();
    if (valueCount > 8)
        return length >= 4 ? text : QString(4 - length, QLatin1Char('0')) + text;

    if (length == 0)
        return QStringLiteral("00");
    if (length == 1 || length == 3)
        return QLatin1Char('0') + text;
    return text;
}

} // namespace Readout
