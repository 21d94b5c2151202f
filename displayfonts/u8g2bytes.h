#pragma once

#include <QString>
#include <QtGlobal>

#include <map>
#include <optional>
#include <utility>

class GlyphSet;

// What the encoder and the decoder of u8g2 fonts agree on: the header's
// bytes, the record's fields and the way both report a fault.
namespace U8g2Bytes {

inline constexpr int kHeaderSize = 23;
// The library's own converter gives up on a record of 255 bytes.
inline constexpr int kMaxRecordSize = 254;
inline constexpr int kFirstUnicode = 0x100;
inline constexpr int kLastCode = 0xFFFF;
// Unicode glyphs per entry of the lookup table.
inline constexpr int kLookupBlock = 101;
// x, y and the advance are read as int8.
inline constexpr int kMinSigned = -128;
inline constexpr int kMaxSigned = 127;
// The widths of the run-length fields that the library's converter tries,
// in its order, so that ties go the same way.
inline constexpr int kMinZeroBits = 2;
inline constexpr int kMaxZeroBits = 8;
inline constexpr int kMinOneBits = 2;
inline constexpr int kMaxOneBits = 6;
// The library reads no field wider than a byte.
inline constexpr int kMaxFieldBits = 8;

// Header bytes.
enum HeaderByte {
    kGlyphCount = 0,
    kBoxMode = 1,
    kZeroBits = 2,
    kOneBits = 3,
    kWidthBits = 4,
    kHeightBits = 5,
    kXBits = 6,
    kYBits = 7,
    kAdvanceBits = 8,
    kBoxWidth = 9,
    kBoxHeight = 10,
    kBoxX = 11,
    kBoxY = 12,
    kAscentA = 13,
    kDescentG = 14,
    kAscentParen = 15,
    kDescentParen = 16,
    kOffsetA = 17,
    kOffsetLowerA = 19,
    kOffsetUnicode = 21,
};

struct Fields
{
    int width = 0, height = 0, x = 1, y = 1, advance = 1; // bits of each
    int zeros = kMinZeroBits, ones = kMinOneBits;
};

// Calls `pair(zeros, ones)` for each pair of fields that a pair of runs is
// written as: a run longer than its field is cut, the long clear run first.
template <typename Pair>
inline void splitRuns(int zeros, int ones, int maxZeros, int maxOnes, Pair pair)
{
    for (; zeros > maxZeros; zeros -= maxZeros)
        pair(maxZeros, 0);
    for (; ones > maxOnes; ones -= maxOnes) {
        pair(zeros, maxOnes);
        zeros = 0;
    }
    if (zeros > 0 || ones > 0)
        pair(zeros, ones);
}

// A record's code and size bytes: one byte of code below U+0100, two from it.
inline int prefixSize(int code)
{
    return code < kFirstUnicode ? 2 : 3;
}

inline bool fail(QString *error, const QString &what)
{
    if (error)
        *error = what;
    return false;
}

inline bool failAt(QString *error, qsizetype offset, const QString &what)
{
    return fail(error, QStringLiteral("byte %1: %2").arg(offset).arg(what));
}

// What a set read from u8g2 bytes keeps for the encoder, so that it writes
// those bytes again: the run-length field widths they were written with, of
// which several often tie and some converters count bits rather than bytes;
// and, for a font whose blank glyphs the library's converter wrote, where
// each blank glyph's record placed it: the converter takes that from its
// font file's box for the glyph, counts it in the header's field widths and
// font box, and ends its runs, of which it has none, with a bit the library
// never reads, which can take a byte of its own. Kept as properties of the set (kept(), keep()), so
// that a BDF file saved from it keeps them too; a set read from anything
// else has none, and is encoded as it always was.
struct Kept
{
    std::optional<std::pair<int, int>> runBits; // zeros, ones
    std::map<int, std::pair<int, int>> blanks;  // code point: the record's x and y
};
// What the set keeps; none of what is malformed or out of the format's range.
Kept kept(const GlyphSet &set);
// Replaces what the set keeps with `what`.
void keep(const Kept &what, GlyphSet *set);

} // namespace U8g2Bytes
