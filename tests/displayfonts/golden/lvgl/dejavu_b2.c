/*******************************************************************************
 * Size: 14 px
 * Bpp: 2
 * Opts: --bpp 2 --no-compress --size 14 --font /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf -r 0x41,0x67,0x40 --format lvgl -o dejavu_b2.c
 ******************************************************************************/

#ifdef LV_LVGL_H_INCLUDE_SIMPLE
#include "lvgl.h"
#else
#include "lvgl/lvgl.h"
#endif

#ifndef DEJAVU_B2
#define DEJAVU_B2 1
#endif

#if DEJAVU_B2

/*-----------------
 *    BITMAPS
 *----------------*/

/*Store the image of the glyphs*/
static LV_ATTRIBUTE_LARGE_CONST const uint8_t glyph_bitmap[] = {
    /* U+0040 "@" */
    0x0, 0x6f, 0xd0, 0x0, 0x3d, 0x2, 0xc0, 0xe,
    0x0, 0x7, 0x1, 0x80, 0x0, 0x24, 0x34, 0x2f,
    0x70, 0xc3, 0xb, 0xf, 0xc, 0x30, 0xd0, 0x70,
    0xc3, 0xd, 0x7, 0x18, 0x30, 0xb0, 0xb3, 0x1,
    0x82, 0xf7, 0x80, 0xe, 0x0, 0x0, 0x0, 0x39,
    0x2, 0x80, 0x0, 0x7f, 0xd0, 0x0,

    /* U+0041 "A" */
    0x0, 0xf0, 0x0, 0x2b, 0x0, 0x3, 0x28, 0x0,
    0x71, 0xc0, 0xd, 0xd, 0x0, 0xc0, 0xa0, 0x2f,
    0xff, 0x3, 0x40, 0x34, 0x70, 0x1, 0xca, 0x0,
    0xd,

    /* U+0067 "g" */
    0xb, 0xea, 0x2d, 0x2e, 0x34, 0xe, 0x30, 0xa,
    0x30, 0xa, 0x34, 0xe, 0x2d, 0x2e, 0xb, 0xea,
    0x0, 0xd, 0x4, 0x2c, 0xf, 0xe0
};


/*---------------------
 *  GLYPH DESCRIPTION
 *--------------------*/

static const lv_font_fmt_txt_glyph_dsc_t glyph_dsc[] = {
    {.bitmap_index = 0, .adv_w = 0, .box_w = 0, .box_h = 0, .ofs_x = 0, .ofs_y = 0} /* id = 0 reserved */,
    {.bitmap_index = 0, .adv_w = 224, .box_w = 14, .box_h = 13, .ofs_x = 0, .ofs_y = -2},
    {.bitmap_index = 46, .adv_w = 153, .box_w = 10, .box_h = 10, .ofs_x = 0, .ofs_y = 0},
    {.bitmap_index = 71, .adv_w = 142, .box_w = 8, .box_h = 11, .ofs_x = 0, .ofs_y = -3}
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
    .bpp = 2,
    .kern_classes = 0,
    .bitmap_format = 0,
#if LVGL_VERSION_MAJOR == 8
    .cache = &cache
#endif
};



/*-----------------
 *  PUBLIC FONT
 *----------------*/

/*Initialize a public general font descriptor*/
#if LVGL_VERSION_MAJOR >= 8
const lv_font_t dejavu_b2 = {
#else
lv_font_t dejavu_b2 = {
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



#endif /*#if DEJAVU_B2*/

