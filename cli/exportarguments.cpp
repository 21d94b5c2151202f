#include "exportarguments.h"

#include "codepoints.h"

#include <QCommandLineOption>
#include <QCommandLineParser>

namespace {
constexpr int kMaxPixelSize = 256;
constexpr int kMaxThreshold = 256; // above every grey level: every pixel set

// Digits alone: no sign, no blanks, no second prefix, which toUInt() would
// let pass.
bool parseNumber(QStringView text, int base, int max, int *number)
{
    if (text.isEmpty())
        return false;
    for (const QChar c : text) {
        const bool digit = c >= QLatin1Char('0') && c <= QLatin1Char('9');
        const bool hexLetter = (c >= QLatin1Char('a') && c <= QLatin1Char('f')) || (c >= QLatin1Char('A') && c <= QLatin1Char('F'));
        if (!digit && !(base == 16 && hexLetter))
            return false;
    }
    bool ok = false;
    const uint value = text.toUInt(&ok, base);
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
    if (x < 0 || !parseNumber(text.left(x), 10, GlyphSet::kMaxSize, &cols)
            || !parseNumber(text.mid(x + 1), 10, GlyphSet::kMaxSize, &rows)
            || cols < GlyphSet::kMinSize || rows < GlyphSet::kMinSize)
        return false;
    *size = {cols, rows};
    return true;
}

} // namespace

bool ExportArguments::parseCode(QStringView text, int *code)
{
    return CodePoints::parse(text, code);
}

QString ExportArguments::parseRanges(QStringView text, QList<QPair<int, int>> *ranges)
{
    QString error;
    CodePoints::Ranges read;
    if (!CodePoints::parseRanges(text, &read, &error))
        return QStringLiteral("--range: ") + error;
    ranges->append(read);
    return {};
}

QString ExportArguments::parse(const QStringList &arguments)
{
    const QCommandLineOption orientationOption(QStringLiteral("orientation"), {}, QStringLiteral("vert|horiz|horiz-ltr"));
    const QCommandLineOption prefixOption(QStringLiteral("prefix"), {}, QStringLiteral("TEXT"));
    const QCommandLineOption delimiterOption(QStringLiteral("delimiter"), {}, QStringLiteral("TEXT"));
    const QCommandLineOption commentsOption(QStringLiteral("comments"));
    const QCommandLineOption rangeOption(QStringLiteral("range"), {}, QStringLiteral("A-B,C,..."));
    const QCommandLineOption outputOption(QStringList{QStringLiteral("o"), QStringLiteral("output")}, {}, QStringLiteral("FILE"));
    const QCommandLineOption checkOption(QStringLiteral("check"), {}, QStringLiteral("FILE"));
    const QCommandLineOption sizeOption(QStringLiteral("size"), {}, QStringLiteral("COLSxROWS"));
    const QCommandLineOption firstOption(QStringLiteral("first"), {}, QStringLiteral("CODE"));
    const QCommandLineOption thresholdOption(QStringLiteral("threshold"), {}, QStringLiteral("N"));
    const QCommandLineOption pixelSizeOption(QStringLiteral("pixel-size"), {}, QStringLiteral("N"));
    const QCommandLineOption helpOption(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption versionOption(QStringLiteral("version"));

    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOptions({orientationOption, prefixOption, delimiterOption, commentsOption, rangeOption,
                       outputOption, checkOption, sizeOption, firstOption, thresholdOption,
                       pixelSizeOption, helpOption, versionOption});
    // The parser skips the first argument, the program's name.
    if (!parser.parse(QStringList{QStringLiteral("export")} + arguments))
        return parser.errorText().chopped(parser.errorText().endsWith(QLatin1Char('.')) ? 1 : 0);

    if (parser.isSet(helpOption)) {
        action = Action::Help;
        return {};
    }
    if (parser.isSet(versionOption)) {
        action = Action::Version;
        return {};
    }

    const QStringList positional = parser.positionalArguments();
    if (positional.isEmpty())
        return QStringLiteral("no font file named");
    if (positional.size() > 1)
        return QStringLiteral("one font file at a time: '%1' is one too many").arg(positional.at(1));
    font = positional.front();

    if (parser.isSet(orientationOption)) {
        order = BitOrder::fromName(parser.value(orientationOption));
        if (!order)
            return QStringLiteral("--orientation: '%1' is none of %2")
                    .arg(parser.value(orientationOption), BitOrder::nameList());
    }
    if (parser.isSet(prefixOption))
        prefix = parser.value(prefixOption);
    if (parser.isSet(delimiterOption))
        delimiter = parser.value(delimiterOption);
    comments = parser.isSet(commentsOption);
    for (const QString &value : parser.values(rangeOption)) {
        const QString error = parseRanges(value, &ranges);
        if (!error.isEmpty())
            return error;
    }
    outputFile = parser.value(outputOption);
    checkFile = parser.value(checkOption);
    if ((parser.isSet(outputOption) && outputFile.isEmpty()) || (parser.isSet(checkOption) && checkFile.isEmpty()))
        return QStringLiteral("-o and --check need a file name");
    if (!outputFile.isEmpty() && !checkFile.isEmpty())
        return QStringLiteral("-o and --check exclude each other: --check writes nothing");

    if (parser.isSet(sizeOption)) {
        QPair<int, int> value;
        if (!parseSize(parser.value(sizeOption), &value))
            return QStringLiteral("--size: '%1' is not COLSxROWS with 3 to 16 of each").arg(parser.value(sizeOption));
        size = value;
    }
    if (parser.isSet(firstOption)) {
        int value = 0;
        if (!parseCode(parser.value(firstOption), &value))
            return QStringLiteral("--first: '%1' is no code point (U+0041, 0x41 or 65)").arg(parser.value(firstOption));
        firstCodePoint = value;
    }
    if (parser.isSet(thresholdOption)) {
        int value = 0;
        if (!parseNumber(parser.value(thresholdOption), 10, kMaxThreshold, &value))
            return QStringLiteral("--threshold: '%1' is not a grey level from 0 to 256").arg(parser.value(thresholdOption));
        threshold = value;
    }
    if (parser.isSet(pixelSizeOption)) {
        int value = 0;
        if (!parseNumber(parser.value(pixelSizeOption), 10, kMaxPixelSize, &value) || value < 1)
            return QStringLiteral("--pixel-size: '%1' is not a size from 1 to %2 pixels")
                    .arg(parser.value(pixelSizeOption)).arg(kMaxPixelSize);
        pixelSize = value;
    }
    return {};
}
