#include "bdfformat.h"

#include "bdfwords.h"

#include <QtAlgorithms>

#include <algorithm>
#include <array>
#include <climits>
#include <cstring>
#include <vector>

namespace BdfFormat {

namespace {

// One glyph for every Unicode code point and a plane's worth of unencoded
// ones: more than any font holds, and small enough that a file claiming or
// repeating more cannot make the set take more than some hundred MiB.
constexpr qint64 kMaxGlyphs = 0x110000 + 0x10000;
// What CHARS says is believed only as far as the file could hold that many.
constexpr qint64 kMinGlyphBytes = 32;
// Offsets beyond this are no pixel positions but a damaged file.
constexpr qint64 kMaxOffset = 1 << 20;
constexpr qint64 kLargest = GlyphSet::kMaxSize;

struct Box
{
    int w = 0;
    int h = 0;
    int x = 0;
    int y = 0;

    bool isEmpty() const { return w <= 0 || h <= 0; }
};


QString quoted(const QByteArray &name)
{
    return QStringLiteral("'%1'").arg(QString::fromUtf8(name));
}

QString sizeTooLarge(int w, int h)
{
    return QStringLiteral("the font's glyphs are %1 x %2 pixels; the largest this program edits is %3 x %3")
            .arg(w)
            .arg(h)
            .arg(kLargest);
}

// Each byte's value as a hexadecimal digit, -1 for any other byte: a
// bitmap row is read a digit at a time, a few hundred thousand rows a font.
constexpr std::array<qint8, 256> kHexValues = [] {
    std::array<qint8, 256> values{};
    for (int c = 0; c < 256; ++c)
        values[size_t(c)] = qint8(c >= '0' && c <= '9' ? c - '0'
                                  : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                  : c >= 'a' && c <= 'f' ? c - 'a' + 10
                                                         : -1);
    return values;
}();

int hexValue(char c)
{
    return kHexValues[uchar(c)];
}

// A row as the file gives it (the leftmost pixel in the top bit) as a
// drawing's row (the leftmost cell in bit 0).
quint32 mirrored(quint16 row)
{
    quint32 bits = row;
    bits = (bits >> 1 & 0x5555u) | (bits & 0x5555u) << 1;
    bits = (bits >> 2 & 0x3333u) | (bits & 0x3333u) << 2;
    bits = (bits >> 4 & 0x0F0Fu) | (bits & 0x0F0Fu) << 4;
    return (bits >> 8 & 0x00FFu) | (bits & 0x00FFu) << 8;
}

// What is wrong with a number that Reader::number() refuses; apart from it,
// so that the numbers read right, a few hundred thousand a font, pay
// nothing for the messages.
Q_DECL_COLD_FUNCTION QString numberFault(const Word &word, Word::Parse parse, const char *keyword, qint64 low,
                                         qint64 high)
{
    switch (parse) {
    case Word::Missing:
        return QStringLiteral("%1 lacks a number").arg(QLatin1String(keyword));
    case Word::NotNumber:
        return QStringLiteral("%1 has \"%2\" where a whole number belongs").arg(QLatin1String(keyword), word.toString());
    case Word::Number:
    case Word::TooLong:
        break;
    }
    return QStringLiteral("%1 %2 is out of range (%3 to %4)")
            .arg(QLatin1String(keyword), word.toString())
            .arg(low)
            .arg(high);
}

class Reader
{
public:
    Reader(const QByteArray &bytes, const QString &fileName)
        : m_next(bytes.constData())
        , m_end(bytes.constData() + bytes.size())
        , m_fileName(fileName)
        , m_fileBytes(bytes.size())
    {
    }

