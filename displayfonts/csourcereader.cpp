#include "csourcereader.h"

#include <QSet>

#include <algorithm>
#include <cstring>
#include <limits>

namespace CSourceReader {

const Declaration *Source::find(QByteArrayView name) const
{
    for (const Declaration &declaration : declarations) {
        if (declaration.name == name)
            return &declaration;
    }
    return nullptr;
}

namespace {

// How deep braces, #if blocks and parentheses may nest: far beyond any font,
// and it keeps the recursion over hostile text shallow.
constexpr int kMaxDepth = 64;

bool isIdentifierStart(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == '$' || uchar(c) >= 0x80;
}

bool isIdentifierChar(char c)
{
    return isIdentifierStart(c) || (c >= '0' && c <= '9');
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// The text with its line splices (a backslash at a line's end) taken out, as
// a compiler's second phase leaves it, and the way back to the text's own
// offsets and lines.
class Spliced
{
public:
    explicit Spliced(QByteArrayView original)
    {
        m_text.reserve(original.size());
        qsizetype removed = 0;
        const char *data = original.data();
        const qsizetype size = original.size();
        for (qsizetype i = 0; i < size; ++i) {
            if (data[i] == '\\') {
                const qsizetype length = i + 1 < size && data[i + 1] == '\n' ? 2
                        : i + 2 < size && data[i + 1] == '\r' && data[i + 2] == '\n' ? 3
                                                                                      : 0;
                if (length) {
                    removed += length;
                    m_splices.push_back({m_text.size(), removed});
                    i += length - 1;
                    continue;
                }
            }
            m_text.append(data[i]);
        }
    }

    const QByteArray &text() const { return m_text; }

    qsizetype original(qsizetype at) const
    {
        // The splices at `at` were taken out before the character there.
        auto after = std::upper_bound(m_splices.begin(), m_splices.end(), at,
                                      [](qsizetype offset, const Splice &splice) { return offset < splice.at; });
        return after == m_splices.begin() ? at : at + std::prev(after)->removed;
    }

    // The line of `at`, from 1. Asked in the order of the text, it counts
    // each line once.
    int lineAt(qsizetype at)
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

private:
    struct Splice
    {
        qsizetype at;      // in the spliced text
        qsizetype removed; // characters taken out up to here
    };
    QByteArray m_text;
    std::vector<Splice> m_splices;
    qsizetype m_cursor = 0;
    int m_line = 1;
    size_t m_splice = 0;
};

enum class Kind : quint8 {
    End,
    LineEnd, // a directive's end
    Identifier,
    Number,
    String,
    Char,
    Punct,
    Broken, // a literal not closed, in text that is not read
};

struct Token
{
    Kind kind = Kind::End;
    bool newlineBefore = false; // the first token of its line
    bool external = false;
    int line = 0;
    qsizetype begin = 0; // in the spliced text
    qsizetype end = 0;
};

// The bytes of a string or character literal, escapes done, without its
// prefix, quotes and terminating zero.
QByteArray literalBytes(QByteArrayView token)
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

// Splits the text into tokens, setting comments aside.
class Lexer
{
public:
    Lexer(Spliced &spliced, Source &out)
        : m_spliced(spliced)
        , m_text(spliced.text())
        , m_out(out)
    {
    }

    // The next token. `lenient`: a quote not closed on its line ends there,
    // as in a skipped block or a directive's line (#error don't). `lineEnd`:
    // the end of the line is a token, for a directive.
    Token next(bool lenient, bool keepComments, bool lineEnd)
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
                token.line = m_spliced.lineAt(size);
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
                    fail(m_spliced.lineAt(m_pos), QStringLiteral("the comment is not closed"));
                    continue;
                }
                comment(m_pos + 2, end, keepComments);
                m_pos = end + 2;
            } else {
                break;
            }
        }

        token.begin = m_pos;
        token.line = m_spliced.lineAt(m_pos);
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
                if ((d == '+' || d == '-') && strchr("eEpP", s[m_pos - 1]))
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

    void fail(int line, const QString &what)
    {
        if (!m_out.ok())
            return;
        m_out.error = what;
        m_out.errorLine = line;
    }

private:
    void comment(qsizetype begin, qsizetype end, bool keep)
    {
        if (keep)
            m_out.comments.push_back({m_spliced.lineAt(begin), m_text.sliced(begin, end - begin).trimmed()});
    }

    Kind literal(char quote, bool lenient, int line)
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

    static qsizetype punctuatorLength(const char *s, qsizetype left)
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

    Spliced &m_spliced;
    const QByteArray &m_text;
    Source &m_out;
    qsizetype m_pos = 0;
    bool m_atStart = true;
};

// An integer constant expression's value: a number, unknown (it names a
// macro of the user's build), or no integer at all.
struct Number
{
    enum State : quint8 { Known, Unknown, Bad };
    State state = Bad;
    qint64 value = 0;

    static Number of(qint64 value) { return {Known, value}; }
    static Number unknown() { return {Unknown, 0}; }
    static Number bad() { return {Bad, 0}; }
    bool known() const { return state == Known; }
};

// What an identifier stands for in an expression.
class Names
{
public:
    virtual ~Names() = default;
    virtual Number value(QByteArrayView name) const = 0;
    // Only #if has `defined`, and macros with arguments it cannot see.
    virtual bool preprocessing() const { return false; }
    virtual std::optional<Number> defined(QByteArrayView) const { return std::nullopt; }
};

