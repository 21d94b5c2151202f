#pragma once

#include "drawing.h"

#include <QByteArray>
#include <QHash>
#include <QList>

#include <utility>

// BDF text as another tool wrote it (pcf2bdf, otf2bdf), read with nothing but
// its own words, so that the tests have something other than the reader
// under test to compare with.
namespace BdfText {

struct Glyph
{
    QByteArray name;
    int advance = 0;
    int width = 0, height = 0, xOffset = 0, yOffset = 0;
    QList<quint32> rows; // left-aligned in 32 bits
};

// The glyphs by encoding: just what the comparisons need.
inline QHash<int, Glyph> parse(const QByteArray &text)
{
    QHash<int, Glyph> glyphs;
    Glyph glyph;
    int encoding = -1;
    bool inBitmap = false;
    for (const QByteArray &line : text.split('\n')) {
        const QList<QByteArray> words = line.simplified().split(' ');
        if (words[0] == "STARTCHAR") {
            glyph.name = line.simplified().mid(10);
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
            glyphs.insert(encoding, std::exchange(glyph, Glyph()));
            inBitmap = false;
        } else if (inBitmap) {
            glyph.rows << (words[0].toUInt(nullptr, 16) << (32 - 4 * words[0].size()));
        }
    }
    return glyphs;
}

// FONTBOUNDINGBOX: width, height, x and y offsets.
inline QList<int> fontBox(const QByteArray &text)
{
    const qsizetype at = text.indexOf("\nFONTBOUNDINGBOX ");
    QList<int> box;
    for (const QByteArray &word : text.mid(at + 1, text.indexOf('\n', at + 1) - at - 1).split(' ').mid(1))
        box << word.toInt();
    return box;
}

inline bool isSet(const Glyph &glyph, int row, int x)
{
    return x < glyph.width && (glyph.rows.value(row) & (0x80000000u >> x));
}

inline int pixelCount(const Glyph &glyph)
{
    int count = 0;
    for (int r = 0; r < glyph.height; ++r) {
        for (int x = 0; x < glyph.width; ++x)
            count += isSet(glyph, r, x);
    }
    return count;
}

// A glyph in a matrix whose baseline lies `ascent` rows down and whose left
// edge lies `left` pixels right of the origin; what lies beyond the matrix
// is dropped.
inline Drawing placed(const Glyph &glyph, int cols, int rows, int ascent, int left = 0)
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
