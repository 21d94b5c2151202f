#include "exportchoices.h"

#include "bdfwords.h"
#include "csource.h"
#include "fontkind.h"

#include <optional>

namespace {

constexpr char kPrefix[] = "KELVOR_EXPORT_";

QString escaped(const QString &text)
{
    QString result = text;
    result.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    result.replace(QLatin1Char('\n'), QLatin1String("\\n"));
    return result;
}

// A backslash before anything but "n" or a backslash stands for itself.
QString unescaped(const QString &text)
{
    QString result;
    result.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar next = i + 1 < text.size() ? text[i + 1] : QChar();
        if (text[i] == QLatin1Char('\\') && (next == QLatin1Char('n') || next == QLatin1Char('\\'))) {
            result += next == QLatin1Char('n') ? QLatin1Char('\n') : QLatin1Char('\\');
            ++i;
        } else {
            result += text[i];
        }
    }
    return result;
}

std::optional<QString> stringValue(const QByteArray &value)
{
    const QByteArray trimmed = value.trimmed();
    QByteArray text;
    if (!BdfFormat::unquote(BdfFormat::Word(trimmed.constData(), trimmed.constData() + trimmed.size()), &text))
        return std::nullopt;
    return QString::fromUtf8(text);
}

std::optional<int> numberValue(const QByteArray &value, int low, int high)
{
    bool ok = false;
    const int number = value.trimmed().toInt(&ok);
    if (!ok || number < low || number > high)
        return std::nullopt;
    return number;
}

} // namespace

QString ExportChoices::defaultSample()
{
    return QStringLiteral("The quick brown fox 0123");
}

QString ExportChoices::defaultName(const QString &fontPath)
{
    return CSource::identifier(FontKind::stem(fontPath));
}

QString ExportChoices::defaultName(const QString &fontPath, FontExport::Format format)
{
    const QString name = defaultName(fontPath);
    return FontExport::isName(format, name) ? name : name + QLatin1Char('_');
}

ExportChoices::Properties ExportChoices::properties() const
{
    const ExportChoices defaults;
    Properties result;
    const auto add = [&result](const char *name, const QByteArray &value) {
        result.append({QByteArray(kPrefix) + name, value});
    };
    if (format != defaults.format)
        add("FORMAT", BdfFormat::quoted(FontExport::name(format)));
    if (name != defaults.name)
        add("NAME", BdfFormat::quoted(name));
    if (comments != defaults.comments)
        add("COMMENTS", QByteArray::number(int(comments)));
    if (pageOrder != defaults.pageOrder)
        add("PAGE_ORDER", BdfFormat::quoted(PageLayout::name(pageOrder)));
    if (widths != defaults.widths)
        add("WIDTHS", QByteArray::number(int(widths)));
    if (codePoints != defaults.codePoints)
        add("CODE_POINTS", BdfFormat::quoted(codePoints));
    if (remaps != defaults.remaps)
        add("REMAPS", BdfFormat::quoted(remaps));
    if (sample != defaults.sample)
        add("SAMPLE", BdfFormat::quoted(escaped(sample)));
    if (displayWidth != defaults.displayWidth)
        add("DISPLAY_WIDTH", QByteArray::number(displayWidth));
    if (displayHeight != defaults.displayHeight)
        add("DISPLAY_HEIGHT", QByteArray::number(displayHeight));
    return result;
}

ExportChoices ExportChoices::fromProperties(const Properties &properties)
{
    ExportChoices choices;
    for (const auto &[fullName, value] : properties) {
        if (!isChoice(fullName))
            continue;
        const QByteArray name = fullName.mid(qsizetype(sizeof kPrefix) - 1);
        const std::optional<QString> text = stringValue(value);
        if (name == "FORMAT") {
            if (const auto format = FontExport::formatNamed(text.value_or(QString())))
                choices.format = *format;
        } else if (name == "PAGE_ORDER") {
            if (const auto order = PageLayout::orderNamed(text.value_or(QString())))
                choices.pageOrder = *order;
        } else if (name == "COMMENTS" || name == "WIDTHS") {
            if (const auto number = numberValue(value, 0, 1))
                (name == "COMMENTS" ? choices.comments : choices.widths) = *number == 1;
        } else if (name == "DISPLAY_WIDTH" || name == "DISPLAY_HEIGHT") {
            if (const auto number = numberValue(value, 1, kLargestDisplay))
                (name == "DISPLAY_WIDTH" ? choices.displayWidth : choices.displayHeight) = *number;
        } else if (text) {
            if (name == "NAME")
                choices.name = *text;
            else if (name == "CODE_POINTS")
                choices.codePoints = *text;
            else if (name == "REMAPS")
                choices.remaps = *text;
            else if (name == "SAMPLE")
                choices.sample = unescaped(*text);
        }
    }
    return choices;
}

bool ExportChoices::isChoice(const QByteArray &name)
{
    return name.startsWith(kPrefix);
}

bool ExportChoices::operator==(const ExportChoices &other) const
{
    return format == other.format && name == other.name && comments == other.comments
           && pageOrder == other.pageOrder && widths == other.widths && codePoints == other.codePoints
           && remaps == other.remaps && sample == other.sample && displayWidth == other.displayWidth
           && displayHeight == other.displayHeight;
}
