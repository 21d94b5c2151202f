#pragma once

#include "clexer.h"

#include <QByteArray>
#include <QByteArrayView>

#include <optional>
#include <vector>

// C's integer constant expressions, as #if lines, enum constants, array
// dimensions and initializers hold them.
namespace CExpression {

// A value: a number, unknown (it names a macro of the user's build), or no
// integer at all.
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

// The value of all of `tokens` (of `text`) as one expression, as C
// evaluates it; bad where they are not one. Parentheses, casts and unary
// operators nest up to CSourceReader::kMaxDepth deep; beyond, `tooDeep`.
Number evaluate(const QByteArray &text, const std::vector<CToken> &tokens, const Names &names, bool *tooDeep);

// 0x1F, 017, 0b101, 42UL; none for anything else.
std::optional<qint64> integerLiteral(QByteArrayView text);

// The name that `tokens` give the address of, after any casts: `name`,
// `&name` and `&name[0]`; empty for anything else.
QByteArray address(const QByteArray &text, const std::vector<CToken> &tokens);
// The tokens as one line of text, a blank between two words.
QByteArray spelled(const QByteArray &text, const std::vector<CToken> &tokens);
// The index of the ')' or ']' that closes the one at `open`, or the count
// of tokens where none does.
size_t closing(const QByteArray &text, const std::vector<CToken> &tokens, size_t open);

} // namespace CExpression
