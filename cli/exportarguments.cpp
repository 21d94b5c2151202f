#include "exportarguments.h"

#include "codepoints.h"
#include "exportchoices.h"
#include "glyphset.h"

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

using Id = CommandOptions::Id;

// Reads an option's values (the last one counts, but for the options that
// may be given more than once) into the arguments; what is wrong with them,
// or an empty string.
using Reader = QString (*)(ExportArguments &arguments, const QStringList &values);

QString readFormat(ExportArguments &arguments, const QStringList &values)
{
    arguments.bdf = values.last() == CommandOptions::bdfName();
    if (arguments.bdf)
        return {};
    const std::optional<FontExport::Format> named = FontExport::formatNamed(values.last());
    if (!named)
        return QStringLiteral("--format: '%1' is none of %2, %3")
                .arg(values.last(), FontExport::nameList(), CommandOptions::bdfName());
    arguments.format = *named;
    return {};
}

QString readFont(ExportArguments &arguments, const QStringList &values)
{
    arguments.fontName = values.last();
    return {};
}

QString readName(ExportArguments &arguments, const QStringList &values)
{
    arguments.name = values.last();
    QString why;
    if (!FontExport::isName(arguments.format, arguments.name, &why))
        return QStringLiteral("--name: %1").arg(why);
    return {};
}

QString readOrientation(ExportArguments &arguments, const QStringList &values)
{
    arguments.order = BitOrder::fromName(values.last());
    if (!arguments.order)
        return QStringLiteral("--orientation: '%1' is none of %2").arg(values.last(), BitOrder::nameList());
    return {};
}

QString readPrefix(ExportArguments &arguments, const QStringList &values)
{
    arguments.prefix = values.last();
    return {};
}

QString readDelimiter(ExportArguments &arguments, const QStringList &values)
{
    arguments.delimiter = values.last();
    return {};
}

QString readComments(ExportArguments &arguments, const QStringList &)
{
    arguments.comments = true;
    return {};
}

QString readRanges(ExportArguments &arguments, const QStringList &values)
{
    for (const QString &text : values) {
        QString error;
        CodePoints::Ranges read;
        if (!CodePoints::parseRanges(text, &read, &error))
            return QStringLiteral("--range: ") + error;
        arguments.ranges.append(read);
    }
    return {};
}

QString readRemaps(ExportArguments &arguments, const QStringList &values)
{
    for (const QString &text : values) {
        CodePoints::Remaps read;
        QString error;
        if (!CodePoints::parseRemaps(text, &read, &error))
            return QStringLiteral("--remap: ") + error;
        for (const CodePoints::Remap &remap : read) {
            if (CodePoints::overlaps(arguments.remaps, remap))
                return QStringLiteral("--remap: %1-%2 overlaps an earlier range")
                        .arg(CodePoints::name(remap.first), CodePoints::name(remap.last));
            arguments.remaps.append(remap);
        }
    }
    return {};
}

QString readPageOrder(ExportArguments &arguments, const QStringList &values)
{
    const std::optional<PageLayout::Order> named = PageLayout::orderNamed(values.last());
    if (!named)
        return QStringLiteral("--page-order: '%1' is neither %2 nor %3")
                .arg(values.last(), PageLayout::name(PageLayout::Order::Column), PageLayout::name(PageLayout::Order::Page));
    arguments.pageOrder = *named;
    return {};
}

QString readWidths(ExportArguments &arguments, const QStringList &)
{
    arguments.widths = true;
    return {};
}

QString readFile(QString *file, const QStringList &values)
{
    *file = values.last();
    return file->isEmpty() ? QStringLiteral("-o and --check need a file name") : QString();
}

QString readOutput(ExportArguments &arguments, const QStringList &values)
{
    return readFile(&arguments.outputFile, values);
}

QString readCheck(ExportArguments &arguments, const QStringList &values)
{
    return readFile(&arguments.checkFile, values);
}

QString readSize(ExportArguments &arguments, const QStringList &values)
{
    QPair<int, int> cells;
    if (!parseSize(values.last(), &cells))
        return QStringLiteral("--size: '%1' is not COLSxROWS with %2 to %3 of each")
                .arg(values.last()).arg(GlyphSet::kMinSize).arg(GlyphSet::kMaxSize);
    arguments.size = cells;
    return {};
}

QString readFirst(ExportArguments &arguments, const QStringList &values)
{
    int code = 0;
    if (!CodePoints::parse(values.last(), &code))
        return QStringLiteral("--first: '%1' is no code point (U+0041, 0x41 or 65)").arg(values.last());
    arguments.firstCodePoint = code;
    return {};
}

