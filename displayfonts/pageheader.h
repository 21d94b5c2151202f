#pragma once

#include "csource.h"
#include "glyphset.h"
#include "pagelayout.h"

#include <QStringView>

// A glyph set as a C header for page-addressed displays: one record of page
// bytes per code (PageLayout) on a line of its own with a comment naming the
// glyph, and constants for the first code, the count, the cell's size and
// the record's size. Compiles as C99 and as C++.
namespace PageHeader {

// The header for `set`, whose glyphs have code points 0..255, each once;
// `name` names the array (made an identifier if it is none). Fails with
// PageLayout's message when the set does not fit.
CSource::File write(const GlyphSet &set, QStringView name, const PageLayout::Options &options);

} // namespace PageHeader
