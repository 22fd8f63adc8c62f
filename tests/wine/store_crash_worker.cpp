// One process of the paper store's crash test.
//   store_crash_worker keep <Sheetlore.dll>
//     stores the papers Keep-0 .. Keep-9, which the loop never touches.
//   store_crash_worker loop <Sheetlore.dll> <seed>
//     checks the store, prints "looping" and then stores, overwrites and deletes the papers
//     Cycle-0 .. Cycle-19 until it is killed.
//   store_crash_worker check <Sheetlore.dll>
//     checks the store only.
// The check: the list names no paper twice; every listed paper reads back as one whole
// version (all seven values from one version number, as the loop writes them); every Keep
// paper is listed with its own version. Exit code 0 when everything held; reasons on stdout.

#include "tests/wine/support/com_support.h"
// after windows.h
#include <shellapi.h>

#include <cstdio>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace {

using namespace sheetlore::com_test;
using sheetlore::rePaPer;

constexpr int kKeptPapers = 10;
constexpr int kCyclePapers = 20;
constexpr int kKeptVersion = 1000;

// Every value of one version follows from its number, so a paper mixing two versions shows.
rePaPer Version(int v) {
  return {static_cast<std::uint8_t>(v % 2),
          100.0 + v,
          200.0 + v,
          double(v),
          v + 0.5,
          v + 0.25,
          v + 0.75};
}

// The store of the DLL given, through a ClsPrint from its class factory.
class Store {
 public:
  explicit Store(const wchar_t* dllPath) : dll_(dllPath) { dll_.Create(object_); }
  bool ok() const { return static_cast<bool>(object_); }
  _ClsPrint* get() const { return object_.get(); }

 private:
  ComApartment apartment_;
  LoadedDll dll_;
  com_ptr<_ClsPrint> object_;
};

std::wstring Kept(int i) { return L"Keep-" + std::to_wstring(i); }
std::wstring Cycle(int i) { return L"Cycle-" + std::to_wstring(i); }

int Check(Store& store) {
  int problems = 0;
  std::vector<std::wstring> names = PaperNames(store.get());
  std::erase(names, L"");  // the empty store's one entry
  const std::set<std::wstring> listed(names.begin(), names.end());
  if (listed.size() != names.size()) {
    std::printf("FAIL: a name is listed twice\n");
    ++problems;
  }
  for (int i = 0; i < kKeptPapers; ++i) {
    if (!listed.count(Kept(i))) {
      std::printf("FAIL: %ls was lost\n", Kept(i).c_str());
      ++problems;
    }
  }
  for (const std::wstring& name : names) {
    const std::optional<rePaPer> read = ReadPaper(store.get(), name);
    if (!read) {
      std::printf("FAIL: %ls cannot be read\n", name.c_str());
      ++problems;
      continue;
    }
    const rePaPer& paper = *read;
    const int v = static_cast<int>(paper.L);
    const bool kept = name.rfind(L"Keep-", 0) == 0;
    const bool whole = v >= 1 && paper == Version(v);
    if (!whole || (kept && v != kKeptVersion + std::stoi(name.substr(5)))) {
      std::printf("FAIL: %ls reads W=%g H=%g L=%g R=%g T=%g B=%g mMode=%d\n", name.c_str(), paper.W,
                  paper.H, paper.L, paper.R, paper.T, paper.B, paper.mMode);
      ++problems;
    }
  }
  std::printf("%s: %zu papers listed, %d problems\n", problems == 0 ? "ok" : "FAIL", names.size(),
              problems);
  std::fflush(stdout);
  return problems == 0 ? 0 : 1;
}

int Keep(Store& store) {
  for (int i = 0; i < kKeptPapers; ++i) {
    if (!WritePaper(store.get(), Kept(i), Version(kKeptVersion + i))) {
      std::printf("FAIL: cannot store %ls\n", Kept(i).c_str());
      return 1;
    }
  }
  return Check(store);
}

[[noreturn]] void Loop(Store& store, unsigned seed) {
  std::mt19937 random(seed);
  std::uniform_int_distribution<int> paper(0, kCyclePapers - 1);
  std::uniform_int_distribution<int> version(1, 999);
  std::uniform_int_distribution<int> action(1, 10);
  std::printf("looping\n");
  std::fflush(stdout);
  for (;;) {
    const std::wstring name = Cycle(paper(random));
    if (action(random) <= 6) {
      WritePaper(store.get(), name, Version(version(random)));
    } else {
      DeletePaper(store.get(), name);
    }
  }
}

}  // namespace

int main() {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  const std::wstring mode = argc > 2 ? argv[1] : L"";
  if (mode.empty()) {
    std::printf("usage: store_crash_worker keep|check <dll> | loop <dll> <seed>\n");
    return 2;
  }
  Store store(argv[2]);
  if (!store.ok()) {
    std::printf("FAIL: cannot create the object from %ls\n", argv[2]);
    return 1;
  }
  if (mode == L"keep") return Keep(store);
  if (mode == L"check") return Check(store);
  if (mode == L"loop" && argc == 4) {
    if (Check(store) != 0) return 1;
    Loop(store, static_cast<unsigned>(_wtoi(argv[3])));
  }
  return 2;
}
