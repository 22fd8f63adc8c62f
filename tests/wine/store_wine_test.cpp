// The paper store of Sheetlore.dll on the real profile API: PrintSet.ini beside the DLL, the
// same file the simulated platform writes for the same calls, no other profile file touched,
// a read-only file, names outside ASCII, two processes at once, and FormAllAdd's message.

#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "com/cls_print_interface.h"
#include "com/sheetlore_guids.h"
#include "component/cls_print.h"
#include "platform/sim/sim_platform.h"
#include "tests/wine/support/com_support.h"

namespace sheetlore::com_test {
namespace {

std::wstring DllDirectory() {
  const std::wstring dll = DllPath();
  return dll.substr(0, dll.find_last_of(L'\\'));
}
std::wstring StorePath() { return DllDirectory() + L"\\PrintSet.ini"; }

std::wstring WinIniPath() {
  wchar_t directory[MAX_PATH] = {};
  GetWindowsDirectoryW(directory, MAX_PATH);
  return std::wstring(directory) + L"\\win.ini";
}

// A file's bytes; empty when it does not exist.
std::string FileBytes(const std::wstring& path) {
  std::ifstream file(std::filesystem::path(path), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// A file's text as the profile service wrote it: UTF-16 after a byte-order mark, otherwise
// the ANSI code page.
std::wstring FileText(const std::wstring& path) {
  const std::string bytes = FileBytes(path);
  if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
      static_cast<unsigned char>(bytes[1]) == 0xFE) {
    return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data() + 2), (bytes.size() - 2) / 2);
  }
  if (bytes.empty()) return L"";
  const int length =
      MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  std::wstring text(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(), length);
  return text;
}

void RemoveStore() {
  SetFileAttributesW(StorePath().c_str(), FILE_ATTRIBUTE_NORMAL);
  DeleteFileW(StorePath().c_str());
}

// The class object straight from the DLL: no registration needed.
HRESULT CreateFromDll(const LoadedDll& dll, com_ptr<_ClsPrint>& object) {
  using GetClassObject = HRESULT STDAPICALLTYPE(REFCLSID, REFIID, void**);
  com_ptr<IClassFactory> factory;
  const HRESULT hr = dll.Get<GetClassObject>("DllGetClassObject")(com::kClassId, IID_IClassFactory,
                                                                  factory.put_void());
  if (FAILED(hr)) return hr;
  return factory->CreateInstance(nullptr, __uuidof(_ClsPrint), object.put_void());
}

// One step of a store session, replayed on the DLL and on the simulated platform.
struct Step {
  enum Kind { kWrite, kDelete } kind;
  std::wstring name;
  BYTE mode = 0;
  double values[6] = {};
};

class StoreWine : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dll_);
    RemoveStore();
    winIni_ = FileBytes(WinIniPath());
    ASSERT_EQ(CreateFromDll(dll_, store_), S_OK);
  }
  void TearDown() override {
    EXPECT_EQ(FileBytes(WinIniPath()), winIni_) << "win.ini changed";
    store_ = {};
    RemoveStore();
  }

  bool Write(const std::wstring& name, BYTE mode, const double (&v)[6]) {
    unique_bstr text(name);
    VARIANT_BOOL written = VARIANT_FALSE;
    EXPECT_EQ(store_->IniWriteValue(text.get(), mode, v[0], v[1], v[2], v[3], v[4], v[5], &written),
              S_OK);
    return written == VARIANT_TRUE;
  }
  void Delete(const std::wstring& name) {
    unique_bstr text(name);
    BSTR argument = text.get();
    EXPECT_EQ(store_->IniDelValue(&argument, nullptr), S_OK);
  }
  rePaPer Read(const std::wstring& name) {
    unique_bstr text(name);
    rePaPer paper{};
    EXPECT_EQ(store_->IniReadValue(1, text.get(), nullptr, &paper), S_OK);
    return paper;
  }
  std::vector<std::wstring> Names() {
    unique_variant list;
    rePaPer paper{};
    EXPECT_EQ(store_->IniReadValue(0, nullptr, list.get(), &paper), S_OK);
    std::vector<std::wstring> names;
    EXPECT_EQ(V_VT(list.get()), VT_ARRAY | VT_VARIANT);
    if (V_VT(list.get()) != (VT_ARRAY | VT_VARIANT)) return names;
    LONG upper = -1;
    SafeArrayGetUBound(V_ARRAY(list.get()), 1, &upper);
    for (LONG i = 0; i <= upper; ++i) {
      unique_variant entry;
      SafeArrayGetElement(V_ARRAY(list.get()), &i, entry.get());
      EXPECT_EQ(V_VT(entry.get()), VT_BSTR);
      names.push_back(V_VT(entry.get()) == VT_BSTR ? TextOf(V_BSTR(entry.get())) : L"?");
    }
    return names;
  }

  ComApartment apartment_;
  LoadedDll dll_;
  com_ptr<_ClsPrint> store_;
  std::string winIni_;
};