std::optional<qint64> integerLiteral(QByteArrayView text)
{
    QByteArray digits;
    digits.reserve(text.size());
    for (char c : text) {
        if (c != '\'')
            digits.append(c);
    }
    qsizetype end = digits.size();
    int suffix = 0;
    while (end > 0 && suffix < 3 && strchr("uUlL", digits[end - 1])) {
        --end;
        ++suffix;
    }
    QByteArrayView body(digits.constData(), end);
    int base = 10;
    if (body.size() > 2 && body[0] == '0' && (body[1] == 'x' || body[1] == 'X')) {
        base = 16;
        body = body.sliced(2);
    } else if (body.size() > 2 && body[0] == '0' && (body[1] == 'b' || body[1] == 'B')) {
        base = 2;
        body = body.sliced(2);
    } else if (body.size() > 1 && body[0] == '0') {
        base = 8;
        body = body.sliced(1);
    }
    if (body.isEmpty())
        return std::nullopt;
    quint64 value = 0;
    for (char c : body) {
        const int digit = hexDigit(c);
        if (digit < 0 || digit >= base || value > (std::numeric_limits<quint64>::max() - quint64(digit)) / quint64(base))
            return std::nullopt;
        value = value * quint64(base) + quint64(digit);
    }
    return qint64(value);
}

// The integer that a character literal stands for: its byte, unsigned, or
// its bytes one after the other as compilers take 'ab'.
qint64 characterValue(QByteArrayView token)
{
    const QByteArray bytes = literalBytes(token);
    if (bytes.size() == 1)
        return uchar(bytes[0]);
    quint32 value = 0;
    for (char c : bytes)
        value = value << 8 | uchar(c);
    return qint32(value);
}

// A cast to one of these keeps the number's low bits, as C converts.
std::optional<std::pair<int, bool>> castWidth(const std::vector<QByteArray> &words)
{
    const QByteArray joined = [&] {
        QByteArray all;
        for (const QByteArray &word : words) {
            if (word != "const" && word != "volatile")
                all += (all.isEmpty() ? "" : " ") + word;
        }
        return all;
    }();
    if (joined == "uint8_t" || joined == "unsigned char")
        return std::pair{8, false};
    if (joined == "int8_t" || joined == "signed char" || joined == "char")
        return std::pair{8, true};
    if (joined == "uint16_t" || joined == "unsigned short")
        return std::pair{16, false};
    if (joined == "int16_t" || joined == "short")
        return std::pair{16, true};
    if (joined == "uint32_t")
        return std::pair{32, false};
    if (joined == "int32_t")
        return std::pair{32, true};
    return std::nullopt;
}

bool isTypeWord(QByteArrayView word)
{
    static const char *const kWords[] = {"char",   "short", "int",   "long",   "unsigned", "signed", "float",
                                         "double", "void",  "bool",  "_Bool",  "const",    "volatile",
                                         "struct", "union", "enum"};
    for (const char *type : kWords) {
        if (word == type)
            return true;
    }
    return word.endsWith("_t");
}

// An integer constant expression over tokens, as C evaluates it, with the
// names the caller gives.
class Evaluator
{
public:
    Evaluator(const QByteArray &text, const std::vector<Token> &tokens, const Names &names)
        : m_text(text)
        , m_tokens(tokens)
        , m_names(names)
    {
    }

    // The value of all the tokens; bad where they are not one expression.
    Number evaluate()
    {
        Number result = conditional();
        if (m_at != m_tokens.size())
            return Number::bad();
        return result;
    }

    bool tooDeep() const { return m_tooDeep; }

private:
    QByteArrayView text(size_t i) const
    {
        const Token &token = m_tokens[i];
        return QByteArrayView(m_text.constData() + token.begin, token.end - token.begin);
    }

    bool at(QByteArrayView punct) const
    {
        return m_at < m_tokens.size() && m_tokens[m_at].kind == Kind::Punct && text(m_at) == punct;
    }

    bool deeper()
    {
        if (++m_depth > kMaxDepth)
            m_tooDeep = true;
        return !m_tooDeep;
    }

    Number conditional()
    {
        Number condition = binary(0);
        if (!at("?"))
            return condition;
        ++m_at;
        if (!deeper())
            return Number::bad();
        const Number yes = conditional();
        if (!at(":"))
            return Number::bad();
        ++m_at;
        const Number no = conditional();
        --m_depth;
        if (condition.state == Number::Bad || yes.state == Number::Bad || no.state == Number::Bad)
            return Number::bad();
        if (condition.known())
            return condition.value ? yes : no;
        return yes.known() && no.known() && yes.value == no.value ? yes : Number::unknown();
    }

    static int precedence(QByteArrayView op)
    {
        static const std::pair<const char *, int> kOperators[] = {
            {"||", 1}, {"&&", 2}, {"|", 3},  {"^", 4},  {"&", 5},  {"==", 6}, {"!=", 6}, {"<", 7},  {">", 7},
            {"<=", 7}, {">=", 7}, {"<<", 8}, {">>", 8}, {"+", 9},  {"-", 9},  {"*", 10}, {"/", 10}, {"%", 10}};
        for (const auto &[name, level] : kOperators) {
            if (op == name)
                return level;
        }
        return 0;
    }

