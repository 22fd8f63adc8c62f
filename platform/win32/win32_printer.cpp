#include "platform/win32/win32_printer.h"

#include <vector>

#include "platform/win32/spooler_library.h"
#include "platform/win32/windows_api.h"

namespace sheetlore::win32 {

std::wstring DefaultPrinterName() {
  const auto api = SpoolerLibrary::Acquire();
  if (!api->GetDefaultPrinterW) return std::wstring();
  DWORD chars = 0;
  api->GetDefaultPrinterW(nullptr, &chars);
  // The default may change between the two calls: ask again while the buffer is short.
  for (int attempt = 0; attempt < 4 && chars > 0; ++attempt) {
    std::vector<wchar_t> buffer(chars);
    if (api->GetDefaultPrinterW(buffer.data(), &chars)) return std::wstring(buffer.data());
    if (::GetLastError() != ERROR_INSUFFICIENT_BUFFER) break;
  }
  return std::wstring();
}

Win32Printer::Win32Printer(std::wstring deviceName)
    : followsDefault_(false), deviceName_(std::move(deviceName)) {}

Win32Printer::Win32Printer(FollowDefault) : followsDefault_(true) {}

std::shared_ptr<Win32Printer> Win32Printer::DefaultPrinter() {
  return std::make_shared<Win32Printer>(FollowDefault{});
}

std::wstring Win32Printer::ResolvedName() {
  // Once found, the default printer stays this object's printer, as a host's current
  // printer does; until then (no printer installed yet) every read looks again.
  if (deviceName_.empty() && followsDefault_) deviceName_ = DefaultPrinterName();
  return deviceName_;
}

std::wstring Win32Printer::DeviceName() {
  std::lock_guard lock(mutex_);
  std::wstring name = ResolvedName();
  if (name.empty()) throw AutomationError::NoPrinter();
  return name;
}

DeviceContext Win32Printer::hDC() {
  std::lock_guard lock(mutex_);
  if (!dc_) {
    const std::wstring name = ResolvedName();
    if (name.empty()) throw AutomationError::NoPrinter();
    // GDI finds the printer's driver from the device name.
    dc_.reset(::CreateDCW(nullptr, name.c_str(), nullptr, nullptr));
    if (!dc_) throw AutomationError::NoPrinter();
  }
  return reinterpret_cast<DeviceContext>(dc_.get());
}

}  // namespace sheetlore::win32
