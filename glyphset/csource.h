#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

// Pieces of C source that every export writes: identifiers, byte tables and
// comments, in the one style the exports share. What it writes compiles as
// C99 and as C++.
namespace CSource {

// Whether `name` can stand as the name of a font's array: letters, digits
// and "_", starting with a letter (C reserves names that start with "_" at
// file scope), and no keyword of C or C++. False with the reason in `why`.
bool isIdentifier(QStringView name, QString *why = nullptr);

// A name made from any text, such as a font's file name: every character
// that cannot stand in one becomes "_", leading "_" go, a leading digit
// gains "font_" in front, a keyword gains "_" behind, and an empty result
// is "font".
QString identifier(QStringView text);

// The bytes as "0x12, 0x34, ..." in lines of `perLine` bytes, each line
// starting with `indent` and ending with "," and "\n"; nothing for no bytes.
QString byteLines(const QByteArray &bytes, int perLine = 16, QStringView indent = u"    ");

// Text that can stand in a // comment on one line: control characters and
// line or paragraph separators become blanks, and a trailing backslash or
// the trigraph "??/" (which would carry the comment onto the next line) is
// broken up.
QString commentText(QStringView text);

// A whole comment line: `indent`, "// ", the text made safe by commentText()
// and "\n".
QString comment(QStringView text, QStringView indent = {});

} // namespace CSource