    Number binary(int lowest)
    {
        Number left = unary();
        for (;;) {
            if (m_at >= m_tokens.size() || m_tokens[m_at].kind != Kind::Punct)
                return left;
            const QByteArrayView op = text(m_at);
            const int level = precedence(op);
            if (level == 0 || level < lowest)
                return left;
            ++m_at;
            const Number right = binary(level + 1);
            left = apply(op, left, right);
        }
    }

    static Number apply(QByteArrayView op, Number a, Number b)
    {
        if (a.state == Number::Bad || b.state == Number::Bad)
            return Number::bad();
        if (op == "&&") {
            if ((a.known() && !a.value) || (b.known() && !b.value))
                return Number::of(0);
            return a.known() && b.known() ? Number::of(1) : Number::unknown();
        }
        if (op == "||") {
            if ((a.known() && a.value) || (b.known() && b.value))
                return Number::of(1);
            return a.known() && b.known() ? Number::of(0) : Number::unknown();
        }
        if (!a.known() || !b.known())
            return Number::unknown();
        const qint64 x = a.value;
        const qint64 y = b.value;
        const quint64 ux = quint64(x);
        const quint64 uy = quint64(y);
        if (op == "+")
            return Number::of(qint64(ux + uy));
        if (op == "-")
            return Number::of(qint64(ux - uy));
        if (op == "*")
            return Number::of(qint64(ux * uy));
        if (op == "/" || op == "%") {
            if (y == 0)
                return Number::bad();
            if (x == std::numeric_limits<qint64>::min() && y == -1)
                return Number::of(op == "/" ? x : 0);
            return Number::of(op == "/" ? x / y : x % y);
        }
        if (op == "<<" || op == ">>") {
            if (y < 0 || y >= 64)
                return Number::bad();
            return Number::of(op == "<<" ? qint64(ux << y) : x >> y);
        }
        if (op == "<")
            return Number::of(x < y);
        if (op == ">")
            return Number::of(x > y);
        if (op == "<=")
            return Number::of(x <= y);
        if (op == ">=")
            return Number::of(x >= y);
        if (op == "==")
            return Number::of(x == y);
        if (op == "!=")
            return Number::of(x != y);
        if (op == "&")
            return Number::of(x & y);
        if (op == "^")
            return Number::of(x ^ y);
        return Number::of(x | y);
    }

    // Where a cast's parenthesis closes: the words of a type and '*'
    // before it, and an operand after it. 0 where it is no cast.
    size_t castEnd(std::vector<QByteArray> *words, bool *pointer) const
    {
        size_t i = m_at + 1;
        bool typeWord = false;
        bool constants = true;
        for (; i < m_tokens.size(); ++i) {
            const Token &token = m_tokens[i];
            if (token.kind == Kind::Identifier) {
                typeWord = typeWord || isTypeWord(text(i));
                constants = constants && m_names.value(text(i)).known();
                words->push_back(text(i).toByteArray());
            } else if (token.kind == Kind::Punct && text(i) == "*") {
                *pointer = true;
            } else {
                break;
            }
        }
        if (i == m_at + 1 || i >= m_tokens.size() || m_tokens[i].kind != Kind::Punct || text(i) != ")"
            || i + 1 >= m_tokens.size())
            return 0;
        if (typeWord || *pointer)
            return i;
        const Token &next = m_tokens[i + 1];
        const bool operand = next.kind == Kind::Identifier || next.kind == Kind::Number || next.kind == Kind::Char
                || (next.kind == Kind::Punct && (text(i + 1) == "(" || text(i + 1) == "~" || text(i + 1) == "!"));
        return !constants && operand ? i : 0;
    }

    Number unary()
    {
        if (m_at >= m_tokens.size() || !deeper())
            return Number::bad();
        const Number result = operand();
        --m_depth;
        return result;
    }

    Number operand()
    {
        const Token &token = m_tokens[m_at];
        const QByteArrayView word = text(m_at);
        switch (token.kind) {
        case Kind::Number: {
            ++m_at;
            const std::optional<qint64> value = integerLiteral(word);
            return value ? Number::of(*value) : Number::bad();
        }
        case Kind::Char:
            ++m_at;
            return Number::of(characterValue(word));
        case Kind::Identifier:
            ++m_at;
            if (word == "defined")
                return defined();
            if (word == "true" || word == "false")
                return Number::of(word == "true");
            if (at("(") && m_names.preprocessing()) {
                // A macro with arguments that the build defines, such as
                // __has_include(<file.h>) or a compiler's version test.
                skipParentheses();
                return Number::unknown();
            }
            return m_names.value(word);
        case Kind::Punct:
            break;
        default:
            ++m_at;
            return Number::bad();
        }
        ++m_at;
        if (word == "-" || word == "+" || word == "~" || word == "!") {
            const Number value = unary();
            if (!value.known())
                return value;
            if (word == "-")
                return Number::of(qint64(0 - quint64(value.value)));
            if (word == "~")
                return Number::of(~value.value);
            if (word == "!")
                return Number::of(!value.value);
            return value;
        }
        if (word != "(")
            return Number::bad();
        --m_at;
        std::vector<QByteArray> words;
        bool pointer = false;
        if (const size_t end = castEnd(&words, &pointer)) {
            m_at = end + 1;
            const Number value = unary();
            if (!value.known())
                return value;
            if (pointer)
                return Number::bad(); // an address, not an integer
            const auto width = castWidth(words);
            if (!width)
                return value;
            const quint64 mask = (quint64(1) << width->first) - 1;
            const quint64 low = quint64(value.value) & mask;
            const bool negative = width->second && (low >> (width->first - 1)) & 1;
            return Number::of(negative ? qint64(low | ~mask) : qint64(low));
        }
        ++m_at;
        const Number inner = conditional();
        if (!at(")"))
            return Number::bad();
        ++m_at;
        return inner;
    }

