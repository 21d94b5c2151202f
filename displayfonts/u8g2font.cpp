#include "u8g2font.h"

#include "fontcodes.h"

#include <QtGlobal>

#include <algorithm>
#include <limits>

namespace U8g2Font {

namespace {

constexpr int kHeaderSize = 23;
// The library's own converter gives up on a record of 255 bytes.
constexpr int kMaxRecordSize = 254;
constexpr int kFirstUnicode = 0x100;
constexpr int kLastCode = 0xFFFF;
// Unicode glyphs per entry of the lookup table.
constexpr int kLookupBlock = 101;
// x, y and the advance are read as int8.
constexpr int kMinSigned = -128;
constexpr int kMaxSigned = 127;
// The widths of the run-length fields that the library's converter tries,
// in its order, so that ties go the same way.
constexpr int kMinZeroBits = 2;
constexpr int kMaxZeroBits = 8;
constexpr int kMinOneBits = 2;
constexpr int kMaxOneBits = 6;
// The library reads no field wider than a byte.
constexpr int kMaxFieldBits = 8;

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

int bitLength(int value)
{
    int bits = 0;
    for (; value > 0; value >>= 1)
        ++bits;
    return bits;
}

// The width of a field that stores `value` with a bias of 2^(width-1).
int signedBits(int value)
{
    return bitLength(value >= 0 ? value : -value - 1) + 1;
}

bool fail(QString *error, const QString &what)
{
    if (error)
        *error = what;
    return false;
}

bool failAt(QString *error, qsizetype offset, const QString &what)
{
    return fail(error, QStringLiteral("byte %1: %2").arg(offset).arg(what));
}

// ---------------------------------------------------------------- encoding

// A glyph trimmed to its ink: the box as the record stores it (y is the
// bottom row's height above the baseline, so 0 for a letter without a
// descender) and the box's pixels as alternating runs of clear and set
// pixels, row after row, starting with a clear run and ending with a set
// run, either of which may be 0.
struct Trimmed
{
    int code = 0;
    int w = 0;
    int h = 0;
    int x = 0;
    int y = 0;
    int advance = 0;
    std::vector<int> runs;
};

Trimmed trimmed(const GlyphSet &set, const Glyph &glyph)
{
    const DrawnGlyph drawn = set.drawn(glyph);
    const Drawing &bits = drawn.bits;
    quint32 columns = 0;
    int top = bits.rows(), bottom = -1;
    for (int r = 0; r < bits.rows(); ++r) {
        if (const quint16 row = bits.rowBits(r)) {
            columns |= row;
            top = std::min(top, r);
            bottom = r;
        }
    }
    Trimmed result;
    result.code = glyph.codePoint;
    result.advance = drawn.advance;
    if (bottom < 0)
        return result; // no ink: nothing to draw, the smallest fields
    const int left = qCountTrailingZeroBits(columns);
    const int right = 31 - qCountLeadingZeroBits(columns);
    result.w = right - left + 1;
    result.h = bottom - top + 1;
    result.x = drawn.x + left;
    result.y = -1 - (drawn.y + bottom);
    bool inked = false;
    int length = 0;
    for (int r = top; r <= bottom; ++r) {
        const quint32 row = bits.rowBits(r);
        for (int c = left; c <= right; ++c) {
            if (bool(row >> c & 1u) == inked) {
                ++length;
            } else {
                result.runs.push_back(length);
                inked = !inked;
                length = 1;
            }
        }
    }
    result.runs.push_back(length);
    if (result.runs.size() % 2 != 0)
        result.runs.push_back(0);
    return result;
}

struct Fields
{
    int width = 0, height = 0, x = 1, y = 1, advance = 1; // bits of each
    int zeros = kMinZeroBits, ones = kMinOneBits;
};

// Appends bits to a byte array, least significant first.
class BitSink
{
public:
    explicit BitSink(QByteArray *out)
        : m_out(out)
    {
    }

