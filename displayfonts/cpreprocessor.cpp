#include "cpreprocessor.h"

#include "csourcereader.h"
#include "csourcetext.h"

namespace {

using Kind = CToken::Kind;
using Token = CToken;
using CExpression::Number;
using CSourceReader::kMaxDepth;
using CSourceReader::Source;

} // namespace

CPreprocessor::CPreprocessor(CSourceText &text, Source &out)
    : m_text(text.text())
    , m_out(out)
    , m_lexer(text, out)
{
    findOwnMacros();
}

CToken CPreprocessor::next()
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
        if (token.newlineBefore && token.isPunct(m_text, "#")) {
            directive(token.line);
            continue;
        }
        if (!active())
            continue;
        token.external = !m_conds.empty() && m_conds.back().external;
        if (!m_conds.empty() && token.kind == Kind::Punct)
            m_conds.back().braces += token.isPunct(m_text, "{") ? 1 : token.isPunct(m_text, "}") ? -1 : 0;
        return token;
    }
}

bool CPreprocessor::definesEmpty(QByteArrayView name) const
{
    const auto macro = m_macros.constFind(QByteArray::fromRawData(name.data(), name.size()));
    return macro != m_macros.cend() && macro->empty;
}

std::optional<Number> CPreprocessor::defined(QByteArrayView name) const
{
    const QByteArray key = QByteArray::fromRawData(name.data(), name.size());
    if (!m_own.contains(key))
        return Number::unknown();
    return Number::of(m_macros.contains(key));
}

Number CPreprocessor::value(QByteArrayView name) const
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

// The names that any #define or #undef line of the file names: a block
// on one of those is the file's own switch.
void CPreprocessor::findOwnMacros()
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
        while (end < size && CLexer::isIdentifierChar(s[end]))
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

void CPreprocessor::directive(int line)
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
    const QByteArrayView name = words.front().text(m_text);
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
        // Branches on the user's build that leave a brace open are heads of
        // one declaration written for each build (`const lv_font_t f = {`
        // and `lv_font_t f = {`): the first is read, the others would open
        // it twice.
        if (conditional.unknown && conditional.braces != 0)
            conditional.done = true;
        if (conditional.done)
            conditional.active = false;
        else
            enter(name == "else" ? Truth::True : condition(name.sliced(2), words, line));
    } else if (name == "endif") {
        if (m_conds.empty())
            fail(line, QStringLiteral("#endif without #if"));
        else {
            const int braces = m_conds.back().braces;
            m_conds.pop_back();
            if (!m_conds.empty())
                m_conds.back().braces += braces;
        }
    } else if (!wasActive) {
        return;
    } else if (name == "define" && !words.empty() && words.front().kind == Kind::Identifier) {
        define(words, line);
    } else if (name == "undef" && !words.empty()) {
        m_macros.remove(words.front().text(m_text).toByteArray());
        m_out.constants.remove(words.front().text(m_text).toByteArray());
    }
    // #include, #pragma, #error and the rest say nothing of the data.
}

void CPreprocessor::open(int line)
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

void CPreprocessor::enter(Truth truth)
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

CPreprocessor::Truth CPreprocessor::condition(QByteArrayView kind, const std::vector<Token> &words, int line)
{
    if (kind == "ifdef" || kind == "ifndef") {
        if (words.empty() || words.front().kind != Kind::Identifier)
            return Truth::Unknown;
        const Number isDefined = *defined(words.front().text(m_text));
        if (!isDefined.known())
            return Truth::Unknown;
        return bool(isDefined.value) == (kind == "ifdef") ? Truth::True : Truth::False;
    }
    bool tooDeep = false;
    const Number value = CExpression::evaluate(m_text, words, *this, &tooDeep);
    if (tooDeep)
        fail(line, QStringLiteral("the condition nests deeper than %1 levels").arg(kMaxDepth));
    if (!value.known())
        return Truth::Unknown;
    return value.value ? Truth::True : Truth::False;
}

void CPreprocessor::define(std::vector<Token> &words, int line)
{
    const QByteArray name = words.front().text(m_text).toByteArray();
    Macro macro;
    if (words.size() > 1 && words[1].isPunct(m_text, "(") && words[1].begin == words.front().end) {
        // A macro with arguments stands for no one value.
    } else {
        words.erase(words.begin());
        macro.empty = words.empty();
        if (!macro.empty) {
            bool tooDeep = false;
            const Number value = CExpression::evaluate(m_text, words, *this, &tooDeep);
            if (tooDeep)
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