    Number defined()
    {
        const bool parenthesis = at("(");
        if (parenthesis)
            ++m_at;
        if (m_at >= m_tokens.size() || m_tokens[m_at].kind != Kind::Identifier)
            return Number::bad();
        const std::optional<Number> answer = m_names.defined(text(m_at++));
        if (parenthesis) {
            if (!at(")"))
                return Number::bad();
            ++m_at;
        }
        return answer ? *answer : Number::bad();
    }

    void skipParentheses()
    {
        int depth = 0;
        for (; m_at < m_tokens.size(); ++m_at) {
            if (at("("))
                ++depth;
            else if (at(")") && --depth == 0) {
                ++m_at;
                return;
            }
        }
    }

    const QByteArray &m_text;
    const std::vector<Token> &m_tokens;
    const Names &m_names;
    size_t m_at = 0;
    int m_depth = 0;
    bool m_tooDeep = false;
};

bool isPunct(const QByteArray &text, const Token &token, QByteArrayView punct)
{
    return token.kind == Kind::Punct && QByteArrayView(text.constData() + token.begin, token.end - token.begin) == punct;
}

// The tokens of the text a compiler reads: directives obeyed, the blocks the
// file switches off left out, the blocks on the user's build read and
// marked external.
class Preprocessor : public Names
{
public:
    Preprocessor(Spliced &spliced, Source &out)
        : m_text(spliced.text())
        , m_out(out)
        , m_lexer(spliced, out)
    {
        findOwnMacros();
    }

    Token next()
    {
        for (;;) {
            Token token = m_pending ? *std::exchange(m_pending, std::nullopt)
                                    : m_lexer.next(!active(), active(), false);
            if (token.kind == Kind::End) {
                if (!m_conds.empty())
                    fail(m_conds.back().line, QStringLiteral("#if without #endif"));
                m_conds.clear();
                return token;
            }
            if (token.newlineBefore && isPunct(m_text, token, "#")) {
                directive(token.line);
                continue;
            }
            if (!active())
                continue;
            if (token.kind == Kind::Broken) {
                // Lexed leniently as the line after a directive, before the
                // directive turned the text back on.
                fail(token.line, m_text[token.begin] == '\'' ? QStringLiteral("the character literal is not closed on its line")
                                                             : QStringLiteral("the string literal is not closed on its line"));
                continue;
            }
            token.external = !m_conds.empty() && m_conds.back().external;
            return token;
        }
    }

    void fail(int line, const QString &what) { m_lexer.fail(line, what); }

    // A macro the file defines as nothing, such as PROGMEM where the
    // platform has no such thing: a word of no meaning in a declaration.
    bool definesEmpty(QByteArrayView name) const
    {
        const auto macro = m_macros.constFind(QByteArray::fromRawData(name.data(), name.size()));
        return macro != m_macros.cend() && macro->empty;
    }

    bool preprocessing() const override { return true; }

    std::optional<Number> defined(QByteArrayView name) const override
    {
        const QByteArray key = QByteArray::fromRawData(name.data(), name.size());
        if (!m_own.contains(key))
            return Number::unknown();
        return Number::of(m_macros.contains(key));
    }

    Number value(QByteArrayView name) const override
    {
        const QByteArray key = QByteArray::fromRawData(name.data(), name.size());
        const auto macro = m_macros.constFind(key);
        if (macro != m_macros.cend())
            return macro->value ? Number::of(*macro->value) : Number::unknown();
        if (m_own.contains(key))
            return Number::of(0); // as C reads a name no macro stands for
        const auto constant = m_out.constants.constFind(key);
        return constant != m_out.constants.cend() ? Number::of(*constant) : Number::unknown();
    }

private:
    // One #if, #ifdef or #ifndef block and the branch being read.
    struct Conditional
    {
        int line = 0;
        bool active = false;   // the branch is read
        bool done = false;     // a branch was taken: the rest are left out
        bool unknown = false;  // a branch was on the user's build: the rest are read too
        bool external = false; // the branch is read as external
        bool outerExternal = false;
        bool seenElse = false;
    };

    enum class Truth { False, True, Unknown };

    struct Macro
    {
        std::optional<qint64> value;
        bool empty = false;
    };

    bool active() const { return m_conds.empty() || m_conds.back().active; }

    QByteArrayView text(const Token &token) const
    {
        return QByteArrayView(m_text.constData() + token.begin, token.end - token.begin);
    }

