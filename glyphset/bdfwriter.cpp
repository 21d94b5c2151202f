#include "bdfformat.h"

#include "bdfwords.h"

#include <QSet>

#include <algorithm>
#include <array>
#include <cstring>

// BdfFormat::write. Every glyph gets the whole matrix as its BBX, so that a
// glyph reads back into the cells it came from whatever other glyphs hold.
namespace BdfFormat {

namespace {

// SIZE and SWIDTH need a resolution; a font that names none was made for
// the usual X11 75 dpi.
constexpr int kDefaultResolution = 75;

// Writes the decimal digits of `value` at `p`; returns the end.
char *writeNumber(char *p, qint64 value)
{
    char digits[24];
    int n = 0;
    const bool negative = value < 0;
    quint64 magnitude = negative ? quint64(0) - quint64(value) : quint64(value);
    do {
        digits[n++] = char('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude);
    if (negative)
        *p++ = '-';
    while (n)
        *p++ = digits[--n];
    return p;
}

void appendNumber(QByteArray &out, qint64 value)
{
    char text[24];
    out.append(text, writeNumber(text, value) - text);
}

void appendLine(QByteArray &out, const char *keyword, std::initializer_list<qint64> numbers)
{
    out.append(keyword);
    for (qint64 number : numbers) {
        out.append(' ');
        appendNumber(out, number);
    }
    out.append('\n');
}

// One line of text for a file whose lines end in LF: control characters
// become blanks, and the ends are trimmed.
QByteArray oneLine(const QByteArray &text)
{
    QByteArray line = text;
    for (char &c : line) {
        if (uchar(c) < 0x20 || c == 0x7F)
            c = ' ';
    }
    return line.trimmed();
}

// A BDF string, blanks kept: the prefix and delimiter are used as typed.
// A line can hold a tab but no other control character; those become blanks.
QByteArray quoted(const QString &text)
{
    QByteArray result = "\"";
    for (char c : text.toUtf8()) {
        if ((uchar(c) < 0x20 && c != '\t') || c == 0x7F)
            c = ' ';
        result.append(c);
        if (c == '"')
            result.append('"');
    }
    result.append('"');
    return result;
}

bool isWrittenAnew(const QByteArray &name)
{
    return name == "FONT_ASCENT" || name == "FONT_DESCENT" || name == "KELVOR_ORIENTATION"
           || name == "KELVOR_PREFIX" || name == "KELVOR_DELIMITER";
}

// A property line needs a name without blanks and a value on one line.
bool isWritable(const QPair<QByteArray, QByteArray> &property)
{
    const QByteArray &name = property.first;
    if (name.isEmpty() || isWrittenAnew(name))
        return false;
    const auto bad = [](char c) { return uchar(c) <= 0x20 || c == 0x7F; };
    return std::none_of(name.begin(), name.end(), bad)
           && std::none_of(property.second.begin(), property.second.end(),
                           [](char c) { return c == '\n' || c == '\r'; });
}

// A positive whole-number property, or 0.
qint64 numberProperty(const GlyphSet &set, const char *name)
{
    for (const auto &property : set.properties) {
        if (property.first == name) {
            qint64 value = 0;
            const QByteArray text = property.second.trimmed();
            const Word word(text.constData(), text.constData() + text.size());
            if (word.toNumber(&value) == Word::Number && value > 0 && value < 100000)
                return value;
            return 0;
        }
    }
    return 0;
}

QByteArray glyphName(const Glyph &glyph)
{
    QByteArray name = oneLine(glyph.name);
    if (!name.isEmpty() || glyph.codePoint < 0)
        return name;
    name = glyph.codePoint <= 0xFFFF ? "uni" : "u";
    name.append(QByteArray::number(glyph.codePoint, 16).toUpper().rightJustified(4, '0'));
    return name;
}

} // namespace

QByteArray write(const GlyphSet &set)
{
    const int cols = set.cols();
    const int rows = set.rows();
    const int bottom = set.ascent - rows;
    const int rowBytes = (cols + 7) / 8;

    // The point size and resolution the font's own properties give, so that
    // SIZE and SWIDTH agree with them.
    qint64 resolutionX = numberProperty(set, "RESOLUTION_X");
    qint64 resolutionY = numberProperty(set, "RESOLUTION_Y");
    qint64 decipoints = numberProperty(set, "POINT_SIZE");
    if (!resolutionX || !resolutionY || decipoints < 10) {
        resolutionX = resolutionY = kDefaultResolution;
        decipoints = rows * 10;
    }

    QByteArray out;
    out.reserve(4096 + set.size() * (128 + rows * (2 * rowBytes + 1)));
    out.append("STARTFONT 2.1\n");
    QByteArray fontName = oneLine(set.fontName);
    if (fontName.isEmpty()) {
        fontName = "-KELVOR-Glyphs-Medium-R-Normal--" + QByteArray::number(rows) + '-'
                   + QByteArray::number(decipoints) + "-75-75-C-" + QByteArray::number(cols * 10)
                   + "-ISO10646-1";
    }
    out.append("FONT ").append(fontName).append('\n');
    appendLine(out, "SIZE", {(decipoints + 5) / 10, resolutionX, resolutionY});
    appendLine(out, "FONTBOUNDINGBOX", {cols, rows, set.xOffset, bottom});

    QList<QPair<QByteArray, QByteArray>> kept;
    for (const auto &property : set.properties) {
        if (isWritable(property))
            kept.append(property);
    }
    appendLine(out, "STARTPROPERTIES", {kept.size() + 2 + (set.exportOptions ? 3 : 0)});
    for (const auto &property : kept)
        out.append(property.first).append(' ').append(property.second.trimmed()).append('\n');
    appendLine(out, "FONT_ASCENT", {set.ascent});
    appendLine(out, "FONT_DESCENT", {rows - set.ascent});
    if (set.exportOptions) {
        out.append("KELVOR_ORIENTATION ").append(quoted(set.exportOptions->order.name())).append('\n');
        out.append("KELVOR_PREFIX ").append(quoted(set.exportOptions->prefix)).append('\n');
        out.append("KELVOR_DELIMITER ").append(quoted(set.exportOptions->delimiter)).append('\n');
    }
    out.append("ENDPROPERTIES\n");
    appendLine(out, "CHARS", {set.size()});

    // Names for glyphs with neither a name nor a code point, unlike any other.
    QSet<QByteArray> names;
    int made = 0;
    const auto madeUpName = [&]() {
        if (names.isEmpty()) {
            for (const Glyph &glyph : set.glyphs())
                names.insert(glyphName(glyph));
        }
        QByteArray name;
        do
            name = "glyph" + QByteArray::number(made++);
        while (names.contains(name));
        names.insert(name);
        return name;
    };

    // The glyphs go straight into the buffer through a cursor: appending
    // them piece by piece costs more than all the rest of saving.
    QByteArray bbx;
    appendLine(bbx, "BBX", {cols, rows, set.xOffset, bottom});
    const qsizetype bbxWidthEnd = bbx.indexOf(' ', 4);
    static const char kHex[] = "0123456789ABCDEF";
    qsizetype used = out.size();
    for (const Glyph &glyph : set.glyphs()) {
        QByteArray name = glyphName(glyph);
        if (name.isEmpty())
            name = madeUpName();
        const qsizetype most = name.size() + 200 + rows * (2 * rowBytes + 1);
        if (out.size() - used < most)
            out.resize(std::max(out.size() * 2, used + most));
        char *p = out.data() + used;
        const auto put = [&p](const char *text, qsizetype length) {
            std::memcpy(p, text, size_t(length));
            p += length;
        };
        const auto putNumber = [&p](qint64 value) { p = writeNumber(p, value); };
        put("STARTCHAR ", 10);
        put(name.constData(), name.size());
        put("\nENCODING ", 10);
        putNumber(glyph.codePoint >= 0 ? glyph.codePoint : -1);
        const int advance = set.advanceOf(glyph);
        // Scalable width in thousandths of the point size, rounded.
        const qint64 scaled = qint64(advance) * 72000 * 10;
        const qint64 perEm = decipoints * resolutionX;
        put("\nSWIDTH ", 8);
        putNumber((scaled + (scaled >= 0 ? perEm / 2 : -perEm / 2)) / perEm);
        put(" 0\nDWIDTH ", 10);
        putNumber(advance);
        put(" 0\n", 3);
        // A glyph narrower than the matrix, with nothing drawn past its
        // advance, keeps its own width, as console-font tools expect of a
        // font with narrow and wide glyphs.
        std::array<quint32, GlyphSet::kMaxSize> bits{};
        quint32 beyond = 0;
        for (int r = 0; r < rows; ++r) {
            for (int c = 0; c < cols; ++c)
                bits[size_t(r)] = bits[size_t(r)] << 1 | (glyph.bits.isSet(r, c) ? 1u : 0u);
            beyond |= bits[size_t(r)];
        }
        int width = cols;
        if (advance > 0 && advance < cols && (beyond & ((1u << (cols - advance)) - 1)) == 0)
            width = advance;
        const int bytes = (width + 7) / 8;
        if (width == cols) {
            put(bbx.constData(), bbx.size());
        } else {
            put("BBX ", 4);
            putNumber(width);
            put(bbx.constData() + bbxWidthEnd, bbx.size() - bbxWidthEnd);
        }
        put("BITMAP\n", 7);
        for (int r = 0; r < rows; ++r) {
            const quint32 value = bits[size_t(r)] >> (cols - width) << (bytes * 8 - width);
            for (int digit = bytes * 2 - 1; digit >= 0; --digit)
                *p++ = kHex[(value >> (4 * digit)) & 0xF];
            *p++ = '\n';
        }
        put("ENDCHAR\n", 8);
        used = p - out.constData();
    }
    out.resize(used);
    out.append("ENDFONT\n");
    return out;
}

} // namespace BdfFormat
