#pragma once

#include <QString>
#include <QStringView>

#include <vector>

// Reads a text of hexadecimal numbers back into readout values: what Copy to
// Text wrote, Text2's hex string, or a table from some source code.
//
// The text is split into words at every character that is not a letter, a
// digit or "_". A word is a number when it is hexadecimal digits, with "0x"
// in front or "h" after (either case) or neither; other words are ignored, so
// "$1F,", "0x1F, ", "1Fh" and "{0x1F};" all read 1F. Where any number is
// marked so (or by a "$" in front), a word without a mark is a name.
//
// A single number of more than 4 digits is a run-together hex string, cut
// into values of 4 digits when there are more than 8 values and of 2 digits
// otherwise. Numbers of at most 2 digits are bytes; Copy to Text writes a
// value of 4 digits as two of them, high byte first, so bytes are read in
// pairs when a value is wider than 8 bits or the readout shows more than 8
// values, except where one byte per value is what this program would have
// written (see read()).
namespace ByteReader {

struct Result
{
    std::vector<quint32> values; // in readout order, at most valueCount
    QString error;               // one sentence; empty when the values were read

    bool ok() const { return error.isEmpty(); }
};

// The values for a readout of `valueCount` cells whose values have
// `bitsPerValue` bits: one per column of a matrix of that many rows
// (`vertical`), or one per row of that many columns.
Result read(QStringView text, int valueCount, int bitsPerValue, bool vertical);

} // namespace ByteReader
