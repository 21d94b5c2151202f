/*
  Fontname: -Test-Tall-Medium-R-Normal--17-170-75-75-P-40-ISO10646-1
  Copyright: (null)
  Glyphs: 4/4
  BBX Build Mode: 0
*/
const uint8_t u8g2_font_tall_tr[59] U8G2_FONT_SECTION("u8g2_font_tall_tr") = 
  "\4\0\2\5\5\5\1\2\6\21\23\0\376\17\0\17\0\0\5\0\0\0\36 \5\0\224\4A\10\42f"
  "$\350\134\0B\7c\224\204\210\0C\10\61V\346\377C\1\0\0\0\4\377\377\0";
