#pragma once

#include "glyphset.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringView>

#include <functional>
#include <vector>

class QIODevice;

// A glyph set as source code: one line per glyph, in set order, each the line
// that Copy to Text writes for that glyph's readout, optionally followed by a
// comment naming the glyph. Lines end in CR LF, as in Text1.
namespace GlyphExport {

struct Options
{
    ExportOptions output;           // orientation, prefix, delimiter
    bool comments = false;          // "// U+0041 'A'" after each line
    QList<QPair<int, int>> ranges;  // code point ranges to keep; empty keeps all
};

// The code point each glyph of an export's set has in its font, where the
// export placed it at another one (FontExport::Selection); an empty list,
// or a glyph's own code point, where it placed none.
using Sources = std::vector<int>;

// The whole export as text, each glyph named by its source too.
QString text(const GlyphSet &set, const Options &options, const Sources &sources = {});

// The line for one glyph, without its line break.
QString line(const Glyph &glyph, const Options &options);

// Whether the export keeps `glyph`: every glyph when no range is given,
// otherwise those whose code point lies in one of the ranges (bounds
// included); a glyph without a code point then lies in none.
bool keeps(const Glyph &glyph, const Options &options);

// What names the glyph in its comment and in messages: "U+0041 'A'",
// "U+0000 uni0000", "U+0000", a glyph without a code point by its name, or
// one an export placed elsewhere by both code points, "U+00C0 from U+0410 'А'"
// (its code point in the font, `source`, being U+0410).
// Never holds a line break and never ends with a backslash, so that it can
// close a // comment in C.
QString label(const Glyph &glyph, int source = Glyph::kNoCodePoint);
// The source of glyph `index` in `sources`, or none.
int sourceOf(const Sources &sources, qsizetype index);

// Hands each line of the export in UTF-8, its CR LF included, to `line` in
// set order, with the index of its glyph in the set.
void forEachLine(const GlyphSet &set, const Options &options,
                 const std::function<void(qsizetype glyphIndex, QByteArrayView line)> &line);

// How much of the export write() gathers before handing it over: a part
// is whole lines, this long or a line longer.
constexpr qsizetype kPartBytes = 256 * 1024;

// Hands the whole export in UTF-8 to `part` in consecutive parts, so that
// a font of any size passes through a small buffer.
void write(const GlyphSet &set, const Options &options, const std::function<void(QByteArrayView part)> &part);
void write(const GlyphSet &set, const Options &options, const Sources &sources,
           const std::function<void(QByteArrayView part)> &part);

// Where a text first parts from the export; line 0 when it is the same.
struct Difference
{
    qint64 line = 0;       // counted from 1
    QString what;          // "U+0041 'A' differs", "the text ends before U+0041 'A'"

    bool same() const { return line == 0; }
};

// Compares `existing` (UTF-8, as the export writes it) with the export of
// `set`, byte for byte, line by line, reading no more of it than the export
// is long plus one byte: a huge file costs no more than a right one.
Difference check(QIODevice &existing, const GlyphSet &set, const Options &options);

} // namespace GlyphExport
