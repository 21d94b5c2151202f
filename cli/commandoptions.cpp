#include "commandoptions.h"

#include "arrayformat.h"
#include "bitorder.h"
#include "codepoints.h"
#include "exportoptions.h"
#include "glyphset.h"
#include "openoptions.h"
#include "pagelayout.h"

#include <algorithm>

namespace CommandOptions {

namespace {

QList<FontExport::Format> formatsTaking(FontExport::Choice choice)
{
    QList<FontExport::Format> formats;
    for (const FontExport::Format format : FontExport::formats()) {
        if (FontExport::takes(format, choice))
            formats << format;
    }
    return formats;
}

// "lines, a Copy to Text line per glyph (the default); c, ...".
QString formatList()
{
    QStringList formats;
    for (const FontExport::Format format : FontExport::formats()) {
        formats << FontExport::name(format) + QLatin1String(", ") + FontExport::description(format)
                        + (format == FontExport::Options().format ? QLatin1String(" (the default)") : QLatin1String());
    }
    return formats.join(QLatin1String("; "));
}

// "gfx, u8x8 and pages hold code points up to 255, u8g2 up to U+FFFF": the
// formats that hold fewer than every code point, by their reach.
QString formatReach()
{
    std::vector<std::pair<int, QStringList>> reaches;
    for (const FontExport::Format format : FontExport::formats()) {
        const int highest = FontExport::highestCodePoint(format);
        if (highest >= CodePoints::kMax)
            continue;
        auto it = std::find_if(reaches.begin(), reaches.end(), [highest](const auto &reach) { return reach.first == highest; });
        if (it == reaches.end())
            it = reaches.insert(reaches.end(), {highest, {}});
        it->second << FontExport::name(format);
    }
    QStringList parts;
    for (const auto &[highest, names] : reaches) {
        const QString who = names.size() == 1 ? names.front()
                                              : names.mid(0, names.size() - 1).join(QLatin1String(", "))
                        + QLatin1String(" and ") + names.back();
        // An 8-bit reach reads as a number, a wider one as a code point.
        const QString reach = highest <= 0xFF ? QString::number(highest) : CodePoints::name(highest);
        parts << (parts.isEmpty() ? QStringLiteral("%1 hold code points up to %2") : QStringLiteral("%1 up to %2"))
                         .arg(who, reach);
    }
    return parts.join(QLatin1String(", "));
}

QString orientationHelp(BitOrder byDefault)
{
    const BitOrder::Words &vertical = BitOrder(BitOrder::Vertical).words();
    const BitOrder::Words &horizontal = BitOrder(BitOrder::Horizontal).words();
    const BitOrder::Words &leftToRight = BitOrder(BitOrder::HorizontalLeftToRight).words();
    return QStringLiteral("One value per %1, the %2 cell its lowest bit (%3), or one per %4, the %5 cell its "
                          "lowest bit (%6) or the %7 (%8); default %9. Source code is read in this order too, "
                          "whatever the format.")
            .arg(QLatin1String(vertical.line), QLatin1String(vertical.lowestCell), QLatin1String(vertical.name),
                 QLatin1String(horizontal.line), QLatin1String(horizontal.lowestCell),
                 QLatin1String(horizontal.name), QLatin1String(leftToRight.lowestCell),
                 QLatin1String(leftToRight.name), byDefault.name());
}

std::vector<Option> table()
{
    using Kind = FontKind::Kind;
    const ExportOptions output;
    const ArrayFormat::Options array;
    const PictureOptions image;
    const OutlineOptions outline;
    const QString quoted = QStringLiteral("\"%1\"");
    QString orientations = BitOrder::nameList();
    orientations.replace(QLatin1String(", "), QLatin1String("|"));
    QString formats = FontExport::nameList();
    formats.replace(QLatin1String(", "), QLatin1String("|"));
    formats += QLatin1Char('|') + bdfName();
    QStringList pageOrders;
    for (const PageLayout::Order order : PageLayout::orders())
        pageOrders << PageLayout::name(order);
    using Choice = FontExport::Choice;
    using Order = PageLayout::Order;

    return {
        {Id::Format, {"format"}, formats,
         QStringLiteral("What is written: %1. %2: --range and --remap choose and place the glyphs.")
                 .arg(formatList(), formatReach()),
         {}, {}},
        {Id::Font, {"font"}, QStringLiteral("NAME"),
         QStringLiteral("Source code that holds several fonts for display libraries (GFX, u8g2, u8x8, OLED, "
                        "LVGL, LED-matrix, or this program's pages and c headers): the one of this C name. A file "
                        "of one font needs none."),
         {Kind::Array}},
        {Id::Name, {"name"}, QStringLiteral("NAME"),
         QStringLiteral("The C name of the font's data, a letter and then letters, digits or \"_\", no keyword; "
                        "default: made from the font's file name (5x7.bdf gives font_5x7)."),
         {}, formatsTaking(Choice::Name)},
        {Id::Orientation, {"orientation"}, orientations,
         orientationHelp(output.order),
         {}},
        {Id::Prefix, {"prefix"}, QStringLiteral("TEXT"),
         QStringLiteral("Written before each byte, as typed, blanks included; may be empty; default %1.")
                 .arg(quoted.arg(output.prefix)),
         {}, formatsTaking(Choice::Prefix)},
        {Id::Delimiter, {"delimiter"}, QStringLiteral("TEXT"),
         QStringLiteral("Written after each byte, likewise; default %1.").arg(quoted.arg(output.delimiter)), {},
         formatsTaking(Choice::Prefix)},
        {Id::Comments, {"comments"}, {},
         QStringLiteral("Ends each line with a comment naming the glyph: // U+0041 'A' for a printable "
                        "character, the glyph's name otherwise. No comment ends in a backslash, so none "
                        "continues onto the next line. The other formats always name each glyph."),
         {}, formatsTaking(Choice::Comments)},
        {Id::Range, {"range"}, QStringLiteral("A-B,C,..."),
         QStringLiteral("Only the glyphs of these code points, written U+0041, 0x41 or 65; a glyph without a "
                        "code point is left out then. May be given more than once. A BDF font too large to "
                        "open whole opens for the glyphs of these code points."),
         {}},
        {Id::Remap, {"remap"}, QStringLiteral("A-B:C,..."),
         QStringLiteral("Places the glyphs of code points A to B from code point C on, for example "
                        "U+0410-U+044F:0xC0 puts Cyrillic where an 8-bit font has room. May be given more than "
                        "once."),
         {}},
        {Id::PageOrder, {"page-order"}, pageOrders.join(QLatin1Char('|')),
         QStringLiteral("pages: %1 (%2, the default), or %3 (%4).")
                 .arg(PageLayout::helpText(Order::Column), PageLayout::name(Order::Column),
                      PageLayout::helpText(Order::Page), PageLayout::name(Order::Page)),
         {}, formatsTaking(Choice::PageOrder)},
        {Id::Widths, {"widths"}, {},
         QStringLiteral("pages: each glyph's width, its advance within the cell, in a byte before its bytes, "
                        "as proportional fonts of page-addressed displays have it."),
         {}, formatsTaking(Choice::Widths)},
        {Id::Output, {"o", "output"}, QStringLiteral("FILE"),
         QStringLiteral("Writes FILE instead of standard output, whole or not at all: an existing file is "
                        "replaced only once the export is complete. A device or a pipe is written into."),
         {}},
        {Id::Check, {"check"}, QStringLiteral("FILE"),
         QStringLiteral("Writes nothing; exits with status 1, naming the line where FILE first differs (and "
                        "for lines the glyph), when it is not byte for byte what the export would write."),
         {}},
        {Id::Size, {"size"}, QStringLiteral("COLSxROWS"),
         QStringLiteral("Source code and pictures: the matrix of each glyph, %1 to %2 each; default %3x%4.")
                 .arg(GlyphSet::kMinSize)
                 .arg(GlyphSet::kMaxSize)
                 .arg(array.cols)
                 .arg(array.rows),
         {Kind::Array, Kind::Image}},
        {Id::First, {"first"}, QStringLiteral("CODE"),
         QStringLiteral("Source code and pictures: the code point of the first glyph, written as for --range; "
                        "default %1.")
                 .arg(CodePoints::name(array.firstCodePoint)),
         {Kind::Array, Kind::Image}},
        {Id::Threshold, {"threshold"}, QStringLiteral("N"),
         QStringLiteral("Pictures: a pixel whose grey level (0 to 255) is below N is a set cell, N from 0 to %1; "
                        "default %2.")
                 .arg(kMaxThreshold)
                 .arg(image.threshold),
         {Kind::Image}},
        {Id::PixelSize, {"pixel-size"}, QStringLiteral("N"),
         QStringLiteral("TrueType and OpenType fonts: the size they are rendered at, 1 to %1 pixels; default %2. "
                        "Their code points come from --range, %3-%4 by default.")
                 .arg(kMaxPixelSize)
                 .arg(outline.pixelSize)
                 .arg(CodePoints::kFirstPrintable)
                 .arg(CodePoints::kLastPrintable),
         {Kind::OutlineFont}},
        {Id::Help, {"h", "help"}, {}, QStringLiteral("Writes the usage on standard output."), {}},
        {Id::Version, {"version"}, {}, QStringLiteral("Writes the program's name and version on standard output."),
         {}},
    };
}

QString typed(const QString &name)
{
    return (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
}

// `text` cut into lines of at most `width` characters at blanks; a word
// longer than a line stands alone.
QStringList wrapped(const QString &text, int width)
{
    QStringList lines;
    QString line;
    for (const QString &word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        if (!line.isEmpty() && line.size() + 1 + word.size() > width) {
            lines << line;
            line.clear();
        }
        line += (line.isEmpty() ? QString() : QStringLiteral(" ")) + word;
    }
    if (!line.isEmpty())
        lines << line;
    return lines;
}

} // namespace

const std::vector<Option> &all()
{
    static const std::vector<Option> options = table();
    return options;
}

const Option &option(Id id)
{
    for (const Option &option : all()) {
        if (option.id == id)
            return option;
    }
    Q_UNREACHABLE();
}

QString spelled(const Option &option)
{
    QStringList names;
    for (const QString &name : option.names)
        names << typed(name);
    return names.join(QStringLiteral(", "));
}

QString firstName(const Option &option)
{
    return typed(option.names.front());
}

bool appliesTo(const Option &option, FontKind::Kind kind)
{
    return option.kinds.isEmpty() || option.kinds.contains(kind);
}

bool appliesTo(const Option &option, FontExport::Format format)
{
    return option.formats.isEmpty() || option.formats.contains(format);
}

bool appliesToBdf(const Option &option)
{
    switch (option.id) {
    case Id::Name:
    case Id::Comments:
    case Id::Range:
    case Id::Remap:
    case Id::PageOrder:
    case Id::Widths:
        return false;
    default:
        return true;
    }
}

QLatin1String bdfName()
{
    return QLatin1String("bdf");
}

bool listsValues(const Option &option)
{
    return option.valueName.contains(QLatin1Char('|'));
}

QString helpList(int width)
{
    constexpr int kIndent = 2;
    constexpr int kHelpColumn = 22;
    const QString margin(kHelpColumn, QLatin1Char(' '));
    QString text;
    for (const Option &option : all()) {
        QString head = QString(kIndent, QLatin1Char(' ')) + spelled(option);
        if (!option.valueName.isEmpty())
            head += QLatin1Char(' ') + option.valueName;
        const QStringList lines = wrapped(option.help, width - kHelpColumn);
        if (head.size() + 1 > kHelpColumn) {
            text += head + QLatin1Char('\n');
            head.clear();
        }
        for (const QString &line : lines) {
            text += (head.isEmpty() ? margin : head.leftJustified(kHelpColumn)) + line + QLatin1Char('\n');
            head.clear();
        }
    }
    return text;
}

} // namespace CommandOptions
