#pragma once

// The upper-case hexadecimal digits, each at its value: every text this
// program writes of values, code points and bitmap rows takes its digits
// from here.
inline constexpr char kHexDigits[] = "0123456789ABCDEF";
