#include "cheader.h"

#include "codepoints.h"
#include "csourcereader.h"
#include "exportchoices.h"
#include "firmwaresource.h"
#include "glyphexport.h"

#include <algorithm>
#include <array>
#include <iterator>

namespace CHeader {

namespace {
// Whether glyph i has code point first + i throughout.
bool consecutive(const GlyphSet &set)
{
    for (qsizetype i = 0; i < set.size(); ++i) {
        if (set.at(i).codePoint < 0 || set.at(i).codePoint != set.at(0).codePoint + i)
            return false;
    }
    return true;
}

QString codeName(const Glyph &glyph)
{
    // Only a glyph without a code point, which no remap moves, is named
    // by its label.
    return glyph.codePoint < 0 ? GlyphExport::label(glyph) : CodePoints::name(glyph.codePoint);
}

// "one value per row from the top, the leftmost cell in bit 4"
QString orderText(BitOrder order, int rows, int cols)
{
    const int length = order.bitsPerValue(rows, cols);
    const BitOrder::Words &words = order.words();
    return QStringLiteral("one value per %1 %2, the %3 cell in bit %4 (%5)")
            .arg(QLatin1String(words.line), QLatin1String(words.linesFrom), QLatin1String(words.firstCell))
            .arg(order.bitOfCell(0, length))
            .arg(order.name());
}

// What the header says of the font first, after the font's name.
QString summary(const GlyphSet &set, const QString &id)
{
    return QStringLiteral("%1 of %2 x %3 pixels, %4 to %5%6.")
            .arg(CSource::glyphCount(set.size()))
            .arg(set.cols())
            .arg(set.rows())
            .arg(codeName(set.glyphs().front()), codeName(set.glyphs().back()),
                 consecutive(set) ? QString() : QStringLiteral(" with gaps (see ") + id + QLatin1String("Codes)"));
}

// How the header says its values are laid out.
QString layout(BitOrder order, int rows, int cols)
{
    return QStringLiteral("Each glyph is %1 values of %2 bits: %3.")
            .arg(order.valueCount(rows, cols))
            .arg(order.bitsPerValue(rows, cols))
            .arg(orderText(order, rows, cols));
}

// The table of code points: the narrowest type that holds them all, -1
// standing for a glyph without one.
QString codeTable(const GlyphSet &set, const QString &id)
{
    int lowest = 0, highest = 0;
    for (const Glyph &glyph : set.glyphs()) {
        lowest = std::min(lowest, glyph.codePoint);
        highest = std::max(highest, glyph.codePoint);
    }
    const bool negative = lowest < 0;
    const QLatin1String type = negative ? QLatin1String("int32_t")
            : highest <= 0xFF               ? QLatin1String("uint8_t")
            : highest <= 0xFFFF             ? QLatin1String("uint16_t")
                                            : QLatin1String("uint32_t");
    const int digits = highest <= 0xFF ? 2 : highest <= 0xFFFF ? 4 : 6;
    constexpr int kPerLine = 8;

    QString out = QStringLiteral("\n// The code point of each glyph: glyph i draws %1Codes[i]%2.\n")
                          .arg(id, negative ? QStringLiteral(", -1 for none") : QString());
    out += QStringLiteral("static const %1 %2Codes[%2Count] = {\n").arg(type, id);
    for (qsizetype i = 0; i < set.size(); ++i) {
        const int code = set.at(i).codePoint;
        out += i % kPerLine == 0 ? QLatin1String("    ") : QLatin1String(" ");
        if (code < 0)
            out += QLatin1String("-1");
        else
            CSource::appendHex(out, quint32(code), digits);
        out += u',';
        if (i % kPerLine == kPerLine - 1 || i == set.size() - 1)
            out += QLatin1Char('\n');
    }
    return out + QLatin1String("};\n");
}
} // namespace

CSource::File write(const GlyphSet &set, QStringView name, BitOrder order, const std::vector<int> &sources)
{
    if (set.isEmpty())
        return {QString(), QStringLiteral("there are no glyphs to write")};
    Q_ASSERT(CSource::isIdentifier(name));
    const QString id = name.toString();
    const int valueCount = order.valueCount(set.rows(), set.cols());
    const int bits = order.bitsPerValue(set.rows(), set.cols());
    const bool narrow = bits <= 8;
    const bool inSequence = consecutive(set);

    QString out = CSource::fontNameLine(set);
    out += CSource::comment(summary(set, id));
    out += CSource::comment(layout(order, set.rows(), set.cols()));
    out += QLatin1Char('\n');
    out += CSource::guardStart(id);

    std::vector<CSource::Constant> constants;
    if (inSequence) {
        const int first = set.at(0).codePoint;
        constants.push_back({id + QLatin1String("First"), CSource::hex(quint32(first), first <= 0xFF ? 2 : 4),
                             QStringLiteral("glyph i draws code point %1First + i").arg(id)});
    }
    constants.push_back({id + QLatin1String("Count"), QString::number(set.size()), QStringLiteral("glyphs")});
    constants.push_back({id + QLatin1String("Width"), QString::number(set.cols()), QStringLiteral("pixels")});
    constants.push_back({id + QLatin1String("Height"), QString::number(set.rows()), QStringLiteral("pixels")});
    constants.push_back({id + QLatin1String("Values"), QString::number(valueCount), QStringLiteral("per glyph")});
    out += CSource::enumBlock(constants);

    // A whole font is megabytes of text: one allocation, not a growing one.
    out.reserve(out.size() + set.size() * (valueCount * (narrow ? 6 : 8) + 48));
    out += QStringLiteral("\nstatic const %1 %2[%2Count][%2Values] = {\n")
                   .arg(narrow ? QLatin1String("uint8_t") : QLatin1String("uint16_t"), id);
    for (qsizetype i = 0; i < set.size(); ++i) {
        const Glyph &glyph = set.at(i);
        out += QLatin1String("    { ");
        out += CSource::hexList(order.values(glyph.bits), narrow ? 2 : 4);
        out += QLatin1String(" }, // ");
        out += GlyphExport::label(glyph, GlyphExport::sourceOf(sources, i));
        out += u'\n';
    }
    out += QLatin1String("};\n");
    if (!inSequence)
        out += codeTable(set, id);
    out += CSource::guardEnd();
    return {out, QString()};
}

namespace {
using CSourceReader::Declaration;
using CSourceReader::Source;

// The constants write() always declares beside the array, in its order.
const char *const kConstants[] = {"Count", "Width", "Height", "Values"};
enum Constant { kCount, kWidth, kHeight, kValues };

std::optional<std::array<qint64, std::size(kConstants)>> constantsOf(const Source &source, const Declaration &array)
{
    if (array.dimensions.size() != 2)
        return std::nullopt;
    std::array<qint64, std::size(kConstants)> values{};
    for (size_t i = 0; i < values.size(); ++i) {
        const auto found = source.constants.constFind(array.name + kConstants[i]);
        if (found == source.constants.constEnd())
            return std::nullopt;
        values[i] = *found;
    }
    return values;
}

// The order whose layout a comment states; else the one the count of
// values tells.
BitOrder orderIn(const Source &source, int rows, int cols, qint64 values)
{
    for (const BitOrder::Kind kind : BitOrder::all()) {
        const QByteArray stated = CSource::commentText(layout(kind, rows, cols)).toUtf8();
        if (std::any_of(source.comments.begin(), source.comments.end(),
                        [&stated](const CSourceReader::Comment &comment) { return comment.text == stated; }))
            return kind;
    }
    return values == cols && values != rows ? BitOrder::Vertical : BitOrder::Horizontal;
}

// Each glyph's code point, from First + i or the Codes table; or why not.
struct Codes
{
    std::vector<int> codes;
    QString error;
    int line = 0;
};

Codes codesOf(const Source &source, const Declaration &array, qint64 count)
{
    const auto fail = [](int line, const QString &error) { return Codes{{}, error, line}; };
    Codes result;
    const auto first = source.constants.constFind(array.name + "First");
    if (first != source.constants.constEnd()) {
        if (*first < 0 || *first + count - 1 > CodePoints::kMax)
            return fail(array.line, QStringLiteral("its %1 glyphs from code point %2 lie outside the code points")
                                            .arg(count)
                                            .arg(*first));
        for (qint64 i = 0; i < count; ++i)
            result.codes.push_back(int(*first + i));
        return result;
    }
    const Declaration *table = source.find(array.name + "Codes");
    if (!table)
        return fail(array.line,
                    QStringLiteral("the file gives neither %1First nor %1Codes").arg(QString::fromUtf8(array.name)));
    const CSourceReader::Value &list = table->value;
    if (list.kind != CSourceReader::Value::Kind::List || qint64(list.items.size()) != count) {
        return fail(table->line, QStringLiteral("%1 holds %2 code points where its count says %3")
                                         .arg(QString::fromUtf8(table->name))
                                         .arg(list.items.size())
                                         .arg(count));
    }
    for (const CSourceReader::Value &item : list.items) {
        if (item.kind != CSourceReader::Value::Kind::Number || item.number < Glyph::kNoCodePoint
            || item.number > CodePoints::kMax) {
            return fail(item.line, QStringLiteral("%1 holds something other than a code point or -1")
                                           .arg(QString::fromUtf8(table->name)));
        }
        result.codes.push_back(int(item.number));
    }
    return result;
}
} // namespace

std::vector<FirmwareSource::Font> find(const CSourceReader::Source &source)
{
    std::vector<FirmwareSource::Font> fonts;
    for (const Declaration &declaration : source.declarations) {
        const auto constants = constantsOf(source, declaration);
        if (!constants)
            continue;
        FirmwareSource::Font font;
        font.format = FontExport::Format::C;
        font.name = QString::fromUtf8(declaration.name);
        font.line = declaration.line;
        font.wholeFile = true;
        font.glyphs = qsizetype(std::clamp<qint64>((*constants)[kCount], 0, qint64(declaration.value.items.size())));
        font.cols = int(std::clamp<qint64>((*constants)[kWidth], 0, Drawing::kMaxSize + 1));
        font.rows = int(std::clamp<qint64>((*constants)[kHeight], 0, Drawing::kMaxSize + 1));
        font.external = declaration.external;
        fonts.push_back(std::move(font));
    }
    return fonts;
}

ReadResult read(const CSourceReader::Source &source, const FirmwareSource::Font &font, const QString &path)
{
    const Declaration *array = source.find(font.name.toUtf8());
    const auto constants = array ? constantsOf(source, *array) : std::nullopt;
    if (!constants)
        return ReadResult::inFile(path, QStringLiteral("the file holds no C header font %1").arg(font.name));
    const auto fail = [&](int line, const QString &what) {
        return ReadResult::atLine(path, line, font.name + QLatin1String(": ") + what);
    };
    const auto [count, cols, rows, values] = *constants;
    if (cols < GlyphSet::kMinSize || cols > GlyphSet::kMaxSize || rows < GlyphSet::kMinSize
        || rows > GlyphSet::kMaxSize) {
        return fail(array->line,
                    QStringLiteral("its cells of %1 x %2 pixels lie outside 3 x 3 to 16 x 16").arg(cols).arg(rows));
    }
    const BitOrder order = orderIn(source, int(rows), int(cols), values);
    if (values != order.valueCount(int(rows), int(cols))) {
        return fail(array->line, QStringLiteral("%1 values do not hold %2 x %3 pixels in %4 order")
                                         .arg(values)
                                         .arg(cols)
                                         .arg(rows)
                                         .arg(order.name()));
    }
    const int bits = order.bitsPerValue(int(rows), int(cols));
    const CSource::Rows table = CSource::rowsOf(*array, count, int(values), (1u << bits) - 1);
    if (!table.ok())
        return fail(table.line, table.error);
    const Codes codes = codesOf(source, *array, count);
    if (!codes.error.isEmpty())
        return fail(codes.line, codes.error);

    std::vector<Glyph> glyphs(table.rows.size());
    std::vector<std::pair<int, int>> placed; // each glyph's code and the code point it stands for
    for (size_t i = 0; i < glyphs.size(); ++i) {
        Glyph &glyph = glyphs[i];
        glyph.codePoint = codes.codes[i];
        glyph.bits = order.drawing(table.rows[i], int(rows), int(cols));
        const std::optional<QByteArray> comment = CSource::commentOn(source, array->value.items[i].line);
        const auto labelled = comment ? CSource::glyphIn(*comment, glyph.codePoint) : std::nullopt;
        placed.emplace_back(glyph.codePoint, labelled ? labelled->codePoint : glyph.codePoint);
        glyph.name = labelled ? labelled->name : QByteArray();
    }
    // The summary names the codes as the file places them.
    const QByteArray fontName = CSource::fontNameAbove(source, summary(GlyphSet(int(cols), int(rows), glyphs), font.name));
    for (size_t i = 0; i < glyphs.size(); ++i)
        glyphs[i].codePoint = placed[i].second;
    GlyphSet set(int(cols), int(rows), std::move(glyphs));
    set.fontName = fontName;
    set.exportOptions = ExportOptions{order};
    ExportChoices choices;
    choices.format = FontExport::Format::C;
    choices.name = font.name;
    choices.remaps = CSource::remapsText(placed);
    set.properties = choices.properties();
    return ReadResult(std::move(set));
}

} // namespace CHeader
