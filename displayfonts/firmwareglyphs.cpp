#include "firmwareglyphs.h"

#include "bdfformat.h"
#include "codepoints.h"

#include <algorithm>
#include <climits>
#include <optional>

namespace {
struct Span
{
    int low = 0;  // first pixel
    int high = 0; // one past the last
};

// Where a glyph's pixels lie along one axis; empty for a blank glyph.
std::optional<Span> inkAlong(const DrawnGlyph &glyph, bool rows)
{
    int low = INT_MAX;
    int high = INT_MIN;
    for (int r = 0; r < glyph.bits.rows(); ++r) {
        for (int c = 0; c < glyph.bits.cols(); ++c) {
            if (!glyph.bits.isSet(r, c))
                continue;
            const int at = rows ? glyph.y + r : glyph.x + c;
            low = std::min(low, at);
            high = std::max(high, at + 1);
        }
    }
    if (low > high)
        return std::nullopt;
    return Span{low, high};
}

// The window of `size` along one axis that holds the most of `spans` whole,
// the earliest of those that tie; `spans` are the inked glyphs' extents.
Span bestWindow(const std::vector<Span> &spans, int size)
{
    Span best{0, size};
    qsizetype most = -1;
    for (const Span &candidate : spans) {
        const Span window{candidate.low, candidate.low + size};
        const auto held = std::count_if(spans.begin(), spans.end(), [&](const Span &span) {
            return span.low >= window.low && span.high <= window.high;
        });
        if (held > most || (held == most && window.low < best.low)) {
            most = held;
            best = window;
        }
    }
    return best;
}

// The extent of the inked glyphs' spans; empty for none.
Span extentOf(const std::vector<std::optional<Span>> &ink)
{
    Span all{INT_MAX, INT_MIN};
    for (const std::optional<Span> &span : ink) {
        if (!span)
            continue;
        all.low = std::min(all.low, span->low);
        all.high = std::max(all.high, span->high);
    }
    return all.low > all.high ? Span{0, 0} : all;
}

// The extent of all spans, grown to `size` where it is shorter (the rows it
// lacks shared before and after it) and to the smallest cell after its end,
// or the window that holds most when it is larger than the largest cell.
Span cellAlong(const std::vector<std::optional<Span>> &ink, int size)
{
    Span all = extentOf(ink);
    if (all.high - all.low > GlyphSet::kMaxSize) {
        std::vector<Span> spans;
        for (const std::optional<Span> &span : ink) {
            if (span)
                spans.push_back(*span);
        }
        return bestWindow(spans, GlyphSet::kMaxSize);
    }
    if (size > all.high - all.low && size <= GlyphSet::kMaxSize) {
        const int extra = size - (all.high - all.low);
        all.low -= (extra + 1) / 2;
        all.high += extra / 2;
    }
    all.high = std::max(all.high, all.low + GlyphSet::kMinSize);
    return all;
}

bool within(const std::optional<Span> &span, const Span &cell)
{
    return !span || (span->low >= cell.low && span->high <= cell.high);
}
} // namespace

