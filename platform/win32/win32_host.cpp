#include "platform/win32/win32_host.h"

#include <cstdint>

#include "platform/win32/spooler_library.h"
#include "platform/win32/unique_handles.h"
#include "platform/win32/win32_printer.h"
#include "platform/win32/windows_api.h"

namespace sheetlore::win32 {
namespace {

// An address inside this module, to find the module that holds this code.
const int kModuleAnchor = 0;

// One EnumPrintersW pass at a level whose records start with the printer's name pointer
// (levels 4 and 2 do). Returns false when the call fails for another reason than size.
template <typename Record>
bool EnumeratePrinters(const SpoolerLibrary& api, DWORD level, std::vector<std::wstring>& names) {
  constexpr DWORD kFlags = PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS;
  if (!api.EnumPrintersW) return false;
  DWORD needed = 0;
  DWORD count = 0;
  if (api.EnumPrintersW(kFlags, nullptr, level, nullptr, 0, &needed, &count)) return true;
  // Printers may be added between the calls: ask again while the buffer is short.
  for (int attempt = 0; attempt < 4; ++attempt) {
    if (::GetLastError() != ERROR_INSUFFICIENT_BUFFER || needed == 0) return false;
    std::vector<std::uint64_t> buffer((needed + sizeof(std::uint64_t) - 1) / sizeof(std::uint64_t));
    auto* bytes = reinterpret_cast<BYTE*>(buffer.data());
    if (api.EnumPrintersW(kFlags, nullptr, level, bytes, needed, &needed, &count)) {
      const auto* records = reinterpret_cast<const Record*>(bytes);
      for (DWORD i = 0; i < count; ++i) {
        if (records[i].pPrinterName) names.emplace_back(records[i].pPrinterName);
      }
      return true;
    }
  }
  return false;
}

}  // namespace

std::vector<std::wstring> InstalledPrinterNames() {
  const auto api = SpoolerLibrary::Acquire();
  std::vector<std::wstring> names;
  if (EnumeratePrinters<PRINTER_INFO_4W>(*api, 4, names)) return names;
  names.clear();
  EnumeratePrinters<PRINTER_INFO_2W>(*api, 2, names);
  return names;
}

std::wstring DirectoryOf(const std::wstring& filePath) {
  const auto separator = filePath.find_last_of(L"\\/");
  if (separator == std::wstring::npos) return std::wstring();
  // "C:\file" keeps its backslash: "C:" alone would mean the drive's current directory.
  if (separator == 2 && filePath[1] == L':') return filePath.substr(0, 3);
  return filePath.substr(0, separator);
}

Win32Host::Win32Host() : currentPrinter_(Win32Printer::DefaultPrinter()) {}

std::vector<PrinterRef> Win32Host::Printers() {
  std::vector<PrinterRef> printers;
  for (auto& name : InstalledPrinterNames()) {
    printers.push_back(std::make_shared<Win32Printer>(std::move(name)));
  }
  return printers;
}

PrinterRef Win32Host::CurrentPrinter() { return currentPrinter_; }

std::wstring Win32Host::ComponentDirectory() {
  HMODULE module = nullptr;
  if (!::GetModuleHandleExW(
          GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
          reinterpret_cast<LPCWSTR>(&kModuleAnchor), &module)) {
    return std::wstring();
  }
  // The path may be longer than MAX_PATH: grow the buffer while the call fills it.
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD length =
        ::GetModuleFileNameW(module, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return std::wstring();
    if (length < buffer.size()) return DirectoryOf(std::wstring(buffer.data(), length));
    if (buffer.size() >= 32768) return std::wstring();
    buffer.resize(buffer.size() * 2);
  }
}

std::wstring Win32Host::StoreFileSetting() {
  HKEY raw = nullptr;
  // Both architectures read the one key: a 32-bit process is sent to the 64-bit view.
  if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kSettingsKey, 0, KEY_QUERY_VALUE | KEY_WOW64_64KEY,
                      &raw) != ERROR_SUCCESS) {
    return std::wstring();
  }
  const unique_key key(raw);
  DWORD type = 0;
  DWORD bytes = 0;
  if (::RegQueryValueExW(key.get(), kStoreFileValue, nullptr, &type, nullptr, &bytes) !=
          ERROR_SUCCESS ||
      (type != REG_SZ && type != REG_EXPAND_SZ) || bytes == 0) {
    return std::wstring();
  }
  // The value may change between the calls: room for one more character, and a terminator
  // of our own whatever the value holds.
  std::vector<wchar_t> buffer(bytes / sizeof(wchar_t) + 2);
  bytes = static_cast<DWORD>((buffer.size() - 1) * sizeof(wchar_t));
  if (::RegQueryValueExW(key.get(), kStoreFileValue, nullptr, &type,
                         reinterpret_cast<BYTE*>(buffer.data()), &bytes) != ERROR_SUCCESS) {
    return std::wstring();
  }
  const std::wstring value(buffer.data());
  if (type != REG_EXPAND_SZ || value.empty()) return value;
  const DWORD chars = ::ExpandEnvironmentStringsW(value.c_str(), nullptr, 0);
  if (chars == 0) return value;
  std::vector<wchar_t> expanded(chars + 1);
  if (::ExpandEnvironmentStringsW(value.c_str(), expanded.data(), chars + 1) == 0) return value;
  return std::wstring(expanded.data());
}

bool Win32Host::FileExists(const std::wstring& path) {
  if (path.empty()) return false;
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return false;
  constexpr DWORD kNotOrdinary =
      FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
  return (attributes & kNotOrdinary) == 0;
}

}  // namespace sheetlore::win32
