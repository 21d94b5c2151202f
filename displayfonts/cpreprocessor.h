#pragma once

#include "cexpression.h"
#include "clexer.h"

#include <QHash>
#include <QSet>

#include <optional>
#include <vector>

// The tokens of C source that a compiler reads: directives obeyed, the
// blocks the file switches off left out, the blocks on the user's build
// (a macro the file neither defines nor undefines) read and marked
// external. The file's macros and enum constants are the Source's constants.
class CPreprocessor : public CExpression::Names
{
public:
    CPreprocessor(CSourceText &text, CSourceReader::Source &out);

    // End at the text's end or at the first fault.
    CToken next();
    void fail(int line, const QString &what) { m_lexer.fail(line, what); }

    // A macro the file defines as nothing, such as PROGMEM where the
    // platform has no such thing: a word of no meaning in a declaration.
    bool definesEmpty(QByteArrayView name) const;

    bool preprocessing() const override { return true; }
    std::optional<CExpression::Number> defined(QByteArrayView name) const override;
    CExpression::Number value(QByteArrayView name) const override;

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
        int braces = 0; // braces opened less those closed in the branches read
    };

    enum class Truth { False, True, Unknown };

    struct Macro
    {
        std::optional<qint64> value;
        bool empty = false;
    };

    bool active() const { return m_conds.empty() || m_conds.back().active; }
    void findOwnMacros();
    void directive(int line);
    void open(int line);
    void enter(Truth truth);
    Truth condition(QByteArrayView kind, const std::vector<CToken> &words, int line);
    void define(std::vector<CToken> &words, int line);

    const QByteArray &m_text;
    CSourceReader::Source &m_out;
    CLexer m_lexer;
    std::optional<CToken> m_pending;
    std::vector<Conditional> m_conds;
    QSet<QByteArray> m_own; // what any #define or #undef of the file names
    QHash<QByteArray, Macro> m_macros;
};
