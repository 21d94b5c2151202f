#pragma once

#include "codepoints.h"
#include "glyphset.h"
#include "pictures.h"

#include <QByteArray>
#include <QString>

#include <algorithm>
#include <vector>

// Glyphs and sets compared field by field, each shown as its values and its
// pictures when a comparison fails, and the sets the display formats take.

inline bool operator==(const Glyph &a, const Glyph &b)
{
    return a.codePoint == b.codePoint && a.name == b.name && a.bits == b.bits && a.advance == b.advance;
}

namespace FontFixtures {

// Everything a set holds but its glyphs.
inline bool sameValues(const GlyphSet &a, const GlyphSet &b)
{
    return a.cols() == b.cols() && a.rows() == b.rows() && a.size() == b.size() && a.ascent == b.ascent
        && a.xOffset == b.xOffset && a.fontName == b.fontName && a.properties == b.properties
        && a.exportOptions == b.exportOptions;
}

inline QString describe(const Glyph &glyph)
{
    return QStringLiteral("%1 '%2', advance %3:\n%4")
            .arg(glyph.codePoint == Glyph::kNoCodePoint
                         ? QStringLiteral("no code point")
                         : QStringLiteral("U+%1").arg(glyph.codePoint, 4, 16, QLatin1Char('0')).toUpper())
            .arg(QString::fromUtf8(glyph.name))
            .arg(glyph.advance ? QString::number(*glyph.advance) : QStringLiteral("none"))
            .arg(Pictures::picture(glyph.bits));
}

// The font's own values, without its glyphs.
inline QString describe(const GlyphSet &set)
{
    return QStringLiteral("%1 x %2, ascent %3, x offset %4, %5 glyphs, name '%6', %7 properties%8")
            .arg(set.cols()).arg(set.rows()).arg(set.ascent).arg(set.xOffset).arg(set.size())
            .arg(QString::fromUtf8(set.fontName)).arg(set.properties.size())
            .arg(set.exportOptions ? QStringLiteral(", export options") : QString());
}

// For a large set, where QCOMPARE would print both whole, with QVERIFY2:
// what differs first, the font's values or a glyph.
inline bool sameGlyph(const Glyph &expected, const Glyph &actual, QString *message)
{
    if (expected == actual)
        return true;
    *message = QStringLiteral("expected %1got %2").arg(describe(expected), describe(actual));
    return false;
}

inline bool sameSet(const GlyphSet &expected, const GlyphSet &actual, QString *message)
{
    if (!sameValues(expected, actual)) {
        *message = QStringLiteral("the font's own values differ: %1 against %2").arg(describe(expected), describe(actual));
        return false;
    }
    for (qsizetype i = 0; i < expected.size(); ++i) {
        if (!sameGlyph(expected.at(i), actual.at(i), message)) {
            message->prepend(QStringLiteral("glyph %1: ").arg(i));
            return false;
        }
    }
    return true;
}

// The glyphs of `font` that a display format takes: code points from 0 to
// `highest` (and in `ranges`, where given), rising, each code point's first
// glyph once.
inline GlyphSet displaySet(const GlyphSet &font, int highest, const CodePoints::Ranges &ranges = {})
{
    std::vector<Glyph> glyphs;
    for (const Glyph &glyph : font.glyphs()) {
        if (glyph.codePoint >= 0 && glyph.codePoint <= highest
            && (ranges.isEmpty() || CodePoints::contains(ranges, glyph.codePoint)))
            glyphs.push_back(glyph);
    }
    std::stable_sort(glyphs.begin(), glyphs.end(), [](const Glyph &a, const Glyph &b) { return a.codePoint < b.codePoint; });
    glyphs.erase(std::unique(glyphs.begin(), glyphs.end(),
                             [](const Glyph &a, const Glyph &b) { return a.codePoint == b.codePoint; }),
                 glyphs.end());
    GlyphSet set(font.cols(), font.rows());
    for (const Glyph &glyph : glyphs)
        set.append(glyph);
    set.ascent = font.ascent;
    set.xOffset = font.xOffset;
    set.fontName = font.fontName;
    return set;
}

} // namespace FontFixtures

inline bool operator==(const GlyphSet &a, const GlyphSet &b)
{
    return FontFixtures::sameValues(a, b) && a.glyphs() == b.glyphs();
}

inline char *toString(const Glyph &glyph)
{
    return qstrdup((QLatin1Char('\n') + FontFixtures::describe(glyph)).toUtf8().constData());
}

inline char *toString(const GlyphSet &set)
{
    QString text = QLatin1Char('\n') + FontFixtures::describe(set) + QLatin1Char('\n');
    for (const Glyph &glyph : set.glyphs())
        text += FontFixtures::describe(glyph);
    return qstrdup(text.toUtf8().constData());
}
