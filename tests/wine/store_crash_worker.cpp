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

#include <windows.h>

#include <shellapi.h>

#include <cstdio>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "com/cls_print_interface.h"
#include "com/sheetlore_guids.h"
#include "platform/win32/com_ptr.h"

namespace {

using sheetlore::rePaPer;
using sheetlore::win32::com_ptr;
using sheetlore::win32::unique_bstr;
using sheetlore::win32::unique_variant;

constexpr int kKeptPapers = 10;
constexpr int kCyclePapers = 20;
constexpr int kKeptVersion = 1000;

// Every value of one version follows from its number, so a paper mixing two versions shows.
rePaPer Version(int v) {
  rePaPer paper{};
  paper.mMode = static_cast<BYTE>(v % 2);
  paper.W = 100 + v;
  paper.H = 200 + v;
  paper.L = v;
  paper.R = v + 0.5;
  paper.T = v + 0.25;
  paper.B = v + 0.75;
  return paper;
}

bool SamePaper(const rePaPer& a, const rePaPer& b) {
  return a.mMode == b.mMode && a.W == b.W && a.H == b.H && a.L == b.L && a.R == b.R && a.T == b.T &&
         a.B == b.B;
}

class Store {
 public:
  explicit Store(const wchar_t* dllPath) {
    CoInitialize(nullptr);
    const HMODULE dll = LoadLibraryW(dllPath);
    using GetClassObject = HRESULT STDAPICALLTYPE(REFCLSID, REFIID, void**);
    auto* getClassObject = dll ? reinterpret_cast<GetClassObject*>(reinterpret_cast<void*>(
                                     GetProcAddress(dll, "DllGetClassObject")))
                               : nullptr;
    com_ptr<IClassFactory> factory;
    if (getClassObject && SUCCEEDED(getClassObject(sheetlore::com::kClassId, IID_IClassFactory,
                                                   factory.put_void()))) {
      factory->CreateInstance(nullptr, __uuidof(_ClsPrint), object_.put_void());
    }
  }

  bool ok() const { return static_cast<bool>(object_); }

  bool Write(const std::wstring& name, const rePaPer& p) {
    unique_bstr text(name);
    VARIANT_BOOL written = VARIANT_FALSE;
    object_->IniWriteValue(text.get(), p.mMode, p.W, p.H, p.L, p.R, p.T, p.B, &written);
    return written == VARIANT_TRUE;
  }
  void Delete(const std::wstring& name) {
    unique_bstr text(name);
    BSTR argument = text.get();
    unique_variant result;
    object_->IniDelValue(&argument, result.put());
  }
  // false when the read failed (an automation error).
  bool Read(const std::wstring& name, rePaPer& paper) {
    unique_bstr text(name);
    paper = rePaPer{};
    return SUCCEEDED(object_->IniReadValue(1, text.get(), nullptr, &paper));
  }
  std::vector<std::wstring> Names() {
    unique_variant list;
    rePaPer paper{};
    std::vector<std::wstring> names;
    if (FAILED(object_->IniReadValue(0, nullptr, list.get(), &paper))) return names;
    if (V_VT(list.get()) != (VT_ARRAY | VT_VARIANT)) return names;
    LONG upper = -1;
    SafeArrayGetUBound(V_ARRAY(list.get()), 1, &upper);
    for (LONG i = 0; i <= upper; ++i) {
      unique_variant entry;
      SafeArrayGetElement(V_ARRAY(list.get()), &i, entry.get());
      if (V_VT(entry.get()) == VT_BSTR && SysStringLen(V_BSTR(entry.get())) > 0) {
        names.emplace_back(V_BSTR(entry.get()), SysStringLen(V_BSTR(entry.get())));
      }
    }
    return names;
  }

 private:
  com_ptr<_ClsPrint> object_;
};

std::wstring Kept(int i) { return L"Keep-" + std::to_wstring(i); }
std::wstring Cycle(int i) { return L"Cycle-" + std::to_wstring(i); }

int Check(Store& store) {
  int problems = 0;
  const std::vector<std::wstring> names = store.Names();
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
    rePaPer paper{};
    if (!store.Read(name, paper)) {
      std::printf("FAIL: %ls cannot be read\n", name.c_str());
      ++problems;
      continue;
    }
    const int v = static_cast<int>(paper.L);
    const bool kept = name.rfind(L"Keep-", 0) == 0;
    const bool whole = v >= 1 && SamePaper(paper, Version(v));
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
    if (!store.Write(Kept(i), Version(kKeptVersion + i))) {
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
      store.Write(name, Version(version(random)));
    } else {
      store.Delete(name);
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
