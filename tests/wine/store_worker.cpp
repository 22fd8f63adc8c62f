// One process of the paper store's multi-process tests, on a ClsPrint from the class factory of
// the Sheetlore.dll given and the PrintSet.ini beside it. Exit code 0 when everything held, the
// reasons otherwise on stdout.
//   add <dll> <prefix> <count>: stores <prefix>-1 .. <prefix>-<count> in turn (paper i as version
//     i), deleting <prefix>-<i-1> after every third write (so -2, -5, -8, ... end deleted).
//   check-added <dll> <count> <prefix>...: as check, but instead of the Keep papers every added,
//     undeleted paper is listed with its version; no deleted one is listed or leaves a value
//     behind.
//   keep <dll>: stores Keep-0 .. Keep-9, which the loop never touches, then checks the store.
//   loop <dll> <seed>: checks the store, prints "looping", then stores, overwrites and deletes
//     Cycle-0 .. Cycle-19 until it is killed.
//   hold <path> <exclusive|nodelete> <release file>: opens the file sharing nothing, or sharing
//     reading and writing but not deleting (as scanners and backup clients do), prints "holding",
//     and closes it once the release file exists (or after two minutes).
//   lock-name <path>: prints the name of the store's lock for that spelling of the path, and for
//     its short (8.3) spelling.
//   check <dll>: no name is listed twice; every listed paper reads back as one whole version (all
//     seven values from one version number); every Keep paper is listed with its own version.

#include "platform/win32/profile_lock_name.h"
#include "tests/support/com_support.h"
// after windows.h
#include <shellapi.h>

