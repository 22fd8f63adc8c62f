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

// Removes every key Register writes; keys that are already gone are no failure.
HRESULT Unregister(RegistrationScope scope);

}  // namespace sheetlore::com
