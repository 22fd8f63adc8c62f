#pragma once
// Version, top-level windows, time and the message box over the wide Windows calls.

#include "platform/platform.h"

namespace sheetlore::win32 {

class Win32System final : public System {
 public:
  bool GetVersionEx(std::uint32_t& platformId) override;
  WindowHandle FindWindow(const std::wstring& caption) override;
  void Sleep(std::uint32_t milliseconds) override;
  void PumpMessages() override;
  std::uint64_t Milliseconds() override;
  void MessageBox(const std::wstring& text, const std::wstring& title,
                  std::uint32_t style) override;
  std::uint32_t LastError() const override;
  // FormatMessageW from the system's table, in the user's language.
  std::wstring ErrorText(std::uint32_t code) override;
};

}  // namespace sheetlore::win32
