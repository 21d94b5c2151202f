#include "lvglfont.h"

#include "codepoints.h"
#include "encoderinput.h"
#include "firmwareglyphs.h"
#include "fontcodes.h"
#include "glyphset.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cstdint>
#include <deque>

namespace LvglFont {

namespace {

bool fail(QString *error, const QString &what)
{
    if (error)
        *error = what;
    return false;
}

using Placed = FirmwareGlyphs::Inked;

// The glyph's box and its bits, row after row, the leftmost pixel in the
// top bit, the last byte filled with zeros.
bool addGlyph(Font &font, const Placed &glyph, QString *error)
{
    if (glyph.advance < 0)
        return fail(error, QStringLiteral("%1: its advance of %2 pixels is negative, which an LVGL font cannot hold")
                                   .arg(FontCodes::name(glyph.code))
                                   .arg(glyph.advance));
    GlyphDsc dsc;
    dsc.bitmapIndex = quint32(font.bitmap.size());
    dsc.advW = glyph.advance * 16;
    if (!glyph.pixels.empty()) {
        int left = INT_MAX, right = INT_MIN, top = INT_MAX, bottom = INT_MIN;
        for (const auto &[x, y] : glyph.pixels) {
            left = std::min(left, x);
            right = std::max(right, x);
            top = std::min(top, y);
            bottom = std::max(bottom, y);
        }
        dsc.boxW = right - left + 1;
        dsc.boxH = bottom - top + 1;
        dsc.ofsX = left;
        dsc.ofsY = -(bottom + 1);
        if (dsc.boxW > 0xFFFF || dsc.boxH > 0xFFFF || dsc.ofsX < INT16_MIN || dsc.ofsX > INT16_MAX
            || dsc.ofsY < INT16_MIN || dsc.ofsY > INT16_MAX)
            return fail(error, QStringLiteral("%1: its ink of %2 x %3 pixels at %4, %5 from the pen passes what an "
                                              "LVGL glyph holds")
                                       .arg(FontCodes::name(glyph.code))
                                       .arg(dsc.boxW)
                                       .arg(dsc.boxH)
                                       .arg(dsc.ofsX)
                                       .arg(dsc.ofsY));
        const qsizetype start = font.bitmap.size();
        font.bitmap.append((qsizetype(dsc.boxW) * dsc.boxH + 7) / 8, '\0');
        char *bits = font.bitmap.data() + start;
        for (const auto &[x, y] : glyph.pixels) {
            const qsizetype at = qsizetype(y - top) * dsc.boxW + (x - left);
            bits[at / 8] = char(uchar(bits[at / 8]) | 0x80u >> (at % 8));
        }
    }
    font.glyphs.push_back(dsc);
    return true;
}

} // namespace

bool needsLarge(const Font &font)
{
    if (font.bitmap.size() > qsizetype(1) << 20)
        return true;
    return std::any_of(font.glyphs.begin(), font.glyphs.end(), [](const GlyphDsc &glyph) {
        return glyph.advW >= 1 << 12 || glyph.boxW > 255 || glyph.boxH > 255 || glyph.ofsX < -128 || glyph.ofsX > 127
                || glyph.ofsY < -128 || glyph.ofsY > 127;
    });
}

std::vector<std::pair<CmapType, std::vector<int>>> planCmaps(const std::vector<int> &codes)
{
    // best[i]: the fewest bytes for codes[0..i], with the range that ends
    // at i; candidates compare by cost, then the earliest start, then the
    // kind in the order tiny, sparse.
    struct Step
    {
        qint64 cost = 0;
        size_t start = 0;
        CmapType type = CmapType::Format0Tiny;
    };
    const auto better = [](const Step &a, const Step &b) {
        if (a.cost != b.cost)
            return a.cost < b.cost;
        if (a.start != b.start)
            return a.start < b.start;
        return a.type == CmapType::Format0Tiny && b.type != CmapType::Format0Tiny;
    };
    const size_t n = codes.size();
    std::vector<Step> best(n);
    const auto before = [&best](size_t j) { return j > 0 ? best[j - 1].cost : 0; };
    std::deque<size_t> sparse; // starts by rising before(j) - 2j, earliest first among equals
    size_t sparseFrom = 0, runStart = 0;
    for (size_t i = 0; i < n; ++i) {
        if (i > 0 && codes[i] != codes[i - 1] + 1)
            runStart = i;
        while (!sparse.empty()
               && before(sparse.back()) - 2 * qint64(sparse.back()) > before(i) - 2 * qint64(i))
            sparse.pop_back();
        sparse.push_back(i);
        while (codes[i] - codes[sparseFrom] >= 65536)
            ++sparseFrom;
        while (sparse.front() < sparseFrom)
            sparse.pop_front();
        const size_t j = sparse.front();
        const Step sparseStep{before(j) + 16 + 2 * qint64(i - j + 1), j, CmapType::SparseTiny};
        // The fewest bytes for codes[0..k] never fall as k grows (a range
        // cut short costs no more), so the earliest start of the run that
        // the 256 codes of a tiny range reach is the cheapest.
        const size_t k = std::max(runStart, i >= 255 ? i - 255 : 0);
        const Step tiny{before(k) + 16, k, CmapType::Format0Tiny};
        best[i] = better(tiny, sparseStep) ? tiny : sparseStep;
    }
    std::vector<std::pair<CmapType, std::vector<int>>> plan;
    for (size_t end = n; end > 0;) {
        const Step &step = best[end - 1];
        plan.emplace_back(step.type, std::vector<int>(codes.begin() + qsizetype(step.start), codes.begin() + qsizetype(end)));
        end = step.start;
    }
    std::reverse(plan.begin(), plan.end());
    return plan;
}

std::optional<Font> encode(const GlyphSet &set, QString *error, const LeftOut *leftOut)
{
    if (!EncoderInput::check(set, {QStringLiteral("an LVGL font"), CodePoints::kMax}, error))
        return std::nullopt;
    const size_t count = size_t(FirmwareGlyphs::count(set, leftOut));
    if (count >= 65536) {
        fail(error, QStringLiteral("%1 glyphs are more than the 65535 an LVGL font numbers").arg(count));
        return std::nullopt;
    }
    Font font;
    const bool whole = leftOut && leftOut->rows > 0 && !leftOut->glyphs.empty();
    font.lineHeight = whole ? leftOut->rows : set.rows();
    font.baseLine = whole ? leftOut->descent : set.rows() - set.ascent;
    font.glyphs.reserve(count + 1);
    font.glyphs.emplace_back(); // id 0: no glyph
    std::vector<int> codes;
    codes.reserve(count);
    const bool ok = FirmwareGlyphs::eachInked(set, leftOut, [&](const Placed &glyph) {
        if (!codes.empty() && glyph.code == codes.back())
            return fail(error, QStringLiteral("%1: a glyph too large to open stands there").arg(FontCodes::name(glyph.code)));
        codes.push_back(glyph.code);
        return addGlyph(font, glyph, error);
    });
    if (!ok)
        return std::nullopt;
    int id = 1;
    for (const auto &[type, range] : planCmaps(codes)) {
        Cmap cmap;
        cmap.type = type;
        cmap.rangeStart = quint32(range.front());
        cmap.rangeLength = range.back() - range.front() + 1;
        cmap.glyphIdStart = id;
        if (type == CmapType::SparseTiny) {
            for (const int code : range)
                cmap.unicodeList.push_back(code - range.front());
        }
        id += int(range.size());
        font.cmaps.push_back(std::move(cmap));
    }
    return font;
}

QString summary(qsizetype glyphs, int lineHeight, int baseLine)
{
    return QStringLiteral("An LVGL font of %1, 1 bit a pixel, a line of %2 rows with the baseline %3 above its "
                          "bottom.")
            .arg(CSource::glyphCount(glyphs))
            .arg(lineHeight)
            .arg(baseLine);
}

namespace {

QLatin1String cmapTypeName(CmapType type)
{
    switch (type) {
    case CmapType::Format0Full:
        return QLatin1String("LV_FONT_FMT_TXT_CMAP_FORMAT0_FULL");
    case CmapType::SparseFull:
        return QLatin1String("LV_FONT_FMT_TXT_CMAP_SPARSE_FULL");
    case CmapType::Format0Tiny:
        return QLatin1String("LV_FONT_FMT_TXT_CMAP_FORMAT0_TINY");
    case CmapType::SparseTiny:
        break;
    }
    return QLatin1String("LV_FONT_FMT_TXT_CMAP_SPARSE_TINY");
}

QString numberLines(const std::vector<int> &numbers, bool hex)
{
    QString out;
    for (size_t i = 0; i < numbers.size(); ++i) {
        out += i % 12 == 0 ? QStringLiteral("    ") : QStringLiteral(" ");
        out += hex ? CSource::hex(quint32(numbers[i]), 4) : QString::number(numbers[i]);
        out += QLatin1Char(',');
        if (i % 12 == 11 || i + 1 == numbers.size())
            out += QLatin1Char('\n');
    }
    return out;
}

QString cmapsText(const Font &font)
{
    QString lists;
    QString entries;
    for (size_t i = 0; i < font.cmaps.size(); ++i) {
        const Cmap &cmap = font.cmaps[i];
        QString unicodeList = QStringLiteral("NULL");
        qsizetype length = 0;
        if (!cmap.unicodeList.empty()) {
            unicodeList = QStringLiteral("unicode_list_%1").arg(i);
            lists += QStringLiteral("static const uint16_t %1[] = {\n%2};\n\n")
                             .arg(unicodeList, numberLines(cmap.unicodeList, true));
            length = qsizetype(cmap.unicodeList.size());
        }
        entries += QStringLiteral("    {\n        .range_start = %1, .range_length = %2, .glyph_id_start = %3,\n"
                                  "        .unicode_list = %4, .glyph_id_ofs_list = %5, .list_length = %6, "
                                  ".type = %7\n    }%8\n")
                           .arg(cmap.rangeStart)
                           .arg(cmap.rangeLength)
                           .arg(cmap.glyphIdStart)
                           .arg(unicodeList, QStringLiteral("NULL"))
                           .arg(length)
                           .arg(cmapTypeName(cmap.type), i + 1 < font.cmaps.size() ? QStringLiteral(",") : QString());
    }
    return lists + QStringLiteral("static const lv_font_fmt_txt_cmap_t cmaps[] = {\n") + entries + QStringLiteral("};\n");
}

// The descriptors and the font, with the guards LVGL's converter writes
// for the fields that differ between versions.
QString fontText(const Font &font, const QString &name)
{
    return QStringLiteral(
                   "#if LVGL_VERSION_MAJOR == 8\n"
                   "static lv_font_fmt_txt_glyph_cache_t cache;\n"
                   "#endif\n\n"
                   "#if LVGL_VERSION_MAJOR >= 8\n"
                   "static const lv_font_fmt_txt_dsc_t font_dsc = {\n"
                   "#else\n"
                   "static lv_font_fmt_txt_dsc_t font_dsc = {\n"
                   "#endif\n"
                   "    .glyph_bitmap = glyph_bitmap,\n"
                   "    .glyph_dsc = glyph_dsc,\n"
                   "    .cmaps = cmaps,\n"
                   "    .kern_dsc = NULL,\n"
                   "    .kern_scale = 0,\n"
                   "    .cmap_num = %1,\n"
                   "    .bpp = 1,\n"
                   "    .kern_classes = 0,\n"
                   "    .bitmap_format = 0,\n"
                   "#if LVGL_VERSION_MAJOR == 8\n"
                   "    .cache = &cache\n"
                   "#endif\n"
                   "};\n\n"
                   "#if LVGL_VERSION_MAJOR >= 8\n"
                   "const lv_font_t %2 = {\n"
                   "#else\n"
                   "lv_font_t %2 = {\n"
                   "#endif\n"
                   "    .get_glyph_dsc = lv_font_get_glyph_dsc_fmt_txt,\n"
                   "    .get_glyph_bitmap = lv_font_get_bitmap_fmt_txt,\n"
                   "    .line_height = %3,\n"
                   "    .base_line = %4,\n"
                   "#if !(LVGL_VERSION_MAJOR == 6 && LVGL_VERSION_MINOR == 0)\n"
                   "    .subpx = LV_FONT_SUBPX_NONE,\n"
                   "#endif\n"
                   "#if LV_VERSION_CHECK(7, 4, 0) || LVGL_VERSION_MAJOR >= 8\n"
                   "    .underline_position = 0,\n"
                   "    .underline_thickness = 0,\n"
                   "#endif\n"
                   "#if LVGL_VERSION_MAJOR > 9 || (LVGL_VERSION_MAJOR == 9 && LVGL_VERSION_MINOR >= 3)\n"
                   "    .static_bitmap = 0,\n"
                   "#endif\n"
                   "    .dsc = &font_dsc,\n"
                   "#if LV_VERSION_CHECK(8, 2, 0) || LVGL_VERSION_MAJOR >= 9\n"
                   "    .fallback = NULL,\n"
                   "#endif\n"
                   "    .user_data = NULL,\n"
                   "};\n")
            .arg(font.cmaps.size())
            .arg(name)
            .arg(font.lineHeight)
            .arg(font.baseLine);
}

// `name` and `value` in decimal; a font's descriptors are tens of
// thousands of lines, too many to lay out through QString::arg().
void appendField(QString &out, const char *name, qint64 value)
{
    char digits[24];
    const std::to_chars_result end = std::to_chars(std::begin(digits), std::end(digits), value);
    out += QLatin1String(name);
    out += QLatin1String(digits, end.ptr);
}

} // namespace

CSource::File write(const GlyphSet &set, const QString &name, const std::vector<int> &sources, const LeftOut *leftOut)
{
    Q_ASSERT(CSource::isIdentifier(name));
    QString error;
    const std::optional<Font> font = encode(set, &error, leftOut);
    if (!font)
        return {QString(), error};
    const QString guard = name.toUpper();
    const QString indent = QStringLiteral("    ");
    std::vector<int> codes;
    codes.reserve(font->glyphs.size());
    for (const Glyph &glyph : set.glyphs())
        codes.push_back(glyph.codePoint);
    if (leftOut) {
        for (const StoredGlyph &glyph : leftOut->glyphs)
            codes.push_back(glyph.codePoint);
        std::sort(codes.begin(), codes.end());
    }

    QString out;
    // Six characters a byte, a line per glyph's bitmap and descriptor: one
    // allocation for a font of tens of thousands of glyphs.
    out.reserve(font->bitmap.size() * 6 + qsizetype(font->glyphs.size()) * 160 + 4096);
    out += CSource::fontNameLine(set);
    out += CSource::comment(summary(qsizetype(codes.size()), font->lineHeight, font->baseLine));
    out += CSource::comment(QStringLiteral("For LVGL 8.3 and 9: compile this file and declare LV_FONT_DECLARE(%1); "
                                           "then lv_obj_set_style_text_font(label, &%1, 0) draws with it.")
                                    .arg(name));
    out += QStringLiteral("\n#ifdef LV_LVGL_H_INCLUDE_SIMPLE\n#include \"lvgl.h\"\n#else\n#include \"lvgl/lvgl.h\"\n"
                          "#endif\n\n#ifndef %1\n#define %1 1\n#endif\n\n#if %1\n\n")
                   .arg(guard);
    if (needsLarge(*font))
        out += QStringLiteral("#if (LV_FONT_FMT_TXT_LARGE == 0)\n#error \"Too large font or glyphs in %1. Enable "
                              "LV_FONT_FMT_TXT_LARGE in lv_conf.h\"\n#endif\n\n")
                       .arg(guard);
    // Each glyph's label goes above its bitmap and after its descriptor.
    std::vector<QString> labels;
    labels.reserve(codes.size());
    for (const int code : codes)
        labels.push_back(CSource::commentText(CSource::codeComment(set, code, u"", sources, leftOut)));
    out += QStringLiteral("static LV_ATTRIBUTE_LARGE_CONST const uint8_t glyph_bitmap[] = {\n");
    for (size_t i = 0; i < codes.size(); ++i) {
        const GlyphDsc &dsc = font->glyphs[i + 1];
        const quint32 end = i + 2 < font->glyphs.size() ? font->glyphs[i + 2].bitmapIndex : quint32(font->bitmap.size());
        if (end == dsc.bitmapIndex)
            continue;
        out += indent + QLatin1String("// ") + labels[i] + QLatin1Char('\n');
        out += CSource::byteLines(font->bitmap.mid(dsc.bitmapIndex, end - dsc.bitmapIndex), 16, indent);
    }
    if (font->bitmap.isEmpty())
        out += indent + QStringLiteral("0x00, // no glyph has ink\n");
    out += QStringLiteral("};\n\nstatic const lv_font_fmt_txt_glyph_dsc_t glyph_dsc[] = {\n");
    for (size_t i = 0; i < font->glyphs.size(); ++i) {
        const GlyphDsc &dsc = font->glyphs[i];
        appendField(out, "    {.bitmap_index = ", dsc.bitmapIndex);
        appendField(out, ", .adv_w = ", dsc.advW);
        appendField(out, ", .box_w = ", dsc.boxW);
        appendField(out, ", .box_h = ", dsc.boxH);
        appendField(out, ", .ofs_x = ", dsc.ofsX);
        appendField(out, ", .ofs_y = ", dsc.ofsY);
        out += i == 0 ? QStringLiteral("}, // id 0: no glyph\n") : QLatin1String("}, // ") + labels[i - 1] + QLatin1Char('\n');
    }
    out += QStringLiteral("};\n\n") + cmapsText(*font) + QLatin1Char('\n') + fontText(*font, name);
    out += QStringLiteral("\n#endif /* %1 */\n").arg(guard);
    return {out, QString()};
}

} // namespace LvglFont
