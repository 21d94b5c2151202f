#include "lvglfont.h"

#include "codepoints.h"
#include "fontcodes.h"

#include <algorithm>
#include <cstdint>

// LVGL's glyph bitmaps of every depth, plain or compressed, read as LVGL
// draws them on a display of one bit.
namespace LvglFont {

namespace {

std::nullopt_t failWith(QString *error, const QString &what)
{
    if (error)
        *error = what;
    return std::nullopt;
}

// Bits of a glyph's bitmap, most significant first; past the end of the
// data it reads nothing and says so.
class BitReader
{
public:
    BitReader(const QByteArray &data, qsizetype from) : m_data(data), m_bit(from * 8) {}

    bool read(int bits, int *value)
    {
        if (m_bit + bits > m_data.size() * 8)
            return false;
        int v = 0;
        for (int i = 0; i < bits; ++i, ++m_bit)
            v = v << 1 | (uchar(m_data[m_bit / 8]) >> (7 - m_bit % 8) & 1);
        *value = v;
        return true;
    }

private:
    const QByteArray &m_data;
    qint64 m_bit;
};

// The run-length code of compressed LVGL bitmaps: a value; the same value
// again starts a run, one more pixel for each 1 bit after it; a 0 bit ends
// the run with a new value; the 11th 1 bit is followed by a 6-bit count of
// further pixels (0: the run ends there, with a new value).
class RunReader
{
public:
    RunReader(const QByteArray &data, qsizetype from, int bpp) : m_bits(data, from), m_bpp(bpp) {}

    bool next(int *pixel)
    {
        switch (m_state) {
        case State::Single: {
            int value = 0;
            if (!m_bits.read(m_bpp, &value))
                return false;
            if (m_started && value == m_previous) {
                m_count = 0;
                m_state = State::Repeated;
            }
            m_started = true;
            m_previous = value;
            *pixel = value;
            return true;
        }
        case State::Repeated: {
            int bit = 0;
            if (!m_bits.read(1, &bit))
                return false;
            if (bit == 0)
                return newValue(pixel);
            if (++m_count == 11) {
                int count = 0;
                if (!m_bits.read(6, &count))
                    return false;
                if (count == 0)
                    return newValue(pixel);
                m_count = count;
                m_state = State::Counter;
            }
            *pixel = m_previous;
            return true;
        }
        case State::Counter:
            if (--m_count == 0)
                return newValue(pixel);
            *pixel = m_previous;
            return true;
        }
        return false;
    }

private:
    enum class State { Single, Repeated, Counter };

    bool newValue(int *pixel)
    {
        m_state = State::Single;
        if (!m_bits.read(m_bpp, &m_previous))
            return false;
        *pixel = m_previous;
        return true;
    }

