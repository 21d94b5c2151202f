#include "u8g2runcounter.h"

#include "u8g2bytes.h"

quint32 &U8g2RunCounter::idOf(int zeros, int ones)
{
    if (zeros < kLongestRun && ones < kLongestRun)
        return m_ids[size_t(zeros * kLongestRun + ones)];
    return m_largeIds.try_emplace(quint64(zeros) << 32 | quint32(ones), kNone).first->second;
}

void U8g2RunCounter::addGlyph(const std::vector<int> &runs)
{
    for (size_t i = 0; i < runs.size(); i += 2) {
        const int zeros = runs[i], ones = runs[i + 1];
        if (zeros == 0 && ones == 0)
            continue; // written as nothing
        quint32 &id = idOf(zeros, ones);
        if (id == kNone) {
            id = quint32(m_values.size());
            m_values.push_back({zeros, ones});
        }
        m_pairs.push_back(id);
    }
    m_glyphStarts.push_back(m_pairs.size());
}

void U8g2RunCounter::setWidths(int zeroBits, int oneBits)
{
    const int pairBits = zeroBits + oneBits;
    m_pairBits = pairBits;
    m_cut.resize(m_values.size());
    for (size_t id = 0; id < m_values.size(); ++id) {
        Cut &cut = m_cut[id];
        int count = 0, last = -1;
        cut.bits = 1; // the bit in front of the first pair
        U8g2Bytes::splitRuns(m_values[id].first, m_values[id].second, (1 << zeroBits) - 1, (1 << oneBits) - 1,
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

qint64 U8g2RunCounter::bits(size_t index) const
{
    // The first pair counts a repeat bit in front that it does not have,
    // which stands for the end bit.
    qint64 bits = 0;
    int last = -1;
    for (size_t i = m_glyphStarts[index]; i < m_glyphStarts[index + 1]; ++i) {
        const Cut &cut = m_cut[m_pairs[i]];
        bits += cut.bits + (cut.first != last ? m_pairBits : 0);
        last = cut.last;
    }
    return bits;
}
