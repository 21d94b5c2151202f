#include "psfformat.h"

#include "codepoints.h"

#include <QtAlgorithms>

#include <algorithm>
#include <vector>

namespace PsfFormat {

namespace {

constexpr qint64 kPsf1HeaderBytes = 4;
constexpr qint64 kPsf2HeaderBytes = 32;
constexpr uchar kPsf1Magic[] = {0x36, 0x04};
constexpr uchar kPsf2Magic[] = {0x72, 0xb5, 0x4a, 0x86};
constexpr uchar kPsf1Mode512 = 0x01;
constexpr uchar kPsf1ModeTable = 0x02 | 0x04; // a table, and one with sequences
constexpr quint32 kPsf2FlagTable = 0x01;
constexpr quint16 kPsf1SequenceStart = 0xFFFE;
constexpr quint16 kPsf1GlyphEnd = 0xFFFF;
constexpr uchar kPsf2SequenceStart = 0xFE;
constexpr uchar kPsf2GlyphEnd = 0xFF;
// Far above any console font (they hold 256 or 512 glyphs, a few tens of
// thousands at most), low enough that a set of this many stays small.
constexpr quint32 kMaxGlyphs = 1u << 17;
// A glyph larger than this is no console font's but a damaged file's; one
// up to it opens for the glyphs whose ink fits the largest matrix.
constexpr quint32 kMaxGlyphSize = 256;

// What the header says.
struct Header
{
    bool psf1 = false;
    qint64 glyphStart = 0;
    qint64 count = 0;
    qint64 charSize = 0;
    int cols = 0;
    int rows = 0;
    bool hasTable = false;
    qint64 countOffset = 0; // where the header gives the glyph count
};

quint16 le16(const uchar *p)
{
    return quint16(p[0] | (p[1] << 8));
}

quint32 le32(const uchar *p)
{
    return quint32(p[0]) | (quint32(p[1]) << 8) | (quint32(p[2]) << 16) | (quint32(p[3]) << 24);
}

// A PSF has no baseline. Letters without descenders stand on it, so the
// lowest row that 'H' (or, failing that, 'x' or 'I') reaches tells where it
// lies; a font with none of them gets the lowest quarter as descent, as in
// the 8 × 16 and 8 × 8 console fonts.
int ascentOf(const GlyphSet &set)
{
    for (const int codePoint : {int('H'), int('x'), int('I')}) {
        const qsizetype index = set.indexOf(codePoint);
        if (index < 0)
            continue;
        const Drawing &bits = set.at(index).bits;
        for (int r = bits.rows() - 1; r >= 0; --r) {
            for (int c = 0; c < bits.cols(); ++c) {
                if (bits.isSet(r, c))
                    return r + 1;
            }
        }
    }
    return set.rows() - set.rows() / 4;
}

QByteArray glyphName(int codePoint, qsizetype index)
{
    if (codePoint == Glyph::kNoCodePoint)
        return "glyph" + QByteArray::number(index);
    return CodePoints::glyphName(codePoint);
}

bool isSurrogate(uint codePoint)
{
    return codePoint >= 0xD800 && codePoint <= 0xDFFF;
}

enum class Utf8 { Ok, Bad, CutShort };

// One strictly well-formed UTF-8 character: no overlong forms, surrogates or
// values past U+10FFFF.
Utf8 decodeUtf8(const uchar *p, qint64 available, uint *codePoint, int *length)
{
    const uchar lead = p[0];
    int n = 0;
    uint value = 0;
    uint least = 0;
    if (lead < 0x80) {
        *codePoint = lead;
        *length = 1;
        return Utf8::Ok;
    } else if (lead >= 0xC2 && lead < 0xE0) {
        n = 2, value = lead & 0x1Fu, least = 0x80;
    } else if (lead >= 0xE0 && lead < 0xF0) {
        n = 3, value = lead & 0x0Fu, least = 0x800;
    } else if (lead >= 0xF0 && lead < 0xF5) {
        n = 4, value = lead & 0x07u, least = 0x10000;
    } else {
        return Utf8::Bad;
    }
    for (int k = 1; k < n; ++k) {
        if (k >= available)
            return Utf8::CutShort;
        if ((p[k] & 0xC0) != 0x80)
            return Utf8::Bad;
        value = (value << 6) | (p[k] & 0x3Fu);
    }
    if (value < least || value > 0x10FFFF || isSurrogate(value))
        return Utf8::Bad;
    *codePoint = value;
    *length = n;
    return Utf8::Ok;
}

QString sizeWhat(int cols, qint64 rows, const char *comparison, int limit)
{
    return QStringLiteral("its glyphs are %1 pixels wide and %2 high, %3 than the %4 × %4 this program edits")
            .arg(cols)
            .arg(rows)
            .arg(QLatin1String(comparison))
            .arg(limit);
}

class Reader
{
public:
    Reader(const QByteArray &bytes, const QString &fileName)
        : m_data(reinterpret_cast<const uchar *>(bytes.constData())), m_size(bytes.size()), m_fileName(fileName)
    {
    }

