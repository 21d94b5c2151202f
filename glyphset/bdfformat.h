#pragma once

#include "codepoints.h"
#include "fontsubset.h"
#include "readresult.h"

#include <QByteArray>


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

// A set from the text of a BDF file; `fileName` is only for the messages.
// Each glyph is placed in the matrix by its BBX; a glyph with ENCODING -1 is
// kept by its name. Refused, naming a glyph, when the glyphs taken do not
// fit together. A file that ends after a whole glyph without ENDFONT is read
// with a note.
ReadResult read(const QByteArray &bytes, const QString &fileName, const Options &options = {});

// Each glyph's code point and ink, reading the file as read() does.
Scan scan(const QByteArray &bytes, const QString &fileName);

// The font for an export of the code points of `ranges` (of every glyph when
// there are none): the whole font when it fits, else only the glyphs of
// `ranges`. When they do not fit either, the message names a glyph that
// does not and ends with code points that fit.
ReadResult readFor(const QByteArray &bytes, const QString &fileName, const CodePoints::Ranges &ranges);

// The set as a BDF 2.1 file: plain text, the same bytes for the same set.
// The set's export options are stored as properties that read() restores.
QByteArray write(const GlyphSet &set);

} // namespace BdfFormat
