// The simulated print server's built-in forms against what the platform reports for a
// printer queue: same forms, same order, same sizes, same byte counts.
#include <windows.h>
#include <winspool.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/sim/sim_platform.h"

namespace sheetlore::sim {
namespace {

std::wstring DefaultPrinterName() {
  DWORD size = 0;
  ::GetDefaultPrinterW(nullptr, &size);
  std::wstring name(size, L'\0');
  if (!size || !::GetDefaultPrinterW(name.data(), &size)) return std::wstring();
  name.resize(size - 1);
  return name;
}

class BuiltinFormsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::wstring name = DefaultPrinterName();
    ASSERT_FALSE(name.empty()) << "no printer: run inside tools/wine-env";
    ASSERT_TRUE(::OpenPrinterW(const_cast<wchar_t*>(name.c_str()), &printer_, nullptr));
  }
  void TearDown() override {
    if (printer_) ::ClosePrinter(printer_);
  }

  HANDLE printer_ = nullptr;
};

TEST_F(BuiltinFormsTest, EnumerationMatchesTheSimulatedTable) {
  DWORD needed = 0;
  DWORD returned = 0;
  EXPECT_FALSE(::EnumFormsW(printer_, 1, nullptr, 0, &needed, &returned));
  EXPECT_EQ(ERROR_INSUFFICIENT_BUFFER, ::GetLastError());
  std::vector<BYTE> buffer(needed);
  ASSERT_TRUE(::EnumFormsW(printer_, 1, buffer.data(), needed, &needed, &returned));

  const std::vector<FormInfo>& simulated = BuiltinForms();
  ASSERT_EQ(simulated.size(), returned);
  EXPECT_EQ(116u, returned);
  const auto* forms = reinterpret_cast<const FORM_INFO_1W*>(buffer.data());
  for (DWORD i = 0; i < returned; ++i) {
    const FormInfo real{forms[i].Flags,
                        forms[i].pName,
                        forms[i].Size.cx,
                        forms[i].Size.cy,
                        forms[i].ImageableArea.left,
                        forms[i].ImageableArea.top,
                        forms[i].ImageableArea.right,
                        forms[i].ImageableArea.bottom};
    EXPECT_EQ(simulated[i], real) << "form " << i;
  }
  EXPECT_EQ(L"Letter", simulated.front().name);
  EXPECT_EQ(215900, simulated.front().cx);
  EXPECT_EQ(279400, simulated.front().cy);
}

// The simulation reports bytes as the 64-bit layout does: a 40-byte record per form and
// its name in wide characters.
TEST_F(BuiltinFormsTest, BytesNeededFollowTheSimulatedLayoutOn64Bit) {
  if (sizeof(void*) != 8) GTEST_SKIP() << "the simulated layout is the 64-bit one";
  ASSERT_EQ(kFormRecordBytes, sizeof(FORM_INFO_1W));
  DWORD needed = 0;
  DWORD returned = 0;
  ::EnumFormsW(printer_, 1, nullptr, 0, &needed, &returned);
  std::uint32_t simulated = 0;
  for (const FormInfo& form : BuiltinForms()) simulated += FormBytes(form.name);
  EXPECT_EQ(simulated, needed);

  DWORD oneNeeded = 0;
  EXPECT_FALSE(::GetFormW(printer_, const_cast<wchar_t*>(L"A4"), 1, nullptr, 0, &oneNeeded));
  EXPECT_EQ(ERROR_INSUFFICIENT_BUFFER, ::GetLastError());
  EXPECT_EQ(FormBytes(L"A4"), oneNeeded);
}

TEST_F(BuiltinFormsTest, GetFormAgreesWithTheTable) {
  for (const FormInfo& expected : {BuiltinForms().front(), BuiltinForms()[8]}) {
    std::vector<BYTE> buffer(FormBytes(expected.name) + 64);
    DWORD needed = 0;
    ASSERT_TRUE(::GetFormW(printer_, const_cast<wchar_t*>(expected.name.c_str()), 1, buffer.data(),
                           static_cast<DWORD>(buffer.size()), &needed));
    const auto* form = reinterpret_cast<const FORM_INFO_1W*>(buffer.data());
    EXPECT_EQ(expected.name, form->pName);
    EXPECT_EQ(expected.cx, form->Size.cx);
    EXPECT_EQ(expected.cy, form->Size.cy);
  }
}

}  // namespace
}  // namespace sheetlore::sim
