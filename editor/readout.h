#pragma once

#include <QString>

#include <vector>

class Drawing;

// Text forms of the readout values: one value per matrix column or row.
namespace Readout {

// Which way the cells of a column or row make its value.
enum class Order {
    Vertical,              // one value per column, the top cell its bit 0
    Horizontal,            // one value per row, the rightmost cell its bit 0
    HorizontalLeftToRight, // one value per row, the leftmost cell its bit 0
};

// The bit that the cell at `index` of a column (counted from the top) or row
// (from the left) of `length` cells gives its value.
int bitOfCell(Order order, int index, int length);

// The drawing of `rows` by `cols` cells whose readout gives `values`, the
// first value for the first column (vertical) or row; missing values are
// clear lines.
Drawing drawingOf(const std::vector<quint32> &values, int rows, int cols, Order order);

// Upper-case hexadecimal without leading zeros; "0" for zero.
QString hexText(quint32 value);

// Brings a readout cell's text to an even number of digits, zeros in front.
// `valueCount` is the number of values the readout shows (its cell count):
// above 8 every text becomes at least 4 digits; up to 8 an empty text becomes
// "00" and a text of 1 or 3 digits gains one zero, so a value keeps 2 digits
// up to 0xFF and 4 beyond. Texts of 4 or more characters stay as they are.
QString padded(const QString &text, int valueCount);

} // namespace Readout
