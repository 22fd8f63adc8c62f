#pragma once
// A printer as the host's automation object: its spooler name and a device context created
// on first use, owned by the object.

#include <mutex>

#include "platform/platform.h"
#include "platform/win32/unique_handles.h"

namespace sheetlore::win32 {

class Win32Printer final : public PrinterObject {
 public:
  // A printer of the given spooler name.
  explicit Win32Printer(std::wstring deviceName);
  // The system's default printer, looked up on first use (and again while there is none).
  struct FollowDefault {};
  explicit Win32Printer(FollowDefault);
  static std::shared_ptr<Win32Printer> DefaultPrinter();

  // Throw AutomationError::NoPrinter() when there is no printer or its device context
  // cannot be created.
  std::wstring DeviceName() override;
  DeviceContext hDC() override;

 private:
  // The name, resolving the default printer if needed; empty when there is none.
  std::wstring ResolvedName();

  std::mutex mutex_;
  const bool followsDefault_;
  std::wstring deviceName_;
  unique_dc dc_;
};

// The name of the system's default printer; empty when there is none.
std::wstring DefaultPrinterName();

}  // namespace sheetlore::win32
