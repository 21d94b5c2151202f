#include "lvglfont.h"

#include "codepoints.h"
#include "exportchoices.h"
#include "firmwareglyphs.h"
#include "firmwaresource.h"
#include "fontexport.h"
#include "u8g2source.h"

#include <QSet>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <map>

// LVGL fonts read back from C source: the descriptors, and the set.
namespace LvglFont {

namespace {

using CSourceReader::Declaration;
using CSourceReader::Value;

std::nullopt_t failWith(QString *error, const QString &what)
{
    if (error)
        *error = what;
    return std::nullopt;
}

bool isType(const Declaration &declaration, QByteArrayView type)
{
    return declaration.type.contains(type.toByteArray());
}

const Declaration *named(const CSourceReader::Source &source, const Value &value, QByteArrayView type)
{
    if (value.kind != Value::Kind::Name)
        return nullptr;
    const Declaration *declaration = source.find(value.text);
    return declaration && isType(*declaration, type) && declaration->value.kind == Value::Kind::List ? declaration
                                                                                                    : nullptr;
}

std::optional<qint64> numberAt(const Value &list, size_t i)
{
    if (i >= list.items.size() || list.items[i].kind != Value::Kind::Number)
        return std::nullopt;
    return list.items[i].number;
}

// An LVGL font's declarations: the lv_font_t and the descriptor it points to.
struct Found
{
    const Declaration *font = nullptr;
    const Declaration *dsc = nullptr;
    bool kerning = false;
};

std::vector<Found> fontsIn(const CSourceReader::Source &source)
{
    std::vector<Found> fonts;
    for (const Declaration &declaration : source.declarations) {
        if (!isType(declaration, "lv_font_t") || declaration.value.kind != Value::Kind::List
            || !numberAt(declaration.value, 2) || !numberAt(declaration.value, 3))
            continue;
        for (const Value &item : declaration.value.items) {
            if (const Declaration *dsc = named(source, item, "lv_font_fmt_txt_dsc_t")) {
                const std::vector<Value> &fields = dsc->value.items;
                const bool kerning = fields.size() > 3 && fields[3].kind == Value::Kind::Name && fields[3].text != "NULL";
                fonts.push_back({&declaration, dsc, kerning});
                break;
            }
        }
    }
    return fonts;
}

std::optional<std::vector<int>> numbersOf(const CSourceReader::Source &source, const Value &value)
{
    std::vector<int> numbers;
    if (value.kind == Value::Kind::Name && value.text == "NULL")
        return numbers;
    const Declaration *list = value.kind == Value::Kind::Name ? source.find(value.text) : nullptr;
    if (!list || list->value.kind != Value::Kind::List)
        return std::nullopt;
    for (const Value &item : list->value.items) {
        if (item.kind != Value::Kind::Number || item.number < 0 || item.number > 0xFFFF)
            return std::nullopt;
        numbers.push_back(int(item.number));
    }
    return numbers;
}

std::optional<CmapType> cmapType(const Value &value)
{
    static const std::pair<const char *, CmapType> kNames[] = {
            {"LV_FONT_FMT_TXT_CMAP_FORMAT0_FULL", CmapType::Format0Full},
            {"LV_FONT_FMT_TXT_CMAP_SPARSE_FULL", CmapType::SparseFull},
            {"LV_FONT_FMT_TXT_CMAP_FORMAT0_TINY", CmapType::Format0Tiny},
            {"LV_FONT_FMT_TXT_CMAP_SPARSE_TINY", CmapType::SparseTiny},
    };
    for (const auto &[name, type] : kNames) {
        if ((value.kind == Value::Kind::Name && value.text == name)
            || (value.kind == Value::Kind::Number && value.number == qint64(type)))
            return type;
    }
    return std::nullopt;
}

// The font's descriptors as numbers, or the line and what is wrong there.
std::optional<Font> fontOf(const CSourceReader::Source &source, const Found &found, int *line, QString *error)
{
    const std::vector<Value> &fields = found.dsc->value.items;
    *line = found.dsc->line;
    const auto field = [&fields](size_t i, qint64 otherwise) {
        return i < fields.size() && fields[i].kind == Value::Kind::Number ? fields[i].number : otherwise;
    };
    const Declaration *bitmap = fields.size() > 2 && fields[0].kind == Value::Kind::Name ? source.find(fields[0].text) : nullptr;
    const Declaration *glyphs = fields.size() > 2 ? named(source, fields[1], "lv_font_fmt_txt_glyph_dsc_t") : nullptr;
    const Declaration *cmaps = fields.size() > 2 ? named(source, fields[2], "lv_font_fmt_txt_cmap_t") : nullptr;
    const std::optional<QByteArray> bytes = bitmap ? U8g2Source::bytesOf(*bitmap) : std::nullopt;
    if (!bytes || !glyphs || !cmaps)
        return failWith(error, QStringLiteral("its bitmap, glyph_dsc or cmaps is not an array this file gives"));
    Font font;
    font.bitmap = *bytes;
    font.bpp = int(field(6, 0));
    font.bitmapFormat = int(field(8, 0));
    font.lineHeight = int(found.font->value.items[2].number);
    font.baseLine = int(found.font->value.items[3].number);
    for (const Value &item : glyphs->value.items) {
        *line = item.line;
        std::optional<qint64> values[6];
        for (size_t i = 0; i < 6; ++i)
            values[i] = numberAt(item, i);
        if (item.items.size() != 6 || !values[0] || !values[1] || !values[2] || !values[3] || !values[4] || !values[5]
            || *values[0] < 0 || *values[0] > UINT32_MAX || *values[1] < 0 || *values[1] > INT32_MAX
            || *values[2] < 0 || *values[2] > 0xFFFF || *values[3] < 0 || *values[3] > 0xFFFF
            || std::abs(*values[4]) > 0x8000 || std::abs(*values[5]) > 0x8000)
            return failWith(error, QStringLiteral("a glyph_dsc entry that is not 6 numbers in LVGL's ranges"));
        font.glyphs.push_back({quint32(*values[0]), int(*values[1]), int(*values[2]), int(*values[3]),
                               int(*values[4]), int(*values[5])});
    }
    *line = found.dsc->line;
    const qint64 count = field(5, -1);
    if (count != qint64(cmaps->value.items.size()))
        return failWith(error, QStringLiteral("cmap_num is %1; cmaps holds %2").arg(count).arg(cmaps->value.items.size()));
    for (const Value &item : cmaps->value.items) {
        *line = item.line;
        const std::optional<qint64> start = numberAt(item, 0), length = numberAt(item, 1), id = numberAt(item, 2);
        const std::optional<CmapType> type = item.items.size() == 7 ? cmapType(item.items[6]) : std::nullopt;
        const std::optional<std::vector<int>> unicodes = item.items.size() == 7 ? numbersOf(source, item.items[3]) : std::nullopt;
        const std::optional<std::vector<int>> ofs = item.items.size() == 7 ? numbersOf(source, item.items[4]) : std::nullopt;
        if (!start || !length || !id || !type || !unicodes || !ofs || *start < 0 || *start > CodePoints::kMax
            || *length < 0 || *length > 0x10000 || *id < 0 || *id > 0xFFFF)
            return failWith(error, QStringLiteral("a cmaps entry that is not a range LVGL reads"));
        font.cmaps.push_back({quint32(*start), int(*length), int(*id), *type, *unicodes, *ofs});
    }
    return font;
}

// The glyphs as a set whose cell is the font's line, the baseline where
// the font has it, where they fit in one; else as FirmwareGlyphs places
// them, the font kept whole.
ReadResult toSet(const std::vector<StoredGlyph> &glyphs, int lineHeight, int baseLine)
{
    qsizetype larger = 0;
    const std::vector<DrawnGlyph> drawn = FirmwareGlyphs::drawable(glyphs, &larger);
    FirmwareGlyphs::Placed placed = FirmwareGlyphs::place(drawn, lineHeight);
    GlyphSet &set = placed.set;
    const int shift = lineHeight - baseLine - set.ascent;
    bool fits = placed.fontGlyphs == 0 && larger == 0 && set.rows() == lineHeight && shift != 0;
    for (qsizetype i = 0; fits && i < set.size(); ++i) {
        for (int r = 0; r < set.rows(); ++r)
            fits = fits && (set.at(i).bits.rowBits(r) == 0 || (r + shift >= 0 && r + shift < set.rows()));
    }
    if (fits) {
        std::vector<Glyph> moved = set.glyphs();
        for (Glyph &glyph : moved)
            glyph.bits = glyph.bits.shifted(shift, 0);
        GlyphSet settled(set.cols(), set.rows(), std::move(moved));
        settled.ascent = set.ascent + shift;
        settled.xOffset = set.xOffset;
        set = std::move(settled);
    }
    ReadResult result(std::move(set));
    if (placed.fontGlyphs > 0 || larger > 0)
        result.fontGlyphs = qsizetype(glyphs.size());
    FirmwareGlyphs::keepWhole(result, glyphs, 0, lineHeight, baseLine);
    return result;
}

// Whether every declaration of the file is the font's, as in the files
// LVGL's converter writes.
bool isWholeFile(const CSourceReader::Source &source, const Found &found)
{
    QSet<QByteArray> names{found.font->name, found.dsc->name};
    CSourceReader::addNames(found.dsc->value, &names);
    if (const Declaration *cmaps = found.dsc->value.items.size() > 2 ? source.find(found.dsc->value.items[2].text) : nullptr)
        CSourceReader::addNames(cmaps->value, &names);
    return std::all_of(source.declarations.begin(), source.declarations.end(),
                       [&names](const Declaration &declaration) { return names.contains(declaration.name); });
}

// The names this program's writer gives glyphs on their glyph_dsc lines.
void nameGlyphs(const CSourceReader::Source &source, const Declaration &dsc, const Font &font, GlyphSet &set)
{
    const Declaration *table = dsc.value.items.size() > 1 ? source.find(dsc.value.items[1].text) : nullptr;
    const std::optional<std::map<int, int>> ids = table ? glyphIds(font, nullptr) : std::nullopt;
    if (!ids)
        return;
    std::vector<Glyph> glyphs = set.glyphs();
    bool named = false;
    for (Glyph &glyph : glyphs) {
        const auto id = ids->find(glyph.codePoint);
        if (id == ids->end() || size_t(id->second) >= table->value.items.size())
            continue;
        const std::optional<QByteArray> comment = CSource::commentOn(source, table->value.items[size_t(id->second)].line);
        const std::optional<CSource::Labelled> labelled = comment ? CSource::glyphIn(*comment, glyph.codePoint)
                                                                  : std::nullopt;
        if (labelled && labelled->codePoint == glyph.codePoint && !labelled->name.isEmpty()) {
            glyph.name = labelled->name;
            named = true;
        }
    }
    if (named) {
        GlyphSet renamed(set.cols(), set.rows(), std::move(glyphs));
        renamed.ascent = set.ascent;
        renamed.xOffset = set.xOffset;
        set = std::move(renamed);
    }
}

} // namespace

std::vector<FirmwareSource::Font> find(const CSourceReader::Source &source)
{
    const std::vector<Found> found = fontsIn(source);
    std::vector<FirmwareSource::Font> fonts;
    for (const Found &one : found) {
        FirmwareSource::Font font;
        font.format = FontExport::Format::Lvgl;
        font.name = QString::fromUtf8(one.font->name);
        font.line = one.font->line;
        font.external = one.font->external;
        int line = 0;
        if (const std::optional<Font> decoded = fontOf(source, one, &line, nullptr)) {
            if (const std::optional<std::vector<StoredGlyph>> glyphs = decode(*decoded)) {
                font.glyphs = qsizetype(glyphs->size());
                font.rows = decoded->lineHeight;
                for (const StoredGlyph &glyph : *glyphs)
                    font.cols = std::max(font.cols, glyph.x + glyph.cols);
            }
            // The file is the font's, as LVGL's converter writes one: it is
            // written anew when saved, where the set keeps all it holds.
            font.wholeFile = decoded->bpp == 1 && !one.kerning && isWholeFile(source, one);
        }
        fonts.push_back(std::move(font));
    }
    return fonts;
}

ReadResult read(const CSourceReader::Source &source, const FirmwareSource::Font &font, const QString &path)
{
    for (const Found &found : fontsIn(source)) {
        if (found.font->line != font.line || found.font->name != font.name.toUtf8())
            continue;
        int line = found.font->line;
        QString error;
        const std::optional<Font> decoded = fontOf(source, found, &line, &error);
        if (decoded)
            line = found.dsc->line;
        const std::optional<std::vector<StoredGlyph>> glyphs = decoded ? decode(*decoded, &error) : std::nullopt;
        if (!glyphs)
            return ReadResult::atLine(path, line, QStringLiteral("LVGL font %1: %2").arg(font.name, error));
        ReadResult result = toSet(*glyphs, decoded->lineHeight, decoded->baseLine);
        if (decoded->bpp > 1)
            result.notes << QStringLiteral("The font has %1 bits a pixel; each pixel at least half covered is set, as "
                                           "LVGL draws it on a display of one bit.")
                                    .arg(decoded->bpp);
        if (found.kerning)
            result.notes << QStringLiteral("The font's kerning is not kept.");
        nameGlyphs(source, *found.dsc, *decoded, *result.set);
        result.set->fontName = CSource::fontNameAbove(
                source, summary(qsizetype(glyphs->size()), decoded->lineHeight, decoded->baseLine));
        ExportChoices choices;
        choices.format = FontExport::Format::Lvgl;
        choices.name = font.name;
        result.set->properties = choices.properties();
        return result;
    }
    return ReadResult::inFile(path, QStringLiteral("the file holds no LVGL font %1").arg(font.name));
}

} // namespace LvglFont