    ReadResult read(const FontSubset::Options &options)
    {
        Header header;
        std::vector<FontSubset::GlyphExtent> glyphs;
        if (std::optional<ReadResult> refused = parse(&header, &glyphs))
            return *refused;
        return this->glyphs(header, glyphs, options);
    }

    FontSubset::Scan scan()
    {
        Header header;
        FontSubset::Scan scan;
        if (std::optional<ReadResult> refused = parse(&header, &scan.glyphs)) {
            scan.error = refused->error;
            scan.glyphs.clear();
            return scan;
        }
        scan.fontBox = scan.whole = {header.cols, header.rows, 0, 0};
        return scan;
    }

private:
    bool startsWith(const uchar *magic, size_t length) const
    {
        return m_size >= qint64(length) && std::equal(magic, magic + length, m_data);
    }

    ReadResult fail(qint64 offset, const QString &what) const
    {
        return ReadResult::atByte(m_fileName, offset, what);
    }

    std::optional<ReadResult> notPsf() const
    {
        return fail(0, QStringLiteral("this is no PSF font: it does not begin with a PSF1 or PSF2 magic number"));
    }

    std::optional<ReadResult> psf1Header(Header *header) const
    {
        if (m_size < kPsf1HeaderBytes)
            return fail(m_size, QStringLiteral("the file ends inside its 4-byte PSF1 header"));
        const uchar mode = m_data[2];
        if (mode & ~(kPsf1Mode512 | kPsf1ModeTable))
            return fail(2, QStringLiteral("the PSF1 mode 0x%1 has bits no PSF1 font uses")
                                   .arg(mode, 2, 16, QLatin1Char('0')));
        header->psf1 = true;
        header->glyphStart = kPsf1HeaderBytes;
        header->count = (mode & kPsf1Mode512) ? 512 : 256;
        header->countOffset = 2;
        header->hasTable = mode & kPsf1ModeTable;
        header->cols = 8;
        header->rows = m_data[3];
        header->charSize = m_data[3];
        if (header->rows < GlyphSet::kMinSize)
            return fail(3, sizeWhat(8, header->rows, "less", GlyphSet::kMinSize));
        return glyphsFit(*header);
    }

    std::optional<ReadResult> psf2Header(Header *header) const
    {
        if (m_size < kPsf2HeaderBytes)
            return fail(m_size, QStringLiteral("the file ends inside its 32-byte PSF2 header"));
        const quint32 version = le32(m_data + 4);
        const quint32 headerSize = le32(m_data + 8);
        const quint32 flags = le32(m_data + 12);
        const quint32 count = le32(m_data + 16);
        const quint32 charSize = le32(m_data + 20);
        const quint32 height = le32(m_data + 24);
        const quint32 width = le32(m_data + 28);
        if (version != 0)
            return fail(4, QStringLiteral("PSF2 version %1 is unknown; this program reads version 0").arg(version));
        if (headerSize < kPsf2HeaderBytes)
            return fail(8, QStringLiteral("the header says it is %1 bytes long, less than a PSF2 header's 32")
                                   .arg(headerSize));
        if (headerSize > m_size)
            return fail(8, QStringLiteral("the header says it is %1 bytes long, the file holds %2")
                                   .arg(headerSize)
                                   .arg(m_size));
        const int minSize = GlyphSet::kMinSize;
        if (width > kMaxGlyphSize || height > kMaxGlyphSize) {
            return fail(width > kMaxGlyphSize ? 28 : 24,
                        QStringLiteral("its glyphs are %1 pixels wide and %2 high, larger than any glyph this "
                                       "program reads (%3 × %3)")
                                .arg(width)
                                .arg(height)
                                .arg(kMaxGlyphSize));
        }
        header->cols = int(width);
        header->rows = int(height);
        if (header->cols < minSize || header->rows < minSize)
            return fail(header->cols < minSize ? 28 : 24, sizeWhat(header->cols, header->rows, "less", minSize));
        const quint32 needed = height * ((width + 7) / 8);
        if (charSize != needed)
            return fail(20, QStringLiteral("the header says each glyph takes %1 bytes, but %2 × %3 pixels take %4")
                                    .arg(charSize)
                                    .arg(width)
                                    .arg(height)
                                    .arg(needed));
        if (count > kMaxGlyphs)
            return fail(16, QStringLiteral("the header says %1 glyphs, more than the %2 this program reads")
                                    .arg(count)
                                    .arg(kMaxGlyphs));
        header->glyphStart = headerSize;
        header->count = count;
        header->countOffset = 16;
        header->charSize = charSize;
        header->hasTable = flags & kPsf2FlagTable;
        return glyphsFit(*header);
    }

