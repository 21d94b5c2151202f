#pragma once

#include "glyphset.h"

#include <QString>

#include <optional>

// A glyph set as a C file that defines a u8g2 font, as the library's own
// fonts are defined: `const uint8_t name[N] U8G2_FONT_SECTION("name")`, with
// a comment naming each glyph's record. It compiles as C99 and as C++ where
// "u8g2.h" is found.
namespace U8g2Source {

// The whole file, or nothing with one sentence in `error` when `name` is
// not a C identifier or the set does not fit the format (U8g2Font::encode).
std::optional<QString> text(const GlyphSet &set, const QString &name, QString *error = nullptr);

} // namespace U8g2Source
