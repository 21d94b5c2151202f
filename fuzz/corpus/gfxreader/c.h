// -golden-three-medium-r-normal--9-90-75-75-c-60-iso10646-1
// 3 glyphs of 6 x 9 pixels, U+0066 to U+0069 with gaps (see threeCodes).
// Each glyph is 9 values of 6 bits: one value per row from the top, the leftmost cell in bit 5 (horiz).

#ifndef three_H
#define three_H

#include <stdint.h>

enum {
    threeCount = 3,  // glyphs
    threeWidth = 6,  // pixels
    threeHeight = 9, // pixels
    threeValues = 9, // per glyph
};

static const uint8_t three[threeCount][threeValues] = {
    { 0x0C, 0x10, 0x3C, 0x10, 0x10, 0x10, 0x10, 0x00, 0x00 }, // U+0066 'f'
    { 0x00, 0x00, 0x00, 0x0F, 0x11, 0x11, 0x0F, 0x01, 0x1E }, // U+0067 'g'
    { 0x10, 0x00, 0x10, 0x10, 0x10, 0x10, 0x10, 0x00, 0x00 }, // U+0069 'i'
};

// The code point of each glyph: glyph i draws threeCodes[i].
static const uint8_t threeCodes[threeCount] = {
    0x66, 0x67, 0x69,
};

#endif