    // Fields are at most 8 bits wide.
    void put(unsigned value, int bits)
    {
        m_pending |= (value & ((1u << bits) - 1)) << m_pendingBits;
        m_pendingBits += bits;
        if (m_pendingBits >= 8) {
            m_out->append(char(m_pending & 0xFF));
            m_pending >>= 8;
            m_pendingBits -= 8;
        }
    }
    void putSigned(int value, int bits) { put(unsigned(value + (1 << (bits - 1))), bits); }
    // Writes the last, partly filled byte.
    void flush()
    {
        if (m_pendingBits > 0)
            m_out->append(char(m_pending & 0xFF));
        m_pending = 0;
        m_pendingBits = 0;
    }

private:
    QByteArray *m_out;
    unsigned m_pending = 0;
    int m_pendingBits = 0;
};

// Calls `pair(zeros, ones)` for each pair of fields that a pair of runs is
// written as: a run longer than its field is cut, the long clear run first.
template <typename Pair>
void splitRuns(int zeros, int ones, int maxZeros, int maxOnes, Pair pair)
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

// The record's bits after the code and size bytes: the box, then the pairs
// of fields, a pair equal to the one before costing a single repeat bit.
void putGlyph(const Trimmed &glyph, const Fields &fields, BitSink &sink)
{
    sink.put(unsigned(glyph.w), fields.width);
    sink.put(unsigned(glyph.h), fields.height);
    sink.putSigned(glyph.x, fields.x);
    sink.putSigned(glyph.y, fields.y);
    sink.putSigned(glyph.advance, fields.advance);
    if (glyph.w == 0)
        return; // the library reads no runs then
    bool started = false;
    int lastZeros = 0, lastOnes = 0;
    const auto pair = [&](int zeros, int ones) {
        if (started && zeros == lastZeros && ones == lastOnes) {
            sink.put(1, 1);
            return;
        }
        if (started)
            sink.put(0, 1);
        sink.put(unsigned(zeros), fields.zeros);
        sink.put(unsigned(ones), fields.ones);
        started = true;
        lastZeros = zeros;
        lastOnes = ones;
    };
    for (size_t i = 0; i < glyph.runs.size(); i += 2)
        splitRuns(glyph.runs[i], glyph.runs[i + 1], (1 << fields.zeros) - 1, (1 << fields.ones) - 1, pair);
    sink.put(0, 1);
}

int prefixSize(int code)
{
    return code < kFirstUnicode ? 2 : 3;
}

// The bits of the box fields in front of the runs.
int boxBits(const Fields &fields)
{
    return fields.width + fields.height + fields.x + fields.y + fields.advance;
}

// Counts the bits that putGlyph() writes for the runs, without writing
// them, for one pair of field widths after another. Each distinct pair of
// runs in the font is cut into fields once per pair of widths; a glyph is
// then a list of those pairs, each costing its fields and repeats inside,
// plus a repeat bit or a whole pair of fields for its first, depending on
// the pair before.
class RunCounter
{
public:
    explicit RunCounter(const std::vector<Trimmed> &glyphs)
    {
        std::vector<quint32> ids(kLongestRun * kLongestRun, kNone);
        m_glyphStarts.reserve(glyphs.size() + 1);
        for (const Trimmed &glyph : glyphs) {
            m_glyphStarts.push_back(m_pairs.size());
            for (size_t i = 0; i < glyph.runs.size(); i += 2) {
                const int zeros = glyph.runs[i], ones = glyph.runs[i + 1];
                if (zeros == 0 && ones == 0)
                    continue; // written as nothing
                quint32 &id = ids[size_t(zeros * kLongestRun + ones)];
                if (id == kNone) {
                    id = quint32(m_values.size());
                    m_values.push_back({zeros, ones});
                }
                m_pairs.push_back(id);
            }
        }
        m_glyphStarts.push_back(m_pairs.size());
    }

    // Sets the field widths that bits() counts with.
    void setWidths(int zeroBits, int oneBits)
    {
        const int pairBits = zeroBits + oneBits;
        m_pairBits = pairBits;
        m_cut.resize(m_values.size());
        for (size_t id = 0; id < m_values.size(); ++id) {
            Cut &cut = m_cut[id];
            int count = 0, last = -1;
            cut.bits = 1; // the bit in front of the first pair
            splitRuns(m_values[id].first, m_values[id].second, (1 << zeroBits) - 1, (1 << oneBits) - 1,
                      [&](int zeros, int ones) {
                          const int key = zeros << 16 | ones;
                          if (count++ == 0)
                              cut.first = key;
                          else
                              cut.bits += key == last ? 1 : 1 + pairBits;
                          last = key;
                      });
            cut.last = last;
        }
    }

