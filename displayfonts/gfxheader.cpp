#include "gfxheader.h"

#include "codepoints.h"
#include "glyphexport.h"

#include "gfxfont.h"

namespace GfxHeader {

namespace {
// The names the library's header declares, which a font cannot take.
bool isLibraryName(QStringView name)
{
    return name == u"GFXfont" || name == u"GFXglyph" || name == u"PROGMEM";
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

CSource::File write(const GlyphSet &set, QStringView name)
{
    const GfxFont::Result encoded = GfxFont::encode(set);
    if (!encoded.ok())
        return {QString(), encoded.error};
    const GfxFont::Font &font = *encoded.font;

    QString id = CSource::identifier(name);
    if (isLibraryName(id))
        id += QLatin1Char('_');

    QString out;
    if (!set.fontName.isEmpty())
        out += QLatin1String("// ") + CSource::commentText(QString::fromUtf8(set.fontName)) + QLatin1Char('\n');
    out += QStringLiteral("// A GFXfont of %1, %2 to %3, %4 pixels from line to line.\n"
                          "// Include it after the graphics library's header, which declares GFXfont.\n\n")
                   .arg(CSource::glyphCount(set.size()))
                   .arg(CSource::hex(quint32(font.first)), CSource::hex(quint32(font.last)))
                   .arg(font.yAdvance);

    out += QStringLiteral("const uint8_t %1Bitmaps[] PROGMEM = {\n").arg(id);
    // C has no empty arrays: a font without a pixel keeps one unused byte.
    out += font.bitmap.isEmpty() ? QStringLiteral("    0x00, // no glyph has pixels\n")
                                 : CSource::byteLines(font.bitmap);
    out += QLatin1String("};\n\n");

    out += QStringLiteral("const GFXglyph %1Glyphs[] PROGMEM = {\n").arg(id);
    out += QLatin1String("    // offset, width, height, advance, x offset, y offset\n");
    for (size_t i = 0; i < font.glyphs.size(); ++i) {
        const int code = font.first + int(i);
        const qsizetype index = set.indexOf(code);
        const QString comment = index >= 0 ? GlyphExport::label(set.at(index))
                                           : CodePoints::name(code) + QLatin1String(": no glyph");
        out += glyphLine(font.glyphs[i], comment);
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

} // namespace GfxHeader
