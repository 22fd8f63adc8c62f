// The general number text against the platform's own conversion of a double to text
// (VarBstrFromR8 with the English (United States) locale), in one process, over a large
// deterministic set of boundary and random doubles.
#include <windows.h>
// windows.h first
#include <oleauto.h>

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "component/number_text.h"

namespace {

constexpr LCID kEnglishUnitedStates = 0x0409;

struct BstrText {
  HRESULT result = E_FAIL;
  std::wstring text;
};

BstrText PlatformText(double value) {
  BSTR bstr = nullptr;
  BstrText answer;
  answer.result = VarBstrFromR8(value, kEnglishUnitedStates, 0, &bstr);
  if (bstr != nullptr) {
    answer.text.assign(bstr, SysStringLen(bstr));
    SysFreeString(bstr);
  }
  return answer;
}

double FromBits(std::uint64_t bits) {
  double value = 0;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

// The double nearest to mantissa x 10^exponent.
double NearestDouble(std::uint64_t mantissa, int exponent) {
  const std::string text = std::to_string(mantissa) + "e" + std::to_string(exponent);
  double value = 0;
  std::from_chars(text.data(), text.data() + text.size(), value);
  return value;
}

std::uint64_t RandomDigits(std::mt19937_64& random, int digits) {
  std::uint64_t low = 1;
  for (int i = 1; i < digits; ++i) low *= 10;
  return low + random() % (low * 9);
}

void AddWithNeighbours(std::vector<double>& values, double value) {
  values.push_back(value);
  values.push_back(std::nextafter(value, std::numeric_limits<double>::infinity()));
  values.push_back(std::nextafter(value, -std::numeric_limits<double>::infinity()));
}

std::vector<double> BoundaryValues() {
  constexpr double kInfinity = std::numeric_limits<double>::infinity();
  std::vector<double> values = {
      0.0,
      -0.0,
      1.0,
      -1.0,
      0.5,
      0.1,
      1.0 / 3,
      2.0 / 3,
      kInfinity,
      -kInfinity,
      std::numeric_limits<double>::quiet_NaN(),
      std::numeric_limits<double>::max(),
      -std::numeric_limits<double>::max(),
      std::nextafter(std::numeric_limits<double>::max(), 0.0),
      std::numeric_limits<double>::min(),
      -std::numeric_limits<double>::min(),
      std::nextafter(std::numeric_limits<double>::min(), 0.0),
      std::numeric_limits<double>::denorm_min(),
      -std::numeric_limits<double>::denorm_min(),
      2 * std::numeric_limits<double>::denorm_min(),
      9007199254740992.0,  // 2^53
      9007199254740993.0,
      999999999999999.4,
      999999999999999.5,
      999999999999999.6,
      0.000099999999999999995,
      0.00009999999999999995,
  };
  // Powers of ten across the whole range, around both switches to exponent form, and the
  // values that round up to them.
  for (int exponent = -330; exponent <= 308; ++exponent) {
    const double power = NearestDouble(1, exponent);
    AddWithNeighbours(values, power);
    AddWithNeighbours(values, -power);
    values.push_back(NearestDouble(999999999999999, exponent - 15));
    values.push_back(NearestDouble(9999999999999995, exponent - 16));
    values.push_back(NearestDouble(9999999999999994, exponent - 16));
    values.push_back(NearestDouble(99999999999999949, exponent - 17));
    values.push_back(NearestDouble(15, exponent - 1));
  }
  // Subnormals: each power of two down to the smallest.
  for (int shift = 1022; shift <= 1074; ++shift) AddWithNeighbours(values, std::ldexp(1.0, -shift));
  return values;
}

// Doubles whose exact value has 16 significant digits, the last one a 5: the exact halves of
// a rounding to 15 digits. r / 2^k is such a value when r is odd and r x 5^k has 16 digits.
std::vector<double> ExactHalves(std::mt19937_64& random) {
  std::vector<double> values;
  for (int k = 0; k <= 22; ++k) {
    std::uint64_t fivePower = 1;
    for (int i = 0; i < k; ++i) fivePower *= 5;
    const std::uint64_t low = (1'000'000'000'000'000ull + fivePower - 1) / fivePower;
    const std::uint64_t high = 10'000'000'000'000'000ull / fivePower;
    if (low >= high) continue;
    for (int i = 0; i < 300; ++i) {
      std::uint64_t r = low + random() % (high - low);
      r |= 1;
      if (r * fivePower % 10 != 5 || r >= high) continue;
      const double value = std::ldexp(static_cast<double>(r), -k);
      values.push_back(value);
      values.push_back(-value);
    }
  }
  return values;
}

std::vector<double> RandomValues(std::mt19937_64& random) {
  std::vector<double> values;
  for (int i = 0; i < 100000; ++i) {
    const double value = FromBits(random());
    if (!std::isnan(value)) values.push_back(value);
  }
  // Decimals with 15, 16 and 17 significant digits, near every magnitude and mostly near the
  // ones paper sizes take.
  std::uniform_int_distribution<int> anyExponent(-340, 290);
  std::uniform_int_distribution<int> nearExponent(-25, 5);
  for (int digits = 15; digits <= 17; ++digits) {
    for (int i = 0; i < 20000; ++i) {
      const int exponent = i % 4 == 0 ? anyExponent(random) : nearExponent(random);
      const double value = NearestDouble(RandomDigits(random, digits), exponent);
      values.push_back(i % 2 == 0 ? value : -value);
    }
  }
  // Short decimals, as people type them.
  for (int i = 0; i < 20000; ++i) {
    values.push_back(NearestDouble(RandomDigits(random, 1 + i % 8), nearExponent(random) + 2));
  }
  return values;
}

TEST(NumberTextAgainstPlatform, MatchesVarBstrFromR8) {
  std::mt19937_64 random(0x5EED'2026);
  std::vector<double> values = BoundaryValues();
  for (const double value : ExactHalves(random)) values.push_back(value);
  for (const double value : RandomValues(random)) values.push_back(value);

  std::size_t mismatches = 0;
  for (const double value : values) {
    const BstrText expected = PlatformText(value);
    ASSERT_EQ(expected.result, S_OK) << "value " << value;
    const std::wstring actual = sheetlore::NumberText(value);
    if (actual != expected.text && ++mismatches <= 20) {
      char exact[40];
      const auto end = std::to_chars(exact, exact + sizeof exact, value).ptr;
      ADD_FAILURE() << "value " << std::string(exact, end) << ": platform \""
                    << std::string(expected.text.begin(), expected.text.end()) << "\", ours \""
                    << std::string(actual.begin(), actual.end()) << "\"";
    }
  }
  EXPECT_EQ(mismatches, 0u) << "of " << values.size() << " values";
  RecordProperty("values", static_cast<int>(values.size()));
  std::printf("compared %zu values\n", values.size());
}

}  // namespace
