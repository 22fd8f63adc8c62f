// One process of the paper store's concurrency test.
//   store_worker work <Sheetlore.dll> <prefix> <count>
//     loads the DLL, creates a ClsPrint through its class factory and stores the papers
//     <prefix>-1 .. <prefix>-<count> one after another, deleting <prefix>-<i-1> after every
//     third write (so <prefix>-2, -5, -8, ... end deleted).
//   store_worker check <PrintSet.ini> <count> <prefix>...
//     reads the store through the profile API and checks that every paper of every prefix that
//     was added and not deleted is listed and complete, and no deleted one is listed.
// Exit code 0 when everything held; the reasons otherwise on stdout.

#include "tests/wine/support/com_support.h"
// after windows.h
#include <shellapi.h>

#include <cstdio>
#include <cwchar>
#include <set>
#include <string>
#include <vector>

namespace {

using namespace sheetlore::com_test;

const wchar_t* const kPaperKeys[] = {L"mMode", L"W", L"H", L"L", L"R", L"T", L"B"};

std::wstring PaperName(const std::wstring& prefix, int i) {
  return prefix + L"-" + std::to_wstring(i);
}

bool IsDeleted(int i, int count) { return i % 3 == 2 && i + 1 <= count; }

int Work(const wchar_t* dllPath, const std::wstring& prefix, int count) {
  ComApartment apartment;
  LoadedDll dll(dllPath);
  com_ptr<_ClsPrint> store;
  if (FAILED(dll.Create(store))) {
    std::printf("FAIL: cannot create the object from %ls\n", dllPath);
    return 1;
  }
  int failures = 0;
  for (int i = 1; i <= count; ++i) {
    if (!WritePaper(store.get(), PaperName(prefix, i),
                    {0, double(i), i + 0.5, 0.25, i - 0.25, 0.5, i + 0.25})) {
      std::printf("FAIL: writing %ls\n", PaperName(prefix, i).c_str());
      ++failures;
    }
    if (i % 3 == 0 && FAILED(DeletePaper(store.get(), PaperName(prefix, i - 1)))) {
      std::printf("FAIL: deleting %ls\n", PaperName(prefix, i - 1).c_str());
      ++failures;
    }
  }
  return failures == 0 ? 0 : 1;
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
  if (mode == L"check" && argc >= 5) {
    return Check(argv[2], _wtoi(argv[3]), std::vector<std::wstring>(argv + 4, argv + argc));
  }
  std::printf(
      "usage: store_worker work <dll> <prefix> <count> | check <ini> <count> <prefix>...\n");
  return 2;
}
