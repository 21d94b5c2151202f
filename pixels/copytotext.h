#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <functional>

// Turning the hex string into one line of output: the string is trimmed of
// blanks at both ends and cut into pieces of two characters, and each piece is
// written as prefix + piece + delimiter; the line ends in CR LF.
//
// A character is a Unicode character: a surrogate pair is one character and is
// never split, while a carriage return and a line feed are two. The work is
// linear in the length of the string, whatever its length.
namespace CopyToText {

// What each byte is written with until the user types something else.
inline QString defaultPrefix()
{
    return QStringLiteral("$");
}
inline QString defaultDelimiter()
{
    return QStringLiteral(",");
}

// How much of the line writeLine() gathers before handing it over, in code
// units; a part is this long plus at most one more piece.
constexpr qsizetype kPartLength = 64 * 1024;

// The hex string without the spaces (code 32 only) at its ends.
QStringView trimmedHex(QStringView hex);

// How long the line would be, computed without building it.
qint64 lineLength(QStringView hex, QStringView prefix, QStringView delimiter);

// Writes the line to `part` in consecutive parts of about kPartLength code
// units, so that a line of any length passes through a small buffer.
void writeLine(QStringView hex, QStringView prefix, QStringView delimiter,
               const std::function<void(QStringView)> &part);

// The whole line.
QString line(QStringView hex, QStringView prefix, QStringView delimiter);

// The same line in UTF-8, appended to `out`, for a hex string of ASCII
// characters (as BitOrder::writeHex makes them), with the prefix and the
// delimiter in UTF-8: how a whole font is exported without a string a line.
void appendAsciiLine(QByteArray *out, QByteArrayView hex, QByteArrayView prefix, QByteArrayView delimiter);

} // namespace CopyToText
