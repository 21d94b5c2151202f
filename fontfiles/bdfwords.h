#pragma once

#include <QByteArray>
#include <QString>

#include <cstring>

// The words of a BDF line, as views into the file's bytes, so that reading
// a font makes no string per line.
namespace BdfFormat {

inline bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v';
}

class Word
{
public:
    enum Parse { Number, Missing, NotNumber, TooLong };

    Word() = default;
    Word(const char *begin, const char *end)
        : m_begin(begin)
        , m_size(end - begin)
    {
    }

    const char *begin() const { return m_begin; }
    const char *end() const { return m_begin + m_size; }
    bool isEmpty() const { return m_size == 0; }
    bool isNegative() const { return m_size > 0 && *m_begin == '-'; }

    template <size_t N>
    bool operator==(const char (&text)[N]) const
    {
        return m_size == qint64(N - 1) && std::memcmp(m_begin, text, N - 1) == 0;
    }
    template <size_t N>
    bool operator!=(const char (&text)[N]) const
    {
        return !(*this == text);
    }

    QByteArray toByteArray() const { return QByteArray(m_begin, qsizetype(m_size)); }
    // For a message: the word as it stands, cut short when it is long.
    QString toString() const
    {
        constexpr qint64 kShown = 40;
        const QString text = QString::fromUtf8(m_begin, qsizetype(std::min(m_size, kShown)));
        return m_size > kShown ? text + QStringLiteral("…") : text;
    }

    // A decimal whole number with an optional sign. TooLong means more
    // digits than any value this program accepts has.
    Parse toNumber(qint64 *value) const
    {
        if (m_size == 0)
            return Missing;
        const char *p = m_begin;
        const char *stop = end();
        const bool negative = *p == '-';
        if (*p == '-' || *p == '+')
            ++p;
        if (p == stop)
            return NotNumber;
        qint64 result = 0;
        int digits = 0;
        for (; p < stop; ++p) {
            if (*p < '0' || *p > '9')
                return NotNumber;
            if (digits < kMaxDigits)
                result = result * 10 + (*p - '0');
            if (result != 0 || digits > 0)
                ++digits;
        }
        if (digits > kMaxDigits)
            return TooLong;
        *value = negative ? -result : result;
        return Number;
    }

private:
    static constexpr int kMaxDigits = 15;

    const char *m_begin = nullptr;
    qint64 m_size = 0;
};

class Words
{
public:
    Words(const char *begin, const char *end)
        : m_p(begin)
        , m_end(end)
    {
    }

    Word next()
    {
        while (m_p < m_end && isBlank(*m_p))
            ++m_p;
        const char *start = m_p;
        while (m_p < m_end && !isBlank(*m_p))
            ++m_p;
        return Word(start, m_p);
    }

    // What is left of the line; the line itself ends without blanks.
    Word rest()
    {
        while (m_p < m_end && isBlank(*m_p))
            ++m_p;
        const char *start = m_p;
        m_p = m_end;
        return Word(start, m_end);
    }

private:
    const char *m_p;
    const char *m_end;
};

// A BDF string as unquote() reads it back, blanks kept, so that a prefix or
// a delimiter is used as typed. A line can hold a tab but no other control
// character; those become blanks.
inline QByteArray quoted(const QString &text)
{
    QByteArray result = "\"";
    for (char c : text.toUtf8()) {
        if ((uchar(c) < 0x20 && c != '\t') || c == 0x7F)
            c = ' ';
        result.append(c);
        if (c == '"')
            result.append('"');
    }
    result.append('"');
    return result;
}

// A BDF string: in double quotes, a doubled quote standing for one. A value
// without quotes is taken as it stands. False when the closing quote is
// missing.
inline bool unquote(const Word &value, QByteArray *text)
{
    text->clear();
    const char *p = value.begin();
    const char *stop = value.end();
    if (p == stop || *p != '"') {
        *text = value.toByteArray();
        return true;
    }
    for (++p; p < stop; ++p) {
        if (*p != '"') {
            text->append(*p);
        } else if (p + 1 < stop && p[1] == '"') {
            text->append('"');
            ++p;
        } else {
            return p + 1 == stop;
        }
    }
    return false;
}

} // namespace BdfFormat
