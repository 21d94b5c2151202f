#include "csourcereader.h"

#include "cexpression.h"
#include "clexer.h"
#include "cpreprocessor.h"
#include "csourcetext.h"

#include <algorithm>

namespace CSourceReader {

const Declaration *Source::find(QByteArrayView name) const
{
    if (!firstDeclared.isEmpty()) {
        const auto at = firstDeclared.constFind(QByteArray::fromRawData(name.data(), name.size()));
        const bool found = at != firstDeclared.cend() && *at < declarations.size() && declarations[*at].name == name;
        return found ? &declarations[*at] : nullptr;
    }
    for (const Declaration &declaration : declarations) {
        if (declaration.name == name)
            return &declaration;
    }
    return nullptr;
}

namespace {

using Kind = CToken::Kind;
using Token = CToken;
using CExpression::Number;
using CExpression::integerLiteral;

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
class Parser : public CExpression::Names
{
public:
    Parser(CSourceText &spliced, Source &out)
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

    bool is(const Token &token, QByteArrayView punct) const { return token.isPunct(m_text, punct); }

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
        bool tooDeep = false;
        const Number value = CExpression::evaluate(m_text, m_expression, *this, &tooDeep);
        if (tooDeep && !m_expression.empty())
            fail(m_expression.front().line, QStringLiteral("the value nests deeper than %1 levels").arg(kMaxDepth));
        return value;
    }

    // Each declarator of a statement and its initializer, from its first
    // '=' or ',' to its ';'.
    void declarators(const std::vector<Token> &head)
    {
        const qsizetype begin = m_spliced.original(head.empty() ? peek().begin : head.front().begin);
        std::vector<Declaration> made; // kept once their ';' is read
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
                m_firstDimension = declarator.dimensions.isEmpty() ? 0 : declarator.dimensions.front();
                m_declaration = declarator.named ? quoted(declaration.name) : QStringLiteral("a declaration");
                if (!initializer(declaration.value, 0))
                    return;
                if (declarator.named) {
                    declaration.type = declarator.type;
                    declaration.dimensions = declarator.dimensions;
                    declaration.sectionMacro = declarator.sectionMacro;
                    declaration.sectionName = declarator.sectionName;
                    declaration.line = declarator.name.line;
                    declaration.begin = begin;
                    made.push_back(std::move(declaration));
                }
                token = take();
            }
            if (is(token, ";")) {
                for (Declaration &declaration : made) {
                    declaration.end = m_spliced.original(token.end - 1) + 1;
                    declaration.external = m_sawExternal;
                    m_out.declarations.push_back(std::move(declaration));
                }
                return;
            }
            if (!is(token, ",")) {
                if (!made.empty())
                    fail(token.line, QStringLiteral("the declaration of %1 does not end with ';'")
                                             .arg(quoted(made.back().name)));
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
                    const size_t close = CExpression::closing(m_text, tokens, i + 1);
                    if (close == i + 3 && tokens[i + 2].kind == Kind::String) {
                        declarator.sectionMacro = word.toByteArray();
                        declarator.sectionName = CLexer::literalBytes(text(tokens[i + 2]));
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
                const size_t close = CExpression::closing(m_text, tokens, i);
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
        fail(m_initializerLine, QStringLiteral("the initializer of %1 does not close").arg(m_declaration));
        return false;
    }

    bool initializer(Value &value, int depth)
    {
        if (!is(peek(), "{"))
            return expression(value);
        const Token open = take();
        if (depth >= kMaxDepth) {
            fail(open.line, QStringLiteral("the initializer of %1 nests braces deeper than %2 levels")
                                    .arg(m_declaration)
                                    .arg(kMaxDepth));
            return false;
        }
        value.kind = Value::Kind::List;
        value.line = open.line;
        // A font's array holds as many values as its dimension says: room
        // for them at once, but never for more than the rest of the text
        // could hold.
        if (depth == 0 && m_firstDimension > 0)
            value.items.reserve(size_t(std::min<qint64>(m_firstDimension, (m_text.size() - open.end) / 2 + 1)));
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
            if (!initializer(value.items.emplace_back(), depth + 1))
                return false;
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
            fail(peek().line, QStringLiteral("a value is missing in the initializer of %1").arg(m_declaration));
            return false;
        }
        value.line = m_expression.front().line;
        if (m_expression.size() == 1 && m_expression.front().kind == Kind::Number) {
            // Most values of a font are one number.
            if (const std::optional<qint64> number = integerLiteral(text(m_expression.front()))) {
                value.kind = Value::Kind::Number;
                value.number = *number;
                return true;
            }
        }
        if (std::all_of(m_expression.begin(), m_expression.end(),
                        [](const Token &token) { return token.kind == Kind::String; })) {
            value.kind = Value::Kind::String;
            for (const Token &token : m_expression)
                value.text += CLexer::literalBytes(text(token));
            return true;
        }
        const Number number = evaluate();
        if (number.known()) {
            value.kind = Value::Kind::Number;
            value.number = number.value;
            return m_out.ok();
        }
        value.kind = Value::Kind::Name;
        value.text = CExpression::address(m_text, m_expression);
        // Not a form this reads: its text, which names nothing.
        if (value.text.isEmpty())
            value.text = CExpression::spelled(m_text, m_expression);
        return m_out.ok();
    }

    CSourceText &m_spliced;
    const QByteArray &m_text;
    Source &m_out;
    CPreprocessor m_pp;
    std::optional<Token> m_peek;
    std::vector<Token> m_expression;
    bool m_sawExternal = false;
    int m_initializerLine = 0;
    qint64 m_firstDimension = 0;
    QString m_declaration; // its name, for messages
};

} // namespace

Source read(QByteArrayView text)
{
    Source source;
    CSourceText spliced(text);
    Parser parser(spliced, source);
    parser.run();
    for (size_t i = 0; i < source.declarations.size(); ++i) {
        if (!source.firstDeclared.contains(source.declarations[i].name))
            source.firstDeclared.insert(source.declarations[i].name, i);
    }
    return source;
}

} // namespace CSourceReader
