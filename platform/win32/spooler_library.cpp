#include "platform/win32/spooler_library.h"

#include <mutex>
#include <string>

namespace sheetlore::win32 {
namespace {

template <typename Function>
void Resolve(HMODULE module, const char* name, Function& entry, DWORD& firstError) {
  entry = module
              ? reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(module, name)))
              : nullptr;
  if (!entry && firstError == ERROR_SUCCESS) firstError = ERROR_PROC_NOT_FOUND;
}

}  // namespace

HMODULE LoadSystemLibrary(const wchar_t* fileName) {
  HMODULE module = ::LoadLibraryExW(fileName, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  // Systems without the search flags (Windows 7 before its loader update) refuse the flag:
  // the full path into the system directory gives the same library.
  if (module || ::GetLastError() != ERROR_INVALID_PARAMETER) return module;
  wchar_t directory[MAX_PATH] = {};
  const UINT length = ::GetSystemDirectoryW(directory, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return nullptr;
  const std::wstring path = std::wstring(directory, length) + L"\\" + fileName;
  return ::LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

SpoolerLibrary::SpoolerLibrary(const wchar_t* fileName) : module_(LoadSystemLibrary(fileName)) {
  if (!module_) loadError_ = ::GetLastError() ? ::GetLastError() : ERROR_MOD_NOT_FOUND;
  Resolve(module_.get(), "OpenPrinterW", OpenPrinterW, loadError_);
  Resolve(module_.get(), "ClosePrinter", ClosePrinter, loadError_);
  Resolve(module_.get(), "EnumFormsW", EnumFormsW, loadError_);
  Resolve(module_.get(), "GetFormW", GetFormW, loadError_);
  Resolve(module_.get(), "AddFormW", AddFormW, loadError_);
  Resolve(module_.get(), "DeleteFormW", DeleteFormW, loadError_);
  Resolve(module_.get(), "DocumentPropertiesW", DocumentPropertiesW, loadError_);
  Resolve(module_.get(), "EnumPrintersW", EnumPrintersW, loadError_);
  Resolve(module_.get(), "GetPrinterW", GetPrinterW, loadError_);
  Resolve(module_.get(), "SetPrinterW", SetPrinterW, loadError_);
  Resolve(module_.get(), "GetDefaultPrinterW", GetDefaultPrinterW, loadError_);
}

std::shared_ptr<const SpoolerLibrary> SpoolerLibrary::Acquire() {
  // Only a weak reference is kept here, so that no library is released while the process
  // tears this module down.
  static std::mutex mutex;
  static std::weak_ptr<const SpoolerLibrary> current;
  const std::lock_guard lock(mutex);
  std::shared_ptr<const SpoolerLibrary> library = current.lock();
  if (!library) {
    library = std::make_shared<const SpoolerLibrary>(L"winspool.drv");
    current = library;
  }
  return library;
}

}  // namespace sheetlore::win32
