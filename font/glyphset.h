#pragma once

#include "drawnglyph.h"
#include "exportoptions.h"
#include "glyph.h"

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

#include <optional>
#include <vector>

// An ordered list of glyphs that all have one matrix size, from 3 to 16
// columns by 3 to 16 rows, with what a font file says of the whole: its
// name, where the baseline lies, and the properties this program does not
// use itself, kept so that saving loses none of them.
class GlyphSet
{
public:
    static constexpr int kMinSize = Drawing::kMinSize;
    static constexpr int kMaxSize = Drawing::kMaxSize;

    GlyphSet() = default;
    // A set of `cols` by `rows` cells, both clamped to 3..16, with no glyphs.
    GlyphSet(int cols, int rows);
    // The same with `glyphs`, each fitted as append() fits it: a reader
    // hands over its whole list rather than each glyph.
    GlyphSet(int cols, int rows, std::vector<Glyph> glyphs);

    // A copy of the set's font-wide facts (size, name, baseline, properties,
    // output settings), with no glyphs.
    GlyphSet emptyCopy() const;

    int cols() const { return m_cols; }
    int rows() const { return m_rows; }

    qsizetype size() const { return qsizetype(m_glyphs.size()); }
    bool isEmpty() const { return m_glyphs.empty(); }
    const Glyph &at(qsizetype index) const { return m_glyphs[size_t(index)]; }
    const std::vector<Glyph> &glyphs() const { return m_glyphs; }

    // Adds a glyph; its bitmap takes the set's size (cells beyond it are
    // dropped, missing ones are clear).
    void append(Glyph glyph);
    void reserve(qsizetype count) { m_glyphs.reserve(size_t(count)); }
    // Replaces the bitmap of glyph `index`, fitted to the set's size like
    // append() does.
    void setBits(qsizetype index, const Drawing &bits);
    void setAdvance(qsizetype index, std::optional<int> advance);

    // How far the pen moves after `glyph`: its own advance, or the matrix
    // width.
    int advanceOf(const Glyph &glyph) const { return glyph.advance.value_or(m_cols); }

    // The glyph with its whole cell placed relative to the pen.
    DrawnGlyph drawn(const Glyph &glyph) const
    {
        return {glyph.codePoint, advanceOf(glyph), xOffset, -ascent, glyph.bits};
    }

    // The first glyph for `codePoint`, or -1.
    qsizetype indexOf(int codePoint) const;

    // The font's name (BDF's FONT line); empty when the source had none.
    QByteArray fontName;
    // Rows of the matrix above the baseline; the rest lie below it.
    int ascent = 0;
    // The left edge of the matrix relative to the glyph origin, in pixels
    // (BDF's FONTBOUNDINGBOX x offset).
    int xOffset = 0;
    // Properties of the source file that this program does not write itself,
    // name and value as they stood (a string value keeps its quotes).
    QList<QPair<QByteArray, QByteArray>> properties;
    // The output settings the file was saved with, when it held them.
    std::optional<ExportOptions> exportOptions;

private:
    Drawing fitted(const Drawing &bits) const;

    int m_cols = kMinSize;
    int m_rows = kMinSize;
    std::vector<Glyph> m_glyphs;
    bool m_rising = true; // code points rising: indexOf() searches by halves
};
