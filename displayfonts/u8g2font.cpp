#include "u8g2font.h"

#include "codepoints.h"
#include "glyphexport.h"

namespace U8g2Font {

namespace {
const QString kIndent = QStringLiteral("    ");

// What each piece of the font is, its glyph named as the export names it.
QString partComment(const U8g2Font::Part &part, const GlyphSet &set, const std::vector<int> &sources,
                    qsizetype *glyphIndex, bool *pastTable)
{
    switch (part.kind) {
    case U8g2Font::Part::Kind::Header:
        return QStringLiteral("header");
    case U8g2Font::Part::Kind::LookupTable:
        *pastTable = true;
        return QStringLiteral("lookup table of the glyphs from U+0100");
    case U8g2Font::Part::Kind::SectionEnd:
        return *pastTable ? QStringLiteral("end of the glyphs from U+0100") : QStringLiteral("end of the glyphs below U+0100");
    case U8g2Font::Part::Kind::Glyph:
        break;
    }
    // The records follow the set's order, with those left out as too large
    // among them.
    const qsizetype index = *glyphIndex;
    if (index < set.size() && set.at(index).codePoint == part.codePoint) {
        ++*glyphIndex;
        return GlyphExport::label(set.at(index), GlyphExport::sourceOf(sources, index));
    }
    Glyph leftOut;
    leftOut.codePoint = part.codePoint;
    return GlyphExport::label(leftOut, Glyph::kNoCodePoint);
}
} // namespace

CSource::File write(const GlyphSet &set, const QString &name, const std::vector<int> &sources,
                    const LeftOut *leftOut)
{
    Q_ASSERT(CSource::isIdentifier(name));
    QString error;
    const std::optional<QByteArray> font = encode(set, &error, leftOut);
    if (!font)
        return {QString(), error};
    const std::optional<std::vector<Part>> pieces = parts(*font, &error);
    Q_ASSERT(pieces);
    if (!pieces)
        return {QString(), error};

    const QString title = set.fontName.isEmpty() ? name : QString::fromUtf8(set.fontName);
    std::vector<int> codes;
    for (const Part &part : *pieces) {
        if (part.kind == Part::Kind::Glyph)
            codes.push_back(part.codePoint);
    }
    QString out;
    out += CSource::comment(QStringLiteral("%1: %2%3, %4 x %5 cells, as a u8g2 font of %6 bytes.")
                                    .arg(title)
                                    .arg(CSource::glyphCount(qsizetype(codes.size())))
                                    .arg(codes.empty() ? QString()
                                                       : QStringLiteral(" from %1 to %2")
                                                                 .arg(CodePoints::name(codes.front()),
                                                                      CodePoints::name(codes.back())))
                                    .arg(set.cols())
                                    .arg(set.rows())
                                    .arg(font->size()));
    out += CSource::comment(QStringLiteral("u8g2_SetFont(&u8g2, %1); then u8g2_DrawUTF8(&u8g2, x, y, text) writes "
                                           "with y on the baseline, the row below a letter's bottom row.")
                                    .arg(name));
    out += CSource::libraryInclude(u"u8g2");
    out += QStringLiteral("const uint8_t %1[%2] U8G2_FONT_SECTION(\"%1\") = {\n").arg(name).arg(font->size());
    // Six characters a byte, and a comment line a piece: one allocation.
    out.reserve(out.size() + font->size() * 6 + qsizetype(pieces->size()) * 40);
    qsizetype glyphIndex = 0;
    bool pastTable = false;
    for (const Part &part : *pieces) {
        out += CSource::comment(partComment(part, set, sources, &glyphIndex, &pastTable), kIndent);
        out += CSource::byteLines(font->mid(part.offset, part.size), 16, kIndent);
    }
    out += QLatin1String("};\n");
    return {out, QString()};
}

} // namespace U8g2Font
