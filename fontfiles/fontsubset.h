#pragma once

#include "codepoints.h"
#include "glyphset.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>
#include <vector>

// Which glyphs of a font too large for the largest matrix are opened, and
// the matrix they make; the readers of BDF and PSF fonts share it.
//
// When the font's box and every glyph's box fit together, the matrix is
// their union, whichever glyphs are taken. Otherwise only what is drawn
// counts: the matrix is the union of the ink (the set pixels) of the glyphs
// taken, widened to the font's box in each direction where that still fits.
namespace FontSubset {

// Width, height and the offsets of the lower left corner from the glyph's
// origin, y upwards, as a BDF's BBX and FONTBOUNDINGBOX give them.
struct Box
{
    int w = 0;
    int h = 0;
    int x = 0;
    int y = 0;

    bool isEmpty() const { return w <= 0 || h <= 0; }
    bool fits() const { return w <= GlyphSet::kMaxSize && h <= GlyphSet::kMaxSize; }
    // The smallest box holding both; an empty box adds nothing.
    Box united(const Box &other) const;
};

// One glyph as a reader's scan finds it.
struct GlyphExtent
{
    int codePoint = Glyph::kNoCodePoint;
    QByteArray name;
    // Where it stands in the file, for messages: its STARTCHAR line in a
    // BDF, its bitmap's byte offset in a PSF.
    qint64 line = 0;
    Box ink; // its set pixels; empty when it has none
};

// A font read for what it holds, before it is read for real.
struct Scan
{
    // Why the file cannot be read whatever is taken of it; when it is set,
    // the rest says nothing.
    QString error;
    Box fontBox;
    // The font's box with every glyph's box: the matrix when it fits.
    Box whole;
    std::vector<GlyphExtent> glyphs; // in the file's order

    bool ok() const { return error.isEmpty(); }
};

// A glyph's name as the readers' messages give it: 'Agrave'.
QString quotedName(const QByteArray &name);

struct Options
{
    // Only the glyphs of these code points (no unencoded ones); every glyph
    // when there are none.
    std::optional<CodePoints::Ranges> codePoints;
};

// How the glyphs that `Options` take from a scanned font fit the matrix.
struct Fit
{
    qsizetype glyphs = 0; // how many are taken
    int cols = 0;         // the matrix they make
    int rows = 0;
    // Empty when they fit; otherwise names a glyph that does not, and why.
    QString misfit;
    qint64 line = 0; // where that glyph stands

    bool fits() const { return misfit.isEmpty(); }
};

Fit fit(const Scan &scan, const Options &options = {});

// The glyphs of the font (of `within` only, when given) that fit together:
// printable ASCII in code order first, then the others in code order, each
// taken while the ink so far still fits with it. Ranges run over code points
// the font does not have, so that they are few.
CodePoints::Ranges defaultSubset(const Scan &scan, const std::optional<CodePoints::Ranges> &within = {});

// What the glyphs of `ranges` leave out of a scanned font.
struct LeftOut
{
    qsizetype glyphs = 0;   // how many of the font's glyphs are not taken
    QList<int> first;       // the lowest code points among them, a few
    QList<int> missingAscii; // printable ASCII that the set opened lacks
};
LeftOut leftOut(const Scan &scan, const CodePoints::Ranges &ranges, int few);

// For the readers: which of the font's glyphs (all of them, in the file's
// order) `options` take, and the matrix they make or why they do not fit.
struct Layout
{
    std::vector<bool> taken; // one for each glyph
    qsizetype glyphs = 0;    // how many are taken
    Box cell;
    QString misfit;
    qint64 line = 0;
};
Layout layOut(const Box &fontBox, const Box &whole, const std::vector<const GlyphExtent *> &glyphs,
              const Options &options);

} // namespace FontSubset
