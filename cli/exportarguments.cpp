#include "exportarguments.h"

#include "codepoints.h"
#include "csource.h"
#include "glyphset.h"

#include <QFileInfo>

#include <QCommandLineOption>
#include <QCommandLineParser>

#include <map>

namespace {

// Digits alone: no sign, no blanks, no second prefix, which toUInt() would
// let pass.
bool parseNumber(QStringView text, int max, int *number)
{
    if (text.isEmpty())
        return false;
    for (const QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    }
    bool ok = false;
    const uint value = text.toUInt(&ok, 10);
    if (!ok || value > uint(max))
        return false;
    *number = int(value);
    return true;
}

// "5x7": five columns, seven rows, each within a glyph set's limits.
bool parseSize(QStringView text, QPair<int, int> *size)
{
    const qsizetype x = text.indexOf(QLatin1Char('x'), 0, Qt::CaseInsensitive);
    int cols = 0;
    int rows = 0;
    if (x < 0 || !parseNumber(text.left(x), GlyphSet::kMaxSize, &cols)
            || !parseNumber(text.mid(x + 1), GlyphSet::kMaxSize, &rows)
            || cols < GlyphSet::kMinSize || rows < GlyphSet::kMinSize)
        return false;
    *size = {cols, rows};
    return true;
}

} // namespace

