#include "clexer.h"

#include "csourcereader.h"
#include "csourcetext.h"

namespace {

using Kind = CToken::Kind;
using Token = CToken;
using CSourceReader::Source;

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

} // namespace

bool CLexer::isIdentifierStart(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == '$' || uchar(c) >= 0x80;
}

bool CLexer::isIdentifierChar(char c)
{
    return isIdentifierStart(c) || (c >= '0' && c <= '9');
}

int CLexer::hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

QByteArray CLexer::literalBytes(QByteArrayView token)
{
    QByteArray bytes;
    qsizetype i = 0;
    while (i < token.size() && token[i] != '"' && token[i] != '\'')
        ++i;
    const char quote = i < token.size() ? token[i] : '"';
    const qsizetype end = token.size() > i + 1 && token.back() == quote ? token.size() - 1 : token.size();
    bytes.reserve(end - i);
    for (++i; i < end;) {
        const char c = token[i++];
        if (c != '\\' || i >= end) {
            bytes.append(c);
            continue;
        }
        const char e = token[i++];
        switch (e) {
        case 'a': bytes.append('\a'); break;
        case 'b': bytes.append('\b'); break;
        case 'f': bytes.append('\f'); break;
        case 'n': bytes.append('\n'); break;
        case 'r': bytes.append('\r'); break;
        case 't': bytes.append('\t'); break;
        case 'v': bytes.append('\v'); break;
        case 'e': bytes.append('\x1B'); break;
        case 'x': {
            uint value = 0;
            while (i < end && hexDigit(token[i]) >= 0)
                value = (value << 4 | uint(hexDigit(token[i++]))) & 0xFFFFFFu;
            bytes.append(char(value & 0xFF));
            break;
        }
        case 'u':
        case 'U': {
            const int digits = e == 'u' ? 4 : 8;
            uint value = 0;
            for (int n = 0; n < digits && i < end && hexDigit(token[i]) >= 0; ++n)
                value = value << 4 | uint(hexDigit(token[i++]));
            if (value > 0x10FFFF)
                value = 0xFFFD;
            const char32_t code = char32_t(value);
            bytes.append(QString::fromUcs4(&code, 1).toUtf8());
            break;
        }
        default:
            if (e >= '0' && e <= '7') {
                uint value = uint(e - '0');
                for (int n = 1; n < 3 && i < end && token[i] >= '0' && token[i] <= '7'; ++n)
                    value = value * 8 + uint(token[i++] - '0');
                bytes.append(char(value & 0xFF));
            } else {
                bytes.append(e); // \\ \' \" \? and what a compiler only warns of
            }
        }
    }
    return bytes;
}

CLexer::CLexer(CSourceText &text, Source &out)
    : m_source(text)
    , m_text(text.text())
    , m_out(out)
{
}

CToken CLexer::next(bool lenient, bool keepComments, bool lineEnd)
{
    const char *s = m_text.constData();
    const qsizetype size = m_text.size();
    Token token;
    token.newlineBefore = m_atStart;
    m_atStart = false;
    for (;;) {
        if (m_pos >= size || !m_out.ok()) {
            token.kind = Kind::End;
            token.newlineBefore = true;
            token.begin = token.end = size;
            token.line = m_source.lineAt(size);
            return token;
        }
        const char c = s[m_pos];
        if (c == '\n') {
            if (lineEnd) {
                token.kind = Kind::LineEnd;
                return token;
            }
            token.newlineBefore = true;
            ++m_pos;
        } else if (c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v') {
            ++m_pos;
        } else if (c == '/' && m_pos + 1 < size && s[m_pos + 1] == '/') {
            const qsizetype begin = m_pos + 2;
            qsizetype end = m_text.indexOf('\n', begin);
            if (end < 0)
                end = size;
            comment(begin, end, keepComments);
            m_pos = end;
        } else if (c == '/' && m_pos + 1 < size && s[m_pos + 1] == '*') {
            const qsizetype end = m_text.indexOf("*/", m_pos + 2);
            if (end < 0) {
                fail(m_source.lineAt(m_pos), QStringLiteral("the comment is not closed"));
                continue;
            }
            comment(m_pos + 2, end, keepComments);
            m_pos = end + 2;
        } else {
            break;
        }
    }

    token.begin = m_pos;
    token.line = m_source.lineAt(m_pos);
    const char c = s[m_pos];
    if (isIdentifierStart(c)) {
        while (m_pos < size && isIdentifierChar(s[m_pos]))
            ++m_pos;
        const QByteArrayView word(s + token.begin, m_pos - token.begin);
        if (m_pos < size && (s[m_pos] == '"' || s[m_pos] == '\'')
            && (word == "L" || word == "u" || word == "U" || word == "u8")) {
            token.kind = literal(s[m_pos], lenient, token.line);
        } else {
            token.kind = Kind::Identifier;
        }
    } else if (isDigit(c) || (c == '.' && m_pos + 1 < size && isDigit(s[m_pos + 1]))) {
        token.kind = Kind::Number;
        for (++m_pos; m_pos < size; ++m_pos) {
            const char d = s[m_pos];
            if ((d == '+' || d == '-') && QByteArrayView("eEpP").contains(s[m_pos - 1]))
                continue;
            if (d == '\'' && m_pos + 1 < size && isIdentifierChar(s[m_pos + 1]))
                continue; // a digit separator
            if (!isIdentifierChar(d) && d != '.')
                break;
        }
    } else if (c == '"' || c == '\'') {
        token.kind = literal(c, lenient, token.line);
    } else {
        token.kind = Kind::Punct;
        m_pos += punctuatorLength(s + m_pos, size - m_pos);
    }
    token.end = m_pos;
    return token;
}

void CLexer::fail(int line, const QString &what)
{
    if (!m_out.ok())
        return;
    m_out.error = what;
    m_out.errorLine = line;
}

void CLexer::comment(qsizetype begin, qsizetype end, bool keep)
{
    if (keep)
        m_out.comments.push_back({m_source.lineAt(begin), m_text.sliced(begin, end - begin).trimmed()});
}

CToken::Kind CLexer::literal(char quote, bool lenient, int line)
{
    const char *s = m_text.constData();
    const qsizetype size = m_text.size();
    for (++m_pos; m_pos < size && s[m_pos] != '\n'; ++m_pos) {
        if (s[m_pos] == quote) {
            ++m_pos;
            return quote == '"' ? Kind::String : Kind::Char;
        }
        if (s[m_pos] == '\\' && m_pos + 1 < size && s[m_pos + 1] != '\n')
            ++m_pos;
    }
    if (!lenient) {
        fail(line, quote == '"' ? QStringLiteral("the string literal is not closed on its line")
                                : QStringLiteral("the character literal is not closed on its line"));
    }
    return Kind::Broken;
}

qsizetype CLexer::punctuatorLength(const char *s, qsizetype left)
{
    if (left >= 3) {
        const QByteArrayView three(s, 3);
        if (three == "..." || three == "<<=" || three == ">>=")
            return 3;
    }
    if (left >= 2) {
        static const char *const kPairs[] = {"->", "++", "--", "<<", ">>", "<=", ">=", "==", "!=", "&&", "||",
                                             "*=", "/=", "%=", "+=", "-=", "&=", "^=", "|=", "##", "::"};
        for (const char *pair : kPairs) {
            if (s[0] == pair[0] && s[1] == pair[1])
                return 2;
        }
    }
    return 1;
}
