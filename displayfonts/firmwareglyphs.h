#pragma once

#include "drawnglyph.h"
#include "glyphset.h"
#include "readresult.h"
#include "storedglyph.h"

#include <QByteArray>

#include <functional>
#include <memory>
#include <vector>

namespace BdfFormat {
struct Source;
}

// A firmware font's glyphs, each drawn at its own place relative to the pen
// as its format stores it, made into a glyph set of one cell: the box that
// holds every glyph's pixels where they lie, so that each glyph keeps its
// place beside the others and its advance.
namespace FirmwareGlyphs {

struct Placed
{
    GlyphSet set;
    // Where the glyphs do not all fit in one cell of at most 16 x 16: how
    // many the font holds, of which `set` took those that fit. 0 otherwise.
    qsizetype fontGlyphs = 0;
    // The cell that would hold every glyph, larger than the set's where
    // glyphs were left out.
    int cols = 0;
    int rows = 0;
};

// The glyphs in their order. A glyph's box counts where it has pixels; a
// blank glyph fits any cell. Where the cell that holds them all would be
// larger than 16 x 16, the cell is the one of at most 16 x 16 that holds the
// most glyphs whole (the rows first, then the columns), and the others are
// left out. A cell smaller than 3 x 3 grows to the right and downwards.
// A font that gives a line height (`lineHeight` rows from one line's top to
// the next) has a cell that tall where its glyphs fit in it, the rows the
// ink leaves shared above and below, so that the set keeps the line height.
Placed place(const std::vector<DrawnGlyph> &glyphs, int lineHeight = 0);

// Glyphs of a form without offsets (OLED, LED matrices), each with its
// columns' top-left corner at the top of a cell of `rows` rows whose
// bottom is the baseline, as a set: that cell and the widest glyph's
// columns, where they fit 16 x 16 and no bit lies below the cell; else the
// glyphs that fit placed by their ink (place()), the font kept whole
// (keepWhole()) in cells of `rows`.
ReadResult fromCellTops(const std::vector<StoredGlyph> &glyphs, int rows);

// A glyph as the display formats' encoders take it: its pixels where they
// lie from the pen, y downwards from the baseline.
struct Inked
{
    int code = 0;
    int advance = 0;
    std::vector<std::pair<int, int>> pixels;
};

// How many glyphs the set and `leftOut` (where it is not null) hold
// together: every glyph of a font opened in part.
qsizetype count(const GlyphSet &set, const LeftOut *leftOut);

// The set's glyphs and, among them in code order, those `leftOut` holds
// (where it is not null): every glyph of a font opened in part.
std::vector<Inked> inked(const GlyphSet &set, const LeftOut *leftOut);
// The same one glyph at a time, in the same order, for fonts too large to
// hold every glyph's pixels at once; stops where `take` returns false.
bool eachInked(const GlyphSet &set, const LeftOut *leftOut, const std::function<bool(const Inked &)> &take);

// Glyphs as a drawing holds them, each trimmed to its ink; those whose ink
// is larger than 16 x 16 are left out and counted in `larger`.
std::vector<DrawnGlyph> drawable(const std::vector<StoredGlyph> &glyphs, qsizetype *larger = nullptr);

// The whole font, every one of `glyphs`, as a BDF font beside `set`, which
// holds those of them that fit, in their order: so that Save As writes
// every glyph, the opened ones as the user leaves them. The header (name,
// properties, baseline) and the names of the glyphs it holds are the set's.
// Null where the set holds a glyph that `glyphs` lack.
std::shared_ptr<const BdfFormat::Source> wholeFont(const GlyphSet &set, const std::vector<StoredGlyph> &glyphs);

// A result made ready to be saved whole in its own form (leftOut: the
// glyphs of `glyphs` the set lacks, with the cell of `cols` x `rows` its
// form declares) and, where it holds only some of the font's glyphs, as BDF
// (bdfSource, wholeFont()). Left as it is where the set holds a glyph
// `glyphs` lack.
void keepWhole(ReadResult &result, std::vector<StoredGlyph> glyphs, int cols = 0, int rows = 0, int descent = 0);

} // namespace FirmwareGlyphs
