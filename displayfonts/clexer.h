#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

class CSourceText;
namespace CSourceReader {
struct Source;
}

// One token of C source.
struct CToken
{
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
    Kind kind = Kind::End;
    bool newlineBefore = false; // the first token of its line
    bool external = false;      // read inside a block on a macro of the user's build
    int line = 0;
    qsizetype begin = 0; // in CSourceText::text()
    qsizetype end = 0;

    QByteArrayView text(const QByteArray &source) const { return QByteArrayView(source.constData() + begin, end - begin); }
    bool isPunct(const QByteArray &source, QByteArrayView punct) const
    {
        return kind == Kind::Punct && text(source) == punct;
    }
};

// Splits C source into tokens, setting its comments aside in the Source;
// a fault ends the tokens and sets the Source's error.
class CLexer
{
public:
    CLexer(CSourceText &text, CSourceReader::Source &out);

    // The next token. `lenient`: a quote not closed on its line ends there,
    // as in a skipped block or a directive's line (#error don't). `lineEnd`:
    // the end of the line is a token, for a directive.
    CToken next(bool lenient, bool keepComments, bool lineEnd);
    // Sets the Source's error, unless it has one.
    void fail(int line, const QString &what);

    static bool isIdentifierStart(char c);
    static bool isIdentifierChar(char c);
    static int hexDigit(char c); // -1 for no hexadecimal digit
    // The bytes of a string or character literal, escapes done, without its
    // prefix, quotes and terminating zero.
    static QByteArray literalBytes(QByteArrayView token);

private:
    void comment(qsizetype begin, qsizetype end, bool keep);
    CToken::Kind literal(char quote, bool lenient, int line);
    static qsizetype punctuatorLength(const char *s, qsizetype left);

    CSourceText &m_source;
    const QByteArray &m_text;
    CSourceReader::Source &m_out;
    qsizetype m_pos = 0;
    bool m_atStart = true;
};
