#pragma once

#include "glyphset.h"

#include <QList>
#include <QString>

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

// The whole export as text.
QString text(const GlyphSet &set, const Options &options);

// The line for one glyph, without its line break.
QString line(const Glyph &glyph, const GlyphSet &set, const Options &options);

} // namespace GlyphExport
