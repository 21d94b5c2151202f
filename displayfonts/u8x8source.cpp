#include "u8x8source.h"

#include "codepoints.h"
#include "csource.h"
#include "glyphexport.h"
#include "u8x8font.h"

namespace U8x8Source {

std::optional<QString> text(const GlyphSet &set, const QString &name, QString *error)
{
    if (!CSource::isIdentifier(name, error))
        return std::nullopt;
    const std::optional<QByteArray> font = U8x8Font::encode(set, error);
    if (!font)
        return std::nullopt;

    const QString indent = QStringLiteral("    ");
    const int first = uchar(font->at(0));
    const int last = uchar(font->at(1));
    const int across = uchar(font->at(2));
    const int down = uchar(font->at(3));
    const QString title = set.fontName.isEmpty() ? name : QString::fromUtf8(set.fontName);
    QString out;
    out += CSource::comment(QStringLiteral("%1: %2 from %3 to %4, %5 x %6 cells in %7 x %8 tiles, as a u8x8 font "
                                           "of %9 bytes.")
                                    .arg(title)
                                    .arg(CSource::glyphCount(set.size()))
                                    .arg(CodePoints::name(first), CodePoints::name(last))
                                    .arg(set.cols())
                                    .arg(set.rows())
                                    .arg(across)
                                    .arg(down)
                                    .arg(font->size()));
    out += CSource::comment(QStringLiteral("u8x8_SetFont(&u8x8, %1); then u8x8_DrawString(&u8x8, column, row, text) "
                                           "writes in whole tiles, each cell in its tiles' top-left corner.")
                                    .arg(name));
    // The Arduino library keeps its C header under clib/ in its sources.
    out += QLatin1String("#ifdef ARDUINO\n#include <clib/u8x8.h>\n#else\n#include \"u8x8.h\"\n#endif\n\n");
    out += QStringLiteral("const uint8_t %1[%2] U8X8_FONT_SECTION(\"%1\") = {\n").arg(name).arg(font->size());
    out += CSource::comment(u"first code, last code, tiles across, tiles down", indent);
    out += CSource::byteLines(font->left(U8x8Font::kHeaderSize), 16, indent);
    const qsizetype glyphBytes = qsizetype(across) * down * U8x8Font::kTileBytes;
    qsizetype index = 0;
    for (int code = first; code <= last; ++code) {
        const bool drawn = index < set.size() && set.at(index).codePoint == code;
        out += CSource::comment(drawn ? GlyphExport::label(set.at(index++))
                                      : CodePoints::name(code) + QLatin1String(", no glyph"),
                                indent);
        out += CSource::byteLines(font->mid(U8x8Font::kHeaderSize + (code - first) * glyphBytes, glyphBytes),
                                  U8x8Font::kTileBytes, indent);
    }
    out += QLatin1String("};\n");
    return out;
}

} // namespace U8x8Source
