#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <vector>

// C source with its line splices (a backslash at a line's end) taken out, as
// a compiler's second phase leaves it, and the way back to the text's own
// offsets and lines.
class CSourceText
{
public:
    explicit CSourceText(QByteArrayView original);

    const QByteArray &text() const { return m_text; }
    // The offset in the original text of `at` in text().
    qsizetype original(qsizetype at) const;
    // The line of `at` in text(), from 1. Asked in the order of the text, it
    // counts each line once.
    int lineAt(qsizetype at);

private:
    struct Splice
    {
        qsizetype at;      // in text()
        qsizetype removed; // characters taken out up to here
    };
    QByteArray m_text;
    std::vector<Splice> m_splices;
    qsizetype m_cursor = 0;
    int m_line = 1;
    size_t m_splice = 0;
};
