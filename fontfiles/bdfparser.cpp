#include "bdfparser.h"

#include <QtAlgorithms>

#include <algorithm>
#include <climits>
#include <cstring>

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

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

} // namespace

BdfParser::BdfParser(const QByteArray &bytes)
    : m_bytes(bytes)
    , m_next(bytes.constData())
    , m_end(bytes.constData() + bytes.size())
{
}

// 16 pixels of `row` from column `col` on, the first in the top bit; only
// the first `words` words of the row hold pixels.
quint16 BdfParser::window(const Row &row, int words, int col)
{
    const int word = col / 64;
    const int shift = col % 64;
    quint64 bits = row[size_t(word)] << shift;
    if (shift && word + 1 < words)
        bits |= row[size_t(word) + 1] >> (64 - shift);
    return quint16(bits >> 48);
}

// Moves to the next line that is neither blank nor a comment; false at the
// end of the bytes.
bool BdfParser::nextLine()
{
    while (m_next < m_end) {
        ++m_lineNo;
        const char *start = m_next;
        m_lineBegin = start;
        const char *newline = static_cast<const char *>(std::memchr(start, '\n', size_t(m_end - start)));
        const char *stop = newline ? newline : m_end;
        m_next = newline ? newline + 1 : m_end;
        while (stop > start && isBlank(stop[-1]))
            --stop;
        while (start < stop && isBlank(*start))
            ++start;
        if (start == stop)
            continue;
        if (*start == 'C' && Words(start, stop).next() == "COMMENT")
            continue;
        m_line = start;
        m_lineEnd = stop;
        return true;
    }
    return false;
}

bool BdfParser::number(Words &words, const char *keyword, qint64 low, qint64 high, int *out)
{
    const Word word = words.next();
    qint64 value = 0;
    switch (word.toNumber(&value)) {
    case Word::Number:
        break;
    case Word::Missing:
        return fail(QStringLiteral("%1 lacks a number").arg(QLatin1String(keyword)));
    case Word::NotNumber:
        return fail(QStringLiteral("%1 has \"%2\" where a whole number belongs")
                            .arg(QLatin1String(keyword), word.toString()));
    case Word::TooLong:
        value = word.isNegative() ? low - 1 : high + 1;
        break;
    }
    if (value < low || value > high)
        return fail(QStringLiteral("%1 %2 is out of range (%3 to %4)")
                            .arg(QLatin1String(keyword), word.toString())
                            .arg(low)
                            .arg(high));
    *out = int(value);
    return true;
}

// Width, height and the offsets of the lower left corner; a box too large
// for any glyph is refused here, before any pixel is read.
bool BdfParser::box(Words &words, const char *keyword, Box *out)
{
    Words probe = words;
    for (int i = 0; i < 2; ++i) {
        qint64 value = 0;
        const Word word = probe.next();
        if (word.toNumber(&value) == Word::Number && value < 0)
            return fail(QStringLiteral("%1 has a negative %2").arg(QLatin1String(keyword),
                                                                    i == 0 ? QStringLiteral("width")
                                                                           : QStringLiteral("height")));
    }
    if (!number(words, keyword, 0, kMaxOffset, &out->w) || !number(words, keyword, 0, kMaxOffset, &out->h)
        || !number(words, keyword, -kMaxOffset, kMaxOffset, &out->x)
        || !number(words, keyword, -kMaxOffset, kMaxOffset, &out->y))
        return false;
    if (out->w > kMaxBox || out->h > kMaxBox)
        return fail(QStringLiteral("%1 %2 x %3 is larger than any glyph this program reads (%4 x %4 pixels)")
                            .arg(QLatin1String(keyword))
                            .arg(out->w)
                            .arg(out->h)
                            .arg(kMaxBox));
    return true;
}

bool BdfParser::parse()
{
    if (!nextLine() || Words(m_line, m_lineEnd).next() != "STARTFONT") {
        m_lineNo = std::max<qint64>(m_lineNo, 1);
        return fail(QStringLiteral("this is no BDF font: it does not begin with STARTFONT"));
    }
    return header();
}

// Everything after STARTFONT up to ENDFONT: the font's own lines, its
// properties and its glyphs.
bool BdfParser::header()
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
            m_font.fontName = words.rest().toByteArray();
        } else if (keyword == "FONTBOUNDINGBOX") {
            if (!box(words, "FONTBOUNDINGBOX", &m_font.fontBox))
                return false;
            m_font.fontBoxLine = currentLines();
            m_font.whole = m_font.whole.united(m_font.fontBox);
        } else if (keyword == "STARTPROPERTIES") {
            m_font.startProperties = currentLines();
            if (!properties())
                return false;
        } else if (keyword == "CHARS") {
            m_font.charsLine = currentLines().begin;
            int count = 0;
            if (!number(words, "CHARS", 0, INT_MAX, &count))
                return false;
            if (count > kMaxGlyphs)
                return fail(QStringLiteral("CHARS %1 is more glyphs than a font can hold here (at most %2)")
                                    .arg(count)
                                    .arg(kMaxGlyphs));
            m_chars = count;
            m_font.glyphs.reserve(size_t(std::min<qint64>(count, m_bytes.size() / kMinGlyphBytes + 1)));
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
    return endsAfterGlyphs();
}

