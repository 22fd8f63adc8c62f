// The general number text against the point-only number reading:
//  - number -> text -> number gives the number rounded to 15 significant digits (exact halves
//    away from zero), and that text is the shortest one: its digits are the 15 rounded ones
//    without trailing zeros;
//  - text -> number -> text is stable: the text of a number read back from its own text is
//    the same text.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "component/number_text.h"
#include "fuzz/fuzz_input.h"
#include "platform/automation_error.h"

namespace {

using sheetlore::AutomationError;
using sheetlore::NumberText;
using sheetlore::ReadNumber;
using sheetlore::fuzz::Check;

// The value rounded to 15 significant digits, exact halves away from zero, computed from
// the C library's exact decimal expansion.
double RoundedTo15Digits(double value) {
  static char exact[1100];
  std::snprintf(exact, sizeof exact, "%.780e", std::fabs(value));
  // exact: d.dddd...e[+-]xx
  std::string digits;
  const char* p = exact;
  for (; *p != 'e'; ++p) {
    if (*p != '.') digits.push_back(*p);
  }
  const int exponent = std::atoi(p + 1);
  const bool roundUp = digits[15] >= '5';
  digits.resize(15);
  int power = exponent;
  if (roundUp) {
    int i = 14;
    while (i >= 0 && digits[static_cast<std::size_t>(i)] == '9')
      digits[static_cast<std::size_t>(i--)] = '0';
    if (i >= 0) {
      ++digits[static_cast<std::size_t>(i)];
    } else {
      digits.insert(digits.begin(), '1');
      digits.pop_back();
      ++power;
    }
  }
  const std::string text =
      digits.substr(0, 1) + "." + digits.substr(1) + "e" + std::to_string(power);
  const double magnitude = std::strtod(text.c_str(), nullptr);
  return value < 0 ? -magnitude : magnitude;
}

std::wstring Widen(double value) {
  char text[64];
  std::snprintf(text, sizeof text, "%.17g", value);
  return std::wstring(text, text + std::strlen(text));
}

void CheckNumberToText(double value) {
  if (!std::isfinite(value)) return;
  const std::wstring text = NumberText(value);
  double back = 0;
  try {
    back = ReadNumber(text);
  } catch (const AutomationError&) {
    // A value within 15 digits of the largest double rounds past it: the reading overflows.
    Check(std::fabs(value) > 1.79769313486231e308, "the text of a number reads back", text);
    return;
  }
  const double expected = RoundedTo15Digits(value);
  Check(back == expected, "number -> text -> number is exact to 15 digits",
        text + L" from " + Widen(value) + L" expected " + Widen(expected));
  Check(NumberText(back) == text, "the text of a number read back is the same text", text);
  Check(text.find(L',') == std::wstring::npos, "no comma in number text", text);
}

void CheckTextToNumber(const std::wstring& input) {
  double first = 0;
  try {
    first = ReadNumber(input);
  } catch (const AutomationError&) {
    return;
  }
  const std::wstring text = NumberText(first);
  double second = 0;
  try {
    second = ReadNumber(text);
  } catch (const AutomationError&) {
    Check(std::fabs(first) > 1.79769313486231e308, "the text of a reading reads back", text);
    return;
  }
  Check(NumberText(second) == text, "text -> number -> text is stable", input + L" -> " + text);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size >= sizeof(double)) {
    double value = 0;
    std::memcpy(&value, data, sizeof value);
    CheckNumberToText(value);
  }
  sheetlore::fuzz::Input input(data, size);
  CheckTextToNumber(input.Rest());
  return 0;
}