#include <cstdio>
#include <map>
#include <optional>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace sheetlore::com_test {
namespace {

constexpr int kKeptPapers = 10;
constexpr int kCyclePapers = 20;
constexpr int kKeptVersion = 1000;

std::wstring Numbered(const std::wstring& prefix, int i) {
  return prefix + L"-" + std::to_wstring(i);
}

// Every value of one version follows from its number, so a paper mixing two versions shows.
rePaPer Version(int v) {
  return {BYTE(v % 2), 100.0 + v, 200.0 + v, double(v), v + 0.5, v + 0.25, v + 0.75};
}

int Fail(int problems, const wchar_t* what, const std::wstring& name) {
  std::printf("FAIL: %ls %ls\n", name.c_str(), what);
  return problems + 1;
}

// Papers a check expects: each name with its version, or with none when it was deleted.
using Expected = std::map<std::wstring, std::optional<int>>;

Expected Kept() {
  Expected kept;
  for (int i = 0; i < kKeptPapers; ++i) kept[Numbered(L"Keep", i)] = kKeptVersion + i;
  return kept;
}

// No name listed twice (the empty store's one empty entry left out), every listed paper one
// whole version, and every expected paper listed with its version or, deleted, absent.
int Check(_ClsPrint* store, const Expected& expected) {
  int problems = 0;
  std::vector<std::wstring> names = PaperNames(store);
  std::erase(names, L"");
  const std::set<std::wstring> listed(names.begin(), names.end());
  if (listed.size() != names.size()) problems = Fail(problems, L"(a name is listed twice)", L"");
  for (const std::wstring& name : listed) {
    const std::optional<rePaPer> paper = ReadPaper(store, name);
    const int v = paper ? static_cast<int>(paper->L) : 0;
    if (v < 1 || *paper != Version(v)) {
      problems = Fail(problems, L"does not read back as one whole version", name);
    }
  }
  for (const auto& [name, version] : expected) {
    if (listed.count(name) != (version ? 1u : 0u)) {
      problems = Fail(problems, version ? L"was lost" : L"is listed after its delete", name);
    }
    if (ReadPaper(store, name) != (version ? Version(*version) : rePaPer{})) {
      problems = Fail(problems, version ? L"reads back wrong" : L"left values behind", name);
    }
  }
  std::printf("%s: %zu papers listed, %d problems\n", problems == 0 ? "ok" : "FAIL", listed.size(),
              problems);
  std::fflush(stdout);
  return problems == 0 ? 0 : 1;
}

int Add(_ClsPrint* store, const std::wstring& prefix, int count) {
  int problems = 0;
  for (int i = 1; i <= count; ++i) {
    if (!WritePaper(store, Numbered(prefix, i), Version(i))) {
      problems = Fail(problems, L"was not written", Numbered(prefix, i));
    }
    if (i % 3 == 0 && FAILED(DeletePaper(store, Numbered(prefix, i - 1)))) {
      problems = Fail(problems, L"was not deleted", Numbered(prefix, i - 1));
    }
  }
  return problems == 0 ? 0 : 1;
}

// What the add mode leaves of count papers under each prefix.
Expected Added(int count, const std::vector<std::wstring>& prefixes) {
  Expected added;
  for (const std::wstring& prefix : prefixes) {
    for (int i = 1; i <= count; ++i) {
      added[Numbered(prefix, i)] = i % 3 == 2 && i < count ? std::nullopt : std::optional(i);
    }
  }
  return added;
}

[[noreturn]] void Loop(_ClsPrint* store, unsigned seed) {
  std::mt19937 random(seed);
  std::uniform_int_distribution<int> paper(0, kCyclePapers - 1), version(1, 999), action(1, 10);
  std::printf("looping\n");
  std::fflush(stdout);
  for (;;) {
    const std::wstring name = Numbered(L"Cycle", paper(random));
    if (action(random) <= 6) {
      WritePaper(store, name, Version(version(random)));
    } else {
      DeletePaper(store, name);
    }
  }
}

int Hold(const std::wstring& path, const std::wstring& how, const std::wstring& release) {
  const DWORD share = how == L"exclusive" ? 0 : FILE_SHARE_READ | FILE_SHARE_WRITE;
  const HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return Fail(0, L"cannot be opened", path);
  std::printf("holding\n");
  std::fflush(stdout);
  for (int waited = 0; waited < 6000; ++waited) {
    if (::GetFileAttributesW(release.c_str()) != INVALID_FILE_ATTRIBUTES) break;
    ::Sleep(20);
  }
  ::CloseHandle(file);
  return 0;
}

int Run(const std::vector<std::wstring>& arguments) {
  const std::size_t count = arguments.size();
  if (count < 3) return 2;
  const std::wstring& mode = arguments[1];
  if (mode == L"hold" && count == 5) return Hold(arguments[2], arguments[3], arguments[4]);
  if (mode == L"lock-name") {
    wchar_t shortPath[MAX_PATH] = {};
    if (!::GetShortPathNameW(arguments[2].c_str(), shortPath, MAX_PATH)) return 1;
    std::printf("%ls\n%ls\n", win32::ProfileLockName(arguments[2]).c_str(),
                win32::ProfileLockName(shortPath).c_str());
    return 0;
  }
  ComApartment apartment;
  LoadedDll dll(arguments[2]);
  com_ptr<_ClsPrint> store;
  if (FAILED(dll.Create(store))) return Fail(0, L"(no object from this DLL)", arguments[2]);
  if (mode == L"add" && count == 5) return Add(store.get(), arguments[3], std::stoi(arguments[4]));
  if (mode == L"check-added" && count >= 5) {
    return Check(store.get(),
                 Added(std::stoi(arguments[3]), {arguments.begin() + 4, arguments.end()}));
  }
  if (mode == L"keep") {
    for (const auto& [name, version] : Kept()) {
      if (!WritePaper(store.get(), name, Version(*version)))
        return Fail(0, L"was not written", name);
    }
  }
  if (mode == L"keep" || mode == L"check") return Check(store.get(), Kept());
  if (mode == L"loop" && count == 4) {
    if (Check(store.get(), Kept()) != 0) return 1;
    Loop(store.get(), static_cast<unsigned>(std::stoul(arguments[3])));
  }
  return 2;
}

}  // namespace
}  // namespace sheetlore::com_test

int main() {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  const int status = sheetlore::com_test::Run({argv, argv + argc});
  if (status == 2) std::printf("usage: see the head of store_worker.cpp\n");
  return status;
}
