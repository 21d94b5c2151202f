#pragma once

#include <QString>

// Text forms of the readout values: one value per matrix column or row, in
// the order BitOrder gives.
namespace Readout {

// Upper-case hexadecimal without leading zeros; "0" for zero.
QString hexText(quint32 value);

// Brings a readout cell's text to an even number of digits, zeros in front.
// `valueCount` is the number of values the readout shows (its cell count):
// above 8 every text becomes at least 4 digits; up to 8 an empty text becomes
// "00" and a text of 1 or 3 digits gains one zero, so a value keeps 2 digits
// up to 0xFF and 4 beyond. Texts of 4 or more characters stay as they are.
QString padded(const QString &text, int valueCount);

} // namespace Readout
