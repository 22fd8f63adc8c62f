// The paper store of Sheetlore.dll on the real profile API: PrintSet.ini beside the DLL, no
// other profile file touched, a file held by another program, names outside ASCII in files of
// either encoding, names of older files and a long list. (The profile API against the
// simulated one: tests/profile_diff; processes writing at once: store_concurrency and
// store_crash.)

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/wine/support/com_support.h"

namespace sheetlore::com_test {
namespace {

std::wstring WinIniPath() {
  wchar_t directory[MAX_PATH] = {};
  GetWindowsDirectoryW(directory, MAX_PATH);
  return std::wstring(directory) + L"\\win.ini";
}

std::string StoreBytes() { return FileBytes(StorePath()).value_or(""); }
void WriteStoreBytes(const std::string& bytes) { SetFileBytes(StorePath(), bytes); }

// The store's text as the profile service wrote it: UTF-16 after a byte-order mark, otherwise
// the ANSI code page.
std::wstring StoreText() {
  const std::string bytes = StoreBytes();
  if (bytes.size() >= 2 && bytes.compare(0, 2, "\xFF\xFE") == 0) {
    return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data() + 2), (bytes.size() - 2) / 2);
  }
  const int length =
      MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  std::wstring text(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(), length);
  return text;
}

class StoreWine : public testing::Test {
 protected:
  void SetUp() override {
    SetFileBytes(StorePath(), std::nullopt);
    winIni_ = FileBytes(WinIniPath());
    ASSERT_EQ(dll_.Create(store_), S_OK);
  }
  void TearDown() override {
    EXPECT_EQ(FileBytes(WinIniPath()), winIni_) << "win.ini changed";
    store_ = {};
    SetFileBytes(StorePath(), std::nullopt);
  }

  bool Write(const std::wstring& name, BYTE mode, const double (&v)[6]) {
    return WritePaper(store_.get(), name, {mode, v[0], v[1], v[2], v[3], v[4], v[5]});
  }
  void Delete(const std::wstring& name) { EXPECT_EQ(DeletePaper(store_.get(), name), S_OK); }
  // A failed read gives mode 9, which no stored paper has.
  rePaPer Read(const std::wstring& name) {
    return ReadPaper(store_.get(), name).value_or(rePaPer{9});
  }
  std::vector<std::wstring> Names() { return PaperNames(store_.get()); }

  ComApartment apartment_;
  LoadedDll dll_;
  com_ptr<_ClsPrint> store_;
  std::optional<std::string> winIni_;
};

TEST_F(StoreWine, AnAbsentFileIsAnEmptyStoreAndTheFirstWriteCreatesItBesideTheDll) {
  EXPECT_EQ(Names(), (std::vector<std::wstring>{L""}));
  EXPECT_EQ(Read(L"A5X"), rePaPer{});
  Delete(L"A5X");
  EXPECT_EQ(FileBytes(StorePath()), std::nullopt);

  EXPECT_TRUE(Write(L"A5X", 0, {14.8, 21, 0, 0, 0, 0}));
  EXPECT_NE(FileBytes(StorePath()), std::nullopt);
  EXPECT_EQ(Names(), (std::vector<std::wstring>{L"A5X"}));
}

