// The general number text, as the MinGW build of the DLL computes it, against the platform's own
// conversion of a double to text (VarBstrFromR8 with the English (United States) locale), in one
// process: every power of ten and two with its neighbours, the exact halves of a rounding to 15
// digits, and a seeded sample of random doubles and decimals. (Fixed texts, the zeros, the
// values that are not finite and the ends of the double range: number_text_test.)
#include <windows.h>
// windows.h first
#include <oleauto.h>

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "component/number_text.h"

namespace {

using Limits = std::numeric_limits<double>;

std::wstring PlatformText(double value) {
  BSTR bstr = nullptr;
  EXPECT_EQ(VarBstrFromR8(value, 0x0409, 0, &bstr), S_OK) << value;
  std::wstring text = bstr ? std::wstring(bstr, SysStringLen(bstr)) : L"";
  SysFreeString(bstr);
  return text;
}

// The double nearest to mantissa x 10^exponent.
double Decimal(std::uint64_t mantissa, int exponent) {
  const std::string text = std::to_string(mantissa) + "e" + std::to_string(exponent);
  double value = 0;
  std::from_chars(text.data(), text.data() + text.size(), value);
  return value;
}

std::vector<double> ValuesToCompare() {
  std::vector<double> values;
  const auto withNeighbours = [&values](double value) {
    values.insert(values.end(), {value, std::nextafter(value, Limits::infinity()),
                                 std::nextafter(value, -Limits::infinity())});
  };
  // Powers of ten across the whole range, around both switches to exponent form, and the
  // values that round up to them; powers of two down through the subnormals.
  for (int exponent = -330; exponent <= 308; ++exponent) {
    for (const auto& [mantissa, shift] : {std::pair{1ull, 0},
                                          {999999999999999ull, -15},
                                          {9999999999999995ull, -16},
                                          {9999999999999994ull, -16},
                                          {99999999999999949ull, -17},
                                          {15ull, -1}}) {
      withNeighbours(Decimal(mantissa, exponent + shift));
      withNeighbours(-Decimal(mantissa, exponent + shift));
    }
  }
  for (int shift = 0; shift <= 1074; ++shift) withNeighbours(std::ldexp(1.0, -shift));
  withNeighbours(Limits::max());

  std::mt19937_64 random(0x5EED'2026);
  // Doubles whose exact value has 16 significant digits, the last one a 5: the exact halves
  // of a rounding to 15 digits. r / 2^k is one when r is odd and r x 5^k has 16 digits.
  std::uint64_t fivePower = 1;
  for (int k = 0; k <= 22; ++k, fivePower *= 5) {
    const std::uint64_t low = (1'000'000'000'000'000ull + fivePower - 1) / fivePower;
    const std::uint64_t high = 10'000'000'000'000'000ull / fivePower;
    for (int i = 0; low < high && i < 300; ++i) {
      const std::uint64_t r = (low + random() % (high - low)) | 1;
      if (r * fivePower % 10 == 5 && r < high) withNeighbours(std::ldexp(double(r), -k));
    }
  }
  // Random bit patterns; decimals of 15 to 17 digits near every magnitude and mostly near the
  // ones paper sizes take; short decimals, as people type them.
  for (int i = 0; i < 100000; ++i) {
    const std::uint64_t bits = random();
    double value = 0;
    std::memcpy(&value, &bits, sizeof value);
    if (!std::isnan(value)) values.push_back(value);
  }
  const auto digits = [&random](int count) {
    const auto low = static_cast<std::uint64_t>(std::pow(10, count - 1));
    return low + random() % (low * 9);
  };
  std::uniform_int_distribution<int> anyExponent(-340, 290), nearExponent(-25, 5);
  for (int i = 0; i < 60000; ++i) {
    const double value =
        Decimal(digits(15 + i % 3), i % 4 == 0 ? anyExponent(random) : nearExponent(random));
    values.push_back(i % 2 == 0 ? value : -value);
    if (i % 3 == 0) values.push_back(Decimal(digits(1 + i % 8), nearExponent(random) + 2));
  }
  return values;
}

TEST(NumberTextAgainstPlatform, MatchesVarBstrFromR8) {
  const std::vector<double> values = ValuesToCompare();
  std::size_t mismatches = 0;
  for (const double value : values) {
    const std::wstring expected = PlatformText(value);
    const std::wstring actual = sheetlore::NumberText(value);
    if (actual != expected && ++mismatches <= 20) {
      char exact[40];
      const auto end = std::to_chars(exact, exact + sizeof exact, value).ptr;
      ADD_FAILURE() << "value " << std::string(exact, end) << ": platform "
                    << testing::PrintToString(expected) << ", ours "
                    << testing::PrintToString(actual);
    }
  }
  EXPECT_EQ(mismatches, 0u) << "of " << values.size() << " values";
}

}  // namespace
