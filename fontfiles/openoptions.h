#pragma once

#include "arrayformat.h"
#include "fontsubset.h"

#include <QList>

// What opening a file needs beyond its own bytes. Pictures and outline fonts
// are read by the QtGui readers (gui/), which the command line loads only
// for such a file; their options live here so that it can fill them in
// without them.

// Glyphs cut from a picture: cells of the matrix size, left to right and top
// to bottom, from the first code point on.
struct PictureOptions
{
    int cols = 8;
    int rows = 8;
    int threshold = 128; // a pixel whose grey level is below this is set
    int firstCodePoint = 0x20;
};

// Glyphs rendered from an outline font.
struct OutlineOptions
{
    int pixelSize = 12;
    // The code points to render, in order; those the font lacks are left out.
    QList<int> codePoints;
};

struct OpenOptions
{
    // Which glyphs of a BDF or PSF font too large to open whole.
    FontSubset::Options subset;
    ArrayFormat::Options array;
    PictureOptions image;
    OutlineOptions outline;
};