    ReadResult run();

private:
    bool nextLine();
    bool plainRow(quint32 *value, int *digits);
    bool fail(const QString &what)
    {
        m_error = what;
        return false;
    }
    bool number(Words &words, const char *keyword, qint64 low, qint64 high, int *out);
    // A whole number, as most of a font's lines hold: inline, the message
    // of a refused one made apart (numberFault).
    bool number(const Word &word, const char *keyword, qint64 low, qint64 high, int *out)
    {
        qint64 value = 0;
        const Word::Parse parse = word.toNumber(&value);
        if (Q_LIKELY(parse == Word::Number && value >= low && value <= high)) {
            *out = int(value);
            return true;
        }
        return refuse(word, parse, keyword, low, high);
    }
    Q_DECL_COLD_FUNCTION bool refuse(const Word &word, Word::Parse parse, const char *keyword, qint64 low, qint64 high)
    {
        return fail(numberFault(word, parse, keyword, low, high));
    }
    bool box(Words &words, const char *keyword, Box *out);
    bool header();
    bool properties();
    bool property(Words &words);
    bool glyph(Words &words);
    bool bitmap(Glyph &glyph, const Box &box, qint64 startLine);
    bool widen(const Box &glyphBox, const QByteArray &name);
    ReadResult finish();

    const char *m_next;
    const char *m_end;
    QString m_fileName;
    qint64 m_fileBytes;

    // The current line, without its line end and trailing blanks.
    const char *m_line = nullptr;
    const char *m_lineEnd = nullptr;
    qint64 m_lineNo = 0;
    QString m_error;

