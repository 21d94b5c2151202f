#pragma once

#include "bitorder.h"

#include <QString>
#include <QStringView>

#include <limits>
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

// One number of a text.
struct Number
{
    // Its value; 0xFFFFFFFF stands for any value of more than 8 digits after
    // its leading zeros.
    quint32 value = 0;
    qsizetype position = 0; // where its digits start in the text
    qsizetype digitCount = 0; // leading zeros included, its mark not
    bool marked = false;    // "0x", "h" or "$" says that it is hexadecimal
};

struct Numbers
{
    std::vector<Number> kept; // the first ones, in the order of the text
    qsizetype count = 0;      // all of them, kept or not
};

// The numbers of `text`, the first `limit` of them kept and all of them
// counted. Where any number is marked as hexadecimal, the words without a
// mark are names, not numbers: "a" in "uint8_t a[] = { 0x7F };" or "db" in
// "db 7Fh, 08h".
Numbers numbers(QStringView text, qsizetype limit = std::numeric_limits<qsizetype>::max());

// Why a text gives no values that fit; message() words each kind.
enum class Error {
    None,
    NoNumber,       // the text holds no hexadecimal number
    TooManyValues,  // `count` values, more than the readout has
    TooManyPairs,   // `count` values of two bytes, more than the readout has
    OddByteCount,   // `count` bytes to pair up, an odd number
    NoSplit,        // `count` bytes that split into the values in no way
    AmbiguousSplit, // `count` bytes that split into the values in several ways
    ValueTooWide,   // the value `digits` has bits beyond the matrix
};

struct Result
{
    std::vector<quint32> values; // in readout order, at most valueCount
    Error error = Error::None;
    qsizetype count = 0; // the count the error is about
    QString digits;      // for ValueTooWide: the value as the text gives it

    bool ok() const { return error == Error::None; }

    // A value that has bits beyond the matrix, as the text gives it.
    static Result valueTooWide(const QString &digits)
    {
        Result result;
        result.error = Error::ValueTooWide;
        result.digits = digits;
        return result;
    }
};

// The values for a readout of `valueCount` cells whose values have
// `bitsPerValue` bits: one per column of a matrix of that many rows, or one
// per row of that many columns.
Result read(QStringView text, int valueCount, int bitsPerValue);

// Why `result` gave no values, in one sentence, for a matrix of `rows` by
// `cols` cells read in `order`; empty when it gave them.
QString message(const Result &result, BitOrder order, int rows, int cols);

} // namespace ByteReader
