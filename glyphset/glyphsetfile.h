#pragma once

#include "arrayformat.h"
#include "bdfformat.h"
#include "imagesheet.h"
#include "outlinefont.h"
#include "readresult.h"

#include <QString>

// Opening a glyph set from any file the program reads, and what kind of file
// it is. Arrays, pictures and outline fonts need the options that the file
// itself does not give.
namespace GlyphSetFile {

enum class Kind { Bdf, Psf, Array, Image, OutlineFont };

// What `path` holds, by its first bytes where they tell and by its name
// otherwise; an unknown text file is taken for source code (Array).
Kind kindOf(const QString &path);

struct Options
{
    BdfFormat::Options bdf;
    ArrayFormat::Options array;
    ImageSheet::Options image;
    OutlineFont::Options outline;
};

ReadResult open(const QString &path, const Options &options);
// What the BDF font in `path` holds, to choose which of its glyphs to open
// when they do not fit together.
BdfFormat::Scan scanBdf(const QString &path);
// The BDF font in `path` for an export of the code points of `ranges` (of
// every glyph when there are none): the whole font when it fits, else only
// the glyphs of `ranges`. When they do not fit either, the message names a
// glyph that does not and ends with code points that fit.
ReadResult openBdf(const QString &path, const CodePoints::Ranges &ranges);

// The file dialog's filter for every kind it opens.
QString dialogFilter();

} // namespace GlyphSetFile
