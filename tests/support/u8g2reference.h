#pragma once

#include <algorithm>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

// u8g2 and u8x8 fonts drawn as the libraries draw them, written from the
// format's description (u8g2_font_get_glyph_data, u8g2_font_decode_glyph,
// u8x8_DrawGlyph) and apart from the program's encoder and decoder. Pixels
// are (x, y) pairs relative to the pen, y downwards, sorted by row and then
// column; for u8x8, relative to the glyph's top-left tile corner.
namespace U8g2Reference {

using Pixels = std::vector<std::pair<int, int>>;

inline void sortPixels(Pixels &pixels)
{
    std::sort(pixels.begin(), pixels.end(),
              [](const auto &a, const auto &b) { return a.second != b.second ? a.second < b.second : a.first < b.first; });
}

struct Drawn
{
    int advance = 0;
    Pixels pixels;
};

class Font
{
public:
    explicit Font(std::vector<uint8_t> bytes)
        : m_bytes(std::move(bytes))
    {
    }

    // Set once anything read lay past the end: the font is broken.
    bool overrun = false;

    // Where the glyph's bits start (after its code and size), or nothing
    // when the lookup does not find it.
    std::optional<size_t> glyphData(unsigned code)
    {
        size_t p = 23;
        if (code <= 255) {
            if (code >= 'a')
                p += word(19);
            else if (code >= 'A')
                p += word(17);
            while (!overrun) {
                if (byte(p + 1) == 0)
                    return std::nullopt;
                if (byte(p) == code)
                    return p + 2;
                p += byte(p + 1);
            }
            return std::nullopt;
        }
        size_t table = 23 + word(21);
        p = table;
        unsigned e = 0;
        do {
            p += word(table);
            e = word(table + 2);
            table += 4;
        } while (e < code && !overrun);
        while (!overrun) {
            const unsigned c = word(p);
            if (c == 0)
                return std::nullopt;
            if (c == code)
                return p + 3;
            p += byte(p + 2);
        }
        return std::nullopt;
    }

    // What u8g2_DrawGlyph draws for `code` with the pen on the baseline.
    std::optional<Drawn> draw(unsigned code)
    {
        const std::optional<size_t> data = glyphData(code);
        if (!data)
            return std::nullopt;
        m_at = *data;
        m_bit = 0;
        const int w = int(bits(byte(4)));
        const int h = int(bits(byte(5)));
        const int x = signedBits(byte(6));
        const int y = signedBits(byte(7));
        Drawn drawn;
        drawn.advance = signedBits(byte(8));
        if (w > 0) {
            // The box's top-left pixel lands h + y rows above the pen.
            int row = 0, col = 0;
            const auto run = [&](unsigned length, bool set) {
                for (unsigned i = 0; i < length; ++i) {
                    if (set)
                        drawn.pixels.emplace_back(x + col, row - (h + y));
                    if (++col == w) {
                        col = 0;
                        ++row;
                    }
                }
            };
            // The row is checked only after a pair and its repeats.
            while (!overrun) {
                const unsigned zeros = bits(byte(2));
                const unsigned ones = bits(byte(3));
                do {
                    run(zeros, false);
                    run(ones, true);
                } while (bits(1) == 1 && !overrun);
                if (row >= h)
                    break;
            }
        }
        sortPixels(drawn.pixels);
        return drawn;
    }

private:
    unsigned byte(size_t at)
    {
        if (at >= m_bytes.size()) {
            overrun = true;
            return 0;
        }
        return m_bytes[at];
    }
    unsigned word(size_t at) { return byte(at) << 8 | byte(at + 1); }
    // n bits, the first read the lowest.
    unsigned bits(unsigned n)
    {
        unsigned value = 0;
        for (unsigned k = 0; k < n; ++k) {
            value |= (byte(m_at) >> m_bit & 1u) << k;
            if (++m_bit == 8) {
                m_bit = 0;
                ++m_at;
            }
        }
        return value;
    }
    // Stored with a bias of 2^(n-1).
    int signedBits(unsigned n) { return int(bits(n)) - (1 << (n - 1)); }

    std::vector<uint8_t> m_bytes;
    size_t m_at = 0;
    unsigned m_bit = 0;
};

// What u8x8_DrawGlyph draws for `code`: th x tv tiles, the top tile row
// first; each tile 8 bytes, one per column, bit 0 the top row. A code
// outside first..last draws blank tiles.
inline Pixels drawTiles(const std::vector<uint8_t> &font, unsigned code)
{
    Pixels pixels;
    const unsigned first = font.at(0), last = font.at(1), th = font.at(2), tv = font.at(3);
    if (code < first || code > last)
        return pixels;
    for (unsigned t = 0; t < th * tv; ++t) {
        const size_t start = 4 + ((code - first) * th * tv + t) * 8;
        for (unsigned column = 0; column < 8; ++column) {
            for (unsigned row = 0; row < 8; ++row) {
                if (font.at(start + column) >> row & 1u)
                    pixels.emplace_back(int(t % th * 8 + column), int(t / th * 8 + row));
            }
        }
    }
    sortPixels(pixels);
    return pixels;
}

} // namespace U8g2Reference