    // The names that any #define or #undef line of the file names: a block
    // on one of those is the file's own switch.
    void findOwnMacros()
    {
        const char *s = m_text.constData();
        const qsizetype size = m_text.size();
        auto blanks = [&](qsizetype i) {
            while (i < size && (s[i] == ' ' || s[i] == '\t'))
                ++i;
            return i;
        };
        auto word = [&](qsizetype i) {
            qsizetype end = i;
            while (end < size && isIdentifierChar(s[end]))
                ++end;
            return QByteArrayView(s + i, end - i);
        };
        for (qsizetype line = 0; line < size;) {
            qsizetype i = blanks(line);
            if (i < size && s[i] == '#') {
                i = blanks(i + 1);
                const QByteArrayView directive = word(i);
                if (directive == "define" || directive == "undef") {
                    const QByteArrayView name = word(blanks(i + directive.size()));
                    if (!name.isEmpty())
                        m_own.insert(name.toByteArray());
                }
            }
            const qsizetype end = m_text.indexOf('\n', i);
            line = end < 0 ? size : end + 1;
        }
    }

    void directive(int line)
    {
        const bool wasActive = active();
        std::vector<Token> words;
        for (;;) {
            const Token token = m_lexer.next(true, wasActive, true);
            if (token.kind == Kind::LineEnd)
                break;
            if (token.kind == Kind::End) {
                m_pending = token;
                break;
            }
            words.push_back(token);
        }
        if (words.empty() || words.front().kind != Kind::Identifier)
            return;
        const QByteArrayView name = text(words.front());
        words.erase(words.begin());
        if (name == "if" || name == "ifdef" || name == "ifndef") {
            open(line);
            if (!m_conds.back().done)
                enter(condition(name, words, line));
        } else if (name == "elif" || name == "elifdef" || name == "elifndef" || name == "else") {
            if (m_conds.empty() || m_conds.back().seenElse) {
                fail(line, m_conds.empty() ? QStringLiteral("#%1 without #if").arg(QLatin1String(name))
                                           : QStringLiteral("#%1 after #else").arg(QLatin1String(name)));
                return;
            }
            Conditional &conditional = m_conds.back();
            conditional.seenElse = name == "else";
            if (conditional.done)
                conditional.active = false;
            else
                enter(name == "else" ? Truth::True : condition(name.sliced(2), words, line));
        } else if (name == "endif") {
            if (m_conds.empty())
                fail(line, QStringLiteral("#endif without #if"));
            else
                m_conds.pop_back();
        } else if (!wasActive) {
            return;
        } else if (name == "define" && !words.empty() && words.front().kind == Kind::Identifier) {
            define(words, line);
        } else if (name == "undef" && !words.empty()) {
            m_macros.remove(text(words.front()).toByteArray());
            m_out.constants.remove(text(words.front()).toByteArray());
        }
        // #include, #pragma, #error and the rest say nothing of the data.
    }

    void open(int line)
    {
        if (m_conds.size() >= size_t(kMaxDepth)) {
            fail(line, QStringLiteral("#if blocks nest deeper than %1 levels").arg(kMaxDepth));
            return;
        }
        Conditional conditional;
        conditional.line = line;
        conditional.done = !active();
        conditional.outerExternal = !m_conds.empty() && m_conds.back().external;
        m_conds.push_back(conditional);
    }

    void enter(Truth truth)
    {
        Conditional &conditional = m_conds.back();
        conditional.active = truth != Truth::False;
        if (truth == Truth::False)
            return;
        if (truth == Truth::True && !conditional.unknown) {
            conditional.done = true;
            conditional.external = conditional.outerExternal;
            return;
        }
        // After a branch on the user's build, the branches that follow it
        // are the build's choice too.
        conditional.done = truth == Truth::True;
        conditional.unknown = true;
        conditional.external = true;
    }

    Truth condition(QByteArrayView kind, const std::vector<Token> &words, int line)
    {
        if (kind == "ifdef" || kind == "ifndef" || kind == "fdef" || kind == "fndef") {
            if (words.empty() || words.front().kind != Kind::Identifier)
                return Truth::Unknown;
            const Number isDefined = *defined(text(words.front()));
            if (!isDefined.known())
                return Truth::Unknown;
            return bool(isDefined.value) == (kind == "ifdef" || kind == "fdef") ? Truth::True : Truth::False;
        }
        Evaluator evaluator(m_text, words, *this);
        const Number value = evaluator.evaluate();
        if (evaluator.tooDeep())
            fail(line, QStringLiteral("the condition nests deeper than %1 levels").arg(kMaxDepth));
        if (!value.known())
            return Truth::Unknown;
        return value.value ? Truth::True : Truth::False;
    }

    void define(std::vector<Token> &words, int line)
    {
        const QByteArray name = text(words.front()).toByteArray();
        Macro macro;
        if (words.size() > 1 && isPunct(m_text, words[1], "(") && words[1].begin == words.front().end) {
            // A macro with arguments stands for no one value.
        } else {
            words.erase(words.begin());
            macro.empty = words.empty();
            if (!macro.empty) {
                Evaluator evaluator(m_text, words, *this);
                const Number value = evaluator.evaluate();
                if (evaluator.tooDeep())
                    fail(line, QStringLiteral("the macro nests deeper than %1 levels").arg(kMaxDepth));
                if (value.known())
                    macro.value = value.value;
            }
        }
        if (macro.value)
            m_out.constants.insert(name, *macro.value);
        else
            m_out.constants.remove(name);
        m_macros.insert(name, macro);
    }

