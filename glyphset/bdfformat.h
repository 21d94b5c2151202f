#pragma once

#include "codepoints.h"
#include "readresult.h"

#include <QByteArray>

#include <memory>
#include <optional>
#include <vector>

// BDF 2.1, the X11 bitmap font format, read and written.
//
// A font whose boxes together exceed the largest matrix opens for some of
// its glyphs. When the font's bounding box and every glyph's BBX fit
// together, the matrix is their union, whichever glyphs are taken.
// Otherwise only what is drawn counts: the matrix is the union of the ink
// (the set pixels) of the glyphs taken, widened to the font's bounding box
// in each direction where that still fits.
namespace BdfFormat {

// Width, height and the offsets of the lower left corner from the glyph's
// origin, y upwards, as BBX and FONTBOUNDINGBOX give them.
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

// One glyph as scan() finds it.
struct GlyphExtent
{
    int codePoint = Glyph::kNoCodePoint;
    QByteArray name;
    qint64 line = 0; // its STARTCHAR line
    Box ink;         // its set pixels; empty when it has none
};

// A font read for what it holds, before it is read for real.
struct Scan
{
    // Why the file cannot be read whatever is taken of it; when it is set,
    // the rest says nothing.
    QString error;
    Box fontBox;
    // The font's bounding box with every glyph's BBX: the matrix when it fits.
    Box whole;
    std::vector<GlyphExtent> glyphs; // in the file's order

    bool ok() const { return error.isEmpty(); }
};

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
    qint64 line = 0; // that glyph's STARTCHAR line

    bool fits() const { return misfit.isEmpty(); }
};

// A BDF font as its file holds it, kept beside a set opened for only some of
// its glyphs, so that saving the set writes the whole font back (write with
// a source): the file's bytes, where the lines a save may change lie in
// them, and the set as it was read, to tell which glyphs the user changed.
struct Source
{
    // Whole lines of `bytes`: from the first one's first byte to the byte
    // after the last one's line end.
    struct Lines
    {
        qsizetype begin = 0;
        qsizetype end = 0;
    };
    struct Property
    {
        Lines line;
        QByteArray name;
    };
    struct GlyphLines
    {
        Lines lines; // STARTCHAR to ENDCHAR
        std::optional<Box> box; // its BBX, where it has one
    };

    QByteArray bytes;
    Box fontBox;
    std::optional<Lines> fontBoxLine;
    // STARTPROPERTIES, each property and ENDPROPERTIES; no start where the
    // font has no properties.
    std::optional<Lines> startProperties;
    std::vector<Property> properties;
    Lines endProperties;
    // Where a font without properties gets them: the CHARS line.
    qsizetype charsLine = 0;
    std::vector<GlyphLines> glyphs; // in the file's order
    // For each glyph of the set, its index in `glyphs`.
    std::vector<qsizetype> opened;
    GlyphSet asRead;
};

// A set from the text of a BDF file; `fileName` is only for the messages.
// Each glyph is placed in the matrix by its BBX; a glyph with ENCODING -1 is
// kept by its name. Refused, naming a glyph, when the glyphs taken do not
// fit together. A file that ends after a whole glyph without ENDFONT is read
// with a note. A set of only some of the font's glyphs comes with the font's
// Source (ReadResult::bdfSource).
ReadResult read(const QByteArray &bytes, const QString &fileName, const Options &options = {});

// Each glyph's code point and ink, reading the file as read() does.
Scan scan(const QByteArray &bytes, const QString &fileName);
Fit fit(const Scan &scan, const Options &options = {});

// The glyphs of the font (of `within` only, when given) that fit together:
// printable ASCII in code order first, then the others in code order, each
// taken while the ink so far still fits with it. Ranges run over code points
// the font does not have, so that they are few.
CodePoints::Ranges defaultSubset(const Scan &scan, const std::optional<CodePoints::Ranges> &within = {});

// The font for an export of the code points of `ranges` (of every glyph when
// there are none): the whole font when it fits, else only the glyphs of
// `ranges`. When they do not fit either, the message names a glyph that
// does not and ends with code points that fit.
ReadResult readFor(const QByteArray &bytes, const QString &fileName, const CodePoints::Ranges &ranges);

// The set as a BDF 2.1 file: plain text, the same bytes for the same set.
// The set's export options are stored as properties that read() restores.
QByteArray write(const GlyphSet &set);

// The whole font of `source` with the glyphs of `set`, which was read from
// it: the file's bytes as they were but for the glyphs the user changed
// (their bitmap, box and advance written anew, every other line of theirs
// kept), the font's bounding box where a changed glyph leaves it, and the
// program's own properties (KELVOR_...). Unchanged, the font is the file.
QByteArray write(const GlyphSet &set, const Source &source);

// The properties this program writes of its own, name and value as written:
// the export options and every KELVOR_ property the set holds.
QList<QPair<QByteArray, QByteArray>> ownProperties(const GlyphSet &set);
// SWIDTH for an advance of `advance` pixels in the set's scale.
qint64 scalableWidth(const GlyphSet &set, int advance);

} // namespace BdfFormat
