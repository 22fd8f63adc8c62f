// One process of the paper store's concurrency test.
//   store_worker work <Sheetlore.dll> <prefix> <count>
//     loads the DLL, creates a ClsPrint through its class factory and stores the papers
//     <prefix>-1 .. <prefix>-<count> one after another, deleting <prefix>-<i-1> after every
//     third write (so <prefix>-2, -5, -8, ... end deleted).
//   store_worker unlocked <PrintSet.ini> <prefix> <count>
//     makes the same profile writes straight through the profile API, without any lock.
//   store_worker check <PrintSet.ini> <count> <prefix>...
//     reads the store through the profile API and checks that every paper of every prefix that
//     was added and not deleted is listed and complete, and no deleted one is listed.
// Exit code 0 when everything held; the reasons otherwise on stdout.

#include <windows.h>

#include <shellapi.h>

#include <cstdio>
#include <cwchar>
#include <set>
#include <string>
#include <vector>

#include "com/cls_print_interface.h"
#include "com/sheetlore_guids.h"
#include "platform/win32/com_ptr.h"

namespace {

using sheetlore::win32::com_ptr;
using sheetlore::win32::unique_bstr;
using sheetlore::win32::unique_variant;

const wchar_t* const kPaperKeys[] = {L"mMode", L"W", L"H", L"L", L"R", L"T", L"B"};

std::wstring PaperName(const std::wstring& prefix, int i) {
  return prefix + L"-" + std::to_wstring(i);
}

bool IsDeleted(int i, int count) { return i % 3 == 2 && i + 1 <= count; }

int Work(const wchar_t* dllPath, const std::wstring& prefix, int count) {
  CoInitialize(nullptr);
  const HMODULE dll = LoadLibraryW(dllPath);
  if (!dll) {
    std::printf("FAIL: cannot load the DLL (%lu)\n", GetLastError());
    return 1;
  }
  using GetClassObject = HRESULT STDAPICALLTYPE(REFCLSID, REFIID, void**);
  auto* getClassObject = reinterpret_cast<GetClassObject*>(
      reinterpret_cast<void*>(GetProcAddress(dll, "DllGetClassObject")));
  int failures = 0;
  {
    com_ptr<IClassFactory> factory;
    com_ptr<_ClsPrint> object;
    if (!getClassObject ||
        FAILED(getClassObject(sheetlore::com::kClassId, IID_IClassFactory, factory.put_void())) ||
        FAILED(factory->CreateInstance(nullptr, __uuidof(_ClsPrint), object.put_void()))) {
      std::printf("FAIL: cannot create the object\n");
      return 1;
    }
    for (int i = 1; i <= count; ++i) {
      unique_bstr name(PaperName(prefix, i));
      VARIANT_BOOL written = VARIANT_FALSE;
      const HRESULT hr =
          object->IniWriteValue(name.get(), 0, i, i + 0.5, 0.25, i - 0.25, 0.5, i + 0.25, &written);
      if (FAILED(hr) || written != VARIANT_TRUE) {
        std::printf("FAIL: writing %ls: 0x%08lx, %d\n", PaperName(prefix, i).c_str(),
                    static_cast<unsigned long>(hr), written);
        ++failures;
      }
      if (i % 3 == 0) {
        unique_bstr deleted(PaperName(prefix, i - 1));
        BSTR text = deleted.get();
        unique_variant result;
        if (FAILED(object->IniDelValue(&text, result.put()))) {
          std::printf("FAIL: deleting %ls\n", PaperName(prefix, i - 1).c_str());
          ++failures;
        }
      }
    }
  }
  CoUninitialize();
  return failures == 0 ? 0 : 1;
}

// The same writes and deletes made straight through the profile API, without the store's
// lock: shows what the platform alone does when processes write one file at once.
int WorkUnlocked(const wchar_t* storePath, const std::wstring& prefix, int count) {
  for (int i = 1; i <= count; ++i) {
    const std::wstring name = PaperName(prefix, i);
    const std::wstring values[] = {L"0",
                                   std::to_wstring(i),
                                   std::to_wstring(i) + L".5",
                                   L"0.25",
                                   std::to_wstring(i - 1) + L".75",
                                   L"0.5",
                                   std::to_wstring(i) + L".25"};
    for (int k = 0; k < 7; ++k) {
      WritePrivateProfileStringW(name.c_str(), kPaperKeys[k], values[k].c_str(), storePath);
    }
    WritePrivateProfileStringW(L"PrintMain", name.c_str(), name.c_str(), storePath);
    if (i % 3 == 0) {
      const std::wstring deleted = PaperName(prefix, i - 1);
      WritePrivateProfileStringW(L"PrintMain", deleted.c_str(), nullptr, storePath);
      WritePrivateProfileStringW(deleted.c_str(), nullptr, nullptr, storePath);
    }
  }
  return 0;
}

std::vector<std::wstring> SplitAtZeros(const wchar_t* text, DWORD count) {
  std::vector<std::wstring> parts;
  std::wstring current;
  for (DWORD i = 0; i < count; ++i) {
    if (text[i] == L'\0') {
      if (!current.empty()) parts.push_back(current);
      current.clear();
    } else {
      current.push_back(text[i]);
    }
  }
  if (!current.empty()) parts.push_back(current);
  return parts;
}

int Check(const wchar_t* storePath, int count, const std::vector<std::wstring>& prefixes) {
  std::vector<wchar_t> buffer(1 << 20);
  const DWORD copied = GetPrivateProfileStringW(L"PrintMain", nullptr, L"", buffer.data(),
                                                static_cast<DWORD>(buffer.size()), storePath);
  const std::vector<std::wstring> listedNames = SplitAtZeros(buffer.data(), copied);
  const std::set<std::wstring> listed(listedNames.begin(), listedNames.end());
  int problems = 0;
  if (listed.size() != listedNames.size()) {
    std::printf("FAIL: a name is listed twice\n");
    ++problems;
  }
  for (const std::wstring& prefix : prefixes) {
    for (int i = 1; i <= count; ++i) {
      const std::wstring name = PaperName(prefix, i);
      const bool shouldBeListed = !IsDeleted(i, count);
      if (listed.count(name) != (shouldBeListed ? 1u : 0u)) {
        std::printf("FAIL: %ls is %s\n", name.c_str(),
                    shouldBeListed ? "lost from the list" : "still listed after its delete");
        ++problems;
        continue;
      }
      for (const wchar_t* key : kPaperKeys) {
        wchar_t value[64] = {};
        GetPrivateProfileStringW(name.c_str(), key, L"<missing>", value, 64, storePath);
        const bool missing = std::wcscmp(value, L"<missing>") == 0;
        if (shouldBeListed == missing) {
          std::printf("FAIL: %ls has %s key %ls\n", name.c_str(),
                      missing ? "lost its" : "kept its deleted", key);
          ++problems;
        }
      }
      if (shouldBeListed) {
        wchar_t width[64] = {};
        GetPrivateProfileStringW(name.c_str(), L"W", L"", width, 64, storePath);
        if (std::wstring(width) != std::to_wstring(i)) {
          std::printf("FAIL: %ls has the width %ls\n", name.c_str(), width);
          ++problems;
        }
      }
    }
  }
  std::printf("%s: %zu papers listed, %d problems\n", problems == 0 ? "ok" : "FAIL",
              listedNames.size(), problems);
  return problems == 0 ? 0 : 1;
}

}  // namespace

int main() {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  const std::wstring mode = argc > 1 ? argv[1] : L"";
  if (mode == L"work" && argc == 5) return Work(argv[2], argv[3], _wtoi(argv[4]));
  if (mode == L"unlocked" && argc == 5) return WorkUnlocked(argv[2], argv[3], _wtoi(argv[4]));
  if (mode == L"check" && argc >= 5) {
    return Check(argv[2], _wtoi(argv[3]), std::vector<std::wstring>(argv + 4, argv + argc));
  }
  std::printf(
      "usage: store_worker work <dll> <prefix> <count> | unlocked <ini> <prefix> <count> | "
      "check <ini> <count> <prefix>...\n");
  return 2;
}
