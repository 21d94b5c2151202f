#include "cheader.h"

#include "codepoints.h"
#include "glyphexport.h"

namespace CHeader {

namespace {
// Whether glyph i has code point first + i throughout.
bool consecutive(const GlyphSet &set)
{
    for (qsizetype i = 0; i < set.size(); ++i) {
        if (set.at(i).codePoint < 0 || set.at(i).codePoint != set.at(0).codePoint + i)
            return false;
    }
    return true;
}

QString codeName(const Glyph &glyph)
{
    // Only a glyph without a code point, which no remap moves, is named
    // by its label.
    return glyph.codePoint < 0 ? GlyphExport::label(glyph) : CodePoints::name(glyph.codePoint);
}

// "one value per row from the top, the leftmost cell in bit 4"
QString orderText(BitOrder order, int rows, int cols)
{
    const int length = order.bitsPerValue(rows, cols);
    const BitOrder::Words &words = order.words();
    return QStringLiteral("one value per %1 %2, the %3 cell in bit %4 (%5)")
            .arg(QLatin1String(words.line), QLatin1String(words.linesFrom), QLatin1String(words.firstCell))
            .arg(order.bitOfCell(0, length))
            .arg(order.name());
}

// The table of code points: the narrowest type that holds them all, -1
// standing for a glyph without one.
QString codeTable(const GlyphSet &set, const QString &id)
{
    int lowest = 0, highest = 0;
    for (const Glyph &glyph : set.glyphs()) {
        lowest = std::min(lowest, glyph.codePoint);
        highest = std::max(highest, glyph.codePoint);
    }
    const bool negative = lowest < 0;
    const QLatin1String type = negative ? QLatin1String("int32_t")
            : highest <= 0xFF               ? QLatin1String("uint8_t")
            : highest <= 0xFFFF             ? QLatin1String("uint16_t")
                                            : QLatin1String("uint32_t");
    const int digits = highest <= 0xFF ? 2 : highest <= 0xFFFF ? 4 : 6;
    constexpr int kPerLine = 8;

    QString out = QStringLiteral("\n// The code point of each glyph: glyph i draws %1Codes[i]%2.\n")
                          .arg(id, negative ? QStringLiteral(", -1 for none") : QString());
    out += QStringLiteral("static const %1 %2Codes[%2Count] = {\n").arg(type, id);
    for (qsizetype i = 0; i < set.size(); ++i) {
        const int code = set.at(i).codePoint;
        out += i % kPerLine == 0 ? QLatin1String("    ") : QLatin1String(" ");
        if (code < 0)
            out += QLatin1String("-1");
        else
            CSource::appendHex(out, quint32(code), digits);
        out += u',';
        if (i % kPerLine == kPerLine - 1 || i == set.size() - 1)
            out += QLatin1Char('\n');
    }
    return out + QLatin1String("};\n");
}
} // namespace

CSource::File write(const GlyphSet &set, QStringView name, BitOrder order, const std::vector<int> &sources)
{
    if (set.isEmpty())
        return {QString(), QStringLiteral("there are no glyphs to write")};
    Q_ASSERT(CSource::isIdentifier(name));
    const QString id = name.toString();
    const int valueCount = order.valueCount(set.rows(), set.cols());
    const int bits = order.bitsPerValue(set.rows(), set.cols());
    const bool narrow = bits <= 8;
    const bool inSequence = consecutive(set);

    QString out = CSource::fontNameLine(set);
    out += QStringLiteral("// %1 of %2 x %3 pixels, %4 to %5%6.\n")
                   .arg(CSource::glyphCount(set.size()))
                   .arg(set.cols())
                   .arg(set.rows())
                   .arg(codeName(set.glyphs().front()), codeName(set.glyphs().back()),
                        inSequence ? QString() : QStringLiteral(" with gaps (see ") + id + QLatin1String("Codes)"));
    out += QStringLiteral("// Each glyph is %1 values of %2 bits: %3.\n")
                   .arg(valueCount)
                   .arg(bits)
                   .arg(orderText(order, set.rows(), set.cols()));
    out += QLatin1Char('\n');
    out += CSource::guardStart(id);

    std::vector<CSource::Constant> constants;
    if (inSequence) {
        const int first = set.at(0).codePoint;
        constants.push_back({id + QLatin1String("First"), CSource::hex(quint32(first), first <= 0xFF ? 2 : 4),
                             QStringLiteral("glyph i draws code point %1First + i").arg(id)});
    }
    constants.push_back({id + QLatin1String("Count"), QString::number(set.size()), QStringLiteral("glyphs")});
    constants.push_back({id + QLatin1String("Width"), QString::number(set.cols()), QStringLiteral("pixels")});
    constants.push_back({id + QLatin1String("Height"), QString::number(set.rows()), QStringLiteral("pixels")});
    constants.push_back({id + QLatin1String("Values"), QString::number(valueCount), QStringLiteral("per glyph")});
    out += CSource::enumBlock(constants);

    // A whole font is megabytes of text: one allocation, not a growing one.
    out.reserve(out.size() + set.size() * (valueCount * (narrow ? 6 : 8) + 48));
    out += QStringLiteral("\nstatic const %1 %2[%2Count][%2Values] = {\n")
                   .arg(narrow ? QLatin1String("uint8_t") : QLatin1String("uint16_t"), id);
    for (qsizetype i = 0; i < set.size(); ++i) {
        const Glyph &glyph = set.at(i);
        out += QLatin1String("    { ");
        out += CSource::hexList(order.values(glyph.bits), narrow ? 2 : 4);
        out += QLatin1String(" }, // ");
        out += GlyphExport::label(glyph, GlyphExport::sourceOf(sources, i));
        out += u'\n';
    }
    out += QLatin1String("};\n");
    if (!inSequence)
        out += codeTable(set, id);
    out += CSource::guardEnd();
    return {out, QString()};
}

} // namespace CHeader