    const QByteArray &m_text;
    Source &m_out;
    Lexer m_lexer;
    std::optional<Token> m_pending;
    std::vector<Conditional> m_conds;
    QSet<QByteArray> m_own;
    QHash<QByteArray, Macro> m_macros;
};

// Words that say where or how data is kept, not what it is.
bool isAttributeWord(QByteArrayView word)
{
    static const char *const kWords[] = {"__attribute__", "__declspec", "__flash", "__memx", "__far", "__near",
                                         "__code", "__xdata", "__in_flash", "ICACHE_RODATA_ATTR", "DRAM_ATTR",
                                         "IRAM_ATTR", "alignas", "_Alignas"};
    for (const char *attribute : kWords) {
        if (word == attribute)
            return true;
    }
    return word.endsWith("PROGMEM") || word.startsWith("LV_ATTRIBUTE_");
}

// The declarations of the text, read from the preprocessor's tokens.
class Parser : public Names
{
public:
    Parser(Spliced &spliced, Source &out)
        : m_spliced(spliced)
        , m_text(spliced.text())
        , m_out(out)
        , m_pp(spliced, out)
    {
    }

    void run()
    {
        while (m_out.ok() && peek().kind != Kind::End)
            statement();
    }

    Number value(QByteArrayView name) const override
    {
        const auto constant = m_out.constants.constFind(QByteArray::fromRawData(name.data(), name.size()));
        return constant != m_out.constants.cend() ? Number::of(*constant) : Number::bad();
    }

private:
    struct Declarator
    {
        bool named = false;
        Token name;
        QList<QByteArray> type;
        QList<qint64> dimensions;
        QByteArray sectionMacro;
        QByteArray sectionName;
    };

    const Token &peek()
    {
        if (!m_peek)
            m_peek = m_pp.next();
        return *m_peek;
    }

    Token take()
    {
        const Token token = peek();
        if (token.kind != Kind::End)
            m_peek.reset();
        m_sawExternal = m_sawExternal || token.external;
        return token;
    }

    QByteArrayView text(const Token &token) const
    {
        return QByteArrayView(m_text.constData() + token.begin, token.end - token.begin);
    }

    bool is(const Token &token, QByteArrayView punct) const { return isPunct(m_text, token, punct); }

    bool isWord(const Token &token, QByteArrayView word) const
    {
        return token.kind == Kind::Identifier && text(token) == word;
    }

    void fail(int line, const QString &what) { m_pp.fail(line, what); }

    QString quoted(const QByteArray &name) const { return QStringLiteral("'%1'").arg(QString::fromUtf8(name)); }

    // From one statement's first token to its ';', or a block's '}'.
    void statement()
    {
        m_sawExternal = false;
        std::vector<Token> head;
        int depth = 0;
        for (;;) {
            const Token &token = peek();
            if (token.kind == Kind::End)
                return;
            if (is(token, ";") || is(token, "}")) {
                take(); // a '}' closes an extern "C" or namespace block
                return;
            }
            if (is(token, "{")) {
                block(head);
                return;
            }
            if (depth == 0 && (is(token, "=") || is(token, ","))) {
                declarators(head);
                return;
            }
            if (is(token, "(") || is(token, "["))
                ++depth;
            else if ((is(token, ")") || is(token, "]")) && depth > 0)
                --depth;
            head.push_back(take());
        }
    }

    void block(const std::vector<Token> &head)
    {
        const Token open = take();
        if (!head.empty() && (isWord(head.front(), "namespace")
                              || (head.size() == 2 && isWord(head.front(), "extern") && head.back().kind == Kind::String)))
            return; // its contents are read as the file's
        const bool isEnum = std::any_of(head.begin(), head.end(), [this](const Token &t) { return isWord(t, "enum"); });
        if (isEnum) {
            enumerators(open);
        } else {
            skipBlock(open);
            if (!head.empty() && is(head.back(), ")"))
                return; // a function's body
        }
        // What follows a struct's or an enum's body up to its ';'.
        for (;;) {
            const Token &token = peek();
            if (token.kind == Kind::End || is(token, "}") || !m_out.ok())
                return;
            const Token taken = take();
            if (is(taken, ";"))
                return;
            if (is(taken, "{"))
                skipBlock(taken);
        }
    }

    void skipBlock(const Token &open)
    {
        for (int depth = 1; m_out.ok();) {
            const Token token = take();
            if (token.kind == Kind::End) {
                fail(open.line, QStringLiteral("the '{' is not closed"));
                return;
            }
            if (is(token, "{"))
                ++depth;
            else if (is(token, "}") && --depth == 0)
                return;
        }
    }

    void enumerators(const Token &open)
    {
        std::optional<qint64> next = 0;
        while (m_out.ok()) {
            const Token &token = peek();
            if (token.kind == Kind::End) {
                fail(open.line, QStringLiteral("the enum is not closed"));
                return;
            }
            if (is(token, "}")) {
                take();
                return;
            }
            if (token.kind != Kind::Identifier) {
                take();
                continue;
            }
            const QByteArray name = text(take()).toByteArray();
            std::optional<qint64> value = next;
            if (is(peek(), "=")) {
                take();
                collectExpression();
                const Number number = evaluate();
                value = number.known() ? std::optional<qint64>(number.value) : std::nullopt;
            }
            if (value)
                m_out.constants.insert(name, *value);
            next = value ? std::optional<qint64>(qint64(quint64(*value) + 1)) : std::nullopt;
        }
    }