    // Glyph `index`'s run bits, the end bit included; none for a glyph
    // without ink.
    qint64 bits(size_t index) const
    {
        // The first pair counts a repeat bit in front that it does not
        // have, which stands for the end bit.
        qint64 bits = 0;
        int last = -1;
        for (size_t i = m_glyphStarts[index]; i < m_glyphStarts[index + 1]; ++i) {
            const Cut &cut = m_cut[m_pairs[i]];
            bits += cut.bits + (cut.first != last ? m_pairBits : 0);
            last = cut.last;
        }
        return bits;
    }

private:
    // A run is at most a whole 16 x 16 box.
    static constexpr int kLongestRun = 16 * 16 + 1;
    static constexpr quint32 kNone = ~quint32(0);

    std::vector<std::pair<int, int>> m_values; // each distinct pair of runs
    std::vector<quint32> m_pairs;              // every glyph's pairs, as ids
    std::vector<size_t> m_glyphStarts;
    // A distinct pair of runs cut into fields: its first and last pair of
    // fields, and its bits but for the first pair's fields, which are
    // written unless it repeats the pair before.
    struct Cut
    {
        int first = 0, last = 0, bits = 0;
    };
    std::vector<Cut> m_cut;
    int m_pairBits = 0;
};

void appendRecord(QByteArray &out, const Trimmed &glyph, const Fields &fields)
{
    QByteArray bits;
    BitSink sink(&bits);
    putGlyph(glyph, fields, sink);
    sink.flush();
    if (glyph.code >= kFirstUnicode)
        out.append(char(glyph.code >> 8));
    out.append(char(glyph.code & 0xFF));
    out.append(char(prefixSize(glyph.code) + bits.size()));
    out.append(bits);
}

void appendWord(QByteArray &out, int value)
{
    out.append(char(value >> 8 & 0xFF));
    out.append(char(value & 0xFF));
}

void setWord(QByteArray &out, int at, int value)
{
    out[at] = char(value >> 8 & 0xFF);
    out[at + 1] = char(value & 0xFF);
}

bool checkGlyph(const Trimmed &glyph, QString *error)
{
    const QString name = FontCodes::name(glyph.code);
    if (glyph.advance < kMinSigned || glyph.advance > kMaxSigned)
        return fail(error, QStringLiteral("%1 advances the pen by %2 pixels; a u8g2 font holds -128 to 127")
                                   .arg(name)
                                   .arg(glyph.advance));
    if (glyph.w == 0)
        return true;
    // Both edges within a signed byte keep the header's font box, ascent
    // and descent within theirs too.
    if (glyph.x < kMinSigned || glyph.x + glyph.w > kMaxSigned)
        return fail(error, QStringLiteral("%1 reaches %2 pixels %3 of the pen; a u8g2 glyph lies within 128 pixels")
                                   .arg(name)
                                   .arg(glyph.x < 0 ? -glyph.x : glyph.x + glyph.w)
                                   .arg(glyph.x < 0 ? QStringLiteral("left") : QStringLiteral("right")));
    if (glyph.y < kMinSigned || glyph.y + glyph.h > kMaxSigned)
        return fail(error,
                    QStringLiteral("%1 reaches %2 rows %3 the baseline; a u8g2 glyph lies within 128 rows")
                            .arg(name)
                            .arg(glyph.y < 0 ? -glyph.y : glyph.y + glyph.h)
                            .arg(glyph.y < 0 ? QStringLiteral("below") : QStringLiteral("above")));
    return true;
}

const Trimmed *find(const std::vector<Trimmed> &glyphs, int code)
{
    const auto it = std::lower_bound(glyphs.begin(), glyphs.end(), code,
                                     [](const Trimmed &glyph, int c) { return glyph.code < c; });
    return it != glyphs.end() && it->code == code ? &*it : nullptr;
}

// The header's font box, ascent and descent: what u8g2_SetFontPosTop and the
// other reference heights read.
void putMetrics(QByteArray &out, const std::vector<Trimmed> &glyphs)
{
    int left = 0, right = 0, bottom = 0, top = 0;
    bool any = false;
    for (const Trimmed &glyph : glyphs) {
        if (glyph.w == 0)
            continue;
        left = any ? std::min(left, glyph.x) : glyph.x;
        right = any ? std::max(right, glyph.x + glyph.w) : glyph.x + glyph.w;
        bottom = any ? std::min(bottom, glyph.y) : glyph.y;
        top = any ? std::max(top, glyph.y + glyph.h) : glyph.y + glyph.h;
        any = true;
    }
    out[kBoxWidth] = char(right - left);
    out[kBoxHeight] = char(top - bottom);
    out[kBoxX] = char(qint8(left));
    out[kBoxY] = char(qint8(bottom));

    const auto topOf = [&glyphs](int code) -> std::optional<int> {
        const Trimmed *glyph = find(glyphs, code);
        return glyph ? std::optional<int>(glyph->y + glyph->h) : std::nullopt;
    };
    const auto bottomOf = [&glyphs](int code) -> std::optional<int> {
        const Trimmed *glyph = find(glyphs, code);
        return glyph ? std::optional<int>(glyph->y) : std::nullopt;
    };
    int ascent = topOf('A').value_or(0);
    if (ascent <= 0)
        ascent = topOf('1').value_or(0);
    const int descent = bottomOf('g').value_or(0);
    out[kAscentA] = char(qint8(ascent));
    out[kDescentG] = char(qint8(descent));
    out[kAscentParen] = char(qint8(topOf('(').value_or(ascent)));
    out[kDescentParen] = char(qint8(bottomOf('(').value_or(descent)));
}

// ---------------------------------------------------------------- decoding

// Reads fields of up to 8 bits, least significant bit first, from the bytes
// [offset, end) and no further.
class BitReader
{
public:
    BitReader(QByteArrayView data, qsizetype offset, qsizetype end)
        : m_data(data)
        , m_offset(offset)
        , m_end(end)
    {
    }

