// The DLL's entry points: the in-process server contract and per-user installation.

#include "platform/win32/windows_api.h"

#include <objbase.h>

#include <string_view>

#include "com/class_factory.h"
#include "com/module.h"
#include "com/registration.h"
#include "com/sheetlore_guids.h"

using sheetlore::com::RegistrationScope;

namespace {

// Registration builds texts: a failed allocation becomes E_OUTOFMEMORY, never an exception.
HRESULT Registered(RegistrationScope scope, bool install) noexcept {
  try {
    return install ? sheetlore::com::Register(scope) : sheetlore::com::Unregister(scope);
  } catch (...) {
    return E_OUTOFMEMORY;
  }
}

}  // namespace

extern "C" {

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    sheetlore::com::SetModuleHandle(instance);
    ::DisableThreadLibraryCalls(instance);
  }
  return TRUE;
}

STDAPI DllGetClassObject(REFCLSID classId, REFIID iid, LPVOID* object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (classId != sheetlore::com::kClassId) return CLASS_E_CLASSNOTAVAILABLE;
  try {
    auto factory = sheetlore::com::MakeComObject<sheetlore::com::ClassFactory>();
    return factory->QueryInterface(iid, object);
  } catch (...) {
    return E_OUTOFMEMORY;
  }
}

STDAPI DllCanUnloadNow() { return sheetlore::com::ModuleReferences() == 0 ? S_OK : S_FALSE; }

STDAPI DllRegisterServer() { return Registered(RegistrationScope::Machine, true); }

STDAPI DllUnregisterServer() { return Registered(RegistrationScope::Machine, false); }

// regsvr32 /n /i:user registers for the current user only (no administrator rights needed);
// any other command line registers for the machine, as DllRegisterServer does.
STDAPI DllInstall(BOOL install, LPCWSTR commandLine) {
  std::wstring_view argument = commandLine ? commandLine : L"";
  const bool forUser = argument.size() == 4 &&
                       ::CompareStringOrdinal(argument.data(), 4, L"user", 4, TRUE) == CSTR_EQUAL;
  const RegistrationScope scope = forUser ? RegistrationScope::User : RegistrationScope::Machine;
  return Registered(scope, install != FALSE);
}

}  // extern "C"
