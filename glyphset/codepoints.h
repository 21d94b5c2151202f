#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <QStringView>

// Lists of code points as a user writes them: "32-126,0xA0,U+00C0-U+00FF".
// A code point is U+ or 0x and hexadecimal digits, or decimal digits; a range
// is two of them joined by "-", its ends included.
namespace CodePoints {

constexpr int kMax = 0x10FFFF;

using Ranges = QList<QPair<int, int>>;

// Reads `text` into ranges; returns false with what is wrong in `error`
// (e.g. "\"0x11FFFF\" is beyond U+10FFFF").
bool parseRanges(QStringView text, Ranges *ranges, QString *error);
// One code point, as parseRanges() reads either end of a range.
bool parse(QStringView text, int *codePoint);

bool contains(const Ranges &ranges, int codePoint);
// Every code point of the ranges, in their order, each once.
QList<int> expanded(const Ranges &ranges);

// "U+0041": U+ and at least four upper-case hexadecimal digits.
QString name(int codePoint);
// The same as ASCII into `out`, which has room for 10 characters; returns
// its length.
int writeName(int codePoint, char *out);

} // namespace CodePoints
