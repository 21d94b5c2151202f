#include "bdfformat.h"

#include "bdfwords.h"
#include "hexdigits.h"

#include <QByteArrayView>
#include <QSet>

#include <algorithm>
#include <array>
#include <cstring>

// BdfFormat::write: the header, the properties, then each glyph, in the
// order the file has them. Every glyph's BBX is the whole matrix, or its
// left part up to the glyph's advance (bitmapWidth), so that a glyph reads
// back into the cells it came from whatever other glyphs hold.
namespace BdfFormat {

namespace {

// SIZE and SWIDTH need a resolution; a font that names none was made for
// the usual X11 75 dpi.
constexpr int kDefaultResolution = 75;

// The file's text, appended a word, a character or a number at a time; a
// word's length is its own (a literal's is known to the compiler), never
// counted by hand. Everything goes straight into room kept at the end of
// the buffer, grown when it runs out: QByteArray::append for each word
// would nearly double the time of saving a large font.
class Text
{
public:
    // `expected` is only where the buffer starts: a wrong guess costs a
    // regrowth, never a byte of the text.
    explicit Text(qsizetype expected) { grow(expected); }

    Text &operator<<(QByteArrayView word)
    {
        std::memcpy(room(word.size()), word.data(), size_t(word.size()));
        m_next += word.size();
        return *this;
    }
    Text &operator<<(char c)
    {
        *room(1) = c;
        ++m_next;
        return *this;
    }
    Text &operator<<(int number) { return *this << qint64(number); }
    // In decimal, with a minus sign when negative.
    Text &operator<<(qint64 number)
    {
        const bool negative = number < 0;
        quint64 magnitude = negative ? quint64(0) - quint64(number) : quint64(number);
        int digits = 1;
        for (quint64 rest = magnitude; rest >= 10; rest /= 10)
            ++digits;
        char *p = room(negative + digits);
        if (negative)
            *p++ = '-';
        m_next = p + digits;
        // The digits from the last: no copy of them from elsewhere.
        for (char *digit = m_next; digit != p; magnitude /= 10)
            *--digit = char('0' + magnitude % 10);
        return *this;
    }

    // A line of `value` as `digits` upper-case hexadecimal digits, high
    // digit first: a row of a bitmap.
    Text &hexLine(quint32 value, int digits)
    {
        char *p = room(digits + 1);
        for (int digit = digits - 1; digit >= 0; --digit)
            *p++ = kHexDigits[(value >> (4 * digit)) & 0xF];
        *p++ = '\n';
        m_next = p;
        return *this;
    }

    QByteArray take()
    {
        m_bytes.resize(m_next - m_bytes.constData());
        return std::move(m_bytes);
    }

private:
    // Where the next `length` bytes go.
    char *room(qsizetype length)
    {
        if (m_end - m_next < length)
            grow(length);
        return m_next;
    }
    void grow(qsizetype length)
    {
        const qsizetype used = m_next ? m_next - m_bytes.constData() : 0;
        m_bytes.resize(std::max(m_bytes.size() * 2, used + length));
        m_next = m_bytes.data() + used;
        m_end = m_bytes.data() + m_bytes.size();
    }

