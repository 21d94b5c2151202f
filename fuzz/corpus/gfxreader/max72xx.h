// -golden-three-medium-r-normal--9-90-75-75-c-60-iso10646-1
// An LED-matrix font of 2 glyphs, 0x66 to 0x69, 8 pixels high.
// mx.setFont(three); (or MD_Parola's P.setFont(three);) draws each char with its columns' top-left corner at the cursor and a blank column after it.
const uint8_t three[] PROGMEM = {
    'F', 0x01, 0x66, 0x69, 0x08, // version 1, first code, last code, height
    0x04, 0x04, 0x7E, 0x05, 0x05, // U+0066 'f'
    0x00, // U+0067, no glyph
    0x00, // U+0068, no glyph
    0x02, 0x00, 0x7D, // U+0069 'i'
};