    bool read(int bits, int *value)
    {
        unsigned result = 0;
        for (int i = 0; i < bits; ++i) {
            if (m_offset >= m_end)
                return false;
            result |= (unsigned(uchar(m_data[m_offset])) >> m_bit & 1u) << i;
            if (++m_bit == 8) {
                m_bit = 0;
                ++m_offset;
            }
        }
        *value = int(result);
        return true;
    }
    bool readSigned(int bits, int *value)
    {
        if (!read(bits, value))
            return false;
        *value -= 1 << (bits - 1);
        return true;
    }

private:
    QByteArrayView m_data;
    qsizetype m_offset;
    qsizetype m_end;
    int m_bit = 0;
};

int byteAt(QByteArrayView data, qsizetype offset)
{
    return uchar(data[offset]);
}

int wordAt(QByteArrayView data, qsizetype offset)
{
    return byteAt(data, offset) << 8 | byteAt(data, offset + 1);
}

struct Layout
{
    std::vector<Part> parts;
    Fields fields;
};

// Follows the data as the library's glyph lookup does, and checks that every
// record it passes is one the lookup finds, so that the glyphs decoded are
// the glyphs a device draws.
bool walk(QByteArrayView data, Layout *layout, QString *error)
{
    std::vector<Part> &parts = layout->parts;
    if (data.size() < kHeaderSize)
        return failAt(error, data.size(), QStringLiteral("the data ends within the 23-byte header"));
    Fields &fields = layout->fields;
    fields.zeros = byteAt(data, kZeroBits);
    fields.ones = byteAt(data, kOneBits);
    fields.width = byteAt(data, kWidthBits);
    fields.height = byteAt(data, kHeightBits);
    fields.x = byteAt(data, kXBits);
    fields.y = byteAt(data, kYBits);
    fields.advance = byteAt(data, kAdvanceBits);
    for (int at = kZeroBits; at <= kAdvanceBits; ++at) {
        // The library cannot read the bias of a signed field of 0 bits, and
        // run-length fields of 0 bits never fill a box.
        const int least = at == kWidthBits || at == kHeightBits ? 0 : 1;
        if (byteAt(data, at) < least || byteAt(data, at) > kMaxFieldBits)
            return failAt(error, at, QStringLiteral("a field of %1 bits; u8g2 reads %2 to 8")
                                             .arg(byteAt(data, at))
                                             .arg(least));
    }
    parts.push_back({Part::Kind::Header, 0, kHeaderSize, -1});

    // The codes below 256: records up to one whose size byte is 0.
    qsizetype offset = kHeaderSize;
    int previous = -1;
    for (;;) {
        if (offset + 2 > data.size())
            return failAt(error, offset, QStringLiteral("the glyphs below U+0100 have no end mark"));
        const int size = byteAt(data, offset + 1);
        if (size == 0)
            break;
        const int code = byteAt(data, offset);
        if (size < 3)
            return failAt(error, offset, QStringLiteral("the record of %1 is %2 bytes long").arg(FontCodes::name(code)).arg(size));
        if (offset + size > data.size())
            return failAt(error, offset, QStringLiteral("the record of %1 runs past the end of the data").arg(FontCodes::name(code)));
        if (code <= previous)
            return failAt(error, offset, QStringLiteral("%1 follows %2; the library finds glyphs only in rising order")
                                                 .arg(FontCodes::name(code), FontCodes::name(previous)));
        parts.push_back({Part::Kind::Glyph, offset, size, code});
        previous = code;
        offset += size;
    }
    const qsizetype endOfBytes = offset;
    parts.push_back({Part::Kind::SectionEnd, offset, 2, -1});
    const size_t firstByteGlyph = 1;
    const size_t byteGlyphs = parts.size() - 2;

    // The library starts looking for 'A' and above, and for 'a' and above,
    // at the offsets the header gives.
    for (const auto &[at, letter] : {std::pair(kOffsetA, 'A'), std::pair(kOffsetLowerA, 'a')}) {
        const qsizetype start = kHeaderSize + wordAt(data, at);
        size_t index = firstByteGlyph;
        while (index < firstByteGlyph + byteGlyphs && parts[index].offset < start)
            ++index;
        const qsizetype found = index < firstByteGlyph + byteGlyphs ? parts[index].offset : endOfBytes;
        if (found != start)
            return failAt(error, at, QStringLiteral("the offset of '%1' points into a record").arg(QLatin1Char(letter)));
        if (index > firstByteGlyph && parts[index - 1].codePoint >= letter)
            return failAt(error, at, QStringLiteral("the offset of '%1' lies past %2, which the library then never finds")
                                             .arg(QLatin1Char(letter))
                                             .arg(FontCodes::name(parts[index - 1].codePoint)));
    }

    // The codes from 256: the lookup table, entries up to the one for
    // U+FFFF, each holding how far its block of records lies from the one
    // before and the last code in it.
    const qsizetype section = kHeaderSize + wordAt(data, kOffsetUnicode);
    std::vector<qint64> blockStarts;
    std::vector<int> blockLastCodes;
    qint64 blockStart = section;
    for (qsizetype entry = section;; entry += 4) {
        if (entry + 4 > data.size())
            return failAt(error, std::min(entry, data.size()),
                          QStringLiteral("the Unicode lookup table has no entry for U+FFFF"));
        blockStart += wordAt(data, entry);
        blockStarts.push_back(blockStart);
        blockLastCodes.push_back(wordAt(data, entry + 2));
        if (blockLastCodes.back() == kLastCode)
            break;
    }
    parts.push_back({Part::Kind::LookupTable, section, qsizetype(blockStarts.size() * 4), -1});

    // Its records, from the first block up to one whose code is 0.
    const size_t firstUnicode = parts.size();
    offset = qsizetype(blockStarts.front());
    previous = kFirstUnicode - 1;
    for (;;) {
        if (offset + 2 > data.size())
            return failAt(error, std::min(offset, data.size()), QStringLiteral("the glyphs from U+0100 have no end mark"));
        const int code = wordAt(data, offset);
        if (code == 0)
            break;
        if (offset + 3 > data.size())
            return failAt(error, offset, QStringLiteral("the record of %1 runs past the end of the data").arg(FontCodes::name(code)));
        const int size = byteAt(data, offset + 2);
        if (size < 4)
            return failAt(error, offset, QStringLiteral("the record of %1 is %2 bytes long").arg(FontCodes::name(code)).arg(size));
        if (offset + size > data.size())
            return failAt(error, offset, QStringLiteral("the record of %1 runs past the end of the data").arg(FontCodes::name(code)));
        if (code <= previous)
            return failAt(error, offset, previous < kFirstUnicode
                                                 ? QStringLiteral("%1 lies among the glyphs from U+0100").arg(FontCodes::name(code))
                                                 : QStringLiteral("%1 follows %2; the library finds glyphs only in rising order")
                                                           .arg(FontCodes::name(code), FontCodes::name(previous)));
        parts.push_back({Part::Kind::Glyph, offset, size, code});
        previous = code;
        offset += size;
    }
    parts.push_back({Part::Kind::SectionEnd, offset, 2, -1});

    // Every block must start at a record (or the end mark), and the block the
    // table sends a code to must not start past that code's record.
    const size_t lastUnicode = parts.size() - 1; // one past
    std::vector<size_t> blockIndex;
    size_t index = firstUnicode;
    for (size_t k = 0; k < blockStarts.size(); ++k) {
        while (index < lastUnicode && parts[index].offset < blockStarts[k])
            ++index;
        if (parts[index].offset != blockStarts[k])
            return failAt(error, section + qsizetype(4 * k), QStringLiteral("a lookup table entry points into a record"));
        blockIndex.push_back(index);
    }
    size_t block = 0;
    for (size_t i = firstUnicode; i < lastUnicode; ++i) {
        while (blockLastCodes[block] < parts[i].codePoint)
            ++block;
        if (blockIndex[block] > i)
            return failAt(error, section + qsizetype(4 * block),
                          QStringLiteral("the lookup table sends %1 past its record").arg(FontCodes::name(parts[i].codePoint)));
    }
    return true;
}

bool decodeGlyph(QByteArrayView data, const Part &part, const Fields &fields, DrawnGlyph *glyph, QString *error)
{
    const QString name = FontCodes::name(part.codePoint);
    const qsizetype start = part.offset + prefixSize(part.codePoint);
    BitReader reader(data, start, part.offset + part.size);
    int w = 0, h = 0, x = 0, y = 0, advance = 0;
    if (!reader.read(fields.width, &w) || !reader.read(fields.height, &h) || !reader.readSigned(fields.x, &x)
        || !reader.readSigned(fields.y, &y) || !reader.readSigned(fields.advance, &advance))
        return failAt(error, part.offset, QStringLiteral("the record of %1 ends within its box").arg(name));
    glyph->codePoint = part.codePoint;
    glyph->advance = advance;
    glyph->x = x;
    // The library places the box's top row h + y rows above the pen.
    glyph->y = -(h + y);
    glyph->bits = Drawing(0, 0);
    if (w == 0)
        return true;
    if (h == 0)
        return failAt(error, part.offset, QStringLiteral("%1 is %2 pixels wide and none high").arg(name).arg(w));
    if (w > Drawing::kMaxSize || h > Drawing::kMaxSize)
        return failAt(error, part.offset, QStringLiteral("%1 is %2 x %3 pixels; glyphs here are at most 16 x 16")
                                                  .arg(name)
                                                  .arg(w)
                                                  .arg(h));
    Drawing bits(h, w);
    const int total = w * h;
    int filled = 0;
    const QString shortRuns = QStringLiteral("the runs of %1 end before its %2 x %3 box is full").arg(name).arg(w).arg(h);
    while (filled < total) {
        int zeros = 0, ones = 0, again = 0;
        if (!reader.read(fields.zeros, &zeros) || !reader.read(fields.ones, &ones))
            return failAt(error, part.offset, shortRuns);
        do {
            if (filled + zeros + ones > total)
                return failAt(error, part.offset, QStringLiteral("the runs of %1 pass the end of its %2 x %3 box")
                                                          .arg(name)
                                                          .arg(w)
                                                          .arg(h));
            filled += zeros;
            for (int i = 0; i < ones; ++i, ++filled)
                bits.set(filled / w, filled % w);
            if (!reader.read(1, &again))
                return failAt(error, part.offset, shortRuns);
        } while (again != 0);
    }
    glyph->bits = bits;
    return true;
}

} // namespace

std::optional<QByteArray> encode(const GlyphSet &set, QString *error)
{
    std::vector<Trimmed> glyphs;
    glyphs.reserve(size_t(set.size()));
    int previous = -1;
    qsizetype unicodeCount = 0;
    for (const Glyph &glyph : set.glyphs()) {
        Q_ASSERT(glyph.codePoint > previous && glyph.codePoint <= kLastCode);
        if (glyph.codePoint < 0 || glyph.codePoint > kLastCode) {
            fail(error, glyph.codePoint < 0
                                ? QStringLiteral("a glyph without a code point cannot go into a u8g2 font")
                                : QStringLiteral("%1 lies past U+FFFF, the last code of a u8g2 font").arg(FontCodes::name(glyph.codePoint)));
            return std::nullopt;
        }
        if (glyph.codePoint <= previous) {
            fail(error, QStringLiteral("%1 follows %2; a u8g2 font needs the glyphs in rising order, each code once")
                                .arg(FontCodes::name(glyph.codePoint), FontCodes::name(previous)));
            return std::nullopt;
        }
        previous = glyph.codePoint;
        glyphs.push_back(trimmed(set, glyph));
        if (!checkGlyph(glyphs.back(), error))
            return std::nullopt;
        if (glyph.codePoint >= kFirstUnicode)
            ++unicodeCount;
    }

    Fields fields;
    for (const Trimmed &glyph : glyphs) {
        fields.width = std::max(fields.width, bitLength(glyph.w));
        fields.height = std::max(fields.height, bitLength(glyph.h));
        fields.x = std::max(fields.x, signedBits(glyph.x));
        fields.y = std::max(fields.y, signedBits(glyph.y));
        fields.advance = std::max(fields.advance, signedBits(glyph.advance));
    }

    // The run-length field widths that make the smallest font whose records
    // all fit, the first in the converter's order among equals. A trial
    // stops once it is larger than the best so far, so the widths that
    // suit most glyphs are tried first: those that are best for a sample.
    const int box = boxBits(fields);
    RunCounter counter(glyphs);
    const auto total = [&](int zeroBits, int oneBits, qint64 bound, size_t step, const Trimmed **tooLarge) {
        counter.setWidths(zeroBits, oneBits);
        qint64 sum = 0;
        for (size_t i = 0; i < glyphs.size(); i += step) {
            const qint64 size = prefixSize(glyphs[i].code) + (box + counter.bits(i) + 7) / 8;
            if (size > kMaxRecordSize) {
                *tooLarge = &glyphs[i];
                return std::numeric_limits<qint64>::max();
            }
            sum += size;
            if (sum > bound)
                return sum;
        }
        return sum;
    };
    const Trimmed *tooLarge = nullptr;
    qint64 best = std::numeric_limits<qint64>::max();
    int bestOrder = std::numeric_limits<int>::max();
    const auto order = [](int zeroBits, int oneBits) {
        return (zeroBits - kMinZeroBits) * (kMaxOneBits - kMinOneBits + 1) + oneBits - kMinOneBits;
    };
    const size_t sampleStep = glyphs.size() / 512;
    if (sampleStep > 1) {
        qint64 sampleBest = std::numeric_limits<qint64>::max();
        int zeroBits = kMinZeroBits, oneBits = kMinOneBits;
        for (int z = kMinZeroBits; z <= kMaxZeroBits; ++z) {
            for (int o = kMinOneBits; o <= kMaxOneBits; ++o) {
                const qint64 sum = total(z, o, sampleBest, sampleStep, &tooLarge);
                if (sum < sampleBest) {
                    sampleBest = sum;
                    zeroBits = z;
                    oneBits = o;
                }
            }
        }
        best = total(zeroBits, oneBits, best, 1, &tooLarge);
        if (best != std::numeric_limits<qint64>::max()) {
            bestOrder = order(zeroBits, oneBits);
            fields.zeros = zeroBits;
            fields.ones = oneBits;
        }
    }
    for (int z = kMinZeroBits; z <= kMaxZeroBits; ++z) {
        for (int o = kMinOneBits; o <= kMaxOneBits; ++o) {
            const qint64 sum = total(z, o, best, 1, &tooLarge);
            if (sum < best || (sum == best && order(z, o) < bestOrder)) {
                best = sum;
                bestOrder = order(z, o);
                fields.zeros = z;
                fields.ones = o;
            }
        }
    }
    if (best == std::numeric_limits<qint64>::max()) {
        fail(error, QStringLiteral("%1 takes more than %2 bytes, the most a u8g2 glyph record holds")
                            .arg(FontCodes::name(tooLarge->code))
                            .arg(kMaxRecordSize));
        return std::nullopt;
    }

    QByteArray out(kHeaderSize, '\0');
    out[kGlyphCount] = char(glyphs.size() & 0xFF); // one byte; the library never reads it
    out[kBoxMode] = 0;
    out[kZeroBits] = char(fields.zeros);
    out[kOneBits] = char(fields.ones);
    out[kWidthBits] = char(fields.width);
    out[kHeightBits] = char(fields.height);
    out[kXBits] = char(fields.x);
    out[kYBits] = char(fields.y);
    out[kAdvanceBits] = char(fields.advance);
    putMetrics(out, glyphs);

    // A record is at most 254 bytes, so the 256 below U+0100 stay within
    // the 16-bit offsets, and so does each block of the lookup table.
    const auto firstUnicode = std::find_if(glyphs.begin(), glyphs.end(),
                                           [](const Trimmed &glyph) { return glyph.code >= kFirstUnicode; });
    for (auto it = glyphs.begin(); it != firstUnicode; ++it) {
        if (it->code == 'A')
            setWord(out, kOffsetA, int(out.size() - kHeaderSize));
        if (it->code == 'a')
            setWord(out, kOffsetLowerA, int(out.size() - kHeaderSize));
        appendRecord(out, *it, fields);
    }
    appendWord(out, 0);
    setWord(out, kOffsetUnicode, int(out.size() - kHeaderSize));

    // Blocks of 101 glyphs, the last one taking the rest; each entry holds
    // the length of the block before it (the first: the table's own) and
    // the last code in its own block, the last entry U+FFFF.
    const qsizetype entries = std::max<qsizetype>(1, unicodeCount / kLookupBlock);
    const qsizetype table = out.size();
    out.append(QByteArray(entries * 4, '\0'));
    setWord(out, int(table), int(entries * 4));
    qsizetype blockStart = out.size();
    qsizetype inBlock = 0;
    qsizetype entry = 0;
    for (auto it = firstUnicode; it != glyphs.end(); ++it) {
        appendRecord(out, *it, fields);
        if (++inBlock == kLookupBlock && entry < entries - 1) {
            setWord(out, int(table + entry * 4 + 2), it->code);
            ++entry;
            setWord(out, int(table + entry * 4), int(out.size() - blockStart));
            blockStart = out.size();
            inBlock = 0;
        }
    }
    setWord(out, int(table + entry * 4 + 2), kLastCode);
    appendWord(out, 0);
    return out;
}

std::optional<std::vector<Part>> parts(QByteArrayView data, QString *error)
{
    Layout layout;
    if (!walk(data, &layout, error))
        return std::nullopt;
    return std::move(layout.parts);
}

std::optional<std::vector<DrawnGlyph>> decode(QByteArrayView data, QString *error)
{
    Layout layout;
    if (!walk(data, &layout, error))
        return std::nullopt;
    std::vector<DrawnGlyph> glyphs;
    for (const Part &part : layout.parts) {
        if (part.kind != Part::Kind::Glyph)
            continue;
        DrawnGlyph glyph;
        if (!decodeGlyph(data, part, layout.fields, &glyph, error))
            return std::nullopt;
        glyphs.push_back(std::move(glyph));
    }
    return glyphs;
}

} // namespace U8g2Font
