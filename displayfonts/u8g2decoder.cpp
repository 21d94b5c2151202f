#include "u8g2font.h"

#include "fontcodes.h"
#include "u8g2bytes.h"

#include <algorithm>

namespace U8g2Font {

namespace {

using namespace U8g2Bytes;


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

// The header's field widths, each one the library can read.
bool readHeader(QByteArrayView data, Layout *layout, QString *error)
{
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
    layout->parts.push_back({Part::Kind::Header, 0, kHeaderSize, -1});
    return true;
}

// The codes below 256: records up to one whose size byte is 0.
bool walkByteRecords(QByteArrayView data, std::vector<Part> &parts, QString *error)
{
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
    parts.push_back({Part::Kind::SectionEnd, offset, 2, -1});
    return true;
}

// The library starts looking for 'A' and above, and for 'a' and above, at
// the offsets the header gives. The parts are the header, the records below
// 256 and their end mark.
bool checkLetterOffsets(QByteArrayView data, const std::vector<Part> &parts, QString *error)
{
    const size_t firstByteGlyph = 1;
    const size_t byteGlyphs = parts.size() - 2;
    const qsizetype endOfBytes = parts.back().offset;
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
    return true;
}

// The lookup table of the codes from 256: entries up to the one for U+FFFF,
// each holding how far its block of records lies from the one before and
// the last code in it.
struct LookupTable
{
    qsizetype offset = 0;
    std::vector<qint64> blockStarts;
    std::vector<int> blockLastCodes;
};

bool readLookupTable(QByteArrayView data, LookupTable *table, std::vector<Part> &parts, QString *error)
{
    table->offset = kHeaderSize + wordAt(data, kOffsetUnicode);
    qint64 blockStart = table->offset;
    for (qsizetype entry = table->offset;; entry += 4) {
        if (entry + 4 > data.size())
            return failAt(error, std::min(entry, data.size()),
                          QStringLiteral("the Unicode lookup table has no entry for U+FFFF"));
        blockStart += wordAt(data, entry);
        table->blockStarts.push_back(blockStart);
        table->blockLastCodes.push_back(wordAt(data, entry + 2));
        if (table->blockLastCodes.back() == kLastCode)
            break;
    }
    parts.push_back({Part::Kind::LookupTable, table->offset, qsizetype(table->blockStarts.size() * 4), -1});
    return true;
}

// The records of the codes from 256, from the first block up to one whose
// code is 0.
bool walkUnicodeRecords(QByteArrayView data, qsizetype offset, std::vector<Part> &parts, QString *error)
{
    int previous = kFirstUnicode - 1;
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
    return true;
}

// Every block must start at a record (or the end mark), and the block the
// table sends a code to must not start past that code's record. The parts
// from `firstUnicode` are the records from 256 and their end mark.
bool checkBlocks(const LookupTable &table, const std::vector<Part> &parts, size_t firstUnicode, QString *error)
{
    const size_t lastUnicode = parts.size() - 1; // one past
    std::vector<size_t> blockIndex;
    size_t index = firstUnicode;
    for (size_t k = 0; k < table.blockStarts.size(); ++k) {
        while (index < lastUnicode && parts[index].offset < table.blockStarts[k])
            ++index;
        if (parts[index].offset != table.blockStarts[k])
            return failAt(error, table.offset + qsizetype(4 * k), QStringLiteral("a lookup table entry points into a record"));
        blockIndex.push_back(index);
    }
    size_t block = 0;
    for (size_t i = firstUnicode; i < lastUnicode; ++i) {
        while (table.blockLastCodes[block] < parts[i].codePoint)
            ++block;
        if (blockIndex[block] > i)
            return failAt(error, table.offset + qsizetype(4 * block),
                          QStringLiteral("the lookup table sends %1 past its record").arg(FontCodes::name(parts[i].codePoint)));
    }
    return true;
}

// Follows the data as the library's glyph lookup does, and checks that every
// record it passes is one the lookup finds, so that the glyphs decoded are
// the glyphs a device draws.
bool walk(QByteArrayView data, Layout *layout, QString *error)
{
    std::vector<Part> &parts = layout->parts;
    if (!readHeader(data, layout, error) || !walkByteRecords(data, parts, error)
        || !checkLetterOffsets(data, parts, error))
        return false;
    LookupTable table;
    if (!readLookupTable(data, &table, parts, error))
        return false;
    const size_t firstUnicode = parts.size();
    return walkUnicodeRecords(data, qsizetype(table.blockStarts.front()), parts, error)
            && checkBlocks(table, parts, firstUnicode, error);
}

// A record's box, as the library reads it before the runs.
struct Box
{
    int w = 0;
    int h = 0;
    int x = 0;
    int y = 0;
    int advance = 0;
};

bool readBox(BitReader &reader, const Fields &fields, Box *box)
{
    return reader.read(fields.width, &box->w) && reader.read(fields.height, &box->h)
            && reader.readSigned(fields.x, &box->x) && reader.readSigned(fields.y, &box->y)
            && reader.readSigned(fields.advance, &box->advance);
}

// The runs of a glyph's box, each pixel they set handed to `setPixel(row,
// column)`, until the box is full.
template<typename SetPixel>
bool readRuns(BitReader &reader, const Fields &fields, const Part &part, const Box &box, SetPixel setPixel,
              QString *error)
{
    const QString name = FontCodes::name(part.codePoint);
    const int total = box.w * box.h;
    int filled = 0;
    const auto shortRuns = [&] {
        return failAt(error, part.offset, QStringLiteral("the runs of %1 end before its %2 x %3 box is full")
                                                  .arg(name)
                                                  .arg(box.w)
                                                  .arg(box.h));
    };
    while (filled < total) {
        int zeros = 0, ones = 0, again = 0;
        if (!reader.read(fields.zeros, &zeros) || !reader.read(fields.ones, &ones))
            return shortRuns();
        do {
            if (filled + zeros + ones > total)
                return failAt(error, part.offset, QStringLiteral("the runs of %1 pass the end of its %2 x %3 box")
                                                          .arg(name)
                                                          .arg(box.w)
                                                          .arg(box.h));
            filled += zeros;
            for (int i = 0; i < ones; ++i, ++filled)
                setPixel(filled / box.w, filled % box.w);
            if (!reader.read(1, &again))
                return shortRuns();
        } while (again != 0);
    }
    return true;
}

// A record's box read, and its runs handed to `setPixel`, `box` checked by
// `boxFits` first (false to pass the glyph over, its runs unread).
template<typename BoxFits, typename SetPixel>
bool readGlyph(QByteArrayView data, const Part &part, const Fields &fields, Box *box, BoxFits boxFits,
               SetPixel setPixel, QString *error)
{
    const QString name = FontCodes::name(part.codePoint);
    BitReader reader(data, part.offset + prefixSize(part.codePoint), part.offset + part.size);
    if (!readBox(reader, fields, box))
        return failAt(error, part.offset, QStringLiteral("the record of %1 ends within its box").arg(name));
    if (box->w == 0)
        return true;
    if (box->h == 0)
        return failAt(error, part.offset, QStringLiteral("%1 is %2 pixels wide and none high").arg(name).arg(box->w));
    if (!boxFits(*box))
        return true;
    return readRuns(reader, fields, part, *box, setPixel, error);
}

// `tooLarge` set and nothing drawn where the glyph is larger than a drawing
// holds and the caller passes such glyphs over.
bool decodeGlyph(QByteArrayView data, const Part &part, const Fields &fields, DrawnGlyph *glyph, bool *tooLarge,
                 QString *error)
{
    Box box;
    bool large = false;
    // The runs of a glyph passed over as too large are read all the same,
    // their pixels dropped, so that a font is refused where any of its
    // glyphs is damaged, drawn or not.
    const auto fits = [&](const Box &read) {
        large = read.w > Drawing::kMaxSize || read.h > Drawing::kMaxSize;
        if (!large)
            glyph->bits = Drawing(read.h, read.w);
        return !large || tooLarge;
    };
    glyph->bits = Drawing(0, 0);
    if (!readGlyph(data, part, fields, &box, fits, [&](int r, int c) { glyph->bits.set(r, c); }, error))
        return false;
    glyph->codePoint = part.codePoint;
    glyph->advance = box.advance;
    glyph->x = box.x;
    // The library places the box's top row h + y rows above the pen.
    glyph->y = -(box.h + box.y);
    if (large && tooLarge) {
        *tooLarge = true;
        return true;
    }
    if (large)
        return failAt(error, part.offset, QStringLiteral("%1 is %2 x %3 pixels; glyphs here are at most 16 x 16")
                                                  .arg(FontCodes::name(part.codePoint))
                                                  .arg(box.w)
                                                  .arg(box.h));
    return true;
}

} // namespace

std::optional<std::vector<Part>> parts(QByteArrayView data, QString *error)
{
    Layout layout;
    if (!walk(data, &layout, error))
        return std::nullopt;
    return std::move(layout.parts);
}

std::optional<std::vector<DrawnGlyph>> decode(QByteArrayView data, QString *error)
{
    return decode(data, nullptr, error);
}

std::optional<std::vector<DrawnGlyph>> decode(QByteArrayView data, qsizetype *larger, QString *error)
{
    Layout layout;
    if (!walk(data, &layout, error))
        return std::nullopt;
    std::vector<DrawnGlyph> glyphs;
    if (larger)
        *larger = 0;
    for (const Part &part : layout.parts) {
        if (part.kind != Part::Kind::Glyph)
            continue;
        DrawnGlyph glyph;
        bool tooLarge = false;
        if (!decodeGlyph(data, part, layout.fields, &glyph, larger ? &tooLarge : nullptr, error))
            return std::nullopt;
        if (tooLarge)
            ++*larger;
        else
            glyphs.push_back(std::move(glyph));
    }
    return glyphs;
}

std::vector<StoredGlyph> decodeStored(QByteArrayView data)
{
    Layout layout;
    if (!walk(data, &layout, nullptr))
        return {};
    std::vector<StoredGlyph> glyphs;
    for (const Part &part : layout.parts) {
        if (part.kind != Part::Kind::Glyph)
            continue;
        std::optional<StoredGlyph> glyph;
        const auto box = [&](const Box &read) {
            glyph.emplace(part.codePoint, read.advance, read.x, -(read.h + read.y), read.w, read.h);
            return true;
        };
        Box read;
        if (!readGlyph(data, part, layout.fields, &read, box, [&](int r, int c) { glyph->set(r, c); }, nullptr))
            return {};
        if (!glyph) // a blank glyph
            glyph.emplace(part.codePoint, read.advance, read.x, -(read.h + read.y), 0, 0);
        glyphs.push_back(std::move(*glyph));
    }
    return glyphs;
}

} // namespace U8g2Font
