#pragma once

#include "csource.h"
#include "drawnglyph.h"
#include "readresult.h"

#include <QByteArray>
#include <QLatin1String>
#include <QString>
#include <QStringView>

#include <optional>
#include <vector>

class GlyphSet;
namespace CSourceReader {
struct Source;
}
namespace FirmwareSource {
struct Font;
}

// Glyphs for page-addressed monochrome controllers, whose memory holds one
// byte per column for each page of 8 rows, bit 0 the page's top row. A
// glyph's cell is cut into ceil(rows / 8) pages from the top (the last one
// padded with clear rows at its high bits) and written as one byte per
// column per page, in one of the two orders drivers use. The formats have no
// baseline: a glyph is drawn with its cell's top-left corner at the cursor.
namespace PageLayout {

enum class Order {
    Column, // each column from the left, its pages from the top in turn
    Page,   // each page from the top, all its columns from the left
};

// Every order, as lists show them.
std::vector<Order> orders();
// Its name on the command line and in a font's stored choices: "column" or
// "page".
QLatin1String name(Order order);
std::optional<Order> orderNamed(QStringView name);
// As a list shows it: "Column by column, each column's pages from the top".
QString title(Order order);
// How its records run, as a header's comment says it:
// "each column from the left, its pages from the top in turn".
QString description(Order order);
// The same in the words of the command's help: "each column's pages in
// turn, the top page first".
QString helpText(Order order);

struct Options
{
    Order order = Order::Column;
    // Each record begins with a byte for the glyph's width, as fonts of
    // fixed-size records "[width][columns x pages]" for proportional text
    // have it (widthOf()).
    bool widthByte = false;
};

constexpr int pageCount(int rows) { return (rows + 7) / 8; }

// The bytes of one glyph's record of a `cols` x `rows` cell.
int recordSize(int cols, int rows, const Options &options);

// The width byte of `advance` in a cell `cols` wide: the advance, clamped
// to 0..cols. Renderers of these fonts draw that many of the record's
// columns and step as far; a larger value would draw the next record's
// bytes, and the record holds no ink beyond the cell anyway. So only the
// blank space after a glyph wider than its cell (a wide space) is lost.
int widthOf(int advance, int cols);

// The glyph's record: its width byte, if asked for, then its page bytes.
QByteArray record(const Drawing &bits, int width, const Options &options);

struct Font
{
    int first = 0; // the code of the first record
    int count = 0; // records, one per code from first
    int cols = 0;
    int rows = 0;
    Options options;
    QByteArray bytes; // count records of recordSize() bytes

    QByteArray recordAt(int index) const;
};

struct Result
{
    std::optional<Font> font;
    QString error;

    bool ok() const { return font.has_value(); }
};

// The set's glyphs as records, one per code from the lowest to the highest,
// so that a driver finds code c at (c - first) * recordSize; a code the set
// lacks gets a clear record of width 0. The glyphs must have code points
// 0..255, each once (the caller selects them); each is placed by its code.
// Refuses an empty set and codes outside 0..255.
Result encode(const GlyphSet &set, const Options &options);

// Every record as a display draws it: the whole cell with its top-left
// corner at the pen, the advance its width byte, or the cell's width
// without one. A short last record is left out; a cell outside 1..16 by
// 1..16 pixels gives nothing.
std::vector<DrawnGlyph> decode(const Font &font);

// The set as a C header: one record per code on a line of its own with a
// comment naming the glyph, and constants for the first code, the count,
// the cell's size and the record's size. Compiles as C99 and as C++.
// `name` names the array, a C name (CSource::isIdentifier). Fails with
// encode()'s message when the set does not fit.
CSource::File write(const GlyphSet &set, const QString &name, const Options &options,
                    const std::vector<int> &sources = {});

// What write() says of the font first, after the font's name: "3 glyphs of
// 6 x 9 pixels for page-addressed displays, U+0066 to U+0069."
QString summary(qsizetype glyphs, int cols, int rows, int first, int last);

// The headers write() writes in a C file, known by the array whose name
// gives its constants: First, Count, Width, Height and BytesPerGlyph.
std::vector<FirmwareSource::Font> find(const CSourceReader::Source &source);

// The header's font as a set, with the page order its comments name (the
// column order where they name none) and the width byte its record size
// tells, each record drawn as decode() draws it, a width byte as its
// advance; its name from the line above the summary; and the export
// choices that write it again as it stands. A clear record of width 0 is a
// code without a glyph unless its comment names one there. One line naming
// `path`, the line and the font where the constants do not fit together or
// a record is not bytes.
ReadResult read(const CSourceReader::Source &source, const FirmwareSource::Font &font, const QString &path);

} // namespace PageLayout
