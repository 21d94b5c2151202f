#pragma once

#include "codepoints.h"
#include "fontsubset.h"
#include "readresult.h"

#include <QByteArray>

#include <memory>
#include <optional>
#include <vector>

// BDF 2.1, the X11 bitmap font format, read and written.
//
// A font whose boxes together exceed the largest matrix opens for some of
// its glyphs, as FontSubset lays them out.
namespace BdfFormat {

using Box = FontSubset::Box;
using GlyphExtent = FontSubset::GlyphExtent;
using Scan = FontSubset::Scan;
using Options = FontSubset::Options;
using Fit = FontSubset::Fit;
using FontSubset::defaultSubset;
using FontSubset::fit;

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
    std::vector<Lines> glyphs; // STARTCHAR to ENDCHAR, in the file's order
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

// The font for an export of the code points of `ranges` (of every glyph when
// there are none): the whole font when it fits, else only the glyphs of
// `ranges`. When they do not fit either, the message names a glyph that
// does not and ends with code points that fit.
ReadResult readFor(const QByteArray &bytes, const QString &fileName, const CodePoints::Ranges &ranges);

// The font of `bytes` whole beside `set`, read from another form of it,
// whose glyph i is the font's glyph opened[i]: for a set that holds only
// some of a font's glyphs, saved whole as BDF. Null where `bytes` is no BDF
// font or `opened` does not fit it.
std::shared_ptr<const Source> sourceFor(const QByteArray &bytes, const GlyphSet &set, std::vector<qsizetype> opened);

// The set as a BDF 2.1 file: plain text, the same bytes for the same set.
// The set's export options are stored as properties that read() restores.
QByteArray write(const GlyphSet &set);

// The whole font of `source` with the glyphs of `set`, which was read from
// it: the file's bytes as they were but for the glyphs the user changed
// (their bitmap, box and advance written anew, every other line of theirs
// kept), the font's bounding box where a changed glyph leaves it, and the
// program's own properties (KELVOR_...). Unchanged, the font is the file.
QByteArray write(const GlyphSet &set, const Source &source);

// Whether a property is one of this program's own (KELVOR_...).
bool isOwnProperty(const QByteArray &name);
// The properties this program writes of its own, name and value as written:
// the export options and every KELVOR_ property the set holds.
QList<QPair<QByteArray, QByteArray>> ownProperties(const GlyphSet &set);
// SWIDTH for an advance of `advance` pixels in the set's scale.
qint64 scalableWidth(const GlyphSet &set, int advance);

} // namespace BdfFormat
