#pragma once
// How numbers become text and text becomes numbers, in one place.

#include <string>
#include <string_view>

namespace sheetlore {

// The point-only number reading: blanks, tabs and line feeds anywhere are ignored; then an
// optional sign, digits, an optional "." fraction and an optional exponent are read from the
// start (a leading &H or &O reads a hexadecimal or octal integer); the first character that
// does not fit ends the number; a text without a leading number reads as 0. "." is the only
// decimal separator, whatever the locale.
double ReadNumber(std::wstring_view text);

// The general number text: at most 15 significant digits, no trailing zeros, no thousands
// separators, a leading zero below 1, a leading minus, exponent form (1E-05, 1.5E+20) for very
// small and very large magnitudes, and always "." as the decimal separator.
std::wstring NumberText(double value);

}  // namespace sheetlore
