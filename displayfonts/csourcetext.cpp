#include "csourcetext.h"

#include <algorithm>
#include <cstring>

CSourceText::CSourceText(QByteArrayView original)
{
    m_text.reserve(original.size());
    qsizetype removed = 0;
    const char *data = original.data();
    const qsizetype size = original.size();
    for (qsizetype i = 0; i < size;) {
        const char *backslash = static_cast<const char *>(memchr(data + i, '\\', size_t(size - i)));
        const qsizetype next = backslash ? backslash - data : size;
        m_text.append(data + i, next - i);
        i = next;
        if (i == size)
            break;
        qsizetype length = 0; // of the splice here, if one is
        if (i + 1 < size && data[i + 1] == '\n')
            length = 2;
        else if (i + 2 < size && data[i + 1] == '\r' && data[i + 2] == '\n')
            length = 3;
        if (length) {
            removed += length;
            m_splices.push_back({m_text.size(), removed});
            i += length;
        } else {
            m_text.append('\\');
            ++i;
        }
    }
}

qsizetype CSourceText::original(qsizetype at) const
{
    // The splices at `at` were taken out before the character there.
    auto after = std::upper_bound(m_splices.begin(), m_splices.end(), at,
                                  [](qsizetype offset, const Splice &splice) { return offset < splice.at; });
    return after == m_splices.begin() ? at : at + std::prev(after)->removed;
}

int CSourceText::lineAt(qsizetype at)
{
    if (at < m_cursor) {
        m_cursor = 0;
        m_line = 1;
        m_splice = 0;
    }
    m_line += int(std::count(m_text.constData() + m_cursor, m_text.constData() + at, '\n'));
    m_cursor = at;
    while (m_splice < m_splices.size() && m_splices[m_splice].at <= at) {
        ++m_line;
        ++m_splice;
    }
    return m_line;
}
