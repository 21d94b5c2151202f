#pragma once

#include "storedglyph.h"

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <optional>
#include <vector>

class GlyphSet;
namespace CSourceReader {
struct Declaration;
struct Source;
}

// Pieces of C source that every export writes: identifiers, byte tables and
// comments, in the one style the exports share. What it writes compiles as
// C99 and as C++.
namespace CSource {

// A whole file as a writer gives it: its text, or why it cannot be written.
struct File
{
    QString text;
    QString error;

    bool ok() const { return error.isEmpty(); }
};

// Whether `name` can stand as the name of a font's array: letters, digits
// and "_", starting with a letter (C reserves names that start with "_" at
// file scope), no keyword of C or C++, and none that <stdint.h>, which our
// headers include, declares or reserves ("uint8_t", "INT16_MAX"). False
// with the reason in `why`.
bool isIdentifier(QStringView name, QString *why = nullptr);

// A name made from any text, such as a font's file name: every character
// that cannot stand in one becomes "_", leading "_" go, a leading digit
// gains "font_" in front, a keyword or a name of <stdint.h> gains "_"
// behind, and an empty result is "font". A name that isIdentifier() accepts
// comes back unchanged.
QString identifier(QStringView text);

// The bytes as "0x12, 0x34, ..." in lines of `perLine` bytes, each line
// starting with `indent` and ending with "," and "\n"; nothing for no bytes.
QString byteLines(const QByteArray &bytes, int perLine = 16, QStringView indent = u"    ");

// `value` as "0x" and `digits` upper-case hexadecimal digits (more where it
// needs them).
QString hex(quint32 value, int digits = 2);
// The same at the end of `out`.
void appendHex(QString &out, quint32 value, int digits = 2);

// The values as "0x12, 0x34" on one line, without a trailing comma.
QString hexList(const std::vector<quint32> &values, int digits = 2);
QString hexList(const QByteArray &bytes);

// A named integer constant, its value as it is to be written, and a comment.
struct Constant
{
    QString name;
    QString value;
    QString comment;
};

// The constants as "enum { name = value, // comment ... };" on lines of
// their own, the comments aligned. An enum rather than macros: its names
// cannot clash with a macro of the includer's, and it is an integer constant
// expression in C and C++ alike, fit for array dimensions.
QString enumBlock(const std::vector<Constant> &constants);

// Text that can stand in a // comment on one line: control characters and
// line or paragraph separators become blanks, and a trailing backslash or
// the trigraph "??/" (which would carry the comment onto the next line) is
// broken up.
QString commentText(QStringView text);

// "1 glyph", "2 glyphs": a count of glyphs as a comment states it.
QString glyphCount(qsizetype count);

// A whole comment line: `indent`, "// ", the text made safe by commentText()
// and "\n".
QString comment(QStringView text, QStringView indent = {});

// What every file of C begins or ends with.

// "// " and the font's name made safe, on a line of its own; nothing for a
// font without a name.
QString fontNameLine(const GlyphSet &set);
// The include guard of the header that defines `id`, and <stdint.h>.
QString guardStart(QStringView id);
QLatin1String guardEnd();
// The display library's header `library` ("u8g2"): the Arduino library keeps
// its C header under clib/ in its sources.
QString libraryInclude(QStringView library);
// What names code `code` in its comment: its glyph's label (with its source
// among `sources`, as GlyphExport::label names it), or the code point
// followed by `missing` (": no glyph") where the set has none.
// A glyph left out of the set as too large (`leftOut`) is named too.
QString codeComment(const GlyphSet &set, int code, QStringView missing, const std::vector<int> &sources,
                    const LeftOut *leftOut = nullptr);

// What the functions above wrote, read back from a file as CSourceReader
// gives it, for every format alike.

// The font name fontNameLine() wrote: the comment on line 1 where the
// comment on line 2 is `summary`, the line a writer puts first after the
// name. Empty where there is no such pair: a font without a name, whose
// summary stands on line 1, or a file written elsewhere.
QByteArray fontNameAbove(const CSourceReader::Source &source, QStringView summary);

// The text of the last comment on `line`, or none.
std::optional<QByteArray> commentOn(const CSourceReader::Source &source, int line);

// The glyph that codeComment() names in `comment` for `code`: the code
// point it stands for (`code`, or the one an export placed it there from)
// and its name where the comment gives one; none where the comment does not
// name a glyph at `code` (a code without a glyph, a comment written
// elsewhere).
struct Labelled
{
    int codePoint = 0;
    QByteArray name;
};
std::optional<Labelled> glyphIn(QByteArrayView comment, int code);

// The remaps, as CodePoints::parseRemaps() reads them, that place each of
// `placed` (a code and the code point of the glyph placed there, the codes
// rising) as it stands: "U+0410-U+044F:U+00C0"; empty where none moves.
QString remapsText(const std::vector<std::pair<int, int>> &placed);

// A two-dimensional array of numbers as its rows, each of `width` numbers
// from 0 to `highest`, a row that gives fewer filled with zeros as C fills
// it; or the first fault, in one sentence, and its line.
struct Rows
{
    std::vector<std::vector<quint32>> rows;
    QString error;
    int line = 0;

    bool ok() const { return error.isEmpty(); }
};
Rows rowsOf(const CSourceReader::Declaration &array, qint64 count, int width, quint32 highest);

} // namespace CSource
