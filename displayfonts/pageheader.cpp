#include "pageheader.h"

#include "codepoints.h"
#include "glyphexport.h"

namespace PageHeader {

CSource::File write(const GlyphSet &set, QStringView name, const PageLayout::Options &options)
{
    const PageLayout::Result encoded = PageLayout::encode(set, options);
    if (!encoded.ok())
        return {QString(), encoded.error};
    const PageLayout::Font &font = *encoded.font;
    const QString id = CSource::identifier(name);
    const int pages = PageLayout::pageCount(font.rows);
    const int size = PageLayout::recordSize(font.cols, font.rows, options);
    const int last = font.first + font.count - 1;

    QString out;
    if (!set.fontName.isEmpty())
        out += QLatin1String("// ") + CSource::commentText(QString::fromUtf8(set.fontName)) + QLatin1Char('\n');
    out += QStringLiteral("// %1 of %2 x %3 pixels for page-addressed displays, %4 to %5.\n")
                   .arg(CSource::glyphCount(set.size()))
                   .arg(font.cols)
                   .arg(font.rows)
                   .arg(CodePoints::name(font.first), CodePoints::name(last));
    out += QStringLiteral("// Record c - %1First draws code c; a code without a glyph has a clear record%2.\n")
                   .arg(id, options.widthByte ? QStringLiteral(" of width 0") : QString());
    out += QLatin1String("// A record is ")
            + (options.widthByte ? QLatin1String("the glyph's width in pixels, then its bytes: ") : QLatin1String("the glyph's bytes: "))
            + (options.order == PageLayout::Order::Column
                       ? QLatin1String("each column from the left,\n// its pages from the top in turn.")
                       : QLatin1String("each page from the top,\n// its columns from the left in turn."))
            + QLatin1String(" A byte is one column of a page of 8 rows, bit 0 its top row.\n\n");
    out += QStringLiteral("#ifndef %1_H\n#define %1_H\n\n#include <stdint.h>\n\n").arg(id);

    out += CSource::enumBlock({
            {id + QLatin1String("First"), CSource::hex(quint32(font.first)), QStringLiteral("the code of the first record")},
            {id + QLatin1String("Count"), QString::number(font.count), QStringLiteral("records, one per code")},
            {id + QLatin1String("Width"), QString::number(font.cols), QStringLiteral("pixels")},
            {id + QLatin1String("Height"), QString::number(font.rows),
             QStringLiteral("pixels, in %1 page%2").arg(pages).arg(pages == 1 ? "" : "s")},
            {id + QLatin1String("BytesPerGlyph"), QString::number(size),
             QStringLiteral("%1%2 columns x %3 page%4")
                     .arg(options.widthByte ? QStringLiteral("width, then ") : QString())
                     .arg(font.cols)
                     .arg(pages)
                     .arg(pages == 1 ? "" : "s")},
    });

    out += QStringLiteral("\nstatic const uint8_t %1[%1Count][%1BytesPerGlyph] = {\n").arg(id);
    for (int i = 0; i < font.count; ++i) {
        const int code = font.first + i;
        const qsizetype index = set.indexOf(code);
        const QString comment = index >= 0 ? GlyphExport::label(set.at(index))
                                           : CodePoints::name(code) + QLatin1String(": no glyph");
        out += QLatin1String("    { ") + CSource::hexList(font.recordAt(i)) + QLatin1String(" }, // ") + comment
                + QLatin1Char('\n');
    }
    out += QStringLiteral("};\n\n#endif\n");
    return {out, QString()};
}

} // namespace PageHeader
