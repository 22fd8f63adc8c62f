#pragma once
// Numbers typed on the command line. Stricter than the component's own number reading, which
// takes "21cm" as 21 and "abc" as 0: a script's typing error must stop the command instead of
// adding a form of the wrong size.

#include <string>

namespace sheetlore::cli {

// A decimal number with "." as the decimal point (and an optional exponent), nothing else.
// Throws CommandError (bad arguments) naming what for any other text, and for a number
// outside what a length can be.
double ParseNumber(const std::wstring& text, const std::wstring& what);

// A length: a number that is not negative.
double ParseLength(const std::wstring& text, const std::wstring& what);

struct PaperSize {
  double width = 0;
  double height = 0;
};

// "WIDTH/HEIGHT", for example 8.5/11: two positive numbers separated by one "/".
PaperSize ParsePaperSize(const std::wstring& text);

}  // namespace sheetlore::cli
