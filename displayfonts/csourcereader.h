#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QList>
#include <QSet>
#include <QString>

#include <vector>

// C source read as a compiler reads the parts of it that hold data: its
// comments set aside, its preprocessor lines obeyed, and each declaration
// with an initializer taken apart into its type, its name, its dimensions
// and the value tree of its initializer. Firmware fonts are found in what
// this gives, by their content; the readers of the display formats do that.
//
// What the preprocessor does here:
// - `#define NAME value` and `#undef` are kept as the file's own macros (any
//   name a #define or #undef of the file names, wherever it stands), and
//   an enum's constants too, each with the integer value it evaluates to;
// - `#if`, `#elif` evaluate integer expressions of numbers, the file's own
//   macros and enum constants, `defined NAME`, `!`, `&&`, `||`, comparisons,
//   arithmetic and parentheses; `#ifdef`/`#ifndef` ask whether the file
//   defines the name;
// - a block whose condition names a macro the file neither defines nor
//   undefines (U8G2_USE_LARGE_FONTS, ARDUINO) is a switch of the user's build,
//   not of the font: its declarations are read, marked `external`, and so
//   are those of its #else branch, unless the first branch leaves a brace
//   open (each branch then opens the same declaration for another build,
//   and only the first is read); the file's own switches are obeyed;
// - `#include` and every other directive are passed over;
// - an unbalanced #if/#else/#endif is an error naming its line.
namespace CSourceReader {

// How deep braces, #if blocks, parentheses and unary operators may nest:
// far beyond any font, and it keeps the recursion over hostile text shallow.
constexpr int kMaxDepth = 64;

// One node of an initializer.
struct Value
{
    enum class Kind {
        Number, // an integer constant expression: 0x1F, -6, 'A' (its byte, unsigned), (uint8_t)3, a known constant
        Name,   // an address or a name the file does not give a value: (uint8_t *)fooBitmaps, &foo[0]
        String, // one string literal, or several run together, escapes done, without the terminating zero
        List,   // { ... }
    };
    Kind kind = Kind::Number;
    qint64 number = 0;             // Number
    // Name: the name alone, casts, & and [0] left out; any other expression
    // that is no integer (foo + 3, sizeof x) as written, which names nothing.
    // String: its bytes.
    QByteArray text;
    std::vector<Value> items;      // List
    int line = 0;                  // where the value starts, from 1
};

struct Declaration
{
    QByteArray name;
    // The words before the name, as written: {"const", "uint8_t"},
    // {"static", "const", "GFXglyph"}, {"const", "char", "*"}; PROGMEM and
    // the like are left out.
    QList<QByteArray> type;
    // Each [dimension]: its value, or -1 where it is empty ("[]") or no
    // constant the file gives.
    QList<qint64> dimensions;
    // The argument of a section macro after the declarator,
    // U8G2_FONT_SECTION("name") or U8X8_FONT_SECTION("name"): the macro's
    // name and its string; empty where there is none.
    QByteArray sectionMacro;
    QByteArray sectionName;
    Value value;
    int line = 0; // the line of the name
    // Where the declaration lies in the text: the offset of its first type
    // word and one past its ';'. Declarators that share one statement
    // (`int a = 1, b = 2;`) share the statement's bounds.
    qsizetype begin = 0;
    qsizetype end = 0;
    // Some of it was read inside a block on a macro the file does not
    // define.
    bool external = false;
};

struct Comment
{
    int line = 0;
    QByteArray text; // without // or /* */, trimmed
};

struct Source
{
    std::vector<Declaration> declarations; // in the order of the text
    std::vector<Comment> comments; // those of the text read, not of the blocks left out
    // The file's own macros and enum constants that evaluate to an integer.
    QHash<QByteArray, qint64> constants;
    // Empty when the text was read; else one sentence, and `errorLine`.
    QString error;
    int errorLine = 0;

    bool ok() const { return error.isEmpty(); }
    // The first declaration called `name`, or null.
    const Declaration *find(QByteArrayView name) const;

    // The index in `declarations` where each name is first declared, which
    // read() fills in so that find() takes constant time on files of
    // thousands of declarations; where it is empty, find() searches.
    QHash<QByteArray, size_t> firstDeclared;
};

// Every name `value` and the values inside it give (Value::Kind::Name), added
// to `names`: what other declarations a font's declaration points to.
inline void addNames(const Value &value, QSet<QByteArray> *names)
{
    if (value.kind == Value::Kind::Name)
        names->insert(value.text);
    for (const Value &item : value.items)
        addNames(item, names);
}

// Reads `text` as C; stops at the first fault it cannot pass over (an
// unbalanced #if, a literal or comment cut short, an initializer that does
// not close) with `error` set. Declarations without an initializer, function
// bodies and anything else outside initializers are passed over. Never reads
// outside `text`, and takes time and memory linear in its size.
Source read(QByteArrayView text);

} // namespace CSourceReader
