#pragma once

#include "drawing.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

// Drawings as rows of '#' (set) and '.' (clear), the way tests write what a
// glyph should look like and print what it does.
namespace Pictures {

inline Drawing drawing(const QStringList &rows)
{
    Drawing bits(int(rows.size()), int(rows.value(0).size()));
    for (int r = 0; r < rows.size(); ++r) {
        for (int c = 0; c < rows[r].size(); ++c)
            bits.set(r, c, rows[r][c] == QLatin1Char('#'));
    }
    return bits;
}

// Any grid that answers isSet(x, y), such as a canvas.
template <typename IsSet>
QStringList rows(int width, int height, const IsSet &isSet)
{
    QStringList result;
    for (int y = 0; y < height; ++y) {
        QString row;
        for (int x = 0; x < width; ++x)
            row += isSet(x, y) ? QLatin1Char('#') : QLatin1Char('.');
        result << row;
    }
    return result;
}

inline QStringList rows(const Drawing &bits)
{
    return rows(bits.cols(), bits.rows(), [&bits](int x, int y) { return bits.isSet(y, x); });
}

// Each row ended by a line break, for messages.
inline QString picture(const Drawing &bits)
{
    QString text;
    for (const QString &row : rows(bits))
        text += row + QLatin1Char('\n');
    return text;
}

} // namespace Pictures

// So that QCOMPARE shows two drawings as pictures, a row to a line.
inline char *toString(const Drawing &bits)
{
    return qstrdup((QLatin1Char('\n') + Pictures::picture(bits)).toUtf8().constData());
}
