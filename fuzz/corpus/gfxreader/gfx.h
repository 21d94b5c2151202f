// -golden-three-medium-r-normal--9-90-75-75-c-60-iso10646-1
// A GFXfont of 3 glyphs, 0x66 to 0x69, 9 pixels from line to line.
// Include it after the graphics library's header, which declares GFXfont.

const uint8_t threeBitmaps[] PROGMEM = {
    0x34, 0xF4, 0x44, 0x40, 0x7C, 0x62, 0xF0, 0xF8, 0xBE,
};

const GFXglyph threeGlyphs[] PROGMEM = {
    // offset, width, height, advance, x offset, y offset
    {     0,   4,   7,   4,   -1,   -6 }, // U+0066 'f'
    {     4,   5,   6,   6,    0,   -3 }, // U+0067 'g'
    {     8,   0,   0,   0,    0,    0 }, // U+0068: no glyph
    {     8,   1,   7,   2,    0,   -6 }, // U+0069 'i'
};

const GFXfont three PROGMEM = {
    (uint8_t *)threeBitmaps,
    (GFXglyph *)threeGlyphs,
    0x66, 0x69, 9
};