// Some converters end a font after its last glyph without ENDFONT; a file
// cut short between two glyphs looks the same, so the note says what CHARS
// promised.
bool BdfParser::endsAfterGlyphs()
{
    if (m_font.glyphs.empty())
        return fail(QStringLiteral("the file ends without ENDFONT: it is cut short"));
    const qint64 count = qint64(m_font.glyphs.size());
    if (m_chars && *m_chars > count)
        m_font.notes << QStringLiteral("The file ends without ENDFONT after %1 glyphs, fewer than the %2 its CHARS line "
                                  "gives: the rest may be missing.")
                           .arg(count)
                           .arg(*m_chars);
    else
        m_font.notes << QStringLiteral("The file ends after its last glyph without ENDFONT; every glyph was read.");
    return true;
}

bool BdfParser::properties()
{
    const qint64 startLine = m_lineNo;
    while (nextLine()) {
        Words words(m_line, m_lineEnd);
        const Word name = words.next();
        if (name == "ENDPROPERTIES") {
            m_font.endProperties = currentLines();
            return true;
        }
        if (name == "STARTCHAR" || name == "CHARS" || name == "ENDFONT")
            return fail(QStringLiteral("the properties from line %1 have no ENDPROPERTIES").arg(startLine));
        if (!property(words))
            return false;
        m_font.propertyLines.push_back({currentLines(), name.toByteArray()});
    }
    return fail(QStringLiteral("the file ends inside the properties from line %1: it is cut short").arg(startLine));
}

bool BdfParser::property(Words &words)
{
    Words nameOnly(m_line, m_lineEnd);
    const Word name = nameOnly.next();
    const Word value = words.rest();
    if (name == "FONT_ASCENT" || name == "FONT_DESCENT")
        return true; // written anew from the matrix
    const bool orientation = name == "KELVOR_ORIENTATION";
    const bool prefix = name == "KELVOR_PREFIX";
    if (!orientation && !prefix && name != "KELVOR_DELIMITER") {
        m_font.properties.append({name.toByteArray(), value.toByteArray()});
        return true;
    }
    QByteArray text;
    if (!unquote(value, &text))
        return fail(QStringLiteral("%1 has a string without its closing quote").arg(name.toString()));
    if (!m_font.options)
        m_font.options = ExportOptions();
    if (orientation) {
        const std::optional<BitOrder> order = BitOrder::fromName(QString::fromUtf8(text));
        if (!order)
            return fail(QStringLiteral("KELVOR_ORIENTATION is \"%1\"; it must be one of %2")
                                .arg(QString::fromUtf8(text), BitOrder::nameList()));
        m_font.options->order = *order;
    } else if (prefix) {
        m_font.options->prefix = QString::fromUtf8(text);
    } else {
        m_font.options->delimiter = QString::fromUtf8(text);
    }
    return true;
}

// One glyph, from the line after STARTCHAR to its ENDCHAR.
bool BdfParser::glyph(Words &words)
{
    if (qint64(m_font.glyphs.size()) >= kMaxGlyphs)
        return fail(QStringLiteral("the font has more than %1 glyphs, more than a font can hold here").arg(kMaxGlyphs));
    RawGlyph glyph;
    glyph.extent.line = m_lineNo;
    glyph.lines.begin = currentLines().begin;
    glyph.extent.name = words.rest().toByteArray();
    glyph.advance = m_defaultAdvance;
    Box box;
    bool haveBox = false;
    while (nextLine()) {
        Words line(m_line, m_lineEnd);
        const Word keyword = line.next();
        if (keyword == "ENCODING") {
            int code = 0;
            if (!number(line, "ENCODING", INT_MIN, 0x10FFFF, &code))
                return false;
            glyph.extent.codePoint = code < 0 ? Glyph::kNoCodePoint : code;
        } else if (keyword == "DWIDTH") {
            int advance = 0;
            if (!number(line, "DWIDTH", -kMaxOffset, kMaxOffset, &advance))
                return false;
            glyph.advance = advance;
        } else if (keyword == "BBX") {
            if (!this->box(line, "BBX", &box))
                return false;
            haveBox = true;
            m_font.whole = m_font.whole.united(box);
        } else if (keyword == "BITMAP") {
            if (!haveBox)
                return fail(QStringLiteral("glyph %1 has no BBX before its BITMAP")
                                    .arg(FontSubset::quotedName(glyph.extent.name)));
            if (!bitmap(glyph, box))
                return false;
            glyph.lines.end = currentLines().end;
            m_font.glyphs.push_back(std::move(glyph));
            return true;
        } else if (keyword == "ENDCHAR") {
            // A glyph without a bitmap is blank.
            glyph.lines.end = currentLines().end;
            m_font.glyphs.push_back(std::move(glyph));
            return true;
        } else if (keyword == "STARTCHAR" || keyword == "ENDFONT") {
            return fail(QStringLiteral("glyph %1 from line %2 has no ENDCHAR")
                                .arg(FontSubset::quotedName(glyph.extent.name))
                                .arg(glyph.extent.line));
        }
    }
    return fail(QStringLiteral("the file ends inside glyph %1 from line %2: it is cut short")
                        .arg(FontSubset::quotedName(glyph.extent.name))
                        .arg(glyph.extent.line));
}

