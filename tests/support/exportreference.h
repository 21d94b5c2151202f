#pragma once

#include "glyphset.h"
#include "readoutreference.h"

#include <QChar>
#include <QString>

// A glyph's line of the export worked out from its pixels by the readout
// reference, and the comment that names it written from the naming rules,
// both apart from the export's code, which the tests check against them.
namespace ExportReference {

struct Style
{
    ReadoutReference::Order order = ReadoutReference::Order::Horizontal;
    QString prefix = QStringLiteral("$");
    QString delimiter = QStringLiteral(",");
    bool comments = false;
};

// "U+0041 'A'": U+ and four hex digits or more, then the character in quotes
// where it is a letter, number, punctuation, symbol or space, else the font's
// name for the glyph. A glyph without a code point goes by its name alone. A
// name keeps printable ASCII; anything else, and a closing backslash (also
// the trigraph that reads as one), becomes '_'.
inline QString label(const Glyph &glyph)
{
    QString name;
    for (const char byte : glyph.name)
        name += byte > ' ' && byte <= '~' ? QLatin1Char(byte) : QLatin1Char('_');
    if (name.endsWith(QLatin1Char('\\')) || name.endsWith(QLatin1String("?\?/")))
        name.back() = QLatin1Char('_');
    if (glyph.codePoint == Glyph::kNoCodePoint)
        return name.isEmpty() ? QStringLiteral("unnamed glyph") : name;
    const QString code = QStringLiteral("U+%1").arg(glyph.codePoint, 4, 16, QLatin1Char('0')).toUpper();
    const char32_t c = char32_t(glyph.codePoint);
    if (QChar::isLetterOrNumber(c) || QChar::isPunct(c) || QChar::isSymbol(c)
        || QChar::category(c) == QChar::Separator_Space)
        return code + QLatin1String(" '") + QString::fromUcs4(&c, 1) + QLatin1Char('\'');
    return name.isEmpty() ? code : code + QLatin1Char(' ') + name;
}

// Every value's readout text run together and cut into bytes of two digits,
// each framed by the prefix and the delimiter, then the comment, then CR LF.
inline QString line(const Glyph &glyph, const Style &style = {})
{
    const Drawing &bits = glyph.bits;
    const int count = style.order == ReadoutReference::Order::Vertical ? bits.cols() : bits.rows();
    const auto isSet = [&bits](int r, int c) { return bits.isSet(r, c); };
    std::string hex;
    for (int i = 0; i < count; ++i)
        hex += ReadoutReference::text(ReadoutReference::lineValue(isSet, bits.rows(), bits.cols(), style.order, i), count);
    QString result;
    for (size_t i = 0; i < hex.size(); i += 2)
        result += style.prefix + QString::fromStdString(hex.substr(i, 2)) + style.delimiter;
    if (style.comments)
        result += QLatin1String(" // ") + label(glyph);
    return result + QLatin1String("\r\n");
}

// Every glyph's line, in set order.
inline QString text(const GlyphSet &set, const Style &style = {})
{
    QString result;
    for (const Glyph &glyph : set.glyphs())
        result += line(glyph, style);
    return result;
}

} // namespace ExportReference
