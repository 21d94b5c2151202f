#include "u8g2source.h"

#include "exportchoices.h"
#include "u8g2font.h"
#include "u8x8font.h"

#include <QRegularExpression>

namespace U8g2Source {

namespace {

using CSourceReader::Declaration;
using CSourceReader::Value;

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

// The font's name from the comments before its declaration and after the
// one before it: the title of the first line this program writes ("NAME: 95
// glyphs ..., as a u8g2 font of 804 bytes."), or the converter's
// "Fontname: NAME" line. Empty where neither says, or where the title is the
// array's own name, which the writers put there for a font without a name.
QByteArray fontNameOf(const CSourceReader::Source &source, const Declaration &declaration, Kind kind)
{
    int after = 0;
    for (const Declaration &other : source.declarations) {
        if (other.line < declaration.line)
            after = other.line;
    }
    const QRegularExpression title(
            QStringLiteral("^(.*): \\d+ glyphs? .*, as a %1 font of \\d+ bytes\\.$").arg(libraryOf(kind)));
    QByteArray converterName;
    for (const CSourceReader::Comment &comment : source.comments) {
        if (comment.line <= after || comment.line >= declaration.line)
            continue;
        const QRegularExpressionMatch match = title.match(QString::fromUtf8(comment.text));
        if (match.hasMatch()) {
            const QByteArray name = match.captured(1).toUtf8();
            return name == declaration.name ? QByteArray() : name;
        }
        for (const QByteArray &line : comment.text.split('\n')) {
            const QByteArray trimmed = line.trimmed();
            if (trimmed.startsWith("Fontname:"))
                converterName = trimmed.mid(9).trimmed();
        }
    }
    return converterName;
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
    std::vector<FirmwareSource::Font> fonts;
    for (const Declaration &declaration : source.declarations) {
        QByteArray bytes;
        if (kindOf(declaration, &bytes) != kind)
            continue;
        FirmwareSource::Font font;
        font.format = formatOf(kind);
        font.name = QString::fromUtf8(declaration.name);
        font.line = declaration.line;
        font.external = declaration.external;
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
    GlyphSet &set = *opened.set;
    set.fontName = fontNameOf(source, *declaration, kind);
    ExportChoices choices;
    choices.format = formatOf(kind);
    choices.name = font.name;
    set.properties.append(choices.properties());
    ReadResult result(std::move(opened.set));
    result.fontGlyphs = opened.fontGlyphs;
    return result;
}

} // namespace U8g2Source
