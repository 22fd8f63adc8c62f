#pragma once
// The print spooler's functions, taken from winspool.drv in the system directory only.
//
// winspool.drv is not one of the libraries Windows maps from its known list, so a static import
// would be looked for first in the folder of the program (or, for a COM server, of the DLL):
// whoever can write that folder could have their own winspool.drv run inside every host. The
// library is therefore loaded at first use, from the system directory alone, and never through
// the host's search path; this changes none of the host process's search settings.
//
// The table is shared: every user holds it through a shared_ptr, and the library is released
// when the last one lets go (never from DllMain). A library or function that cannot be found
// leaves its entry null; callers then fail with LoadError() as the call's error.

#include <memory>

#include "platform/win32/unique_handles.h"
#include "platform/win32/windows_api.h"

namespace sheetlore::win32 {

class SpoolerLibrary {
 public:
  // The process's table, loaded on the first call after the previous one was released.
  static std::shared_ptr<const SpoolerLibrary> Acquire();

  // Loads fileName from the system directory (public for make_shared; use Acquire).
  explicit SpoolerLibrary(const wchar_t* fileName);
  SpoolerLibrary(const SpoolerLibrary&) = delete;
  SpoolerLibrary& operator=(const SpoolerLibrary&) = delete;

  // The error to report for a missing entry: why the library or the function was not found.
  DWORD LoadError() const { return loadError_; }
  bool Loaded() const { return static_cast<bool>(module_); }

  decltype(&::OpenPrinterW) OpenPrinterW = nullptr;
  decltype(&::ClosePrinter) ClosePrinter = nullptr;
  decltype(&::EnumFormsW) EnumFormsW = nullptr;
  decltype(&::GetFormW) GetFormW = nullptr;
  decltype(&::AddFormW) AddFormW = nullptr;
  decltype(&::DeleteFormW) DeleteFormW = nullptr;
  decltype(&::DocumentPropertiesW) DocumentPropertiesW = nullptr;
  decltype(&::EnumPrintersW) EnumPrintersW = nullptr;
  decltype(&::GetPrinterW) GetPrinterW = nullptr;
  decltype(&::SetPrinterW) SetPrinterW = nullptr;
  decltype(&::GetDefaultPrinterW) GetDefaultPrinterW = nullptr;

 private:
  unique_hmodule module_;
  DWORD loadError_ = ERROR_SUCCESS;
};

// The module of fileName from the system directory only (LOAD_LIBRARY_SEARCH_SYSTEM32, or its
// full path where that flag is not supported); null with the last error set on failure.
HMODULE LoadSystemLibrary(const wchar_t* fileName);

}  // namespace sheetlore::win32