    // Every count and size is small by now (at most kMaxGlyphs glyphs of at
    // most 8 KiB), so nothing here overflows.
    std::optional<ReadResult> glyphsFit(const Header &header) const
    {
        if (header.count == 0)
            return fail(header.countOffset, QStringLiteral("the header says the font has no glyphs"));
        const qint64 held = (m_size - header.glyphStart) / header.charSize;
        if (held < header.count)
            return fail(header.countOffset, QStringLiteral("the header says %1 glyphs, the file holds %2")
                                                    .arg(header.count)
                                                    .arg(held));
        return std::nullopt;
    }

    // The header and the Unicode table, and each glyph's code point and ink:
    // x from the cell's left edge, y up from its bottom row.
    std::optional<ReadResult> parse(Header *header, std::vector<FontSubset::GlyphExtent> *glyphs) const
    {
        std::optional<ReadResult> refused = startsWith(kPsf2Magic, sizeof kPsf2Magic) ? psf2Header(header)
                : startsWith(kPsf1Magic, sizeof kPsf1Magic)                            ? psf1Header(header)
                                                                                       : notPsf();
        if (refused)
            return refused;
        std::vector<int> codePoints(size_t(header->count), Glyph::kNoCodePoint);
        if (header->hasTable) {
            const qint64 tableStart = header->glyphStart + header->count * header->charSize;
            refused = header->psf1 ? psf1Table(tableStart, &codePoints) : psf2Table(tableStart, &codePoints);
            if (refused)
                return refused;
        } else {
            for (size_t i = 0; i < codePoints.size(); ++i)
                codePoints[i] = int(i);
        }
        glyphs->resize(size_t(header->count));
        for (qint64 i = 0; i < header->count; ++i) {
            FontSubset::GlyphExtent &glyph = (*glyphs)[size_t(i)];
            glyph.codePoint = codePoints[size_t(i)];
            if (glyph.codePoint == Glyph::kNoCodePoint)
                glyph.name = glyphName(glyph.codePoint, i);
            glyph.line = bitmapOffset(*header, i);
            int left = header->cols;
            int right = -1;
            int top = -1;
            int bottom = -1;
            const int rowBytes = (header->cols + 7) / 8;
            // Bits past the width in a row's last byte are padding.
            const uchar lastMask = uchar(0xFF << (8 * rowBytes - header->cols));
            const uchar *bits = m_data + glyph.line;
            for (int r = 0; r < header->rows; ++r, bits += rowBytes) {
                for (int b = 0; b < rowBytes; ++b) {
                    const uchar byte = b == rowBytes - 1 ? bits[b] & lastMask : bits[b];
                    if (!byte)
                        continue;
                    left = std::min(left, 8 * b + int(qCountLeadingZeroBits(byte)));
                    right = std::max(right, 8 * b + 7 - int(qCountTrailingZeroBits(byte)));
                    top = top < 0 ? r : top;
                    bottom = r;
                }
            }
            if (right >= 0)
                glyph.ink = {right - left + 1, bottom - top + 1, left, header->rows - 1 - bottom};
        }
        return std::nullopt;
    }

    qint64 bitmapOffset(const Header &header, qint64 glyph) const
    {
        return header.glyphStart + glyph * header.charSize;
    }

    bool isSet(const Header &header, qint64 glyph, int row, int col) const
    {
        const uchar *bits = m_data + bitmapOffset(header, glyph) + row * ((header.cols + 7) / 8);
        return bits[col / 8] & (0x80 >> (col % 8));
    }