QString ExportArguments::parse(const QStringList &arguments)
{
    using Id = CommandOptions::Id;
    std::map<Id, QCommandLineOption> options;
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    for (const CommandOptions::Option &option : CommandOptions::all()) {
        const QCommandLineOption parsed(option.names, option.help, option.valueName);
        options.emplace(option.id, parsed);
        parser.addOption(parsed);
    }
    // The parser skips the first argument, the program's name.
    if (!parser.parse(QStringList{QStringLiteral("export")} + arguments))
        return parser.errorText().chopped(parser.errorText().endsWith(QLatin1Char('.')) ? 1 : 0);

    const auto isSet = [&](Id id) { return parser.isSet(options.at(id)); };
    const auto value = [&](Id id) { return parser.value(options.at(id)); };
    for (const CommandOptions::Option &option : CommandOptions::all()) {
        if (isSet(option.id))
            given.append(option.id);
    }

    if (isSet(Id::Help)) {
        action = Action::Help;
        return {};
    }
    if (isSet(Id::Version)) {
        action = Action::Version;
        return {};
    }

    const QStringList positional = parser.positionalArguments();
    if (positional.isEmpty())
        return QStringLiteral("no font file named");
    if (positional.size() > 1)
        return QStringLiteral("one font file at a time: '%1' is one too many").arg(positional.at(1));
    font = positional.front();

    if (isSet(Id::Format)) {
        const std::optional<FontExport::Format> named = FontExport::formatNamed(value(Id::Format));
        if (!named)
            return QStringLiteral("--format: '%1' is none of %2").arg(value(Id::Format), FontExport::nameList());
        format = *named;
    }
    for (const Id id : std::as_const(given)) {
        if (!CommandOptions::appliesTo(CommandOptions::option(id), format))
            return QStringLiteral("%1 does not apply to --format %2")
                    .arg(CommandOptions::firstName(CommandOptions::option(id)), FontExport::name(format));
    }
    if (isSet(Id::Name)) {
        name = value(Id::Name);
        QString why;
        if (!CSource::isIdentifier(name, &why))
            return QStringLiteral("--name: %1").arg(why);
    }
    for (const QString &text : parser.values(options.at(Id::Remap))) {
        CodePoints::Remaps read;
        QString error;
        if (!CodePoints::parseRemaps(text, &read, &error))
            return QStringLiteral("--remap: ") + error;
        for (const CodePoints::Remap &remap : read) {
            for (const CodePoints::Remap &earlier : std::as_const(remaps)) {
                if (remap.first <= earlier.last && earlier.first <= remap.last)
                    return QStringLiteral("--remap: %1-%2 overlaps an earlier range")
                            .arg(CodePoints::name(remap.first), CodePoints::name(remap.last));
            }
            remaps.append(remap);
        }
    }
    if (isSet(Id::PageOrder)) {
        const QString order = value(Id::PageOrder);
        const std::optional<FontExport::PageOrder> named = PageLayout::orderNamed(order);
        if (!named)
            return QStringLiteral("--page-order: '%1' is neither column nor page").arg(order);
        pageOrder = *named;
    }
    widths = isSet(Id::Widths);

    if (isSet(Id::Orientation)) {
        order = BitOrder::fromName(value(Id::Orientation));
        if (!order)
            return QStringLiteral("--orientation: '%1' is none of %2").arg(value(Id::Orientation), BitOrder::nameList());
    }
    if (isSet(Id::Prefix))
        prefix = value(Id::Prefix);
    if (isSet(Id::Delimiter))
        delimiter = value(Id::Delimiter);
    comments = isSet(Id::Comments);
    for (const QString &text : parser.values(options.at(Id::Range))) {
        QString error;
        CodePoints::Ranges read;
        if (!CodePoints::parseRanges(text, &read, &error))
            return QStringLiteral("--range: ") + error;
        ranges.append(read);
    }
    outputFile = value(Id::Output);
    checkFile = value(Id::Check);
    if ((isSet(Id::Output) && outputFile.isEmpty()) || (isSet(Id::Check) && checkFile.isEmpty()))
        return QStringLiteral("-o and --check need a file name");
    if (!outputFile.isEmpty() && !checkFile.isEmpty())
        return QStringLiteral("-o and --check exclude each other: --check writes nothing");

    if (isSet(Id::Size)) {
        QPair<int, int> cells;
        if (!parseSize(value(Id::Size), &cells))
            return QStringLiteral("--size: '%1' is not COLSxROWS with %2 to %3 of each")
                    .arg(value(Id::Size)).arg(GlyphSet::kMinSize).arg(GlyphSet::kMaxSize);
        size = cells;
    }
    if (isSet(Id::First)) {
        int code = 0;
        if (!CodePoints::parse(value(Id::First), &code))
            return QStringLiteral("--first: '%1' is no code point (U+0041, 0x41 or 65)").arg(value(Id::First));
        firstCodePoint = code;
    }
    if (isSet(Id::Threshold)) {
        int level = 0;
        if (!parseNumber(value(Id::Threshold), CommandOptions::kMaxThreshold, &level))
            return QStringLiteral("--threshold: '%1' is not a grey level from 0 to %2")
                    .arg(value(Id::Threshold)).arg(CommandOptions::kMaxThreshold);
        threshold = level;
    }
    if (isSet(Id::PixelSize)) {
        int pixels = 0;
        if (!parseNumber(value(Id::PixelSize), CommandOptions::kMaxPixelSize, &pixels) || pixels < 1)
            return QStringLiteral("--pixel-size: '%1' is not a size from 1 to %2 pixels")
                    .arg(value(Id::PixelSize)).arg(CommandOptions::kMaxPixelSize);
        pixelSize = pixels;
    }
    return {};
}

std::optional<CommandOptions::Id> ExportArguments::unusedBy(FontKind::Kind kind) const
{
    for (const CommandOptions::Id id : given) {
        if (!CommandOptions::appliesTo(CommandOptions::option(id), kind))
            return id;
    }
    return std::nullopt;
}

FontExport::Options ExportArguments::exportOptions(const std::optional<ExportOptions> &stored) const
{
    FontExport::Options options;
    options.format = format;
    GlyphExport::Options &lines = options.lines;
    lines.output = stored.value_or(ExportOptions());
    if (order)
        lines.output.order = *order;
    if (prefix)
        lines.output.prefix = *prefix;
    if (delimiter)
        lines.output.delimiter = *delimiter;
    lines.comments = comments;
    lines.ranges = ranges;
    options.remaps = remaps;
    options.pageOrder = pageOrder;
    options.widths = widths;
    options.name = name;
    if (options.name.isEmpty()) {
        // "5x7.bdf" and "5x7.bdf.gz" alike give font_5x7.
        QString base = QFileInfo(font).fileName();
        if (base.endsWith(QLatin1String(".gz"), Qt::CaseInsensitive))
            base.chop(3);
        options.name = CSource::identifier(QFileInfo(base).completeBaseName());
    }
    return options;
}