namespace FirmwareGlyphs {

Placed place(const std::vector<DrawnGlyph> &glyphs, int lineHeight)
{
    std::vector<std::optional<Span>> rows;
    std::vector<std::optional<Span>> cols;
    rows.reserve(glyphs.size());
    cols.reserve(glyphs.size());
    for (const DrawnGlyph &glyph : glyphs) {
        rows.push_back(inkAlong(glyph, true));
        cols.push_back(inkAlong(glyph, false));
    }
    const Span down = cellAlong(rows, lineHeight);
    // The columns are chosen among the glyphs the rows keep.
    std::vector<std::optional<Span>> keptCols;
    for (size_t i = 0; i < glyphs.size(); ++i) {
        if (within(rows[i], down))
            keptCols.push_back(cols[i]);
    }
    const Span across = cellAlong(keptCols, 0);

    Placed placed;
    placed.set = GlyphSet(across.high - across.low, down.high - down.low);
    placed.set.ascent = -down.low;
    placed.set.xOffset = across.low;
    placed.set.reserve(qsizetype(glyphs.size()));
    for (size_t i = 0; i < glyphs.size(); ++i) {
        if (!within(rows[i], down) || !within(cols[i], across))
            continue;
        const DrawnGlyph &drawn = glyphs[i];
        Glyph glyph;
        glyph.codePoint = drawn.codePoint;
        glyph.advance = drawn.advance;
        glyph.bits = Drawing(placed.set.rows(), placed.set.cols());
        for (const auto &[x, y] : drawn.pixels())
            glyph.bits.set(y - down.low, x - across.low);
        placed.set.append(std::move(glyph));
    }
    if (placed.set.size() < qsizetype(glyphs.size()))
        placed.fontGlyphs = qsizetype(glyphs.size());
    const Span allDown = extentOf(rows);
    const Span allAcross = extentOf(cols);
    placed.cols = std::max(placed.set.cols(), allAcross.high - allAcross.low);
    placed.rows = std::max(placed.set.rows(), allDown.high - allDown.low);
    return placed;
}

ReadResult fromCellTops(const std::vector<StoredGlyph> &glyphs, int rows)
{
    int columns = 0;
    bool below = false;
    for (const StoredGlyph &glyph : glyphs) {
        columns = std::max(columns, glyph.cols);
        for (int r = rows; r < glyph.rows && !below; ++r) {
            for (int c = 0; c < glyph.cols && !below; ++c)
                below = glyph.isSet(r, c);
        }
    }
    if (rows <= GlyphSet::kMaxSize && columns <= GlyphSet::kMaxSize && !below) {
        GlyphSet set(std::max(columns, GlyphSet::kMinSize), std::max(rows, GlyphSet::kMinSize));
        set.ascent = rows;
        set.reserve(qsizetype(glyphs.size()));
        for (const StoredGlyph &stored : glyphs) {
            Glyph glyph;
            glyph.codePoint = stored.codePoint;
            glyph.advance = stored.advance;
            glyph.bits = Drawing(set.rows(), set.cols());
            for (int r = 0; r < rows; ++r) {
                for (int c = 0; c < stored.cols; ++c)
                    glyph.bits.set(r, c, stored.isSet(r, c));
            }
            set.append(std::move(glyph));
        }
        return ReadResult(std::move(set));
    }
    qsizetype larger = 0;
    const std::vector<DrawnGlyph> drawn = drawable(glyphs, &larger);
    Placed placed = place(drawn, rows);
    ReadResult result(std::move(placed.set));
    if (placed.fontGlyphs > 0 || larger > 0)
        result.fontGlyphs = qsizetype(glyphs.size());
    keepWhole(result, glyphs, 0, rows);
    return result;
}

bool eachInked(const GlyphSet &set, const LeftOut *leftOut, const std::function<bool(const Inked &)> &take)
{
    static const std::vector<StoredGlyph> kNone;
    const std::vector<StoredGlyph> &stored = leftOut ? leftOut->glyphs : kNone;
    size_t next = 0; // of `stored`
    Inked glyph;
    const auto takeStored = [&](int below) {
        for (; next < stored.size() && (below < 0 || stored[next].codePoint < below); ++next) {
            const StoredGlyph &one = stored[next];
            glyph = {one.codePoint, one.advance, {}};
            for (int r = 0; r < one.rows; ++r) {
                for (int c = 0; c < one.cols; ++c) {
                    if (one.isSet(r, c))
                        glyph.pixels.emplace_back(one.x + c, one.y + r);
                }
            }
            if (!take(glyph))
                return false;
        }
        return true;
    };
    for (const Glyph &one : set.glyphs()) {
        if (!takeStored(one.codePoint))
            return false;
        glyph = {one.codePoint, set.advanceOf(one), set.drawn(one).pixels()};
        if (!take(glyph))
            return false;
    }
    return takeStored(-1);
}

qsizetype count(const GlyphSet &set, const LeftOut *leftOut)
{
    return set.size() + (leftOut ? qsizetype(leftOut->glyphs.size()) : 0);
}

std::vector<Inked> inked(const GlyphSet &set, const LeftOut *leftOut)
{
    std::vector<Inked> glyphs;
    glyphs.reserve(size_t(count(set, leftOut)));
    eachInked(set, leftOut, [&glyphs](const Inked &glyph) {
        glyphs.push_back(glyph);
        return true;
    });
    return glyphs;
}

std::vector<DrawnGlyph> drawable(const std::vector<StoredGlyph> &glyphs, qsizetype *larger)
{
    std::vector<DrawnGlyph> drawn;
    for (const StoredGlyph &glyph : glyphs) {
        int top = INT_MAX, bottom = -1, left = INT_MAX, right = -1;
        for (int r = 0; r < glyph.rows; ++r) {
            for (int c = 0; c < glyph.cols; ++c) {
                if (glyph.isSet(r, c)) {
                    top = std::min(top, r);
                    bottom = std::max(bottom, r);
                    left = std::min(left, c);
                    right = std::max(right, c);
                }
            }
        }
        DrawnGlyph placed{glyph.codePoint, glyph.advance, 0, 0, Drawing(0, 0)};
        if (bottom >= 0) {
            if (bottom - top >= Drawing::kMaxSize || right - left >= Drawing::kMaxSize) {
                if (larger)
                    ++*larger;
                continue;
            }
            placed.x = glyph.x + left;
            placed.y = glyph.y + top;
            placed.bits = Drawing(bottom - top + 1, right - left + 1);
            for (int r = top; r <= bottom; ++r) {
                for (int c = left; c <= right; ++c)
                    placed.bits.set(r - top, c - left, glyph.isSet(r, c));
            }
        }
        drawn.push_back(std::move(placed));
    }
    return drawn;
}

} // namespace FirmwareGlyphs

