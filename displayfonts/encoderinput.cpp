#include "encoderinput.h"

#include "fontcodes.h"
#include "glyphset.h"

namespace EncoderInput {

bool check(const GlyphSet &set, const Format &format, QString *error)
{
    const auto refuse = [error](const QString &reason) {
        if (error)
            *error = reason;
        return false;
    };
    if (set.isEmpty() && format.needsGlyph)
        return refuse(QStringLiteral("%1 needs at least one glyph").arg(format.name));
    int previous = -1;
    for (const Glyph &glyph : set.glyphs()) {
        const int code = glyph.codePoint;
        if (code < 0)
            return refuse(QStringLiteral("a glyph without a code point cannot go into %1").arg(format.name));
        if (code > format.highestCode)
            return refuse(QStringLiteral("%1 lies past %2, the last code %3 holds")
                                  .arg(FontCodes::name(code), FontCodes::name(format.highestCode), format.name));
        if (code <= previous)
            return refuse(QStringLiteral("%1 follows %2; %3 needs the glyphs in rising order, each code once")
                                  .arg(FontCodes::name(code), FontCodes::name(previous), format.name));
        previous = code;
    }
    return true;
}

} // namespace EncoderInput