    // Tokens up to the ',' '}' or ';' that ends a value.
    void collectExpression()
    {
        m_expression.clear();
        int depth = 0;
        for (;;) {
            const Token &token = peek();
            if (token.kind == Kind::End || is(token, ";"))
                return;
            if (depth == 0 && (is(token, ",") || is(token, "}")))
                return;
            if (is(token, "(") || is(token, "[") || is(token, "{"))
                ++depth;
            else if ((is(token, ")") || is(token, "]") || is(token, "}")) && depth > 0)
                --depth;
            m_expression.push_back(take());
        }
    }

    Number evaluate()
    {
        Evaluator evaluator(m_text, m_expression, *this);
        const Number value = evaluator.evaluate();
        if (evaluator.tooDeep() && !m_expression.empty())
            fail(m_expression.front().line, QStringLiteral("the value nests deeper than %1 levels").arg(kMaxDepth));
        return value;
    }

    // Each declarator of a statement and its initializer, from its first
    // '=' or ',' to its ';'.
    void declarators(const std::vector<Token> &head)
    {
        const qsizetype begin = m_spliced.original(head.empty() ? peek().begin : head.front().begin);
        const size_t first = m_out.declarations.size();
        Declarator declarator = read(head, nullptr);
        const QList<QByteArray> type = [&] {
            QList<QByteArray> words = declarator.type;
            words.removeAll("*");
            return words;
        }();
        for (;;) {
            Token token = take();
            if (is(token, "=")) {
                Declaration declaration;
                declaration.name = text(declarator.name).toByteArray();
                m_initializerLine = peek().line;
                m_declaration = declarator.named ? declaration.name : QByteArray("the declaration");
                if (!initializer(declaration.value, 0))
                    return;
                if (declarator.named) {
                    declaration.type = declarator.type;
                    declaration.dimensions = declarator.dimensions;
                    declaration.sectionMacro = declarator.sectionMacro;
                    declaration.sectionName = declarator.sectionName;
                    declaration.line = declarator.name.line;
                    declaration.begin = begin;
                    m_out.declarations.push_back(std::move(declaration));
                }
                token = take();
            }
            if (is(token, ";")) {
                for (size_t i = first; i < m_out.declarations.size(); ++i) {
                    m_out.declarations[i].end = m_spliced.original(token.end);
                    m_out.declarations[i].external = m_sawExternal;
                }
                return;
            }
            if (!is(token, ",")) {
                if (m_out.declarations.size() > first)
                    fail(token.line, QStringLiteral("the declaration of %1 does not end with ';'")
                                             .arg(quoted(m_out.declarations.back().name)));
                return;
            }
            std::vector<Token> next;
            int depth = 0;
            for (;;) {
                const Token &t = peek();
                if (t.kind == Kind::End || is(t, ";") || is(t, "{") || is(t, "}")
                    || (depth == 0 && (is(t, "=") || is(t, ","))))
                    break;
                if (is(t, "(") || is(t, "["))
                    ++depth;
                else if ((is(t, ")") || is(t, "]")) && depth > 0)
                    --depth;
                next.push_back(take());
            }
            if (is(peek(), "{") || is(peek(), "}"))
                return;
            declarator = read(next, &type);
        }
    }

    static size_t closing(const std::vector<Token> &tokens, size_t open, const QByteArray &text)
    {
        const char opening = text[tokens[open].begin];
        const char closer = opening == '(' ? ')' : ']';
        int depth = 0;
        for (size_t i = open; i < tokens.size(); ++i) {
            if (tokens[i].kind != Kind::Punct || tokens[i].end - tokens[i].begin != 1)
                continue;
            if (text[tokens[i].begin] == opening)
                ++depth;
            else if (text[tokens[i].begin] == closer && --depth == 0)
                return i;
        }
        return tokens.size();
    }

    // The type, name, dimensions and section of one declarator.
    Declarator read(const std::vector<Token> &tokens, const QList<QByteArray> *inherited)
    {
        Declarator declarator;
        std::vector<Token> words;
        bool named = false; // the name is followed by its dimensions or attributes
        for (size_t i = 0; i < tokens.size(); ++i) {
            const Token &token = tokens[i];
            if (token.kind == Kind::Identifier) {
                const QByteArrayView word = text(token);
                if (i + 1 < tokens.size() && is(tokens[i + 1], "(")) {
                    const size_t close = closing(tokens, i + 1, m_text);
                    if (close == i + 3 && tokens[i + 2].kind == Kind::String) {
                        declarator.sectionMacro = word.toByteArray();
                        declarator.sectionName = literalBytes(text(tokens[i + 2]));
                    } else if (!isAttributeWord(word)) {
                        return {}; // a function, or a macro that says more than where
                    }
                    named = named || !words.empty();
                    i = close;
                } else if (!isAttributeWord(word) && !m_pp.definesEmpty(word) && !named) {
                    words.push_back(token);
                }
            } else if (is(token, "*")) {
                if (!named)
                    words.push_back(token);
            } else if (is(token, "[")) {
                named = true;
                const size_t close = closing(tokens, i, m_text);
                m_expression.assign(tokens.begin() + qsizetype(i) + 1, tokens.begin() + qsizetype(std::min(close, tokens.size())));
                const Number size = m_expression.empty() ? Number::bad() : evaluate();
                declarator.dimensions.append(size.known() ? size.value : -1);
                i = close;
            } else if (is(token, "(")) {
                return {}; // (*name): a pointer to a function or an array
            }
        }
        if (words.empty() || words.back().kind != Kind::Identifier)
            return {};
        declarator.named = true;
        declarator.name = words.back();
        if (inherited)
            declarator.type = *inherited;
        for (size_t i = 0; i + 1 < words.size(); ++i)
            declarator.type.append(text(words[i]).toByteArray());
        return declarator;
    }

