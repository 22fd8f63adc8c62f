// Prints what the Windows platform sees: the platform family, the installed printers and the
// default printer. Run it where the component will run to check the printer set-up.

#include <cstdio>
#include <string>

#include "platform/win32/win32_platform.h"
#include "platform/win32/windows_api.h"

namespace {

// The console speaks UTF-8 once asked to; printer names may hold any character.
std::string Utf8(const std::wstring& text) {
  if (text.empty()) return std::string();
  const int bytes = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                          nullptr, 0, nullptr, nullptr);
  std::string result(static_cast<std::size_t>(bytes), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), result.data(),
                        bytes, nullptr, nullptr);
  return result;
}

}  // namespace

int main() {
  ::SetConsoleOutputCP(CP_UTF8);
  sheetlore::win32::Win32Platform windows;
  sheetlore::Platform& platform = windows.platform();

  std::uint32_t family = 0;
  if (platform.system.GetVersionEx(family)) {
    std::printf("platform family: %u%s\n", static_cast<unsigned>(family),
                family == 2 ? " (Windows NT)" : "");
  } else {
    std::printf("platform family: unknown (the version call failed)\n");
  }

  const auto printers = platform.host.Printers();
  std::printf("printers: %zu\n", printers.size());
  for (const auto& printer : printers) {
    std::printf("  %s\n", Utf8(printer->DeviceName()).c_str());
  }

  try {
    const auto current = platform.host.CurrentPrinter();
    const std::wstring name = current->DeviceName();
    const auto dc = current->hDC();
    std::printf("default printer: %s (device context %s)\n", Utf8(name).c_str(),
                dc ? "created" : "missing");
  } catch (const sheetlore::AutomationError& error) {
    std::printf("default printer: none (error %d: %s)\n", static_cast<int>(error.number()),
                Utf8(error.description()).c_str());
  }

  std::printf("component directory: %s\n", Utf8(platform.host.ComponentDirectory()).c_str());
  return 0;
}
