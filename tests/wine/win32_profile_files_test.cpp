// The Win32 profile files against Wine's kernel32 on real files: what the shared profile
// contract (tests/contract) does not state.

#include <gtest/gtest.h>

#include "platform/win32/profile_backup.h"
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

// A locked change keeps a copy of the file beside it until the lock ends; a copy that a killed
// holder left behind is put back by the next lock, undoing the cut-short change whole.
TEST_F(ProfileFilesTest, ALockPutsBackTheCopyAnInterruptedChangeLeft) {
  const std::wstring copy = profile_backup::CopyPath(file_.path());
  const auto copyExists = [&copy] {
    return ::GetFileAttributesW(copy.c_str()) != INVALID_FILE_ATTRIBUTES;
  };
  WritePaper(L"A5X");
  {
    const auto lock = profile_.LockFile(file_.path());
    ASSERT_TRUE(lock);
    WritePaper(L"B5");
    EXPECT_TRUE(copyExists());
  }
  EXPECT_FALSE(copyExists()) << "a completed change left its copy";
  const std::wstring both(L"A5X\0B5\0", 7);
  EXPECT_EQ(Read(L"PrintMain", std::nullopt), both);

  // A holder killed while the service rewrote the file: its copy is there, the file empty.
  ASSERT_TRUE(profile_backup::Save(file_.path()));
  const HANDLE cut = ::CreateFileW(file_.path().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                   FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(cut, INVALID_HANDLE_VALUE);
  ::CloseHandle(cut);
  EXPECT_EQ(Read(L"PrintMain", std::nullopt), L"<none>");
  ASSERT_TRUE(profile_.LockFile(file_.path()));
  EXPECT_EQ(Read(L"PrintMain", std::nullopt), both);
  EXPECT_FALSE(copyExists());
  ::DeleteFileW(copy.c_str());
}

}  // namespace
}  // namespace sheetlore::win32
