#pragma once

#include <QtGlobal>

#include <unordered_map>
#include <utility>
#include <vector>

// Counts the bits that a u8g2 encoder writes for the runs of each glyph,
// without writing them, for one pair of run-length field widths after
// another: the encoder tries every pair and keeps the smallest font. Each
// distinct pair of runs in the font is cut into fields once per pair of
// widths; a glyph is then a list of those pairs, each costing its fields
// and repeats inside, plus a repeat bit or a whole pair of fields for its
// first, depending on the pair before.
class U8g2RunCounter
{
public:
    // Adds the next glyph's alternating runs of clear and set pixels.
    void addGlyph(const std::vector<int> &runs);

    // Sets the field widths that bits() counts with.
    void setWidths(int zeroBits, int oneBits);

    // Glyph `index`'s run bits, the end bit included; none for a glyph
    // without ink.
    qint64 bits(size_t index) const;

private:
    // The id of a pair of runs: from a table where both are at most a whole
    // 16 x 16 box, as in every glyph a set holds, else from a map (a glyph
    // too large for a set, written back as it stands).
    quint32 &idOf(int zeros, int ones);

    static constexpr int kLongestRun = 16 * 16 + 1;
    static constexpr quint32 kNone = ~quint32(0);

    std::vector<quint32> m_ids = std::vector<quint32>(kLongestRun * kLongestRun, kNone);
    std::unordered_map<quint64, quint32> m_largeIds;
    std::vector<std::pair<int, int>> m_values; // each distinct pair of runs
    std::vector<quint32> m_pairs;              // every glyph's pairs, as ids
    std::vector<size_t> m_glyphStarts{0};
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
