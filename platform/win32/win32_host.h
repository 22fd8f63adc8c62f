#pragma once
// What the automation host provides, over the Windows API: the installed printers, the
// current printer, the component's directory and the file test.

#include "platform/platform.h"

namespace sheetlore::win32 {

class Win32Host final : public Host {
 public:
  Win32Host();

  std::vector<PrinterRef> Printers() override;
  // The same object for the life of this host: at first the default printer.
  PrinterRef CurrentPrinter() override;
  std::wstring ComponentDirectory() override;
  bool FileExists(const std::wstring& path) override;
  // HKLM\Software\Sheetlore, value StoreFile (REG_SZ or REG_EXPAND_SZ), read in the 64-bit
  // registry view from either architecture.
  std::wstring StoreFileSetting() override;

 private:
  PrinterRef currentPrinter_;
};

// Where the machine's settings are: HKEY_LOCAL_MACHINE, this key, the 64-bit view.
inline constexpr wchar_t kSettingsKey[] = L"Software\\Sheetlore";
// The value naming the paper store's file.
inline constexpr wchar_t kStoreFileValue[] = L"StoreFile";

// The names of the installed printers (local and connections) in the spooler's order.
std::vector<std::wstring> InstalledPrinterNames();

// The directory part of a module's full path: without the trailing backslash, except at a
// drive's root ("C:\").
std::wstring DirectoryOf(const std::wstring& filePath);

}  // namespace sheetlore::win32