    BitReader m_bits;
    int m_bpp;
    State m_state = State::Single;
    bool m_started = false;
    int m_previous = 0;
    int m_count = 0;
};

// The glyph's pixels, row after row, each as LVGL draws it on one bit.
bool pixelsOf(const Font &font, const GlyphDsc &dsc, StoredGlyph &glyph)
{
    const int half = 1 << (font.bpp - 1);
    const qsizetype count = qsizetype(dsc.boxW) * dsc.boxH;
    if (font.bitmapFormat == 0) {
        BitReader bits(font.bitmap, dsc.bitmapIndex);
        for (qsizetype i = 0; i < count; ++i) {
            int value = 0;
            if (!bits.read(font.bpp, &value))
                return false;
            if (value >= half)
                glyph.set(int(i / dsc.boxW), int(i % dsc.boxW));
        }
        return true;
    }
    RunReader runs(font.bitmap, dsc.bitmapIndex, font.bpp);
    std::vector<int> line(size_t(dsc.boxW), 0);
    for (int r = 0; r < dsc.boxH; ++r) {
        for (int c = 0; c < dsc.boxW; ++c) {
            int value = 0;
            if (!runs.next(&value))
                return false;
            // Each line after the first is stored XORed with the one above.
            line[size_t(c)] = font.bitmapFormat == 1 && r > 0 ? line[size_t(c)] ^ value : value;
            if (line[size_t(c)] >= half)
                glyph.set(r, c);
        }
    }
    return true;
}

} // namespace

std::optional<std::map<int, int>> glyphIds(const Font &font, QString *error)
{
    std::map<int, int> ids;
    const int glyphs = int(font.glyphs.size());
    for (size_t i = 0; i < font.cmaps.size(); ++i) {
        const Cmap &cmap = font.cmaps[i];
        const auto add = [&](qint64 offset, qint64 id) {
            const qint64 code = qint64(cmap.rangeStart) + offset;
            if (offset < 0 || offset >= cmap.rangeLength || code > CodePoints::kMax || id <= 0 || id >= glyphs)
                return false;
            ids.emplace(int(code), int(id));
            return true;
        };
        bool ok = cmap.rangeLength > 0;
        switch (cmap.type) {
        case CmapType::Format0Tiny:
            ok = ok && qint64(cmap.glyphIdStart) + cmap.rangeLength <= glyphs;
            for (int k = 0; ok && k < cmap.rangeLength; ++k)
                ok = add(k, qint64(cmap.glyphIdStart) + k);
            break;
        case CmapType::Format0Full:
            ok = ok && qsizetype(cmap.glyphIdOfs.size()) >= cmap.rangeLength;
            for (int k = 0; ok && k < cmap.rangeLength; ++k) {
                if (k == 0 || cmap.glyphIdOfs[size_t(k)] != 0)
                    ok = add(k, qint64(cmap.glyphIdStart) + cmap.glyphIdOfs[size_t(k)]);
            }
            break;
        case CmapType::SparseTiny:
        case CmapType::SparseFull:
            ok = ok && (cmap.type == CmapType::SparseTiny || cmap.glyphIdOfs.size() >= cmap.unicodeList.size());
            for (size_t k = 0; ok && k < cmap.unicodeList.size(); ++k) {
                const qint64 ofs = cmap.type == CmapType::SparseTiny ? qint64(k) : cmap.glyphIdOfs[k];
                ok = add(cmap.unicodeList[k], qint64(cmap.glyphIdStart) + ofs);
            }
            break;
        }
        if (!ok)
            return failWith(error, QStringLiteral("cmaps[%1] leads outside its range or the %2 glyphs").arg(i).arg(glyphs - 1));
    }
    return ids;
}

std::optional<std::vector<StoredGlyph>> decode(const Font &font, QString *error)
{
    if (font.bpp != 1 && font.bpp != 2 && font.bpp != 3 && font.bpp != 4 && font.bpp != 8)
        return failWith(error, QStringLiteral("a font of %1 bits a pixel").arg(font.bpp));
    if (font.bitmapFormat < 0 || font.bitmapFormat > 2)
        return failWith(error, QStringLiteral("a bitmap format of %1").arg(font.bitmapFormat));
    const std::optional<std::map<int, int>> ids = glyphIds(font, error);
    if (!ids)
        return std::nullopt;
    std::vector<StoredGlyph> glyphs;
    glyphs.reserve(ids->size());
    for (const auto &[code, id] : *ids) {
        const GlyphDsc &dsc = font.glyphs[size_t(id)];
        // A compressed pixel takes at least a bit, but for the runs a 6-bit
        // count gives: a box larger than the bytes after it can give is
        // damaged, and is not made.
        const qint64 bits = (font.bitmap.size() - qint64(dsc.bitmapIndex)) * 8 * (font.bitmapFormat == 0 ? 1 : 64);
        if (dsc.boxW < 0 || dsc.boxH < 0 || dsc.advW < 0 || qint64(dsc.boxW) * dsc.boxH > std::max<qint64>(bits, 0))
            return failWith(error, QStringLiteral("glyph_dsc[%1]: the bitmap of %2 runs past the end of the %3 bytes")
                                           .arg(id)
                                           .arg(FontCodes::name(code))
                                           .arg(font.bitmap.size()));
        StoredGlyph glyph(code, (dsc.advW + 8) >> 4, dsc.ofsX, -(dsc.ofsY + dsc.boxH), dsc.boxW, dsc.boxH);
        if (!pixelsOf(font, dsc, glyph))
            return failWith(error, QStringLiteral("glyph_dsc[%1]: the bitmap of %2 runs past the end of the %3 bytes")
                                           .arg(id)
                                           .arg(FontCodes::name(code))
                                           .arg(font.bitmap.size()));
        glyphs.push_back(std::move(glyph));
    }
    return glyphs;
}

} // namespace LvglFont
