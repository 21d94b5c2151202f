#include "copytotext.h"

#include <algorithm>
#include <vector>

namespace CopyToText {

namespace {
const QLatin1String kLineBreak("\r\n");

bool isSurrogate(char16_t c)
{
    return c >= 0xD800 && c <= 0xDFFF;
}

// Whether any code unit is half of a surrogate; written without an early
// exit so that the compiler can vectorise it.
bool hasSurrogates(QStringView text)
{
    bool any = false;
    const char16_t *data = text.utf16();
    for (qsizetype i = 0; i < text.size(); ++i)
        any |= isSurrogate(data[i]);
    return any;
}

// Code units taken by the character at `pos`: 2 for a surrogate pair, else 1.
qsizetype characterLength(QStringView text, qsizetype pos)
{
    return pos + 1 < text.size() && text[pos].isHighSurrogate() && text[pos + 1].isLowSurrogate()
            ? 2
            : 1;
}

qint64 pieceCount(QStringView text)
{
    if (!hasSurrogates(text))
        return (qint64(text.size()) + 1) / 2;
    qint64 characters = 0;
    for (qsizetype pos = 0; pos < text.size(); pos += characterLength(text, pos))
        ++characters;
    return (characters + 1) / 2;
}

char16_t *put(char16_t *out, QStringView text)
{
    return std::copy(text.utf16(), text.utf16() + text.size(), out);
}
} // namespace

QStringView trimmedHex(QStringView hex)
{
    qsizetype begin = 0;
    qsizetype end = hex.size();
    while (begin < end && hex[begin] == u' ')
        ++begin;
    while (end > begin && hex[end - 1] == u' ')
        --end;
    return hex.mid(begin, end - begin);
}

qint64 lineLength(QStringView hex, QStringView prefix, QStringView delimiter)
{
    const QStringView s = trimmedHex(hex);
    return qint64(s.size()) + pieceCount(s) * (qint64(prefix.size()) + delimiter.size())
            + kLineBreak.size();
}

void writeLine(QStringView hex, QStringView prefix, QStringView delimiter,
               const std::function<void(QStringView)> &part)
{
    const QStringView s = trimmedHex(hex);
    const char16_t *in = s.utf16();
    const qsizetype size = s.size();

    // The buffer holds a part and room for one more piece, so a piece is
    // always written whole before the buffer is handed over. A short line
    // gets a buffer of its own length: a font's export builds tens of
    // thousands of lines, and a whole part each time would cost more than
    // the lines themselves.
    const qsizetype pieceRoom = prefix.size() + 4 + delimiter.size();
    const qsizetype partLength = qsizetype(std::min<qint64>(kPartLength, lineLength(hex, prefix, delimiter)));
    std::vector<char16_t> buffer(size_t(partLength + pieceRoom + kLineBreak.size()));
    char16_t *const begin = buffer.data();
    char16_t *const full = begin + partLength;
    char16_t *out = begin;
    const auto flushIfFull = [&] {
        if (out >= full) {
            part(QStringView(begin, out - begin));
            out = begin;
        }
    };

    if (!hasSurrogates(s)) {
        // Every piece is two code units, the last perhaps one; the usual
        // one-character prefix and delimiter are stored directly. This loop
        // is where a multi-megabyte paste spends its time.
        const qsizetype pairs = size / 2;
        const bool single = prefix.size() == 1 && delimiter.size() == 1;
        const char16_t p = single ? prefix[0].unicode() : 0;
        const char16_t d = single ? delimiter[0].unicode() : 0;
        for (qsizetype i = 0; i < pairs; ++i) {
            flushIfFull();
            if (single) {
                out[0] = p;
                out[1] = in[2 * i];
                out[2] = in[2 * i + 1];
                out[3] = d;
                out += 4;
            } else {
                out = put(out, prefix);
                *out++ = in[2 * i];
                *out++ = in[2 * i + 1];
                out = put(out, delimiter);
            }
        }
        if (size % 2) {
            flushIfFull();
            out = put(out, prefix);
            *out++ = in[size - 1];
            out = put(out, delimiter);
        }
    } else {
        qsizetype pos = 0;
        while (pos < size) {
            qsizetype end = pos + characterLength(s, pos);
            if (end < size)
                end += characterLength(s, end);
            flushIfFull();
            out = put(out, prefix);
            out = put(out, s.mid(pos, end - pos));
            out = put(out, delimiter);
            pos = end;
        }
    }
    *out++ = u'\r';
    *out++ = u'\n';
    part(QStringView(begin, out - begin));
}

QString line(QStringView hex, QStringView prefix, QStringView delimiter)
{
    QString result;
    result.reserve(qsizetype(lineLength(hex, prefix, delimiter)));
    writeLine(hex, prefix, delimiter, [&result](QStringView part) { result += part; });
    return result;
}

void appendAsciiLine(QByteArray *out, QByteArrayView hex, QByteArrayView prefix, QByteArrayView delimiter)
{
    qsizetype begin = 0;
    qsizetype end = hex.size();
    while (begin < end && hex[begin] == ' ')
        ++begin;
    while (end > begin && hex[end - 1] == ' ')
        --end;
    const qsizetype size = end - begin;
    const qsizetype pieces = (size + 1) / 2;
    const qsizetype start = out->size();
    out->resize(start + size + pieces * (prefix.size() + delimiter.size()) + kLineBreak.size());
    char *to = out->data() + start;
    const auto put = [&to](QByteArrayView text) {
        std::copy(text.begin(), text.end(), to);
        to += text.size();
    };
    qsizetype i = begin;
    if (prefix.size() == 1 && delimiter.size() == 1) {
        // The usual one-character prefix and delimiter, stored directly:
        // this is where a whole font's export spends its time.
        for (; i + 1 < end; i += 2, to += 4) {
            to[0] = prefix[0];
            to[1] = hex[i];
            to[2] = hex[i + 1];
            to[3] = delimiter[0];
        }
    }
    for (; i < end; i += 2) {
        put(prefix);
        put(hex.sliced(i, std::min<qsizetype>(2, end - i)));
        put(delimiter);
    }
    put(QByteArrayView("\r\n", 2));
}

} // namespace CopyToText
