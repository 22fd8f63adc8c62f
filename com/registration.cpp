#include "com/registration.h"

#include <oleauto.h>

#include <string>
#include <vector>

#include "com/module.h"
#include "com/sheetlore_guids.h"
#include "platform/win32/com_ptr.h"
#include "platform/win32/unique_handles.h"

// Per-user type library registration (oleaut32, Windows Vista SP1 and later); MinGW's
// headers do not declare it.
extern "C" {
HRESULT WINAPI RegisterTypeLibForUser(ITypeLib* library, OLECHAR* fullPath, OLECHAR* helpDir);
HRESULT WINAPI UnRegisterTypeLibForUser(REFGUID libraryId, WORD majorVersion, WORD minorVersion,
                                        LCID lcid, SYSKIND system);
}

namespace sheetlore::com {
namespace {

using win32::GuidText;
using win32::unique_key;

// The standard marshaler of automation interfaces: calls from other apartments go through
// the type library.
constexpr wchar_t kAutomationMarshaler[] = L"{00020424-0000-0000-C000-000000000046}";
constexpr wchar_t kClassesPath[] = L"Software\\Classes\\";
constexpr wchar_t kTypeLibraryVersion[] = L"1.1";

// On 64-bit Windows the class and interface keys have a 32-bit and a 64-bit view, while the
// ProgID and the type library key are shared by both architectures.
#ifdef _WIN64
constexpr SYSKIND kSystem = SYS_WIN64;
constexpr REGSAM kOtherView = KEY_WOW64_32KEY;
#else
constexpr SYSKIND kSystem = SYS_WIN32;
constexpr REGSAM kOtherView = KEY_WOW64_64KEY;  // ignored on 32-bit Windows: the one view
#endif
constexpr REGSAM kOwnView = 0;

HKEY RootOf(RegistrationScope scope) {
  return scope == RegistrationScope::User ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
}

// Writes one text value (name null: the key's default value), creating the key, in that view.
HRESULT SetText(HKEY root, REGSAM view, const std::wstring& path, const wchar_t* name,
                const std::wstring& value) {
  HKEY raw = nullptr;
  LSTATUS status = ::RegCreateKeyExW(root, (kClassesPath + path).c_str(), 0, nullptr, 0,
                                     KEY_SET_VALUE | view, nullptr, &raw, nullptr);
  if (status != ERROR_SUCCESS) return HRESULT_FROM_WIN32(status);
  unique_key key(raw);
  status =
      ::RegSetValueExW(key.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
  return status == ERROR_SUCCESS ? S_OK : HRESULT_FROM_WIN32(status);
}

HRESULT DeleteTree(HKEY root, const std::wstring& path) {
  const LSTATUS status = ::RegDeleteTreeW(root, (kClassesPath + path).c_str());
  if (status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND) return S_OK;
  return HRESULT_FROM_WIN32(status);
}

std::wstring ClassKey() { return L"CLSID\\" + GuidText(kClassId); }
std::wstring InterfaceKey() { return L"Interface\\" + GuidText(kInterfaceId); }
std::wstring TypeLibraryKey() { return L"TypeLib\\" + GuidText(kLibraryId); }

// The module the class names as its server in that view of the root; empty when none.
std::wstring ServerIn(HKEY root, REGSAM view) {
  HKEY raw = nullptr;
  const std::wstring path = kClassesPath + ClassKey() + L"\\InprocServer32";
  if (::RegOpenKeyExW(root, path.c_str(), 0, KEY_QUERY_VALUE | view, &raw) != ERROR_SUCCESS) {
    return std::wstring();
  }
  unique_key key(raw);
  wchar_t value[MAX_PATH * 2] = {};
  DWORD size = sizeof value - sizeof(wchar_t);
  DWORD type = 0;
  if (::RegQueryValueExW(key.get(), nullptr, nullptr, &type, reinterpret_cast<BYTE*>(value),
                         &size) != ERROR_SUCCESS ||
      (type != REG_SZ && type != REG_EXPAND_SZ)) {
    return std::wstring();
  }
  return value;
}

bool SamePath(const std::wstring& a, const std::wstring& b) {
  return ::CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_EQUAL;
}

struct KeyValue {
  std::wstring path;
  const wchar_t* name;  // null: the key's default value
  std::wstring value;
};

HRESULT SetAll(HKEY root, REGSAM view, const std::vector<KeyValue>& entries) {
  for (const KeyValue& entry : entries) {
    const HRESULT hr = SetText(root, view, entry.path, entry.name, entry.value);
    if (FAILED(hr)) return hr;
  }
  return S_OK;
}

// The interface with the automation marshaler and its type library.
HRESULT RegisterInterfaceKeys(HKEY root, REGSAM view) {
  const std::wstring interfaceKey = InterfaceKey();
  const std::wstring library = GuidText(kLibraryId);
  return SetAll(root, view,
                {
                    {interfaceKey, nullptr, kInterfaceName},
                    {interfaceKey + L"\\ProxyStubClsid", nullptr, kAutomationMarshaler},
                    {interfaceKey + L"\\ProxyStubClsid32", nullptr, kAutomationMarshaler},
                    {interfaceKey + L"\\TypeLib", nullptr, library},
                    {interfaceKey + L"\\TypeLib", L"Version", kTypeLibraryVersion},
                });
}

HRESULT RegisterKeys(HKEY root, const std::wstring& modulePath) {
  const std::wstring classKey = ClassKey();
  const HRESULT hr =
      SetAll(root, kOwnView,
             {
                 {classKey, nullptr, kProgId},
                 {classKey + L"\\InprocServer32", nullptr, modulePath},
                 {classKey + L"\\InprocServer32", L"ThreadingModel", kThreadingModel},
                 {classKey + L"\\ProgID", nullptr, kProgId},
                 {classKey + L"\\TypeLib", nullptr, GuidText(kLibraryId)},
                 {classKey + L"\\VERSION", nullptr, kTypeLibraryVersion},
                 {kProgId, nullptr, kProgId},
                 {std::wstring(kProgId) + L"\\CLSID", nullptr, GuidText(kClassId)},
             });
  return FAILED(hr) ? hr : RegisterInterfaceKeys(root, kOwnView);
}

HRESULT RegisterTypeLibrary(RegistrationScope scope, const std::wstring& modulePath) {
  win32::com_ptr<ITypeLib> library;
  HRESULT hr = ::LoadTypeLibEx(modulePath.c_str(), REGKIND_NONE, library.put());
  if (FAILED(hr)) return hr;
  std::wstring path = modulePath;
  return scope == RegistrationScope::User
             ? ::RegisterTypeLibForUser(library.get(), path.data(), nullptr)
             : ::RegisterTypeLib(library.get(), path.data(), nullptr);
}

void UnregisterTypeLibrary(RegistrationScope scope) {
  // The system removes this architecture's entry of the shared type library key, and the
  // whole key once no other architecture is listed; it removes the interface keys too.
  if (scope == RegistrationScope::User) {
    ::UnRegisterTypeLibForUser(kLibraryId, 1, 1, LOCALE_NEUTRAL, kSystem);
  } else {
    ::UnRegisterTypeLib(kLibraryId, 1, 1, LOCALE_NEUTRAL, kSystem);
  }
}

// Removes this architecture's registration while the other one's (whose class names
// otherServer) stays: this architecture's type library entry, and the class and interface
// keys of this view. The system's type library unregistration removes the interface keys of
// both views: the other architecture's are written again. Where both architectures see one
// view (per-user keys under Wine) the class key is the other's too and stays.
HRESULT UnregisterBesideOtherArchitecture(RegistrationScope scope,
                                          const std::wstring& otherServer) {
  const HKEY root = RootOf(scope);
  const bool oneView = SamePath(ServerIn(root, kOwnView), otherServer);
  UnregisterTypeLibrary(scope);
  HRESULT result = RegisterInterfaceKeys(root, kOtherView);
  if (oneView) return result;
  for (const std::wstring& path : {ClassKey(), InterfaceKey()}) {
    const HRESULT hr = DeleteTree(root, path);
    if (FAILED(hr)) result = hr;
  }
  return result;
}

}  // namespace

HRESULT Register(RegistrationScope scope) {
  const std::wstring modulePath = ModulePath();
  if (modulePath.empty()) return HRESULT_FROM_WIN32(::GetLastError());
  HRESULT hr = RegisterTypeLibrary(scope, modulePath);
  if (SUCCEEDED(hr)) hr = RegisterKeys(RootOf(scope), modulePath);
  if (FAILED(hr)) Unregister(scope);
  return SUCCEEDED(hr) ? S_OK : hr;
}

HRESULT Unregister(RegistrationScope scope) {
  const HKEY root = RootOf(scope);
  // The other architecture's registration remains when the class names another module in the
  // other view. Then only what is this architecture's goes: the shared ProgID and type
  // library key stay for it.
  const std::wstring otherServer = ServerIn(root, kOtherView);
  if (!otherServer.empty() && !SamePath(otherServer, ModulePath())) {
    return UnregisterBesideOtherArchitecture(scope, otherServer);
  }

  // The type library first: its unregistration reads the interface it lists.
  UnregisterTypeLibrary(scope);
  HRESULT result = S_OK;
  for (const std::wstring& path :
       {ClassKey(), std::wstring(kProgId), InterfaceKey(), TypeLibraryKey()}) {
    const HRESULT hr = DeleteTree(root, path);
    if (FAILED(hr)) result = hr;
  }
  return result;
}

}  // namespace sheetlore::com