// The rows after BITMAP, exactly as many as the BBX is high, then ENDCHAR;
// the glyph keeps its ink.
bool BdfParser::bitmap(RawGlyph &glyph, const Box &box)
{
    // Digits beyond the box's width are padding, as are bits beyond it.
    const int words = (box.w + 63) / 64;
    Row mask{};
    for (int word = 0; word < words; ++word) {
        const int bits = std::min(box.w - 64 * word, 64);
        mask[size_t(word)] = ~quint64(0) << (64 - bits);
    }
    // The ink: the first and last rows with a set pixel, and every row's
    // pixels in one for the columns.
    int top = -1;
    int bottom = -1;
    Row columns{};
    if (m_rows.size() < size_t(box.h))
        m_rows.resize(size_t(box.h));
    for (int row = 0; row < box.h; ++row) {
        Row &bits = m_rows[size_t(row)];
        if (!bitmapRow(glyph, row, box, &bits))
            return false;
        quint64 any = 0;
        for (int w = 0; w < words; ++w) {
            bits[size_t(w)] &= mask[size_t(w)];
            columns[size_t(w)] |= bits[size_t(w)];
            any |= bits[size_t(w)];
        }
        if (any) {
            if (top < 0)
                top = row;
            bottom = row;
        }
    }
    if (!nextLine())
        return fail(QStringLiteral("the file ends inside glyph %1 from line %2: it is cut short")
                            .arg(FontSubset::quotedName(glyph.extent.name))
                            .arg(glyph.extent.line));
    if (Words(m_line, m_lineEnd).next() != "ENDCHAR")
        return fail(QStringLiteral("glyph %1 has more bitmap rows than the %2 its BBX says, or no ENDCHAR")
                            .arg(FontSubset::quotedName(glyph.extent.name))
                            .arg(box.h));
    if (top < 0)
        return true;
    int left = -1;
    int right = -1;
    for (int w = 0; w < words; ++w) {
        if (!columns[size_t(w)])
            continue;
        if (left < 0)
            left = 64 * w + int(qCountLeadingZeroBits(columns[size_t(w)]));
        right = 64 * w + 63 - int(qCountTrailingZeroBits(columns[size_t(w)]));
    }
    Box &ink = glyph.extent.ink;
    ink = {right - left + 1, bottom - top + 1, box.x + left, box.y + (box.h - 1 - bottom)};
    if (ink.fits()) {
        for (int row = top; row <= bottom; ++row)
            glyph.rows[size_t(row - top)] = window(m_rows[size_t(row)], words, left);
    }
    return true;
}

// Bitmap row `row` of the glyph into `bits`, as many words as the box is
// wide: whole words of 16 digits, the last one left-aligned.
bool BdfParser::bitmapRow(const RawGlyph &glyph, int row, const Box &box, Row *bits)
{
    if (!nextLine())
        return fail(QStringLiteral("the file ends inside glyph %1 from line %2, after %3 of its %4 bitmap rows")
                            .arg(FontSubset::quotedName(glyph.extent.name))
                            .arg(glyph.extent.line)
                            .arg(row)
                            .arg(box.h));
    const int words = (box.w + 63) / 64;
    quint64 value = 0;
    int digits = 0;
    int word = 0;
    for (const char *p = m_line; p < m_lineEnd; ++p) {
        const int digit = hexValue(*p);
        if (digit < 0) {
            const Word keyword = Words(m_line, m_lineEnd).next();
            if (keyword == "ENDCHAR" || keyword == "STARTCHAR" || keyword == "ENDFONT")
                return fail(QStringLiteral("glyph %1 has %2 bitmap rows; its BBX says %3")
                                    .arg(FontSubset::quotedName(glyph.extent.name))
                                    .arg(row)
                                    .arg(box.h));
            return fail(QStringLiteral("glyph %1 has a bitmap row \"%2\" that is not hexadecimal")
                                .arg(FontSubset::quotedName(glyph.extent.name), Word(m_line, m_lineEnd).toString()));
        }
        if (word < words) {
            value = value << 4 | quint64(digit);
            if (++digits == 16) {
                (*bits)[size_t(word++)] = value;
                value = 0;
                digits = 0;
            }
        }
    }
    if (digits > 0)
        (*bits)[size_t(word++)] = value << (64 - 4 * digits);
    for (; word < words; ++word)
        (*bits)[size_t(word)] = 0;
    return true;
}

} // namespace BdfFormat