TEST_F(StoreWine, AFileThatCannotBeWrittenMakesTheWriteReportFalse) {
  ASSERT_TRUE(Write(L"A5X", 0, {14.8, 21, 0, 0, 0, 0}));
  const std::string before = StoreBytes();
  {
    // Another program holds the file open for itself alone. (A read-only attribute does not
    // stop Wine's writes when the tests run as root.)
    HANDLE held = CreateFileW(StorePath().c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(Write(L"B5", 0, {17.6, 25, 0, 0, 0, 0}));
    Delete(L"A5X");
    CloseHandle(held);
  }
  EXPECT_EQ(StoreBytes(), before);
  EXPECT_EQ(Names(), (std::vector<std::wstring>{L"A5X"}));
  EXPECT_EQ(Read(L"A5X"), (rePaPer{0, 14.8, 21, 0, 0, 0, 0}));
}

// An empty PrintSet.ini (as installed) becomes a UTF-16 file, so that names outside the code
// page stay apart; a file of ANSI text keeps its encoding and refuses what its code page
// cannot hold, instead of writing it as "??" into another paper's section.
TEST_F(StoreWine, NoNameLandsInAnotherPapersSectionWhateverTheFilesEncoding) {
  const std::vector<std::wstring> names = {L"Ax", L"Āx", L"標籤", L"紙張"};
  WriteStoreBytes("");
  for (std::size_t i = 0; i < names.size(); ++i) {
    EXPECT_TRUE(Write(names[i], 0, {i + 1.0, 2, 0, 0, 0, 0})) << i;
  }
  EXPECT_EQ(Names(), names);
  for (std::size_t i = 0; i < names.size(); ++i) {
    EXPECT_EQ(Read(names[i]), (rePaPer{0, i + 1.0, 2, 0, 0, 0, 0})) << i;
  }
  EXPECT_EQ(StoreBytes().substr(0, 2), "\xFF\xFE");

  // A file of ANSI text; this run's code page is 1252 or 950.
  const bool chinese = GetACP() == 950;
  WriteStoreBytes("; papers\r\n[PrintMain]\r\n?\?=?\?\r\n[?\?]\r\nmMode=0\r\nW=9\r\n");
  const std::string before = StoreBytes();
  EXPECT_FALSE(Write(chinese ? L"Āx" : L"標籤", 0, {1, 2, 0, 0, 0, 0}));
  EXPECT_EQ(StoreBytes(), before);
  EXPECT_EQ(Read(chinese ? L"Āx" : L"紙張"), rePaPer{});
  EXPECT_TRUE(Write(L"Ax", 0, {1, 2, 0, 0, 0, 0}));
  EXPECT_TRUE(Write(chinese ? L"標籤" : L"Éx", 0, {3, 4, 0, 0, 0, 0}));
  EXPECT_EQ(Names(), (std::vector<std::wstring>{L"?\?", L"Ax", chinese ? L"標籤" : L"Éx"}));
  EXPECT_EQ(Read(L"?\?").W, 9);
  EXPECT_NE(StoreBytes().substr(0, 2), "\xFF\xFE");
}

// Wine's profile service takes letter case into account outside ASCII: deleting é5 must not
// take É5's list entry with it.
TEST_F(StoreWine, DeletingOnePaperNeverRemovesAnother) {
  ASSERT_TRUE(Write(L"É5", 0, {1, 2, 0, 0, 0, 0}));
  ASSERT_TRUE(Write(L"é5", 0, {3, 4, 0, 0, 0, 0}));
  ASSERT_TRUE(Write(L"Ab", 0, {5, 6, 0, 0, 0, 0}));
  Delete(L"é5");
  EXPECT_EQ(Names(), (std::vector<std::wstring>{L"É5", L"Ab"}));
  EXPECT_EQ(Read(L"É5"), (rePaPer{0, 1, 2, 0, 0, 0, 0}));
  EXPECT_EQ(StoreText().find(L"[é5]"), std::wstring::npos);
  Delete(L"aB");  // ASCII letters are one name to the service
  EXPECT_EQ(Names(), (std::vector<std::wstring>{L"É5"}));
  EXPECT_EQ(StoreText().find(L"[Ab]"), std::wstring::npos);
}

TEST_F(StoreWine, AValueWhoseTextCannotBeReadBackIsRefused) {
  ASSERT_TRUE(Write(L"A5X", 0, {14.8, 21, 0, 0, 0, 0}));
  const std::string before = StoreBytes();
  EXPECT_FALSE(Write(L"A5X", 1, {1.7976931348623157e308, 1, 0, 0, 0, 0}));
  EXPECT_FALSE(Write(L"Big", 0, {1, 1, 0, 0, 0, -1.7976931348623157e308}));
  EXPECT_EQ(StoreBytes(), before);
}

// Papers an older file lists under names the store no longer writes: the profile service
// finds the sections of all of these, so they read back and delete.
TEST_F(StoreWine, PapersListedUnderOlderNamesCanBeReadAndDeleted) {
  const std::vector<std::wstring> legacy = {L"a]b", L"x[y", L"[z", L"\"q\"", L"'s'"};
  std::wstring text = L"[PrintMain]\r\nA5X=A5X\r\n";
  std::wstring sections = L"[A5X]\r\nmMode=0\r\nW=14.8\r\nH=21\r\n";
  for (const std::wstring& name : legacy) {
    text += name + L"=" + name + L"\r\n";
    sections += L"[" + name + L"]\r\nmMode=1\r\nW=4\r\nH=6\r\n";
  }
  text += sections;
  WriteStoreBytes(std::string(text.begin(), text.end()));
  std::vector<std::wstring> expected = {L"A5X"};
  expected.insert(expected.end(), legacy.begin(), legacy.end());
  ASSERT_EQ(Names(), expected);
  for (const std::wstring& name : legacy) {
    EXPECT_EQ(Read(name), (rePaPer{1, 4, 6, 0, 0, 0, 0})) << testing::PrintToString(name);
    Delete(name);
  }
  EXPECT_EQ(Names(), (std::vector<std::wstring>{L"A5X"}));
  EXPECT_EQ(StoreText(), L"[PrintMain]\r\nA5X=A5X\r\n[A5X]\r\nmMode=0\r\nW=14.8\r\nH=21\r\n");
}

TEST_F(StoreWine, TenThousandPapersAreListedCompletelyInOneRead) {
  std::wstring list = L"\xFEFF[PrintMain]\r\n";
  std::wstring sections;
  std::vector<std::wstring> expected;
  for (int i = 0; i < 10000; ++i) {
    const std::wstring name = L"Paper " + std::to_wstring(i) + L" 標籤";
    list += name + L"=" + name + L"\r\n";
    sections += L"[" + name + L"]\r\nmMode=0\r\nW=" + std::to_wstring(i) + L"\r\n";
    expected.push_back(name);
  }
  const std::wstring text = list + sections;
  WriteStoreBytes(std::string(reinterpret_cast<const char*>(text.data()), text.size() * 2));
  EXPECT_EQ(Names(), expected);
  EXPECT_EQ(Read(expected.back()).W, 9999);
}

}  // namespace
}  // namespace sheetlore::com_test
