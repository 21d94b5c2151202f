#include "glyphexport.h"

namespace GlyphExport {

QString text(const GlyphSet &, const Options &)
{
    return {};
}

QString line(const Glyph &, const GlyphSet &, const Options &)
{
    return {};
}

} // namespace GlyphExport