    bool missingClose()
    {
        fail(m_initializerLine, QStringLiteral("the initializer of %1 does not close").arg(quoted(m_declaration)));
        return false;
    }

    bool initializer(Value &value, int depth)
    {
        if (!is(peek(), "{"))
            return expression(value);
        const Token open = take();
        if (depth >= kMaxDepth) {
            fail(open.line, QStringLiteral("the initializer of %1 nests braces deeper than %2 levels")
                                    .arg(quoted(m_declaration))
                                    .arg(kMaxDepth));
            return false;
        }
        value.kind = Value::Kind::List;
        value.line = open.line;
        for (;;) {
            if (!m_out.ok())
                return false;
            if (is(peek(), "}")) {
                take();
                return true;
            }
            if (peek().kind == Kind::End || is(peek(), ";"))
                return missingClose();
            skipDesignator();
            Value item;
            if (!initializer(item, depth + 1))
                return false;
            value.items.push_back(std::move(item));
            if (is(peek(), ","))
                take();
            else if (!is(peek(), "}"))
                return missingClose();
        }
    }

    // ".name =" and "[index] =" name the member or element a value is for;
    // the values stand in the order of the text.
    void skipDesignator()
    {
        bool designated = false;
        for (;;) {
            if (is(peek(), ".")) {
                take();
                if (peek().kind == Kind::Identifier)
                    take();
            } else if (is(peek(), "[")) {
                int depth = 0;
                do {
                    const Token token = peek();
                    if (token.kind == Kind::End || is(token, ";") || is(token, "}"))
                        return;
                    take();
                    depth += is(token, "[") ? 1 : is(token, "]") ? -1 : 0;
                } while (depth > 0);
            } else {
                break;
            }
            designated = true;
        }
        if (designated && is(peek(), "="))
            take();
    }

    bool expression(Value &value)
    {
        collectExpression();
        if (m_expression.empty()) {
            if (peek().kind == Kind::End || is(peek(), ";"))
                return missingClose();
            fail(peek().line, QStringLiteral("a value is missing in the initializer of %1").arg(quoted(m_declaration)));
            return false;
        }
        value.line = m_expression.front().line;
        if (std::all_of(m_expression.begin(), m_expression.end(),
                        [](const Token &token) { return token.kind == Kind::String; })) {
            value.kind = Value::Kind::String;
            for (const Token &token : m_expression)
                value.text += literalBytes(text(token));
            return true;
        }
        const Number number = evaluate();
        if (number.known()) {
            value.kind = Value::Kind::Number;
            value.number = number.value;
            return m_out.ok();
        }
        value.kind = Value::Kind::Name;
        value.text = address();
        if (value.text.isEmpty()) {
            // Not a form this reads: its text, which names nothing.
            for (size_t i = 0; i < m_expression.size(); ++i) {
                const bool word = m_expression[i].kind == Kind::Identifier || m_expression[i].kind == Kind::Number;
                if (i > 0 && word
                    && (m_expression[i - 1].kind == Kind::Identifier || m_expression[i - 1].kind == Kind::Number))
                    value.text += ' ';
                value.text += text(m_expression[i]);
            }
        }
        return m_out.ok();
    }

    // The name of `name`, `&name` and `&name[0]`, after any casts; empty
    // for anything else.
    QByteArray address() const
    {
        const std::vector<Token> &tokens = m_expression;
        size_t i = 0;
        while (i < tokens.size() && is(tokens[i], "(")) {
            size_t close = i + 1;
            while (close < tokens.size() && (tokens[close].kind == Kind::Identifier || is(tokens[close], "*")))
                ++close;
            if (close == i + 1 || close >= tokens.size() || !is(tokens[close], ")"))
                return {};
            i = close + 1;
        }
        const bool reference = i < tokens.size() && is(tokens[i], "&");
        if (reference)
            ++i;
        if (i >= tokens.size() || tokens[i].kind != Kind::Identifier)
            return {};
        const QByteArray name = text(tokens[i]).toByteArray();
        if (i + 1 == tokens.size())
            return name;
        if (reference && i + 4 == tokens.size() && is(tokens[i + 1], "[") && tokens[i + 2].kind == Kind::Number
            && integerLiteral(text(tokens[i + 2])) == 0 && is(tokens[i + 3], "]"))
            return name;
        return {};
    }

    Spliced &m_spliced;
    const QByteArray &m_text;
    Source &m_out;
    Preprocessor m_pp;
    std::optional<Token> m_peek;
    std::vector<Token> m_expression;
    bool m_sawExternal = false;
    int m_initializerLine = 0;
    QByteArray m_declaration; // its name, for messages
};

} // namespace

Source read(QByteArrayView text)
{
    Source source;
    Spliced spliced(text);
    Parser parser(spliced, source);
    parser.run();
    return source;
}

} // namespace CSourceReader
