#include "bdfformat.h"

#include "bdfwords.h"
#include "hexdigits.h"

#include <algorithm>
#include <cstring>
#include <optional>

// BdfFormat::write with a source: a set opened for some of a font's glyphs
// saved into the whole font. The file's bytes are copied as they stand, but
// for a few stretches of lines written anew: each glyph the user changed,
// the font's bounding box where a changed glyph needs more, and the
// program's own properties. Every other byte, the glyphs that were never
// opened among them, goes back as it was.
namespace BdfFormat {

namespace {

// A stretch of the file's bytes and what takes its place; an empty stretch
// inserts.
struct Edit
{
    qsizetype begin = 0;
    qsizetype end = 0;
    QByteArray text;
};

// The line end the file uses, for lines written anew.
QByteArray lineEndOf(const QByteArray &bytes)
{
    const qsizetype newline = bytes.indexOf('\n');
    return newline > 0 && bytes[newline - 1] == '\r' ? QByteArrayLiteral("\r\n") : QByteArrayLiteral("\n");
}

QByteArray number(qint64 value)
{
    return QByteArray::number(value);
}

QByteArray boxLine(const char *keyword, const Box &box, const QByteArray &end)
{
    return QByteArray(keyword) + ' ' + number(box.w) + ' ' + number(box.h) + ' ' + number(box.x) + ' '
           + number(box.y) + end;
}

// The box of a glyph's set cells in the font's coordinates (y upwards from
// the baseline), empty when none is set.
Box inkOf(const GlyphSet &set, const Drawing &bits)
{
    int top = -1;
    int bottom = -1;
    int left = set.cols();
    int right = -1;
    for (int r = 0; r < set.rows(); ++r) {
        for (int c = 0; c < set.cols(); ++c) {
            if (!bits.isSet(r, c))
                continue;
            if (top < 0)
                top = r;
            bottom = r;
            left = std::min(left, c);
            right = std::max(right, c);
        }
    }
    if (top < 0)
        return {};
    return {right - left + 1, bottom - top + 1, set.xOffset + left, set.ascent - 1 - bottom};
}

// The glyph's rows in `box`, top row first, each padded to whole bytes;
// pixels of the box outside the set's cells are clear.
QByteArray bitmapRows(const GlyphSet &set, const Drawing &bits, const Box &box, const QByteArray &end)
{
    QByteArray rows;
    const int bytes = (box.w + 7) / 8;
    rows.reserve(box.h * (2 * bytes + end.size()));
    for (int r = 0; r < box.h; ++r) {
        const int row = set.ascent - 1 - (box.y + box.h - 1 - r);
        for (int byte = 0; byte < bytes; ++byte) {
            int value = 0;
            for (int bit = 0; bit < 8; ++bit) {
                const int col = box.x + 8 * byte + bit - set.xOffset;
                const bool inside = 8 * byte + bit < box.w && row >= 0 && row < set.rows() && col >= 0
                                    && col < set.cols();
                if (inside && bits.isSet(row, col))
                    value |= 0x80 >> bit;
            }
            rows.append(kHexDigits[value >> 4]).append(kHexDigits[value & 0xF]);
        }
        rows.append(end);
    }
    return rows;
}

// The lines of one glyph changed in the set: its own lines as the file has
// them, but for its box, its bitmap and, where the advance changed, its
// widths. The box is the one the file gave, widened where the glyph's
// pixels now reach beyond it; `box` says where it ends up.
// The first word of the line from `p` to `next`, and the words after it.
Words wordsOf(const char *p, const char *next)
{
    const char *end = next;
    while (end > p && (end[-1] == '\n' || isBlank(end[-1])))
        --end;
    while (p < end && isBlank(*p))
        ++p;
    return Words(p, end);
}

// The glyph's BBX as the file gives it, where it has one; the reader took it.
std::optional<Box> boxOf(const QByteArray &bytes, const Source::Lines &lines)
{
    const char *p = bytes.constData() + lines.begin;
    const char *stop = bytes.constData() + lines.end;
    while (p < stop) {
        const char *newline = static_cast<const char *>(std::memchr(p, '\n', size_t(stop - p)));
        const char *next = newline ? newline + 1 : stop;
        Words words = wordsOf(p, next);
        p = next;
        if (words.next() != "BBX")
            continue;
        qint64 numbers[4] = {};
        for (qint64 &number : numbers)
            words.next().toNumber(&number);
        return Box{int(numbers[0]), int(numbers[1]), int(numbers[2]), int(numbers[3])};
    }
    return std::nullopt;
}

QByteArray changedGlyph(const QByteArray &bytes, const Source::Lines &lines, const GlyphSet &set,
                        const Glyph &glyph, bool advanceChanged, Box *box)
{
    const Box ink = inkOf(set, glyph.bits);
    const std::optional<Box> given = boxOf(bytes, lines);
    *box = given ? given->united(ink) : ink;
    const QByteArray end = lineEndOf(bytes);
    const int advance = set.advanceOf(glyph);
    const QByteArray widths = "SWIDTH " + number(scalableWidth(set, advance)) + " 0" + end + "DWIDTH "
                              + number(advance) + " 0" + end;
    const QByteArray bitmap = "BITMAP" + end + bitmapRows(set, glyph.bits, *box, end);

    QByteArray text;
    bool widthsWritten = !advanceChanged;
    bool inBitmap = false;
    const char *p = bytes.constData() + lines.begin;
    const char *stop = bytes.constData() + lines.end;
    while (p < stop) {
        const char *newline = static_cast<const char *>(std::memchr(p, '\n', size_t(stop - p)));
        const char *next = newline ? newline + 1 : stop;
        const QByteArray line(p, next - p);
        const Word keyword = wordsOf(p, next).next();
        p = next;
        if (keyword == "ENDCHAR") {
            if (!inBitmap) {
                if (!widthsWritten)
                    text += widths;
                if (!given)
                    text += boxLine("BBX", *box, end);
                text += bitmap;
            }
            text += line;
            inBitmap = false;
        } else if (inBitmap) {
            // The rows as the file had them give way to those written.
        } else if (keyword == "SWIDTH" || keyword == "DWIDTH") {
            if (!advanceChanged)
                text += line;
            else if (!std::exchange(widthsWritten, true))
                text += widths;
        } else if (keyword == "BBX") {
            if (!std::exchange(widthsWritten, true))
                text += widths;
            text += boxLine("BBX", *box, end);
        } else if (keyword == "BITMAP") {
            text += bitmap;
            inBitmap = true;
        } else {
            text += line;
        }
    }
    return text;
}

// The program's own properties: the lines the file has of them give way to
// those of the set, before ENDPROPERTIES, and the count follows. A font
// without properties gets a block of its own before CHARS.
void ownPropertyEdits(const GlyphSet &set, const Source &source, const QByteArray &end, std::vector<Edit> *edits)
{
    QByteArray wanted;
    const QList<QPair<QByteArray, QByteArray>> own = ownProperties(set);
    for (const auto &property : own)
        wanted += property.first + ' ' + property.second + end;
    if (!source.startProperties) {
        if (!own.isEmpty())
            edits->push_back({source.charsLine, source.charsLine,
                              "STARTPROPERTIES " + number(own.size()) + end + wanted + "ENDPROPERTIES" + end});
        return;
    }
    QByteArray present;
    qsizetype others = 0;
    for (const Source::Property &property : source.properties) {
        if (isOwnProperty(property.name))
            present += source.bytes.mid(property.line.begin, property.line.end - property.line.begin).trimmed() + end;
        else
            ++others;
    }
    if (present == wanted)
        return;
    for (const Source::Property &property : source.properties) {
        if (isOwnProperty(property.name))
            edits->push_back({property.line.begin, property.line.end, QByteArray()});
    }
    edits->push_back({source.endProperties.begin, source.endProperties.begin, wanted});
    edits->push_back({source.startProperties->begin, source.startProperties->end,
                      "STARTPROPERTIES " + number(others + own.size()) + end});
}

} // namespace

QByteArray write(const GlyphSet &set, const Source &source)
{
    const QByteArray &bytes = source.bytes;
    const QByteArray end = lineEndOf(bytes);
    const GlyphSet &before = source.asRead;
    // A new baseline or pen offset moves every glyph opened.
    const bool moved = set.ascent != before.ascent || set.xOffset != before.xOffset;
    std::vector<Edit> edits;
    Box fontBox = source.fontBox;
    const qsizetype count = std::min<qsizetype>(set.size(), qsizetype(source.opened.size()));
    for (qsizetype i = 0; i < count; ++i) {
        const Glyph &glyph = set.at(i);
        const Glyph &read = before.at(i);
        const bool advanceChanged = glyph.advance != read.advance;
        if (!moved && !advanceChanged && glyph.bits == read.bits)
            continue;
        const Source::Lines &lines = source.glyphs[size_t(source.opened[size_t(i)])];
        Box box;
        edits.push_back({lines.begin, lines.end,
                         changedGlyph(bytes, lines, set, glyph, advanceChanged, &box)});
        fontBox = fontBox.united(box);
    }
    if (source.fontBoxLine && (fontBox.w != source.fontBox.w || fontBox.h != source.fontBox.h
                               || fontBox.x != source.fontBox.x || fontBox.y != source.fontBox.y))
        edits.push_back({source.fontBoxLine->begin, source.fontBoxLine->end, boxLine("FONTBOUNDINGBOX", fontBox, end)});
    ownPropertyEdits(set, source, end, &edits);

    // Insertions before the stretch that begins where they stand.
    std::stable_sort(edits.begin(), edits.end(), [](const Edit &a, const Edit &b) {
        return a.begin < b.begin || (a.begin == b.begin && a.end == a.begin && b.end != b.begin);
    });
    QByteArray result;
    result.reserve(bytes.size() + 4096);
    qsizetype copied = 0;
    for (const Edit &edit : edits) {
        result.append(bytes.constData() + copied, edit.begin - copied);
        result.append(edit.text);
        copied = edit.end;
    }
    result.append(bytes.constData() + copied, bytes.size() - copied);
    return result;
}

} // namespace BdfFormat