QString readThreshold(ExportArguments &arguments, const QStringList &values)
{
    int level = 0;
    if (!parseNumber(values.last(), CommandOptions::kMaxThreshold, &level))
        return QStringLiteral("--threshold: '%1' is not a grey level from 0 to %2")
                .arg(values.last()).arg(CommandOptions::kMaxThreshold);
    arguments.threshold = level;
    return {};
}

QString readPixelSize(ExportArguments &arguments, const QStringList &values)
{
    int pixels = 0;
    if (!parseNumber(values.last(), CommandOptions::kMaxPixelSize, &pixels) || pixels < 1)
        return QStringLiteral("--pixel-size: '%1' is not a size from 1 to %2 pixels")
                .arg(values.last()).arg(CommandOptions::kMaxPixelSize);
    arguments.pixelSize = pixels;
    return {};
}

// How each option of the table is read; --help and --version end the
// parsing before any is.
const std::map<Id, Reader> kReaders = {
    {Id::Format, readFormat},       {Id::Font, readFont},         {Id::Name, readName},         {Id::Orientation, readOrientation},
    {Id::Prefix, readPrefix},       {Id::Delimiter, readDelimiter}, {Id::Comments, readComments},
    {Id::Range, readRanges},        {Id::Remap, readRemaps},      {Id::PageOrder, readPageOrder},
    {Id::Widths, readWidths},       {Id::Output, readOutput},     {Id::Check, readCheck},
    {Id::Size, readSize},           {Id::First, readFirst},       {Id::Threshold, readThreshold},
    {Id::PixelSize, readPixelSize},
};

} // namespace

QString ExportArguments::parse(const QStringList &arguments)
{
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

    for (const CommandOptions::Option &option : CommandOptions::all()) {
        if (parser.isSet(options.at(option.id)))
            given.append(option.id);
    }
    if (given.contains(Id::Help) || given.contains(Id::Version)) {
        action = given.contains(Id::Help) ? Action::Help : Action::Version;
        return {};
    }

    const QStringList positional = parser.positionalArguments();
    if (positional.isEmpty())
        return QStringLiteral("no font file named");
    if (positional.size() > 1)
        return QStringLiteral("one font file at a time: '%1' is one too many").arg(positional.at(1));
    font = positional.front();

    // The format first: which of the other options apply depends on it.
    if (given.contains(Id::Format)) {
        if (const QString error = readFormat(*this, parser.values(options.at(Id::Format))); !error.isEmpty())
            return error;
    }
    for (const Id id : std::as_const(given)) {
        const CommandOptions::Option &option = CommandOptions::option(id);
        if (bdf ? !CommandOptions::appliesToBdf(option) : !CommandOptions::appliesTo(option, format))
            return QStringLiteral("%1 does not apply to --format %2")
                    .arg(CommandOptions::firstName(option),
                         bdf ? QString(CommandOptions::bdfName()) : QString(FontExport::name(format)));
    }
    for (const Id id : std::as_const(given)) {
        if (id == Id::Format)
            continue;
        if (const QString error = kReaders.at(id)(*this, parser.values(options.at(id))); !error.isEmpty())
            return error;
    }
    if (!outputFile.isEmpty() && !checkFile.isEmpty())
        return QStringLiteral("-o and --check exclude each other: --check writes nothing");
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

FontExport::Options ExportArguments::exportOptions(const GlyphSet &set) const
{
    const ExportChoices choices = ExportChoices::fromProperties(set.properties);
    FontExport::Options options;
    options.format = format;
    GlyphExport::Options &lines = options.lines;
    lines.output = set.exportOptions.value_or(ExportOptions());
    if (order)
        lines.output.order = *order;
    if (prefix)
        lines.output.prefix = *prefix;
    if (delimiter)
        lines.output.delimiter = *delimiter;
    lines.comments = comments;
    lines.ranges = ranges;
    options.remaps = remaps;
    // A font read from a display library's source keeps the name and the
    // choices it was written with, so that it is written again as it was.
    options.pageOrder = given.contains(Id::PageOrder) ? pageOrder : choices.pageOrder;
    options.widths = widths || (!given.contains(Id::Widths) && choices.widths);
    if (!name.isEmpty())
        options.name = name;
    else if (FontExport::isName(options.format, choices.name))
        options.name = choices.name;
    else
        options.name = ExportChoices::defaultName(font, options.format);
    return options;
}
