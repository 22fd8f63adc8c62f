// One process of the paper store's multi-process tests, on a ClsPrint from the class factory of
// the Sheetlore.dll given and the PrintSet.ini beside it. Exit code 0 when everything held, the
// reasons otherwise on stdout.
//   add <dll> <prefix> <count>: stores <prefix>-1 .. <prefix>-<count> in turn, deleting
//     <prefix>-<i-1> after every third write (so -2, -5, -8, ... end deleted).
//   check-added <dll> <count> <prefix>...: every added, undeleted paper is listed once and reads
//     back whole; no deleted one is listed or leaves a value behind.
//   keep <dll>: stores Keep-0 .. Keep-9, which the loop never touches, then checks the store.
//   loop <dll> <seed>: checks the store, prints "looping", then stores, overwrites and deletes
//     Cycle-0 .. Cycle-19 until it is killed.
//   check <dll>: no name is listed twice; every listed paper reads back as one whole version (all
//     seven values from one version number); every Keep paper is listed with its own version.

#include "tests/wine/support/com_support.h"
// after windows.h
#include <shellapi.h>

#include <cstdio>
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

// What the add mode stores as paper i.
rePaPer Added(int i) { return {0, double(i), i + 0.5, 0.25, i - 0.25, 0.5, i + 0.25}; }

// Every value of one version follows from its number, so a paper mixing two versions shows.
rePaPer Version(int v) {
  return {BYTE(v % 2), 100.0 + v, 200.0 + v, double(v), v + 0.5, v + 0.25, v + 0.75};
}

int Fail(int problems, const wchar_t* what, const std::wstring& name) {
  std::printf("FAIL: %ls %ls\n", name.c_str(), what);
  return problems + 1;
}

// The names listed (the empty store's one empty entry left out); a name listed twice counts.
std::set<std::wstring> Listed(_ClsPrint* store, int& problems) {
  std::vector<std::wstring> names = PaperNames(store);
  std::erase(names, L"");
  const std::set<std::wstring> listed(names.begin(), names.end());
  if (listed.size() != names.size()) problems = Fail(problems, L"(a name is listed twice)", L"");
  return listed;
}

int Report(int problems, std::size_t listed) {
  std::printf("%s: %zu papers listed, %d problems\n", problems == 0 ? "ok" : "FAIL", listed,
              problems);
  std::fflush(stdout);
  return problems == 0 ? 0 : 1;
}

int Add(_ClsPrint* store, const std::wstring& prefix, int count) {
  int problems = 0;
  for (int i = 1; i <= count; ++i) {
    if (!WritePaper(store, Numbered(prefix, i), Added(i))) {
      problems = Fail(problems, L"was not written", Numbered(prefix, i));
    }
    if (i % 3 == 0 && FAILED(DeletePaper(store, Numbered(prefix, i - 1)))) {
      problems = Fail(problems, L"was not deleted", Numbered(prefix, i - 1));
    }
  }
  return problems == 0 ? 0 : 1;
}

int CheckAdded(_ClsPrint* store, int count, const std::vector<std::wstring>& prefixes) {
  int problems = 0;
  const std::set<std::wstring> listed = Listed(store, problems);
  for (const std::wstring& prefix : prefixes) {
    for (int i = 1; i <= count; ++i) {
      const std::wstring name = Numbered(prefix, i);
      const bool deleted = i % 3 == 2 && i < count;
      if (listed.count(name) != (deleted ? 0u : 1u)) {
        problems = Fail(problems, deleted ? L"is listed after its delete" : L"was lost", name);
      }
      if (ReadPaper(store, name) != (deleted ? rePaPer{} : Added(i))) {
        problems = Fail(problems, deleted ? L"left values behind" : L"reads back wrong", name);
      }
    }
  }
  return Report(problems, listed.size());
}

int Check(_ClsPrint* store) {
  int problems = 0;
  const std::set<std::wstring> listed = Listed(store, problems);
  for (int i = 0; i < kKeptPapers; ++i) {
    if (!listed.count(Numbered(L"Keep", i)))
      problems = Fail(problems, L"was lost", Numbered(L"Keep", i));
  }
  for (const std::wstring& name : listed) {
    const std::optional<rePaPer> paper = ReadPaper(store, name);
    const int v = paper ? static_cast<int>(paper->L) : 0;
    const bool kept = name.starts_with(L"Keep-");
    if (v < 1 || *paper != Version(v) || (kept && v != kKeptVersion + std::stoi(name.substr(5)))) {
      problems = Fail(problems, L"does not read back as one whole version", name);
    }
  }
  return Report(problems, listed.size());
}

int Keep(_ClsPrint* store) {
  for (int i = 0; i < kKeptPapers; ++i) {
    if (!WritePaper(store, Numbered(L"Keep", i), Version(kKeptVersion + i))) {
      return Fail(0, L"was not written", Numbered(L"Keep", i));
    }
  }
  return Check(store);
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

int Run(const std::vector<std::wstring>& arguments) {
  const std::size_t count = arguments.size();
  if (count < 3) return 2;
  const std::wstring& mode = arguments[1];
  ComApartment apartment;
  LoadedDll dll(arguments[2]);
  com_ptr<_ClsPrint> store;
  if (FAILED(dll.Create(store))) return Fail(0, L"(no object from this DLL)", arguments[2]);
  if (mode == L"add" && count == 5) return Add(store.get(), arguments[3], std::stoi(arguments[4]));
  if (mode == L"check-added" && count >= 5) {
    return CheckAdded(store.get(), std::stoi(arguments[3]),
                      {arguments.begin() + 4, arguments.end()});
  }
  if (mode == L"keep") return Keep(store.get());
  if (mode == L"check") return Check(store.get());
  if (mode == L"loop" && count == 4) {
    if (Check(store.get()) != 0) return 1;
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
