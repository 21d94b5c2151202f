#include "copytotext.h"

namespace CopyToText {

namespace {
const QLatin1String kLineBreak("\r\n");

// Code units taken by the character at `pos`: 2 for a surrogate pair, else 1.
qsizetype characterLength(QStringView text, qsizetype pos)
{
    return pos + 1 < text.size() && text[pos].isHighSurrogate() && text[pos + 1].isLowSurrogate()
            ? 2
            : 1;
}

qint64 pieceCount(QStringView text)
{
    qint64 characters = 0;
    for (qsizetype pos = 0; pos < text.size(); pos += characterLength(text, pos))
        ++characters;
    return (characters + 1) / 2;
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

QString line(QStringView hex, QStringView prefix, QStringView delimiter)
{
    // Written straight into a buffer of the exact size: appending piece by
    // piece spends most of its time in QString::append's checks, which made
    // a 16 MiB hex string take a third of a second.
    const QStringView s = trimmedHex(hex);
    QString result(qsizetype(lineLength(hex, prefix, delimiter)), Qt::Uninitialized);
    QChar *out = result.data();
    const auto put = [&out](QStringView text) {
        for (const QChar c : text) // most pieces are a few characters: no memmove call
            *out++ = c;
    };
    qsizetype pos = 0;
    while (pos < s.size()) {
        qsizetype end = pos + characterLength(s, pos);
        if (end < s.size())
            end += characterLength(s, end);
        put(prefix);
        put(s.mid(pos, end - pos));
        put(delimiter);
        pos = end;
    }
    *out++ = u'\r';
    *out++ = u'\n';
    Q_ASSERT(out == result.constData() + result.size());
    return result;
}

} // namespace CopyToText
