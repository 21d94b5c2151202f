#include "glyphexport.h"

#include "codepoints.h"

#include "copytotext.h"

#include <QChar>
#include <QIODevice>

namespace GlyphExport {

namespace {
const QLatin1String kLineBreak("\r\n");

// Whether the character can stand between quotes in a comment and be read
// there: not a control or format character (a bidirectional override would
// reorder the source around it), no half of a surrogate pair, no combining
// mark (it would sit on the quote), no line or paragraph separator (some
// editors and compilers break the line there), and assigned.
bool quotable(int codePoint)
{
    if (codePoint < 0 || codePoint > CodePoints::kMax)
        return false;
    switch (QChar::category(char32_t(codePoint))) {
    case QChar::Other_Control:
    case QChar::Other_Format:
    case QChar::Other_Surrogate:
    case QChar::Other_PrivateUse:
    case QChar::Other_NotAssigned:
    case QChar::Mark_NonSpacing:
    case QChar::Mark_SpacingCombining:
    case QChar::Mark_Enclosing:
    case QChar::Separator_Line:
    case QChar::Separator_Paragraph:
        return false;
    default:
        return true;
    }
}

// A font's glyph name as plain printable ASCII without blanks: anything else
// becomes '_'. It must not end the comment with a backslash, nor with the
// trigraph that strict C compilers read as one (two question marks and a
// slash): either would carry the comment on to the next line and swallow
// the next glyph's bytes.
QString safeName(const QByteArray &name)
{
    QString safe;
    safe.reserve(name.size());
    for (const char byte : name)
        safe += byte > 0x20 && byte < 0x7F ? QLatin1Char(byte) : QLatin1Char('_');
    if (safe.endsWith(QLatin1Char('\\')) || safe.endsWith(QLatin1String("?\?/")))
        safe[safe.size() - 1] = QLatin1Char('_');
    return safe;
}

// The line with its CR LF.
QString fullLine(const Glyph &glyph, const Options &options)
{
    const ExportOptions &output = options.output;
    QString result = CopyToText::line(output.order.hexString(glyph.bits), output.prefix, output.delimiter);
    if (options.comments) {
        result.chop(kLineBreak.size());
        result += QLatin1String(" // ") + label(glyph) + kLineBreak;
    }
    return result;
}
} // namespace

bool keeps(const Glyph &glyph, const Options &options)
{
    if (options.ranges.isEmpty())
        return true;
    if (glyph.codePoint == Glyph::kNoCodePoint)
        return false;
    for (const auto &range : options.ranges) {
        if (glyph.codePoint >= range.first && glyph.codePoint <= range.second)
            return true;
    }
    return false;
}

QString label(const Glyph &glyph)
{
    const QString name = safeName(glyph.name);
    if (glyph.codePoint < 0)
        return name.isEmpty() ? QStringLiteral("unnamed glyph") : name;

    QString result = CodePoints::name(glyph.codePoint);
    if (quotable(glyph.codePoint)) {
        const char32_t character = char32_t(glyph.codePoint);
        result += QLatin1String(" '") + QString::fromUcs4(&character, 1) + QLatin1Char('\'');
    } else if (!name.isEmpty()) {
        result += QLatin1Char(' ') + name;
    }
    return result;
}

QString line(const Glyph &glyph, const Options &options)
{
    QString result = fullLine(glyph, options);
    result.chop(kLineBreak.size());
    return result;
}

void forEachLine(const GlyphSet &set, const Options &options,
                 const std::function<void(qsizetype, const QString &)> &line)
{
    for (qsizetype i = 0; i < set.size(); ++i) {
        const Glyph &glyph = set.at(i);
        if (keeps(glyph, options))
            line(i, fullLine(glyph, options));
    }
}

QString text(const GlyphSet &set, const Options &options)
{
    QString result;
    forEachLine(set, options, [&result](qsizetype, const QString &line) { result += line; });
    return result;
}

Difference check(QIODevice &existing, const GlyphSet &set, const Options &options)
{
    Difference difference;
    qint64 lineNumber = 0;
    forEachLine(set, options, [&](qsizetype index, const QString &line) {
        if (!difference.same())
            return;
        ++lineNumber;
        const QByteArray expected = line.toUtf8();
        const QByteArray found = existing.read(expected.size());
        if (found == expected)
            return;
        difference.line = lineNumber;
        difference.what = found.isEmpty()
                ? QStringLiteral("the text ends before %1").arg(label(set.at(index)))
                : QStringLiteral("%1 differs").arg(label(set.at(index)));
    });
    if (difference.same() && !existing.read(1).isEmpty()) {
        difference.line = lineNumber + 1;
        difference.what = QStringLiteral("the text goes on after the last glyph");
    }
    return difference;
}

} // namespace GlyphExport