    QByteArray m_fontName;
    Box m_fontBox;
    Box m_union;
    bool m_haveUnion = false;
    std::optional<int> m_defaultAdvance; // a DWIDTH outside the glyphs
    QList<QPair<QByteArray, QByteArray>> m_properties;
    std::optional<ExportOptions> m_options;
    // The glyphs as the file gives them, before the font's matrix is known:
    // each one's bits hold its rows left-aligned in 16 bits, the leftmost
    // pixel in the top bit, until finish() places them; its box beside it.
    std::vector<Glyph> m_glyphs;
    std::vector<Box> m_boxes;
};

bool isComment(const char *start, const char *stop)
{
    constexpr qint64 kLength = sizeof "COMMENT" - 1;
    return stop - start >= kLength && std::memcmp(start, "COMMENT", kLength) == 0
            && (stop - start == kLength || isBlank(start[kLength]));
}

// Moves to the next line that is neither blank nor a comment; false at the
// end of the bytes.
bool Reader::nextLine()
{
    while (m_next < m_end) {
        ++m_lineNo;
        const char *start = m_next;
        const char *newline = static_cast<const char *>(std::memchr(start, '\n', size_t(m_end - start)));
        const char *stop = newline ? newline : m_end;
        m_next = newline ? newline + 1 : m_end;
        while (stop > start && isBlank(stop[-1]))
            --stop;
        while (start < stop && isBlank(*start))
            ++start;
        if (start == stop || isComment(start, stop))
            continue;
        m_line = start;
        m_lineEnd = stop;
        return true;
    }
    return false;
}

bool Reader::number(Words &words, const char *keyword, qint64 low, qint64 high, int *out)
{
    return number(words.next(), keyword, low, high, out);
}

// Width, height and the offsets of the lower left corner; a width or height
// too large for the matrix is refused here, before any pixel is read.
bool Reader::box(Words &words, const char *keyword, Box *out)
{
    const Word w = words.next();
    const Word h = words.next();
    const Word x = words.next();
    const Word y = words.next();
    const Word sizes[] = {w, h};
    for (int i = 0; i < 2; ++i) {
        qint64 value = 0;
        if (sizes[i].toNumber(&value) == Word::Number && value < 0)
            return fail(QStringLiteral("%1 has a negative %2")
                                .arg(QLatin1String(keyword), i == 0 ? QStringLiteral("width") : QStringLiteral("height")));
    }
    if (!number(w, keyword, 0, kMaxOffset, &out->w) || !number(h, keyword, 0, kMaxOffset, &out->h)
        || !number(x, keyword, -kMaxOffset, kMaxOffset, &out->x)
        || !number(y, keyword, -kMaxOffset, kMaxOffset, &out->y))
        return false;
    if (out->w > kLargest || out->h > kLargest)
        return fail(sizeTooLarge(out->w, out->h));
    return true;
}

ReadResult Reader::run()
{
    if (!nextLine() || Words(m_line, m_lineEnd).next() != "STARTFONT") {
        return ReadResult::atLine(m_fileName, std::max<qint64>(m_lineNo, 1),
                                  QStringLiteral("this is no BDF font: it does not begin with STARTFONT"));
    }
    if (!header())
        return ReadResult::atLine(m_fileName, m_lineNo, m_error);
    return finish();
}

// Everything after STARTFONT up to ENDFONT: the font's own lines, its
// properties and its glyphs.
bool Reader::header()
{
    while (nextLine()) {
        Words words(m_line, m_lineEnd);
        const Word keyword = words.next();
        if (keyword == "STARTCHAR") {
            if (!glyph(words))
                return false;
        } else if (keyword == "ENDFONT") {
            return true;
        } else if (keyword == "FONT") {
            m_fontName = words.rest().toByteArray();
        } else if (keyword == "FONTBOUNDINGBOX") {
            if (!box(words, "FONTBOUNDINGBOX", &m_fontBox))
                return false;
            m_union = m_fontBox;
            m_haveUnion = !m_fontBox.isEmpty();
        } else if (keyword == "STARTPROPERTIES") {
            if (!properties())
                return false;
        } else if (keyword == "CHARS") {
            int count = 0;
            if (!number(words, "CHARS", 0, INT_MAX, &count))
                return false;
            if (count > kMaxGlyphs)
                return fail(QStringLiteral("CHARS %1 is more glyphs than a font can hold here (at most %2)")
                                    .arg(count)
                                    .arg(kMaxGlyphs));
            const size_t expected = size_t(std::min<qint64>(count, m_fileBytes / kMinGlyphBytes + 1));
            m_glyphs.reserve(expected);
            m_boxes.reserve(expected);
        } else if (keyword == "DWIDTH") {
            int advance = 0;
            if (!number(words, "DWIDTH", -kMaxOffset, kMaxOffset, &advance))
                return false;
            m_defaultAdvance = advance;
        } else if (keyword == "ENDCHAR" || keyword == "BITMAP") {
            return fail(QStringLiteral("%1 stands outside a glyph").arg(keyword.toString()));
        }
        // SIZE, SWIDTH, METRICSSET, CONTENTVERSION and the like say nothing
        // that the matrix needs.
    }
    return fail(QStringLiteral("the file ends without ENDFONT: it is cut short"));
}

bool Reader::properties()
{
    const qint64 startLine = m_lineNo;
    while (nextLine()) {
        Words words(m_line, m_lineEnd);
        const Word name = words.next();
        if (name == "ENDPROPERTIES")
            return true;
        if (name == "STARTCHAR" || name == "CHARS" || name == "ENDFONT")
            return fail(QStringLiteral("the properties from line %1 have no ENDPROPERTIES").arg(startLine));
        if (!property(words))
            return false;
    }
    return fail(QStringLiteral("the file ends inside the properties from line %1: it is cut short").arg(startLine));
}

bool Reader::property(Words &words)
{
    Words nameOnly(m_line, m_lineEnd);
    const Word name = nameOnly.next();
    const Word value = words.rest();
    if (name == "FONT_ASCENT" || name == "FONT_DESCENT")
        return true; // written anew from the matrix
    const bool orientation = name == "KELVOR_ORIENTATION";
    const bool prefix = name == "KELVOR_PREFIX";
    if (!orientation && !prefix && name != "KELVOR_DELIMITER") {
        m_properties.append({name.toByteArray(), value.toByteArray()});
        return true;
    }
    QByteArray text;
    if (!unquote(value, &text))
        return fail(QStringLiteral("%1 has a string without its closing quote").arg(name.toString()));
    if (!m_options)
        m_options = ExportOptions();
    if (orientation) {
        const std::optional<BitOrder> order = BitOrder::fromName(QString::fromUtf8(text));
        if (!order)
            return fail(QStringLiteral("KELVOR_ORIENTATION is \"%1\"; it must be one of %2")
                                .arg(QString::fromUtf8(text), BitOrder::nameList()));
        m_options->order = *order;
    } else if (prefix) {
        m_options->prefix = QString::fromUtf8(text);
    } else {
        m_options->delimiter = QString::fromUtf8(text);
    }
    return true;
}

// One glyph, from the line after STARTCHAR to its ENDCHAR.
bool Reader::glyph(Words &words)
{
    if (qint64(m_glyphs.size()) >= kMaxGlyphs)
        return fail(QStringLiteral("the font has more than %1 glyphs, more than a font can hold here").arg(kMaxGlyphs));
    const qint64 startLine = m_lineNo;
    Glyph glyph;
    glyph.name = words.rest().toByteArray();
    glyph.advance = m_defaultAdvance;
    glyph.bits = Drawing(kLargest, kLargest);
    Box box;
    bool haveBox = false;
    while (nextLine()) {
        Words line(m_line, m_lineEnd);
        const Word keyword = line.next();
        if (keyword == "ENCODING") {
            int code = 0;
            if (!number(line, "ENCODING", INT_MIN, 0x10FFFF, &code))
                return false;
            glyph.codePoint = code < 0 ? Glyph::kNoCodePoint : code;
        } else if (keyword == "DWIDTH") {
            int advance = 0;
            if (!number(line, "DWIDTH", -kMaxOffset, kMaxOffset, &advance))
                return false;
            glyph.advance = advance;
        } else if (keyword == "BBX") {
            if (!this->box(line, "BBX", &box))
                return false;
            haveBox = true;
            if (!widen(box, glyph.name))
                return false;
        } else if (keyword == "BITMAP") {
            if (!haveBox)
                return fail(QStringLiteral("glyph %1 has no BBX before its BITMAP").arg(quoted(glyph.name)));
            if (!bitmap(glyph, box, startLine))
                return false;
            m_glyphs.push_back(std::move(glyph));
            m_boxes.push_back(box);
            return true;
        } else if (keyword == "ENDCHAR") {
            // A glyph without a bitmap is blank.
            m_glyphs.push_back(std::move(glyph));
            m_boxes.push_back(box);
            return true;
        } else if (keyword == "STARTCHAR" || keyword == "ENDFONT") {
            return fail(QStringLiteral("glyph %1 from line %2 has no ENDCHAR").arg(quoted(glyph.name)).arg(startLine));
        }
    }
    return fail(QStringLiteral("the file ends inside glyph %1 from line %2: it is cut short")
                        .arg(quoted(glyph.name))
                        .arg(startLine));
}

// A bitmap row as nearly every font writes it, read without the general
// line handling: hexadecimal digits alone, then the line end. Reads nothing
// and returns false for anything else, which nextLine() then takes.
bool Reader::plainRow(quint32 *value, int *digits)
{
    const char *p = m_next;
    quint32 bits = 0;
    int count = 0;
    for (; p < m_end; ++p) {
        const int digit = hexValue(*p);
        if (digit < 0)
            break;
        // Rows padded beyond the glyph's width carry nothing more.
        if (count < 4) {
            bits = bits << 4 | quint32(digit);
            ++count;
        }
    }
    const char *stop = p;
    if (p < m_end && *p == '\r')
        ++p;
    if (stop == m_next || p >= m_end || *p != '\n')
        return false;
    ++m_lineNo;
    m_line = m_next;
    m_lineEnd = stop;
    m_next = p + 1;
    *value = bits;
    *digits = count;
    return true;
}

// The rows after BITMAP, exactly as many as the BBX is high, then ENDCHAR.
bool Reader::bitmap(Glyph &glyph, const Box &box, qint64 startLine)
{
    const int w = box.w;
    const quint16 mask = w == 0 ? 0 : quint16(0xFFFFu << (kLargest - w));
    for (int row = 0; row < box.h; ++row) {
        quint32 value = 0;
        int digits = 0;
        if (plainRow(&value, &digits)) {
            glyph.bits.setRowBits(row, quint16(value << (kLargest - 4 * digits)) & mask);
            continue;
        }
        if (!nextLine())
            return fail(QStringLiteral("the file ends inside glyph %1 from line %2, after %3 of its %4 bitmap rows")
                                .arg(quoted(glyph.name))
                                .arg(startLine)
                                .arg(row)
                                .arg(box.h));
        for (const char *p = m_line; p < m_lineEnd; ++p) {
            const int digit = hexValue(*p);
            if (digit < 0) {
                const Word word = Words(m_line, m_lineEnd).next();
                if (word == "ENDCHAR" || word == "STARTCHAR" || word == "ENDFONT")
                    return fail(QStringLiteral("glyph %1 has %2 bitmap rows; its BBX says %3")
                                        .arg(quoted(glyph.name))
                                        .arg(row)
                                        .arg(box.h));
                return fail(QStringLiteral("glyph %1 has a bitmap row \"%2\" that is not hexadecimal")
                                    .arg(quoted(glyph.name), Word(m_line, m_lineEnd).toString()));
            }
            // Rows padded beyond the glyph's width carry nothing more.
            if (digits < 4) {
                value = value << 4 | quint32(digit);
                ++digits;
            }
        }
        glyph.bits.setRowBits(row, quint16(value << (kLargest - 4 * digits)) & mask);
    }
    if (!nextLine())
        return fail(QStringLiteral("the file ends inside glyph %1 from line %2: it is cut short")
                            .arg(quoted(glyph.name))
                            .arg(startLine));
    if (Words(m_line, m_lineEnd).next() != "ENDCHAR")
        return fail(QStringLiteral("glyph %1 has more bitmap rows than the %2 its BBX says, or no ENDCHAR")
                            .arg(quoted(glyph.name))
                            .arg(box.h));
    return true;
}

// Grows the font's matrix to take in a glyph that sticks out of it.
bool Reader::widen(const Box &glyphBox, const QByteArray &name)
{
    if (glyphBox.isEmpty())
        return true;
    if (!m_haveUnion) {
        m_union = glyphBox;
        m_haveUnion = true;
        return true;
    }
    const int left = std::min(m_union.x, glyphBox.x);
    const int bottom = std::min(m_union.y, glyphBox.y);
    const int right = std::max(m_union.x + m_union.w, glyphBox.x + glyphBox.w);
    const int top = std::max(m_union.y + m_union.h, glyphBox.y + glyphBox.h);
    if (right - left > kLargest || top - bottom > kLargest)
        return fail(QStringLiteral("glyph %1 lies outside the font's bounding box; together %2")
                            .arg(quoted(name), sizeTooLarge(right - left, top - bottom)));
    m_union = {right - left, top - bottom, left, bottom};
    return true;
}

// Places every glyph in the matrix, which is now known. A font smaller than
// the smallest matrix gets the smallest, its glyphs at the lower left, so
// that the baseline stays where it was.
ReadResult Reader::finish()
{
    Box matrix = m_haveUnion ? m_union : Box{0, 0, m_fontBox.x, m_fontBox.y};
    matrix.w = std::max(matrix.w, GlyphSet::kMinSize);
    matrix.h = std::max(matrix.h, GlyphSet::kMinSize);
    const int top = matrix.y + matrix.h;
    for (size_t i = 0; i < m_glyphs.size(); ++i) {
        Glyph &glyph = m_glyphs[i];
        const Box &box = m_boxes[i];
        // A glyph with pixels lies in the matrix, which takes in its box.
        const int firstRow = top - (box.y + box.h);
        const int firstCol = box.x - matrix.x;
        Drawing placed(matrix.h, matrix.w);
        for (int r = 0; r < box.h; ++r) {
            if (const quint16 bits = glyph.bits.rowBits(r))
                placed.setRowBits(firstRow + r, mirrored(bits) << firstCol);
        }
        glyph.bits = placed;
    }
    GlyphSet set(matrix.w, matrix.h, std::move(m_glyphs));
    set.fontName = m_fontName;
    set.ascent = matrix.h + matrix.y;
    set.xOffset = matrix.x;
    set.properties = std::move(m_properties);
    set.exportOptions = m_options;
    return {std::move(set), QString()};
}

} // namespace

ReadResult read(const QByteArray &bytes, const QString &fileName)
{
    return Reader(bytes, fileName).run();
}

} // namespace BdfFormat
