#pragma once

#include <QByteArray>
#include <QString>

// How a glyph is named to a screen reader: by its code point, the character
// itself where it reads as one, and what the character is called, as in
// "U+0041 A, LATIN CAPITAL LETTER A".
namespace CharacterName {

// The character's name in the Unicode standard, as the system's ICU knows
// it, with the standard's later corrections; empty for code points without
// one (controls, private use, unassigned).
QString unicodeName(int codePoint);

// The glyph for `codePoint` (Glyph::kNoCodePoint for none), called
// `glyphName` in its font. The character is left out where it would be
// read as nothing or as something else (blanks, controls, combining marks);
// the font's name stands in for a missing Unicode name. A glyph without ink
// is said to be blank.
QString spoken(int codePoint, const QByteArray &glyphName, bool blank);

} // namespace CharacterName
