#pragma once

#include "csource.h"
#include "glyphset.h"

#include <QStringView>

// A glyph set as a header for the graphics library: its bitmaps, its glyph
// table and the GFXfont, written as the library's own fonts are, with a
// comment naming each glyph. The includer declares GFXfont and PROGMEM (the
// library's header does).
namespace GfxHeader {

// The header for `set`, whose glyphs have code points 0..255, each once, as
// GfxFont::encode() needs them; `name` names the font
// (made an identifier if it is none, and kept clear of the library's type
// names). Fails with GfxFont's message when the set does not fit the format.
CSource::File write(const GlyphSet &set, QStringView name);

} // namespace GfxHeader
