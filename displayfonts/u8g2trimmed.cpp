#include "u8g2trimmed.h"

#include "encoderinput.h"
#include "firmwareglyphs.h"
#include "fontcodes.h"
#include "inkbox.h"

namespace U8g2Trimmed {

namespace {

using namespace U8g2Bytes;

// A box's pixels, `isSet(row, column)`, as alternating runs of clear and
// set pixels (Trimmed::runs).
template<typename IsSet>
std::vector<int> runsOf(int rows, int cols, IsSet isSet)
{
    std::vector<int> runs;
    bool inked = false;
    int length = 0;
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < cols; ++c) {
            if (isSet(r, c) == inked) {
                ++length;
            } else {
                runs.push_back(length);
                inked = !inked;
                length = 1;
            }
        }
    }
    runs.push_back(length);
    if (runs.size() % 2 != 0)
        runs.push_back(0);
    return runs;
}

Trimmed trimmed(const GlyphSet &set, const Glyph &glyph, const Kept &kept)
{
    const DrawnGlyph drawn = set.drawn(glyph);
    const Drawing &bits = drawn.bits;
    const InkBox box = InkBox::of(bits);
    Trimmed result;
    result.code = glyph.codePoint;
    result.advance = drawn.advance;
    if (box.isEmpty()) {
        const auto blank = kept.blanks.find(glyph.codePoint);
        if (blank != kept.blanks.end()) {
            result.x = blank->second.first;
            result.y = blank->second.second;
            result.placed = true;
        }
        return result; // no ink: nothing to draw, the smallest fields
    }
    result.placed = true;
    result.w = box.cols;
    result.h = box.rows;
    result.x = drawn.x + box.left;
    result.y = -1 - (drawn.y + box.top + box.rows - 1);
    result.runs = runsOf(box.rows, box.cols, [&](int r, int c) { return bits.isSet(box.top + r, box.left + c); });
    return result;
}

// A glyph too large for the set, its box as it stands.
Trimmed trimmed(const StoredGlyph &glyph)
{
    Trimmed result;
    result.code = glyph.codePoint;
    result.advance = glyph.advance;
    result.placed = true;
    result.w = glyph.cols;
    result.h = glyph.rows;
    result.x = glyph.x;
    result.y = -(glyph.y + glyph.rows);
    result.runs = runsOf(glyph.rows, glyph.cols, [&](int r, int c) { return glyph.isSet(r, c); });
    return result;
}

bool checkGlyph(const Trimmed &glyph, QString *error)
{
    const QString name = FontCodes::name(glyph.code);
    if (glyph.advance < kMinSigned || glyph.advance > kMaxSigned)
        return fail(error, QStringLiteral("%1 advances the pen by %2 pixels; a u8g2 font holds -128 to 127")
                                   .arg(name)
                                   .arg(glyph.advance));
    if (glyph.w == 0)
        return true;
    // Both edges within a signed byte keep the header's font box, ascent
    // and descent within theirs too.
    if (glyph.x < kMinSigned || glyph.x + glyph.w > kMaxSigned)
        return fail(error, QStringLiteral("%1 reaches %2 pixels %3 of the pen; a u8g2 glyph lies within 128 pixels")
                                   .arg(name)
                                   .arg(glyph.x < 0 ? -glyph.x : glyph.x + glyph.w)
                                   .arg(glyph.x < 0 ? QStringLiteral("left") : QStringLiteral("right")));
    if (glyph.y < kMinSigned || glyph.y + glyph.h > kMaxSigned)
        return fail(error,
                    QStringLiteral("%1 reaches %2 rows %3 the baseline; a u8g2 glyph lies within 128 rows")
                            .arg(name)
                            .arg(glyph.y < 0 ? -glyph.y : glyph.y + glyph.h)
                            .arg(glyph.y < 0 ? QStringLiteral("below") : QStringLiteral("above")));
    return true;
}

} // namespace

std::optional<std::vector<Trimmed>> trimmedGlyphs(const GlyphSet &set, const Kept &kept, const LeftOut *leftOut,
                                                  QString *error)
{
    if (!EncoderInput::check(set, {QStringLiteral("a u8g2 font"), kLastCode, false}, error))
        return std::nullopt;
    std::vector<Trimmed> glyphs;
    glyphs.reserve(size_t(FirmwareGlyphs::count(set, leftOut)));
    for (const Glyph &glyph : set.glyphs()) {
        glyphs.push_back(trimmed(set, glyph, kept));
        if (!checkGlyph(glyphs.back(), error))
            return std::nullopt;
    }
    if (!leftOut)
        return glyphs;
    for (const StoredGlyph &glyph : leftOut->glyphs) {
        if (glyph.codePoint < 0 || glyph.codePoint > kLastCode || set.indexOf(glyph.codePoint) >= 0) {
            fail(error, QStringLiteral("%1: a glyph too large to open stands there").arg(FontCodes::name(glyph.codePoint)));
            return std::nullopt;
        }
        glyphs.push_back(trimmed(glyph));
        if (!checkGlyph(glyphs.back(), error))
            return std::nullopt;
    }
    std::stable_sort(glyphs.begin(), glyphs.end(), [](const Trimmed &a, const Trimmed &b) { return a.code < b.code; });
    return glyphs;
}

} // namespace U8g2Trimmed
