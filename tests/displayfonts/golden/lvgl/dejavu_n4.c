/*******************************************************************************
 * Size: 14 px
 * Bpp: 4
 * Opts: --bpp 4 --no-prefilter --size 14 --font /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf -r 0x41,0x67,0x40 --format lvgl -o dejavu_n4.c
 ******************************************************************************/

#ifdef LV_LVGL_H_INCLUDE_SIMPLE
#include "lvgl.h"
#else
#include "lvgl/lvgl.h"
#endif

#ifndef DEJAVU_N4
#define DEJAVU_N4 1
#endif

#if DEJAVU_N4

/*-----------------
 *    BITMAPS
 *----------------*/

/*Store the image of the glyphs*/
static LV_ATTRIBUTE_LARGE_CONST const uint8_t glyph_bitmap[] = {
    /* U+0040 "@" */
    0x0, 0xcb, 0x7d, 0xfa, 0xe0, 0x1e, 0x1c, 0xc2,
    0x8, 0x1c, 0xe9, 0x0, 0x6c, 0x80, 0xf, 0x2e,
    0x80, 0x4b, 0x60, 0x1f, 0xa5, 0xc0, 0x18, 0x80,
    0x9, 0xfe, 0x6e, 0x2, 0xd0, 0x7, 0x80, 0x23,
    0x4, 0x59, 0xc0, 0xf, 0x0, 0x70, 0x3, 0x50,
    0x0, 0x9c, 0x0, 0xf0, 0x7, 0x80, 0x35, 0x0,
    0x9, 0xc0, 0x96, 0x0, 0xc3, 0x8, 0xc1, 0x15,
    0xf1, 0xe9, 0x80, 0x1a, 0xc0, 0x15, 0xfa, 0xdf,
    0x66, 0x1, 0xb2, 0x0, 0x3f, 0xf8, 0x3, 0x96,
    0x80, 0x3, 0xab, 0x0, 0xf9, 0xb3, 0xfd, 0xae,
    0x20, 0x10,

    /* U+0041 "A" */
    0x0, 0x8f, 0xf0, 0x3, 0xe9, 0x97, 0x90, 0x7,
    0xbc, 0xa6, 0x0, 0x39, 0x74, 0x13, 0x80, 0x3b,
    0x1c, 0x1, 0xca, 0x1, 0x17, 0x88, 0x2, 0x2c,
    0x2, 0x8f, 0xff, 0x8, 0x3, 0x9c, 0x8b, 0x63,
    0x82, 0x78, 0x80, 0x67, 0xe0, 0xbb, 0x0, 0x71,
    0x7a, 0x0,

    /* U+0067 "g" */
    0x0, 0x4f, 0xf4, 0x54, 0x84, 0xf2, 0x14, 0xfc,
    0x87, 0xa8, 0x5, 0xd2, 0x5e, 0x40, 0x15, 0xc9,
    0x79, 0x0, 0x57, 0x21, 0xea, 0x1, 0x74, 0x84,
    0xf2, 0x14, 0xfc, 0x80, 0x27, 0xfa, 0x2a, 0x40,
    0x3d, 0xac, 0x4, 0xa2, 0x53, 0xe2, 0x7, 0xbf,
    0xd6, 0x60
};


/*---------------------
 *  GLYPH DESCRIPTION
 *--------------------*/

static const lv_font_fmt_txt_glyph_dsc_t glyph_dsc[] = {
    {.bitmap_index = 0, .adv_w = 0, .box_w = 0, .box_h = 0, .ofs_x = 0, .ofs_y = 0} /* id = 0 reserved */,
    {.bitmap_index = 0, .adv_w = 224, .box_w = 14, .box_h = 13, .ofs_x = 0, .ofs_y = -2},
    {.bitmap_index = 82, .adv_w = 153, .box_w = 10, .box_h = 10, .ofs_x = 0, .ofs_y = 0},
    {.bitmap_index = 124, .adv_w = 142, .box_w = 8, .box_h = 11, .ofs_x = 0, .ofs_y = -3}
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
    .bpp = 4,
    .kern_classes = 0,
    .bitmap_format = 2,
#if LVGL_VERSION_MAJOR == 8
    .cache = &cache
#endif
};



/*-----------------
 *  PUBLIC FONT
 *----------------*/

/*Initialize a public general font descriptor*/
#if LVGL_VERSION_MAJOR >= 8
const lv_font_t dejavu_n4 = {
#else
lv_font_t dejavu_n4 = {
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



#endif /*#if DEJAVU_N4*/

