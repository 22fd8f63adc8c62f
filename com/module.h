#pragma once
// The DLL's own state: its module handle and path, and the count of live objects and
// server locks that DllCanUnloadNow reports on.

#include "platform/win32/windows_api.h"

#include <string>

namespace sheetlore::com {

// Set once by DllMain.
void SetModuleHandle(HMODULE module) noexcept;
// The full path this DLL was loaded from.
std::wstring ModulePath();

// Live COM objects and IClassFactory::LockServer locks.
void AddModuleReference() noexcept;
void ReleaseModuleReference() noexcept;
long ModuleReferences() noexcept;

// Holds one module reference for its lifetime; COM objects of this DLL embed one.
class ModuleReference {
 public:
  ModuleReference() noexcept { AddModuleReference(); }
  ModuleReference(const ModuleReference&) noexcept { AddModuleReference(); }
  ModuleReference& operator=(const ModuleReference&) noexcept = default;
  ~ModuleReference() { ReleaseModuleReference(); }
};

}  // namespace sheetlore::com
