#include "cexpression.h"

#include "csourcereader.h"

#include <algorithm>
#include <limits>

namespace CExpression {

namespace {

using Kind = CToken::Kind;
using Token = CToken;
using CSourceReader::kMaxDepth;

// The integer that a character literal stands for: its byte, unsigned, or
// its bytes one after the other as compilers take 'ab'.
qint64 characterValue(QByteArrayView token)
{
    const QByteArray bytes = CLexer::literalBytes(token);
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
        const bool colon = at(":");
        if (colon)
            ++m_at;
        const Number no = colon ? conditional() : Number::bad();
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

} // namespace

Number evaluate(const QByteArray &text, const std::vector<CToken> &tokens, const Names &names, bool *tooDeep)
{
    Evaluator evaluator(text, tokens, names);
    const Number value = evaluator.evaluate();
    *tooDeep = evaluator.tooDeep();
    return value;
}

std::optional<qint64> integerLiteral(QByteArrayView text)
{
    qsizetype end = text.size();
    int suffix = 0;
    while (end > 0 && suffix < 3 && QByteArrayView("uUlL").contains(text[end - 1])) {
        --end;
        ++suffix;
    }
    QByteArrayView body = text.first(end);
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
        if (c == '\'')
            continue; // a digit separator
        const int digit = CLexer::hexDigit(c);
        if (digit < 0 || digit >= base || value > (std::numeric_limits<quint64>::max() - quint64(digit)) / quint64(base))
            return std::nullopt;
        value = value * quint64(base) + quint64(digit);
    }
    return qint64(value);
}

QByteArray address(const QByteArray &text, const std::vector<CToken> &tokens)
{
    using Kind = CToken::Kind;
    size_t i = 0;
    while (i < tokens.size() && tokens[i].isPunct(text, "(")) {
        size_t close = i + 1;
        while (close < tokens.size() && (tokens[close].kind == Kind::Identifier || tokens[close].isPunct(text, "*")))
            ++close;
        if (close == i + 1 || close >= tokens.size() || !tokens[close].isPunct(text, ")"))
            return {};
        i = close + 1;
    }
    const bool reference = i < tokens.size() && tokens[i].isPunct(text, "&");
    if (reference)
        ++i;
    if (i >= tokens.size() || tokens[i].kind != Kind::Identifier)
        return {};
    const QByteArray name = tokens[i].text(text).toByteArray();
    if (i + 1 == tokens.size())
        return name;
    if (reference && i + 4 == tokens.size() && tokens[i + 1].isPunct(text, "[") && tokens[i + 2].kind == Kind::Number
        && integerLiteral(tokens[i + 2].text(text)) == 0 && tokens[i + 3].isPunct(text, "]"))
        return name;
    return {};
}

QByteArray spelled(const QByteArray &text, const std::vector<CToken> &tokens)
{
    const auto isWord = [](const CToken &token) {
        return token.kind == CToken::Kind::Identifier || token.kind == CToken::Kind::Number;
    };
    QByteArray line;
    for (size_t i = 0; i < tokens.size(); ++i) {
        if (i > 0 && isWord(tokens[i]) && isWord(tokens[i - 1]))
            line += ' ';
        line += tokens[i].text(text);
    }
    return line;
}

size_t closing(const QByteArray &text, const std::vector<CToken> &tokens, size_t open)
{
    const char opening = text[tokens[open].begin];
    const char closer = opening == '(' ? ')' : ']';
    int depth = 0;
    for (size_t i = open; i < tokens.size(); ++i) {
        if (tokens[i].kind != CToken::Kind::Punct || tokens[i].end - tokens[i].begin != 1)
            continue;
        if (text[tokens[i].begin] == opening)
            ++depth;
        else if (text[tokens[i].begin] == closer && --depth == 0)
            return i;
    }
    return tokens.size();
}

} // namespace CExpression
