#include "u8g2font.h"

#include "fontcodes.h"
#include "u8g2bytes.h"
#include "u8g2runcounter.h"
#include "u8g2trimmed.h"

#include <QtGlobal>

#include <algorithm>
#include <limits>

namespace U8g2Font {

namespace {

using namespace U8g2Bytes;

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

// ---------------------------------------------------------------- encoding

using U8g2Trimmed::Trimmed;

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

// The record's bits after the code and size bytes: the box, then the pairs
// of fields, a pair equal to the one before costing a single repeat bit.
void putGlyph(const Trimmed &glyph, const Fields &fields, bool blankRuns, BitSink &sink)
{
    sink.put(unsigned(glyph.w), fields.width);
    sink.put(unsigned(glyph.h), fields.height);
    sink.putSigned(glyph.x, fields.x);
    sink.putSigned(glyph.y, fields.y);
    sink.putSigned(glyph.advance, fields.advance);
    if (glyph.w == 0) {
        // The library reads no runs then; the converter ends them anyway.
        if (blankRuns)
            sink.put(0, 1);
        return;
    }
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


// The bits of the box fields in front of the runs.
int boxBits(const Fields &fields)
{
    return fields.width + fields.height + fields.x + fields.y + fields.advance;
}

void appendRecord(QByteArray &out, const Trimmed &glyph, const Fields &fields, bool blankRuns)
{
    QByteArray bits;
    BitSink sink(&bits);
    putGlyph(glyph, fields, blankRuns, sink);
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
        if (!glyph.placed)
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
// The widths of the box fields, each the least that holds every glyph's.
Fields boxFields(const std::vector<Trimmed> &glyphs)
{
    Fields fields;
    for (const Trimmed &glyph : glyphs) {
        fields.width = std::max(fields.width, bitLength(glyph.w));
        fields.height = std::max(fields.height, bitLength(glyph.h));
        fields.x = std::max(fields.x, signedBits(glyph.x));
        fields.y = std::max(fields.y, signedBits(glyph.y));
        fields.advance = std::max(fields.advance, signedBits(glyph.advance));
    }
    return fields;
}

// Tries pairs of run-length field widths on the glyphs, counting the
// font's bytes.
class RunTrials
{
public:
    static constexpr qint64 kTooLarge = std::numeric_limits<qint64>::max();

    RunTrials(const std::vector<Trimmed> &glyphs, const Fields &fields)
        : m_glyphs(glyphs)
        , m_box(boxBits(fields))
    {
        for (const Trimmed &glyph : glyphs)
            m_counter.addGlyph(glyph.runs);
    }

    // The bytes of every `step`th glyph's record, or more than `bound` once
    // the sum passes it; kTooLarge when a record is longer than the format
    // allows, which tooLarge() then names.
    qint64 total(int zeroBits, int oneBits, qint64 bound, size_t step)
    {
        m_counter.setWidths(zeroBits, oneBits);
        qint64 sum = 0;
        for (size_t i = 0; i < m_glyphs.size(); i += step) {
            const qint64 size = prefixSize(m_glyphs[i].code) + (m_box + m_counter.bits(i) + 7) / 8;
            if (size > kMaxRecordSize) {
                m_tooLarge = &m_glyphs[i];
                return kTooLarge;
            }
            sum += size;
            if (sum > bound)
                return sum;
        }
        return sum;
    }

    const Trimmed *tooLarge() const { return m_tooLarge; }

private:
    const std::vector<Trimmed> &m_glyphs;
    const int m_box;
    U8g2RunCounter m_counter;
    const Trimmed *m_tooLarge = nullptr;
};

// Where a pair of widths stands in the converter's order.
int trialOrder(int zeroBits, int oneBits)
{
    return (zeroBits - kMinZeroBits) * (kMaxOneBits - kMinOneBits + 1) + oneBits - kMinOneBits;
}

// The run-length field widths that make the smallest font whose records all
// fit, the first in the converter's order among equals; false when no pair
// makes every record fit. A trial stops once it is larger than the best so
// far, so the widths that suit most glyphs are tried first: those that are
// best for a sample.
bool chooseRunFields(const std::vector<Trimmed> &glyphs, const Kept &kept, Fields *fields, QString *error)
{
    RunTrials trials(glyphs, *fields);
    if (kept.runBits
        && trials.total(kept.runBits->first, kept.runBits->second, RunTrials::kTooLarge - 1, 1) != RunTrials::kTooLarge) {
        fields->zeros = kept.runBits->first;
        fields->ones = kept.runBits->second;
        return true;
    }
    qint64 best = RunTrials::kTooLarge;
    int bestOrder = std::numeric_limits<int>::max();
    const size_t sampleStep = glyphs.size() / 512;
    if (sampleStep > 1) {
        qint64 sampleBest = RunTrials::kTooLarge;
        int zeroBits = kMinZeroBits, oneBits = kMinOneBits;
        for (int z = kMinZeroBits; z <= kMaxZeroBits; ++z) {
            for (int o = kMinOneBits; o <= kMaxOneBits; ++o) {
                const qint64 sum = trials.total(z, o, sampleBest, sampleStep);
                if (sum < sampleBest) {
                    sampleBest = sum;
                    zeroBits = z;
                    oneBits = o;
                }
            }
        }
        best = trials.total(zeroBits, oneBits, best, 1);
        if (best != RunTrials::kTooLarge) {
            bestOrder = trialOrder(zeroBits, oneBits);
            fields->zeros = zeroBits;
            fields->ones = oneBits;
        }
    }
    for (int z = kMinZeroBits; z <= kMaxZeroBits; ++z) {
        for (int o = kMinOneBits; o <= kMaxOneBits; ++o) {
            const qint64 sum = trials.total(z, o, best, 1);
            if (sum < best || (sum == best && trialOrder(z, o) < bestOrder)) {
                best = sum;
                bestOrder = trialOrder(z, o);
                fields->zeros = z;
                fields->ones = o;
            }
        }
    }
    if (best != RunTrials::kTooLarge)
        return true;
    return fail(error, QStringLiteral("%1 takes more than %2 bytes, the most a u8g2 glyph record holds")
                               .arg(FontCodes::name(trials.tooLarge()->code))
                               .arg(kMaxRecordSize));
}

QByteArray header(const std::vector<Trimmed> &glyphs, const Fields &fields)
{
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
    return out;
}

using TrimmedIt = std::vector<Trimmed>::const_iterator;

// The records of the codes below U+0100 and their end mark, noting where
// 'A' and 'a' start.
void appendByteRecords(QByteArray &out, TrimmedIt begin, TrimmedIt end, const Fields &fields, bool blankRuns)
{
    // A record is at most 254 bytes, so the 256 below U+0100 stay within
    // the 16-bit offsets, and so does each block of the lookup table.
    for (auto it = begin; it != end; ++it) {
        if (it->code == 'A')
            setWord(out, kOffsetA, int(out.size() - kHeaderSize));
        if (it->code == 'a')
            setWord(out, kOffsetLowerA, int(out.size() - kHeaderSize));
        appendRecord(out, *it, fields, blankRuns);
    }
    appendWord(out, 0);
}

// The lookup table, the records of the codes from U+0100 and their end
// mark. Blocks of 101 glyphs, the last one taking the rest; each entry holds
// the length of the block before it (the first: the table's own) and the
// last code in its own block, the last entry U+FFFF.
void appendUnicodeRecords(QByteArray &out, TrimmedIt begin, TrimmedIt end, const Fields &fields, bool blankRuns)
{
    const qsizetype entries = std::max<qsizetype>(1, qsizetype(end - begin) / kLookupBlock);
    const qsizetype table = out.size();
    out.append(QByteArray(entries * 4, '\0'));
    setWord(out, int(table), int(entries * 4));
    qsizetype blockStart = out.size();
    qsizetype inBlock = 0;
    qsizetype entry = 0;
    for (auto it = begin; it != end; ++it) {
        appendRecord(out, *it, fields, blankRuns);
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
}
} // namespace

std::optional<QByteArray> encode(const GlyphSet &set, QString *error, const LeftOut *leftOut)
{
    const Kept kept = U8g2Bytes::kept(set);
    const std::optional<std::vector<Trimmed>> glyphs = U8g2Trimmed::trimmedGlyphs(set, kept, leftOut, error);
    if (!glyphs)
        return std::nullopt;
    Fields fields = boxFields(*glyphs);
    if (!chooseRunFields(*glyphs, kept, &fields, error))
        return std::nullopt;
    QByteArray out = header(*glyphs, fields);
    const auto firstUnicode = std::find_if(glyphs->begin(), glyphs->end(),
                                           [](const Trimmed &glyph) { return glyph.code >= kFirstUnicode; });
    appendByteRecords(out, glyphs->begin(), firstUnicode, fields, !kept.blanks.empty());
    setWord(out, kOffsetUnicode, int(out.size() - kHeaderSize));
    appendUnicodeRecords(out, firstUnicode, glyphs->end(), fields, !kept.blanks.empty());
    return out;
}

} // namespace U8g2Font
