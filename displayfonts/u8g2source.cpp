#include "u8g2source.h"

#include "codepoints.h"
#include "exportchoices.h"
#include "firmwareglyphs.h"
#include "inkbox.h"
#include "u8g2font.h"
#include "u8x8font.h"

#include <QHash>
#include <QRegularExpression>
#include <QSet>

#include <algorithm>

namespace U8g2Source {

namespace {

using CSourceReader::Declaration;
using CSourceReader::Value;

// The code point that marks a glyph to leave out.
constexpr int kLeftOut = -2;

bool isByteType(const QList<QByteArray> &type)
{
    if (type.isEmpty())
        return false;
    const QByteArray &last = type.back();
    return last == "uint8_t" || last == "int8_t" || last == "char" || last == "u8";
}

FontExport::Format formatOf(Kind kind)
{
    return kind == Kind::U8x8 ? FontExport::Format::U8x8 : FontExport::Format::U8g2;
}

QLatin1String libraryOf(Kind kind)
{
    return kind == Kind::U8x8 ? QLatin1String("u8x8") : QLatin1String("u8g2");
}

// What the comments before a declaration, and after the one before it, say
// of its font: the first line this program writes ("NAME: 95 glyphs ...,
// 6 x 13 cells, as a u8g2 font of 804 bytes.") gives the font's name and
// the cell it was written from; the converter's "Fontname: NAME" line, the
// name. The name is empty where none is given, or where it is the array's
// own, which the writers put there for a font without a name.
struct Title
{
    QByteArray fontName;
    int cols = 0;
    int rows = 0;
};

Title titleOf(const CSourceReader::Source &source, const Declaration &declaration, Kind kind)
{
    int after = 0;
    for (const Declaration &other : source.declarations) {
        if (other.line < declaration.line)
            after = other.line;
    }
    const QRegularExpression ours(
            QStringLiteral("^(.*): \\d+ glyphs? .*, (\\d+) x (\\d+) cells.*, as a %1 font of \\d+ bytes\\.$")
                    .arg(libraryOf(kind)));
    Title title;
    for (const CSourceReader::Comment &comment : source.comments) {
        if (comment.line <= after || comment.line >= declaration.line)
            continue;
        const QRegularExpressionMatch match = ours.match(QString::fromUtf8(comment.text));
        if (match.hasMatch()) {
            const QByteArray name = match.captured(1).toUtf8();
            return {name == declaration.name ? QByteArray() : name, match.captured(2).toInt(),
                    match.captured(3).toInt()};
        }
        for (const QByteArray &line : comment.text.split('\n')) {
            const QByteArray trimmed = line.trimmed();
            if (trimmed.startsWith("Fontname:"))
                title.fontName = trimmed.mid(9).trimmed();
        }
    }
    return title;
}

// The glyph names the comments the writers put before each glyph's bytes,
// one line above them, give: "U+00AD hyphen" names U+00AD "hyphen". A u8x8
// code that the comment says has no glyph is left out, so that the font is
// written with the same glyphs and comments.
void nameGlyphs(std::vector<Glyph> &glyphs, const CSourceReader::Source &source,
                const Declaration &declaration, const std::vector<std::pair<int, qsizetype>> &starts)
{
    const std::vector<Value> &items = declaration.value.items;
    QHash<int, QByteArray> comments;
    for (const CSourceReader::Comment &comment : source.comments) {
        if (comment.line > declaration.line)
            comments.insert(comment.line, comment.text);
    }
    for (const auto &[code, offset] : starts) {
        if (offset >= qsizetype(items.size()))
            continue;
        const QByteArray text = comments.value(items[size_t(offset)].line - 1);
        const QByteArray codeName = CodePoints::name(code).toLatin1();
        const QByteArray prefix = codeName + ' ';
        // The glyphs are in code order, as the starts; those left out lie
        // before the code looked for.
        const auto glyph = std::lower_bound(glyphs.begin(), glyphs.end(), code,
                                            [](const Glyph &g, int c) { return g.codePoint < c; });
        if (glyph == glyphs.end() || glyph->codePoint != code)
            continue;
        if (text.size() > prefix.size() && text.startsWith(prefix) && text.at(prefix.size()) != '\'')
            glyph->name = text.mid(prefix.size());
        if (text == codeName + QStringView(U8x8Font::kNoGlyph).toLatin1() && InkBox::of(glyph->bits).isEmpty())
            glyph->codePoint = kLeftOut;
    }
    glyphs.erase(std::remove_if(glyphs.begin(), glyphs.end(), [](const Glyph &glyph) { return glyph.codePoint == kLeftOut; }),
                 glyphs.end());
}

// Whether every glyph's ink lies within a cell of `cols` x `rows` with the
// same top-left corner.
bool inkWithin(const GlyphSet &set, int cols, int rows)
{
    if (cols < GlyphSet::kMinSize || rows < GlyphSet::kMinSize || cols > GlyphSet::kMaxSize
        || rows > GlyphSet::kMaxSize)
        return false;
    for (const Glyph &glyph : set.glyphs()) {
        const InkBox box = InkBox::of(glyph.bits);
        if (!box.isEmpty() && (box.left + box.cols > cols || box.top + box.rows > rows))
            return false;
    }
    return true;
}

// The set with the glyph names and the cell its file's comments give: the
// cell the font was written from, which the ink alone does not tell, where
// it holds the ink, its top-left corner kept.
GlyphSet asWritten(const GlyphSet &set, const CSourceReader::Source &source, const Declaration &declaration,
                   const Title &title, const std::vector<std::pair<int, qsizetype>> &starts)
{
    std::vector<Glyph> glyphs = set.glyphs();
    if (declaration.value.kind == Value::Kind::List)
        nameGlyphs(glyphs, source, declaration, starts);
    const bool cell = inkWithin(set, title.cols, title.rows);
    GlyphSet result(cell ? title.cols : set.cols(), cell ? title.rows : set.rows(), std::move(glyphs));
    result.fontName = title.fontName;
    result.ascent = set.ascent;
    result.xOffset = set.xOffset;
    result.properties = set.properties;
    return result;
}

QString fontError(const FirmwareSource::Font &font, const QString &what)
{
    return QStringLiteral("%1 font %2: %3").arg(libraryOf(font.format == FontExport::Format::U8x8 ? Kind::U8x8 : Kind::U8g2),
                                                 font.name, what);
}

} // namespace

std::optional<QByteArray> bytesOf(const Declaration &declaration)
{
    if (declaration.dimensions.size() != 1 || !isByteType(declaration.type))
        return std::nullopt;
    const qint64 dimension = declaration.dimensions.front();
    const Value &value = declaration.value;
    if (value.kind == Value::Kind::String) {
        // A literal longer than its array is no C; the NUL after it is part
        // of the array where there is room, and the converter counts on it
        // for the font's last byte where that is 0.
        if (dimension >= 0 && value.text.size() > dimension)
            return std::nullopt;
        return dimension >= 0 && value.text.size() == dimension ? value.text : value.text + '\0';
    }
    if (value.kind != Value::Kind::List || value.items.empty()
        || (dimension >= 0 && qint64(value.items.size()) > dimension))
        return std::nullopt;
    QByteArray bytes;
    bytes.reserve(qsizetype(value.items.size()));
    for (const Value &item : value.items) {
        if (item.kind != Value::Kind::Number || item.number < -128 || item.number > 255)
            return std::nullopt;
        bytes.append(char(item.number & 0xFF));
    }
    return bytes;
}

Kind kindOf(const Declaration &declaration, QByteArray *bytes)
{
    const std::optional<QByteArray> data = bytesOf(declaration);
    if (!data)
        return Kind::None;
    *bytes = *data;
    if (declaration.sectionMacro == "U8G2_FONT_SECTION")
        return Kind::U8g2;
    if (declaration.sectionMacro == "U8X8_FONT_SECTION")
        return Kind::U8x8;
    qsizetype larger = 0;
    if (U8g2Font::decode(*data, &larger, nullptr))
        return Kind::U8g2;
    const qsizetype u8x8Size = U8x8Font::fontSize(*data);
    const bool literal = declaration.value.kind == Value::Kind::String;
    if (u8x8Size == data->size() || (literal && u8x8Size == data->size() - 1 && data->endsWith('\0')))
        return Kind::U8x8;
    return Kind::None;
}

std::vector<FirmwareSource::Font> find(const CSourceReader::Source &source, Kind kind, Opener open)
{
    // An array that another declaration names, such as a GFXfont's bitmap,
    // is part of that font, whatever its bytes look like.
    QSet<QByteArray> named;
    for (const Declaration &declaration : source.declarations)
        CSourceReader::addNames(declaration.value, &named);
    std::vector<FirmwareSource::Font> fonts;
    for (const Declaration &declaration : source.declarations) {
        QByteArray bytes;
        if (kindOf(declaration, &bytes) != kind || (declaration.sectionMacro.isEmpty() && named.contains(declaration.name)))
            continue;
        FirmwareSource::Font font;
        font.format = formatOf(kind);
        font.name = QString::fromUtf8(declaration.name);
        font.line = declaration.line;
        font.external = declaration.external;
        font.spans = {{declaration.begin, declaration.end}};
        const Opened opened = open(bytes);
        if (opened.set) {
            font.glyphs = opened.fontGlyphs > 0 ? opened.fontGlyphs : opened.set->size();
            font.cols = opened.set->cols();
            font.rows = opened.set->rows();
        }
        fonts.push_back(font);
    }
    return fonts;
}

ReadResult read(const CSourceReader::Source &source, const FirmwareSource::Font &font, const QString &path, Kind kind,
                Opener open)
{
    // By its line too: a file may declare a name in both branches of a
    // switch of the user's build.
    const Declaration *declaration = nullptr;
    for (const Declaration &candidate : source.declarations) {
        if (candidate.line == font.line && candidate.name == font.name.toUtf8())
            declaration = &candidate;
    }
    QByteArray bytes;
    if (!declaration || kindOf(*declaration, &bytes) != kind)
        return ReadResult::inFile(path, fontError(font, QStringLiteral("no such font in the file")));
    Opened opened = open(bytes);
    if (!opened.set)
        return ReadResult::atLine(path, declaration->line, fontError(font, opened.error));
    GlyphSet set = asWritten(*opened.set, source, *declaration, titleOf(source, *declaration, kind), opened.starts);
    // As U8x8Font::open() has it, for the cell as written; a font placed
    // in a cell of its own keeps the baseline its glyphs were placed from.
    if (kind == Kind::U8x8 && !opened.whole)
        set.ascent = set.rows();
    ExportChoices choices;
    choices.format = formatOf(kind);
    choices.name = font.name;
    set.properties.append(choices.properties());
    ReadResult result(std::move(set));
    result.fontGlyphs = opened.fontGlyphs;
    if (opened.whole)
        FirmwareGlyphs::keepWhole(result, opened.whole(bytes), opened.wholeCols, opened.wholeRows);
    return result;
}

} // namespace U8g2Source
