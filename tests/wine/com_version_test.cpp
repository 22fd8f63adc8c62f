// The version resource of Sheetlore.dll.

#include <vector>

#include "tests/wine/com_test_support.h"

namespace sheetlore::com_test {
namespace {

class VersionResource : public testing::Test {
 protected:
  void SetUp() override {
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeW(DllPath().c_str(), &handle);
    ASSERT_GT(size, 0u);
    data_.resize(size);
    ASSERT_TRUE(GetFileVersionInfoW(DllPath().c_str(), 0, size, data_.data()));
  }
  // A string of the block; "(absent)" when there is none.
  std::wstring String(const std::wstring& block, const std::wstring& name) {
    void* value = nullptr;
    UINT length = 0;
    const std::wstring path = L"\\StringFileInfo\\" + block + L"\\" + name;
    if (!VerQueryValueW(data_.data(), path.c_str(), &value, &length)) return L"(absent)";
    return std::wstring(static_cast<const wchar_t*>(value), length ? length - 1 : 0);
  }
  std::vector<unsigned char> data_;
};

TEST_F(VersionResource, StringsOfBlock040404B0) {
  EXPECT_EQ(String(L"040404B0", L"FileVersion"), L"1.00");
  EXPECT_EQ(String(L"040404B0", L"ProductVersion"), L"1.00");
  EXPECT_EQ(String(L"040404B0", L"InternalName"), L"Sheetlore");
  EXPECT_EQ(String(L"040404B0", L"OriginalFilename"), L"Sheetlore.dll");
  EXPECT_EQ(String(L"040404B0", L"OLESelfRegister"), L"");
  EXPECT_EQ(String(L"040904B0", L"FileVersion"), L"(absent)");  // the one block only
}

TEST_F(VersionResource, TranslationIsTraditionalChineseUnicode) {
  void* value = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueW(data_.data(), L"\\VarFileInfo\\Translation", &value, &length));
  ASSERT_EQ(length, 4u);
  const auto* pair = static_cast<const WORD*>(value);
  EXPECT_EQ(pair[0], 0x0404);
  EXPECT_EQ(pair[1], 1200);
}

TEST_F(VersionResource, FixedFileVersionIsOne) {
  void* value = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueW(data_.data(), L"\\", &value, &length));
  const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
  EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
  EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_DLL));
}

}  // namespace
}  // namespace sheetlore::com_test
