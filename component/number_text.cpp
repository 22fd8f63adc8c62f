// Number reading and number text: the only place where text and doubles meet.
#include "component/number_text.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <string>
#include <system_error>

#include "platform/automation_error.h"

namespace sheetlore {
namespace {

// --- Reading --------------------------------------------------------------------------------

bool IsIgnoredInNumber(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\n'; }

bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

// The text with blanks, tabs and line feeds taken out, wherever they stand.
std::wstring WithoutIgnoredCharacters(std::wstring_view text) {
  std::wstring kept;
  kept.reserve(text.size());
  for (const wchar_t c : text) {
    if (!IsIgnoredInNumber(c)) kept.push_back(c);
  }
  return kept;
}

int DigitValue(wchar_t c) {
  if (IsDigit(c)) return c - L'0';
  if (c >= L'a' && c <= L'f') return c - L'a' + 10;
  if (c >= L'A' && c <= L'F') return c - L'A' + 10;
  return 99;
}

// "&H" and "&O" integers take the narrowest signed type their value fits in, as bit patterns:
// up to 0xFFFF a 16-bit integer (&HFFFF is -1), up to 0xFFFFFFFF a 32-bit one (&HFFFFFFFF is
// -1, &H10000 is 65536). A value wider than 32 bits overflows.
double ReadBasedInteger(std::wstring_view digits, int base) {
  std::uint64_t value = 0;
  for (const wchar_t c : digits) {
    const int digit = DigitValue(c);
    if (digit >= base) break;
    value = value * static_cast<std::uint64_t>(base) + static_cast<std::uint64_t>(digit);
    if (value > 0xFFFFFFFFu) throw AutomationError::Overflow();
  }
  if (value <= 0xFFFFu) return static_cast<std::int16_t>(static_cast<std::uint16_t>(value));
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
}

// The decimal part of a reading: [sign] digits [. digits] [E|D [sign] digits], as far as the
// text fits that shape. The exponent counts only when a digit follows its letter and sign.
struct DecimalScan {
  bool negative = false;
  std::string mantissa;  // digits with at most one '.', as read
  std::string exponent;  // signed digits, empty when there is none
  bool anyDigit = false;
  bool anyNonZeroDigit = false;
  // Power of ten of the first nonzero mantissa digit (1 for 5.0, 0 for 0.5), before the
  // exponent is applied.
  std::int64_t leadingMagnitude = 0;
};

DecimalScan ScanDecimal(std::wstring_view text) {
  DecimalScan scan;
  std::size_t i = 0;
  if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) {
    scan.negative = text[i] == L'-';
    ++i;
  }
  std::int64_t integerDigitsAfterFirstNonZero = 0;
  std::int64_t fractionZerosBeforeFirstNonZero = 0;
  bool inFraction = false;
  for (; i < text.size(); ++i) {
    const wchar_t c = text[i];
    if (c == L'.' && !inFraction) {
      inFraction = true;
      scan.mantissa.push_back('.');
      continue;
    }
    if (!IsDigit(c)) break;
    scan.mantissa.push_back(static_cast<char>(c));
    scan.anyDigit = true;
    if (c != L'0') scan.anyNonZeroDigit = true;
    if (!inFraction && scan.anyNonZeroDigit) ++integerDigitsAfterFirstNonZero;
    if (inFraction && !scan.anyNonZeroDigit) ++fractionZerosBeforeFirstNonZero;
  }
  scan.leadingMagnitude = integerDigitsAfterFirstNonZero > 0 ? integerDigitsAfterFirstNonZero
                                                             : -fractionZerosBeforeFirstNonZero;
  if (!scan.anyDigit || i >= text.size()) return scan;

  const wchar_t marker = text[i];
  if (marker != L'E' && marker != L'e' && marker != L'D' && marker != L'd') return scan;
  std::size_t j = i + 1;
  std::string exponent;
  if (j < text.size() && (text[j] == L'+' || text[j] == L'-')) {
    if (text[j] == L'-') exponent.push_back('-');
    ++j;
  }
  const std::size_t firstExponentDigit = j;
  for (; j < text.size() && IsDigit(text[j]); ++j) exponent.push_back(static_cast<char>(text[j]));
  if (j > firstExponentDigit) scan.exponent = exponent;
  return scan;
}

// The exponent's value, held within a range far beyond every double so that huge exponents
// neither wrap nor lose their sign.
std::int64_t ClampedExponent(const std::string& exponent) {
  constexpr std::int64_t kLimit = 1'000'000;
  std::int64_t value = 0;
  const bool negative = !exponent.empty() && exponent.front() == '-';
  for (const char c : exponent) {
    if (c == '-') continue;
    value = value * 10 + (c - '0');
    if (value > kLimit) {
      value = kLimit;
      break;
    }
  }
  return negative ? -value : value;
}

double ReadDecimal(std::wstring_view text) {
  const DecimalScan scan = ScanDecimal(text);
  if (!scan.anyDigit || !scan.anyNonZeroDigit) return 0.0;

  const std::int64_t exponent = ClampedExponent(scan.exponent);
  std::string number = scan.mantissa;
  if (!scan.exponent.empty()) number += "e" + std::to_string(exponent);

  double magnitude = 0.0;
  const auto error = std::from_chars(number.data(), number.data() + number.size(), magnitude,
                                     std::chars_format::general)
                         .ec;
  if (error == std::errc::result_out_of_range) {
    // Too large is an overflow; too small reads as zero.
    if (scan.leadingMagnitude + exponent > 0) throw AutomationError::Overflow();
    return 0.0;
  }
  if (error != std::errc() || std::isinf(magnitude)) throw AutomationError::Overflow();
  return scan.negative ? -magnitude : magnitude;
}

// --- Text -----------------------------------------------------------------------------------

constexpr int kSignificantDigits = 15;
// Enough digits to decide the rounding to kSignificantDigits, unless they end in an apparent
// exact half.
constexpr int kProbeDigits = 21;
// A double's exact decimal expansion never needs more significant digits than this.
constexpr int kExactDigits = 770;

// A positive value's first significantDigits digits, correctly rounded, and the power of ten
// of the first one.
struct ScientificDigits {
  std::string digits;
  int exponent = 0;
};

ScientificDigits ToScientificDigits(double magnitude, int significantDigits) {
  std::string text(static_cast<std::size_t>(significantDigits) + 16, '\0');
  const auto result = std::to_chars(text.data(), text.data() + text.size(), magnitude,
                                    std::chars_format::scientific, significantDigits - 1);
  // Shape: d.ddd...de[+-]xx
  const char* exponentMark = text.data();
  while (*exponentMark != 'e') ++exponentMark;
  ScientificDigits scientific;
  scientific.digits.reserve(static_cast<std::size_t>(significantDigits));
  for (const char* p = text.data(); p < exponentMark; ++p) {
    if (*p != '.') scientific.digits.push_back(*p);
  }
  const char* exponentDigits = exponentMark + 1 + (exponentMark[1] == '+' ? 1 : 0);
  std::from_chars(exponentDigits, result.ptr, scientific.exponent);
  return scientific;
}

// The value's first kSignificantDigits digits, rounded from its exact value with exact halves
// away from zero, and the power of ten of the first digit.
ScientificDigits RoundToSignificantDigits(double magnitude) {
  ScientificDigits probe = ToScientificDigits(magnitude, kProbeDigits);
  // Unless the digits past the 15th read exactly 500000, they decide the rounding on their
  // own; otherwise the exact expansion tells a true half from a near one.
  if (std::string_view(probe.digits).substr(kSignificantDigits) == "500000") {
    probe = ToScientificDigits(magnitude, kExactDigits);
  }
  const bool roundUp = probe.digits[kSignificantDigits] >= '5';
  probe.digits.resize(kSignificantDigits);
  if (roundUp) {
    int i = kSignificantDigits - 1;
    while (i >= 0 && probe.digits[i] == '9') probe.digits[i--] = '0';
    if (i >= 0) {
      ++probe.digits[i];
    } else {
      probe.digits[0] = '1';  // 9.99...95 becomes 10.0...0
      ++probe.exponent;
    }
  }
  return probe;
}

std::wstring ExponentText(int exponent) {
  std::wstring text = exponent < 0 ? L"E-" : L"E+";
  const std::wstring digits = std::to_wstring(exponent < 0 ? -exponent : exponent);
  if (digits.size() < 2) text.push_back(L'0');
  return text + digits;
}

}  // namespace

double ReadNumber(std::wstring_view text) {
  const std::wstring kept = WithoutIgnoredCharacters(text);
  const std::wstring_view view = kept;
  if (view.size() >= 2 && view[0] == L'&') {
    if (view[1] == L'H' || view[1] == L'h') return ReadBasedInteger(view.substr(2), 16);
    if (view[1] == L'O' || view[1] == L'o') return ReadBasedInteger(view.substr(2), 8);
  }
  return ReadDecimal(view);
}

std::wstring NumberText(double value) {
  if (std::isnan(value)) return L"NAN";
  if (std::isinf(value)) return value < 0 ? L"-INF" : L"INF";
  if (value == 0.0) return L"0";  // negative zero too

  const ScientificDigits rounded = RoundToSignificantDigits(std::fabs(value));
  int used = kSignificantDigits;
  while (used > 1 && rounded.digits[used - 1] == '0') --used;
  const std::wstring digits(rounded.digits.begin(), rounded.digits.begin() + used);

  std::wstring text = value < 0 ? L"-" : L"";
  const int exponent = rounded.exponent;
  if (exponent < -4 || exponent >= kSignificantDigits) {
    text += digits.substr(0, 1);
    if (used > 1) text += L"." + digits.substr(1);
    return text + ExponentText(exponent);
  }
  if (exponent < 0) {
    return text + L"0." + std::wstring(static_cast<std::size_t>(-exponent - 1), L'0') + digits;
  }
  const auto integerDigits = static_cast<std::size_t>(exponent + 1);
  if (digits.size() <= integerDigits) {
    return text + digits + std::wstring(integerDigits - digits.size(), L'0');
  }
  return text + digits.substr(0, integerDigits) + L"." + digits.substr(integerDigits);
}

}  // namespace sheetlore
