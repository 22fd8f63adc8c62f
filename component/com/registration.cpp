#include "component/com/registration.h"

#include <oleauto.h>

#include <string>

#include "component/com/module.h"
#include "component/com/sheetlore_guids.h"
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

using unique_key = win32::unique_handle<HKEY, &::RegCloseKey>;

// The standard marshaler of automation interfaces: calls from other apartments go through
// the type library.
constexpr wchar_t kAutomationMarshaler[] = L"{00020424-0000-0000-C000-000000000046}";
constexpr wchar_t kClassesPath[] = L"Software\\Classes\\";
constexpr wchar_t kTypeLibraryVersion[] = L"1.1";

#ifdef _WIN64
constexpr SYSKIND kSystem = SYS_WIN64;
#else
constexpr SYSKIND kSystem = SYS_WIN32;
#endif

std::wstring GuidText(const GUID& guid) {
  wchar_t text[40] = {};
  ::StringFromGUID2(guid, text, 40);
  return text;
}

HKEY RootOf(RegistrationScope scope) {
  return scope == RegistrationScope::User ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
}

// Writes one text value (name null: the key's default value), creating the key.
HRESULT SetText(HKEY root, const std::wstring& path, const wchar_t* name,
                const std::wstring& value) {
  HKEY raw = nullptr;
  LSTATUS status = ::RegCreateKeyExW(root, (kClassesPath + path).c_str(), 0, nullptr, 0,
                                     KEY_SET_VALUE, nullptr, &raw, nullptr);
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

HRESULT RegisterKeys(HKEY root, const std::wstring& modulePath) {
  const std::wstring classKey = L"CLSID\\" + GuidText(kClassId);
  const std::wstring interfaceKey = L"Interface\\" + GuidText(kInterfaceId);
  const std::wstring library = GuidText(kLibraryId);
  const struct {
    std::wstring path;
    const wchar_t* name;
    std::wstring value;
  } entries[] = {
      {classKey, nullptr, kProgId},
      {classKey + L"\\InprocServer32", nullptr, modulePath},
      {classKey + L"\\InprocServer32", L"ThreadingModel", L"Apartment"},
      {classKey + L"\\ProgID", nullptr, kProgId},
      {classKey + L"\\TypeLib", nullptr, library},
      {classKey + L"\\VERSION", nullptr, kTypeLibraryVersion},
      {kProgId, nullptr, kProgId},
      {std::wstring(kProgId) + L"\\CLSID", nullptr, GuidText(kClassId)},
      {interfaceKey, nullptr, kInterfaceName},
      {interfaceKey + L"\\ProxyStubClsid", nullptr, kAutomationMarshaler},
      {interfaceKey + L"\\ProxyStubClsid32", nullptr, kAutomationMarshaler},
      {interfaceKey + L"\\TypeLib", nullptr, library},
      {interfaceKey + L"\\TypeLib", L"Version", kTypeLibraryVersion},
  };
  for (const auto& entry : entries) {
    const HRESULT hr = SetText(root, entry.path, entry.name, entry.value);
    if (FAILED(hr)) return hr;
  }
  return S_OK;
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
  // The type library first: its unregistration reads the interface it lists.
  if (scope == RegistrationScope::User) {
    ::UnRegisterTypeLibForUser(kLibraryId, 1, 1, LOCALE_NEUTRAL, kSystem);
  } else {
    ::UnRegisterTypeLib(kLibraryId, 1, 1, LOCALE_NEUTRAL, kSystem);
  }
  HRESULT result = S_OK;
  for (const std::wstring& path :
       {L"CLSID\\" + GuidText(kClassId), std::wstring(kProgId),
        L"Interface\\" + GuidText(kInterfaceId), L"TypeLib\\" + GuidText(kLibraryId)}) {
    const HRESULT hr = DeleteTree(root, path);
    if (FAILED(hr)) result = hr;
  }
  return result;
}

}  // namespace sheetlore::com
