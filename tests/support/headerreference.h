#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

#include <utility>
#include <vector>

// Exported C text read back from its numbers alone, written from the
// formats' descriptions and apart from the program's encoders and decoders:
// a GFX font's glyph boxes and bitmap, a page font's records, the bytes of
// a u8g2 or u8x8 array.
namespace HeaderReference {

using Pixels = std::vector<std::pair<int, int>>;

inline QString withoutComments(const QString &text)
{
    return QString(text).remove(QRegularExpression(QStringLiteral("//[^\n]*")));
}

// The integers of the initializer after `declaration`, up to its "};".
inline QList<qint64> numbers(const QString &text, const QString &declaration)
{
    const QString code = withoutComments(text);
    const qsizetype at = code.indexOf(declaration);
    if (at < 0)
        return {};
    const qsizetype open = code.indexOf(QLatin1Char('{'), at);
    const QString body = code.mid(open, code.indexOf(QLatin1String("};"), open) - open);
    static const QRegularExpression number(QStringLiteral("(?<![\\w])-?(0x[0-9A-Fa-f]+|\\d+)(?![\\w])"));
    QList<qint64> result;
    for (const auto &match : number.globalMatch(body))
        result << match.captured().toLongLong(nullptr, 0);
    return result;
}

// The enum constants "name = value," of the text.
inline QHash<QString, qint64> constants(const QString &text)
{
    static const QRegularExpression constant(QStringLiteral("(\\w+) = (0x[0-9A-F]+|\\d+),"));
    QHash<QString, qint64> result;
    for (const auto &match : constant.globalMatch(withoutComments(text)))
        result.insert(match.captured(1), match.captured(2).toLongLong(nullptr, 0));
    return result;
}

// A GFXfont: its name, first and last code and line height, and its two
// arrays.
struct Gfx
{
    QString name;
    QList<qint64> fields; // the GFXfont's numbers: first, last, yAdvance
    QList<qint64> bitmap;
    QList<qint64> table; // six numbers per code from first to last
};

inline Gfx gfx(const QString &text)
{
    Gfx result;
    result.name = QRegularExpression(QStringLiteral("const GFXfont (\\w+) PROGMEM")).match(text).captured(1);
    result.bitmap = numbers(text, result.name + QLatin1String("Bitmaps[]"));
    result.table = numbers(text, result.name + QLatin1String("Glyphs[]"));
    result.fields = numbers(text, QLatin1String("GFXfont ") + result.name);
    return result;
}

struct GfxGlyph
{
    qint64 offset = 0, width = 0, height = 0, advance = 0, x = 0, y = 0;
    Pixels pixels; // from the pen, y downwards, the baseline row 0
};

// Record `index` of the glyph table: the box's pixels run on from row to
// row, the leftmost in a byte's top bit; the box's offsets are from the
// cursor, whose row is a letter's bottom row (the row above the baseline).
inline GfxGlyph gfxGlyph(const Gfx &font, int index)
{
    GfxGlyph g;
    const QList<qint64> &t = font.table;
    g.offset = t.value(6 * index), g.width = t.value(6 * index + 1), g.height = t.value(6 * index + 2);
    g.advance = t.value(6 * index + 3), g.x = t.value(6 * index + 4), g.y = t.value(6 * index + 5);
    for (int r = 0; r < g.height; ++r) {
        for (int c = 0; c < g.width; ++c) {
            const qint64 bit = g.offset * 8 + r * g.width + c;
            if (font.bitmap.value(bit / 8) & (0x80 >> bit % 8))
                g.pixels.emplace_back(int(g.x) + c, int(g.y) - 1 + r);
        }
    }
    return g;
}

// A page font's record from `start` (after any width byte): one byte per
// column per page of 8 rows, bit 0 the page's top row; each column's pages
// in turn, or each page's columns. Pixels from the cell's top-left corner.
inline Pixels pageRecord(const QList<qint64> &bytes, qsizetype start, int cols, int pages, bool columnOrder)
{
    Pixels pixels;
    for (int col = 0; col < cols; ++col) {
        for (int row = 0; row < pages * 8; ++row) {
            const int at = columnOrder ? col * pages + row / 8 : row / 8 * cols + col;
            if (bytes.value(start + at) >> row % 8 & 1)
                pixels.emplace_back(col, row);
        }
    }
    return pixels;
}

// The bytes of a C file's one array, and the count its declaration gives.
inline QByteArray arrayBytes(const QString &text, int *declared)
{
    const QRegularExpressionMatch size = QRegularExpression(QStringLiteral("\\[(\\d+)\\]")).match(text);
    *declared = size.captured(1).toInt();
    QByteArray bytes;
    for (const QString &line : text.split(QLatin1Char('\n'))) {
        if (line.trimmed().startsWith(QLatin1String("//")))
            continue;
        auto it = QRegularExpression(QStringLiteral("0x([0-9A-F]{2})")).globalMatch(line);
        while (it.hasNext())
            bytes.append(char(it.next().captured(1).toInt(nullptr, 16)));
    }
    return bytes;
}

} // namespace HeaderReference
