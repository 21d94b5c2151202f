#pragma once

#include "glyphset.h"

#include <QString>

#include <optional>

// A glyph set as a C file that defines a u8x8 tile font, as the library's
// own fonts are defined: `const uint8_t name[N] U8X8_FONT_SECTION("name")`,
// a comment naming each code and a line per tile. It compiles as C99 and as
// C++ where "u8x8.h" is found.
namespace U8x8Source {

// The whole file, or nothing with one sentence in `error` when `name` is
// not a C identifier or the set does not fit the format (U8x8Font::encode).
std::optional<QString> text(const GlyphSet &set, const QString &name, QString *error = nullptr);

} // namespace U8x8Source
