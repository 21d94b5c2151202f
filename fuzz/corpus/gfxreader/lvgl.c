// -golden-three-medium-r-normal--9-90-75-75-c-60-iso10646-1
// An LVGL font of 3 glyphs, 1 bit a pixel, a line of 9 rows with the baseline 2 above its bottom.
// For LVGL 8.3 and 9: compile this file and declare LV_FONT_DECLARE(three); then lv_obj_set_style_text_font(label, &three, 0) draws with it.

#ifdef LV_LVGL_H_INCLUDE_SIMPLE
#include "lvgl.h"
#else
#include "lvgl/lvgl.h"
#endif

#ifndef THREE
#define THREE 1
#endif

#if THREE

static LV_ATTRIBUTE_LARGE_CONST const uint8_t glyph_bitmap[] = {
    // U+0066 'f'
    0x34, 0xF4, 0x44, 0x40,
    // U+0067 'g'
    0x7C, 0x62, 0xF0, 0xF8,
    // U+0069 'i'
    0xBE,
};

static const lv_font_fmt_txt_glyph_dsc_t glyph_dsc[] = {
    {.bitmap_index = 0, .adv_w = 0, .box_w = 0, .box_h = 0, .ofs_x = 0, .ofs_y = 0}, // id 0: no glyph
    {.bitmap_index = 0, .adv_w = 64, .box_w = 4, .box_h = 7, .ofs_x = -1, .ofs_y = 0}, // U+0066 'f'
    {.bitmap_index = 4, .adv_w = 96, .box_w = 5, .box_h = 6, .ofs_x = 0, .ofs_y = -2}, // U+0067 'g'
    {.bitmap_index = 8, .adv_w = 32, .box_w = 1, .box_h = 7, .ofs_x = 0, .ofs_y = 0}, // U+0069 'i'
};

static const uint16_t unicode_list_0[] = {
    0x0000, 0x0001, 0x0003,
};

static const lv_font_fmt_txt_cmap_t cmaps[] = {
    {
        .range_start = 102, .range_length = 4, .glyph_id_start = 1,
        .unicode_list = unicode_list_0, .glyph_id_ofs_list = NULL, .list_length = 3, .type = LV_FONT_FMT_TXT_CMAP_SPARSE_TINY
    }
};

#if LVGL_VERSION_MAJOR == 8
static lv_font_fmt_txt_glyph_cache_t cache;
#endif

#if LVGL_VERSION_MAJOR >= 8
static const lv_font_fmt_txt_dsc_t font_dsc = {
#else
static lv_font_fmt_txt_dsc_t font_dsc = {
#endif
    .glyph_bitmap = glyph_bitmap,
    .glyph_dsc = glyph_dsc,
    .cmaps = cmaps,
    .kern_dsc = NULL,
    .kern_scale = 0,
    .cmap_num = 1,
    .bpp = 1,
    .kern_classes = 0,
    .bitmap_format = 0,
#if LVGL_VERSION_MAJOR == 8
    .cache = &cache
#endif
};

#if LVGL_VERSION_MAJOR >= 8
const lv_font_t three = {
#else
lv_font_t three = {
#endif
    .get_glyph_dsc = lv_font_get_glyph_dsc_fmt_txt,
    .get_glyph_bitmap = lv_font_get_bitmap_fmt_txt,
    .line_height = 9,
    .base_line = 2,
#if !(LVGL_VERSION_MAJOR == 6 && LVGL_VERSION_MINOR == 0)
    .subpx = LV_FONT_SUBPX_NONE,
#endif
#if LV_VERSION_CHECK(7, 4, 0) || LVGL_VERSION_MAJOR >= 8
    .underline_position = 0,
    .underline_thickness = 0,
#endif
#if LVGL_VERSION_MAJOR > 9 || (LVGL_VERSION_MAJOR == 9 && LVGL_VERSION_MINOR >= 3)
    .static_bitmap = 0,
#endif
    .dsc = &font_dsc,
#if LV_VERSION_CHECK(8, 2, 0) || LVGL_VERSION_MAJOR >= 9
    .fallback = NULL,
#endif
    .user_data = NULL,
};

#endif /* THREE */
