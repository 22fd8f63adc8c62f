#pragma once
// How numbers become text and text becomes numbers, in one place.

#include <string>
#include <string_view>

namespace sheetlore {

// The point-only number reading: blanks, tabs and line feeds anywhere are ignored; then an
// optional sign, digits, an optional "." fraction and an optional exponent are read from the
// start (a leading &H or &O reads a hexadecimal or octal integer); the first character that
// does not fit ends the number; a text without a leading number reads as 0. "." is the only
// decimal separator, whatever the locale. The exponent letter is E or D, either case.
// &H/&O values up to 0xFFFF read as 16-bit integers and up to 0xFFFFFFFF as 32-bit ones (so
// &HFFFF and &HFFFFFFFF are both -1). Throws AutomationError::Overflow() for a decimal beyond
// the double range or a &H/&O value wider than 32 bits; a value too small for a double reads
// as 0, and so does negative zero.
double ReadNumber(std::wstring_view text);

// The general number text: at most 15 significant digits, no trailing zeros, no thousands
// separators, a leading zero below 1, a leading minus, exponent form (1E-05, 1.5E+20) for very
// small and very large magnitudes, and always "." as the decimal separator. Exact halves
// round away from zero; negative zero is "0"; infinities and NaN give "INF", "-INF", "NAN".
std::wstring NumberText(double value);

}  // namespace sheetlore
