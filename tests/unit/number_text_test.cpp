// Number reading and number text.
#include "component/number_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <string>

#include "platform/automation_error.h"
#include "tests/unit/sim_support.h"

namespace sheetlore {
namespace {

struct ReadCase {
  const wchar_t* text;
  double value;
};

void ExpectReads(const ReadCase& c) {
  SCOPED_TRACE(testing::Message() << "text: \"" << std::wstring(c.text) << "\"");
  const double value = ReadNumber(c.text);
  EXPECT_EQ(value, c.value);
  EXPECT_EQ(std::signbit(value), std::signbit(c.value));  // zero is never negative
}

void ExpectOverflow(std::wstring_view text) {
  EXPECT_EQ(RaisedBy([&] { ReadNumber(text); }).number, 6)
      << "text: " << std::string(text.begin(), text.end());
}

// The leading number of a text: blanks, tabs and line feeds anywhere are ignored, and the number
// ends at the first character that does not fit it.
TEST(ReadNumber, ReadsTheLeadingNumber) {
  for (const ReadCase& c : {
           ReadCase{L"12.5", 12.5},
           {L"-3", -3},
           {L"+4.25", 4.25},
           {L".5", 0.5},
           {L"5.", 5},
           {L"5.E2", 500},
           {L"-.5", -0.5},
           {L"000012", 12},
           {L"1E3", 1000},
           {L"1e-3", 0.001},
           {L"2D2", 200},
           {L"2d+2", 200},
           {L"-2.5E+1", -25},
           {L"0.1", 0.1},
           {L"1.5E3.5", 1500},
           {L"7e0", 7},
           {L"0.001E311", 1e308},
           {L"3.14159265358979323846264338327950288", 3.141592653589793},
           {L" 1 2\t3\n.5 ", 123.5},
           {L"- 5", -5},
           {L"1 e 3", 1000},
           {L"\t\n 7", 7},
           {L"1 . 2 5", 1.25},
           {L"12abc", 12},
           {L"1H", 1},  // a base marker counts only after "&"
           {L"1.2.3", 1.2},
           {L"3,5", 3},  // the comma is never a decimal separator
           {L"1,000", 1},
           {L"12\r3", 12},  // a carriage return is not ignored
           {L"1E", 1},      // an exponent letter without digits is not an exponent
           {L"1E+", 1},
           {L"1e-x", 1},
           {L"2d", 2},
           {L"4E 2", 400},
           {L"1\u0663", 1},  // digits of other scripts are not digits
       }) {
    ExpectReads(c);
  }
  // Text without a leading number is zero, and so is a negative zero.
  for (const wchar_t* text : {L"", L"abc", L".", L"-", L"+", L"--5", L"E5", L"&", L"&X1", L"-&H10",
                              L"\uFF11", L"$5", L"-0", L"-0.000", L"-0e5", L"-1e-400"}) {
    ExpectReads({text, 0});
  }
}

TEST(ReadNumber, HexAndOctalTakeTheNarrowestSignedWidth) {
  for (const ReadCase& c : {
           ReadCase{L"&H10", 16},
           {L"&hff", 255},
           {L"&hab", 171},  // "a", the first lower-case digit
           {L"&H7FFF", 32767},
           {L"&H8000", -32768},  // 16 bits
           {L"&HFFFF", -1},
           {L"&H0000FFFF", -1},  // the value decides the width, not the digits
           {L"&H10000", 65536},  // 32 bits
           {L"&H7FFFFFFF", 2147483647},
           {L"&H80000000", -2147483648.0},
           {L"&HFFFFFFFF", -1},
           {L"&H1G", 1},
           {L"&H", 0},
           {L"& H 1 0", 16},
           {L"&O17", 15},
           {L"&o777", 511},
           {L"&O8", 0},
           {L"&O177777", -1},
           {L"&O37777777777", -1},
           {L"&H1.5", 1},
       }) {
    ExpectReads(c);
  }
}

TEST(ReadNumber, ValuesBeyondTheirRangeOverflowAndTheRangesEndsRead) {
  for (const wchar_t* text :
       {L"&H100000000", L"&HFFFFFFFFFFFFFFFFFFFF", L"&O40000000000", L"1E309", L"1.8E308",
        L"-1e400", L"1000E306", L"1e99999999999999999999", L"999999999999999999999999999e290"}) {
    ExpectOverflow(text);
  }
  // The value's size counts the mantissa's own digits, not only the exponent.
  ExpectOverflow(L"1" + std::wstring(400, L'0') + L"e-10");
  // The extremes of the double range read, and values below it are zero.
  EXPECT_EQ(ReadNumber(L"1.7976931348623157E308"), std::numeric_limits<double>::max());
  EXPECT_EQ(ReadNumber(L"-1.7976931348623157E308"), -std::numeric_limits<double>::max());
  EXPECT_EQ(ReadNumber(L"4.9406564584124654E-324"), std::numeric_limits<double>::denorm_min());
  EXPECT_EQ(ReadNumber(L"2.2250738585072014e-308"), std::numeric_limits<double>::min());
  EXPECT_EQ(ReadNumber(L"1E-400"), 0.0);
  EXPECT_EQ(ReadNumber(L"1e-99999999999999999999"), 0.0);
  EXPECT_EQ(ReadNumber(L"0e99999"), 0.0);
  EXPECT_EQ(ReadNumber(L"0.00000000000000000001e-300"), 1e-320);
  EXPECT_EQ(ReadNumber(L"0." + std::wstring(400, L'0') + L"1E10"), 0.0);
}

struct TextCase {
  double value;
  const wchar_t* text;
};

TEST(NumberText, WritesTheGeneralFormAndOutsideItsRangeTheExponentForm) {
  const double kMax = std::numeric_limits<double>::max();
  const double kInf = std::numeric_limits<double>::infinity();
  for (const TextCase& c : {
           TextCase{0.0, L"0"},
           {-0.0, L"0"},
           {1, L"1"},
           {-1, L"-1"},
           {0.5, L"0.5"},
           {-0.5, L"-0.5"},
           {12.5, L"12.5"},
           {100, L"100"},
           {1234567.125, L"1234567.125"},
           {0.1 + 0.2, L"0.3"},
           {1.0 / 3, L"0.333333333333333"},
           {2.0 / 3, L"0.666666666666667"},
           {-2.0 / 3, L"-0.666666666666667"},
           {0.000123456789012345678, L"0.000123456789012346"},
           {123456789012345678.0, L"1.23456789012346E+17"},
           {kMax, L"1.79769313486232E+308"},
           {-kMax, L"-1.79769313486232E+308"},
           {std::numeric_limits<double>::min(), L"2.2250738585072E-308"},
           {std::numeric_limits<double>::denorm_min(), L"4.94065645841247E-324"},
           // The exponent form outside one ten-thousandth to fifteen digits.
           {1e14, L"100000000000000"},
           {999999999999999.0, L"999999999999999"},
           {999999999999999.4, L"999999999999999"},
           {999999999999999.5, L"1E+15"},  // rounding carries into the next power of ten
           {1e15, L"1E+15"},
           {1.5e20, L"1.5E+20"},
           {1e100, L"1E+100"},
           {0.0001, L"0.0001"},
           {0.000099999999999999995, L"0.0001"},
           {0.00001, L"1E-05"},
           {2.5e-5, L"2.5E-05"},
           {-2.5e-5, L"-2.5E-05"},
           {1e-10, L"1E-10"},
           {1e-100, L"1E-100"},
           // Values that are not finite have a fixed text.
           {kInf, L"INF"},
           {-kInf, L"-INF"},
           {std::numeric_limits<double>::quiet_NaN(), L"NAN"},
       }) {
    EXPECT_EQ(NumberText(c.value), c.text) << "value " << c.value;
  }
}

TEST(NumberText, ExactHalvesRoundAwayFromZero) {
  // Each value is exactly representable with a 16th significant digit of 5.
  EXPECT_EQ(NumberText(1000000000000005.0), L"1.00000000000001E+15");
  EXPECT_EQ(NumberText(-1000000000000005.0), L"-1.00000000000001E+15");
  EXPECT_EQ(NumberText(100000000000002.5), L"100000000000003");
  EXPECT_EQ(NumberText(100000000000001.5), L"100000000000002");
  // Just below a half rounds down, whatever the nearest 16-digit text says.
  EXPECT_EQ(NumberText(std::nextafter(100000000000002.5, 0.0)), L"100000000000002");
  // Just below a half whose 21-digit text reads ...500000: the exact value decides.
  EXPECT_EQ(NumberText(9386603.825066505), L"9386603.8250665");  // ...0650499999523...
  EXPECT_EQ(NumberText(0.0008665164382895145), L"0.000866516438289514");
}

// Text written for any double reads back as the same 15-digit value, and writing that value
// again gives the same text.
TEST(NumberText, ReadsBackToTheSameFifteenDigitValue) {
  std::mt19937_64 random(20261206);
  for (int i = 0; i < 20000; ++i) {
    const std::uint64_t bits = random();
    double value = 0;
    std::memcpy(&value, &bits, sizeof value);
    // The largest doubles round up past the double range and cannot be read back.
    if (!std::isfinite(value) || std::fabs(value) > 1.797693134862315e308) continue;
    const std::wstring text = NumberText(value);
    const double back = ReadNumber(text);
    ASSERT_EQ(NumberText(back), text) << "bits " << std::hex << bits;
    if (std::fabs(value) >= std::numeric_limits<double>::min()) {
      ASSERT_LE(std::fabs(back - value), std::fabs(value) * 5.1e-15) << "text " << text.c_str();
    }
  }
}

}  // namespace
}  // namespace sheetlore
