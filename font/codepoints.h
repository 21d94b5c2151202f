#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringView>

// Lists of code points as a user writes them: "32-126,0xA0,U+00C0-U+00FF".
// A code point is U+ or 0x and hexadecimal digits, or decimal digits; a range
// is two of them joined by "-", its ends included.
namespace CodePoints {

constexpr int kMax = 0x10FFFF;
// Printable ASCII, the blank to the tilde: what a font opened in part takes
// first, and what an outline font is drawn for unless told otherwise.
constexpr int kFirstPrintable = 0x20;
constexpr int kLastPrintable = 0x7E;

using Ranges = QList<QPair<int, int>>;

// Reads `text` into ranges; returns false with what is wrong in `error`
// (e.g. "\"0x11FFFF\" is beyond U+10FFFF").
bool parseRanges(QStringView text, Ranges *ranges, QString *error);
// The ranges as parseRanges() reads them back, in decimal: "32-126,160,256-383".
QString format(const Ranges &ranges);
// One code point, as parseRanges() reads either end of a range.
bool parse(QStringView text, int *codePoint);
// What a user types to find a glyph: one character stands for itself ("7"
// is U+0037), anything longer is a code point as parse() reads it.
bool parseCharacter(QStringView text, int *codePoint);

bool contains(const Ranges &ranges, int codePoint);
// Every code point of the ranges, in their order, each once.
QList<int> expanded(const Ranges &ranges);

// Code points placed elsewhere: first..last moved to start at `to`, so that
// Cyrillic U+0410-U+044F can stand at 0xC0-0xFF of an 8-bit font.
struct Remap
{
    int first = 0;
    int last = 0;
    int to = 0;

    bool operator==(const Remap &other) const { return first == other.first && last == other.last && to == other.to; }
};
using Remaps = QList<Remap>;

// Reads "U+0410-U+044F:0xC0,0x80:0x7F" (a range or one code point, ":",
// where it goes); false with what is wrong in `error`. A range that would
// run past U+10FFFF, or ranges that overlap, are refused.
bool parseRemaps(QStringView text, Remaps *remaps, QString *error);
// Whether `remap` moves a code point that one of `earlier` moves too.
bool overlaps(const Remaps &earlier, const Remap &remap);
// Where `codePoint` goes: moved by the first remap that holds it, or left.
int remapped(const Remaps &remaps, int codePoint);

// "U+0041": U+ and at least four upper-case hexadecimal digits.
QString name(int codePoint);
// The same as ASCII into `out`, which has room for 10 characters; returns
// its length.
int writeName(int codePoint, char *out);
// The name a font file gives the glyph of a code point that has no name of
// its own: "uni" and four digits up to U+FFFF ("uni0041"), "u" and five or
// six beyond ("u1F600").
QByteArray glyphName(int codePoint);

} // namespace CodePoints