    // The glyphs taken, in the matrix their ink makes: the whole cell when
    // it fits.
    ReadResult glyphs(const Header &header, const std::vector<FontSubset::GlyphExtent> &extents,
                      const FontSubset::Options &options) const
    {
        std::vector<const FontSubset::GlyphExtent *> pointers;
        pointers.reserve(extents.size());
        for (const FontSubset::GlyphExtent &extent : extents)
            pointers.push_back(&extent);
        const FontSubset::Box cell{header.cols, header.rows, 0, 0};
        const FontSubset::Layout layout = FontSubset::layOut(cell, cell, pointers, options);
        if (!layout.misfit.isEmpty())
            return fail(layout.line, layout.misfit);
        const int cols = std::max(layout.cell.w, GlyphSet::kMinSize);
        const int rows = std::max(layout.cell.h, GlyphSet::kMinSize);
        // The cell's row r is the matrix's row r - firstRow, its column c
        // the matrix's c - firstCol.
        const int firstRow = header.rows - (layout.cell.y + layout.cell.h);
        const int firstCol = layout.cell.x;
        GlyphSet set(cols, rows);
        set.reserve(layout.glyphs);
        for (qint64 i = 0; i < header.count; ++i) {
            if (!layout.taken[size_t(i)])
                continue;
            const FontSubset::GlyphExtent &extent = extents[size_t(i)];
            Glyph glyph;
            glyph.codePoint = extent.codePoint;
            glyph.name = glyphName(glyph.codePoint, i);
            glyph.bits = Drawing(rows, cols);
            const FontSubset::Box &ink = extent.ink;
            for (int r = header.rows - (ink.y + ink.h); r < header.rows - ink.y; ++r) {
                for (int c = ink.x; c < ink.x + ink.w; ++c) {
                    if (isSet(header, i, r, c))
                        glyph.bits.set(r - firstRow, c - firstCol);
                }
            }
            set.append(std::move(glyph));
        }
        set.ascent = ascentOf(set);
        ReadResult result(std::move(set), QString());
        if (layout.glyphs < header.count)
            result.fontGlyphs = qsizetype(header.count);
        return result;
    }

    ReadResult tableCutShort(qint64 offset, size_t done, size_t count) const
    {
        return fail(offset, QStringLiteral("the Unicode table ends after %1 of the %2 glyphs").arg(done).arg(count));
    }

    // 16-bit values per glyph up to 0xFFFF; those after a 0xFFFE are
    // sequences (a letter and its accents), which no single glyph stands for.
    std::optional<ReadResult> psf1Table(qint64 pos, std::vector<int> *codePoints) const
    {
        for (size_t i = 0; i < codePoints->size(); ++i) {
            bool inSequence = false;
            for (;;) {
                if (m_size - pos < 2)
                    return tableCutShort(pos, i, codePoints->size());
                const quint16 value = le16(m_data + pos);
                if (value == kPsf1GlyphEnd) {
                    pos += 2;
                    break;
                }
                if (value == kPsf1SequenceStart)
                    inSequence = true;
                else if (isSurrogate(value))
                    return fail(pos, QStringLiteral("the Unicode table holds 0x%1, half of a UTF-16 pair, "
                                                    "which is no character")
                                             .arg(value, 4, 16, QLatin1Char('0')));
                else if (!inSequence && (*codePoints)[i] == Glyph::kNoCodePoint)
                    (*codePoints)[i] = value;
                pos += 2;
            }
        }
        return std::nullopt;
    }

    // UTF-8 per glyph up to 0xFF; a 0xFE starts a sequence, as in PSF1.
    std::optional<ReadResult> psf2Table(qint64 pos, std::vector<int> *codePoints) const
    {
        for (size_t i = 0; i < codePoints->size(); ++i) {
            bool inSequence = false;
            for (;;) {
                if (pos >= m_size)
                    return tableCutShort(pos, i, codePoints->size());
                const uchar byte = m_data[pos];
                if (byte == kPsf2GlyphEnd) {
                    ++pos;
                    break;
                }
                if (byte == kPsf2SequenceStart) {
                    inSequence = true;
                    ++pos;
                    continue;
                }
                uint codePoint = 0;
                int length = 0;
                switch (decodeUtf8(m_data + pos, m_size - pos, &codePoint, &length)) {
                case Utf8::Bad:
                    return fail(pos, QStringLiteral("the Unicode table has bytes here that are no UTF-8"));
                case Utf8::CutShort:
                    return tableCutShort(pos, i, codePoints->size());
                case Utf8::Ok:
                    break;
                }
                if (!inSequence && (*codePoints)[i] == Glyph::kNoCodePoint)
                    (*codePoints)[i] = int(codePoint);
                pos += length;
            }
        }
        return std::nullopt;
    }

    const uchar *m_data;
    qint64 m_size;
    QString m_fileName;
};

} // namespace

bool isPsf(const QByteArray &bytes)
{
    return bytes.startsWith("\x36\x04") || bytes.startsWith("\x72\xb5\x4a\x86");
}

ReadResult read(const QByteArray &bytes, const QString &fileName, const FontSubset::Options &options)
{
    return Reader(bytes, fileName).read(options);
}

FontSubset::Scan scan(const QByteArray &bytes, const QString &fileName)
{
    return Reader(bytes, fileName).scan();
}

} // namespace PsfFormat
