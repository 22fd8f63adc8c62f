#pragma once
// What DllRegisterServer, DllUnregisterServer and DllInstall write and remove.

#include "platform/win32/windows_api.h"

namespace sheetlore::com {

enum class RegistrationScope {
  Machine,  // HKEY_LOCAL_MACHINE\Software\Classes and RegisterTypeLib
  User,     // HKEY_CURRENT_USER\Software\Classes and RegisterTypeLibForUser
};

// Writes the class (InprocServer32 = this DLL, ThreadingModel Apartment), the ProgID, the
// interface with the automation marshaler, and the type library. Registering again only
// rewrites the same values. On failure what was written is removed again.
HRESULT Register(RegistrationScope scope);

// Removes every key Register writes; keys that are already gone are no failure. While the
// other architecture's DLL stays registered in the same scope, only this architecture's part
// goes: the ProgID and the type library key, which both architectures share, stay for it.
HRESULT Unregister(RegistrationScope scope);

}  // namespace sheetlore::com
