#pragma once

#include "drawing.h"

#include <QLatin1String>
#include <QString>
#include <QStringView>

#include <array>
#include <optional>
#include <vector>


// Which cell of a drawing is which bit of which value: the rule the readouts
// show, Copy to Text writes, fonts are exported in and bytes are read back by.
// Everything that turns cells into values, or values into cells, asks this.
class BitOrder
{
public:
    enum Kind {
        Vertical,              // one value per column, the top cell its bit 0
        Horizontal,            // one value per row, the rightmost cell its bit 0
        HorizontalLeftToRight, // one value per row, the leftmost cell its bit 0
    };

    constexpr BitOrder(Kind kind = Horizontal)
        : m_kind(kind)
    {
    }

    // The order the editor's controls choose: optvert selected, or else
    // chkdir's value, 1 when checked.
    static constexpr BitOrder fromControls(bool optvert, int chkdir)
    {
        return optvert ? Vertical : chkdir == 1 ? HorizontalLeftToRight : Horizontal;
    }

    static constexpr std::array<Kind, 3> all() { return {Vertical, Horizontal, HorizontalLeftToRight}; }

    constexpr Kind kind() const { return m_kind; }
    constexpr bool isVertical() const { return m_kind == Vertical; }
    // Whether chkdir is checked in this order.
    constexpr bool isLeftToRight() const { return m_kind == HorizontalLeftToRight; }

    friend constexpr bool operator==(BitOrder a, BitOrder b) { return a.m_kind == b.m_kind; }
    friend constexpr bool operator!=(BitOrder a, BitOrder b) { return a.m_kind != b.m_kind; }

    // The words that name and describe an order, each in one place.
    struct Words
    {
        // Its name in files and on the command line: "vert", "horiz" or
        // "horiz-ltr".
        const char *name;
        // As a list shows it: "Horizontal, left to right".
        const char *title;
        // What a value holds, "column" or "row", and where those start:
        // "from the left", "from the top".
        const char *line;
        const char *linesFrom;
        // The cell that starts a line ("top", "leftmost") and the cell that
        // is a value's lowest bit ("top", "rightmost", "leftmost").
        const char *firstCell;
        const char *lowestCell;
    };
    const Words &words() const;

    // Its name in files and on the command line: "vert", "horiz" or
    // "horiz-ltr".
    QLatin1String name() const;
    // As a list shows it: "Vertical".
    QString title() const;
    // The order of that name, or none.
    static std::optional<BitOrder> fromName(QStringView name);
    // Every name, for a message: "vert, horiz, horiz-ltr".
    static QString nameList();

    // A matrix of `rows` by `cols` cells gives one value per column
    // (vertical) or row, of one bit per cell of that column or row.
    constexpr int valueCount(int rows, int cols) const { return isVertical() ? cols : rows; }
    constexpr int bitsPerValue(int rows, int cols) const { return isVertical() ? rows : cols; }

    // The bit that the cell at `index` of a column (counted from the top) or
    // row (from the left) of `length` cells gives its value.
    constexpr int bitOfCell(int index, int length) const
    {
        return m_kind == Horizontal ? length - 1 - index : index;
    }

    // Value `index` of `drawing`: column `index` when vertical, else row.
    // Inline: a whole font's export asks for every value of every glyph.
    quint32 value(const Drawing &drawing, int index) const
    {
        // Row by row rather than cell by cell: a row's bits are its cells
        // left to right from bit 0, which is the order HorizontalLeftToRight
        // reads; Horizontal reads them mirrored.
        switch (m_kind) {
        case HorizontalLeftToRight:
            return drawing.rowBits(index);
        case Horizontal: {
            // The row's 16 bits reversed, then moved down to its length.
            return quint32(Drawing::reversed(drawing.rowBits(index))) >> (Drawing::kMaxSize - drawing.cols());
        }
        case Vertical:
            break;
        }
        quint32 result = 0;
        if (index < 0 || index >= drawing.cols())
            return 0;
        for (int cell = 0; cell < drawing.rows(); ++cell)
            result |= quint32(drawing.rowBits(cell) >> index & 1u) << bitOfCell(cell, drawing.rows());
        return result;
    }
    // Every value, in readout order.
    std::vector<quint32> values(const Drawing &drawing) const;
    // The drawing of `rows` by `cols` cells whose values are `values`, the
    // first for the first column (vertical) or row; missing values are clear
    // lines, and bits beyond a line are dropped.
    Drawing drawing(const std::vector<quint32> &values, int rows, int cols) const;

    // The hex string the readout shows once every line has been clicked:
    // each value in hexadecimal, padded to 2 or 4 digits by the number of
    // values, run together.
    QString hexString(const Drawing &drawing) const;
    // The same as ASCII into `out`, which has room for kMaxHexLength
    // characters; returns its length.
    static constexpr int kMaxHexLength = 16 * 4;
    int writeHex(const Drawing &drawing, char *out) const;

private:
    Kind m_kind;
};
