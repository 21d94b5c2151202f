const uint8_t tallBitmaps[] = { 0xFF, 0xFF, 0x80, 0xFF };
const GFXglyph tallGlyphs[] = { { 0, 1, 17, 2, 0, -16 }, { 3, 8, 1, 9, 0, 0 } };
const GFXfont tall = { (uint8_t *)tallBitmaps, (GFXglyph *)tallGlyphs, 0x41, 0x42, 17 };