namespace FirmwareGlyphs {

namespace {
// A glyph's lines in BDF, its box tight around what its format stores.
void writeRecord(QByteArray &text, const GlyphSet &set, const StoredGlyph &glyph, QByteArray name)
{
    name = name.replace('\n', ' ').replace('\r', ' ').trimmed();
    if (name.isEmpty())
        name = CodePoints::glyphName(glyph.codePoint);
    const bool inked = glyph.cols > 0 && glyph.rows > 0;
    text += "STARTCHAR " + name + "\nENCODING " + QByteArray::number(glyph.codePoint) + "\nSWIDTH "
            + QByteArray::number(BdfFormat::scalableWidth(set, glyph.advance)) + " 0\nDWIDTH "
            + QByteArray::number(glyph.advance) + " 0\nBBX " + QByteArray::number(inked ? glyph.cols : 0) + ' '
            + QByteArray::number(inked ? glyph.rows : 0) + ' ' + QByteArray::number(inked ? glyph.x : 0) + ' '
            + QByteArray::number(inked ? -(glyph.y + glyph.rows) : 0) + "\nBITMAP\n";
    for (int r = 0; inked && r < glyph.rows; ++r)
        text += glyph.bits.mid(r * glyph.rowBytes(), glyph.rowBytes()).toHex().toUpper() + '\n';
    text += "ENDCHAR\n";
}

// The set's header lines, from STARTFONT to ENDPROPERTIES, with a bounding
// box that holds every glyph.
QByteArray headerOf(const GlyphSet &set, const std::vector<StoredGlyph> &glyphs)
{
    QByteArray header = BdfFormat::write(set.emptyCopy());
    header.truncate(header.indexOf("CHARS "));

    int left = INT_MAX, right = INT_MIN, bottom = INT_MAX, top = INT_MIN;
    for (const StoredGlyph &glyph : glyphs) {
        if (glyph.cols <= 0 || glyph.rows <= 0)
            continue;
        left = std::min(left, glyph.x);
        right = std::max(right, glyph.x + glyph.cols);
        bottom = std::min(bottom, -(glyph.y + glyph.rows));
        top = std::max(top, -glyph.y);
    }
    const qsizetype box = header.indexOf("\nFONTBOUNDINGBOX ");
    if (left <= right && box >= 0) {
        const qsizetype end = header.indexOf('\n', box + 1);
        header.replace(box + 1, end - box - 1,
                       "FONTBOUNDINGBOX " + QByteArray::number(right - left) + ' ' + QByteArray::number(top - bottom)
                               + ' ' + QByteArray::number(left) + ' ' + QByteArray::number(bottom));
    }
    return header;
}

// Where each glyph of the set stands among `glyphs`, both in their order;
// fewer than the set's glyphs where `glyphs` lack one.
std::vector<qsizetype> openedOf(const GlyphSet &set, const std::vector<StoredGlyph> &glyphs)
{
    std::vector<qsizetype> opened;
    opened.reserve(size_t(set.size()));
    for (size_t i = 0; i < glyphs.size() && qsizetype(opened.size()) < set.size(); ++i) {
        if (glyphs[i].codePoint == set.at(qsizetype(opened.size())).codePoint)
            opened.push_back(qsizetype(i));
    }
    return opened;
}
} // namespace

std::shared_ptr<const BdfFormat::Source> wholeFont(const GlyphSet &set, const std::vector<StoredGlyph> &glyphs)
{
    std::vector<qsizetype> opened = openedOf(set, glyphs);
    if (qsizetype(opened.size()) < set.size())
        return nullptr;
    QByteArray text = headerOf(set, glyphs);
    text += "CHARS " + QByteArray::number(qsizetype(glyphs.size())) + '\n';
    size_t next = 0; // the next of `opened`
    for (size_t i = 0; i < glyphs.size(); ++i) {
        const bool inSet = next < opened.size() && opened[next] == qsizetype(i);
        const QByteArray &name = inSet && glyphs[i].name.isEmpty() ? set.at(qsizetype(next)).name : glyphs[i].name;
        next += inSet ? 1 : 0;
        writeRecord(text, set, glyphs[i], name);
    }
    text += "ENDFONT\n";
    return BdfFormat::sourceFor(text, set, std::move(opened));
}

void keepWhole(ReadResult &result, std::vector<StoredGlyph> glyphs, int cols, int rows, int descent)
{
    const GlyphSet &set = *result.set;
    const std::vector<qsizetype> opened = openedOf(set, glyphs);
    if (qsizetype(opened.size()) < set.size())
        return;
    if (opened.size() < glyphs.size())
        result.bdfSource = wholeFont(set, glyphs);
    auto leftOut = std::make_shared<LeftOut>();
    leftOut->cols = cols;
    leftOut->rows = rows;
    leftOut->descent = descent;
    size_t next = 0;
    for (size_t i = 0; i < glyphs.size(); ++i) {
        if (next < opened.size() && opened[next] == qsizetype(i))
            ++next;
        else
            leftOut->glyphs.push_back(std::move(glyphs[i]));
    }
    result.leftOut = std::move(leftOut);
}

} // namespace FirmwareGlyphs
