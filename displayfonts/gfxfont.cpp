#include "gfxfont.h"

#include "codepoints.h"
#include "encoderinput.h"
#include "firmwareglyphs.h"
#include "fontcodes.h"
#include "glyphset.h"
#include "inkbox.h"

#include <algorithm>
#include <array>
#include <limits>

namespace GfxFont {

bool isLibraryName(QStringView name)
{
    return name == u"GFXfont" || name == u"GFXglyph" || name == u"PROGMEM";
}

namespace {
constexpr int kMaxAdvance = std::numeric_limits<quint8>::max();
constexpr int kMinOffset = std::numeric_limits<qint8>::min();
constexpr int kMaxOffset = std::numeric_limits<qint8>::max();

// bitmapOffset is 16 bits wide. With 8-bit codes and cells of at most
// 16 x 16 even a font of solid glyphs fits, so no set can overflow it.
static_assert((FontCodes::kLastEightBit + 1) * ((GlyphSet::kMaxSize * GlyphSet::kMaxSize + 7) / 8)
                      <= std::numeric_limits<quint16>::max(),
              "a GFX bitmap offset could overflow");

Result failure(const QString &error)
{
    return {std::nullopt, error};
}

// Appends a box of `rows` x `cols` pixels, isSet(row, column), row by row,
// the leftmost in a byte's top bit, the rows running on without padding;
// only the last byte is padded.
template<typename IsSet>
void pack(int rows, int cols, IsSet isSet, QByteArray *bitmap)
{
    quint8 byte = 0;
    int bit = 0;
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < cols; ++c) {
            if (isSet(r, c))
                byte |= quint8(0x80u >> bit);
            if (++bit == 8) {
                *bitmap += char(byte);
                byte = 0;
                bit = 0;
            }
        }
    }
    if (bit > 0)
        *bitmap += char(byte);
}

// The refusal of a glyph whose advance or offsets do not fit their fields;
// empty where they do.
QString misfit(int code, const Glyph &entry)
{
    if (entry.xAdvance < 0 || entry.xAdvance > kMaxAdvance)
        return QStringLiteral("%1: its advance of %2 pixels lies outside 0 to 255, what a GFX font holds")
                .arg(FontCodes::name(code))
                .arg(entry.xAdvance);
    if (entry.xOffset < kMinOffset || entry.xOffset > kMaxOffset || entry.yOffset < kMinOffset
        || entry.yOffset > kMaxOffset)
        return QStringLiteral("%1: its ink starts %2 pixels right of and %3 below the cursor; a GFX font holds "
                              "offsets from -128 to 127")
                .arg(FontCodes::name(code))
                .arg(entry.xOffset)
                .arg(entry.yOffset);
    return {};
}

// The glyphs of `leftOut` by their codes; a code beyond 8 bits or one the
// set holds too is refused.
std::optional<std::array<const StoredGlyph *, FontCodes::kLastEightBit + 1>>
leftOutByCode(const LeftOut *leftOut, const FontCodes::EightBit &codes, QString *error)
{
    std::array<const StoredGlyph *, FontCodes::kLastEightBit + 1> byCode{};
    if (!leftOut)
        return byCode;
    for (const StoredGlyph &glyph : leftOut->glyphs) {
        if (glyph.codePoint < 0 || glyph.codePoint > FontCodes::kLastEightBit || codes.byCode[size_t(glyph.codePoint)]) {
            *error = QStringLiteral("%1: a glyph too large to open stands there").arg(FontCodes::name(glyph.codePoint));
            return std::nullopt;
        }
        byCode[size_t(glyph.codePoint)] = &glyph;
    }
    return byCode;
}

QString glyphLine(const GfxFont::Glyph &glyph, const QString &comment)
{
    return QStringLiteral("    { %1, %2, %3, %4, %5, %6 }, // %7\n")
            .arg(glyph.bitmapOffset, 5)
            .arg(glyph.width, 3)
            .arg(glyph.height, 3)
            .arg(glyph.xAdvance, 3)
            .arg(glyph.xOffset, 4)
            .arg(glyph.yOffset, 4)
            .arg(comment);
}
} // namespace

