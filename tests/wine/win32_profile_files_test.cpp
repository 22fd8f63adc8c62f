// The Win32 profile files against Wine's kernel32 on real files: what the shared profile
// contract (tests/contract) does not state.

#include <gtest/gtest.h>

#include "platform/win32/unique_handles.h"
#include "platform/win32/win32_profile_files.h"
#include "tests/wine/temp_file.h"

namespace sheetlore::win32 {
namespace {

constexpr std::uint32_t kBuffer = 10000;

class ProfileFilesTest : public ::testing::Test {
 protected:
  std::wstring Read(const std::optional<std::wstring>& section,
                    const std::optional<std::wstring>& key, std::uint32_t bufferChars = kBuffer,
                    const std::wstring& defaultValue = L"<none>") {
    std::wstring text = L"stale";
    const auto count =
        profile_.GetString(section, key, defaultValue, bufferChars, text, file_.path());
    EXPECT_EQ(count, text.size());
    return text;
  }
  bool Write(const std::optional<std::wstring>& section, const std::optional<std::wstring>& key,
             const std::optional<std::wstring>& value) {
    return profile_.WriteString(section, key, value, file_.path());
  }
  void WritePaper(const std::wstring& name) {
    ASSERT_TRUE(Write(L"PrintMain", name, name));
    for (const wchar_t* key : {L"mMode", L"W", L"H"}) ASSERT_TRUE(Write(name, key, L"1"));
  }

  Win32ProfileFiles profile_;
  TempFile file_{L".ini"};
};

TEST_F(ProfileFilesTest, MissingFileOrSectionGivesTheDefault) {
  // The component lists with an empty default: a missing file then gives no names.
  EXPECT_EQ(Read(L"PrintMain", L"A5X"), L"<none>");
  EXPECT_EQ(Read(L"PrintMain", std::nullopt, kBuffer, L""), L"");
  EXPECT_EQ(Read(std::nullopt, std::nullopt, kBuffer, L""), L"");

  ASSERT_TRUE(Write(L"Other", L"K", L"V"));
  EXPECT_EQ(Read(L"PrintMain", L"A5X"), L"<none>");
  EXPECT_EQ(Read(L"PrintMain", std::nullopt, kBuffer, L""), L"");
}

TEST_F(ProfileFilesTest, ShortBuffersCutTheAnswer) {
  ASSERT_TRUE(Write(L"S", L"K", L"abcdef"));
  EXPECT_EQ(Read(L"S", L"K", 4), L"abc");  // room for three characters and the terminator
  EXPECT_EQ(Read(L"S", L"K", 0), L"");
  EXPECT_EQ(Read(L"S", L"Missing", 3, L"default"), L"de");

  WritePaper(L"LongPaperName");
  WritePaper(L"Other");
  const auto list = Read(L"PrintMain", std::nullopt, 8);
  EXPECT_LE(list.size(), 6u);  // two terminators always fit
  EXPECT_EQ(list.substr(0, 5), L"LongP");
}

TEST_F(ProfileFilesTest, EmptyPathReadsAndWritesNothing) {
  std::wstring text = L"stale";
  EXPECT_EQ(profile_.GetString(L"S", L"K", L"default", kBuffer, text, L""), 0u);
  EXPECT_EQ(text, L"");
  EXPECT_FALSE(profile_.WriteString(L"S", L"K", L"V", L""));
}

TEST_F(ProfileFilesTest, WriteIntoAMissingDirectoryFails) {
  EXPECT_FALSE(profile_.WriteString(L"S", L"K", L"V", file_.path() + L"\\missing\\x.ini"));
}

}  // namespace
}  // namespace sheetlore::win32
