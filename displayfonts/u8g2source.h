#pragma once

#include "csourcereader.h"
#include "firmwaresource.h"
#include "glyphset.h"
#include "readresult.h"
#include "storedglyph.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>
#include <vector>

// u8g2 and u8x8 fonts as C source holds them: a one-dimensional array of
// bytes, written as a string literal (as the library's converter writes
// them) or as a list of numbers, its kind named by its section macro or
// known by its content. The two formats' find() and read() ask this.
namespace U8g2Source {

enum class Kind { None, U8g2, U8x8 };

// A font's bytes opened as a set, as each format's open() gives it:
// `fontGlyphs` counts the font's glyphs where the set left some out as
// larger than 16 x 16, and `error` says "byte N: what is wrong" where there
// is no set.
struct Opened
{
    std::optional<GlyphSet> set;
    qsizetype fontGlyphs = 0;
    QString error;
    // Each glyph's code point and the offset of its first byte, for the
    // comment the writer put before it.
    std::vector<std::pair<int, qsizetype>> starts;
    // Where glyphs were left out, or the set's cell does not tell where
    // they lie: every glyph of the bytes, for the set to be saved whole
    // (FirmwareGlyphs::keepWhole); asked only when the font is opened, not
    // when it is listed.
    std::vector<StoredGlyph> (*whole)(QByteArrayView data) = nullptr;
    // The cell the font's form declares beside them (u8x8's tiles), or 0.
    int wholeCols = 0;
    int wholeRows = 0;
};
using Opener = Opened (*)(QByteArrayView data);

// The bytes of a one-dimensional array of bytes, as the compiler lays them
// out: a string literal's and the NUL after it where the array has room for
// it (the font's last byte, or one past the font that the library never
// reads), or a list of numbers from -128 to 255; none for anything else.
std::optional<QByteArray> bytesOf(const CSourceReader::Declaration &declaration);

// Which of the two a declaration holds, its bytes in `bytes`: the one its
// section macro names, or else u8g2 where its bytes decode as a u8g2 font,
// u8x8 where they do not and the u8x8 header and the length agree (but for
// a literal's NUL). None for
// anything else, so that one declaration is never found as both.
Kind kindOf(const CSourceReader::Declaration &declaration, QByteArray *bytes);

// The fonts of `kind` among the declarations, each opened by `open` to list
// its glyphs and size (a font named by its section macro is listed even
// where its bytes are damaged; reading it says how).
std::vector<FirmwareSource::Font> find(const CSourceReader::Source &source, Kind kind, Opener open);

// The font `font` as a set, with the font name the file's comment before it
// gives (this program's first comment line, or the converter's "Fontname:"),
// each glyph's name where the comment before its bytes gives one, as the
// writers name a glyph that has no character to show ("U+00AD hyphen"),
// and the export choices that write it again as `kind` under its name. One
// line naming the file, the line and the font where it is damaged.
ReadResult read(const CSourceReader::Source &source, const FirmwareSource::Font &font, const QString &path,
                Kind kind, Opener open);

} // namespace U8g2Source
