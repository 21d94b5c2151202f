#pragma once

#include "bdfformat.h"
#include "bdfwords.h"

#include <QStringList>

#include <array>
#include <optional>
#include <vector>

namespace BdfFormat {

// A glyph as the file gives it, before the matrix is known: its ink's rows
// left-aligned in 16 bits, the ink's leftmost column in the top bit. Only a
// glyph whose ink fits the largest matrix keeps its rows.
struct RawGlyph
{
    GlyphExtent extent;
    Source::Lines lines;
    std::optional<int> advance;
    std::array<quint16, GlyphSet::kMaxSize> rows{};
};

// Everything a BDF file says, as BdfParser reads it.
struct ParsedFont
{
    QByteArray fontName;
    Box fontBox;
    // The font's box with every glyph's box.
    Box whole;
    QList<QPair<QByteArray, QByteArray>> properties;
    std::optional<ExportOptions> options;
    std::vector<RawGlyph> glyphs;
    QStringList notes;
    // Where the lines that saving into the file may change lie.
    std::optional<Source::Lines> fontBoxLine;
    std::optional<Source::Lines> startProperties;
    std::vector<Source::Property> propertyLines;
    Source::Lines endProperties;
    qsizetype charsLine = -1;
};

// The lines of a BDF file read into a ParsedFont, from STARTFONT to
// ENDFONT: each glyph's box checked and its ink found, no matrix chosen.
class BdfParser
{
public:
    // A glyph's box may be larger than the matrix as long as its ink fits;
    // a box beyond this is no glyph of a bitmap font but a damaged file,
    // refused before its rows are read.
    static constexpr int kMaxBox = 256;

    // `bytes` must outlive the parser.
    explicit BdfParser(const QByteArray &bytes);

    // Reads the whole file; false with the message in error(), which
    // happened at lineNumber().
    bool parse();
    const QString &error() const { return m_error; }
    qint64 lineNumber() const { return m_lineNo; }
    // What parse() read, for the caller to take apart.
    ParsedFont &font() { return m_font; }

private:
    // One bitmap row as the file gives it, the leftmost pixel in the top bit
    // of the first word.
    using Row = std::array<quint64, kMaxBox / 64>;

    bool nextLine();
    bool fail(const QString &what)
    {
        m_error = what;
        return false;
    }
    bool number(Words &words, const char *keyword, qint64 low, qint64 high, int *out);
    bool box(Words &words, const char *keyword, Box *out);
    bool header();
    bool properties();
    bool property(Words &words);
    bool glyph(Words &words);
    bool bitmap(RawGlyph &glyph, const Box &box);
    bool bitmapRow(const RawGlyph &glyph, int row, const Box &box, Row *bits);
    bool endsAfterGlyphs();
    // The current line as a span of the file, its line end included.
    Source::Lines currentLines() const
    {
        return {m_lineBegin - m_bytes.constData(), m_next - m_bytes.constData()};
    }
    static quint16 window(const Row &row, int words, int col);

    const QByteArray &m_bytes;
    const char *m_next;
    const char *m_end;

    // The current line, without its line end and trailing blanks; where it
    // begins in the file, blanks included.
    const char *m_lineBegin = nullptr;
    const char *m_line = nullptr;
    const char *m_lineEnd = nullptr;
    qint64 m_lineNo = 0;
    QString m_error;

    ParsedFont m_font;
    std::optional<qint64> m_chars;
    std::optional<int> m_defaultAdvance; // a DWIDTH outside the glyphs
    // The rows of the glyph being read.
    std::vector<Row> m_rows;
};

} // namespace BdfFormat