    QByteArray m_bytes;
    char *m_next = nullptr;
    char *m_end = nullptr;
};

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

bool isWritable(const QPair<QByteArray, QByteArray> &property);

// A positive whole-number property, or 0: the first of that name that is
// written, so that the file read back has the same.
qint64 numberProperty(const GlyphSet &set, const char *name)
{
    for (const auto &property : set.properties) {
        if (property.first == name && isWritable(property)) {
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

// The point size and resolution that SIZE and SWIDTH are given in: the
// font's own properties where they name all three, so that the lines agree
// with them, or else a point per row at 75 dpi.
struct Scale
{
    qint64 resolutionX;
    qint64 resolutionY;
    qint64 decipoints;

    explicit Scale(const GlyphSet &set)
        : resolutionX(numberProperty(set, "RESOLUTION_X"))
        , resolutionY(numberProperty(set, "RESOLUTION_Y"))
        , decipoints(numberProperty(set, "POINT_SIZE"))
    {
        if (!resolutionX || !resolutionY || decipoints < 10) {
            resolutionX = resolutionY = kDefaultResolution;
            decipoints = set.rows() * 10;
        }
    }

    // An advance in thousandths of the point size, rounded half away from 0.
    qint64 scalableWidth(int advance) const
    {
        const qint64 scaled = qint64(advance) * 72000 * 10;
        const qint64 perEm = decipoints * resolutionX;
        return (scaled + (scaled >= 0 ? perEm / 2 : -perEm / 2)) / perEm;
    }
};

// The glyph's name as the font gave it, or else made from its code point
// ("uni0041", "u1F600"); empty for a glyph with neither.
QByteArray ownName(const Glyph &glyph)
{
    QByteArray name = oneLine(glyph.name);
    if (!name.isEmpty() || glyph.codePoint < 0)
        return name;
    return CodePoints::glyphName(glyph.codePoint);
}

// Each glyph's STARTCHAR name: its own, or for a glyph with neither a name
// nor a code point one made up ("glyph0", "glyph1", ...) unlike any other
// name in the font.
class GlyphNames
{
public:
    explicit GlyphNames(const GlyphSet &set)
        : m_set(set)
    {
    }

    QByteArray of(const Glyph &glyph)
    {
        QByteArray name = ownName(glyph);
        return name.isEmpty() ? madeUp() : name;
    }

private:
    QByteArray madeUp()
    {
        // Most fonts need no made-up name: the font's names are gathered
        // only for the first.
        if (m_taken.isEmpty()) {
            for (const Glyph &glyph : m_set.glyphs())
                m_taken.insert(ownName(glyph));
        }
        QByteArray name;
        do
            name = "glyph" + QByteArray::number(m_made++);
        while (m_taken.contains(name));
        m_taken.insert(name);
        return name;
    }

    const GlyphSet &m_set;
    QSet<QByteArray> m_taken;
    int m_made = 0;
};

// The bottom of the matrix relative to the baseline, as the bounding boxes
// give it.
int bottomOf(const GlyphSet &set)
{
    return set.ascent - set.rows();
}

void writeHeader(Text &text, const GlyphSet &set, const Scale &scale)
{
    text << "STARTFONT 2.1\n";
    text << "FONT ";
    const QByteArray fontName = oneLine(set.fontName);
    if (fontName.isEmpty()) {
        text << "-KELVOR-Glyphs-Medium-R-Normal--" << set.rows() << '-' << scale.decipoints << "-75-75-C-"
             << set.cols() * 10 << "-ISO10646-1";
    } else {
        text << fontName;
    }
    text << '\n';
    text << "SIZE " << (scale.decipoints + 5) / 10 << ' ' << scale.resolutionX << ' ' << scale.resolutionY << '\n';
    text << "FONTBOUNDINGBOX " << set.cols() << ' ' << set.rows() << ' ' << set.xOffset << ' ' << bottomOf(set)
         << '\n';
}

// The properties this program writes from the set itself, whatever the
// source said of them.
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

// A number as a property's value.
QByteArray decimal(qint64 number)
{
    return (Text(0) << number).take();
}

// Every property line, name and value, in the order written: the source's
// own that can be written, then those written anew.
QList<QPair<QByteArray, QByteArray>> propertiesOf(const GlyphSet &set)
{
    QList<QPair<QByteArray, QByteArray>> properties;
    for (const auto &property : set.properties) {
        if (isWritable(property))
            properties.append({property.first, property.second.trimmed()});
    }
    properties.append({"FONT_ASCENT", decimal(set.ascent)});
    properties.append({"FONT_DESCENT", decimal(set.rows() - set.ascent)});
    if (set.exportOptions) {
        properties.append({"KELVOR_ORIENTATION", quoted(set.exportOptions->order.name())});
        properties.append({"KELVOR_PREFIX", quoted(set.exportOptions->prefix)});
        properties.append({"KELVOR_DELIMITER", quoted(set.exportOptions->delimiter)});
    }
    return properties;
}


void writeProperties(Text &text, const GlyphSet &set)
{
    const QList<QPair<QByteArray, QByteArray>> properties = propertiesOf(set);
    text << "STARTPROPERTIES " << properties.size() << '\n';
    for (const auto &property : properties)
        text << property.first << ' ' << property.second << '\n';
    text << "ENDPROPERTIES\n";
}

// A glyph's rows, one value each.
using RowValues = std::array<quint32, GlyphSet::kMaxSize>;

// The rows of a glyph's bitmap (the set's size) as BDF has them, the
// leftmost cell the highest bit: BitOrder::Horizontal's values, taken here
// cell by cell because a call to BitOrder for each row adds half again to
// the time of saving a large font.
RowValues rowValues(const Drawing &bits)
{
    // A BDF row is the row read as the horizontal readout reads it: the
    // leftmost pixel in its highest bit.
    RowValues values{};
    for (int r = 0; r < bits.rows(); ++r)
        values[size_t(r)] = BitOrder(BitOrder::Horizontal).value(bits, r);
    return values;
}

// The width of the glyph's bitmap: the matrix, or the glyph's advance where
// that is narrower and nothing is drawn past it, as console-font tools
// expect of a font with narrow and wide glyphs.
int bitmapWidth(const RowValues &values, int cols, int advance)
{
    if (advance <= 0 || advance >= cols)
        return cols;
    quint32 drawn = 0;
    for (quint32 value : values)
        drawn |= value;
    const quint32 pastAdvance = (1u << (cols - advance)) - 1;
    return drawn & pastAdvance ? cols : advance;
}

void writeGlyph(Text &text, const GlyphSet &set, const Scale &scale, const Glyph &glyph, QByteArrayView name)
{
    const int cols = set.cols();
    const int rows = set.rows();
    const int advance = set.advanceOf(glyph);
    const RowValues values = rowValues(glyph.bits);
    const int width = bitmapWidth(values, cols, advance);
    const int bytes = (width + 7) / 8;

    text << "STARTCHAR " << name << '\n';
    text << "ENCODING " << (glyph.codePoint >= 0 ? glyph.codePoint : -1) << '\n';
    text << "SWIDTH " << scale.scalableWidth(advance) << " 0\n";
    text << "DWIDTH " << advance << " 0\n";
    text << "BBX " << width << ' ' << rows << ' ' << set.xOffset << ' ' << bottomOf(set) << '\n';
    text << "BITMAP\n";
    for (int r = 0; r < rows; ++r) {
        // The cells past the bitmap's width dropped, the row padded on the
        // right to whole bytes.
        const quint32 row = values[size_t(r)] >> (cols - width) << (bytes * 8 - width);
        text.hexLine(row, bytes * 2);
    }
    text << "ENDCHAR\n";
}

} // namespace

bool isOwnProperty(const QByteArray &name)
{
    return name.startsWith("KELVOR_");
}

QList<QPair<QByteArray, QByteArray>> ownProperties(const GlyphSet &set)
{
    QList<QPair<QByteArray, QByteArray>> own;
    for (const auto &property : propertiesOf(set)) {
        if (isOwnProperty(property.first))
            own.append(property);
    }
    return own;
}

qint64 scalableWidth(const GlyphSet &set, int advance)
{
    return Scale(set).scalableWidth(advance);
}

QByteArray write(const GlyphSet &set)
{
    const Scale scale(set);
    // A first guess at the size, a long name and the widest bitmap for
    // each glyph: enough for most fonts, so that the text seldom moves.
    const int glyphBytes = 128 + set.rows() * (2 * ((set.cols() + 7) / 8) + 1);
    Text text(4096 + set.size() * glyphBytes);
    writeHeader(text, set, scale);
    writeProperties(text, set);
    text << "CHARS " << set.size() << '\n';
    GlyphNames names(set);
    for (const Glyph &glyph : set.glyphs())
        writeGlyph(text, set, scale, glyph, names.of(glyph));
    text << "ENDFONT\n";
    return text.take();
}

} // namespace BdfFormat