Result encode(const GlyphSet &set, const LeftOut *leftOut)
{
    QString error;
    if (!EncoderInput::check(set, {QStringLiteral("a GFX font"), FontCodes::kLastEightBit}, &error))
        return failure(error);
    const std::optional<FontCodes::EightBit> codes = FontCodes::eightBit(set, QStringLiteral("a GFX font"), &error);
    Q_ASSERT(codes);
    const auto &byCode = codes->byCode;
    const auto leftByCode = leftOutByCode(leftOut, *codes, &error);
    if (!leftByCode)
        return failure(error);

    Font font;
    font.first = codes->first;
    font.last = codes->last;
    if (leftOut && !leftOut->glyphs.empty()) {
        font.first = std::min(font.first, leftOut->glyphs.front().codePoint);
        font.last = std::max(font.last, leftOut->glyphs.back().codePoint);
    }
    font.yAdvance = leftOut && leftOut->rows > 0 ? leftOut->rows : set.rows();
    for (int code = font.first; code <= font.last; ++code) {
        Glyph entry;
        entry.bitmapOffset = int(font.bitmap.size());
        if (const ::Glyph *glyph = byCode[size_t(code)]) {
            entry.xAdvance = set.advanceOf(*glyph);
            const InkBox box = InkBox::of(glyph->bits);
            if (box.rows > 0) {
                entry.width = box.cols;
                entry.height = box.rows;
                entry.xOffset = set.xOffset + box.left;
                // The cursor row is the bottom row of a letter without
                // descender, the row just above the baseline.
                entry.yOffset = box.top - set.ascent + 1;
                pack(box.rows, box.cols, [&](int r, int c) { return glyph->bits.isSet(box.top + r, box.left + c); },
                     &font.bitmap);
            }
        } else if (const StoredGlyph *stored = (*leftByCode)[size_t(code)]) {
            entry = {entry.bitmapOffset, stored->cols, stored->rows, stored->advance, stored->x, stored->y + 1};
            pack(stored->rows, stored->cols, [&](int r, int c) { return stored->isSet(r, c); }, &font.bitmap);
        }
        if (const QString wrong = misfit(code, entry); !wrong.isEmpty())
            return failure(wrong);
        if (entry.bitmapOffset > std::numeric_limits<quint16>::max())
            return failure(QStringLiteral("%1: its bitmap starts past byte 65,535, where a GFX font's offsets end")
                                   .arg(FontCodes::name(code)));
        font.glyphs.push_back(entry);
    }
    return {std::move(font), QString()};
}

DrawnGlyph decode(const Font &font, size_t index)
{
    const Glyph &entry = font.glyphs[index];
    DrawnGlyph drawn{font.first + int(index), entry.xAdvance, entry.xOffset, entry.yOffset - 1,
                     Drawing(entry.height, entry.width)};
    const qint64 start = qint64(entry.bitmapOffset) * 8;
    for (int r = 0; r < drawn.bits.rows(); ++r) {
        for (int c = 0; c < drawn.bits.cols(); ++c) {
            const qint64 bit = start + qint64(r) * entry.width + c;
            if (bit >= 0 && bit / 8 < font.bitmap.size() && (quint8(font.bitmap[bit / 8]) & (0x80u >> (bit % 8))))
                drawn.bits.set(r, c);
        }
    }
    return drawn;
}

std::vector<DrawnGlyph> decode(const Font &font)
{
    std::vector<DrawnGlyph> result;
    result.reserve(font.glyphs.size());
    for (size_t i = 0; i < font.glyphs.size(); ++i)
        result.push_back(decode(font, i));
    return result;
}

QString summary(qsizetype glyphs, int first, int last, int yAdvance)
{
    return QStringLiteral("A GFXfont of %1, %2 to %3, %4 pixels from line to line.")
            .arg(CSource::glyphCount(glyphs))
            .arg(CSource::hex(quint32(first)), CSource::hex(quint32(last)))
            .arg(yAdvance);
}

CSource::File write(const GlyphSet &set, const QString &name, const std::vector<int> &sources,
                    const LeftOut *leftOut)
{
    const Result encoded = encode(set, leftOut);
    if (!encoded.ok())
        return {QString(), encoded.error};
    const Font &font = *encoded.font;

    Q_ASSERT(CSource::isIdentifier(name) && !isLibraryName(name));
    const QString &id = name;

    QString out = CSource::fontNameLine(set);
    out += CSource::comment(summary(FirmwareGlyphs::count(set, leftOut), font.first, font.last, font.yAdvance));
    out += QLatin1String("// Include it after the graphics library's header, which declares GFXfont.\n\n");

    out += QStringLiteral("const uint8_t %1Bitmaps[] PROGMEM = {\n").arg(id);
    // C has no empty arrays: a font without a pixel keeps one unused byte.
    out += font.bitmap.isEmpty() ? QStringLiteral("    0x00, // no glyph has pixels\n")
                                 : CSource::byteLines(font.bitmap);
    out += QLatin1String("};\n\n");

    out += QStringLiteral("const GFXglyph %1Glyphs[] PROGMEM = {\n").arg(id);
    out += QLatin1String("    // offset, width, height, advance, x offset, y offset\n");
    for (size_t i = 0; i < font.glyphs.size(); ++i) {
        const int code = font.first + int(i);
        out += glyphLine(font.glyphs[i], CSource::codeComment(set, code, u": no glyph", sources, leftOut));
    }
    out += QLatin1String("};\n\n");

    out += QStringLiteral("const GFXfont %1 PROGMEM = {\n"
                          "    (uint8_t *)%1Bitmaps,\n"
                          "    (GFXglyph *)%1Glyphs,\n"
                          "    %2, %3, %4\n"
                          "};\n")
                   .arg(id, CSource::hex(quint32(font.first)), CSource::hex(quint32(font.last)))
                   .arg(font.yAdvance);
    return {out, QString()};
}

} // namespace GfxFont
