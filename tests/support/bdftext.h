#pragma once

#include "drawing.h"

#include <QByteArray>
#include <QHash>
#include <QList>

#include <utility>

// A BDF file as another tool wrote it (pcf2bdf, otf2bdf), read straight from
// its text for the words the tests compare with, apart from the program's
// reader.
namespace BdfText {

struct Char
{
    QByteArray name;                                     // STARTCHAR
    int advance = 0;                                     // DWIDTH
    int width = 0, height = 0, xOffset = 0, yOffset = 0; // BBX
    QList<quint32> rows;                                 // BITMAP, left-aligned in 32 bits
};

// The characters by encoding.
inline QHash<int, Char> chars(const QByteArray &text)
{
    QHash<int, Char> result;
    Char glyph;
    int encoding = -1;
    bool inBitmap = false;
    for (const QByteArray &line : text.split('\n')) {
        const QList<QByteArray> words = line.simplified().split(' ');
        if (words[0] == "STARTCHAR") {
            glyph.name = line.mid(10);
        } else if (words[0] == "ENCODING") {
            encoding = words.value(1).toInt();
        } else if (words[0] == "DWIDTH") {
            glyph.advance = words.value(1).toInt();
        } else if (words[0] == "BBX" && words.size() == 5) {
            glyph.width = words[1].toInt(), glyph.height = words[2].toInt();
            glyph.xOffset = words[3].toInt(), glyph.yOffset = words[4].toInt();
        } else if (words[0] == "BITMAP") {
            inBitmap = true;
        } else if (words[0] == "ENDCHAR") {
            result.insert(encoding, std::exchange(glyph, Char()));
            inBitmap = false;
        } else if (inBitmap) {
            glyph.rows << (words[0].toUInt(nullptr, 16) << (32 - 4 * words[0].size()));
        }
    }
    return result;
}

// The numbers of a line of the font's header: "FONTBOUNDINGBOX 6 13 0 -2".
inline QList<int> numbers(const QByteArray &text, const QByteArray &keyword)
{
    QList<int> result;
    const qsizetype at = ('\n' + text).indexOf('\n' + keyword + ' ');
    if (at < 0)
        return result;
    const QByteArray line = text.mid(at, text.indexOf('\n', at) - at);
    for (const QByteArray &word : line.simplified().split(' ').mid(1))
        result << word.toInt();
    return result;
}

inline bool isSet(const Char &glyph, int row, int x)
{
    return x >= 0 && x < glyph.width && x < 32 && (glyph.rows.value(row) & (0x80000000u >> x));
}

inline int pixelCount(const Char &glyph)
{
    int count = 0;
    for (int r = 0; r < glyph.height; ++r) {
        for (int x = 0; x < glyph.width; ++x)
            count += isSet(glyph, r, x);
    }
    return count;
}

// A character in a matrix whose baseline lies `ascent` rows down and whose
// left edge lies `left` pixels right of the origin; what lies beyond the
// matrix is dropped.
inline Drawing placed(const Char &glyph, int cols, int rows, int ascent, int left = 0)
{
    Drawing bits(rows, cols);
    for (int r = 0; r < glyph.height; ++r) {
        for (int x = 0; x < glyph.width; ++x) {
            if (isSet(glyph, r, x))
                bits.set(ascent - glyph.yOffset - glyph.height + r, glyph.xOffset - left + x);
        }
    }
    return bits;
}

} // namespace BdfText
