// The registration checks of sheetlore doctor. Since Windows 7 the ProgID and the type
// library keys are shared by both architectures (the type library names a win64 and a win32
// file), while the 32-bit class lives under Classes\Wow6432Node\CLSID on 64-bit Windows. The
// keys are read at those places in the 64-bit registry (the only one on 32-bit Windows), the
// user's classes first and then the machine's, as COM reads them.
#include <cstdio>
#include <string>
#include <utility>

#include "cli/doctor.h"
#include "platform/win32/windows_api.h"
// After the Windows headers, which they build on.
#include <oleauto.h>

#include "com/sheetlore_guids.h"
#include "platform/win32/com_ptr.h"
#include "platform/win32/unique_handles.h"

namespace sheetlore::cli {
namespace {

using win32::GuidText;
using win32::unique_key;
constexpr wchar_t kTypeLibraryVersion[] = L"1.1";

struct RegistryView {
  std::wstring name;         // "x64", "x86"
  std::wstring classesPath;  // where this architecture's classes are: "CLSID\\" or
                             // "Wow6432Node\\CLSID\\"
  std::wstring syskind;      // the type library's platform key: win64 or win32
};

// A text value of a key under Software\Classes (name null: the default value), from the
// user's classes or else the machine's, in the view's registry; empty when missing.
std::wstring ReadText(const std::wstring& path, const wchar_t* name) {
  for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
    HKEY raw = nullptr;
    if (::RegOpenKeyExW(root, (L"Software\\Classes\\" + path).c_str(), 0,
                        KEY_QUERY_VALUE | KEY_WOW64_64KEY, &raw) != ERROR_SUCCESS) {
      continue;
    }
    const unique_key key(raw);
    wchar_t buffer[1024] = {};
    DWORD bytes = sizeof(buffer) - sizeof(wchar_t);
    DWORD type = 0;
    if (::RegQueryValueExW(key.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(buffer),
                           &bytes) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ)) {
      continue;
    }
    std::wstring text(buffer, bytes / sizeof(wchar_t));
    while (!text.empty() && text.back() == L'\0') text.pop_back();
    return text;
  }
  return {};
}

bool IsFile(const std::wstring& path) {
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::wstring Quoted(const std::wstring& text) { return L"\"" + text + L"\""; }

void CheckView(const RegistryView& view, Findings& findings) {
  const std::wstring area = view.name + L" registration";
  const std::wstring classId = GuidText(com::kClassId);
  const std::wstring classKey = view.classesPath + classId;

  const std::wstring progIdClass = ReadText(std::wstring(com::kProgId) + L"\\CLSID", nullptr);
  findings.push_back({area, L"ProgID " + std::wstring(com::kProgId), progIdClass == classId,
                      progIdClass.empty() ? L"not registered" : L"names class " + progIdClass});

  const std::wstring server = ReadText(classKey + L"\\InprocServer32", nullptr);
  findings.push_back({area, L"class " + classId, !server.empty(),
                      server.empty() ? L"no InprocServer32 entry" : L"server " + Quoted(server)});
  if (!server.empty()) {
    findings.push_back({area, L"server file", IsFile(server),
                        IsFile(server) ? L"exists" : L"missing: " + Quoted(server)});
    if (IsFile(server)) {
      for (Finding& finding : CodeLocationFindings(area, server)) {
        findings.push_back(std::move(finding));
      }
    }
  }

  const std::wstring threading = ReadText(classKey + L"\\InprocServer32", L"ThreadingModel");
  const std::wstring expectedThreading = com::kThreadingModel;
  std::wstring threadingDetail = threading.empty() ? L"not set" : threading;
  if (threading != expectedThreading) threadingDetail += L" (" + expectedThreading + L" expected)";
  findings.push_back(
      {area, L"threading model", threading == expectedThreading, std::move(threadingDetail)});

  const std::wstring library = ReadText(L"TypeLib\\" + GuidText(com::kLibraryId) + L"\\" +
                                            kTypeLibraryVersion + L"\\0\\" + view.syskind,
                                        nullptr);
  if (library.empty()) {
    findings.push_back({area, L"type library", false,
                        std::wstring(L"version ") + kTypeLibraryVersion + L" not registered"});
    return;
  }
  ITypeLib* loaded = nullptr;
  const HRESULT result = ::LoadTypeLibEx(library.c_str(), REGKIND_NONE, &loaded);
  if (loaded) loaded->Release();
  wchar_t code[16] = {};
  std::swprintf(code, 16, L"0x%08X", static_cast<unsigned>(result));
  findings.push_back({area, L"type library", SUCCEEDED(result),
                      SUCCEEDED(result)
                          ? L"loads from " + Quoted(library)
                          : L"does not load from " + Quoted(library) + L" (" + code + L")"});
}

// Whether this Windows has a 64-bit registry view: always for the x64 program, and for the
// x86 one when it runs under WOW64.
bool HasSixtyFourBitView() {
#ifdef _WIN64
  return true;
#else
  BOOL wow64 = FALSE;
  return ::IsWow64Process(::GetCurrentProcess(), &wow64) && wow64;
#endif
}

}  // namespace

Findings RegistrationFindings() {
  Findings findings;
  if (HasSixtyFourBitView()) {
    CheckView({L"x64", L"CLSID\\", L"win64"}, findings);
    CheckView({L"x86", L"Wow6432Node\\CLSID\\", L"win32"}, findings);
  } else {
    CheckView({L"x86", L"CLSID\\", L"win32"}, findings);
  }
  return findings;
}

}  // namespace sheetlore::cli
