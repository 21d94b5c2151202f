#pragma once

#include "csource.h"
#include "csourcereader.h"
#include "readresult.h"
#include "storedglyph.h"

#include <QByteArray>
#include <QString>

#include <map>
#include <optional>
#include <vector>

class GlyphSet;
namespace FirmwareSource {
struct Font;
}

// A glyph set as an LVGL font (lv_font_t with the text format's descriptor,
// lv_font_fmt_txt_dsc_t), the C file LVGL 8.3 and 9.x compile as LVGL's own
// converter writes one: the glyphs' bitmaps, each glyph's box, offsets and
// advance in sixteenths of a pixel (glyph id 0 reserved), and the ranges of
// code points (cmaps) that lead from a code to its glyph id. This program
// writes 1 bit per pixel, uncompressed; it reads 1, 2, 3, 4 and 8 bits per
// pixel, plain or compressed, as older converters and LVGL versions wrote
// them.
namespace LvglFont {

// The kinds of a cmap range, as LVGL numbers them.
enum class CmapType {
    Format0Full = 0, // a byte list of glyph id offsets, one per code of the range
    SparseFull = 1,  // lists of the codes present and of their glyph id offsets
    Format0Tiny = 2, // every code of the range present, glyph ids in a row
    SparseTiny = 3,  // a list of the codes present, glyph ids in a row
};

struct GlyphDsc
{
    quint32 bitmapIndex = 0; // where its bitmap starts in `bitmap`
    int advW = 0;            // the advance in sixteenths of a pixel
    int boxW = 0;
    int boxH = 0;
    int ofsX = 0; // the box's left column from the pen
    int ofsY = 0; // the box's bottom edge above the baseline
};

struct Cmap
{
    quint32 rangeStart = 0;
    int rangeLength = 0;
    int glyphIdStart = 0;
    CmapType type = CmapType::Format0Tiny;
    std::vector<int> unicodeList; // code - rangeStart of each code present (sparse)
    std::vector<int> glyphIdOfs;  // format 0 full and sparse full
};

struct Font
{
    QByteArray bitmap;
    std::vector<GlyphDsc> glyphs; // glyphs[0] reserved
    std::vector<Cmap> cmaps;
    int bpp = 1;
    int bitmapFormat = 0; // 0 plain, 1 compressed and XORed line by line, 2 compressed
    int lineHeight = 0;
    int baseLine = 0; // rows from the bottom of a line up to the baseline
};

// Whether the font needs LVGL's large glyph descriptor (LV_FONT_FMT_TXT_LARGE
// in lv_conf.h), whose fields are wider: its bitmaps pass the 1 MiB the
// small one's 20-bit bitmap_index reaches (GNU Unifont's do), or a glyph
// passes its 12-bit adv_w, 8-bit box or offsets.
bool needsLarge(const Font &font);

// The ranges for code points in rising order, planned as LVGL's converter
// plans them but for format 0 full ranges: the split into format 0 tiny
// (every code of at most 256 present) and sparse tiny ranges (a list of the
// codes present) that costs the fewest bytes by its estimates (16 bytes a
// range and 2 a code of a sparse list), the first of those that tie; each
// element holds the range's kind and its codes. Both LVGL 8.3 and 9.2 draw
// a code a full range lacks with the range's first glyph, so a font never
// gets one.
std::vector<std::pair<CmapType, std::vector<int>>> planCmaps(const std::vector<int> &codes);

// The set as a font, or nothing with one sentence in `error` where a glyph
// does not fit even LVGL's large descriptor (a negative advance, offsets
// past -32768 to 32767). The glyphs must
// have code points in ascending order, each once. With `leftOut`, its
// glyphs go in among the set's, and its cell gives the line height and
// baseline.
std::optional<Font> encode(const GlyphSet &set, QString *error = nullptr, const LeftOut *leftOut = nullptr);

// Every glyph a code of the cmaps leads to, in code order, as LVGL draws it
// on a display of one bit: a pixel of more than 1 bit is set where it is at
// least half covered. Its advance is adv_w rounded to whole pixels, its box
// placed by the offsets. Nothing, with what is wrong and where in `error`,
// where a cmap or a glyph points outside the font; reads nothing outside it.
std::optional<std::vector<StoredGlyph>> decode(const Font &font, QString *error = nullptr);
// Each code the cmaps lead to and its glyph id, the first cmap's where two
// hold one code, as LVGL searches them; nothing, with the cmap in `error`,
// where one leads outside its range or the glyphs.
std::optional<std::map<int, int>> glyphIds(const Font &font, QString *error = nullptr);

// The LVGL fonts among the declarations, found by their lv_font_t and the
// descriptor it points to, and one of them as a set, with the line height
// and baseline the font gives; a font of more than 1 bit is reduced to one
// (a note says so) and is not saved back in place, nor is one with kerning,
// which the set does not keep.
std::vector<FirmwareSource::Font> find(const CSourceReader::Source &source);
ReadResult read(const CSourceReader::Source &source, const FirmwareSource::Font &font, const QString &path);

// The sentence under the font's name in the file written, which tells
// reading it back that the name above it is the font's.
QString summary(qsizetype glyphs, int lineHeight, int baseLine);

// The set as a C file for LVGL 8.3 and 9.x: the font `name` (a C name,
// CSource::isIdentifier) with its include and version guards as LVGL's
// converter writes them. Fails when the set does not fit the format.
CSource::File write(const GlyphSet &set, const QString &name, const std::vector<int> &sources = {},
                    const LeftOut *leftOut = nullptr);

} // namespace LvglFont