TEST_F(StoreWine, TheDllWritesTheFileTheSimulationWrites) {
  const std::vector<Step> steps = {
      {Step::kWrite, L"A5X", 0, {14.8, 21, 0, 0, 0, 0}},
      {Step::kWrite, L"Letter 2", 1, {8.5, 11, 0.25, 8.25, 0.5, 10.5}},
      {Step::kWrite, L"Tiny", 0, {0.00001, 1e20, -3.25, 0, 0, 0}},
      {Step::kWrite, L"a5x", 0, {15, 21, 0, 0, 0, 0}},
      {Step::kDelete, L" Letter 2 ", 0, {}},
      {Step::kWrite, L"C;1", 2, {1, 2, 3, 4, 5, 6}},
      {Step::kDelete, L"Missing", 0, {}},
      {Step::kDelete, L"PrintMain", 0, {}},
  };
  sim::SimPlatform simulation;
  ClsPrint simulated(simulation.platform());
  const std::wstring simulatedStore =
      simulation.platform().host.ComponentDirectory() + L"\\PrintSet.ini";
  for (const Step& step : steps) {
    if (step.kind == Step::kWrite) {
      const auto& v = step.values;
      EXPECT_EQ(Write(step.name, step.mode, v),
                simulated.IniWriteValue(step.name, step.mode, v[0], v[1], v[2], v[3], v[4], v[5]));
    } else {
      Delete(step.name);
      std::wstring name = step.name;
      simulated.IniDelValue(name);
    }
    EXPECT_EQ(FileText(StorePath()), simulation.FileText(simulatedStore))
        << "after " << testing::PrintToString(step.name);
  }
  std::vector<std::wstring> simulatedNames;
  simulated.IniReadValue(0, L"", &simulatedNames);
  EXPECT_EQ(Names(), simulatedNames);
  EXPECT_EQ(Read(L"Tiny"), (rePaPer{0, 0.00001, 1e20, -3.25, 0, 0, 0}));
  EXPECT_EQ(Read(L"A5X"), simulated.IniReadValue(1, L"A5X"));

  // Deleting the last papers leaves an empty file on both.
  Delete(L"A5X");
  Delete(L"Tiny");
  Delete(L"C;1");
  EXPECT_EQ(FileText(StorePath()), L"");
}

TEST_F(StoreWine, AFileWrittenByHandReadsTheSameThroughTheDllAndTheSimulation) {
  const std::wstring text =
      L"; written by hand\r\n[PrintMain]\r\nP=P\r\n  Q  =  Q \r\n[p]\r\nmMode = 1.5\r\n"
      L"W=14.8cm\r\nH=abc\r\nL= 1 2 . 5\r\nR=14,8\r\nT=\"2.5\"\r\n[Q]\r\nW=\t7\r\n";
  {
    std::ofstream file(std::filesystem::path(StorePath()), std::ios::binary);
    const std::string bytes(text.begin(), text.end());
    file << bytes;
  }
  sim::SimPlatform simulation;
  ClsPrint simulated(simulation.platform());
  simulation.SetFileText(simulation.platform().host.ComponentDirectory() + L"\\PrintSet.ini", text);
  std::vector<std::wstring> simulatedNames;
  simulated.IniReadValue(0, L"", &simulatedNames);
  EXPECT_EQ(Names(), simulatedNames);
  EXPECT_EQ(Names(), (std::vector<std::wstring>{L"P", L"Q"}));
  EXPECT_EQ(Read(L"P"), simulated.IniReadValue(1, L"P"));
  EXPECT_EQ(Read(L"P"), (rePaPer{2, 14.8, 0, 12.5, 14, 2.5, 0}));
  EXPECT_EQ(Read(L"Q"), simulated.IniReadValue(1, L"Q"));
}

