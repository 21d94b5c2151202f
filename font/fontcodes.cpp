#include "fontcodes.h"

#include "codepoints.h"

namespace FontCodes {

QString name(int code)
{
    return CodePoints::name(code);
}

std::optional<EightBit> eightBit(const GlyphSet &set, const QString &format, QString *error)
{
    EightBit result;
    for (const Glyph &glyph : set.glyphs()) {
        const int code = glyph.codePoint;
        if (code < 0 || code > kLastEightBit) {
            *error = code < 0 ? QStringLiteral("a glyph without a code point cannot go into %1").arg(format)
                              : QStringLiteral("%1 lies past U+00FF; %2 holds 8-bit codes only").arg(name(code), format);
            return std::nullopt;
        }
        Q_ASSERT_X(!result.byCode[size_t(code)], "FontCodes::eightBit", "each code once");
        result.byCode[size_t(code)] = &glyph;
        result.first = std::min(result.first, code);
        result.last = std::max(result.last, code);
    }
    return result;
}

} // namespace FontCodes
