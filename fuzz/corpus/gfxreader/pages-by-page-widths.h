// -golden-three-medium-r-normal--9-90-75-75-c-60-iso10646-1
// 3 glyphs of 6 x 9 pixels for page-addressed displays, U+0066 to U+0069.
// Record c - threeFirst draws code c; a code without a glyph has a clear record of width 0.
// A record is the glyph's width in pixels, then its bytes: each page from the top,
// its columns from the left in turn. A byte is one column of a page of 8 rows, bit 0 its top row.

#ifndef three_H
#define three_H

#include <stdint.h>

enum {
    threeFirst = 0x66,       // the code of the first record
    threeCount = 4,          // records, one per code
    threeWidth = 6,          // pixels
    threeHeight = 9,         // pixels, in 2 pages
    threeBytesPerGlyph = 13, // width, then 6 columns x 2 pages
};

static const uint8_t three[threeCount][threeBytesPerGlyph] = {
    { 0x04, 0x04, 0x7E, 0x05, 0x05, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00 }, // U+0066 'f'
    { 0x06, 0x00, 0x30, 0x48, 0x48, 0x48, 0xF8, 0x00, 0x01, 0x01, 0x01, 0x01, 0x00 }, // U+0067 'g'
    { 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00 }, // U+0068: no glyph
    { 0x02, 0x00, 0x7D, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00 }, // U+0069 'i'
};

#endif
