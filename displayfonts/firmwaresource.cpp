#include "firmwaresource.h"

#include <QSet>
#include <QStringList>

#include <algorithm>

namespace FirmwareSource {

namespace {

// A chooser's message names this many fonts and counts the rest.
constexpr qsizetype kNamesListed = 10;

std::vector<Font> fontsIn(const CSourceReader::Source &source)
{
    std::vector<Font> fonts;
    QSet<QString> claimed;
    for (FontExport::Format format : FontExport::formats()) {
        const FontExport::Reader reader = FontExport::readerOf(format);
        if (!reader.find || !reader.read)
            continue;
        for (Font &font : reader.find(source)) {
            if (claimed.contains(font.name))
                continue;
            claimed.insert(font.name);
            fonts.push_back(std::move(font));
        }
    }
    std::stable_sort(fonts.begin(), fonts.end(), [](const Font &a, const Font &b) { return a.line < b.line; });
    return fonts;
}

QString nameList(const std::vector<Font> &fonts)
{
    QStringList names;
    for (size_t i = 0; i < fonts.size() && qsizetype(i) < kNamesListed; ++i)
        names.append(fonts[i].name);
    QString list = names.join(QLatin1String(", "));
    if (qsizetype(fonts.size()) > kNamesListed)
        list += QStringLiteral(" and %1 more").arg(qsizetype(fonts.size()) - kNamesListed);
    return list;
}

} // namespace

Scan scan(QByteArrayView text, const QString &path)
{
    Scan result;
    const CSourceReader::Source source = CSourceReader::read(text);
    if (!source.ok())
        result.error = ReadResult::atLine(path, source.errorLine, source.error).error;
    else
        result.fonts = fontsIn(source);
    return result;
}

ReadResult read(QByteArrayView text, const QString &path, const QString &name)
{
    const CSourceReader::Source source = CSourceReader::read(text);
    if (!source.ok())
        return ReadResult::atLine(path, source.errorLine, source.error);
    const std::vector<Font> fonts = fontsIn(source);
    if (fonts.empty())
        return ReadResult::failure(QStringLiteral("%1 holds no font for a display library").arg(path));
    const auto chosen = name.isEmpty() && fonts.size() == 1
            ? fonts.begin()
            : std::find_if(fonts.begin(), fonts.end(), [&name](const Font &font) { return font.name == name; });
    if (chosen == fonts.end()) {
        const QString why = name.isEmpty()
                ? QStringLiteral("%1 holds %2 fonts; choose one with its name").arg(path).arg(fonts.size())
                : QStringLiteral("%1 holds no font named '%2'; it holds").arg(path, name);
        return ReadResult::failure(QStringLiteral("%1: %2").arg(why, nameList(fonts)));
    }
    return FontExport::readerOf(chosen->format).read(source, *chosen, path);
}

} // namespace FirmwareSource
