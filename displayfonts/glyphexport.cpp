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
QByteArray safeName(const QByteArray &name)
{
    QByteArray safe(name.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < name.size(); ++i)
        safe[i] = name[i] > 0x20 && name[i] < 0x7F ? name[i] : '_';
    if (safe.endsWith('\\') || safe.endsWith("?\?/"))
        safe[safe.size() - 1] = '_';
    return safe;
}

void appendUtf8(QByteArray *out, char32_t c)
{
    if (c < 0x80) {
        out->append(char(c));
    } else if (c < 0x800) {
        out->append(char(0xC0 | c >> 6));
        out->append(char(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out->append(char(0xE0 | c >> 12));
        out->append(char(0x80 | (c >> 6 & 0x3F)));
        out->append(char(0x80 | (c & 0x3F)));
    } else {
        out->append(char(0xF0 | c >> 18));
        out->append(char(0x80 | (c >> 12 & 0x3F)));
        out->append(char(0x80 | (c >> 6 & 0x3F)));
        out->append(char(0x80 | (c & 0x3F)));
    }
}

// label() in UTF-8.
void appendLabel(QByteArray *out, const Glyph &glyph, int source = Glyph::kNoCodePoint)
{
    const QByteArray name = safeName(glyph.name);
    if (glyph.codePoint < 0) {
        out->append(name.isEmpty() ? QByteArray("unnamed glyph") : name);
        return;
    }
    char codePoint[10];
    out->append(codePoint, CodePoints::writeName(glyph.codePoint, codePoint));
    if (source != Glyph::kNoCodePoint && source != glyph.codePoint) {
        // "U+00C0 from U+0410 'А'": where it stands, then what it draws.
        Glyph drawn = glyph;
        drawn.codePoint = source;
        out->append(" from ");
        appendLabel(out, drawn);
        return;
    }
    if (quotable(glyph.codePoint)) {
        out->append(" '");
        appendUtf8(out, char32_t(glyph.codePoint));
        out->append('\'');
    } else if (!name.isEmpty()) {
        out->append(' ');
        out->append(name);
    }
}

// What every line of one export shares.
struct Writer
{
    explicit Writer(const Options &options)
        : options(options)
        , prefix(options.output.prefix.toUtf8())
        , delimiter(options.output.delimiter.toUtf8())
    {
    }

    // The glyph's line with its CR LF, in UTF-8, appended to `out`.
    void append(QByteArray *out, const Glyph &glyph, int source = Glyph::kNoCodePoint) const
    {
        char hex[BitOrder::kMaxHexLength];
        const int length = options.output.order.writeHex(glyph.bits, hex);
        CopyToText::appendAsciiLine(out, QByteArrayView(hex, length), prefix, delimiter);
        if (options.comments) {
            out->chop(kLineBreak.size());
            out->append(" // ");
            appendLabel(out, glyph, source);
            out->append(kLineBreak.data(), kLineBreak.size());
        }
    }

    const Options &options;
    const QByteArray prefix;
    const QByteArray delimiter;
};
} // namespace

bool keeps(const Glyph &glyph, const Options &options)
{
    if (options.ranges.isEmpty())
        return true;
    return glyph.codePoint != Glyph::kNoCodePoint && CodePoints::contains(options.ranges, glyph.codePoint);
}

QString label(const Glyph &glyph, int source)
{
    QByteArray text;
    appendLabel(&text, glyph, source);
    return QString::fromUtf8(text);
}

int sourceOf(const Sources &sources, qsizetype index)
{
    return size_t(index) < sources.size() ? sources[size_t(index)] : Glyph::kNoCodePoint;
}

QString line(const Glyph &glyph, const Options &options)
{
    QByteArray text;
    Writer(options).append(&text, glyph);
    text.chop(kLineBreak.size());
    return QString::fromUtf8(text);
}

void forEachLine(const GlyphSet &set, const Options &options,
                 const std::function<void(qsizetype, QByteArrayView)> &line)
{
    const Writer writer(options);
    QByteArray text;
    for (qsizetype i = 0; i < set.size(); ++i) {
        const Glyph &glyph = set.at(i);
        if (keeps(glyph, options)) {
            text.clear();
            writer.append(&text, glyph);
            line(i, text);
        }
    }
}

void write(const GlyphSet &set, const Options &options, const std::function<void(QByteArrayView)> &part)
{
    write(set, options, {}, part);
}

void write(const GlyphSet &set, const Options &options, const Sources &sources,
           const std::function<void(QByteArrayView)> &part)
{
    const Writer writer(options);
    QByteArray chunk;
    chunk.reserve(kPartBytes + 4096);
    for (qsizetype i = 0; i < set.size(); ++i) {
        const Glyph &glyph = set.at(i);
        if (!keeps(glyph, options))
            continue;
        writer.append(&chunk, glyph, sourceOf(sources, i));
        if (chunk.size() >= kPartBytes) {
            part(chunk);
            chunk.clear();
        }
    }
    if (!chunk.isEmpty())
        part(chunk);
}

QString text(const GlyphSet &set, const Options &options, const Sources &sources)
{
    QString result;
    write(set, options, sources, [&result](QByteArrayView part) { result += QString::fromUtf8(part); });
    return result;
}

Difference check(QIODevice &existing, const GlyphSet &set, const Options &options)
{
    Difference difference;
    qint64 lineNumber = 0;
    forEachLine(set, options, [&](qsizetype index, QByteArrayView expected) {
        if (!difference.same())
            return;
        ++lineNumber;
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
