#pragma once

#include "glyphset.h"

#include <QString>

#include <array>
#include <optional>

// Code points as the display formats name and index them.
namespace FontCodes {

// The highest code of the formats whose codes are 8-bit (GFX, u8x8, pages).
constexpr int kLastEightBit = 0xFF;

// "U+0041": a code point as the formats' messages name it, as
// CodePoints::name() does.
QString name(int code);

// The glyphs of an 8-bit format, indexed by code, with the lowest and
// highest code that has one.
struct EightBit
{
    std::array<const Glyph *, kLastEightBit + 1> byCode{};
    int first = kLastEightBit;
    int last = 0;
};

// The set's glyphs by code, or nothing with the reason in `error` when a
// glyph has no code point or one past 0xFF; `format` ("a GFX font") names
// the format in that reason. Each code stands once in the set.
std::optional<EightBit> eightBit(const GlyphSet &set, const QString &format, QString *error);

} // namespace FontCodes
