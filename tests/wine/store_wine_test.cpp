// The paper store of Sheetlore.dll on the real profile API: PrintSet.ini beside the DLL, no
// other profile file touched, and a list longer than any one buffer. (The profile service's own
// rules, in both code pages: tests/contract; the store's handling of them, the same code on both
// platforms: the unit tests on the simulation, which tests/contract keeps honest; processes
// writing at once: store_concurrency and store_crash.)

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/com_support.h"

namespace sheetlore::com_test {
namespace {

std::wstring WinIniPath() {
  wchar_t directory[MAX_PATH] = {};
  GetWindowsDirectoryW(directory, MAX_PATH);
  return std::wstring(directory) + L"\\win.ini";
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

  std::vector<std::wstring> Names() { return PaperNames(store_.get()); }

  ComApartment apartment_;
  LoadedDll dll_;
  com_ptr<_ClsPrint> store_;
  std::optional<std::string> winIni_;
};

TEST_F(StoreWine, AnAbsentFileIsAnEmptyStoreAndTheFirstWriteCreatesItBesideTheDll) {
  EXPECT_EQ(Names(), (std::vector<std::wstring>{L""}));
  // Reads and deletes take the real lock, which must not create the file.
  EXPECT_EQ(DeletePaper(store_.get(), L"A5X"), S_OK);
  EXPECT_EQ(FileBytes(StorePath()), std::nullopt);

  EXPECT_TRUE(WritePaper(store_.get(), L"A5X", {0, 14.8, 21}));
  EXPECT_NE(FileBytes(StorePath()), std::nullopt);
  EXPECT_EQ(Names(), (std::vector<std::wstring>{L"A5X"}));
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
  SetFileBytes(StorePath(),
               std::string(reinterpret_cast<const char*>(text.data()), text.size() * 2));
  EXPECT_EQ(Names(), expected);
  EXPECT_EQ(ReadPaper(store_.get(), expected.back()), (rePaPer{0, 9999}));
}

// A store another program holds without sharing raises run-time error 75 for a late-bound
// caller, in every read, where an empty store would have been answered; the
// write reports false. Released, the papers are all there.
TEST_F(StoreWine, AStoreHeldByAnotherProgramRaisesPathFileAccessError) {
  ASSERT_TRUE(WritePaper(store_.get(), L"A5X", {0, 14.8, 21}));
  HANDLE held = CreateFileW(StorePath().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  VARIANT names = OfType(VT_EMPTY);
  BSTR name = SysAllocString(L"A5X");
  for (const CallResult& read :
       {CallByName(store_.get(), L"IniReadValue", {Short(0), Missing(), Reference(&names)}),
        CallByName(store_.get(), L"IniReadValue", {Short(1), Text(name)})}) {
    EXPECT_EQ(read.hr, DISP_E_EXCEPTION);
    EXPECT_EQ(read.raised, static_cast<SCODE>(0x800A004B));
    EXPECT_EQ(read.description, L"Path/File access error");
  }
  EXPECT_FALSE(WritePaper(store_.get(), L"B5", {0, 17.6, 25}));
  CloseHandle(held);
  SysFreeString(name);
  VariantClear(&names);
  EXPECT_EQ(Names(), (std::vector<std::wstring>{L"A5X"}));
}

}  // namespace
}  // namespace sheetlore::com_test
