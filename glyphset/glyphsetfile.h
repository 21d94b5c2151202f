#pragma once

#include "arrayformat.h"
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
    ArrayFormat::Options array;
    ImageSheet::Options image;
    OutlineFont::Options outline;
};

ReadResult open(const QString &path, const Options &options);

// The file dialog's filter for every kind it opens.
QString dialogFilter();

} // namespace GlyphSetFile
