/*******************************************************************************
 * Size: 14 px
 * Bpp: 3
 * Opts: --bpp 3 --size 14 --font /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf -r 0x41,0x67,0x40 --format lvgl -o dejavu_z3.c
 ******************************************************************************/

#ifdef LV_LVGL_H_INCLUDE_SIMPLE
#include "lvgl.h"
#else
#include "lvgl/lvgl.h"
#endif

#ifndef DEJAVU_Z3
#define DEJAVU_Z3 1
#endif

#if DEJAVU_Z3

/*-----------------
 *    BITMAPS
 *----------------*/

/*Store the image of the glyphs*/
static LV_ATTRIBUTE_LARGE_CONST const uint8_t glyph_bitmap[] = {
    /* U+0040 "@" */
    0x3, 0x2b, 0xfb, 0x30, 0x3e, 0xd3, 0xfe, 0xc4,
    0xd, 0x96, 0x40, 0xc, 0x8e, 0x4, 0x9c, 0x3,
    0xc9, 0x18, 0x9, 0xc0, 0x4f, 0xcf, 0x8b, 0x40,
    0xa, 0x11, 0x7e, 0xa0, 0x9, 0x1, 0xca, 0x0,
    0x80, 0x7f, 0xf1, 0x12, 0x0, 0x24, 0x14, 0x1,
    0xc1, 0x90, 0x2, 0xc1, 0x1f, 0xd8, 0x27, 0x20,
    0x1b, 0x41, 0x7e, 0x7e, 0x90, 0x36, 0x55, 0x0,
    0x36, 0x80, 0xf6, 0xc9, 0xfd, 0xa8, 0x10,

    /* U+0041 "A" */
    0x2, 0x3f, 0x1, 0xf5, 0x64, 0x80, 0xf3, 0xae,
    0x81, 0xc8, 0x96, 0x60, 0x74, 0xa1, 0x4, 0x4,
    0x49, 0x80, 0x7c, 0xa, 0x8f, 0xe6, 0x80, 0x9c,
    0xdb, 0x16, 0x10, 0x64, 0xeb, 0x7, 0x40, 0x72,
    0x8,

    /* U+0067 "g" */
    0x1, 0x3f, 0x4b, 0x4, 0x77, 0x4, 0x1, 0xd4,
    0x60, 0x2, 0x18, 0x12, 0x3, 0xf8, 0x86, 0x4,
    0x80, 0x3a, 0x8c, 0x2, 0x8e, 0xe0, 0x80, 0xa7,
    0xe8, 0xf8, 0x28, 0x18, 0x58, 0x9, 0xf1, 0xc0
};


/*---------------------
 *  GLYPH DESCRIPTION
 *--------------------*/

static const lv_font_fmt_txt_glyph_dsc_t glyph_dsc[] = {
    {.bitmap_index = 0, .adv_w = 0, .box_w = 0, .box_h = 0, .ofs_x = 0, .ofs_y = 0} /* id = 0 reserved */,
    {.bitmap_index = 0, .adv_w = 224, .box_w = 14, .box_h = 13, .ofs_x = 0, .ofs_y = -2},
    {.bitmap_index = 63, .adv_w = 153, .box_w = 10, .box_h = 10, .ofs_x = 0, .ofs_y = 0},
    {.bitmap_index = 96, .adv_w = 142, .box_w = 8, .box_h = 11, .ofs_x = 0, .ofs_y = -3}
};

/*---------------------
 *  CHARACTER MAPPING
 *--------------------*/

static const uint16_t unicode_list_0[] = {
    0x0, 0x1, 0x27
};

/*Collect the unicode lists and glyph_id offsets*/
static const lv_font_fmt_txt_cmap_t cmaps[] =
{
    {
        .range_start = 64, .range_length = 40, .glyph_id_start = 1,
        .unicode_list = unicode_list_0, .glyph_id_ofs_list = NULL, .list_length = 3, .type = LV_FONT_FMT_TXT_CMAP_SPARSE_TINY
    }
};



/*--------------------
 *  ALL CUSTOM DATA
 *--------------------*/

#if LVGL_VERSION_MAJOR == 8
/*Store all the custom data of the font*/
static  lv_font_fmt_txt_glyph_cache_t cache;
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
    .bpp = 3,
    .kern_classes = 0,
    .bitmap_format = 1,
#if LVGL_VERSION_MAJOR == 8
    .cache = &cache
#endif
};



/*-----------------
 *  PUBLIC FONT
 *----------------*/

/*Initialize a public general font descriptor*/
#if LVGL_VERSION_MAJOR >= 8
const lv_font_t dejavu_z3 = {
#else
lv_font_t dejavu_z3 = {
#endif
    .get_glyph_dsc = lv_font_get_glyph_dsc_fmt_txt,    /*Function pointer to get glyph's data*/
    .get_glyph_bitmap = lv_font_get_bitmap_fmt_txt,    /*Function pointer to get glyph's bitmap*/
    .line_height = 14,          /*The maximum line height required by the font*/
    .base_line = 3,             /*Baseline measured from the bottom of the line*/
#if !(LVGL_VERSION_MAJOR == 6 && LVGL_VERSION_MINOR == 0)
    .subpx = LV_FONT_SUBPX_NONE,
#endif
#if LV_VERSION_CHECK(7, 4, 0) || LVGL_VERSION_MAJOR >= 8
    .underline_position = 0,
    .underline_thickness = 1,
#endif
    .dsc = &font_dsc,          /*The custom font data. Will be accessed by `get_glyph_bitmap/dsc` */
#if LV_VERSION_CHECK(8, 2, 0) || LVGL_VERSION_MAJOR >= 9
    .fallback = NULL,
#endif
    .user_data = NULL,
};



#endif /*#if DEJAVU_Z3*/