TEST_F(StoreWine, AnAbsentFileIsAnEmptyStoreAndTheFirstWriteCreatesItBesideTheDll) {
  EXPECT_EQ(Names(), (std::vector<std::wstring>{L""}));
  EXPECT_EQ(Read(L"A5X"), rePaPer{});
  Delete(L"A5X");
  EXPECT_EQ(GetFileAttributesW(StorePath().c_str()), INVALID_FILE_ATTRIBUTES);

  EXPECT_TRUE(Write(L"A5X", 0, {14.8, 21, 0, 0, 0, 0}));
  EXPECT_NE(GetFileAttributesW(StorePath().c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(Names(), (std::vector<std::wstring>{L"A5X"}));
  // Refused names leave the file as it is.
  const std::string before = FileBytes(StorePath());
  EXPECT_FALSE(Write(L"printmain", 0, {1, 2, 0, 0, 0, 0}));
  EXPECT_FALSE(Write(L"A=B", 0, {1, 2, 0, 0, 0, 0}));
  EXPECT_FALSE(Write(L"", 0, {1, 2, 0, 0, 0, 0}));
  Delete(L"PrintMain");
  EXPECT_EQ(FileBytes(StorePath()), before);
}

TEST_F(StoreWine, AFileThatCannotBeWrittenMakesTheWriteReportFalse) {
  ASSERT_TRUE(Write(L"A5X", 0, {14.8, 21, 0, 0, 0, 0}));
  const std::string before = FileBytes(StorePath());
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
  EXPECT_EQ(FileBytes(StorePath()), before);
  EXPECT_EQ(Names(), (std::vector<std::wstring>{L"A5X"}));
  EXPECT_EQ(Read(L"A5X"), (rePaPer{0, 14.8, 21, 0, 0, 0, 0}));
}

TEST_F(StoreWine, NamesOutsideAsciiComeBackIntact) {
  const std::wstring name = L"標籤紙 Ａ4 é";
  ASSERT_TRUE(Write(name, 1, {4, 6, 0, 0, 0, 0}));
  EXPECT_EQ(Names(), (std::vector<std::wstring>{name}));
  EXPECT_EQ(Read(name), (rePaPer{1, 4, 6, 0, 0, 0, 0}));
  Delete(name);
  EXPECT_EQ(Names(), (std::vector<std::wstring>{L""}));
}

void WriteStoreBytes(const std::string& bytes) {
  std::ofstream file(std::filesystem::path(StorePath()), std::ios::binary);
  file << bytes;
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
  EXPECT_EQ(FileBytes(StorePath()).substr(0, 2), "\xFF\xFE");

  // A file of ANSI text; this run's code page is 1252 or 950.
  const bool chinese = GetACP() == 950;
  WriteStoreBytes("; papers\r\n[PrintMain]\r\n?\?=?\?\r\n[?\?]\r\nmMode=0\r\nW=9\r\n");
  const std::string before = FileBytes(StorePath());
  EXPECT_FALSE(Write(chinese ? L"Āx" : L"標籤", 0, {1, 2, 0, 0, 0, 0}));
  EXPECT_EQ(FileBytes(StorePath()), before);
  EXPECT_EQ(Read(chinese ? L"Āx" : L"紙張"), rePaPer{});
  EXPECT_TRUE(Write(L"Ax", 0, {1, 2, 0, 0, 0, 0}));
  EXPECT_TRUE(Write(chinese ? L"標籤" : L"Éx", 0, {3, 4, 0, 0, 0, 0}));
  EXPECT_EQ(Names(), (std::vector<std::wstring>{L"?\?", L"Ax", chinese ? L"標籤" : L"Éx"}));
  EXPECT_EQ(Read(L"?\?").W, 9);
  EXPECT_NE(FileBytes(StorePath()).substr(0, 2), "\xFF\xFE");
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
  EXPECT_EQ(FileText(StorePath()).find(L"[é5]"), std::wstring::npos);
  Delete(L"aB");  // ASCII letters are one name to the service
  EXPECT_EQ(Names(), (std::vector<std::wstring>{L"É5"}));
  EXPECT_EQ(FileText(StorePath()).find(L"[Ab]"), std::wstring::npos);
}

TEST_F(StoreWine, AValueWhoseTextCannotBeReadBackIsRefused) {
  ASSERT_TRUE(Write(L"A5X", 0, {14.8, 21, 0, 0, 0, 0}));
  const std::string before = FileBytes(StorePath());
  EXPECT_FALSE(Write(L"A5X", 1, {1.7976931348623157e308, 1, 0, 0, 0, 0}));
  EXPECT_FALSE(Write(L"Big", 0, {1, 1, 0, 0, 0, -1.7976931348623157e308}));
  EXPECT_EQ(FileBytes(StorePath()), before);
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
  EXPECT_EQ(FileText(StorePath()),
            L"[PrintMain]\r\nA5X=A5X\r\n[A5X]\r\nmMode=0\r\nW=14.8\r\nH=21\r\n");
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

// Two processes adding and deleting their own papers in the same file at the same time.
// The child side: runs only when started by the test below.
TEST(StoreWriterChild, Run) {
  wchar_t tag[64] = {};
  if (GetEnvironmentVariableW(L"SHEETLORE_STORE_WRITER", tag, 64) == 0) {
    GTEST_SKIP() << "started only by TwoProcessesKeepEachOthersPapers";
  }
  ComApartment apartment;
  LoadedDll dll;
  com_ptr<_ClsPrint> store;
  ASSERT_EQ(CreateFromDll(dll, store), S_OK);
  for (int i = 0; i < 20; ++i) {
    for (const wchar_t* kind : {L" keep ", L" drop "}) {
      unique_bstr name(std::wstring(tag) + kind + std::to_wstring(i));
      VARIANT_BOOL written = VARIANT_FALSE;
      store->IniWriteValue(name.get(), 0, i + 1, i + 2, 0, 0, 0, 0, &written);
      EXPECT_EQ(written, VARIANT_TRUE);
    }
    unique_bstr drop(std::wstring(tag) + L" drop " + std::to_wstring(i));
    BSTR argument = drop.get();
    store->IniDelValue(&argument, nullptr);
  }
}

TEST_F(StoreWine, TwoProcessesKeepEachOthersPapers) {
  wchar_t self[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::vector<PROCESS_INFORMATION> children;
  for (const wchar_t* tag : {L"First", L"Second"}) {
    SetEnvironmentVariableW(L"SHEETLORE_STORE_WRITER", tag);
    std::wstring commandLine =
        L"\"" + std::wstring(self) + L"\" --gtest_filter=StoreWriterChild.Run";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(CreateProcessW(self, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               nullptr, &startup, &process));
    children.push_back(process);
  }
  SetEnvironmentVariableW(L"SHEETLORE_STORE_WRITER", nullptr);
  for (const PROCESS_INFORMATION& process : children) {
    EXPECT_EQ(WaitForSingleObject(process.hProcess, 120000), WAIT_OBJECT_0);
    DWORD code = 1;
    GetExitCodeProcess(process.hProcess, &code);
    EXPECT_EQ(code, 0u);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }

  const std::vector<std::wstring> names = Names();
  for (const wchar_t* tag : {L"First", L"Second"}) {
    for (int i = 0; i < 20; ++i) {
      const std::wstring keep = std::wstring(tag) + L" keep " + std::to_wstring(i);
      EXPECT_NE(std::find(names.begin(), names.end(), keep), names.end())
          << "lost: " << testing::PrintToString(keep);
      EXPECT_EQ(Read(keep), (rePaPer{0, i + 1.0, i + 2.0, 0, 0, 0, 0}))
          << testing::PrintToString(keep);
      const std::wstring drop = std::wstring(tag) + L" drop " + std::to_wstring(i);
      EXPECT_EQ(std::find(names.begin(), names.end(), drop), names.end())
          << "still listed: " << testing::PrintToString(drop);
    }
  }
}

// The user's side of a message box: waits for a dialog of this process with the caption
// (other test programs may show boxes with the same caption on the same display), reads its
// text and buttons and confirms it.
struct SeenMessage {
  bool seen = false;
  std::wstring text;
  bool hasOk = false;
  bool hasCancel = false;
};

struct DialogSearch {
  const wchar_t* caption;
  HWND found;
};

BOOL CALLBACK MatchOwnDialog(HWND window, LPARAM parameter) {
  auto& search = *reinterpret_cast<DialogSearch*>(parameter);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  wchar_t className[64] = {};
  wchar_t title[256] = {};
  GetClassNameW(window, className, 64);
  GetWindowTextW(window, title, 256);
  if (process == GetCurrentProcessId() && lstrcmpW(className, L"#32770") == 0 &&
      lstrcmpW(title, search.caption) == 0 && IsWindowVisible(window)) {
    search.found = window;
    return FALSE;
  }
  return TRUE;
}

HWND FindOwnDialog(const wchar_t* caption) {
  DialogSearch search{caption, nullptr};
  EnumWindows(MatchOwnDialog, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

SeenMessage ConfirmMessage(const wchar_t* caption, int waitMs) {
  SeenMessage seen;
  for (int waited = 0; waited < waitMs; waited += 25) {
    if (HWND box = FindOwnDialog(caption)) {
      seen.seen = true;
      wchar_t text[256] = {};
      GetDlgItemTextW(box, 0xFFFF, text, 256);  // the message box's text control
      seen.text = text;
      seen.hasOk = GetDlgItem(box, IDOK) != nullptr;
      seen.hasCancel = GetDlgItem(box, IDCANCEL) != nullptr;
      PostMessageW(box, WM_COMMAND, IDOK, 0);
      return seen;
    }
    Sleep(25);
  }
  return seen;
}

std::wstring DefaultPrinter() {
  wchar_t name[256] = {};
  DWORD length = 256;
  return GetDefaultPrinterW(name, &length) ? name : L"";
}

TEST_F(StoreWine, FormAllAddEndsWithItsMessageWhichTheUserConfirms) {
  ASSERT_FALSE(DefaultPrinter().empty()) << "the private environment has no default printer";
  ASSERT_TRUE(Write(L"Store test", 1, {8.5, 11, 0, 0, 0, 0}));
  SeenMessage seen;
  std::thread user([&seen] { seen = ConfirmMessage(L"系統提示", 120000); });
  com_ptr<IDispatch> printer = FakePrinter::Named(DefaultPrinter());
  IDispatch* given = printer.get();
  EXPECT_EQ(store_->FormAllAdd(&given), S_OK);
  user.join();
  EXPECT_TRUE(seen.seen);
  EXPECT_EQ(seen.text, L"新增完成");
  EXPECT_TRUE(seen.hasOk);
  EXPECT_FALSE(seen.hasCancel);
  // However long a busy machine takes to close it (the suite's timeout bounds the wait).
  for (int waited = 0; waited < 120000 && FindOwnDialog(L"系統提示"); waited += 25) {
    Sleep(25);
  }
  EXPECT_EQ(FindOwnDialog(L"系統提示"), nullptr) << "the confirmed message stays open";

  // A printer object without DeviceName ends the call on the first paper, with no message.
  SeenMessage unexpected;
  std::thread watcher([&unexpected] { unexpected = ConfirmMessage(L"系統提示", 1500); });
  com_ptr<IDispatch> broken = FakePrinter::WithoutDeviceName();
  given = broken.get();
  EXPECT_EQ(store_->FormAllAdd(&given), DISP_E_UNKNOWNNAME);
  watcher.join();
  EXPECT_FALSE(unexpected.seen) << testing::PrintToString(unexpected.text);
}

}  // namespace
}  // namespace sheetlore::com_test
