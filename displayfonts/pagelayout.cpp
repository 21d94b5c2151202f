#include "pagelayout.h"

#include "codepoints.h"
#include "csourcereader.h"
#include "encoderinput.h"
#include "exportchoices.h"
#include "firmwaresource.h"
#include "fontcodes.h"
#include "glyphset.h"

#include <algorithm>
#include <array>

namespace PageLayout {

namespace {

// Where the byte of `col` and `page` lies among a record's page bytes.
int byteIndex(int col, int page, int cols, int pages, Order order)
{
    return order == Order::Column ? col * pages + page : page * cols + col;
}

Result failure(const QString &error)
{
    return {std::nullopt, error};
}

struct OrderInfo
{
    Order order;
    const char *name;
    const char *title;
    const char *description;
    const char *helpText;
};

const OrderInfo kOrders[] = {
    {Order::Column, "column", "Column by column, each column's pages from the top",
     "each column from the left, its pages from the top in turn",
     "each column's pages in turn, the top page first"},
    {Order::Page, "page", "Page by page, each page's columns from the left",
     "each page from the top, its columns from the left in turn",
     "every column of the top page, then of the next"},
};

const OrderInfo &info(Order order)
{
    return order == Order::Page ? kOrders[1] : kOrders[0];
}
} // namespace

std::vector<Order> orders()
{
    std::vector<Order> all;
    for (const OrderInfo &order : kOrders)
        all.push_back(order.order);
    return all;
}

QLatin1String name(Order order)
{
    return QLatin1String(info(order).name);
}

std::optional<Order> orderNamed(QStringView text)
{
    for (const OrderInfo &order : kOrders) {
        if (text == QLatin1String(order.name))
            return order.order;
    }
    return std::nullopt;
}

QString title(Order order)
{
    return QString::fromUtf8(info(order).title);
}

QString description(Order order)
{
    return QString::fromUtf8(info(order).description);
}

QString helpText(Order order)
{
    return QString::fromUtf8(info(order).helpText);
}

int recordSize(int cols, int rows, const Options &options)
{
    return (options.widthByte ? 1 : 0) + cols * pageCount(rows);
}

int widthOf(int advance, int cols)
{
    return std::clamp(advance, 0, cols);
}

QByteArray record(const Drawing &bits, int width, const Options &options)
{
    const int cols = bits.cols();
    const int pages = pageCount(bits.rows());
    QByteArray bytes(cols * pages, '\0');
    for (int r = 0; r < bits.rows(); ++r) {
        for (int c = 0; c < cols; ++c) {
            if (bits.isSet(r, c))
                bytes[byteIndex(c, r / 8, cols, pages, options.order)] |= char(1 << (r % 8));
        }
    }
    if (options.widthByte)
        bytes.prepend(char(width));
    return bytes;
}

QByteArray Font::recordAt(int index) const
{
    const int size = recordSize(cols, rows, options);
    return bytes.mid(qsizetype(index) * size, size);
}

Result encode(const GlyphSet &set, const Options &options)
{
    QString error;
    if (!EncoderInput::check(set, {QStringLiteral("a page font"), FontCodes::kLastEightBit}, &error))
        return failure(error);
    const std::optional<FontCodes::EightBit> codes = FontCodes::eightBit(set, QStringLiteral("a page font"), &error);
    Q_ASSERT(codes);
    const int first = codes->first, last = codes->last;
    const auto &byCode = codes->byCode;

    Font font;
    font.first = first;
    font.count = last - first + 1;
    font.cols = set.cols();
    font.rows = set.rows();
    font.options = options;
    const Drawing blank(set.rows(), set.cols());
    for (int code = font.first; code < font.first + font.count; ++code) {
        const Glyph *glyph = byCode[size_t(code)];
        font.bytes += glyph ? record(glyph->bits, widthOf(set.advanceOf(*glyph), set.cols()), options)
                            : record(blank, 0, options);
    }
    return {std::move(font), QString()};
}

std::vector<DrawnGlyph> decode(const Font &font)
{
    std::vector<DrawnGlyph> result;
    if (font.cols < 1 || font.cols > Drawing::kMaxSize || font.rows < 1 || font.rows > Drawing::kMaxSize)
        return result;
    const int size = recordSize(font.cols, font.rows, font.options);
    const int pages = pageCount(font.rows);
    const int skip = font.options.widthByte ? 1 : 0;
    const int count = int(std::min<qsizetype>(font.count, font.bytes.size() / size));
    for (int i = 0; i < count; ++i) {
        const QByteArray bytes = font.recordAt(i);
        DrawnGlyph drawn{font.first + i, skip ? quint8(bytes[0]) : font.cols, 0, 0, Drawing(font.rows, font.cols)};
        for (int r = 0; r < font.rows; ++r) {
            for (int c = 0; c < font.cols; ++c) {
                const char byte = bytes[skip + byteIndex(c, r / 8, font.cols, pages, font.options.order)];
                if (quint8(byte) >> (r % 8) & 1)
                    drawn.bits.set(r, c);
            }
        }
        result.push_back(std::move(drawn));
    }
    return result;
}

QString summary(qsizetype glyphs, int cols, int rows, int first, int last)
{
    return QStringLiteral("%1 of %2 x %3 pixels for page-addressed displays, %4 to %5.")
            .arg(CSource::glyphCount(glyphs))
            .arg(cols)
            .arg(rows)
            .arg(CodePoints::name(first), CodePoints::name(last));
}

CSource::File write(const GlyphSet &set, const QString &name, const Options &options,
                    const std::vector<int> &sources)
{
    const Result encoded = encode(set, options);
    if (!encoded.ok())
        return {QString(), encoded.error};
    const Font &font = *encoded.font;
    Q_ASSERT(CSource::isIdentifier(name));
    const QString &id = name;
    const int pages = pageCount(font.rows);
    const int size = recordSize(font.cols, font.rows, options);
    const int last = font.first + font.count - 1;

    // The order's words, broken after their first comma to keep the line short.
    QString order = description(options.order);
    order.replace(order.indexOf(QLatin1String(", ")), 2, QLatin1String(",\n// "));

    QString out = CSource::fontNameLine(set);
    out += CSource::comment(summary(set.size(), font.cols, font.rows, font.first, last));
    out += QStringLiteral("// Record c - %1First draws code c; a code without a glyph has a clear record%2.\n")
                   .arg(id, options.widthByte ? QStringLiteral(" of width 0") : QString());
    out += QLatin1String("// A record is ")
            + (options.widthByte ? QLatin1String("the glyph's width in pixels, then its bytes: ") : QLatin1String("the glyph's bytes: "))
            + order + QLatin1String(". A byte is one column of a page of 8 rows, bit 0 its top row.\n\n");
    out += CSource::guardStart(id);

    out += CSource::enumBlock({
            {id + QLatin1String("First"), CSource::hex(quint32(font.first)), QStringLiteral("the code of the first record")},
            {id + QLatin1String("Count"), QString::number(font.count), QStringLiteral("records, one per code")},
            {id + QLatin1String("Width"), QString::number(font.cols), QStringLiteral("pixels")},
            {id + QLatin1String("Height"), QString::number(font.rows),
             QStringLiteral("pixels, in %1 page%2").arg(pages).arg(pages == 1 ? "" : "s")},
            {id + QLatin1String("BytesPerGlyph"), QString::number(size),
             QStringLiteral("%1%2 columns x %3 page%4")
                     .arg(options.widthByte ? QStringLiteral("width, then ") : QString())
                     .arg(font.cols)
                     .arg(pages)
                     .arg(pages == 1 ? "" : "s")},
    });

    out += QStringLiteral("\nstatic const uint8_t %1[%1Count][%1BytesPerGlyph] = {\n").arg(id);
    for (int i = 0; i < font.count; ++i) {
        const int code = font.first + i;
        out += QLatin1String("    { ") + CSource::hexList(font.recordAt(i)) + QLatin1String(" }, // ")
                + CSource::codeComment(set, code, u": no glyph", sources)
                + QLatin1Char('\n');
    }
    out += QLatin1String("};\n") + CSource::guardEnd();
    return {out, QString()};
}

namespace {
using CSourceReader::Declaration;
using CSourceReader::Source;

// The constants write() declares beside the array, in its order.
const char *const kConstants[] = {"First", "Count", "Width", "Height", "BytesPerGlyph"};
enum Constant { kFirst, kCount, kWidth, kHeight, kBytesPerGlyph };

// The array's constants, where the file declares them all.
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

// The order whose words the comments hold; the column order where none
// does.
Order orderIn(const Source &source)
{
    QByteArray text;
    for (const CSourceReader::Comment &comment : source.comments)
        text += comment.text + ' ';
    for (const Order order : orders()) {
        if (text.contains(description(order).toUtf8()))
            return order;
    }
    return Order::Column;
}
} // namespace

std::vector<FirmwareSource::Font> find(const CSourceReader::Source &source)
{
    std::vector<FirmwareSource::Font> fonts;
    for (const Declaration &declaration : source.declarations) {
        if (!constantsOf(source, declaration))
            continue;
        FirmwareSource::Font font;
        font.format = FontExport::Format::Pages;
        font.name = QString::fromUtf8(declaration.name);
        font.line = declaration.line;
        font.wholeFile = true;
        font.external = declaration.external;
        // Reading the records is the one sure count of the glyphs among them.
        if (const ReadResult read = PageLayout::read(source, font, QString()); read.ok()) {
            font.glyphs = read.set->size();
            font.cols = read.set->cols();
            font.rows = read.set->rows();
        }
        fonts.push_back(std::move(font));
    }
    return fonts;
}

ReadResult read(const CSourceReader::Source &source, const FirmwareSource::Font &font, const QString &path)
{
    const Declaration *array = source.find(font.name.toUtf8());
    const auto constants = array ? constantsOf(source, *array) : std::nullopt;
    if (!constants)
        return ReadResult::inFile(path, QStringLiteral("the file holds no page font %1").arg(font.name));
    const auto fail = [&](int line, const QString &what) {
        return ReadResult::atLine(path, line, font.name + QLatin1String(": ") + what);
    };
    const auto [first, count, cols, rows, bytesPerGlyph] = *constants;
    if (cols < 1 || cols > Drawing::kMaxSize || rows < 1 || rows > Drawing::kMaxSize)
        return fail(array->line, QStringLiteral("its cells of %1 x %2 pixels do not fit 16 x 16").arg(cols).arg(rows));
    if (first < 0 || count < 1 || first + count - 1 > CodePoints::kMax)
        return fail(array->line,
                    QStringLiteral("its %1 records from code %2 lie outside the code points").arg(count).arg(first));
    Font pages;
    pages.first = int(first);
    pages.count = int(count);
    pages.cols = int(cols);
    pages.rows = int(rows);
    pages.options = {orderIn(source), false};
    if (bytesPerGlyph == recordSize(pages.cols, pages.rows, {pages.options.order, true}))
        pages.options.widthByte = true;
    else if (bytesPerGlyph != recordSize(pages.cols, pages.rows, pages.options))
        return fail(array->line, QStringLiteral("a record of %1 bytes does not hold %2 x %3 pixels")
                                         .arg(bytesPerGlyph)
                                         .arg(cols)
                                         .arg(rows));

    const CSource::Rows records = CSource::rowsOf(*array, count, int(bytesPerGlyph), 0xFF);
    if (!records.ok())
        return fail(records.line, records.error);
    pages.bytes.reserve(qsizetype(count * bytesPerGlyph));
    for (const std::vector<quint32> &record : records.rows) {
        for (const quint32 byte : record)
            pages.bytes += char(byte);
    }

    GlyphSet set(pages.cols, pages.rows);
    std::vector<std::pair<int, int>> placed; // each glyph's code and the code point it stands for
    const std::vector<DrawnGlyph> drawn = decode(pages);
    for (size_t i = 0; i < drawn.size(); ++i) {
        const int code = drawn[i].codePoint;
        const std::optional<QByteArray> comment = CSource::commentOn(source, array->value.items[i].line);
        const auto labelled = comment ? CSource::glyphIn(*comment, code) : std::nullopt;
        const bool clear = pages.recordAt(int(i)).count('\0') == bytesPerGlyph;
        if (clear && !labelled)
            continue;
        Glyph glyph;
        glyph.codePoint = labelled ? labelled->codePoint : code;
        glyph.name = labelled ? labelled->name : QByteArray();
        placed.emplace_back(code, glyph.codePoint);
        glyph.bits = drawn[i].bits;
        if (pages.options.widthByte)
            glyph.advance = drawn[i].advance;
        set.append(std::move(glyph));
    }
    set.fontName = CSource::fontNameAbove(source, summary(set.size(), pages.cols, pages.rows, pages.first,
                                                          pages.first + pages.count - 1));
    ExportChoices choices;
    choices.format = FontExport::Format::Pages;
    choices.name = font.name;
    choices.pageOrder = pages.options.order;
    choices.widths = pages.options.widthByte;
    choices.remaps = CSource::remapsText(placed);
    set.properties = choices.properties();
    return ReadResult(std::move(set));
}

} // namespace PageLayout
