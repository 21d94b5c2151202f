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

// Whether text names what only a display library's font declares, so that
// C that cannot be read is a damaged font rather than some other source.
bool namesFontTypes(QByteArrayView text)
{
    for (const char *mark : {"GFXfont", "GFXglyph", "U8G2_FONT_SECTION", "U8X8_FONT_SECTION"}) {
        if (text.indexOf(QByteArrayView(mark)) >= 0)
            return true;
    }
    return false;
}

ReadResult readChosen(const Scan &scan, const CSourceReader::Source &source, const QString &path, const QString &name);

} // namespace

Scan scan(QByteArrayView text, const QString &path)
{
    Scan result;
    auto source = std::make_shared<CSourceReader::Source>(CSourceReader::read(text));
    if (source->ok()) {
        result.fonts = fontsIn(*source);
        result.source = std::move(source);
    } else if (namesFontTypes(text)) {
        result.error = ReadResult::atLine(path, source->errorLine, source->error).error;
    }
    return result;
}

ReadResult read(QByteArrayView text, const QString &path, const QString &name)
{
    const CSourceReader::Source source = CSourceReader::read(text);
    if (!source.ok())
        return ReadResult::atLine(path, source.errorLine, source.error);
    Scan scanned;
    scanned.fonts = fontsIn(source);
    return readChosen(scanned, source, path, name);
}

ReadResult read(const Scan &scan, const QString &path, const QString &name)
{
    if (!scan.source)
        return ReadResult::failure(scan.error.isEmpty() ? QStringLiteral("%1 holds no font for a display library").arg(path)
                                                        : scan.error);
    return readChosen(scan, *scan.source, path, name);
}

namespace {
// The font `name` of those `scan` found in `source`.
ReadResult readChosen(const Scan &scan, const CSourceReader::Source &source, const QString &path, const QString &name)
{
    const std::vector<Font> &fonts = scan.fonts;
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
    ReadResult result = FontExport::readerOf(chosen->format).read(source, *chosen, path);
    if (result.ok())
        result.sourceFont = chosen->name;
    return result;
}

} // namespace

std::optional<QByteArray> replaced(QByteArrayView original, const QString &path, const QString &name,
                                   QByteArrayView written, QString *error)
{
    const Scan before = scan(original, path);
    const auto old = std::find_if(before.fonts.begin(), before.fonts.end(),
                                  [&name](const Font &font) { return font.name == name; });
    const Scan after = scan(written, path);
    if (old == before.fonts.end() || after.fonts.size() != 1) {
        *error = QStringLiteral("%1 no longer holds the font %2; save it as BDF instead").arg(path, name);
        return std::nullopt;
    }
    if (old->wholeFile)
        return written.toByteArray();
    const Font &font = after.fonts.front();
    if (old->spans.empty() || font.spans.size() != old->spans.size()) {
        *error = QStringLiteral("%1: the font %2 is declared in another form than its format writes; save it as "
                                "BDF instead").arg(path, name);
        return std::nullopt;
    }
    for (const auto &[begin, end] : old->spans) {
        if (original.sliced(begin, end - begin).contains("\n#")) {
            *error = QStringLiteral("%1: the font %2 holds #if blocks, which saving would drop; save it as BDF "
                                    "instead").arg(path, name);
            return std::nullopt;
        }
    }
    QByteArray text;
    text.reserve(original.size() + written.size());
    qsizetype at = 0;
    for (size_t i = 0; i < old->spans.size(); ++i) {
        text.append(original.sliced(at, old->spans[i].first - at));
        text.append(written.sliced(font.spans[i].first, font.spans[i].second - font.spans[i].first));
        at = old->spans[i].second;
    }
    text.append(original.sliced(at));
    return text;
}

} // namespace FirmwareSource
